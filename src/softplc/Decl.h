// Declarations of block interfaces, data blocks and user types: data types, their S7 layout
// (BOOLs packed into bits, wider values on even bytes) and initial values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace softplc {

enum class TypeKind : uint8_t {
  Bool, Byte, Char, Word, Int, S5Time, Date, DWord, DInt, Real, Time, Tod, Dt, String, Struct,
  Array, Timer, Counter, Any, BlockDb
};

struct Type;
using TypeP = std::shared_ptr<const Type>;

struct Member {
  std::string name;   // as written
  std::string upper;
  TypeP type;
  uint32_t bitOffset = 0;  // from the start of the enclosing struct
  std::string init;        // initial value as written, empty when none
  uint32_t line = 0, column = 0;
  uint32_t initLine = 0, initColumn = 0;
};

struct Type {
  TypeKind kind = TypeKind::Bool;
  uint32_t bits = 1;          // size; BOOL 1, BYTE 8 ..., aggregates a multiple of 16
  std::vector<Member> members;  // Struct
  TypeP elem;                 // Array
  int32_t lo = 0, hi = 0;     // Array bounds
  uint32_t stride = 0;        // Array: bits from one element to the next
  bool row = false;           // Array: an inner dimension of a multi-dimensional array
  uint32_t strLen = 0;        // String capacity
  std::string name;           // "UDT 3" when the type is a user type, "FB 2" for an instance
  bool instance = false;      // the instance data of an FB or SFB (a multiple instance)
  uint32_t depth = 1;         // levels of STRUCT, ARRAY, UDT and instance nesting, this one included
};

// How deep types may nest (STRUCT, ARRAY, UDT and FB instances together). Every walk over a
// type is then bounded, and a generated source cannot exhaust the stack.
constexpr uint32_t kMaxTypeDepth = 64;

// Bytes of an elementary type as an operand: 0 for BOOL, 1, 2 or 4; -1 when not elementary.
int OperandSize(TypeKind k);
std::string TypeName(const Type& t);
bool SameType(const Type& a, const Type& b);
TypeP ElementaryType(TypeKind k);

// The next free position for a value of type `t` when `bitPos` bits are in use.
uint32_t AlignFor(const Type& t, uint32_t bitPos);

struct DeclError {
  uint32_t line, column;
  std::string text;
};

// Resolves "UDT 3" or a symbolic type name to a known type; returns null when unknown.
class TypeResolver {
 public:
  virtual ~TypeResolver() = default;
  virtual TypeP FindUdt(std::string_view nameOrSymbol, bool quoted, std::string& err) = 0;
  // "FB 2", "SFB 4" or a symbol of one: the instance data of that block, for a variable that
  // is a multiple instance; null with a message when it is no FB or SFB.
  virtual TypeP FindInstance(std::string_view nameOrSymbol, bool quoted, std::string& err) = 0;
  // Whether a quoted symbol or a bare name names an FB or SFB rather than a user type.
  virtual bool NamesFunctionBlock(std::string_view nameOrSymbol, bool quoted) = 0;
};

// Scans the declaration text `text` (a part of a file that starts at `line`/`column`).
class DeclParser {
 public:
  DeclParser(std::string_view text, uint32_t line, uint32_t column, TypeResolver& resolver,
             std::vector<DeclError>& errors);

  // Parses "name : type [:= value];" lines until one of `stops` (upper case) is the next
  // word, which is left unread; returns the members laid out from `bitPos` on.
  std::vector<Member> Members(std::initializer_list<std::string_view> stops, uint32_t& bitPos);
  // Parses "STRUCT members END_STRUCT [;]" and returns the struct type.
  TypeP Struct();
  // Parses "path := value;" assignments until the end of the text.
  struct Assign {
    std::string path;  // upper case, e.g. "A.B[2]"
    std::string value;
    uint32_t line, column, valueLine, valueColumn;
  };
  std::vector<Assign> Assignments();
  // Names of the variables whose declaration failed (their type is unknown), so that their
  // uses need no error of their own.
  const std::vector<std::string>& FailedNames() const { return failed_; }
  bool AtEnd();
  std::string PeekWord();

 private:
  struct Tok {
    enum Kind { Word, Number, Quoted, String, Punct, End } kind;
    std::string text;  // Word: upper case
    std::string raw;
    uint32_t line, column;
    size_t offset;
  };
  Tok Next();
  Tok Peek();
  void SkipBlanks();
  TypeP ParseType();
  std::string RawUntilSemicolon(uint32_t& line, uint32_t& col);
  void Error(uint32_t line, uint32_t col, std::string text);
  void SkipToSemicolon();

  TypeP InstanceType(const Tok& at, std::string_view name, bool quoted);
  // Whether a STRUCT or ARRAY at `at` would nest too deep (then reported there).
  bool TooDeep(const Tok& at);

  std::string_view text_;
  std::vector<std::string> failed_;
  size_t pos_ = 0;
  int nesting_ = 0;  // inside a STRUCT or an ARRAY
  uint32_t line_, col_;
  TypeResolver& resolver_;
  std::vector<DeclError>& errors_;
};

// The message for a type nested deeper than kMaxTypeDepth.
std::string DepthMessage();

// Finds a member by a path such as "A.B[2].C" inside `t`; fills the type and bit offset.
bool FindPath(const Type& t, std::string_view upperPath, TypeP& out, uint32_t& bitOffset,
              std::string& err);

// Writes the initial value `text` of type `t` at bit `bitOffset` of `bytes`. Returns an
// empty string or an error message.
std::string EncodeValue(const Type& t, std::string_view text, std::vector<uint8_t>& bytes,
                        uint32_t bitOffset);
// Writes every member's declared initial value, recursively.
void EncodeInitials(const Type& t, uint32_t bitOffset, std::vector<uint8_t>& bytes,
                    std::vector<DeclError>& errors);

}  // namespace softplc
