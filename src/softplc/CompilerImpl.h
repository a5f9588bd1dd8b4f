// The compiler's shared parts, internal to the CPU: the units a source is read into (calls,
// statements, blocks and their variables, files), the Compiler class whose stages live in
// CompileSource.cpp (reading files, block structure, statements, language), CompileResolve.cpp
// (interfaces, data blocks, instances, the call graph and local stack), CompileOperands.cpp
// (operands and addresses) and CompileTranslate.cpp (statements and calls into the program),
// driven by Compiler.cpp; and the small helpers the stages share.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "softplc/Compiler.h"
#include "softplc/Decl.h"
#include "softplc/Encoding.h"
#include "softplc/Lexer.h"
#include "softplc/Machine.h"
#include "softplc/Operands.h"
#include "softplc/Text.h"

namespace softplc::compiler {

constexpr int kMaxNesting = 7;

// A data block's layout as text: every member's name, type and bit offset, nested structures
// and array elements included.
inline std::string LayoutText(const Type& t) {
  std::string s = TypeName(t) + "/" + std::to_string(t.bits);
  if (t.kind == TypeKind::Array && t.elem) s += "[" + LayoutText(*t.elem) + "]";
  if (!t.members.empty()) {
    s += "{";
    for (const Member& m : t.members)
      s += m.upper + "@" + std::to_string(m.bitOffset) + ":" + (m.type ? LayoutText(*m.type) : "") + ";";
    s += "}";
  }
  return s;
}
constexpr size_t kMaxErrors = 200;  // a file of garbage should not produce a million messages

struct CallArg {
  std::string name;  // upper case
  uint32_t line = 0, column = 0;
  std::vector<Token> toks;  // the actual parameter
  std::string_view text;
};

struct Stmt {
  std::string mnem;  // upper case
  uint32_t mnemLine = 0, mnemCol = 0;
  std::string_view label;
  uint32_t labelLine = 0, labelCol = 0;
  uint32_t firstOperand = 0, operandCount = 0;  // token indices
  uint32_t network = 0;
  uint32_t textBegin = 0, textEnd = 0;
  // CALL: the block named and its parameters
  std::string_view target;
  std::vector<CallArg> args;
  bool argsInBrackets = false;
  // "CALL FB 1, DB 1 (" with the parameters on the lines below, up to ");", as STEP 7
  // exports calls
  bool argsOpen = false;
  uint32_t openLine = 0, openCol = 0;
};

enum Section { kIn, kOut, kInOut, kStat, kTemp };

struct DeclRange {
  int section = -1;
  std::string_view text;
  uint32_t line = 0, column = 0;
};

// A name usable as #name inside a code block.
struct Var {
  std::string upper;
  TypeP type;
  int section = kTemp;
  bool inInstance = false;  // FB data: relative to the instance DB
  uint32_t bitOffset = 0;   // in the frame or the instance
};

struct Block {
  BlockKind kind = BlockKind::OB;
  int number = 1;
  bool valid = true;
  size_t file = 0;
  uint32_t line = 1, column = 1;
  uint32_t endLine = 1, endColumn = 1;
  std::vector<Stmt> stmts;
  // a label on the last line(s) with no statement after it
  std::vector<Stmt> trailingLabels;
  std::vector<DeclRange> decls;
  std::string retType;  // FC: "VOID" or a type
  uint32_t retLine = 0, retColumn = 0;
  // data blocks and user types
  DeclRange structRange, initRange;
  std::string instanceOf;  // "FB 1", "SFB 4", "UDT 2"
  uint32_t instLine = 0, instColumn = 0;
  // resolved
  int state = 0;  // 0 not resolved, 1 resolving (cycle check), 2 done
  std::vector<Var> vars;
  std::vector<std::string> failedVars;  // declared, but the declaration failed
  TypeP instanceType;  // FB and SFB: IN, OUT, IN_OUT, STAT
  TypeP dbType;        // DB and UDT
  int dbOfFb = -1;     // index of the FB or SFB a DB is an instance of
  uint32_t frameBytes = 0;
  uint32_t frameBase = 0;
  std::vector<uint8_t> initial;
  Native native = Native::None;
  uint32_t programIndex = 0;
  std::vector<std::pair<size_t, const Stmt*>> callees;
};

struct FileUnit {
  std::vector<Token> toks;
  std::vector<Block> blocks;
  Lang lang = Lang::German;
  bool langKnown = false;
  uint32_t langLine = 0;
};

inline std::string BlockName(BlockKind k, int n) { return std::string(BlockKindName(k)) + " " + std::to_string(n); }

inline uint32_t TokenEnd(const Token& t) {
  uint32_t len = static_cast<uint32_t>(t.text.size());
  if (t.kind == TokKind::Quoted || t.kind == TokKind::CharLit) len += 2;
  return t.offset + len;
}

inline bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

inline std::string Quote(std::string_view s) { return "'" + std::string(s) + "'"; }

inline std::string LangName(Lang l) {
  return l == Lang::German ? Tr(QT_TRANSLATE_NOOP("softplc", "German")) : Tr(QT_TRANSLATE_NOOP("softplc", "English"));
}
inline Lang Other(Lang l) { return l == Lang::German ? Lang::English : Lang::German; }

// Source structure (CompileSource.cpp)
bool IsKeyword(std::string_view upper);
bool IsHeaderLine(std::string_view key);
int SectionOf(std::string_view key);
const char* EndKeyword(BlockKind k);
// The part of a line without its // comment.
std::string_view StripComment(std::string_view line);
std::string_view Trim(std::string_view s);
size_t ListClose(std::string_view text);
bool IsParamLine(std::string_view line);
// "DB10.DBW 2" -> 10 and "DBW 2" (CompileOperands.cpp)
bool SplitQualified(std::string_view upper, int& db, std::string_view& rest);

class Compiler : public TypeResolver {
 public:
  Compiler(const std::vector<SourceFile>& files, const SymbolTable& symbols, Mnemonics m,
           LoadResult& result)
      : files_(files), symbols_(symbols), forced_(m), result_(result) {}

