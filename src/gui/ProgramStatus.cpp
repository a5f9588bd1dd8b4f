#include "gui/ProgramStatus.h"

#include <QCoreApplication>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n;");
  return s.substr(b, e - b + 1);
}

// Splits "LABEL: MNEM operand // comment" into the mnemonic and the operand, upper case.
void SplitStatement(const std::string& text, std::string& mnemonic, std::string& operand) {
  std::string s = text;
  const auto comment = s.find("//");
  if (comment != std::string::npos) s.resize(comment);
  s = Trim(s);
  // a label ends with a colon before the mnemonic (":=" belongs to a parameter)
  const auto colon = s.find(':');
  if (colon != std::string::npos && (colon + 1 >= s.size() || s[colon + 1] != '=') &&
      s.find('"') > colon) {
    bool word = colon > 0;
    for (std::size_t i = 0; i < colon; ++i)
      word = word && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_');
    if (word) s = Trim(s.substr(colon + 1));
  }
  const auto space = s.find_first_of(" \t");
  mnemonic = Upper(s.substr(0, space));
  operand = space == std::string::npos ? std::string() : Upper(Trim(s.substr(space)));
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

bool IsTimerOperand(const std::string& op) {
  return op.size() >= 2 && op[0] == 'T' &&
         (std::isdigit(static_cast<unsigned char>(op[1])) || op[1] == ' ');
}
bool IsCounterOperand(const std::string& op) {
  return op.size() >= 2 && (op[0] == 'Z' || op[0] == 'C') &&
         (std::isdigit(static_cast<unsigned char>(op[1])) || op[1] == ' ');
}

// S5TIME in ACCU 1: time base in bits 12-13, three BCD digits.
std::string S5Time(std::uint32_t v) {
  static const std::uint32_t kBase[4] = {10, 100, 1000, 10000};
  const std::uint32_t units = ((v >> 8) & 15u) * 100 + ((v >> 4) & 15u) * 10 + (v & 15u);
  const std::uint32_t ms = units * kBase[(v >> 12) & 3u];
  std::string s = "S5T#";
  const std::uint32_t h = ms / 3600000, m = ms / 60000 % 60, sec = ms / 1000 % 60, rest = ms % 1000;
  if (h) s += std::to_string(h) + "H";
  if (m) s += std::to_string(m) + "M";
  if (sec) s += std::to_string(sec) + "S";
  if (rest || ms == 0) s += std::to_string(rest) + "MS";
  return s;
}

std::string IecTime(std::int32_t ms) {
  std::string s = ms < 0 ? "T#-" : "T#";
  const std::uint32_t a = ms < 0 ? 0u - static_cast<std::uint32_t>(ms) : static_cast<std::uint32_t>(ms);
  const std::uint32_t d = a / 86400000, h = a / 3600000 % 24, m = a / 60000 % 60, sec = a / 1000 % 60,
                      rest = a % 1000;
  if (d) s += std::to_string(d) + "D";
  if (h) s += std::to_string(h) + "H";
  if (m) s += std::to_string(m) + "M";
  if (sec) s += std::to_string(sec) + "S";
  if (rest || a == 0) s += std::to_string(rest) + "MS";
  return s;
}

}  // namespace

TProgramStatus::TProgramStatus(softplc::Cpu& cpu) : FCpu(cpu) {}

TProgramStatus::~TProgramStatus() {
  if (FMonitoring) FCpu.SetStatusObserver(nullptr);
}

void TProgramStatus::SetMonitoring(bool on) {
  if (on == FMonitoring) return;
  FMonitoring = on;
  if (on) ProgramChanged();
  FCpu.SetStatusObserver(on ? this : nullptr);
  // A fresh start: nothing is shown until a scan has run with the monitor on.
  ++statusScan;
}

void TProgramStatus::Watch(const std::string& file) {
  FFile = file;
  ProgramChanged();
}

