#include "softplc/Compiler.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <unordered_map>

#include "softplc/Decl.h"
#include "softplc/Encoding.h"

#include "softplc/Lexer.h"
#include "softplc/Machine.h"
#include "softplc/Operands.h"

namespace softplc {

const char* BlockKindName(BlockKind k) {
  switch (k) {
    case BlockKind::OB: return "OB";
    case BlockKind::FC: return "FC";
    case BlockKind::FB: return "FB";
    case BlockKind::DB: return "DB";
    case BlockKind::UDT: return "UDT";
    case BlockKind::SFB: return "SFB";
    case BlockKind::SFC: return "SFC";
  }
  return "";
}

namespace {

constexpr int kMaxNesting = 7;

// A data block's layout as text: every member's name, type and bit offset, nested structures
// and array elements included.
std::string LayoutText(const Type& t) {
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

std::string BlockName(BlockKind k, int n) { return std::string(BlockKindName(k)) + " " + std::to_string(n); }

uint32_t TokenEnd(const Token& t) {
  uint32_t len = static_cast<uint32_t>(t.text.size());
  if (t.kind == TokKind::Quoted || t.kind == TokKind::CharLit) len += 2;
  return t.offset + len;
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

std::string Quote(std::string_view s) { return "'" + std::string(s) + "'"; }

const char* LangName(Lang l) { return l == Lang::German ? "German" : "English"; }
const char* WithArticle(Lang l) { return l == Lang::German ? "a German" : "an English"; }
Lang Other(Lang l) { return l == Lang::German ? Lang::English : Lang::German; }

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
    result_.errors.push_back({files_.empty() ? std::string() : files_[file_].name,
                              static_cast<int>(line), static_cast<int>(col), std::move(text)});
    if (errorCount_ == kMaxErrors)
      result_.errors.push_back({files_[file_].name, static_cast<int>(line),
                                static_cast<int>(col), "too many errors; stopped reporting"});
  }
  void Warning(uint32_t line, uint32_t col, std::string text) {
    result_.warnings.push_back({files_[file_].name, static_cast<int>(line),
                                static_cast<int>(col), std::move(text)});
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

// ---------------------------------------------------------------------------------------------
// Structure

bool IsKeyword(std::string_view upper) {
  static const char* const kWords[] = {
      "ORGANIZATION_BLOCK", "END_ORGANIZATION_BLOCK", "TITLE", "VERSION", "AUTHOR", "FAMILY",
      "NAME", "KNOW_HOW_PROTECT", "VAR_TEMP", "END_VAR", "BEGIN", "NETWORK", "FUNCTION",
      "FUNCTION_BLOCK", "DATA_BLOCK", "END_FUNCTION", "END_FUNCTION_BLOCK", "END_DATA_BLOCK",
      "VAR", "VAR_INPUT", "VAR_OUTPUT", "VAR_IN_OUT", "TYPE", "END_TYPE", "CODE_VERSION1",
      "STRUCT", "END_STRUCT", "READ_ONLY", "NON_RETAIN", "UNLINKED"};
  for (const char* w : kWords)
    if (upper == w) return true;
  return false;
}

bool IsHeaderLine(std::string_view key) {
  return key == "TITLE" || key == "VERSION" || key == "AUTHOR" || key == "FAMILY" ||
         key == "NAME" || key == "KNOW_HOW_PROTECT" || key == "CODE_VERSION1" ||
         key == "READ_ONLY" || key == "NON_RETAIN" || key == "UNLINKED";
}

int SectionOf(std::string_view key) {
  if (key == "VAR_INPUT") return kIn;
  if (key == "VAR_OUTPUT") return kOut;
  if (key == "VAR_IN_OUT") return kInOut;
  if (key == "VAR") return kStat;
  if (key == "VAR_TEMP") return kTemp;
  return -1;
}

const char* EndKeyword(BlockKind k) {
  switch (k) {
    case BlockKind::OB: return "END_ORGANIZATION_BLOCK";
    case BlockKind::FC: return "END_FUNCTION";
    case BlockKind::FB: return "END_FUNCTION_BLOCK";
    case BlockKind::DB: return "END_DATA_BLOCK";
    case BlockKind::UDT: return "END_TYPE";
    default: return "";
  }
}

// The part of a line without its // comment.
std::string_view StripComment(std::string_view line) {
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
      return line.substr(0, i);
    }
  }
  return line;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == ';'))
    s.remove_suffix(1);
  return s;
}

// "NAME := actual": one parameter of the CALL above it.
// Where the parameter list of a CALL closes in `text`: the first ')' outside quotes and
// outside brackets opened in the text itself (as in B#(1, 2)); npos when it does not.
size_t ListClose(std::string_view text) {
  int depth = 0;
  char quote = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0) return k;
      --depth;
    }
  }
  return std::string_view::npos;
}

bool IsParamLine(std::string_view line) {
  size_t at = line.find(":=");
  if (at == std::string_view::npos) at = line.find("=>");
  if (at == std::string_view::npos) return false;
  std::string_view name = Trim(line.substr(0, at));
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

void Compiler::ParseFile(FileUnit& fu) {
  enum class State { Outside, Header, Decl, Body, BareBody, DbHeader, DbStruct, DbInit, Udt, Skip };
  State state = State::Outside;
  Block* cur = nullptr;
  uint32_t network = 0;
  std::vector<Stmt> pendingLabels;
  std::string skipUntil;
  const auto& toks = fu.toks;
  const std::string& text = files_[file_].text;
  DeclRange range;
  auto openRange = [&](int section, size_t fromTok) {
    range = DeclRange{};
    range.section = section;
    range.line = toks[fromTok].line;
    range.column = toks[fromTok].column;
    range.text = std::string_view(text).substr(toks[fromTok].offset, 0);
  };
  auto closeRange = [&](const Token& at) {
    size_t begin = static_cast<size_t>(range.text.data() - text.data());
    range.text = std::string_view(text).substr(begin, at.offset > begin ? at.offset - begin : 0);
  };
  auto closeBlock = [&](const Token& t) {
    cur->endLine = t.line;
    cur->endColumn = t.column;
    cur->trailingLabels = std::move(pendingLabels);
    pendingLabels.clear();
    state = State::Outside;
  };
  size_t i = 0;
  while (i < toks.size()) {
    size_t end = i;
    while (toks[end].kind != TokKind::EndOfLine) ++end;
    // first significant token of the line
    size_t first = i;
    while (first < end && toks[first].kind == TokKind::Attribute) ++first;
    if (first == end) {
      i = end + 1;
      continue;
    }
    const Token& t = toks[first];
    std::string word = t.kind == TokKind::Word ? Upper(t.text) : std::string();
    // "VERSION : 0.1" and "NAME:x" spellings
    std::string key = word.substr(0, word.find(':'));
    bool keyword = IsKeyword(key);
    std::string_view lineText = StripComment(
        std::string_view(text).substr(t.offset, toks[end].offset - t.offset));

    switch (state) {
      case State::Skip:
        if (key == skipUntil) state = State::Outside;
        break;
      case State::Outside:
        if (key == "ORGANIZATION_BLOCK" || key == "FUNCTION" || key == "FUNCTION_BLOCK" ||
            key == "DATA_BLOCK" || key == "TYPE") {
          fu.blocks.emplace_back();
          cur = &fu.blocks.back();
          cur->file = file_;
          cur->kind = key == "ORGANIZATION_BLOCK" ? BlockKind::OB
                      : key == "FUNCTION"         ? BlockKind::FC
                      : key == "FUNCTION_BLOCK"   ? BlockKind::FB
                      : key == "DATA_BLOCK"       ? BlockKind::DB
                                                  : BlockKind::UDT;
          cur->line = t.line;
          cur->column = t.column;
          if (!ParseBlockHeader(fu, first + 1, end, *cur)) cur->valid = false;
          network = 0;
          state = cur->kind == BlockKind::DB    ? State::DbHeader
                  : cur->kind == BlockKind::UDT ? State::Udt
                                                : State::Header;
          if (state == State::Udt) openRange(-1, end + 1 < toks.size() ? end + 1 : end);
        } else if (keyword && key != "NETWORK" && key != "TITLE") {
          Error(t.line, t.column, Quote(t.text) + " is only allowed inside a block");
        } else {
          fu.blocks.emplace_back();
          cur = &fu.blocks.back();
          cur->file = file_;
          cur->kind = BlockKind::OB;
          cur->number = 1;
          cur->line = t.line;
          cur->column = t.column;
          cur->valid = RegisterBlock(*cur);
          network = 0;
          state = State::BareBody;
          continue;  // re-read this line as part of the body
        }
        break;
      case State::Header:
        if (IsHeaderLine(key)) {
        } else if (SectionOf(key) >= 0) {
          int section = SectionOf(key);
          if (cur->kind == BlockKind::OB && section != kTemp) {
            Error(t.line, t.column, "an organization block can only declare VAR_TEMP variables");
            section = -1;
          } else if (cur->kind == BlockKind::FC && section == kStat) {
            const bool constants = first + 1 < end && toks[first + 1].kind == TokKind::Word &&
                                   Upper(toks[first + 1].text) == "CONSTANT";
            if (constants)
              Error(toks[first + 1].line, toks[first + 1].column,
                    "STL has no named constants (VAR CONSTANT); write the value where it is "
                    "used, or keep it in a data block");
            else
              Error(t.line, t.column,
                    "a function (FC) has no static variables; use VAR_TEMP or a function block");
            section = -1;
          }
          openRange(section, end + 1 < toks.size() ? end + 1 : end);
          state = State::Decl;
        } else if (key == "BEGIN") {
          state = State::Body;
        } else if (key == EndKeyword(cur->kind)) {
          Error(t.line, t.column, "the block has no BEGIN");
          state = State::Outside;
        } else {
          Error(t.line, t.column, "expected TITLE, VERSION, a VAR section or BEGIN, found " +
                                      Quote(t.text));
        }
        break;
      case State::Decl:
        if (key == "END_VAR") {
          closeRange(t);
          cur->decls.push_back(range);
          state = State::Header;
        } else if (key == "BEGIN" || SectionOf(key) >= 0) {
          Error(t.line, t.column, "the variable section is not closed with END_VAR");
          closeRange(t);
          cur->decls.push_back(range);
          state = State::Header;
          continue;
        }
        break;
      case State::DbHeader:
        if (IsHeaderLine(key)) {
        } else if (key == "STRUCT") {
          openRange(-1, first);
          state = State::DbStruct;
        } else if (key == "BEGIN") {
          openRange(-1, end + 1 < toks.size() ? end + 1 : end);
          state = State::DbInit;
        } else if (key == "END_DATA_BLOCK") {
          closeBlock(t);
        } else if (t.kind == TokKind::Quoted || key == "FB" || key == "SFB" || key == "UDT" ||
                   word.rfind("FB", 0) == 0 || word.rfind("SFB", 0) == 0 ||
                   word.rfind("UDT", 0) == 0) {
          cur->instanceOf = t.kind == TokKind::Quoted ? "\"" + std::string(t.text) + "\""
                                                      : std::string(Trim(lineText));
          cur->instLine = t.line;
          cur->instColumn = t.column;
        } else {
          Error(t.line, t.column, "expected STRUCT, the FB or UDT the data block is made of, "
                                  "or BEGIN; found " + Quote(t.text));
        }
        break;
      case State::DbStruct:
        if (key == "BEGIN" || key == "END_DATA_BLOCK") {
          closeRange(t);
          cur->structRange = range;
          if (key == "BEGIN") {
            openRange(-1, end + 1 < toks.size() ? end + 1 : end);
            state = State::DbInit;
          } else {
            closeBlock(t);
          }
        }
        break;
      case State::DbInit:
        if (key == "END_DATA_BLOCK") {
          closeRange(t);
          cur->initRange = range;
          closeBlock(t);
        }
        break;
      case State::Udt:
        if (key == "END_TYPE") {
          closeRange(t);
          cur->structRange = range;
          closeBlock(t);
        }
        break;
      case State::Body:
      case State::BareBody:
        if (!cur->stmts.empty() && cur->stmts.back().argsOpen) {
          Stmt& call = cur->stmts.back();
          if (keyword && !IsParamLine(lineText)) {
            Error(call.openLine, call.openCol, "the parameter list is not closed with ')'");
            call.argsOpen = false;
          } else {
            // one or more parameters of the open list, perhaps with its closing bracket
            const size_t close = ListClose(lineText);
            ParseCallArgs(call, lineText.substr(0, close), t.line, t.column, true);
            if (close != std::string_view::npos) {
              call.argsOpen = false;
              const std::string_view rest = Trim(lineText.substr(close + 1));
              if (!rest.empty() && rest != ";")
                Error(t.line, t.column + static_cast<uint32_t>(close) + 1,
                      "unexpected " + Quote(rest) + " after the parameter list");
            }
            break;
          }
        }
        if (key == "NETWORK") {
          ++network;
        } else if (key == "TITLE") {
        } else if (state == State::Body && key == EndKeyword(cur->kind)) {
          closeBlock(t);
        } else if (key.rfind("END_", 0) == 0 && keyword) {
          Error(t.line, t.column,
                state == State::BareBody
                    ? Quote(t.text) + " without its block"
                    : "this block ends with " + std::string(EndKeyword(cur->kind)) + ", not " +
                          Quote(t.text));
          if (state == State::Body) closeBlock(t);
        } else if (key == "ORGANIZATION_BLOCK" || key == "FUNCTION" ||
                   key == "FUNCTION_BLOCK" || key == "DATA_BLOCK" || key == "TYPE") {
          Error(t.line, t.column,
                state == State::BareBody
                    ? "a file holds either plain statements or blocks, not both"
                    : "the block before this line is not closed with " +
                          std::string(EndKeyword(cur->kind)));
          if (state == State::Body) {
            closeBlock(t);
            continue;
          }
        } else if (keyword && key != "NAME") {
          Error(t.line, t.column, Quote(t.text) + " is not allowed among the statements");
        } else if (!cur->stmts.empty() && cur->stmts.back().mnem == "CALL" &&
                   !cur->stmts.back().argsInBrackets && IsParamLine(lineText) &&
                   pendingLabels.empty()) {
          // a parameter line of the CALL above
          ParseCallArgs(cur->stmts.back(), lineText, t.line, t.column, false);
        } else {
          ParseStatements(fu, *cur, first, end, network, pendingLabels);
        }
        break;
    }
    i = end + 1;
  }
  if (state != State::Outside && state != State::BareBody && state != State::Skip && cur) {
    const Token& last = toks.back();
    Error(last.line, last.column,
          std::string(EndKeyword(cur->kind)) + " is missing at the end of the file");
  }
  if (cur && (state == State::BareBody || state == State::Body)) {
    const Token& last = toks.back();
    cur->endLine = last.line;
    cur->endColumn = last.column;
    cur->trailingLabels = std::move(pendingLabels);
  }
}

// Splits "A := M 0.0, B := MW 2" (a bracketed list) or one "A := M 0.0" line into parameters.
void Compiler::ParseCallArgs(Stmt& s, std::string_view text, uint32_t line, uint32_t col,
                             bool list) {
  const char* base = text.data();
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    int depth = 0;
    char quote = 0;
    for (; j < text.size(); ++j) {
      char c = text[j];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[' || c == '(') {
        ++depth;
      } else if (c == ']' || c == ')') {
        --depth;
      } else if (c == ',' && depth <= 0 && list) {
        break;
      }
    }
    std::string_view item = text.substr(i, j - i);
    uint32_t itemCol = col + static_cast<uint32_t>(i);
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) {
      item.remove_prefix(1);
      ++itemCol;
    }
    std::string_view trimmed = Trim(item);
    if (!trimmed.empty()) {
      size_t assign = trimmed.find(":=");
      size_t arrow = trimmed.find("=>");
      size_t at = assign != std::string_view::npos ? assign : arrow;
      CallArg a;
      a.line = line;
      a.column = itemCol;
      if (at == std::string_view::npos || at == 0) {
        Error(line, itemCol, "a parameter is written 'name := actual'");
      } else {
        a.name = Upper(Trim(trimmed.substr(0, at)));
        std::string_view actual = trimmed.substr(at + 2);
        uint32_t actualCol = itemCol + static_cast<uint32_t>(at + 2);
        while (!actual.empty() && (actual.front() == ' ' || actual.front() == '\t')) {
          actual.remove_prefix(1);
          ++actualCol;
        }
        a.text = actual;
        std::vector<Token> toks;
        Tokenize(actual, toks);
        uint32_t offset = static_cast<uint32_t>(actual.data() - files_[file_].text.data());
        for (Token& tk : toks) {
          if (tk.kind == TokKind::EndOfLine) continue;
          tk.line = line;
          tk.column += actualCol - 1;
          tk.offset += offset;
          a.toks.push_back(tk);
        }
        if (a.toks.empty()) Error(line, actualCol, "parameter " + a.name + " has no actual value");
        else s.args.push_back(std::move(a));
      }
    }
    i = j + 1;
  }
  (void)base;
}

