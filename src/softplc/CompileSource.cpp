// Reading source files: block structure and headers, declaration sections, statements with
// their labels and call parameters, and which language a file is written in.
#include "softplc/CompilerImpl.h"
#include "softplc/Text.h"

namespace softplc::compiler {

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
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is only allowed inside a block"), Quote(t.text)));
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
            Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "an organization block can only declare VAR_TEMP variables")));
            section = -1;
          } else if (cur->kind == BlockKind::FC && section == kStat) {
            const bool constants = first + 1 < end && toks[first + 1].kind == TokKind::Word &&
                                   Upper(toks[first + 1].text) == "CONSTANT";
            if (constants)
              Error(toks[first + 1].line, toks[first + 1].column,
                    Tr(QT_TRANSLATE_NOOP("softplc", "STL has no named constants (VAR CONSTANT); write the value where it is used, or keep it in a data block")));
            else
              Error(t.line, t.column,
                    Tr(QT_TRANSLATE_NOOP("softplc", "a function (FC) has no static variables; use VAR_TEMP or a function block")));
            section = -1;
          }
          openRange(section, end + 1 < toks.size() ? end + 1 : end);
          state = State::Decl;
        } else if (key == "BEGIN") {
          state = State::Body;
        } else if (key == EndKeyword(cur->kind)) {
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "the block has no BEGIN")));
          state = State::Outside;
        } else {
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected TITLE, VERSION, a VAR section or BEGIN, found %1"), Quote(t.text)));
        }
        break;
      case State::Decl:
        if (key == "END_VAR") {
          closeRange(t);
          cur->decls.push_back(range);
          state = State::Header;
        } else if (key == "BEGIN" || SectionOf(key) >= 0) {
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "the variable section is not closed with END_VAR")));
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
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected STRUCT, the FB or UDT the data block is made of, or BEGIN; found %1"), Quote(t.text)));
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
            Error(call.openLine, call.openCol, Tr(QT_TRANSLATE_NOOP("softplc", "the parameter list is not closed with ')'")));
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
                      Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1 after the parameter list"), Quote(rest)));
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
                    ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 without its block"), Quote(t.text))
                    : Tr(QT_TRANSLATE_NOOP("softplc", "this block ends with %1, not %2"), std::string(EndKeyword(cur->kind)), Quote(t.text)));
          if (state == State::Body) closeBlock(t);
        } else if (key == "ORGANIZATION_BLOCK" || key == "FUNCTION" ||
                   key == "FUNCTION_BLOCK" || key == "DATA_BLOCK" || key == "TYPE") {
          Error(t.line, t.column,
                state == State::BareBody
                    ? Tr(QT_TRANSLATE_NOOP("softplc", "a file holds either plain statements or blocks, not both"))
                    : Tr(QT_TRANSLATE_NOOP("softplc", "the block before this line is not closed with %1"), std::string(EndKeyword(cur->kind))));
          if (state == State::Body) {
            closeBlock(t);
            continue;
          }
        } else if (keyword && key != "NAME") {
          Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is not allowed among the statements"), Quote(t.text)));
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
          Tr(QT_TRANSLATE_NOOP("softplc", "%1 is missing at the end of the file"), std::string(EndKeyword(cur->kind))));
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
        Error(line, itemCol, Tr(QT_TRANSLATE_NOOP("softplc", "a parameter is written 'name := actual'")));
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
        if (a.toks.empty()) Error(line, actualCol, Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 has no actual value"), a.name));
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
        Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "unknown symbol \"%1\"; name the block in the symbol table or write it as FC 1, FB 1, DB 1"), sym));
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
  Error(line, col, quoted ? Tr(QT_TRANSLATE_NOOP("softplc", "symbol \"%1\" stands for %2, which is not a block"), std::string(text), Quote(name))
                          : Tr(QT_TRANSLATE_NOOP("softplc", "expected a block name such as FC 1, FB 1 or DB 1, found %1"), Quote(text)));
  return false;
}

bool Compiler::ParseBlockHeader(FileUnit& fu, size_t i, size_t end, Block& b) {
  const auto& toks = fu.toks;
  const Token& kw = toks[i - 1];
  while (i < end && toks[i].kind == TokKind::Attribute) ++i;
  if (i >= end) {
    Error(kw.line, kw.column, Tr(QT_TRANSLATE_NOOP("softplc", "the block needs a name such as %1 1"), std::string(BlockKindName(b.kind == BlockKind::DB ? BlockKind::DB : b.kind))));
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
      Error(kw.line, kw.column, Tr(QT_TRANSLATE_NOOP("softplc", "a function is declared 'FUNCTION FC 1 : VOID' (or with the type of its RET_VAL)")));
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
          Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot be declared with %2; expected %3 n"), Quote(BlockName(kind, number)), Quote(kw.text), BlockKindName(b.kind)));
    return false;
  }
  b.number = number;
  b.line = toks[i].line;
  b.column = toks[i].column;
  if (kind == BlockKind::OB && number != 1 && number != 100 && number != 35) {
    Error(toks[i].line, toks[i].column,
          Tr(QT_TRANSLATE_NOOP("softplc", "only OB 1, OB 35 and OB 100 are supported, not OB %1"), std::to_string(number)));
    return false;
  }
  if (kind == BlockKind::DB && number == 0) {
    Error(toks[i].line, toks[i].column, Tr(QT_TRANSLATE_NOOP("softplc", "data blocks are numbered from 1")));
    return false;
  }
  return RegisterBlock(b);
}

bool Compiler::RegisterBlock(Block& b) {
  const auto [at, added] =
      seen_.emplace(std::make_pair(b.kind, b.number), files_[file_].name + ":" + std::to_string(b.line));
  if (!added) {
    Error(b.line, b.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is defined twice (first at %2)"), BlockName(b.kind, b.number), at->second));
    return false;
  }
  return true;
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
      Error(t.line, t.column, t.kind == TokKind::Bad ? Tr(QT_TRANSLATE_NOOP("softplc", "the quote is not closed on this line"))
                                                     : Tr(QT_TRANSLATE_NOOP("softplc", "expected an instruction, found %1"), Quote(t.text)));
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
        Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "'(' belongs on the line of its instruction: write '%1('"), prev->mnem));
        prev->mnem += "(";
        continue;
      }
      // counted as an opening bracket, so that its ')' is not reported as well
      Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "a bracket opens with its instruction: write 'U(', 'O(' or 'X('")));
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

}  // namespace softplc::compiler