  bool Run(Program& out);
  TypeP FindUdt(std::string_view nameOrSymbol, bool quoted, std::string& err) override;
  TypeP FindInstance(std::string_view nameOrSymbol, bool quoted, std::string& err) override;
  bool NamesFunctionBlock(std::string_view nameOrSymbol, bool quoted) override;

 private:
  // -- messages
  void Error(uint32_t line, uint32_t col, std::string text) {
    if (quiet_ || errorCount_ >= kMaxErrors) return;
    ++errorCount_;
    result_.errors.push_back(MakeMessage(files_.empty() ? std::string() : files_[file_].name,
                                         static_cast<int>(line), static_cast<int>(col), text));
    if (errorCount_ == kMaxErrors)
      result_.errors.push_back(
          MakeMessage(files_[file_].name, static_cast<int>(line), static_cast<int>(col),
                      Tr(QT_TRANSLATE_NOOP("softplc", "too many errors; stopped reporting"))));
  }
  void Warning(uint32_t line, uint32_t col, std::string text) {
    result_.warnings.push_back(
        MakeMessage(files_[file_].name, static_cast<int>(line), static_cast<int>(col), text));
  }
  void DeclErrors(std::vector<DeclError>& errs) {
    for (DeclError& e : errs) Error(e.line, e.column, std::move(e.text));
    errs.clear();
  }

  // Errors and warnings in the order of the files, then of lines and columns; the note that
  // reporting stopped stays last.
  void SortMessages() {
    auto fileIndex = [&](const std::string& name) {
      for (size_t k = 0; k < files_.size(); ++k)
        if (files_[k].name == name) return k;
      return files_.size();
    };
    auto sort = [&](std::vector<Message>& v, size_t keepLast) {
      std::stable_sort(v.begin(), v.end() - static_cast<std::ptrdiff_t>(keepLast),
                       [&](const Message& a, const Message& b) {
                         const size_t fa = fileIndex(a.file), fb = fileIndex(b.file);
                         if (fa != fb) return fa < fb;
                         if (a.line != b.line) return a.line < b.line;
                         return a.column < b.column;
                       });
    };
    sort(result_.errors, errorCount_ >= kMaxErrors && !result_.errors.empty() ? 1 : 0);
    sort(result_.warnings, 0);
  }