bool Compiler::ParseBlockRef(std::string_view text, bool quoted, uint32_t line, uint32_t col,
                             BlockKind& kind, int& number) {
  std::string name;
  if (quoted) {
    std::string sym(text);
    auto it = symbols_.find(sym);
    if (it == symbols_.end())
      for (auto j = symbols_.begin(); j != symbols_.end(); ++j)
        if (EqualsNoCaseUtf8(j->first, sym)) it = j;
    if (it != symbols_.end()) {
      name = Upper(it->second);
    } else {
      // the names the CPU gives its organization and system blocks
      static const std::pair<const char*, const char*> kDefaults[] = {
          {"CYCL_EXC", "OB1"},       {"CYCLE EXECUTION", "OB1"}, {"COMPLETE RESTART", "OB100"},
          {"COMPLETE_RESTART", "OB100"}, {"CYC_INT5", "OB35"},    {"CTU", "SFB0"},
          {"CTD", "SFB1"},           {"CTUD", "SFB2"},           {"TP", "SFB3"},
          {"TON", "SFB4"},           {"TOF", "SFB5"},            {"BLKMOV", "SFC20"},
          {"FILL", "SFC21"},         {"STP", "SFC46"},           {"TIME_TCK", "SFC64"}};
      std::string up = Upper(sym);
      for (const auto& d : kDefaults)
        if (up == d.first) name = d.second;
      if (name.empty()) {
        Error(line, col, "unknown symbol \"" + sym + "\"; name the block in the symbol table or write it as FC 1, FB 1, DB 1");
        return false;
      }
    }
  } else {
    name = Upper(text);
  }
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; }),
             name.end());
  static const std::pair<const char*, BlockKind> kKinds[] = {
      {"UDT", BlockKind::UDT}, {"SFB", BlockKind::SFB}, {"SFC", BlockKind::SFC},
      {"OB", BlockKind::OB},   {"FC", BlockKind::FC},   {"FB", BlockKind::FB},
      {"DB", BlockKind::DB}};
  for (const auto& k : kKinds) {
    size_t len = std::string_view(k.first).size();
    if (name.compare(0, len, k.first) != 0) continue;
    std::string digits = name.substr(len);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      break;
    kind = k.second;
    number = std::stoi(digits);
    if (number > 65535) break;
    return true;
  }
  Error(line, col, quoted ? "symbol \"" + std::string(text) + "\" stands for " + Quote(name) +
                                ", which is not a block"
                          : "expected a block name such as FC 1, FB 1 or DB 1, found " +
                                Quote(text));
  return false;
}

bool Compiler::ParseBlockHeader(FileUnit& fu, size_t i, size_t end, Block& b) {
  const auto& toks = fu.toks;
  const Token& kw = toks[i - 1];
  while (i < end && toks[i].kind == TokKind::Attribute) ++i;
  if (i >= end) {
    Error(kw.line, kw.column, "the block needs a name such as " +
                                  std::string(BlockKindName(b.kind == BlockKind::DB ? BlockKind::DB : b.kind)) +
                                  " 1");
    return false;
  }
  const std::string& text = files_[file_].text;
  std::string_view rest = StripComment(
      std::string_view(text).substr(toks[i].offset, toks[end].offset - toks[i].offset));
  bool quoted = toks[i].kind == TokKind::Quoted;
  std::string_view name = quoted ? toks[i].text : rest;
  if (b.kind == BlockKind::FC) {
    // "FC 1 : VOID" or "\"name\" : INT"
    size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
      Error(kw.line, kw.column, "a function is declared 'FUNCTION FC 1 : VOID' (or with the type of its RET_VAL)");
      return false;
    }
    b.retType = Upper(Trim(rest.substr(colon + 1)));
    b.retLine = toks[i].line;
    b.retColumn = toks[i].column + static_cast<uint32_t>(colon) + 1;
    if (!quoted) name = Trim(rest.substr(0, colon));
  } else if (!quoted) {
    name = Trim(rest);
  }
  BlockKind kind = b.kind;
  int number = 0;
  if (!ParseBlockRef(name, quoted, toks[i].line, toks[i].column, kind, number)) return false;
  if (kind != b.kind) {
    Error(toks[i].line, toks[i].column,
          Quote(BlockName(kind, number)) + " cannot be declared with " + Quote(kw.text) +
              "; expected " + BlockKindName(b.kind) + " n");
    return false;
  }
  b.number = number;
  b.line = toks[i].line;
  b.column = toks[i].column;
  if (kind == BlockKind::OB && number != 1 && number != 100 && number != 35) {
    Error(toks[i].line, toks[i].column,
          "only OB 1, OB 35 and OB 100 are supported, not OB " + std::to_string(number));
    return false;
  }
  if (kind == BlockKind::DB && number == 0) {
    Error(toks[i].line, toks[i].column, "data blocks are numbered from 1");
    return false;
  }
  return RegisterBlock(b);
}