void TProgramStatus::ProgramChanged() {
  const std::size_t n = FCpu.Info().instructions;
  FInFile.assign(n, false);
  FLines.clear();
  FEnvironments.clear();
  FEnvironment.reset();
  preferCaller = softplc::StatusRecord::kNoCaller;
  for (std::uint32_t i = 0; i < n; ++i) {
    const softplc::InstructionPlace w = FCpu.Where(i);
    // the end of a block has no text of its own
    if (w.file != FFile || w.line <= 0 || w.text.empty()) continue;
    FInFile[i] = true;
    if (FLines.size() <= static_cast<std::size_t>(w.line)) FLines.resize(static_cast<std::size_t>(w.line) + 1);
    TLineInfo& info = FLines[static_cast<std::size_t>(w.line)];
    if (info.Statement) continue;  // a line's first statement decides
    info.Statement = true;
    info.Instruction = i;
    info.Format = StatementFormat(w.text);
    info.Block = w.block;
    std::string mnemonic, operand;
    SplitStatement(w.text, mnemonic, operand);
    info.Operand = IsTimerOperand(operand)     ? TLineInfo::Timer
                   : IsCounterOperand(operand) ? TLineInfo::Counter
                                               : TLineInfo::Bit;
  }
  FSlots.assign(n, softplc::StatusSlot{});
  statusSlots = FSlots.data();
  statusSlotCount = FSlots.size();
  ++statusScan;
}

std::string TProgramStatus::EnvironmentName(const TCallEnvironment& e) const {
  const softplc::InstructionPlace w = FCpu.Where(e.Caller);
  const QString s = e.InstanceDb != 0
                        ? QCoreApplication::translate("TProgramStatus", "%1 called from %2 line %3 with DB %4")
                              .arg(QString::fromStdString(e.BlockName), QString::fromStdString(w.block))
                              .arg(w.line)
                              .arg(e.InstanceDb)
                        : QCoreApplication::translate("TProgramStatus", "%1 called from %2 line %3")
                              .arg(QString::fromStdString(e.BlockName), QString::fromStdString(w.block))
                              .arg(w.line);
  return s.toStdString();
}

void TProgramStatus::SetCallEnvironment(std::optional<TCallEnvironment> e) {
  FEnvironment = std::move(e);
  preferCaller = FEnvironment ? FEnvironment->Caller : softplc::StatusRecord::kNoCaller;
  ++statusScan;  // what was collected under the old choice is not shown
}

bool TProgramStatus::HasStatement(int line) const {
  return line > 0 && static_cast<std::size_t>(line) < FLines.size() &&
         FLines[static_cast<std::size_t>(line)].Statement;
}

const softplc::StatusSlot* TProgramStatus::Line(int line) const {
  if (!HasStatement(line)) return nullptr;
  const std::uint32_t i = FLines[static_cast<std::size_t>(line)].Instruction;
  if (i >= FSlots.size()) return nullptr;
  const softplc::StatusSlot& s = FSlots[i];
  // The display and the CPU share one thread, so a scan never overlaps a read: what carries
  // this scan's number is complete. With a call chosen, a line of the called block shows only
  // a run inside that call.
  if (s.scan != statusScan) return nullptr;
  if (FEnvironment && FLines[static_cast<std::size_t>(line)].Block == FEnvironment->BlockName &&
      s.caller != FEnvironment->Caller)
    return nullptr;
  return &s;
}

TProgramStatus::TFormat TProgramStatus::FormatOf(int line) const {
  return HasStatement(line) ? FLines[static_cast<std::size_t>(line)].Format : TFormat::Hex;
}

TProgramStatus::TColumns TProgramStatus::Columns(int line) const {
  TColumns c;
  const softplc::StatusSlot* r = Line(line);
  if (r == nullptr) return c;
  const TLineInfo& info = FLines[static_cast<std::size_t>(line)];
  c.Rlo = (r->statusWord & 2u) ? "1" : "0";
  c.Sta = (r->statusWord & 4u) ? "1" : "0";
  c.Accu1 = FormatValue(r->accu1, info.Format);
  c.Accu2 = FormatValue(r->accu2, info.Format);
  if (r->hasOperand) {
    switch (info.Operand) {
      case TLineInfo::Timer: c.Operand = IecTime(static_cast<std::int32_t>(r->operand)); break;
      case TLineInfo::Counter: c.Operand = std::to_string(r->operand); break;
      default: c.Operand = r->operand ? "1" : "0"; break;
    }
  }
  return c;
}

