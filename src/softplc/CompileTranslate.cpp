// Translation: statements into pre-decoded instructions with their source places, labels and
// brackets, the master control relay, and calls with their parameter copies.
#include "softplc/CompilerImpl.h"
#include "softplc/Text.h"

namespace softplc::compiler {

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
      Error(s.labelLine, s.labelCol, Tr(QT_TRANSLATE_NOOP("softplc", "label %1 is too long; labels have at most four characters"), Quote(s.label)));
    } else if (!IsIdentStart(up[0]) || !std::all_of(up.begin(), up.end(), IsIdentChar)) {
      Error(s.labelLine, s.labelCol, Tr(QT_TRANSLATE_NOOP("softplc", "label %1 must start with a letter and hold letters and digits"), Quote(s.label)));
    }
    auto [it, inserted] = labels.emplace(up, std::make_pair(static_cast<uint32_t>(p.code.size()),
                                                            s.labelLine));
    if (!inserted)
      Error(s.labelLine, s.labelCol, Tr(QT_TRANSLATE_NOOP("softplc", "label %1 is defined twice (first at line %2)"), Quote(s.label), std::to_string(it->second.second)));
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
                              ? Tr(QT_TRANSLATE_NOOP("softplc", "but this file uses %1 mnemonics (see line %2)"), LangName(lang_), fu.langLine)
                              : Tr(QT_TRANSLATE_NOOP("softplc", "but the program is set to %1 mnemonics"), LangName(lang_));
        const std::string write = mine.empty() ? std::string() : Tr(QT_TRANSLATE_NOOP("softplc", "; write %1"), Quote(mine));
        Error(s.mnemLine, s.mnemCol,
              Other(lang_) == Lang::German
                  ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 is a German mnemonic, %2%3 (German and English mnemonics cannot be mixed)"), Quote(s.mnem), how, write)
                  : Tr(QT_TRANSLATE_NOOP("softplc", "%1 is an English mnemonic, %2%3 (German and English mnemonics cannot be mixed)"), Quote(s.mnem), how, write));
      } else {
        std::string_view near = ClosestMnemonic(lang_, s.mnem);
        Error(s.mnemLine, s.mnemCol,
              near.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "unknown instruction %1"), Quote(s.mnem))
                           : Tr(QT_TRANSLATE_NOOP("softplc", "unknown instruction %1; did you mean %2?"), Quote(s.mnem), Quote(near)));
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
      const std::string write = mine.empty() ? std::string() : Tr(QT_TRANSLATE_NOOP("softplc", "; write %1"), Quote(mine));
      Error(t0->line, t0->column,
            Other(lang_) == Lang::German
                ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 is a German address, but this program uses %2 mnemonics%3 (German and English mnemonics cannot be mixed)"), Quote(op.areaText), LangName(lang_), write)
                : Tr(QT_TRANSLATE_NOOP("softplc", "%1 is an English address, but this program uses %2 mnemonics%3 (German and English mnemonics cannot be mixed)"), Quote(op.areaText), LangName(lang_), write));
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
      // "a, b or c", each part a message of its own
      for (size_t k = 0; k < seen.size(); ++k)
        expect = k == 0                   ? seen[k]
                 : k + 1 == seen.size() ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 or %2"), expect, seen[k])
                                        : Tr("%1, %2", expect, seen[k]);
      if (op.kind == Operand::Kind::None)
        Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs an operand: %2"), Quote(s.mnem), expect));
      else
        Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot take this operand; it expects %2"), Quote(s.mnem), expect));
      continue;
    }
    Insn in{def->opcode, 0, 0, 0};
    if (op.aggregate) {
      Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "this variable is a %1; an instruction can only use one of its elements"), TypeName(*op.vtype)));
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
          Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "%1 takes a number from 0 to %2"), Quote(s.mnem), std::to_string(def->limit)));
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
          Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 does not exist (it is not in the loaded files)"), std::to_string(op.byte)));
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
        Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 does not exist (it is not in the loaded files)"), std::to_string(op.qualifiedDb)));
        continue;
      }
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(idx)];
      if (op.byte + width > d.length) {
        Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "the address lies outside DB %1, which has %2 bytes"), std::to_string(d.number), std::to_string(d.length)));
        continue;
      }
      emit(s, Insn{Opcode::OPN, 0, 0, static_cast<uint32_t>(idx)});
      in.arg = d.base + op.byte;
    } else if (address && !op.indirect && !op.arReg && (op.area == Area::DB || op.area == Area::DI)) {
      if (op.area == Area::DI && op.symbolic && b.kind != BlockKind::FB) {
        Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "static variables exist only in function blocks")));
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
    } else if (op.indirect) {
      // An address taken from memory, or a timer, counter or data block numbered by a memory
      // word (sizes 8, 9, 10).
      IndirectRef ref;
      ref.op = def->opcode;
      ref.area = op.area;
      ref.size = op.kind == Operand::Kind::Timer     ? 8
                 : op.kind == Operand::Kind::Counter ? 9
                 : address                           ? op.size
                                                     : 10;
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
          Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "brackets are nested more than seven levels deep")));
          nestingReported = true;
        }
        break;
      case Opcode::CLOSE:
        if (nesting.empty())
          Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "')' has no matching opening bracket")));
        else
          nesting.pop_back();
        break;
      case Opcode::ENT:
      case Opcode::LEAVE:
        Warning(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 has no effect on a CPU with two accumulators"), Quote(s.mnem)));
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
    Error(o.line, o.col, Tr(QT_TRANSLATE_NOOP("softplc", "this bracket is never closed with ')'")));

  Stmt endStmt;
  endStmt.mnemLine = b.endLine;
  endStmt.mnemCol = b.endColumn;
  endStmt.network = b.stmts.empty() ? 0 : b.stmts.back().network;
  endStmt.textBegin = endStmt.textEnd = 0;
  emit(endStmt, Insn{Opcode::END, 0, 0, 0});

  for (const Fixup& f : fixups) {
    auto it = labels.find(f.label);
    if (it == labels.end()) {
      Error(f.line, f.col, Tr(QT_TRANSLATE_NOOP("softplc", "jump to label %1, which is not defined in this block"), Quote(f.label)));
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
      Error(f.line, f.col, Tr(QT_TRANSLATE_NOOP("softplc", "%1 must be followed by up to 255 %2 jumps, ending at label %3"), Quote(name), Quote(ju), Quote(f.label)));
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
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "an ANY pointer is written like P#DB1.DBX0.0 BYTE 10 or P#M 10.0 BYTE 4")));
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
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "an ANY pointer is written like P#DB1.DBX0.0 BYTE 10 or P#M 10.0 BYTE 4")));
      return false;
    }
    byte = static_cast<uint32_t>(std::stoul(addr.substr(startNum, digits - startNum)));
    std::string area = addr.substr(0, startNum);
    length = unit * count;
    int db = 0;
    std::string_view rest;
    if (SplitQualified(area, db, rest)) {
      if (rest != "DBX") {
        Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "inside a data block the ANY pointer starts with DBX: P#DB1.DBX0.0")));
        return false;
      }
      int32_t idx = static_cast<size_t>(db) < p.dbIndex.size() ? p.dbIndex[static_cast<size_t>(db)] : -1;
      if (idx < 0) {
        Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 does not exist (it is not in the loaded files)"), std::to_string(db)));
        return false;
      }
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(idx)];
      if (byte + length > d.length) {
        Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "the range lies outside DB %1, which has %2 bytes"), std::to_string(db), std::to_string(d.length)));
        return false;
      }
      base = d.base + byte;
      return true;
    }
    AreaWord aw = LookupArea(area);
    if (!aw.ok || aw.size != 0 || aw.timer || aw.counter || aw.area == Area::DB || aw.area == Area::DI) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "an ANY pointer names the area E, A, M, L or a data block")));
      return false;
    }
    if (byte + length > AreaSize(aw.area)) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "the range lies outside its area")));
      return false;
    }
    base = AreaBase(aw.area) + byte + (aw.area == Area::Local ? caller.frameBase : 0u);
    return true;
  }
  Operand op;
  if (!ParseOperandToks(arg.toks.data(), arg.toks.size(), caller, op)) return false;
  if ((op.kind != Operand::Kind::Sized && !op.aggregate) || op.indirect || op.arReg ||
      (op.qualifiedDb < 0 && (op.area == Area::DB || op.area == Area::DI))) {
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "a block parameter needs a range: a variable of a data block, a byte/word/double word, or P#DB1.DBX0.0 BYTE 10")));
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
  const std::string what = Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 of %2 (%3)"), param.upper, calleeName, TypeName(pt));
  if (up == "TRUE" || up == "FALSE") {
    if (psize != 0) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot take %2"), what, up));
      return false;
    }
    if (output) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is an output; it needs an address, not a constant"), what));
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
    Error(t0.line, t0.column,
          timer ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs a timer such as T 1"), what)
                : Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs a counter such as Z 1"), what));
    return false;
  }
  if (op.kind == Operand::Kind::Const) {
    if (output) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is an output; it needs an address, not a constant"), what));
      return false;
    }
    if (psize <= 0) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot take a constant"), what));
      return false;
    }
    std::vector<uint8_t> bytes(4, 0);
    std::string e = EncodeValue(pt, arg.text, bytes, 0);
    if (!e.empty()) {
      Error(t0.line, t0.column, Tr("%1: %2", what, e));
      return false;
    }
    uint32_t v = 0;
    for (int k = 0; k < psize; ++k) v = v << 8 | bytes[static_cast<size_t>(k)];
    c.mode = ParamCopy::Const;
    c.caller = v;
    return true;
  }
  if (op.indirect || op.arReg) {
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs a direct address or a variable"), what));
    return false;
  }
  bool fits = false;
  if (psize == 0) fits = op.kind == Operand::Kind::Bit;
  else if (psize > 0) fits = op.kind == Operand::Kind::Sized && op.size == psize;
  else fits = op.aggregate && SameType(*op.vtype, pt);
  if (fits && op.vtype && psize >= 0 && !SameType(*op.vtype, pt)) fits = false;
  if (!fits) {
    std::string actual = op.vtype ? TypeName(*op.vtype)
                         : op.kind == Operand::Kind::Bit ? Tr(QT_TRANSLATE_NOOP("softplc", "a bit"))
                         : op.kind == Operand::Kind::Sized ? (op.size == 1 ? Tr(QT_TRANSLATE_NOOP("softplc", "a byte")) : op.size == 2 ? Tr(QT_TRANSLATE_NOOP("softplc", "a word")) : Tr(QT_TRANSLATE_NOOP("softplc", "a double word")))
                         : Tr(QT_TRANSLATE_NOOP("softplc", "this operand"));
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot take %2"), what, actual));
    return false;
  }
  if (op.area == Area::PeriphIn && output) {
    Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 is an output; it cannot write peripheral inputs"), what));
    return false;
  }
  c.callerBit = op.bit;
  if (op.qualifiedDb < 0 && op.area == Area::DB) {
    c.mode = ParamCopy::RelDb;
    c.caller = op.byte;
  } else if (op.qualifiedDb < 0 && op.area == Area::DI) {
    if (caller.kind != BlockKind::FB) {
      Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "static variables exist only in function blocks")));
      return false;
    }
    c.mode = ParamCopy::RelDi;
    c.caller = op.byte;
  } else {
    if (op.qualifiedDb >= 0) {
      const DataBlockInfo& d = p.dbs[static_cast<size_t>(p.dbIndex[static_cast<size_t>(op.qualifiedDb)])];
      uint32_t width = c.size == 0 ? 1u : c.size == 255 ? c.length : c.size;
      if (op.byte + width > d.length) {
        Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "the address lies outside DB %1, which has %2 bytes"), std::to_string(d.number), std::to_string(d.length)));
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
      Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 can only call blocks without parameters or static data; use CALL %2"), Quote(s.mnem), name));
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
      Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 has errors"), std::to_string(inst->number)));
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
      Error(a.line, a.column,
            list.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 has no parameter %2; it takes none"), name, Quote(a.name))
                         : Tr(QT_TRANSLATE_NOOP("softplc", "%1 has no parameter %2; its parameters are %3"), name, Quote(a.name), list));
      ok = false;
      continue;
    }
    if (byParam[k]) {
      Error(a.line, a.column, Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 is given twice"), a.name));
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
        Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 of %2 is missing (a function needs all its parameters)"), v.upper, name));
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
          Error(t0.line, t0.column, Tr(QT_TRANSLATE_NOOP("softplc", "parameter %1 of %2 needs a data block that exists, such as DB 1"), v.upper, name));
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
    Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "SFC 20 BLKMOV copies %1 bytes into a range of %2; both ranges must be equally long"), std::to_string(cs.srcLength), std::to_string(cs.dstLength)));
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

}  // namespace softplc::compiler