bool Compiler::RegisterBlock(Block& b) {
  const auto [at, added] =
      seen_.emplace(std::make_pair(b.kind, b.number), files_[file_].name + ":" + std::to_string(b.line));
  if (!added) {
    Error(b.line, b.column, BlockName(b.kind, b.number) + " is defined twice (first at " +
                                at->second + ")");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Resolution: interfaces, data blocks, user types, the call graph and the local stack

// Interfaces of the system blocks, declared as a user's block would be.
struct BuiltinDef {
  BlockKind kind;
  int number;
  Native native;
  const char* in;
  const char* out;
  const char* stat;
};
constexpr BuiltinDef kBuiltins[] = {
    {BlockKind::SFB, 0, Native::CTU, "CU : BOOL; R : BOOL; PV : INT;", "Q : BOOL; CV : INT;", "CUO : BOOL;"},
    {BlockKind::SFB, 1, Native::CTD, "CD : BOOL; LOAD : BOOL; PV : INT;", "Q : BOOL; CV : INT;", "CDO : BOOL;"},
    {BlockKind::SFB, 2, Native::CTUD, "CU : BOOL; CD : BOOL; R : BOOL; LOAD : BOOL; PV : INT;",
     "QU : BOOL; QD : BOOL; CV : INT;", "CUO : BOOL; CDO : BOOL;"},
    {BlockKind::SFB, 3, Native::TP, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFB, 4, Native::TON, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFB, 5, Native::TOF, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFC, 20, Native::BLKMOV, "SRCBLK : ANY;", "RET_VAL : INT; DSTBLK : ANY;", ""},
    {BlockKind::SFC, 21, Native::FILL, "BVAL : ANY;", "RET_VAL : INT; BLK : ANY;", ""},
    {BlockKind::SFC, 46, Native::STP, "", "", ""},
    {BlockKind::SFC, 64, Native::TIME_TCK, "", "RET_VAL : TIME;", ""},
};

void Compiler::AddBuiltins() {
  for (const BuiltinDef& d : kBuiltins) {
    Block b;
    b.kind = d.kind;
    b.number = d.number;
    b.native = d.native;
    if (*d.in) b.decls.push_back({kIn, d.in, 1, 1});
    if (*d.out) b.decls.push_back({kOut, d.out, 1, 1});
    if (*d.stat) b.decls.push_back({kStat, d.stat, 1, 1});
    builtins_.push_back(std::move(b));
  }
}

Block* Compiler::FindBlock(BlockKind k, int number) {
  if (indexed_) {
    const auto it = index_.find({k, number});
    return it == index_.end() ? nullptr : it->second;
  }
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid && b.kind == k && b.number == number) return &b;
  for (Block& b : builtins_)
    if (b.kind == k && b.number == number) return &b;
  return nullptr;
}

TypeP Compiler::FindUdt(std::string_view name, bool quoted, std::string& err) {
  BlockKind kind = BlockKind::UDT;
  int number = 0;
  bool wasQuiet = quiet_;
  quiet_ = true;
  bool ok = ParseBlockRef(name, quoted, 0, 0, kind, number);
  quiet_ = wasQuiet;
  if (!ok || kind != BlockKind::UDT) {
    err = (quoted ? "\"" + std::string(name) + "\"" : Quote(name)) + " is not a known user type (UDT)";
    return nullptr;
  }
  Block* u = FindBlock(BlockKind::UDT, number);
  if (!u) {
    err = "UDT " + std::to_string(number) + " does not exist (it is not in the loaded files)";
    return nullptr;
  }
  if (u->state == 1) {
    err = "UDT " + std::to_string(number) + " contains itself";
    return nullptr;
  }
  if (u->state == 0 && resolving_ >= kMaxTypeDepth) {
    err = DepthMessage();
    return nullptr;
  }
  std::vector<DeclError> pending;
  pending.swap(declErrors_);
  ++resolving_;
  ResolveBlock(*u);
  --resolving_;
  pending.swap(declErrors_);
  if (!u->dbType) err = "UDT " + std::to_string(number) + " has errors";
  return u->dbType;
}

bool Compiler::NamesFunctionBlock(std::string_view name, bool quoted) {
  if (!quoted) {
    // unquoted, only the system blocks' own names: anything else is a type name or a typo
    const std::string up = Upper(name);
    if (up != "TP" && up != "TON" && up != "TOF" && up != "CTU" && up != "CTD" && up != "CTUD")
      return false;
  }
  BlockKind kind = BlockKind::UDT;
  int number = 0;
  const bool wasQuiet = quiet_;
  quiet_ = true;
  const bool ok = ParseBlockRef(name, true, 0, 0, kind, number);
  quiet_ = wasQuiet;
  return ok && (kind == BlockKind::FB || kind == BlockKind::SFB);
}

TypeP Compiler::FindInstance(std::string_view name, bool quoted, std::string& err) {
  BlockKind kind = BlockKind::FB;
  int number = 0;
  const bool wasQuiet = quiet_;
  quiet_ = true;
  const bool ok = ParseBlockRef(name, quoted, 0, 0, kind, number);
  quiet_ = wasQuiet;
  if (!ok || (kind != BlockKind::FB && kind != BlockKind::SFB)) {
    err = (quoted ? "\"" + std::string(name) + "\"" : Quote(name)) + " is not a function block";
    return nullptr;
  }
  Block* fb = FindBlock(kind, number);
  if (!fb) {
    err = BlockName(kind, number) + " does not exist (it is not in the loaded files)";
    return nullptr;
  }
  if (fb->state == 1) {
    err = BlockName(kind, number) + " would contain an instance of itself, directly or through "
          "other function blocks";
    return nullptr;
  }
  // the nested block reports its own errors against its own file, not amid the declarations
  // being parsed here
  if (fb->state == 0 && resolving_ >= kMaxTypeDepth) {
    err = DepthMessage();
    return nullptr;
  }
  std::vector<DeclError> pending;
  pending.swap(declErrors_);
  ++resolving_;
  ResolveBlock(*fb);
  --resolving_;
  pending.swap(declErrors_);
  if (!fb->instanceType) {
    err = BlockName(kind, number) + " has errors";
    return nullptr;
  }
  auto t = std::make_shared<Type>(*fb->instanceType);
  t->name = BlockName(kind, number);
  t->instance = true;
  return t;
}

void Compiler::ResolveBlock(Block& b) {
  if (b.state != 0) return;
  b.state = 1;
  size_t savedFile = file_;
  file_ = b.file;
  switch (b.kind) {
    case BlockKind::UDT: {
      if (b.structRange.text.empty()) {
        Error(b.line, b.column, "a user type is declared TYPE UDT n STRUCT ... END_STRUCT END_TYPE");
        break;
      }
      DeclParser dp(b.structRange.text, b.structRange.line, b.structRange.column, *this, declErrors_);
      TypeP t = dp.Struct();
      DeclErrors(declErrors_);
      if (t) {
        auto named = std::make_shared<Type>(*t);
        named->name = BlockName(BlockKind::UDT, b.number);
        b.dbType = named;
      }
      break;
    }
    case BlockKind::DB: ResolveDataBlock(b); break;
    default: ResolveInterface(b); break;
  }
  file_ = savedFile;
  b.state = 2;
}

bool Compiler::TooLarge(uint32_t at, const Type& t, const Member& m) {
  // a block's data cannot exceed the CPU's data memory; also keeps bit counts from overflowing
  if (uint64_t{at} + t.bits <= uint64_t{mem::kMaxDataBytes} * 8) return false;
  Error(m.line, m.column, "the block's variables are larger than the CPU's data memory");
  return true;
}

void Compiler::ResolveInterface(Block& b) {
  struct Decl {
    Member m;
    int section;
  };
  std::vector<Decl> decls;
  for (const DeclRange& r : b.decls) {
    DeclParser dp(r.text, r.line, r.column, *this, declErrors_);
    uint32_t bits = 0;
    std::vector<Member> members = dp.Members({}, bits);
    b.failedVars.insert(b.failedVars.end(), dp.FailedNames().begin(), dp.FailedNames().end());
    if (r.section < 0) {
      // a section refused as a whole: its names are known, their uses need no more errors
      for (const Member& m : members) b.failedVars.push_back(m.upper);
      declErrors_.clear();
      continue;
    }
    for (Member& m : members) decls.push_back({std::move(m), r.section});
    DeclErrors(declErrors_);
  }
  if (b.kind == BlockKind::FC && !b.retType.empty() && b.retType != "VOID") {
    std::string text = "RET_VAL : " + b.retType + ";";
    std::vector<DeclError> errs;
    DeclParser dp(text, b.retLine, b.retColumn, *this, errs);
    uint32_t bits = 0;
    auto ms = dp.Members({}, bits);
    if (!errs.empty() || ms.empty()) {
      Error(b.retLine, b.retColumn, "unknown return type " + Quote(b.retType));
    } else {
      decls.insert(decls.begin(), Decl{ms[0], kOut});
    }
  }
  // temporaries from local byte 0, as the program addresses them absolutely too
  uint32_t temp = 0;
  for (Decl& d : decls) {
    if (d.section != kTemp) continue;
    if (!d.m.init.empty())
      Error(d.m.initLine, d.m.initColumn, "temporary variables cannot have an initial value");
    uint32_t at = AlignFor(*d.m.type, temp);
    if (TooLarge(at, *d.m.type, d.m)) break;
    b.vars.push_back({d.m.upper, d.m.type, kTemp, false, at});
    temp = at + d.m.type->bits;
  }
  temp = (temp + 15) / 16 * 16;
  uint32_t frameEnd = temp;
  if (b.kind == BlockKind::FB || b.kind == BlockKind::SFB) {
    auto inst = std::make_shared<Type>();
    inst->kind = TypeKind::Struct;
    uint32_t pos = 0;
    for (int section : {kIn, kOut, kInOut, kStat}) {
      pos = (pos + 15) / 16 * 16;  // every section starts on an even byte
      for (Decl& d : decls) {
        if (d.section != section) continue;
        uint32_t at = AlignFor(*d.m.type, pos);
        if (TooLarge(at, *d.m.type, d.m)) break;
        Member m = d.m;
        m.bitOffset = at;
        inst->members.push_back(m);
        b.vars.push_back({d.m.upper, d.m.type, section, true, at});
        pos = at + d.m.type->bits;
      }
    }
    inst->bits = (pos + 15) / 16 * 16;
    for (const Member& m : inst->members) inst->depth = std::max(inst->depth, m.type->depth + 1);
    if (inst->depth > kMaxTypeDepth)
      Error(b.line, b.column, DepthMessage());
    else
      b.instanceType = inst;
  } else {
    // FC parameters are copied into the frame, behind the temporaries
    uint32_t pos = temp;
    for (int section : {kIn, kOut, kInOut}) {
      for (Decl& d : decls) {
        if (d.section != section) continue;
        if (!d.m.init.empty())
          Error(d.m.initLine, d.m.initColumn,
                "parameters of a function (FC) cannot have initial values");
        uint32_t at = AlignFor(*d.m.type, pos);
        if (TooLarge(at, *d.m.type, d.m)) break;
        b.vars.push_back({d.m.upper, d.m.type, section, false, at});
        pos = at + d.m.type->bits;
      }
    }
    frameEnd = pos;
  }
  for (const Decl& d : decls) {
    if (d.m.type->instance && (b.kind != BlockKind::FB || d.section != kStat)) {
      Error(d.m.line, d.m.column, "an instance of " + d.m.type->name +
                                      " can only be declared among the static variables (VAR) "
                                      "of a function block");
      continue;
    }
    TypeKind k = d.m.type->kind;
    // a function may take the number of a timer or counter as an input
    bool numbered = (k == TypeKind::Timer || k == TypeKind::Counter) && b.kind == BlockKind::FC &&
                    d.section == kIn;
    if (b.native == Native::None && !numbered &&
        (k == TypeKind::Timer || k == TypeKind::Counter))
      Error(d.m.line, d.m.column, "variables of type " + TypeName(*d.m.type) +
                                      " are not supported here; a function (FC) can take them as "
                                      "VAR_INPUT");
  }
  // duplicate names across sections
  for (size_t i = 0; i < b.vars.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (b.vars[i].upper == b.vars[j].upper) {
        for (const Decl& d : decls)
          if (d.m.upper == b.vars[i].upper) {
            Error(d.m.line, d.m.column, "variable " + Quote(d.m.name) + " is declared twice");
            break;
          }
      }
  b.frameBytes = (frameEnd + 15) / 16 * 2;
  if (b.frameBytes > mem::kLocalSize)
    Error(b.line, b.column, BlockName(b.kind, b.number) + " needs " + std::to_string(b.frameBytes) +
                                " bytes of local data; a block may use " +
                                std::to_string(mem::kLocalSize));
}

void Compiler::ResolveDataBlock(Block& b) {
  TypeP type;
  if (!b.instanceOf.empty()) {
    bool quoted = b.instanceOf.front() == '"';
    std::string_view name = quoted ? std::string_view(b.instanceOf).substr(1, b.instanceOf.size() - 2)
                                   : std::string_view(b.instanceOf);
    BlockKind kind = BlockKind::FB;
    int number = 0;
    if (ParseBlockRef(name, quoted, b.instLine, b.instColumn, kind, number)) {
      if (kind == BlockKind::FB || kind == BlockKind::SFB) {
        Block* fb = FindBlock(kind, number);
        if (!fb) {
          Error(b.instLine, b.instColumn, BlockName(kind, number) + " does not exist (it is not in the loaded files)");
        } else {
          ResolveBlock(*fb);
          file_ = b.file;
          type = fb->instanceType;
          b.native = fb->native;
          b.dbOfFb = fb->kind == BlockKind::SFB ? 100000 + fb->number : fb->number;
        }
      } else if (kind == BlockKind::UDT) {
        std::string err;
        type = FindUdt("UDT " + std::to_string(number), false, err);
        if (!type) Error(b.instLine, b.instColumn, err);
      } else {
        Error(b.instLine, b.instColumn, "a data block is made of a STRUCT, an FB or a UDT, not " +
                                            BlockName(kind, number));
      }
    }
  } else if (!b.structRange.text.empty()) {
    DeclParser dp(b.structRange.text, b.structRange.line, b.structRange.column, *this, declErrors_);
    type = dp.Struct();
    DeclErrors(declErrors_);
  } else {
    Error(b.line, b.column, "the data block needs STRUCT ... END_STRUCT, or the FB or UDT it is "
                            "an instance of");
  }
  if (!type) return;
  b.dbType = type;
  b.initial.assign(type->bits / 8, 0);
  std::vector<DeclError> errs;
  EncodeInitials(*type, 0, b.initial, errs);
  if (!b.initRange.text.empty()) {
    DeclParser dp(b.initRange.text, b.initRange.line, b.initRange.column, *this, errs);
    for (const DeclParser::Assign& a : dp.Assignments()) {
      TypeP t;
      uint32_t off = 0;
      std::string err;
      if (!FindPath(*type, a.path, t, off, err)) {
        errs.push_back({a.line, a.column, "the data block " + (err.empty() ? "has no " + a.path : err)});
        continue;
      }
      std::string e = EncodeValue(*t, a.value, b.initial, off);
      if (!e.empty()) errs.push_back({a.valueLine, a.valueColumn, e});
    }
  }
  DeclErrors(errs);
}

bool Compiler::CallTarget(const Stmt& s, const Block& caller, Block*& target, Block*& instance,
                          const Var*& multi, bool report) {
  bool wasQuiet = quiet_;
  quiet_ = !report;
  target = instance = nullptr;
  multi = nullptr;
  std::string_view text = s.target;
  const Token& op0 = units_[file_].toks[s.firstOperand];
  uint32_t line = op0.line, col = op0.column;
  auto finish = [&](bool ok) {
    quiet_ = wasQuiet;
    return ok;
  };
  if (text.empty()) {
    Error(s.mnemLine, s.mnemCol, Quote(s.mnem) + " needs a block such as FC 1");
    return finish(false);
  }
  if (text.front() == '#') {
    const std::string name = Upper(Trim(text.substr(1)));
    const Var* v = nullptr;
    for (const Var& var : caller.vars)
      if (var.upper == name) v = &var;
    if (!v || !v->type->instance) {
      Error(line, col, Quote(text) + (v ? " is not an instance of a function block"
                                         : " is not a variable of " + BlockName(caller.kind, caller.number)) +
                           "; CALL #name calls an FB or SFB declared among the static variables");
      return finish(false);
    }
    if (s.mnem != "CALL") {
      Error(s.mnemLine, s.mnemCol, Quote(s.mnem) + " cannot call a multiple instance; use CALL " +
                                       std::string(text));
      return finish(false);
    }
    BlockKind kind = BlockKind::FB;
    int number = 0;
    if (!ParseBlockRef(v->type->name, false, line, col, kind, number)) return finish(false);
    target = FindBlock(kind, number);
    multi = v;
    return finish(target != nullptr);
  }
  size_t comma = std::string_view::npos;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (quote) {
      if (text[i] == quote) quote = 0;
    } else if (text[i] == '"') {
      quote = '"';
    } else if (text[i] == ',') {
      comma = i;
      break;
    }
  }
  auto ref = [&](std::string_view part, uint32_t c, BlockKind& k, int& n) {
    part = Trim(part);
    bool quoted = part.size() >= 2 && part.front() == '"' && part.back() == '"';
    if (quoted) part = part.substr(1, part.size() - 2);
    return ParseBlockRef(part, quoted, line, c, k, n);
  };
  BlockKind kind = BlockKind::FC;
  int number = 0;
  if (!ref(text.substr(0, comma), col, kind, number)) return finish(false);
  if (kind != BlockKind::FC && kind != BlockKind::FB && kind != BlockKind::SFC && kind != BlockKind::SFB) {
    Error(line, col, "only FC, FB, SFC and SFB blocks can be called, not " + BlockName(kind, number));
    return finish(false);
  }
  target = FindBlock(kind, number);
  if (!target) {
    Error(line, col, BlockName(kind, number) + " does not exist (it is not in the loaded files)");
    return finish(false);
  }
  bool needsInstance = kind == BlockKind::FB || kind == BlockKind::SFB;
  if (comma == std::string_view::npos) {
    if (needsInstance && s.mnem == "CALL") {
      Error(line, col, "calling " + BlockName(kind, number) +
                           " needs its instance data block: CALL " + BlockName(kind, number) + ", DB n");
      return finish(false);
    }
    return finish(true);
  }
  uint32_t dbCol = col + static_cast<uint32_t>(comma) + 1;
  for (size_t k = comma + 1; k < text.size() && (text[k] == ' ' || text[k] == '\t'); ++k) ++dbCol;
  if (!needsInstance) {
    Error(line, dbCol, BlockName(kind, number) + " has no instance data block; write CALL " +
                           BlockName(kind, number));
    return finish(false);
  }
  BlockKind dk = BlockKind::DB;
  int dn = 0;
  if (!ref(text.substr(comma + 1), dbCol, dk, dn)) return finish(false);
  if (dk != BlockKind::DB) {
    Error(line, dbCol, "expected the instance data block (DB n) after the comma");
    return finish(false);
  }
  instance = FindBlock(BlockKind::DB, dn);
  if (!instance) {
    Error(line, dbCol, "instance data block DB " + std::to_string(dn) +
                           " does not exist; declare it as DATA_BLOCK DB " + std::to_string(dn) +
                           " with " + BlockName(kind, number) + " in its header");
    return finish(false);
  }
  int want = kind == BlockKind::SFB ? 100000 + number : number;
  if (instance->dbOfFb != want) {
    Error(line, dbCol, "DB " + std::to_string(dn) + " is not an instance data block of " +
                           BlockName(kind, number));
    return finish(false);
  }
  return finish(true);
}

void Compiler::ResolveCalls() {
  std::vector<Block*> code;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid && (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB))
        code.push_back(&b);
  std::unordered_map<const Block*, size_t> position;
  for (size_t k = 0; k < code.size(); ++k) position.emplace(code[k], k);
  for (Block* b : code) {
    file_ = b->file;
    for (const Stmt& s : b->stmts) {
      if (s.mnem != "CALL" && s.mnem != "UC" && s.mnem != "CC") continue;
      Block *t = nullptr, *inst = nullptr;
      const Var* multi = nullptr;
      if (!CallTarget(s, *b, t, inst, multi, false) || !t || t->native != Native::None) continue;
      if (const auto k = position.find(t); k != position.end()) b->callees.emplace_back(k->second, &s);
    }
  }
  // depth-first: finds recursion and gives the callers-first order for the frames
  std::vector<int> color(code.size(), 0);
  std::vector<size_t> order;
  std::vector<size_t> path;
  bool recursion = false;
  // With an explicit stack (block, next callee to look at): a chain of 50 000 calls is as
  // deep as it is long, far too deep for the machine stack.
  std::vector<std::pair<size_t, size_t>> stack;
  for (size_t root = 0; root < code.size(); ++root) {
    if (color[root] != 0) continue;
    color[root] = 1;
    path.push_back(root);
    stack.push_back({root, 0});
    while (!stack.empty()) {
      auto& [v, next] = stack.back();
      if (next == code[v]->callees.size()) {
        path.pop_back();
        color[v] = 2;
        order.push_back(v);
        stack.pop_back();
        continue;
      }
      const auto& [w, stmt] = code[v]->callees[next++];
      if (color[w] == 1) {
        if (!recursion) {
          std::string chain;
          auto it = std::find(path.begin(), path.end(), w);
          for (; it != path.end(); ++it) chain += BlockName(code[*it]->kind, code[*it]->number) + " -> ";
          chain += BlockName(code[w]->kind, code[w]->number);
          file_ = code[v]->file;
          Error(stmt->mnemLine, stmt->mnemCol,
                "recursive call " + chain + ": a block cannot call itself, directly or through others");
          recursion = true;
        }
      } else if (color[w] == 0) {
        color[w] = 1;
        path.push_back(w);
        stack.push_back({w, 0});  // `v` and `next` are not used after this
      }
    }
  }
  if (recursion) return;
  // callers come before their callees in the reversed order; every callee's frame starts
  // above the frame of each of its callers
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Block* b = code[*it];
    for (const auto& [w, stmt] : b->callees)
      code[w]->frameBase = std::max(code[w]->frameBase, b->frameBase + b->frameBytes);
  }
}

