// Operands: what an instruction accepts, addresses in every form, variables, symbols,
// data block paths and constants.
#include "softplc/CompilerImpl.h"
#include "softplc/Text.h"

namespace softplc::compiler {

std::string Compiler::Describe(OperandKind k, uint32_t limit) const {
  bool de = lang_ == Lang::German;
  switch (k) {
    case OperandKind::None: return Tr(QT_TRANSLATE_NOOP("softplc", "no operand"));
    case OperandKind::Bit: return de ? Tr(QT_TRANSLATE_NOOP("softplc", "a bit such as E 0.0 or M 10.1")) : Tr(QT_TRANSLATE_NOOP("softplc", "a bit such as I 0.0 or M 10.1"));
    case OperandKind::Timer: return Tr(QT_TRANSLATE_NOOP("softplc", "a timer such as T 1"));
    case OperandKind::Counter: return de ? Tr(QT_TRANSLATE_NOOP("softplc", "a counter such as Z 1")) : Tr(QT_TRANSLATE_NOOP("softplc", "a counter such as C 1"));
    case OperandKind::Cond: return Tr(QT_TRANSLATE_NOOP("softplc", "a status bit such as OV or ==0"));
    case OperandKind::LoadByte:
    case OperandKind::StoreByte: return Tr(QT_TRANSLATE_NOOP("softplc", "a byte such as MB 10"));
    case OperandKind::LoadWord:
    case OperandKind::StoreWord: return Tr(QT_TRANSLATE_NOOP("softplc", "a word such as MW 10"));
    case OperandKind::LoadDWord:
    case OperandKind::StoreDWord: return Tr(QT_TRANSLATE_NOOP("softplc", "a double word such as MD 10"));
    case OperandKind::Const: return Tr(QT_TRANSLATE_NOOP("softplc", "a constant"));
    case OperandKind::Const16: return Tr(QT_TRANSLATE_NOOP("softplc", "a 16-bit constant such as W#16#FF"));
    case OperandKind::Const32: return Tr(QT_TRANSLATE_NOOP("softplc", "a 32-bit constant such as DW#16#FF"));
    case OperandKind::Int16: return Tr(QT_TRANSLATE_NOOP("softplc", "an integer such as 5"));
    case OperandKind::Int32: return Tr(QT_TRANSLATE_NOOP("softplc", "a double integer such as L#5"));
    case OperandKind::Count: return Tr(QT_TRANSLATE_NOOP("softplc", "a number from 0 to %1"), std::to_string(limit));
    case OperandKind::Label: return Tr(QT_TRANSLATE_NOOP("softplc", "a jump label"));
    case OperandKind::Stw: return "STW";
    case OperandKind::Block: return Tr(QT_TRANSLATE_NOOP("softplc", "a block such as FC 1 or FB 1, DB 1"));
    case OperandKind::DataBlock: return Tr(QT_TRANSLATE_NOOP("softplc", "a data block such as DB 1 or DI 1"));
    case OperandKind::DbReg: return Tr(QT_TRANSLATE_NOOP("softplc", "DBNO, DBLG, DINO or DILG"));
  }
  return Tr(QT_TRANSLATE_NOOP("softplc", "an operand"));
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
      err = Tr(QT_TRANSLATE_NOOP("softplc", "the address %1 needs a number"), Quote(t[0].text));
      return false;
    }
    rest = t + 1;
    restCount = n - 1;
  } else if (letters > 0 && w[letters] >= '0' && w[letters] <= '9') {
    aw = LookupArea(w.substr(0, letters));
    if (!aw.ok) return false;
    number = t[0].text.substr(letters);
    if (n != 1) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1 after the address"), Quote(t[1].text));
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
      err = Tr(QT_TRANSLATE_NOOP("softplc", "a memory-indirect address is written like %1"), std::string(op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter
                            ? "[MW 10]"
                            : "[MD 10]"));
      return false;
    }
    if (inner.size() >= 4 && inner.compare(0, 2, "AR") == 0 && (inner[2] == '1' || inner[2] == '2') &&
        inner[3] == ',') {
      // register-indirect inside the named area: [AR1, P#byte.bit]
      Operand disp;
      if (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter ||
          inner.compare(4, 2, "P#") != 0 || !ParseConstant(inner.substr(4), disp).empty() ||
          (disp.value >> 24) != 0) {
        err = Tr(QT_TRANSLATE_NOOP("softplc", "register-indirect addresses are written like %1 [AR1, P#2.0]"), std::string(op.areaText));
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
      err = wantSize == 2
                ? Tr(QT_TRANSLATE_NOOP("softplc", "the pointer must be a word in M, L, DB or DI, such as [MW 10] or [#number]"))
                : Tr(QT_TRANSLATE_NOOP("softplc", "the pointer must be a double word in M, L, DB or DI, such as [MD 10] or [#ptr]"));
      return false;
    }
    if (pbyte + wantSize > AreaSize(pw.area)) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "the pointer %1 lies outside its area"), inner);
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
      err = Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1 in the address"), Quote(rest[restCount > 1 ? 1 : 0].text));
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
      err = Tr(QT_TRANSLATE_NOOP("softplc", "a bit address needs a bit number, such as %1 %2.0"), std::string(op.areaText), std::string(number));
      return false;
    }
    std::string_view bitPart = number.substr(dot + 1);
    if (bitPart.size() != 1 || bitPart[0] < '0' || bitPart[0] > '9') ok = false;
    else bit = static_cast<uint64_t>(bitPart[0] - '0');
    if (ok && bit > 7) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "bit number %1 does not exist; bits are numbered 0 to 7"), std::to_string(bit));
      return false;
    }
  } else if (dot != std::string_view::npos) {
    ok = false;
  }
  if (!ok) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "bad address %1"), Quote(std::string(op.areaText) + " " + std::string(number)));
    return false;
  }
  shown += std::string(number);
  if (op.kind == Operand::Kind::Timer || op.kind == Operand::Kind::Counter) {
    if (byte > 255) {
      err = op.kind == Operand::Kind::Timer
                ? Tr(QT_TRANSLATE_NOOP("softplc", "address %1 is out of range (timers are numbered 0 to 255)"), Quote(shown))
                : Tr(QT_TRANSLATE_NOOP("softplc", "address %1 is out of range (counters are numbered 0 to 255)"), Quote(shown));
      return false;
    }
  } else {
    uint32_t width = op.size == 0 ? 1 : op.size;
    if (byte + width > AreaSize(op.area)) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "address %1 is out of range (this area has bytes 0 to %2)"), Quote(shown), std::to_string(AreaSize(op.area) - 1));
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
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "'%1' needs a jump label"), s.mnem));
    return false;
  }
  return ParseOperandToks(t, n, b, op);
}

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