  // -- structure
  void ParseFile(FileUnit& fu);
  void ParseStatements(FileUnit& fu, Block& b, size_t i, size_t end, uint32_t network,
                       std::vector<Stmt>& pendingLabels);
  void ParseCallArgs(Stmt& s, std::string_view text, uint32_t line, uint32_t col, bool list);
  bool ParseBlockHeader(FileUnit& fu, size_t i, size_t end, Block& b);
  bool ParseBlockRef(std::string_view text, bool quoted, uint32_t line, uint32_t col,
                     BlockKind& kind, int& number);
  bool RegisterBlock(Block& b);
  void DetectLanguage(FileUnit& fu);

  // -- resolution
  Block* FindBlock(BlockKind k, int number);
  void ResolveBlock(Block& b);
  void ResolveInterface(Block& b);
  bool TooLarge(uint32_t at, const Type& t, const Member& m);
  void ResolveDataBlock(Block& b);
  void AddBuiltins();
  void ResolveCalls();
  // `multi` is set for CALL #name, a multiple instance in the caller's static data.
  bool CallTarget(const Stmt& s, const Block& caller, Block*& target, Block*& instance,
                  const Var*& multi, bool report);

  // -- translation
  void Translate(FileUnit& fu, Block& b, Program& p);
  bool ParseOperand(FileUnit& fu, const Block& b, const Stmt& s, bool wantLabel, Operand& op);
  bool ParseOperandToks(const Token* t, size_t n, const Block& b, Operand& op);
  bool ParseAddress(const Token* t, size_t n, bool fromSymbol, Operand& op, std::string& err);
  bool Accepts(const InstructionDef& d, const Operand& op) const;
  std::string Describe(OperandKind k, uint32_t limit) const;
  bool TranslateCall(const Stmt& s, const Block& caller, Program& p, Insn& in);
  bool ActualToCopy(const Block& caller, const CallArg& arg, const Var& param,
                    const std::string& calleeName, uint32_t calleeFlat, ParamCopy& c,
                    const Program& p);
  bool AnyRange(const Block& caller, const CallArg& arg, uint32_t& base, uint32_t& length,
                const Program& p, uint8_t* typeCode = nullptr);
  // The ANY pointer for a range of `length` bytes at flat offset `base`, as a constant.
  std::array<uint8_t, any::kSize> AnyImage(uint32_t base, uint32_t length, uint8_t typeCode,
                                           const Program& p) const;
  // When `arg` names an ANY variable of the caller (a parameter passed on, or a temporary
  // the program filled), where it lies: flat, or relative to the caller's DI.
  bool OwnAny(const Block& caller, const CallArg& arg, const Program& p, uint32_t& at,
              uint8_t& mode);
  uint32_t FlatOf(const Block& b, const Operand& op, const Program& p) const;

  const std::vector<SourceFile>& files_;
  const SymbolTable& symbols_;
  Mnemonics forced_;
  LoadResult& result_;
  size_t errorCount_ = 0;
  size_t file_ = 0;
  Lang lang_ = Lang::German;
  std::vector<FileUnit> units_;
  std::vector<Block> builtins_;
  std::map<std::pair<BlockKind, int>, std::string> seen_;  // block -> "file:line"
  std::vector<DeclError> declErrors_;
  bool quiet_ = false;
  uint32_t resolving_ = 0;  // UDTs and FBs being resolved inside one another
  // Blocks by kind and number once every file is read, so a lookup does not scan them all.
  std::map<std::pair<BlockKind, int>, Block*> index_;
  bool indexed_ = false;
  uint32_t scratch_ = 0;
  std::vector<const Block*> callTargets_;  // parallel to Program::calls
  std::vector<size_t> poolCopies_;  // parameter copies whose source lies in Program::pool
};

}  // namespace softplc::compiler