void Compiler::ParseStatements(FileUnit& fu, Block& b, size_t i, size_t end, uint32_t network,
                               std::vector<Stmt>& pending) {
  const auto& toks = fu.toks;
  while (i < end) {
    if (toks[i].kind == TokKind::Semicolon || toks[i].kind == TokKind::Attribute) {
      ++i;
      continue;
    }
    const Token& t = toks[i];
    if (t.kind != TokKind::Word) {
      Error(t.line, t.column, t.kind == TokKind::Bad ? "the quote is not closed on this line"
                                                     : "expected an instruction, found " +
                                                           Quote(t.text));
      while (i < end && toks[i].kind != TokKind::Semicolon) ++i;
      continue;
    }
    Stmt s;
    s.network = network;
    s.textBegin = t.offset;
    std::string_view word = t.text;
    uint32_t wordCol = t.column;
    ++i;
    // label: "M001:" possibly glued to the instruction, or "M001 :"
    size_t colon = word.find(':');
    bool isLabel = colon != std::string_view::npos && colon > 0 && word[0] != '=' &&
                   word[0] != '<' && word[0] != '>';
    if (!isLabel && i < end && toks[i].kind == TokKind::Word && toks[i].text[0] == ':' &&
        IsIdentStart(word[0])) {
      isLabel = true;
      colon = word.size();
      // the colon is its own token; what follows it (if glued) is the instruction
      std::string_view after = toks[i].text.substr(1);
      wordCol = toks[i].column + 1;
      ++i;
      s.label = word;
      word = after;
    } else if (isLabel) {
      s.label = word.substr(0, colon);
      word = word.substr(colon + 1);
      wordCol = t.column + static_cast<uint32_t>(colon) + 1;
    }
    if (isLabel) {
      s.labelLine = t.line;
      s.labelCol = t.column;
      if (word.empty()) {
        if (i < end && toks[i].kind == TokKind::Word) {
          word = toks[i].text;
          wordCol = toks[i].column;
          ++i;
        } else {
          // label alone on its line: it belongs to the next statement
          s.textEnd = TokenEnd(t);
          pending.push_back(s);
          continue;
        }
      }
    }
    s.mnem = Upper(word);
    s.mnemLine = t.line;
    s.mnemCol = wordCol;
    // "U (" written with a blank
    if (i < end && toks[i].kind == TokKind::Word && toks[i].text == "(" &&
        (s.mnem == "U" || s.mnem == "UN" || s.mnem == "O" || s.mnem == "ON" || s.mnem == "X" ||
         s.mnem == "XN" || s.mnem == "A" || s.mnem == "AN" || s.mnem == "MCR")) {
      s.mnem += "(";
      ++i;
    }
    s.firstOperand = static_cast<uint32_t>(i);
    s.textEnd = s.textBegin + static_cast<uint32_t>(word.size());
    s.textEnd = std::max(s.textEnd, TokenEnd(toks[i - 1]));
    while (i < end && toks[i].kind != TokKind::Semicolon) {
      s.textEnd = TokenEnd(toks[i]);
      ++i;
    }
    s.operandCount = static_cast<uint32_t>(i) - s.firstOperand;
    if ((s.mnem == "CALL" || s.mnem == "UC" || s.mnem == "CC") && s.operandCount > 0) {
      const Token& op0 = toks[s.firstOperand];
      std::string_view raw = std::string_view(files_[file_].text)
                                 .substr(op0.offset, s.textEnd > op0.offset ? s.textEnd - op0.offset : 0);
      size_t paren = raw.find('(');
      if (paren != std::string_view::npos && s.mnem == "CALL") {
        size_t close = raw.rfind(')');
        if (close == std::string_view::npos || close < paren) {
          // the list goes on over the next lines
          s.argsOpen = true;
          s.openLine = op0.line;
          s.openCol = op0.column + static_cast<uint32_t>(paren);
          close = raw.size();
        }
        s.argsInBrackets = true;
        ParseCallArgs(s, raw.substr(paren + 1, close - paren - 1), op0.line,
                      op0.column + static_cast<uint32_t>(paren) + 1, true);
        raw = raw.substr(0, paren);
      }
      s.target = Trim(raw);
    }
    if (s.mnem == "(" && s.operandCount == 0 && s.label.empty()) {
      // '(' on a line of its own: it belongs to the logic instruction before it
      Stmt* prev = b.stmts.empty() ? nullptr : &b.stmts.back();
      static const char* const kOpeners[] = {"U", "UN", "O", "ON", "X", "XN", "A", "AN"};
      const bool opener = prev && prev->operandCount == 0 &&
                          std::find(std::begin(kOpeners), std::end(kOpeners), prev->mnem) !=
                              std::end(kOpeners);
      if (opener) {
        Error(s.mnemLine, s.mnemCol, "'(' belongs on the line of its instruction: write '" +
                                         prev->mnem + "('");
        prev->mnem += "(";
        continue;
      }
      // counted as an opening bracket, so that its ')' is not reported as well
      Error(s.mnemLine, s.mnemCol, "a bracket opens with its instruction: write 'U(', 'O(' or 'X('");
      s.mnem = "U(";
    }
    if (!pending.empty()) {
      // earlier lone labels point at this statement
      for (Stmt& p : pending) {
        p.mnem.clear();
        b.stmts.push_back(p);
      }
      pending.clear();
    }
    b.stmts.push_back(std::move(s));
  }
}

void Compiler::DetectLanguage(FileUnit& fu) {
  if (forced_ != Mnemonics::Auto) {
    fu.lang = forced_ == Mnemonics::German ? Lang::German : Lang::English;
    fu.langKnown = true;
    return;
  }
  for (const Block& b : fu.blocks) {
    for (const Stmt& s : b.stmts) {
      if (s.mnem.empty()) continue;
      bool g = IsMnemonic(Lang::German, s.mnem), e = IsMnemonic(Lang::English, s.mnem);
      if (g != e) {
        fu.lang = g ? Lang::German : Lang::English;
        fu.langKnown = true;
        fu.langLine = s.mnemLine;
        return;
      }
      if (s.operandCount > 0 && fu.toks[s.firstOperand].kind == TokKind::Word) {
        std::string w = Upper(fu.toks[s.firstOperand].text);
        size_t letters = 0;
        while (letters < w.size() && w[letters] >= 'A' && w[letters] <= 'Z') ++letters;
        if (w.find('#') != std::string::npos) continue;
        AreaWord aw = LookupArea(w.substr(0, letters));
        if (aw.ok && aw.german != aw.english) {
          fu.lang = aw.german ? Lang::German : Lang::English;
          fu.langKnown = true;
          fu.langLine = s.mnemLine;
          return;
        }
      }
    }
  }
  fu.lang = Lang::German;
}

// ---------------------------------------------------------------------------------------------
// Operands

std::string Compiler::Describe(OperandKind k, uint32_t limit) const {
  bool de = lang_ == Lang::German;
  switch (k) {
    case OperandKind::None: return "no operand";
    case OperandKind::Bit: return de ? "a bit such as E 0.0 or M 10.1" : "a bit such as I 0.0 or M 10.1";
    case OperandKind::Timer: return "a timer such as T 1";
    case OperandKind::Counter: return de ? "a counter such as Z 1" : "a counter such as C 1";
    case OperandKind::Cond: return "a status bit such as OV or ==0";
    case OperandKind::LoadByte:
    case OperandKind::StoreByte: return "a byte such as MB 10";
    case OperandKind::LoadWord:
    case OperandKind::StoreWord: return "a word such as MW 10";
    case OperandKind::LoadDWord:
    case OperandKind::StoreDWord: return "a double word such as MD 10";
    case OperandKind::Const: return "a constant";
    case OperandKind::Const16: return "a 16-bit constant such as W#16#FF";
    case OperandKind::Const32: return "a 32-bit constant such as DW#16#FF";
    case OperandKind::Int16: return "an integer such as 5";
    case OperandKind::Int32: return "a double integer such as L#5";
    case OperandKind::Count: return "a number from 0 to " + std::to_string(limit);
    case OperandKind::Label: return "a jump label";
    case OperandKind::Stw: return "STW";
    case OperandKind::Block: return "a block such as FC 1 or FB 1, DB 1";
    case OperandKind::DataBlock: return "a data block such as DB 1 or DI 1";
    case OperandKind::DbReg: return "DBNO, DBLG, DINO or DILG";
  }
  return "an operand";
}

bool Compiler::Accepts(const InstructionDef& d, const Operand& op) const {
  using K = Operand::Kind;
  bool isInt = op.kind == K::Const && op.ctype != ConstType::Real;
  switch (d.operand) {
    case OperandKind::None: return op.kind == K::None;
    case OperandKind::Bit:
      return op.kind == K::Bit && op.area != Area::PeriphIn && op.area != Area::PeriphOut;
    case OperandKind::Timer: return op.kind == K::Timer;
    case OperandKind::Counter: return op.kind == K::Counter;
    case OperandKind::Cond: return op.kind == K::Cond;
    case OperandKind::LoadByte:
    case OperandKind::LoadWord:
    case OperandKind::LoadDWord: {
      uint8_t size = d.operand == OperandKind::LoadByte ? 1 : d.operand == OperandKind::LoadWord ? 2 : 4;
      return op.kind == K::Sized && op.size == size && op.area != Area::PeriphOut;
    }
    case OperandKind::StoreByte:
    case OperandKind::StoreWord:
    case OperandKind::StoreDWord: {
      uint8_t size = d.operand == OperandKind::StoreByte ? 1 : d.operand == OperandKind::StoreWord ? 2 : 4;
      return op.kind == K::Sized && op.size == size && op.area != Area::PeriphIn;
    }
    case OperandKind::Const: return op.kind == K::Const;
    case OperandKind::Const16:
      return isInt && op.ctype != ConstType::Int32 && op.ctype != ConstType::DWord &&
             op.ctype != ConstType::Time && op.value <= 0xFFFF;
    case OperandKind::Const32: return isInt;
    case OperandKind::Int16: return isInt && op.ctype == ConstType::Int16;
    case OperandKind::Int32: return isInt && op.ctype == ConstType::Int32;
    case OperandKind::Count:
      return isInt && op.ctype == ConstType::Int16 && static_cast<int32_t>(op.value) >= 0;
    case OperandKind::Label: return op.kind == K::Label;
    case OperandKind::Stw: return op.kind == K::Stw;
    case OperandKind::Block: return op.kind == K::Block;
    case OperandKind::DataBlock: return op.kind == K::DataBlock;
    case OperandKind::DbReg: return op.kind == K::DbReg;
  }
  return false;
}

// Parses an address from tokens: "M 10.1", "M10.1", "MW 4", "T 5", "MW [MD 2]", "STW", "OV".
bool Compiler::ParseAddress(const Token* t, size_t n, bool fromSymbol, Operand& op,
                            std::string& err) {
  std::string w = Upper(t[0].text);
  if (n == 1) {
    bool g = false, e = false;
    if (LookupCond(w, op.cond, g, e)) {
      op.kind = Operand::Kind::Cond;
      op.germanOnly = g && !fromSymbol;
      op.englishOnly = e && !fromSymbol;
      op.areaText = t[0].text;
      return true;
    }
    if (w == "STW") {
      op.kind = Operand::Kind::Stw;
      return true;
    }
  }
  size_t letters = 0;
  while (letters < w.size() && w[letters] >= 'A' && w[letters] <= 'Z') ++letters;
  AreaWord aw;
  std::string_view number;
  const Token* rest = nullptr;
  size_t restCount = 0;
  if (letters == w.size()) {
    aw = LookupArea(w);
    if (!aw.ok) return false;
    if (n < 2) {
      err = "the address " + Quote(t[0].text) + " needs a number";
      return false;
    }
    rest = t + 1;
    restCount = n - 1;
  } else if (letters > 0 && w[letters] >= '0' && w[letters] <= '9') {
    aw = LookupArea(w.substr(0, letters));
    if (!aw.ok) return false;
    number = t[0].text.substr(letters);
    if (n != 1) {
      err = "unexpected " + Quote(t[1].text) + " after the address";
      return false;
    }
  } else {
    return false;
  }
  op.areaText = t[0].text.substr(0, letters);
  op.germanOnly = aw.german && !aw.english && !fromSymbol;
  op.englishOnly = aw.english && !aw.german && !fromSymbol;
  op.area = aw.area;
  op.size = aw.size;
  op.kind = aw.timer ? Operand::Kind::Timer
            : aw.counter ? Operand::Kind::Counter
            : aw.size == 0 ? Operand::Kind::Bit
                           : Operand::Kind::Sized;
  std::string shown = std::string(op.areaText) + " ";
  if (rest && rest[0].kind == TokKind::LBracket) {
    // memory-indirect: [MD n] for addresses, [MW n] for timer and counter numbers
    std::string inner;
    size_t k = 1;
    uint32_t line = rest[0].line;
    (void)line;
    std::string rawInner;
    for (; k < restCount && rest[k].kind == TokKind::Word; ++k) {
      inner += Upper(rest[k].text);
      rawInner += rest[k].text;
    }
    if (k >= restCount || rest[k].kind != TokKind::RBracket || k + 1 != restCount) {
      err = "a memory-indirect address is written like " +
            std::string(op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter
                            ? "[MW 10]"
                            : "[MD 10]");
      return false;
    }
    if (inner.size() >= 4 && inner.compare(0, 2, "AR") == 0 && (inner[2] == '1' || inner[2] == '2') &&
        inner[3] == ',') {
      // register-indirect inside the named area: [AR1, P#byte.bit]
      Operand disp;
      if (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter ||
          inner.compare(4, 2, "P#") != 0 || !ParseConstant(inner.substr(4), disp).empty() ||
          (disp.value >> 24) != 0) {
        err = "register-indirect addresses are written like " + std::string(op.areaText) +
              " [AR1, P#2.0]";
        return false;
      }
      op.arReg = static_cast<uint8_t>(inner[2] - '0');
      op.pointerByte = disp.value;
      return true;
    }
    if (!inner.empty() && inner[0] == '#') {
      // a variable of the block holds the pointer; the block resolves it
      op.indirect = true;
      op.pointerVar = rawInner.substr(1);
      op.pointerSize = (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter) ? 2 : 4;
      return true;
    }
    size_t pl = 0;
    while (pl < inner.size() && inner[pl] >= 'A' && inner[pl] <= 'Z') ++pl;
    AreaWord pw = LookupArea(inner.substr(0, pl));
    uint64_t pbyte = 0;
    bool numOk = pl < inner.size() && pl + 6 > inner.size();
    for (size_t c = pl; c < inner.size() && numOk; ++c) {
      if (inner[c] < '0' || inner[c] > '9') numOk = false;
      else pbyte = pbyte * 10 + static_cast<uint64_t>(inner[c] - '0');
    }
    uint8_t wantSize = (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter) ? 2 : 4;
    if (!pw.ok || !numOk || pw.timer || pw.counter || pw.area == Area::Input ||
        pw.area == Area::Output || pw.area == Area::PeriphIn || pw.area == Area::PeriphOut ||
        pw.size != wantSize) {
      err = std::string("the pointer must be ") +
            (wantSize == 2 ? "a word in M, L, DB or DI, such as [MW 10] or [#number]"
                           : "a double word in M, L, DB or DI, such as [MD 10] or [#ptr]");
      return false;
    }
    if (pbyte + wantSize > AreaSize(pw.area)) {
      err = "the pointer " + inner + " lies outside its area";
      return false;
    }
    op.indirect = true;
    op.pointerArea = pw.area;
    op.pointerSize = wantSize;
    op.pointerByte = static_cast<uint32_t>(pbyte);
    return true;
  }
  if (rest) {
    if (restCount != 1 || rest[0].kind != TokKind::Word) {
      err = "unexpected " + Quote(rest[restCount > 1 ? 1 : 0].text) + " in the address";
      return false;
    }
    number = rest[0].text;
  }
  // number: "byte.bit" for bits, "n" otherwise
  uint64_t byte = 0, bit = 0;
  size_t dot = number.find('.');
  std::string_view bytePart = number.substr(0, dot);
  bool ok = !bytePart.empty() && bytePart.size() <= 6;
  for (char c : bytePart) {
    if (c < '0' || c > '9') ok = false;
    else byte = byte * 10 + static_cast<uint64_t>(c - '0');
  }
  if (op.kind == Operand::Kind::Bit) {
    if (dot == std::string_view::npos) {
      err = "a bit address needs a bit number, such as " + std::string(op.areaText) + " " +
            std::string(number) + ".0";
      return false;
    }
    std::string_view bitPart = number.substr(dot + 1);
    if (bitPart.size() != 1 || bitPart[0] < '0' || bitPart[0] > '9') ok = false;
    else bit = static_cast<uint64_t>(bitPart[0] - '0');
    if (ok && bit > 7) {
      err = "bit number " + std::to_string(bit) + " does not exist; bits are numbered 0 to 7";
      return false;
    }
  } else if (dot != std::string_view::npos) {
    ok = false;
  }
  if (!ok) {
    err = "bad address " + Quote(std::string(op.areaText) + " " + std::string(number));
    return false;
  }
  shown += std::string(number);
  if (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter) {
    if (byte > 255) {
      err = "address " + Quote(shown) + " is out of range (" +
            (op.kind == Operand::Kind::Timer ? "timers" : "counters") + " are numbered 0 to 255)";
      return false;
    }
  } else {
    uint32_t width = op.size == 0 ? 1 : op.size;
    if (byte + width > AreaSize(op.area)) {
      err = "address " + Quote(shown) + " is out of range (this area has bytes 0 to " +
            std::to_string(AreaSize(op.area) - 1) + ")";
      return false;
    }
  }
  op.byte = static_cast<uint32_t>(byte);
  op.bit = static_cast<uint8_t>(bit);
  return true;
}