bool Compiler::ParseOperandToks(const Token* t, size_t n, const Block& b, Operand& op) {
  op = Operand{};
  if (n == 0) return true;
  const Token& t0 = t[0];
  std::string err;
  // a data-block path such as "Data".speed or "Data".list[2]: type and offset from the DB
  auto dbPath = [&](int dbNumber, const Token* pt, size_t pn, uint32_t line, uint32_t col) {
    Block* db = FindBlock(BlockKind::DB, dbNumber);
    if (!db || !db->dbType) {
      Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 does not exist (it is not in the loaded files)"), std::to_string(dbNumber)));
      return false;
    }
    std::string path;
    for (size_t k = 0; k < pn; ++k) path += Upper(pt[k].text);
    if (!path.empty() && path[0] == '.') path.erase(0, 1);
    TypeP type;
    uint32_t off = 0;
    if (!FindPath(*db->dbType, path, type, off, err)) {
      Error(line, col, err.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 has no %2"), dbNumber, path)
                                   : Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 %2"), dbNumber, err));
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
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "unknown symbol \"%1\""), name));
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
      Error(t[1].line, t[1].column, Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1 after the symbol"), Quote(t[1].text)));
      return false;
    }
    std::vector<Token> st;
    Tokenize(it->second, st);
    while (!st.empty() && st.back().kind == TokKind::EndOfLine) st.pop_back();
    if (st.empty() || st[0].kind != TokKind::Word ||
        !ParseAddress(st.data(), st.size(), true, op, err)) {
      Error(t0.line, t0.column,
            err.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "symbol \"%1\" stands for %2, which is not an address"), name, Quote(it->second))
                        : Tr(QT_TRANSLATE_NOOP("softplc", "symbol \"%1\" stands for %2, which is not an address: %3"), name, Quote(it->second), err));
      return false;
    }
    if (op.indirect || op.area == Area::DB || op.area == Area::DI) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "symbol \"%1\" must stand for a direct address"), name));
      return false;
    }
    return true;
  }
  if (t0.kind == TokKind::CharLit) {
    if (n != 1 || t0.text.empty() || t0.text.size() > 4) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "a character constant holds one to four characters")));
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
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "register-indirect addresses are written [AR1, P#byte.bit]")));
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
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1"), Quote(t0.text)));
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
        Error(t[k].line, t[k].column, Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1 after the variable"), Quote(t[k].text)));
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
          Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "variable #%1 %2"), name, err));
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
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "unknown variable %1 (not declared in %2)"), Quote(t0.text), BlockName(b.kind, b.number)));
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
      Error(t0.line, t0.column, err.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "bad data block address %1"), Quote(t0.text)) : err);
      return false;
    }
    Block* db = FindBlock(BlockKind::DB, qdb);
    if (!db || !db->dbType) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 does not exist (it is not in the loaded files)"), std::to_string(qdb)));
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
          Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "variable #%1 %2"), op.pointerVar, err));
          return false;
        }
        off += inner;
      }
      const bool word = op.pointerSize == 2;
      const bool fits = word ? (type->kind == TypeKind::Word || type->kind == TypeKind::Int)
                             : (type->kind == TypeKind::DWord || type->kind == TypeKind::DInt);
      if (!fits) {
        Error(t0.line, t0.column,
              word ? Tr(QT_TRANSLATE_NOOP("softplc", "#%1 is declared %2; the pointer must be a WORD or INT holding the number"), op.pointerVar, TypeName(*type))
                   : Tr(QT_TRANSLATE_NOOP("softplc", "#%1 is declared %2; the pointer must be a DWORD holding an address such as P#4.0"), op.pointerVar, TypeName(*type)));
        return false;
      }
      op.pointerArea = v.inInstance ? Area::DI : Area::Local;
      op.pointerByte = off / 8;
      return true;
    }
    if (std::find(b.failedVars.begin(), b.failedVars.end(), name) != b.failedVars.end())
      return false;
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "unknown variable #%1 (not declared in %2)"), op.pointerVar, BlockName(b.kind, b.number)));
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
    Error(t[1].line, t[1].column, Tr(QT_TRANSLATE_NOOP("softplc", "unexpected %1"), Quote(t[1].text)));
    return false;
  }
  err = ParseConstant(text, op);
  if (!err.empty()) {
    // a name of the block or of the symbol table written bare
    const std::string up = Upper(text);
    for (const Var& v : b.vars)
      if (v.upper == up) {
        err = v.section == kTemp ? Tr(QT_TRANSLATE_NOOP("softplc", "local %1 is written '#%2' in STL"), Quote(text), text)
              : v.inInstance && v.section == kStat
                  ? Tr(QT_TRANSLATE_NOOP("softplc", "static variable %1 is written '#%2' in STL"), Quote(text), text)
                  : Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 is written '#%2' in STL"), Quote(text), text);
        break;
      }
    if (std::find(b.failedVars.begin(), b.failedVars.end(), up) != b.failedVars.end())
      err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 is a variable whose declaration failed; it is written '#%2'"), Quote(text), text);
    for (const auto& [name, address] : symbols_)
      if (EqualsNoCaseUtf8(name, text)) {
        err = Tr(QT_TRANSLATE_NOOP("softplc", "symbol %1 is written '\"%2\"' in STL"), Quote(text), name);
        break;
      }
    Error(t0.line, t0.column, err);
    return false;
  }
  return true;
}

}  // namespace softplc::compiler