std::string TProgramStatus::FormatValue(std::uint32_t v, TFormat f) {
  char buf[40];
  switch (f) {
    case TFormat::Int: return std::to_string(static_cast<std::int16_t>(v & 0xFFFFu));
    case TFormat::DInt: return std::to_string(static_cast<std::int32_t>(v));
    case TFormat::Real: {
      float x;
      std::memcpy(&x, &v, sizeof x);
      std::snprintf(buf, sizeof buf, "%.6g", static_cast<double>(x));
      std::string s = buf;
      // a real always shows as one
      if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
      return s;
    }
    case TFormat::S5Time: return S5Time(v);
    case TFormat::IecTime: return IecTime(static_cast<std::int32_t>(v));
    case TFormat::Hex:
      if (v > 0xFFFFu)
        std::snprintf(buf, sizeof buf, "DW#16#%08X", v);
      else
        std::snprintf(buf, sizeof buf, "W#16#%04X", v);
      return buf;
  }
  return {};
}

TProgramStatus::TFormat TProgramStatus::StatementFormat(const std::string& statement) {
  std::string m, op;
  SplitStatement(statement, m, op);
  static const std::set<std::string> kInt = {"+I", "-I", "*I", "/I", "==I", "<>I", ">I", "<I",
                                             ">=I", "<=I", "NEGI", "BTI", "INC", "DEC"};
  static const std::set<std::string> kDInt = {"+D", "-D", "*D", "/D", "MOD", "==D", "<>D", ">D",
                                              "<D", ">=D", "<=D", "NEGD", "ITD", "BTD", "RND",
                                              "RND+", "RND-", "TRUNC"};
  static const std::set<std::string> kReal = {"+R", "-R", "*R", "/R", "==R", "<>R", ">R", "<R",
                                              ">=R", "<=R", "NEGR", "ABS", "SQR", "SQRT", "EXP",
                                              "LN", "SIN", "COS", "TAN", "ASIN", "ACOS", "ATAN",
                                              "DTR"};
  if (kInt.count(m)) return TFormat::Int;
  if (kDInt.count(m)) return TFormat::DInt;
  if (kReal.count(m)) return TFormat::Real;
  if (m == "+") return StartsWith(op, "L#") ? TFormat::DInt : TFormat::Int;
  if (m == "LC" && IsTimerOperand(op)) return TFormat::S5Time;
  if (m == "L" || m == "T") {
    if (op.empty()) return TFormat::Hex;
    if (StartsWith(op, "S5T#") || StartsWith(op, "S5TIME#")) return TFormat::S5Time;
    if (StartsWith(op, "T#") || StartsWith(op, "TIME#")) return TFormat::IecTime;
    if (StartsWith(op, "L#")) return TFormat::DInt;
    const char c = op[0];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+') {
      if (op.find('#') != std::string::npos) return TFormat::Hex;  // 16#, 2#, B#(1, 2)
      if (op.find_first_of(".E") != std::string::npos) return TFormat::Real;
      return TFormat::Int;
    }
    if (IsTimerOperand(op) || IsCounterOperand(op)) return TFormat::Int;
    return TFormat::Hex;  // W#16#, DW#16#, memory words: a bit pattern until told otherwise
  }
  return TFormat::Hex;
}

void TProgramStatus::OnScanStart() { ++statusScan; }

void TProgramStatus::OnStatement(const softplc::StatusRecord&) {
  // Not called: the CPU fills the slots itself.
}

void TProgramStatus::OnCall(std::uint32_t caller, std::uint32_t calleeEntry, std::uint16_t instanceDb) {
  if (calleeEntry >= FInFile.size() || !FInFile[calleeEntry]) return;
  for (const TCallEnvironment& e : FEnvironments)
    if (e.Caller == caller && e.InstanceDb == instanceDb) return;
  if (FEnvironments.size() < 64)
    FEnvironments.push_back({caller, instanceDb, FCpu.Where(calleeEntry).block});
}