bool Compiler::ParseOperand(FileUnit& fu, const Block& b, const Stmt& s, bool wantLabel,
                            Operand& op) {
  const Token* t = fu.toks.data() + s.firstOperand;
  size_t n = s.operandCount;
  op = Operand{};
  if (n == 0) return true;
  const Token& t0 = t[0];
  if (wantLabel) {
    if (n == 1 && t0.kind == TokKind::Word) {
      op.kind = Operand::Kind::Label;
      op.label = t0.text;
      return true;
    }
    Error(t0.line, t0.column, "'" + s.mnem + "' needs a jump label");
    return false;
  }
  return ParseOperandToks(t, n, b, op);
}

namespace {
// "DB10.DBW" -> 10 and the rest after the dot; false when the word is not of that form.
bool SplitQualified(std::string_view upper, int& db, std::string_view& rest) {
  if (upper.size() < 4 || upper.compare(0, 2, "DB") != 0) return false;
  size_t i = 2;
  int v = 0;
  while (i < upper.size() && upper[i] >= '0' && upper[i] <= '9' && i < 8) v = v * 10 + (upper[i++] - '0');
  if (i == 2 || i >= upper.size() || upper[i] != '.') return false;
  db = v;
  rest = upper.substr(i + 1);
  return true;
}
}  // namespace

