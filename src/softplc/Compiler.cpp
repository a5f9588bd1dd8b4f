#include "softplc/Compiler.h"

#include <algorithm>
#include <unordered_map>

#include "softplc/Lexer.h"
#include "softplc/Machine.h"
#include "softplc/Operands.h"

namespace softplc {

namespace {

constexpr int kMaxNesting = 7;
constexpr size_t kMaxErrors = 200;  // a file of garbage should not produce a million messages

struct TempVar {
  std::string name;  // upper case
  Operand::Kind kind = Operand::Kind::Bit;
  uint8_t size = 0;
  uint32_t byte = 0;
  uint8_t bit = 0;
};

struct Stmt {
  std::string mnem;  // upper case
  uint32_t mnemLine = 0, mnemCol = 0;
  std::string_view label;
  uint32_t labelLine = 0, labelCol = 0;
  uint32_t firstOperand = 0, operandCount = 0;  // token indices
  uint32_t network = 0;
  uint32_t textBegin = 0, textEnd = 0;
};

struct Block {
  int number = 1;
  uint32_t line = 1, column = 1;
  uint32_t endLine = 1, endColumn = 1;
  std::vector<Stmt> stmts;
  std::vector<TempVar> temps;
  uint32_t localBytes = 0;
  // a label on the last line(s) with no statement after it
  std::vector<Stmt> trailingLabels;
};

struct FileUnit {
  std::vector<Token> toks;
  std::vector<Block> blocks;
  Lang lang = Lang::German;
  bool langKnown = false;
  uint32_t langLine = 0;
};

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

class Compiler {
 public:
  Compiler(const std::vector<SourceFile>& files, const SymbolTable& symbols, Mnemonics m,
           LoadResult& result)
      : files_(files), symbols_(symbols), forced_(m), result_(result) {}

  bool Run(Program& out);

 private:
  // -- messages
  void Error(uint32_t line, uint32_t col, std::string text) {
    if (errorCount_ >= kMaxErrors) return;
    ++errorCount_;
    result_.errors.push_back({files_[file_].name, static_cast<int>(line), static_cast<int>(col),
                              std::move(text)});
    if (errorCount_ == kMaxErrors)
      result_.errors.push_back({files_[file_].name, static_cast<int>(line),
                                static_cast<int>(col), "too many errors; stopped reporting"});
  }
  void Warning(uint32_t line, uint32_t col, std::string text) {
    result_.warnings.push_back({files_[file_].name, static_cast<int>(line),
                                static_cast<int>(col), std::move(text)});
  }

  // -- structure
  void ParseFile(FileUnit& fu);
  void ParseStatements(FileUnit& fu, Block& b, size_t i, size_t end, uint32_t network,
                       std::vector<Stmt>& pendingLabels);
  void ParseTemp(FileUnit& fu, Block& b, size_t i, size_t end);
  bool ParseBlockHeader(FileUnit& fu, size_t i, size_t end, int& number);
  bool RegisterOb(int number, uint32_t line, uint32_t col);
  void DetectLanguage(FileUnit& fu);

  // -- translation
  void Translate(FileUnit& fu, Block& b, Program& p);
  bool ParseOperand(FileUnit& fu, const Block& b, const Stmt& s, bool wantLabel, Operand& op);
  bool ParseAddress(const Token* t, size_t n, bool fromSymbol, Operand& op, std::string& err);
  bool Accepts(const InstructionDef& d, const Operand& op) const;
  std::string Describe(OperandKind k, uint32_t limit) const;