bool Compiler::ParseOperandToks(const Token* t, size_t n, const Block& b, Operand& op) {
  op = Operand{};
  if (n == 0) return true;
  const Token& t0 = t[0];
  std::string err;
  // a data-block path such as "Data".speed or "Data".list[2]: type and offset from the DB
  auto dbPath = [&](int dbNumber, const Token* pt, size_t pn, uint32_t line, uint32_t col) {
    Block* db = FindBlock(BlockKind::DB, dbNumber);
    if (!db || !db->dbType) {
      Error(line, col, "DB " + std::to_string(dbNumber) + " does not exist (it is not in the loaded files)");
      return false;
    }
    std::string path;
    for (size_t k = 0; k < pn; ++k) path += Upper(pt[k].text);
    if (!path.empty() && path[0] == '.') path.erase(0, 1);
    TypeP type;
    uint32_t off = 0;
    if (!FindPath(*db->dbType, path, type, off, err)) {
      Error(line, col, "DB " + std::to_string(dbNumber) + " " + (err.empty() ? "has no " + path : err));
      return false;
    }
    op.vtype = type;
    op.qualifiedDb = dbNumber;
    op.area = Area::DB;
    op.byte = off / 8;
    op.bit = static_cast<uint8_t>(off % 8);
    int size = OperandSize(type->kind);
    op.kind = size == 0 ? Operand::Kind::Bit : size > 0 ? Operand::Kind::Sized : Operand::Kind::None;
    op.size = static_cast<uint8_t>(size > 0 ? size : 0);
    op.aggregate = size < 0;
    op.areaText = "DB";
    return true;
  };
  if (t0.kind == TokKind::Quoted) {
    std::string name(t0.text);
    auto it = symbols_.find(name);
    if (it == symbols_.end()) {
      // symbols are matched without regard to case when there is no exact match
      for (auto j = symbols_.begin(); j != symbols_.end(); ++j)
        if (EqualsNoCaseUtf8(j->first, name)) it = j;
    }
    if (it == symbols_.end()) {
      Error(t0.line, t0.column, "unknown symbol \"" + name + "\"");
      return false;
    }
    std::string target = Upper(it->second);
    target.erase(std::remove(target.begin(), target.end(), ' '), target.end());
    if (target.size() > 2 && target.compare(0, 2, "DB") == 0 &&
        std::all_of(target.begin() + 2, target.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      int number = std::stoi(target.substr(2, 6));
      if (n == 1) {
        op.kind = Operand::Kind::DataBlock;
        op.byte = static_cast<uint32_t>(number);
        return true;
      }
      return dbPath(number, t + 1, n - 1, t0.line, t0.column);
    }
    if (n != 1) {
      Error(t[1].line, t[1].column, "unexpected " + Quote(t[1].text) + " after the symbol");
      return false;
    }
    std::vector<Token> st;
    Tokenize(it->second, st);
    while (!st.empty() && st.back().kind == TokKind::EndOfLine) st.pop_back();
    if (st.empty() || st[0].kind != TokKind::Word ||
        !ParseAddress(st.data(), st.size(), true, op, err)) {
      Error(t0.line, t0.column, "symbol \"" + name + "\" stands for " + Quote(it->second) +
                                    ", which is not an address" +
                                    (err.empty() ? std::string() : ": " + err));
      return false;
    }
    if (op.indirect || op.area == Area::DB || op.area == Area::DI) {
      Error(t0.line, t0.column, "symbol \"" + name + "\" must stand for a direct address");
      return false;
    }
    return true;
  }
  if (t0.kind == TokKind::CharLit) {
    if (n != 1 || t0.text.empty() || t0.text.size() > 4) {
      Error(t0.line, t0.column, "a character constant holds one to four characters");
      return false;
    }
    op.kind = Operand::Kind::Const;
    op.ctype = t0.text.size() > 2 ? ConstType::DWord : ConstType::Char;
    for (char c : t0.text) op.value = op.value << 8 | static_cast<uint8_t>(c);
    return true;
  }
  // area-crossing register-indirect: "[AR1, P#0.0]" for bits, "W [AR1, P#2.0]" for words
  if (t0.kind == TokKind::LBracket ||
      (n >= 2 && t0.kind == TokKind::Word && t[1].kind == TokKind::LBracket &&
       (Upper(t0.text) == "B" || Upper(t0.text) == "W" || Upper(t0.text) == "D"))) {
    const Token* inner = t0.kind == TokKind::LBracket ? t : t + 1;
    size_t rem = n - static_cast<size_t>(inner - t);
    std::string text;
    size_t k = 1;
    for (; k < rem && inner[k].kind == TokKind::Word; ++k) text += Upper(inner[k].text);
    uint32_t disp = 0;
    if (k + 1 != rem || inner[k].kind != TokKind::RBracket || text.size() < 4 ||
        text.compare(0, 2, "AR") != 0 || (text[2] != '1' && text[2] != '2') || text[3] != ',' ||
        !ParseConstant(text.substr(4), op).empty() || (op.value >> 24) != 0 ||
        text.compare(4, 2, "P#") != 0) {
      Error(t0.line, t0.column, "register-indirect addresses are written [AR1, P#byte.bit]");
      return false;
    }
    disp = op.value;
    op = Operand{};
    std::string w = t0.kind == TokKind::LBracket ? "" : Upper(t0.text);
    op.kind = w.empty() ? Operand::Kind::Bit : Operand::Kind::Sized;
    op.size = static_cast<uint8_t>(w.empty() ? 0 : w == "B" ? 1 : w == "W" ? 2 : 4);
    op.arReg = static_cast<uint8_t>(text[2] - '0');
    op.arCross = true;
    op.pointerByte = disp;
    op.area = Area::Marker;
    return true;
  }
  if (t0.kind != TokKind::Word) {
    Error(t0.line, t0.column, "unexpected " + Quote(t0.text));
    return false;
  }
  std::string upper = Upper(t0.text);
  if (t0.text[0] == '#') {
    std::string path;
    for (size_t k = 0; k < n; ++k) {
      if (t[k].kind == TokKind::Word) path += Upper(t[k].text);
      else if (t[k].kind == TokKind::LBracket) path += "[";
      else if (t[k].kind == TokKind::RBracket) path += "]";
      else {
        Error(t[k].line, t[k].column, "unexpected " + Quote(t[k].text) + " after the variable");
        return false;
      }
    }
    path.erase(0, 1);
    size_t cut = path.find_first_of(".[");
    std::string name = path.substr(0, cut);
    for (const Var& v : b.vars) {
      if (v.upper != name) continue;
      TypeP type = v.type;
      uint32_t off = v.bitOffset;
      if (cut != std::string::npos) {
        uint32_t inner = 0;
        if (!FindPath(*v.type, path.substr(cut), type, inner, err)) {
          Error(t0.line, t0.column, "variable #" + name + " " + err);
          return false;
        }
        off += inner;
      }
      if (type->kind == TypeKind::Timer || type->kind == TypeKind::Counter ||
          type->kind == TypeKind::BlockDb) {
        // the variable holds the number: used like T [LW n] or AUF DB [LW n]
        op.kind = type->kind == TypeKind::Timer     ? Operand::Kind::Timer
                  : type->kind == TypeKind::Counter ? Operand::Kind::Counter
                                                    : Operand::Kind::DataBlock;
        op.vtype = type;
        op.indirect = true;
        op.pointerArea = v.inInstance ? Area::DI : Area::Local;
        op.pointerSize = 2;
        op.pointerByte = off / 8;
        op.symbolic = true;
        return true;
      }
      int size = OperandSize(type->kind);
      op.kind = size == 0 ? Operand::Kind::Bit : size > 0 ? Operand::Kind::Sized : Operand::Kind::None;
      op.size = static_cast<uint8_t>(size > 0 ? size : 0);
      op.aggregate = size < 0;
      op.vtype = type;
      op.area = v.inInstance ? Area::DI : Area::Local;
      op.byte = off / 8;
      op.bit = static_cast<uint8_t>(off % 8);
      op.areaText = v.inInstance ? "DI" : "L";
      op.symbolic = true;
      return true;
    }
    if (std::find(b.failedVars.begin(), b.failedVars.end(), name) != b.failedVars.end())
      return false;  // its declaration has been reported
    Error(t0.line, t0.column, "unknown variable " + Quote(t0.text) + " (not declared in " +
                                  BlockName(b.kind, b.number) + ")");
    return false;
  }
  // DBNO DBLG DINO DILG
  static const char* const kRegs[] = {"DBNO", "DBLG", "DINO", "DILG"};
  for (uint32_t k = 0; k < 4; ++k) {
    if (n == 1 && upper == kRegs[k]) {
      op.kind = Operand::Kind::DbReg;
      op.value = k;
      return true;
    }
  }
  // "DB 10", "DI 3", "DB10": a data block to open
  if ((upper == "DB" || upper == "DI") && n >= 3 && t[1].kind == TokKind::LBracket) {
    // AUF DB [MW 10]: the number in a word, read like a timer's number
    static const std::string kTimerWord = "T";
    std::vector<Token> asTimer(t, t + n);
    asTimer[0].text = kTimerWord;
    if (!ParseOperandToks(asTimer.data(), n, b, op)) return false;
    op.kind = Operand::Kind::DataBlock;
    op.di = upper == "DI";
    return true;
  }
  if ((upper == "DB" || upper == "DI") && n == 2 && t[1].kind == TokKind::Word) {
    std::string num = Upper(t[1].text);
    if (!num.empty() && num.size() <= 5 &&
        std::all_of(num.begin(), num.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      op.kind = Operand::Kind::DataBlock;
      op.di = upper == "DI";
      op.byte = static_cast<uint32_t>(std::stoi(num));
      return true;
    }
  }
  if (n == 1 && upper.size() > 2 && upper.size() <= 7 && (upper.compare(0, 2, "DB") == 0 || upper.compare(0, 2, "DI") == 0) &&
      std::all_of(upper.begin() + 2, upper.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    op.kind = Operand::Kind::DataBlock;
    op.di = upper[1] == 'I';
    op.byte = static_cast<uint32_t>(std::stoi(upper.substr(2)));
    return true;
  }
  // "DB10.DBW 2", "DB10.DBX 0.1", "DB10.speed"
  int qdb = 0;
  std::string_view rest;
  if (SplitQualified(upper, qdb, rest)) {
    std::string_view restRaw = t0.text.substr(t0.text.size() - rest.size());
    std::string_view restUpper = std::string_view(upper).substr(upper.size() - rest.size());
    bool absolute = restUpper.size() >= 3 && restUpper.compare(0, 2, "DB") == 0 &&
                    (restUpper[2] == 'X' || restUpper[2] == 'B' || restUpper[2] == 'W' || restUpper[2] == 'D');
    if (!absolute) {
      std::vector<Token> pt;
      Token first = t0;
      first.text = restRaw;
      pt.push_back(first);
      for (size_t k = 1; k < n; ++k) pt.push_back(t[k]);
      return dbPath(qdb, pt.data(), pt.size(), t0.line, t0.column);
    }
    std::vector<Token> at;
    Token first = t0;
    first.text = restRaw;
    at.push_back(first);
    for (size_t k = 1; k < n; ++k) at.push_back(t[k]);
    if (!ParseAddress(at.data(), at.size(), false, op, err) || op.indirect) {
      Error(t0.line, t0.column, err.empty() ? "bad data block address " + Quote(t0.text) : err);
      return false;
    }
    Block* db = FindBlock(BlockKind::DB, qdb);
    if (!db || !db->dbType) {
      Error(t0.line, t0.column, "DB " + std::to_string(qdb) + " does not exist (it is not in the loaded files)");
      return false;
    }
    op.qualifiedDb = qdb;
    return true;
  }
  if (ParseAddress(t, n, false, op, err)) {
    if (op.pointerVar.empty()) return true;
    // [#ptr]: a DWORD (a WORD or INT for a timer or counter number) of the block
    const std::string path = Upper(op.pointerVar);
    const size_t cut = path.find_first_of(".[");
    const std::string name = path.substr(0, cut);
    for (const Var& v : b.vars) {
      if (v.upper != name) continue;
      TypeP type = v.type;
      uint32_t off = v.bitOffset, inner = 0;
      if (cut != std::string::npos) {
        if (!FindPath(*v.type, path.substr(cut), type, inner, err)) {
          Error(t0.line, t0.column, "variable #" + op.pointerVar + " " + err);
          return false;
        }
        off += inner;
      }
      const bool word = op.pointerSize == 2;
      const bool fits = word ? (type->kind == TypeKind::Word || type->kind == TypeKind::Int)
                             : (type->kind == TypeKind::DWord || type->kind == TypeKind::DInt);
      if (!fits) {
        Error(t0.line, t0.column,
              "#" + op.pointerVar + " is declared " + TypeName(*type) + "; the pointer must be " +
                  (word ? "a WORD or INT holding the number" : "a DWORD holding an address such as P#4.0"));
        return false;
      }
      op.pointerArea = v.inInstance ? Area::DI : Area::Local;
      op.pointerByte = off / 8;
      return true;
    }
    if (std::find(b.failedVars.begin(), b.failedVars.end(), name) != b.failedVars.end())
      return false;
    Error(t0.line, t0.column, "unknown variable #" + op.pointerVar + " (not declared in " +
                                  BlockName(b.kind, b.number) + ")");
    return false;
  }
  if (!err.empty()) {
    Error(t0.line, t0.column, err);
    return false;
  }
  std::string text(t0.text);
  // "P#M 10.0": the pointer's area and address may be separated by a blank
  if (n == 2 && t[1].kind == TokKind::Word && Upper(t0.text).rfind("P#", 0) == 0) {
    text += " ";
    text += t[1].text;
    n = 1;
  }
  if (n != 1) {
    Error(t[1].line, t[1].column, "unexpected " + Quote(t[1].text));
    return false;
  }
  err = ParseConstant(text, op);
  if (!err.empty()) {
    // a name of the block or of the symbol table written bare
    const std::string up = Upper(text);
    for (const Var& v : b.vars)
      if (v.upper == up) {
        err = std::string(v.section == kTemp ? "local" : v.inInstance && v.section == kStat
                                                             ? "static variable"
                                                             : "parameter") +
              " " + Quote(text) + " is written '#" + text + "' in STL";
        break;
      }
    if (std::find(b.failedVars.begin(), b.failedVars.end(), up) != b.failedVars.end())
      err = Quote(text) + " is a variable whose declaration failed; it is written '#" + text + "'";
    for (const auto& [name, address] : symbols_)
      if (EqualsNoCaseUtf8(name, text)) {
        err = "symbol " + Quote(text) + " is written '\"" + name + "\"' in STL";
        break;
      }
    Error(t0.line, t0.column, err);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Translation

void Compiler::Translate(FileUnit& fu, Block& b, Program& p) {
  lang_ = fu.lang;
  const uint32_t blockIndex = static_cast<uint32_t>(p.blocks.size());
  BlockInfo info;
  info.kind = b.kind;
  info.number = b.number;
  info.entry = static_cast<uint32_t>(p.code.size());
  info.localBytes = b.frameBytes;
  info.frameBase = b.frameBase;
  b.programIndex = blockIndex;

  std::unordered_map<std::string, std::pair<uint32_t, uint32_t>> labels;  // -> index, line
  struct Fixup { uint32_t insn; std::string label; uint32_t line, col; };
  std::vector<Fixup> fixups;
  struct Open { uint32_t line, col; };
  std::vector<Open> nesting;
  bool nestingReported = false;
  // A block that switches MCR dependency on anywhere routes its assignments and transfers
  // through the MCR check; blocks without MCRA keep the direct form and pay nothing.
  const bool mcrBlock = std::any_of(b.stmts.begin(), b.stmts.end(),
                                    [](const Stmt& s) { return s.mnem == "MCRA"; });

  auto defineLabel = [&](const Stmt& s) {
    if (s.label.empty()) return;
    std::string up = Upper(s.label);
    if (up.size() > 4) {
      Error(s.labelLine, s.labelCol, "label " + Quote(s.label) +
                                         " is too long; labels have at most four characters");
    } else if (!IsIdentStart(up[0]) || !std::all_of(up.begin(), up.end(), IsIdentChar)) {
      Error(s.labelLine, s.labelCol, "label " + Quote(s.label) +
                                         " must start with a letter and hold letters and digits");
    }
    auto [it, inserted] = labels.emplace(up, std::make_pair(static_cast<uint32_t>(p.code.size()),
                                                            s.labelLine));
    if (!inserted)
      Error(s.labelLine, s.labelCol, "label " + Quote(s.label) + " is defined twice (first at line " +
                                         std::to_string(it->second.second) + ")");
  };

  auto emit = [&](const Stmt& s, Insn in) {
    p.code.push_back(in);
    SourceRef r;
    r.file = static_cast<uint32_t>(file_);
    r.line = s.mnemLine;
    r.column = s.mnemCol;
    r.network = s.network;
    r.textOffset = s.textBegin;
    r.textLength = s.textEnd - s.textBegin;
    r.block = blockIndex;
    p.map.push_back(r);
  };

  for (const Stmt& s : b.stmts) {
    if (errorCount_ >= kMaxErrors) break;
    defineLabel(s);
    if (s.mnem.empty()) continue;  // lone label
    const auto& rows = FindMnemonic(lang_, s.mnem);
    if (rows.empty()) {
      const auto& other = FindMnemonic(Other(lang_), s.mnem);
      if (!other.empty()) {
        std::string_view mine = MnemonicOf(other[0]->opcode, lang_);
        std::string how = forced_ == Mnemonics::Auto
                              ? "but this file uses " + std::string(LangName(lang_)) +
                                    " mnemonics (see line " + std::to_string(fu.langLine) + ")"
                              : "but the program is set to " + std::string(LangName(lang_)) +
                                    " mnemonics";
        Error(s.mnemLine, s.mnemCol, Quote(s.mnem) + " is " + WithArticle(Other(lang_)) +
                                         " mnemonic, " + how +
                                         (mine.empty() ? "" : "; write " + Quote(mine)) +
                                         " (German and English mnemonics cannot be mixed)");
      } else {
        std::string_view near = ClosestMnemonic(lang_, s.mnem);
        Error(s.mnemLine, s.mnemCol, "unknown instruction " + Quote(s.mnem) +
                                         (near.empty() ? "" : "; did you mean " + Quote(near) + "?"));
      }
      continue;
    }
    bool wantLabel = rows[0]->operand == OperandKind::Label;
    Operand op;
    if (rows[0]->operand == OperandKind::Block) {
      op.kind = Operand::Kind::Block;  // the target and parameters were split off by the parser
    } else if (!ParseOperand(fu, b, s, wantLabel, op)) {
      continue;
    }
    const Token* t0 = s.operandCount ? &fu.toks[s.firstOperand] : nullptr;
    if ((op.germanOnly && lang_ == Lang::English) || (op.englishOnly && lang_ == Lang::German)) {
      std::string area = Upper(op.areaText);
      std::string_view mine = AreaInOtherLanguage(area, lang_);
      if (op.kind == Operand::Kind::Cond) mine = lang_ == Lang::German ? "BIE" : "BR";
      Error(t0->line, t0->column, Quote(op.areaText) + " is " + WithArticle(Other(lang_)) +
                                      " address, but this program uses " + LangName(lang_) +
                                      " mnemonics" + (mine.empty() ? "" : "; write " + Quote(mine)) +
                                      " (German and English mnemonics cannot be mixed)");
      continue;
    }
    const InstructionDef* def = nullptr;
    for (const InstructionDef* d : rows) {
      if (Accepts(*d, op)) {
        def = d;
        break;
      }
    }
    uint32_t line = t0 ? t0->line : s.mnemLine, col = t0 ? t0->column : s.mnemCol;
    if (!def) {
      std::string expect;
      std::vector<std::string> seen;
      for (const InstructionDef* d : rows) {
        std::string what = Describe(d->operand, d->limit);
        if (std::find(seen.begin(), seen.end(), what) != seen.end()) continue;
        seen.push_back(what);
      }
      for (size_t k = 0; k < seen.size(); ++k)
        expect += (k == 0 ? "" : k + 1 == seen.size() ? " or " : ", ") + seen[k];
      if (op.kind == Operand::Kind::None)
        Error(s.mnemLine, s.mnemCol, Quote(s.mnem) + " needs an operand: " + expect);
      else
        Error(line, col, Quote(s.mnem) + " cannot take this operand; it expects " + expect);
      continue;
    }
    Insn in{def->opcode, 0, 0, 0};
    if (op.aggregate) {
      Error(line, col, "this variable is a " + TypeName(*op.vtype) +
                           "; an instruction can only use one of its elements");
      continue;
    }
    bool address = false;
    switch (def->operand) {
      case OperandKind::None: break;
      case OperandKind::Bit:
        address = true;
        in.a = op.bit;
        break;
      case OperandKind::Timer:
      case OperandKind::Counter: in.arg = op.byte; break;
      case OperandKind::Cond: in.a = static_cast<uint8_t>(op.cond); break;
      case OperandKind::LoadByte:
      case OperandKind::LoadWord:
      case OperandKind::LoadDWord:
      case OperandKind::StoreByte:
      case OperandKind::StoreWord:
      case OperandKind::StoreDWord: address = true; break;
      case OperandKind::Const:
        // An INT constant fills ACCU 1-L only: the load clears ACCU 1 first, so `L -1`
        // gives 16#0000FFFF; L#-1 is the 32-bit form.
        in.arg = op.ctype == ConstType::Int16 ? op.value & 0xFFFFu : op.value;
        break;
      case OperandKind::Const32:
      case OperandKind::Int32: in.arg = op.value; break;
      case OperandKind::Const16:
      case OperandKind::Int16: in.arg = op.value & 0xFFFF; break;
      case OperandKind::Count:
        if (op.value > def->limit) {
          Error(line, col, Quote(s.mnem) + " takes a number from 0 to " +
                               std::to_string(def->limit));
          continue;
        }
        in.a = static_cast<uint8_t>(op.value);
        break;
      case OperandKind::Label: {
        std::string up = Upper(op.label);
        fixups.push_back({static_cast<uint32_t>(p.code.size()), up, line, col});
        break;
      }
      case OperandKind::Stw: break;
      case OperandKind::Block:
        if (!TranslateCall(s, b, p, in)) continue;
        break;
      case OperandKind::DataBlock: {
        if (op.indirect) break;  // the number is read when it runs
        int32_t idx = op.byte < p.dbIndex.size() ? p.dbIndex[op.byte] : -1;
        if (idx < 0) {
          Error(line, col, "DB " + std::to_string(op.byte) + " does not exist (it is not in the loaded files)");
          continue;
        }
        in.a = op.di ? 1 : 0;
        in.arg = static_cast<uint32_t>(idx);
        break;
      }
      case OperandKind::DbReg: in.a = static_cast<uint8_t>(op.value); break;
    }
    const uint32_t width = op.size == 0 ? 1u : op.size;
    if (address && op.qualifiedDb >= 0) {
      // a fully qualified address opens its data block first, as the CPU does
      int32_t idx = static_cast<size_t>(op.qualifiedDb) < p.dbIndex.size() ? p.dbIndex[static_cast<size_t>(op.qualifiedDb)] : -1;
      if (idx < 0) {
        Error(line, col, "DB " + std::to_string(op.qualifiedDb) + " does not exist (it is not in the loaded files)");
        continue;
      }
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(idx)];
      if (op.byte + width > d.length) {
        Error(line, col, "the address lies outside DB " + std::to_string(d.number) + ", which has " +
                             std::to_string(d.length) + " bytes");
        continue;
      }
      emit(s, Insn{Opcode::OPN, 0, 0, static_cast<uint32_t>(idx)});
      in.arg = d.base + op.byte;
    } else if (address && !op.indirect && !op.arReg && (op.area == Area::DB || op.area == Area::DI)) {
      if (op.area == Area::DI && op.symbolic && b.kind != BlockKind::FB) {
        Error(line, col, "static variables exist only in function blocks");
        continue;
      }
      IndirectRef ref{def->opcode, op.area, op.size, 0, op.byte << 3, 1, 0, op.bit, 0};
      in.arg = static_cast<uint32_t>(p.indirect.size());
      in.op = Opcode::INDIRECT;
      p.indirect.push_back(ref);
    } else if (address && op.arReg) {
      IndirectRef ref{def->opcode, op.area, op.size, 0, op.pointerByte,
                      static_cast<uint8_t>(op.arCross ? 3 : 2), op.arReg, 0, b.frameBase};
      in.arg = static_cast<uint32_t>(p.indirect.size());
      in.op = Opcode::INDIRECT;
      p.indirect.push_back(ref);
    } else if (address && op.indirect) {
      IndirectRef ref;
      ref.op = def->opcode;
      ref.area = op.area;
      ref.size = op.kind == Operand::Kind::Timer ? 8 : op.kind == Operand::Kind::Counter ? 9 : op.size;
      ref.pointerSize = op.pointerSize;
      ref.pointerOffset = AreaBase(op.pointerArea) + op.pointerByte +
                          (op.pointerArea == Area::Local ? b.frameBase : 0u);
      ref.pointerIn = op.pointerArea == Area::DB ? 1 : op.pointerArea == Area::DI ? 2 : 0;
      ref.localBase = b.frameBase;
      in.arg = static_cast<uint32_t>(p.indirect.size());
      in.op = Opcode::INDIRECT;
      p.indirect.push_back(ref);
    } else if (address) {
      in.arg = AreaBase(op.area) + op.byte + (op.area == Area::Local ? b.frameBase : 0u);
    } else if (op.indirect) {
      // timers, counters and data blocks numbered by a memory word
      IndirectRef ref;
      ref.op = def->opcode;
      ref.area = op.area;
      ref.size = op.kind == Operand::Kind::Timer ? 8 : op.kind == Operand::Kind::Counter ? 9 : 10;
      ref.pointerSize = op.pointerSize;
      ref.pointerOffset = AreaBase(op.pointerArea) + op.pointerByte +
                          (op.pointerArea == Area::Local ? b.frameBase : 0u);
      ref.pointerIn = op.pointerArea == Area::DB ? 1 : op.pointerArea == Area::DI ? 2 : 0;
      ref.localBase = b.frameBase;
      in.arg = static_cast<uint32_t>(p.indirect.size());
      in.op = Opcode::INDIRECT;
      p.indirect.push_back(ref);
    }
    if (in.op != Opcode::INDIRECT) {
      Lower(in);
    } else {
      // memory operands lower the same whatever their address, so it is done once here
      Insn pre{def->opcode, static_cast<uint8_t>(op.di ? 1 : 0), 0, 0};
      Lower(pre);
      p.indirect[in.arg].lowered = pre;
    }
    switch (def->opcode) {
      case Opcode::A_NEST:
      case Opcode::AN_NEST:
      case Opcode::O_NEST:
      case Opcode::ON_NEST:
      case Opcode::X_NEST:
      case Opcode::XN_NEST:
        nesting.push_back({s.mnemLine, s.mnemCol});
        if (nesting.size() > kMaxNesting && !nestingReported) {
          Error(s.mnemLine, s.mnemCol, "brackets are nested more than seven levels deep");
          nestingReported = true;
        }
        break;
      case Opcode::CLOSE:
        if (nesting.empty())
          Error(s.mnemLine, s.mnemCol, "')' has no matching opening bracket");
        else
          nesting.pop_back();
        break;
      case Opcode::ENT:
      case Opcode::LEAVE:
        Warning(s.mnemLine, s.mnemCol, Quote(s.mnem) +
                                           " has no effect on a CPU with two accumulators");
        break;
      default: break;
    }
    if (mcrBlock && (def->opcode == Opcode::ASSIGN || def->opcode == Opcode::SET_BIT ||
                     def->opcode == Opcode::RESET_BIT || def->opcode == Opcode::T_B ||
                     def->opcode == Opcode::T_W || def->opcode == Opcode::T_D)) {
      p.mcrDependent.push_back(in);
      in = Insn{Opcode::MCR_DEP, 0, 0, static_cast<uint32_t>(p.mcrDependent.size() - 1)};
    }
    emit(s, in);
  }
  for (const Stmt& s : b.trailingLabels) defineLabel(s);
  for (const Open& o : nesting)
    Error(o.line, o.col, "this bracket is never closed with ')'");

  Stmt endStmt;
  endStmt.mnemLine = b.endLine;
  endStmt.mnemCol = b.endColumn;
  endStmt.network = b.stmts.empty() ? 0 : b.stmts.back().network;
  endStmt.textBegin = endStmt.textEnd = 0;
  emit(endStmt, Insn{Opcode::END, 0, 0, 0});

  for (const Fixup& f : fixups) {
    auto it = labels.find(f.label);
    if (it == labels.end()) {
      Error(f.line, f.col, "jump to label " + Quote(f.label) + ", which is not defined in this block");
      continue;
    }
    p.code[f.insn].arg = it->second.first;
  }
  // A jump list is SPL followed by SPA entries up to the label SPL names.
  for (const Fixup& f : fixups) {
    Insn& in = p.code[f.insn];
    if (in.op != Opcode::JL || labels.find(f.label) == labels.end()) continue;
    uint32_t target = in.arg;
    bool ok = target > f.insn && target - f.insn - 1 <= 255;
    for (uint32_t k = f.insn + 1; ok && k < target; ++k)
      if (p.code[k].op != Opcode::JU) ok = false;
    if (!ok) {
      std::string name = std::string(MnemonicOf(Opcode::JL, lang_));
      std::string ju = std::string(MnemonicOf(Opcode::JU, lang_));
      Error(f.line, f.col, Quote(name) + " must be followed by up to 255 " + Quote(ju) +
                               " jumps, ending at label " + Quote(f.label));
      continue;
    }
    in.a = static_cast<uint8_t>(target - f.insn - 1);
  }
  if (b.kind == BlockKind::OB && b.valid) {
    if (b.number == 1) p.ob1 = static_cast<int>(blockIndex);
    if (b.number == 100) p.ob100 = static_cast<int>(blockIndex);
    if (b.number == 35) p.ob35 = static_cast<int>(blockIndex);
  }
  p.blocks.push_back(info);
}

uint32_t Compiler::FlatOf(const Block& b, const Operand& op, const Program& p) const {
  if (op.qualifiedDb >= 0) {
    int32_t idx = p.dbIndex[static_cast<size_t>(op.qualifiedDb)];
    return p.dbs[static_cast<size_t>(idx)].base + op.byte;
  }
  return AreaBase(op.area) + op.byte + (op.area == Area::Local ? b.frameBase : 0u);
}

bool Compiler::AnyRange(const Block& caller, const CallArg& arg, uint32_t& base, uint32_t& length,
                        const Program& p, uint8_t* typeCode) {
  if (typeCode) *typeCode = 2;  // BYTE
  const Token& t0 = arg.toks[0];
  std::string text = Upper(arg.text);
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  if (text.rfind("P#", 0) == 0) {
    // P#DB1.DBX0.0 BYTE 10, P#M10.0 BYTE 4
    static const std::pair<const char*, uint32_t> kUnits[] = {
        {"BYTE", 1}, {"CHAR", 1}, {"WORD", 2}, {"INT", 2}, {"DWORD", 4}, {"DINT", 4}, {"REAL", 4}};
    static const uint8_t kTypeCodes[] = {2, 3, 4, 5, 6, 7, 8};
    std::string body = text.substr(2);
    uint32_t unit = 0;
    size_t at = std::string::npos;
    for (const auto& u : kUnits) {
      size_t k = body.rfind(u.first);
      if (k != std::string::npos && k > 0 && (at == std::string::npos || k > at)) {
        // the unit is followed by the count only
        std::string cnt = body.substr(k + std::string_view(u.first).size());
        if (!cnt.empty() && std::all_of(cnt.begin(), cnt.end(), [](char c) { return c >= '0' && c <= '9'; })) {
          at = k;
          unit = u.second;
        }
      }
    }
    if (at == std::string::npos) {
      Error(t0.line, t0.column, "an ANY pointer is written like P#DB1.DBX0.0 BYTE 10 or P#M 10.0 BYTE 4");
      return false;
    }
    uint32_t count = 0;
    for (size_t k = at; k < body.size(); ++k)
      if (body[k] >= '0' && body[k] <= '9') count = count * 10 + static_cast<uint32_t>(body[k] - '0');
    // the first digits after the unit word are the count
    std::string unitWord;
    for (size_t k = 0; k < std::size(kUnits); ++k) {
      const auto& u = kUnits[k];
      if (body.compare(at, std::string_view(u.first).size(), u.first) == 0 && u.second == unit &&
          std::string_view(u.first).size() > unitWord.size()) {
        unitWord = u.first;
        if (typeCode) *typeCode = kTypeCodes[k];
      }
    }
    count = static_cast<uint32_t>(std::stoul(body.substr(at + unitWord.size(), 6)));
    std::string addr = body.substr(0, at);
    uint32_t byte = 0;
    size_t dot = addr.rfind('.');
    size_t digits = dot == std::string::npos ? addr.size() : dot;
    size_t startNum = digits;
    while (startNum > 0 && addr[startNum - 1] >= '0' && addr[startNum - 1] <= '9') --startNum;
    if (startNum == digits || dot == std::string::npos) {
      Error(t0.line, t0.column, "an ANY pointer is written like P#DB1.DBX0.0 BYTE 10 or P#M 10.0 BYTE 4");
      return false;
    }
    byte = static_cast<uint32_t>(std::stoul(addr.substr(startNum, digits - startNum)));
    std::string area = addr.substr(0, startNum);
    length = unit * count;
    int db = 0;
    std::string_view rest;
    if (SplitQualified(area, db, rest)) {
      if (rest != "DBX") {
        Error(t0.line, t0.column, "inside a data block the ANY pointer starts with DBX: P#DB1.DBX0.0");
        return false;
      }
      int32_t idx = static_cast<size_t>(db) < p.dbIndex.size() ? p.dbIndex[static_cast<size_t>(db)] : -1;
      if (idx < 0) {
        Error(t0.line, t0.column, "DB " + std::to_string(db) + " does not exist (it is not in the loaded files)");
        return false;
      }
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(idx)];
      if (byte + length > d.length) {
        Error(t0.line, t0.column, "the range lies outside DB " + std::to_string(db) + ", which has " +
                                      std::to_string(d.length) + " bytes");
        return false;
      }
      base = d.base + byte;
      return true;
    }
    AreaWord aw = LookupArea(area);
    if (!aw.ok || aw.size != 0 || aw.timer || aw.counter || aw.area == Area::DB || aw.area == Area::DI) {
      Error(t0.line, t0.column, "an ANY pointer names the area E, A, M, L or a data block");
      return false;
    }
    if (byte + length > AreaSize(aw.area)) {
      Error(t0.line, t0.column, "the range lies outside its area");
      return false;
    }
    base = AreaBase(aw.area) + byte + (aw.area == Area::Local ? caller.frameBase : 0u);
    return true;
  }
  Operand op;
  if (!ParseOperandToks(arg.toks.data(), arg.toks.size(), caller, op)) return false;
  if ((op.kind != Operand::Kind::Sized && !op.aggregate) || op.indirect || op.arReg ||
      (op.qualifiedDb < 0 && (op.area == Area::DB || op.area == Area::DI))) {
    Error(t0.line, t0.column, "a block parameter needs a range: a variable of a data block, "
                              "a byte/word/double word, or P#DB1.DBX0.0 BYTE 10");
    return false;
  }
  base = FlatOf(caller, op, p);
  length = op.aggregate ? op.vtype->bits / 8 : op.size;
  return true;
}

std::array<uint8_t, any::kSize> Compiler::AnyImage(uint32_t base, uint32_t length,
                                                   uint8_t typeCode, const Program& p) const {
  uint32_t area = 0, byte = 0, db = 0;
  if (base >= mem::kInputBase && base < mem::kInputBase + mem::kInputSize) {
    area = 0x81, byte = base - mem::kInputBase;
  } else if (base >= mem::kOutputBase && base < mem::kOutputBase + mem::kOutputSize) {
    area = 0x82, byte = base - mem::kOutputBase;
  } else if (base >= mem::kMarkerBase && base < mem::kMarkerBase + mem::kMarkerSize) {
    area = 0x83, byte = base - mem::kMarkerBase;
  } else if (base >= mem::kLocalBase && base < mem::kLocalBase + p.localStack) {
    area = any::kPreviousLocal, byte = base - mem::kLocalBase;
  } else {
    for (const DataBlockInfo& d : p.dbs)
      if (base >= d.base && base < d.base + d.length) {
        area = 0x84, byte = base - d.base, db = static_cast<uint32_t>(d.number);
      }
  }
  const uint32_t count = length / std::max(1u, any::UnitOf(typeCode));
  const uint32_t pointer = area << 24 | byte << 3;
  return {0x10, typeCode, static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count),
          static_cast<uint8_t>(db >> 8), static_cast<uint8_t>(db),
          static_cast<uint8_t>(pointer >> 24), static_cast<uint8_t>(pointer >> 16),
          static_cast<uint8_t>(pointer >> 8), static_cast<uint8_t>(pointer)};
}

bool Compiler::OwnAny(const Block& caller, const CallArg& arg, const Program& p, uint32_t& at,
                      uint8_t& mode) {
  if (arg.toks.empty() || arg.toks[0].text.empty() || arg.toks[0].text[0] != '#') return false;
  Operand op;
  quiet_ = true;
  const bool ok = ParseOperandToks(arg.toks.data(), arg.toks.size(), caller, op);
  quiet_ = false;
  if (!ok || !op.vtype || op.vtype->kind != TypeKind::Any || op.qualifiedDb >= 0) return false;
  if (op.area == Area::DI) {
    at = op.byte;
    mode = ParamCopy::RelDi;
  } else {
    at = FlatOf(caller, op, p);
    mode = ParamCopy::Abs;
  }
  return true;
}

bool Compiler::ActualToCopy(const Block& caller, const CallArg& arg, const Var& param,
                            const std::string& calleeName, uint32_t calleeFlat, ParamCopy& c,
                            const Program& p) {
  const Token& t0 = arg.toks[0];
  const Type& pt = *param.type;
  const int psize = OperandSize(pt.kind);
  c = ParamCopy{};
  c.callee = calleeFlat;
  c.calleeBit = static_cast<uint8_t>(param.bitOffset % 8);
  c.size = static_cast<uint8_t>(psize < 0 ? 255 : psize);
  if (psize < 0) c.length = pt.bits / 8;
  const bool output = param.section != kIn;
  std::string up = Upper(arg.text);
  while (!up.empty() && (up.back() == ' ' || up.back() == ';')) up.pop_back();
  const std::string what = "parameter " + param.upper + " of " + calleeName + " (" + TypeName(pt) + ")";
  if (up == "TRUE" || up == "FALSE") {
    if (psize != 0) {
      Error(t0.line, t0.column, what + " cannot take " + up);
      return false;
    }
    if (output) {
      Error(t0.line, t0.column, what + " is an output; it needs an address, not a constant");
      return false;
    }
    c.mode = ParamCopy::Const;
    c.caller = up == "TRUE" ? 1u : 0u;
    return true;
  }
  Operand op;
  if (!ParseOperandToks(arg.toks.data(), arg.toks.size(), caller, op)) return false;
  if (pt.kind == TypeKind::Timer || pt.kind == TypeKind::Counter) {
    const bool timer = pt.kind == TypeKind::Timer;
    const Operand::Kind want = timer ? Operand::Kind::Timer : Operand::Kind::Counter;
    c.size = 2;
    c.length = 0;
    if (op.kind == want && !op.indirect) {
      c.mode = ParamCopy::Const;
      c.caller = op.byte;
      return true;
    }
    if (op.kind == want && op.symbolic) {
      // passed on from the caller's own parameter
      c.mode = ParamCopy::Abs;
      c.caller = mem::kLocalBase + caller.frameBase + op.pointerByte;
      return true;
    }
    Error(t0.line, t0.column, what + " needs a " + (timer ? "timer such as T 1" : "counter such as Z 1"));
    return false;
  }
  if (op.kind == Operand::Kind::Const) {
    if (output) {
      Error(t0.line, t0.column, what + " is an output; it needs an address, not a constant");
      return false;
    }
    if (psize <= 0) {
      Error(t0.line, t0.column, what + " cannot take a constant");
      return false;
    }
    std::vector<uint8_t> bytes(4, 0);
    std::string e = EncodeValue(pt, arg.text, bytes, 0);
    if (!e.empty()) {
      Error(t0.line, t0.column, what + ": " + e);
      return false;
    }
    uint32_t v = 0;
    for (int k = 0; k < psize; ++k) v = v << 8 | bytes[static_cast<size_t>(k)];
    c.mode = ParamCopy::Const;
    c.caller = v;
    return true;
  }
  if (op.indirect || op.arReg) {
    Error(t0.line, t0.column, what + " needs a direct address or a variable");
    return false;
  }
  bool fits = false;
  if (psize == 0) fits = op.kind == Operand::Kind::Bit;
  else if (psize > 0) fits = op.kind == Operand::Kind::Sized && op.size == psize;
  else fits = op.aggregate && SameType(*op.vtype, pt);
  if (fits && op.vtype && psize >= 0 && !SameType(*op.vtype, pt)) fits = false;
  if (!fits) {
    std::string actual = op.vtype ? TypeName(*op.vtype)
                         : op.kind == Operand::Kind::Bit ? "a bit"
                         : op.kind == Operand::Kind::Sized ? (op.size == 1 ? "a byte" : op.size == 2 ? "a word" : "a double word")
                         : "this operand";
    Error(t0.line, t0.column, what + " cannot take " + actual);
    return false;
  }
  if (op.area == Area::PeriphIn && output) {
    Error(t0.line, t0.column, what + " is an output; it cannot write peripheral inputs");
    return false;
  }
  c.callerBit = op.bit;
  if (op.qualifiedDb < 0 && op.area == Area::DB) {
    c.mode = ParamCopy::RelDb;
    c.caller = op.byte;
  } else if (op.qualifiedDb < 0 && op.area == Area::DI) {
    if (caller.kind != BlockKind::FB) {
      Error(t0.line, t0.column, "static variables exist only in function blocks");
      return false;
    }
    c.mode = ParamCopy::RelDi;
    c.caller = op.byte;
  } else {
    if (op.qualifiedDb >= 0) {
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(p.dbIndex[static_cast<size_t>(op.qualifiedDb)])];
      uint32_t width = c.size == 0 ? 1u : c.size == 255 ? c.length : c.size;
      if (op.byte + width > d.length) {
        Error(t0.line, t0.column, "the address lies outside DB " + std::to_string(d.number) +
                                      ", which has " + std::to_string(d.length) + " bytes");
        return false;
      }
    }
    c.mode = ParamCopy::Abs;
    c.caller = FlatOf(caller, op, p);
  }
  return true;
}

bool Compiler::TranslateCall(const Stmt& s, const Block& caller, Program& p, Insn& in) {
  Block *target = nullptr, *inst = nullptr;
  const Var* multi = nullptr;
  if (!CallTarget(s, caller, target, inst, multi, true)) return false;
  const std::string name = BlockName(target->kind, target->number);
  const bool isCall = s.mnem == "CALL";
  bool hasParams = false;
  for (const Var& v : target->vars)
    if (v.section != kTemp) hasParams = true;
  if (!isCall) {
    if (hasParams || target->native != Native::None) {
      Error(s.mnemLine, s.mnemCol, Quote(s.mnem) + " can only call blocks without parameters or "
                                   "static data; use CALL " + name);
      return false;
    }
  }
  CallSite cs;
  cs.native = target->native;
  cs.retVal = scratch_;
  if (inst) {
    int32_t idx = static_cast<size_t>(inst->number) < p.dbIndex.size()
                      ? p.dbIndex[static_cast<size_t>(inst->number)]
                      : -1;
    if (idx < 0) {
      Error(s.mnemLine, s.mnemCol, "DB " + std::to_string(inst->number) + " has errors");
      return false;
    }
    const DataBlockInfo& d = p.dbs[static_cast<size_t>(idx)];
    cs.setsDi = true;
    cs.diNumber = static_cast<uint16_t>(d.number);
    cs.diBase = d.base;
    cs.diLength = d.length;
  } else if (multi) {
    // the instance lies inside the caller's own instance, wherever that is at run time
    cs.setsDi = true;
    cs.relDi = true;
    cs.diBase = multi->bitOffset / 8;
    cs.diLength = multi->type->bits / 8;
  }
  // every actual names a parameter, once
  std::vector<const CallArg*> byParam(target->vars.size(), nullptr);
  bool ok = true;
  for (const CallArg& a : s.args) {
    size_t k = 0;
    for (; k < target->vars.size(); ++k)
      if (target->vars[k].section != kTemp && target->vars[k].upper == a.name) break;
    if (k == target->vars.size() || (target->vars[k].section == kStat)) {
      std::string list;
      for (const Var& v : target->vars)
        if (v.section == kIn || v.section == kOut || v.section == kInOut)
          list += (list.empty() ? "" : ", ") + v.upper;
      Error(a.line, a.column, name + " has no parameter " + Quote(a.name) +
                                  (list.empty() ? "; it takes none" : "; its parameters are " + list));
      ok = false;
      continue;
    }
    if (byParam[k]) {
      Error(a.line, a.column, "parameter " + a.name + " is given twice");
      ok = false;
      continue;
    }
    byParam[k] = &a;
  }
  std::vector<ParamCopy> ins, outs;
  std::vector<size_t> poolIns;  // copies in `ins` whose source lies in the pool
  for (size_t k = 0; k < target->vars.size(); ++k) {
    const Var& v = target->vars[k];
    if (v.section != kIn && v.section != kOut && v.section != kInOut) continue;
    const CallArg* a = byParam[k];
    if (!a) {
      if (target->kind == BlockKind::FC || target->kind == BlockKind::SFC) {
        Error(s.mnemLine, s.mnemCol, "parameter " + v.upper + " of " + name +
                                         " is missing (a function needs all its parameters)");
        ok = false;
      }
      continue;
    }
    uint32_t calleeFlat = 0;
    if (target->kind == BlockKind::FC)
      calleeFlat = mem::kLocalBase + target->frameBase + v.bitOffset / 8;
    else if (inst || multi)
      calleeFlat = cs.diBase + v.bitOffset / 8;
    else
      calleeFlat = scratch_;  // results of system functions
    if (v.type->kind == TypeKind::BlockDb) {
      // the number of a data block: DB 3, its symbol, or the caller's own BLOCK_DB
      ParamCopy c;
      c.size = 2;
      c.callee = calleeFlat;
      const Token& t0 = a->toks[0];
      Operand own;
      quiet_ = true;
      const bool isOwn = !t0.text.empty() && t0.text[0] == '#' &&
                         ParseOperandToks(a->toks.data(), a->toks.size(), caller, own) &&
                         own.vtype && own.vtype->kind == TypeKind::BlockDb;
      quiet_ = false;
      BlockKind kind = BlockKind::DB;
      int number = 0;
      if (isOwn) {
        c.mode = own.pointerArea == Area::DI ? ParamCopy::RelDi : ParamCopy::Abs;
        c.caller = own.pointerArea == Area::DI
                       ? own.pointerByte
                       : mem::kLocalBase + caller.frameBase + own.pointerByte;
      } else if (ParseBlockRef(t0.kind == TokKind::Quoted ? t0.text : Trim(a->text),
                               t0.kind == TokKind::Quoted, t0.line, t0.column, kind, number)) {
        if (kind != BlockKind::DB ||
            static_cast<size_t>(number) >= p.dbIndex.size() || p.dbIndex[static_cast<size_t>(number)] < 0) {
          Error(t0.line, t0.column, "parameter " + v.upper + " of " + name +
                                        " needs a data block that exists, such as DB 1");
          ok = false;
          continue;
        }
        c.mode = ParamCopy::Const;
        c.caller = static_cast<uint32_t>(number);
      } else {
        ok = false;
        continue;
      }
      ins.push_back(c);
      continue;
    }
    if (v.type->kind == TypeKind::Any) {
      uint32_t at = 0, base = 0, length = 0;
      uint8_t mode = ParamCopy::Abs, typeCode = 2;
      const bool own = OwnAny(caller, *a, p, at, mode);
      if (!own && !AnyRange(caller, *a, base, length, p, &typeCode)) {
        ok = false;
        continue;
      }
      if (target->native != Native::None) {
        (v.section == kIn ? cs.srcAny : cs.dstAny) = own ? at : kNoRet;
        (v.section == kIn ? cs.srcAnyMode : cs.dstAnyMode) = mode;
        (v.section == kIn ? cs.srcBase : cs.dstBase) = base;
        (v.section == kIn ? cs.srcLength : cs.dstLength) = length;
        continue;
      }
      // the user's block gets the 10-byte pointer: the caller's own, or a constant one
      ParamCopy c;
      c.size = 255;
      c.length = any::kSize;
      c.callee = calleeFlat;
      c.mode = mode;
      c.caller = at;
      if (!own) {
        const auto image = AnyImage(base, length, typeCode, p);
        c.caller = static_cast<uint32_t>(p.pool.size());
        p.pool.insert(p.pool.end(), image.begin(), image.end());
        poolIns.push_back(ins.size());
      }
      ins.push_back(c);
      continue;
    }
    ParamCopy c;
    if (!ActualToCopy(caller, *a, v, name, calleeFlat, c, p)) {
      ok = false;
      continue;
    }
    if (v.section == kIn || v.section == kInOut) ins.push_back(c);
    if (v.section == kOut || v.section == kInOut) outs.push_back(c);
  }
  if (!ok) return false;
  if (cs.native == Native::BLKMOV && cs.srcAny == kNoRet && cs.dstAny == kNoRet &&
      cs.srcLength != cs.dstLength) {
    Error(s.mnemLine, s.mnemCol, "SFC 20 BLKMOV copies " + std::to_string(cs.srcLength) +
                                     " bytes into a range of " + std::to_string(cs.dstLength) +
                                     "; both ranges must be equally long");
    return false;
  }
  cs.firstIn = static_cast<uint32_t>(p.copies.size());
  cs.inCount = static_cast<uint32_t>(ins.size());
  for (size_t k : poolIns) poolCopies_.push_back(cs.firstIn + k);
  p.copies.insert(p.copies.end(), ins.begin(), ins.end());
  cs.firstOut = static_cast<uint32_t>(p.copies.size());
  cs.outCount = static_cast<uint32_t>(outs.size());
  p.copies.insert(p.copies.end(), outs.begin(), outs.end());
  callTargets_.push_back(target);
  in.arg = static_cast<uint32_t>(p.calls.size());
  p.calls.push_back(cs);
  return true;
}

bool Compiler::Run(Program& out) {
  Program p;
  units_.resize(files_.size());
  for (file_ = 0; file_ < files_.size(); ++file_) {
    FileUnit& fu = units_[file_];
    fu.toks.reserve(files_[file_].text.size() / 3 + 16);
    Tokenize(files_[file_].text, fu.toks);
    ParseFile(fu);
    DetectLanguage(fu);
  }
  AddBuiltins();
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid) index_.emplace(std::make_pair(b.kind, b.number), &b);
  for (Block& b : builtins_) index_.emplace(std::make_pair(b.kind, b.number), &b);
  indexed_ = true;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid) ResolveBlock(b);
  for (Block& b : builtins_) ResolveBlock(b);
  ResolveCalls();

  // memory: the local stack (every block's frame), a scratch area, then the data blocks
  uint32_t stack = mem::kLocalSize;
  int maxDb = 0;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks) {
      if (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB)
        stack = std::max(stack, b.frameBase + std::max(b.frameBytes, mem::kLocalSize));
      if (b.kind == BlockKind::DB && b.valid) maxDb = std::max(maxDb, b.number);
    }
  file_ = 0;
  if (stack > mem::kMaxLocalStack && !files_.empty())
    Error(1, 1, "the blocks need more than " + std::to_string(mem::kMaxLocalStack) +
                    " bytes of local data along one chain of calls");
  p.localStack = stack;
  scratch_ = mem::kLocalBase + stack;
  uint32_t pos = scratch_ + 16;
  p.dbIndex.assign(static_cast<size_t>(maxDb) + 1, -1);
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks) {
      if (b.kind != BlockKind::DB || !b.valid || !b.dbType) continue;
      DataBlockInfo d;
      d.number = b.number;
      d.base = (pos + 7) / 8 * 8;
      d.length = static_cast<uint32_t>(b.initial.size());
      d.initial = b.initial;
      d.layout = LayoutText(*b.dbType);
      pos = d.base + d.length;
      p.dbIndex[static_cast<size_t>(b.number)] = static_cast<int32_t>(p.dbs.size());
      p.dbs.push_back(std::move(d));
    }
  if (pos - scratch_ > mem::kMaxDataBytes) {
    file_ = 0;
    Error(1, 1, "the data blocks need more than " + std::to_string(mem::kMaxDataBytes) + " bytes");
  }
  p.flatSize = pos;

  // a block whose header failed has been reported; its statements would only repeat that
  for (file_ = 0; file_ < files_.size(); ++file_)
    for (Block& b : units_[file_].blocks)
      if (b.valid &&
          (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB))
        Translate(units_[file_], b, p);
  // constant ANY pointers follow the data blocks
  p.poolBase = (p.flatSize + 7) / 8 * 8;
  for (size_t k : poolCopies_) p.copies[k].caller += p.poolBase;
  if (!p.pool.empty()) p.flatSize = p.poolBase + static_cast<uint32_t>(p.pool.size());
  for (size_t k = 0; k < p.calls.size(); ++k) {
    p.calls[k].block = callTargets_[k]->programIndex;
    if (p.calls[k].native == Native::None && p.calls[k].block < p.blocks.size())
      p.calls[k].entry = p.blocks[p.calls[k].block].entry;
  }
  file_ = 0;
  if (result_.errors.empty() && p.ob1 < 0) {
    if (files_.empty())
      result_.errors.push_back({"", 0, 0, "no source file was given"});
    else
      Error(1, 1, "the program has no OB 1 (no statements were found)");
  }
  SortMessages();
  if (!result_.errors.empty()) return false;
  for (const SourceFile& f : files_) {
    p.fileNames.push_back(f.name);
    p.fileTexts.push_back(f.text);
  }
  out = std::move(p);
  return true;
}

}  // namespace

bool Compile(const std::vector<SourceFile>& files, const SymbolTable& symbols, Mnemonics m,
             Program& out, LoadResult& result) {
  // Sources written on Windows come as Windows-1252; inside, everything is UTF-8.
  std::vector<SourceFile> utf8;
  utf8.reserve(files.size());
  for (const SourceFile& f : files) utf8.push_back({f.name, ToUtf8(f.text)});
  Compiler c(utf8, symbols, m, result);
  return c.Run(out);
}

}  // namespace softplc