  const std::vector<SourceFile>& files_;
  const SymbolTable& symbols_;
  Mnemonics forced_;
  LoadResult& result_;
  size_t errorCount_ = 0;
  size_t file_ = 0;
  Lang lang_ = Lang::German;
  std::vector<std::pair<int, std::string>> obSeen_;  // number -> "file:line"
};

// ---------------------------------------------------------------------------------------------
// Structure

bool IsKeyword(std::string_view upper) {
  static const char* const kWords[] = {
      "ORGANIZATION_BLOCK", "END_ORGANIZATION_BLOCK", "TITLE", "VERSION", "AUTHOR", "FAMILY",
      "NAME", "KNOW_HOW_PROTECT", "VAR_TEMP", "END_VAR", "BEGIN", "NETWORK", "FUNCTION",
      "FUNCTION_BLOCK", "DATA_BLOCK", "END_FUNCTION", "END_FUNCTION_BLOCK", "END_DATA_BLOCK",
      "VAR", "VAR_INPUT", "VAR_OUTPUT", "VAR_IN_OUT", "TYPE", "END_TYPE", "CODE_VERSION1"};
  for (const char* w : kWords)
    if (upper == w) return true;
  return false;
}

void Compiler::ParseFile(FileUnit& fu) {
  enum class State { Outside, Header, Temps, Body, BareBody, Skip };
  State state = State::Outside;
  Block* cur = nullptr;
  uint32_t network = 0;
  std::vector<Stmt> pendingLabels;
  std::string skipUntil;
  const auto& toks = fu.toks;
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

    switch (state) {
      case State::Skip:
        if (key == skipUntil) state = State::Outside;
        break;
      case State::Outside:
        if (key == "ORGANIZATION_BLOCK") {
          int number = 0;
          if (ParseBlockHeader(fu, first + 1, end, number)) {
            fu.blocks.emplace_back();
            cur = &fu.blocks.back();
            cur->number = number;
            cur->line = t.line;
            cur->column = t.column;
          } else {
            fu.blocks.emplace_back();
            cur = &fu.blocks.back();
            cur->number = -1;  // compiled for its errors, never loaded
          }
          network = 0;
          state = State::Header;
        } else if (key == "FUNCTION" || key == "FUNCTION_BLOCK" || key == "DATA_BLOCK" ||
                   key == "TYPE") {
          Error(t.line, t.column,
                "only organization blocks (OB 1 and OB 100) can be loaded; " + key +
                    " is not supported");
          skipUntil = "END_" + key;
          state = State::Skip;
        } else if (keyword && key != "NETWORK" && key != "TITLE") {
          Error(t.line, t.column, Quote(t.text) + " is only allowed inside a block");
        } else {
          fu.blocks.emplace_back();
          cur = &fu.blocks.back();
          cur->number = RegisterOb(1, t.line, t.column) ? 1 : -1;
          cur->line = t.line;
          cur->column = t.column;
          network = 0;
          state = State::BareBody;
          continue;  // re-read this line as part of the body
        }
        break;
      case State::Header:
        if (key == "TITLE" || key == "VERSION" || key == "AUTHOR" || key == "FAMILY" ||
            key == "NAME" || key == "KNOW_HOW_PROTECT" || key == "CODE_VERSION1") {
        } else if (key == "VAR_TEMP") {
          state = State::Temps;
        } else if (key == "BEGIN") {
          state = State::Body;
        } else if (key == "VAR" || key == "VAR_INPUT" || key == "VAR_OUTPUT" ||
                   key == "VAR_IN_OUT") {
          Error(t.line, t.column, "an organization block can only declare VAR_TEMP variables");
          skipUntil = "END_VAR";
          state = State::Temps;  // skip the declarations
          cur->temps.clear();
        } else if (key == "END_ORGANIZATION_BLOCK") {
          Error(t.line, t.column, "the block has no BEGIN");
          state = State::Outside;
        } else {
          Error(t.line, t.column, "expected TITLE, VERSION, VAR_TEMP or BEGIN, found " +
                                      Quote(t.text));
        }
        break;
      case State::Temps:
        if (key == "END_VAR") {
          state = State::Header;
        } else if (key == "BEGIN") {
          Error(t.line, t.column, "VAR_TEMP is not closed with END_VAR");
          state = State::Body;
        } else {
          ParseTemp(fu, *cur, first, end);
        }
        break;
      case State::Body:
      case State::BareBody:
        if (key == "NETWORK") {
          ++network;
        } else if (key == "TITLE") {
        } else if (key == "END_ORGANIZATION_BLOCK") {
          if (state == State::BareBody) {
            Error(t.line, t.column, "END_ORGANIZATION_BLOCK without ORGANIZATION_BLOCK");
          } else {
            cur->endLine = t.line;
            cur->endColumn = t.column;
            cur->trailingLabels = std::move(pendingLabels);
            pendingLabels.clear();
            state = State::Outside;
          }
        } else if (key == "ORGANIZATION_BLOCK" || key == "FUNCTION" ||
                   key == "FUNCTION_BLOCK" || key == "DATA_BLOCK") {
          Error(t.line, t.column,
                state == State::BareBody
                    ? "a file holds either plain statements or blocks, not both"
                    : "the block before this line is not closed with END_ORGANIZATION_BLOCK");
          if (state == State::Body) {
            cur->trailingLabels = std::move(pendingLabels);
            pendingLabels.clear();
            state = State::Outside;
            continue;
          }
        } else if (keyword && key != "NAME") {
          Error(t.line, t.column, Quote(t.text) + " is not allowed among the statements");
        } else {
          ParseStatements(fu, *cur, first, end, network, pendingLabels);
        }
        break;
    }
    i = end + 1;
  }
  if (state == State::Body || state == State::Header || state == State::Temps) {
    const Token& last = toks.back();
    Error(last.line, last.column, "END_ORGANIZATION_BLOCK is missing at the end of the file");
  }
  if (cur && (state == State::BareBody || state == State::Body)) {
    const Token& last = toks.back();
    cur->endLine = last.line;
    cur->endColumn = last.column;
    cur->trailingLabels = std::move(pendingLabels);
  }
}

bool Compiler::ParseBlockHeader(FileUnit& fu, size_t i, size_t end, int& number) {
  const auto& toks = fu.toks;
  const Token& kw = toks[i - 1];
  std::string text;
  uint32_t line = kw.line, col = kw.column;
  if (i < end && toks[i].kind == TokKind::Quoted) {
    auto it = symbols_.find(std::string(toks[i].text));
    std::string name = Upper(toks[i].text);
    if (it != symbols_.end()) {
      text = Upper(it->second);
    } else if (name == "CYCL_EXC" || name == "CYCLE EXECUTION") {
      text = "OB1";  // the names STEP 7 gives these blocks by default
    } else if (name == "COMPLETE RESTART" || name == "COMPLETE_RESTART") {
      text = "OB100";
    } else {
      Error(toks[i].line, toks[i].column, "unknown symbol \"" + std::string(toks[i].text) +
                                              "\"; write ORGANIZATION_BLOCK OB 1 or OB 100");
      return false;
    }
    line = toks[i].line;
    col = toks[i].column;
  } else {
    for (size_t k = i; k < end && toks[k].kind == TokKind::Word; ++k) text += Upper(toks[k].text);
    if (i < end) {
      line = toks[i].line;
      col = toks[i].column;
    }
  }
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  if (text.size() < 3 || text.compare(0, 2, "OB") != 0 ||
      !std::all_of(text.begin() + 2, text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
      text.size() > 7) {
    Error(line, col, "expected a block name such as OB 1 after ORGANIZATION_BLOCK");
    return false;
  }
  number = std::stoi(text.substr(2));
  if (number != 1 && number != 100) {
    Error(line, col, "only OB 1 and OB 100 are supported, not OB " + std::to_string(number));
    return false;
  }
  return RegisterOb(number, line, col);
}

bool Compiler::RegisterOb(int number, uint32_t line, uint32_t col) {
  for (const auto& seen : obSeen_) {
    if (seen.first == number) {
      Error(line, col, "OB " + std::to_string(number) + " is defined twice (first at " +
                           seen.second + ")");
      return false;
    }
  }
  obSeen_.emplace_back(number, files_[file_].name + ":" + std::to_string(line));
  return true;
}

void Compiler::ParseTemp(FileUnit& fu, Block& b, size_t i, size_t end) {
  const auto& toks = fu.toks;
  std::string line;
  for (size_t k = i; k < end; ++k) {
    if (toks[k].kind == TokKind::Semicolon) break;
    if (toks[k].kind != TokKind::Word) {
      Error(toks[k].line, toks[k].column, "unexpected " + Quote(toks[k].text) +
                                              " in a VAR_TEMP declaration");
      return;
    }
    line += Upper(toks[k].text);
    line += ' ';
  }
  size_t colon = line.find(':');
  auto trim = [](std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    return s;
  };
  const Token& t = toks[i];
  if (colon == std::string::npos) {
    Error(t.line, t.column, "a temporary variable is declared as 'name : TYPE;'");
    return;
  }
  std::string name = trim(line.substr(0, colon));
  std::string type = trim(line.substr(colon + 1));
  if (!type.empty() && type[0] == '=') {
    Error(t.line, t.column, "temporary variables cannot have an initial value");
    return;
  }
  if (name.empty() || !IsIdentStart(name[0]) ||
      !std::all_of(name.begin(), name.end(), IsIdentChar)) {
    Error(t.line, t.column, Quote(name) + " is not a valid variable name");
    return;
  }
  for (const TempVar& v : b.temps) {
    if (v.name == name) {
      Error(t.line, t.column, "temporary variable " + Quote(name) + " is declared twice");
      return;
    }
  }
  // Temporaries are laid out in declaration order: BOOLs share bytes, BYTE and CHAR take the
  // next byte, anything wider starts on an even byte.
  static const std::pair<const char*, int> kTypes[] = {
      {"BOOL", 0}, {"BYTE", 1}, {"CHAR", 1}, {"WORD", 2}, {"INT", 2}, {"S5TIME", 2},
      {"DATE", 2}, {"DWORD", 4}, {"DINT", 4}, {"REAL", 4}, {"TIME", 4}, {"TIME_OF_DAY", 4},
      {"TOD", 4}, {"DATE_AND_TIME", 8}, {"DT", 8}};
  int size = -1;
  for (const auto& ty : kTypes)
    if (type == ty.first) size = ty.second;
  if (size < 0) {
    Error(t.line, t.column, "type " + Quote(type) + " is not supported for temporaries");
    return;
  }
  TempVar v;
  v.name = name;
  // b.localBytes counts bits * 8 while bools are being packed
  uint32_t bitPos = b.localBytes;
  if (size == 0) {
    v.kind = Operand::Kind::Bit;
    v.byte = bitPos / 8;
    v.bit = static_cast<uint8_t>(bitPos % 8);
    bitPos += 1;
  } else {
    uint32_t byte = (bitPos + 7) / 8;
    if (size > 1 && byte % 2) ++byte;
    v.kind = size == 8 ? Operand::Kind::None : Operand::Kind::Sized;
    v.size = static_cast<uint8_t>(size);
    v.byte = byte;
    bitPos = (byte + static_cast<uint32_t>(size)) * 8;
  }
  b.localBytes = bitPos;
  if ((bitPos + 7) / 8 > mem::kLocalSize) {
    Error(t.line, t.column, "the temporary variables need more than " +
                                std::to_string(mem::kLocalSize) + " bytes of local data");
    return;
  }
  b.temps.push_back(std::move(v));
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
         s.mnem == "XN" || s.mnem == "A" || s.mnem == "AN")) {
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
    for (; k < restCount && rest[k].kind == TokKind::Word; ++k) inner += Upper(rest[k].text);
    if (k >= restCount || rest[k].kind != TokKind::RBracket || k + 1 != restCount) {
      err = "a memory-indirect address is written like " +
            std::string(op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter
                            ? "[MW 10]"
                            : "[MD 10]");
      return false;
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
    if (!pw.ok || !numOk || (pw.area != Area::Marker && pw.area != Area::Local) ||
        pw.size != wantSize) {
      err = std::string("the pointer must be ") +
            (wantSize == 2 ? "a memory or local word such as [MW 10]"
                           : "a memory or local double word such as [MD 10]");
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
  std::string err;
  if (wantLabel) {
    if (n == 1 && t0.kind == TokKind::Word) {
      op.kind = Operand::Kind::Label;
      op.label = t0.text;
      return true;
    }
    Error(t0.line, t0.column, "'" + s.mnem + "' needs a jump label");
    return false;
  }
  if (t0.kind == TokKind::Quoted) {
    if (n != 1) {
      Error(t[1].line, t[1].column, "unexpected " + Quote(t[1].text) + " after the symbol");
      return false;
    }
    std::string name(t0.text);
    auto it = symbols_.find(name);
    if (it == symbols_.end()) {
      // symbols are matched without regard to case when there is no exact match
      for (auto j = symbols_.begin(); j != symbols_.end(); ++j)
        if (EqualsNoCase(j->first, name)) it = j;
    }
    if (it == symbols_.end()) {
      Error(t0.line, t0.column, "unknown symbol \"" + name + "\"");
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
    if (op.indirect) {
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
  if (t0.kind != TokKind::Word) {
    Error(t0.line, t0.column, "unexpected " + Quote(t0.text));
    return false;
  }
  if (t0.text[0] == '#') {
    std::string name = Upper(t0.text.substr(1));
    for (const TempVar& v : b.temps) {
      if (v.name != name) continue;
      if (n != 1) {
        Error(t[1].line, t[1].column, "unexpected " + Quote(t[1].text) + " after the variable");
        return false;
      }
      if (v.kind == Operand::Kind::None) {
        Error(t0.line, t0.column, "variable " + Quote(t0.text) + " cannot be used here");
        return false;
      }
      op.kind = v.kind;
      op.area = Area::Local;
      op.size = v.size;
      op.byte = v.byte;
      op.bit = v.bit;
      op.areaText = "L";
      return true;
    }
    Error(t0.line, t0.column, "unknown temporary variable " + Quote(t0.text));
    return false;
  }
  if (ParseAddress(t, n, false, op, err)) return true;
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
  info.number = b.number;
  info.entry = static_cast<uint32_t>(p.code.size());
  info.localBytes = (b.localBytes + 7) / 8;

  std::unordered_map<std::string, std::pair<uint32_t, uint32_t>> labels;  // -> index, line
  struct Fixup { uint32_t insn; std::string label; uint32_t line, col; };
  std::vector<Fixup> fixups;
  struct Open { uint32_t line, col; };
  std::vector<Open> nesting;
  bool nestingReported = false;

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
    if (!ParseOperand(fu, b, s, wantLabel, op)) continue;
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
    switch (def->operand) {
      case OperandKind::None: break;
      case OperandKind::Bit:
        in.arg = AreaBase(op.area) + op.byte;
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
      case OperandKind::StoreDWord: in.arg = AreaBase(op.area) + op.byte; break;
      case OperandKind::Const:
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
    }
    if (!op.indirect) Lower(in);
    if (op.indirect) {
      IndirectRef ref;
      ref.op = def->opcode;
      ref.area = op.area;
      ref.size = op.kind == Operand::Kind::Timer ? 8 : op.kind == Operand::Kind::Counter ? 9 : op.size;
      ref.pointerSize = op.pointerSize;
      ref.pointerOffset = AreaBase(op.pointerArea) + op.pointerByte;
      in.arg = static_cast<uint32_t>(p.indirect.size());
      in.op = Opcode::INDIRECT;
      p.indirect.push_back(ref);
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
  if (b.number > 0) {
    if (b.number == 1) p.ob1 = static_cast<int>(blockIndex);
    if (b.number == 100) p.ob100 = static_cast<int>(blockIndex);
    p.blocks.push_back(info);
  } else {
    p.blocks.push_back(info);  // keeps indices consistent; never run
  }
}

bool Compiler::Run(Program& out) {
  Program p;
  std::vector<FileUnit> units(files_.size());
  for (file_ = 0; file_ < files_.size(); ++file_) {
    FileUnit& fu = units[file_];
    fu.toks.reserve(files_[file_].text.size() / 3 + 16);
    Tokenize(files_[file_].text, fu.toks);
    ParseFile(fu);
    DetectLanguage(fu);
  }
  for (file_ = 0; file_ < files_.size(); ++file_)
    for (Block& b : units[file_].blocks) Translate(units[file_], b, p);
  file_ = 0;
  if (result_.errors.empty() && p.ob1 < 0) {
    if (files_.empty())
      result_.errors.push_back({"", 0, 0, "no source file was given"});
    else
      Error(1, 1, "the program has no OB 1 (no statements were found)");
  }
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
  Compiler c(files, symbols, m, result);
  return c.Run(out);
}

}  // namespace softplc
