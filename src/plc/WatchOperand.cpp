#include "plc/WatchOperand.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "plc/PlcTexts.h"
#include "softplc/Operands.h"
#include "softplc/Text.h"

using softplc::ByteArea;

namespace {

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

bool Number(std::string_view s, int max, int& out) {
  if (s.empty() || s.size() > 6) return false;
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || v < 0 || v > max) return false;
  out = v;
  return true;
}

// "124.1" for a bit, "124" otherwise.
bool Place(std::string_view s, bool bit, int maxByte, TWatchOperand& out) {
  std::string t = Trim(s);
  if (!bit) return Number(t, maxByte, out.Byte);
  const size_t dot = t.find('.');
  if (dot == std::string::npos) return false;
  return Number(std::string_view(t).substr(0, dot), maxByte, out.Byte) &&
         Number(std::string_view(t).substr(dot + 1), 7, out.Bit);
}

std::string ParseAddress(const std::string& text, TWatchOperand& out) {
  const std::string u = Upper(Trim(text));
  const auto bad = [&text] {
    return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "'%1' is not an address (E124.1, AW126, MD20, DB1.DBW2, T 3)"), {text});
  };
  if (u.empty()) return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "an operand is missing"));
  if (u.rfind("DB", 0) == 0 && u.find('.') != std::string::npos) {
    // DB1.DBX2.0, DB1.DBB2, DB1.DBW2, DB1.DBD2
    const size_t dot = u.find('.');
    if (!Number(Trim(std::string_view(u).substr(2, dot - 2)), 65535, out.Db)) return bad();
    std::string rest = Trim(std::string_view(u).substr(dot + 1));
    if (rest.size() < 4 || rest.rfind("DB", 0) != 0) return bad();
    const char size = rest[2];
    out.Area = ByteArea::DataBlock;
    out.Kind = size == 'X' ? TWatchKind::Bit : size == 'B' ? TWatchKind::Byte
               : size == 'W' ? TWatchKind::Word : size == 'D' ? TWatchKind::DWord : TWatchKind::Timer;
    if (out.Kind == TWatchKind::Timer) return bad();
    return Place(std::string_view(rest).substr(3), out.Kind == TWatchKind::Bit, 65535, out) ? std::string() : bad();
  }
  // The area keyword is the leading letters.
  size_t n = 0;
  while (n < u.size() && std::isalpha(static_cast<unsigned char>(u[n]))) ++n;
  const std::string word = u.substr(0, n);
  const std::string_view rest = std::string_view(u).substr(n);
  if (word == "T" || word == "Z" || word == "C") {
    out.Kind = word == "T" ? TWatchKind::Timer : TWatchKind::Counter;
    const int max = (word == "T" ? softplc::Cpu::kTimers : softplc::Cpu::kCounters) - 1;
    return Number(Trim(rest), max, out.Byte) ? std::string() : bad();
  }
  if (word.empty() || word.size() > 2) return bad();
  const char a = word[0];
  if (a == 'E' || a == 'I') out.Area = ByteArea::Input;
  else if (a == 'A' || a == 'Q') out.Area = ByteArea::Output;
  else if (a == 'M') out.Area = ByteArea::Memory;
  else return bad();
  const char size = word.size() == 2 ? word[1] : 'X';
  out.Kind = size == 'X' ? TWatchKind::Bit : size == 'B' ? TWatchKind::Byte
             : size == 'W' ? TWatchKind::Word : size == 'D' ? TWatchKind::DWord : TWatchKind::Timer;
  if (out.Kind == TWatchKind::Timer || (word.size() == 2 && size == 'X')) return bad();
  const int limit = out.Area == ByteArea::Memory ? softplc::Cpu::kMemoryBytes : softplc::Cpu::kInputBytes;
  const int maxByte = limit - out.Bytes();
  if (!Place(rest, out.Kind == TWatchKind::Bit, maxByte, out))
    return Place(rest, out.Kind == TWatchKind::Bit, 1 << 20, out)
               ? PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "'%1' lies outside the CPU's memory"), {text})
               : bad();
  return {};
}

// Bytes and masks of a memory operand, most significant first.
int Masks(const TWatchOperand& op, std::uint8_t masks[4]) {
  if (op.Kind == TWatchKind::Bit) {
    masks[0] = static_cast<std::uint8_t>(1u << op.Bit);
    return 1;
  }
  const int n = op.Bytes();
  for (int i = 0; i < n; ++i) masks[i] = 0xFF;
  return n;
}

std::uint8_t ByteOf(const TWatchOperand& op, std::uint32_t raw, int i) {
  if (op.Kind == TWatchKind::Bit) return static_cast<std::uint8_t>(raw != 0 ? (1u << op.Bit) : 0u);
  return static_cast<std::uint8_t>(raw >> (8 * (op.Bytes() - 1 - i)));
}

std::string Bcd3Time(std::uint32_t word, std::int64_t& ms) {
  static constexpr int kBase[] = {10, 100, 1000, 10000};
  const std::uint32_t d0 = word & 0xF, d1 = (word >> 4) & 0xF, d2 = (word >> 8) & 0xF;
  if (d0 > 9 || d1 > 9 || d2 > 9) return "not a BCD time value";
  ms = static_cast<std::int64_t>(d2 * 100 + d1 * 10 + d0) * kBase[(word >> 12) & 3];
  return {};
}

std::string DurationText(std::int64_t ms) {
  std::string s;
  if (ms < 0) {
    s = "-";
    ms = -ms;
  }
  const std::int64_t d = ms / 86400000, h = ms / 3600000 % 24, m = ms / 60000 % 60,
                     sec = ms / 1000 % 60, rest = ms % 1000;
  if (d) s += std::to_string(d) + "D";
  if (h) s += std::to_string(h) + "H";
  if (m) s += std::to_string(m) + "M";
  if (sec) s += std::to_string(sec) + "S";
  if (rest || s.empty() || s == "-") s += std::to_string(rest) + "MS";
  return s;
}

std::string Hex(std::uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, v);
  return buf;
}

}  // namespace

int TWatchOperand::Bytes() const {
  switch (Kind) {
    case TWatchKind::Bit:
    case TWatchKind::Byte: return 1;
    case TWatchKind::Word: return 2;
    case TWatchKind::DWord: return 4;
    default: return 0;
  }
}

std::string TWatchOperand::Address() const {
  if (Kind == TWatchKind::Timer) return "T " + std::to_string(Byte);
  if (Kind == TWatchKind::Counter) return "Z " + std::to_string(Byte);
  const char* size = Kind == TWatchKind::Byte ? "B" : Kind == TWatchKind::Word ? "W"
                     : Kind == TWatchKind::DWord ? "D" : "";
  std::string place = std::to_string(Byte);
  if (Kind == TWatchKind::Bit) place += "." + std::to_string(Bit);
  if (Area == ByteArea::DataBlock)
    return "DB" + std::to_string(Db) + ".DB" + (Kind == TWatchKind::Bit ? "X" : size) + " " + place;
  const char* area = Area == ByteArea::Input ? "E" : Area == ByteArea::Output ? "A" : "M";
  return std::string(area) + size + " " + place;
}

std::string ParseWatchOperand(std::string_view text, const softplc::SymbolTable& symbols,
                              TWatchOperand& out) {
  std::string t = Trim(text);
  out = TWatchOperand();
  const bool quoted = t.size() >= 2 && t.front() == '"' && t.back() == '"';
  const std::string name = quoted ? t.substr(1, t.size() - 2) : t;
  const auto it = symbols.find(name);
  if (it != symbols.end()) {
    std::string problem = ParseAddress(it->second, out);
    if (!problem.empty()) return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "symbol \"%1\": %2"), {name, problem});
    out.Symbol = name;
    return {};
  }
  if (quoted) return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "there is no symbol \"%1\""), {name});
  return ParseAddress(t, out);
}

const char* WatchFormatName(TWatchFormat f) {
  switch (f) {
    case TWatchFormat::Bool: return "BOOL";
    case TWatchFormat::Bin: return "BIN";
    case TWatchFormat::Hex: return "HEX";
    case TWatchFormat::Dec: return "DEC";
    case TWatchFormat::Real: return "REAL";
    case TWatchFormat::S5Time: return "S5TIME";
    case TWatchFormat::Time: return "TIME";
    case TWatchFormat::Char: return "CHAR";
  }
  return "HEX";
}

bool ParseWatchFormat(std::string_view name, TWatchFormat& f) {
  const std::string u = Upper(Trim(name));
  for (TWatchFormat c : {TWatchFormat::Bool, TWatchFormat::Bin, TWatchFormat::Hex, TWatchFormat::Dec,
                         TWatchFormat::Real, TWatchFormat::S5Time, TWatchFormat::Time, TWatchFormat::Char})
    if (u == WatchFormatName(c)) {
      f = c;
      return true;
    }
  return false;
}

std::vector<TWatchFormat> WatchFormats(TWatchKind kind) {
  using F = TWatchFormat;
  switch (kind) {
    case TWatchKind::Bit: return {F::Bool, F::Bin};
    case TWatchKind::Byte: return {F::Hex, F::Bin, F::Dec, F::Char};
    case TWatchKind::Word: return {F::Hex, F::Bin, F::Dec, F::S5Time, F::Char};
    case TWatchKind::DWord: return {F::Hex, F::Bin, F::Dec, F::Real, F::Time, F::Char};
    case TWatchKind::Timer: return {F::S5Time, F::Dec, F::Hex};
    case TWatchKind::Counter: return {F::Dec, F::Hex};
  }
  return {F::Hex};
}

std::uint32_t ReadWatchOperand(const softplc::Cpu& cpu, const TWatchOperand& op, bool* exists) {
  if (exists != nullptr) *exists = true;
  if (op.Kind == TWatchKind::Timer) {
    const softplc::TimerInfo t = cpu.Timer(op.Byte);
    const std::uint32_t base = t.baseMs == 10 ? 0 : t.baseMs == 100 ? 1 : t.baseMs == 1000 ? 2 : 3;
    const std::uint32_t u = std::min<std::uint32_t>(t.units, 999);
    return base << 12 | (u / 100) << 8 | (u / 10 % 10) << 4 | u % 10;
  }
  if (op.Kind == TWatchKind::Counter) return cpu.CounterValue(op.Byte);
  std::uint32_t v = 0;
  for (int i = 0; i < op.Bytes(); ++i) {
    int b = 0;
    switch (op.Area) {
      case ByteArea::Input: b = cpu.InputByte(op.Byte + i); break;
      case ByteArea::Output: b = cpu.OutputByte(op.Byte + i); break;
      case ByteArea::Memory: b = cpu.MemoryByte(op.Byte + i); break;
      case ByteArea::DataBlock:
        b = cpu.DataBlockByte(op.Db, op.Byte + i);
        if (b < 0) {
          if (exists != nullptr) *exists = false;
          return 0;
        }
        break;
    }
    v = v << 8 | static_cast<std::uint32_t>(b);
  }
  if (op.Kind == TWatchKind::Bit) return (v >> op.Bit) & 1u;
  return v;
}

std::string FormatWatchValue(std::uint32_t raw, TWatchKind kind, TWatchFormat format) {
  const int bytes = kind == TWatchKind::Byte ? 1 : kind == TWatchKind::DWord ? 4
                    : kind == TWatchKind::Bit ? 0 : 2;
  switch (format) {
    case TWatchFormat::Bool: return raw != 0 ? "TRUE" : "FALSE";
    case TWatchFormat::Bin: {
      if (bytes == 0) return raw != 0 ? "2#1" : "2#0";
      std::string s = "2#";
      for (int i = bytes * 8 - 1; i >= 0; --i) {
        s += ((raw >> i) & 1u) ? '1' : '0';
        if (i % 4 == 0 && i > 0) s += '_';
      }
      return s;
    }
    case TWatchFormat::Hex:
      if (bytes == 0) return raw != 0 ? "1" : "0";
      return (bytes == 1 ? "B#16#" : bytes == 2 ? "W#16#" : "DW#16#") + Hex(raw, bytes * 2);
    case TWatchFormat::Dec:
      if (kind == TWatchKind::Timer) {
        std::int64_t ms = 0;
        return Bcd3Time(raw, ms).empty() ? std::to_string(((raw >> 8) & 0xF) * 100 + ((raw >> 4) & 0xF) * 10 + (raw & 0xF))
                                         : "?";
      }
      if (kind == TWatchKind::Counter || bytes <= 1) return std::to_string(raw);
      if (bytes == 2) return std::to_string(static_cast<std::int16_t>(raw));
      return "L#" + std::to_string(static_cast<std::int32_t>(raw));
    case TWatchFormat::Real: {
      float f = 0;
      std::memcpy(&f, &raw, 4);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(f));
      std::string s = buf;
      if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
      return s;
    }
    case TWatchFormat::S5Time: {
      std::int64_t ms = 0;
      if (!Bcd3Time(raw, ms).empty()) return "W#16#" + Hex(raw & 0xFFFF, 4) + " (no S5TIME)";
      return "S5T#" + DurationText(ms);
    }
    case TWatchFormat::Time: return "T#" + DurationText(static_cast<std::int32_t>(raw));
    case TWatchFormat::Char: {
      std::string s = "'";
      for (int i = std::max(bytes, 1) - 1; i >= 0; --i) {
        const auto c = static_cast<unsigned char>(raw >> (8 * i));
        s += std::isprint(c) ? static_cast<char>(c) : '.';
      }
      return s + "'";
    }
  }
  return {};
}

bool ParseWatchValue(std::string_view rawText, const TWatchOperand& op, std::uint32_t& raw,
                     std::string& error) {
  const std::string text = Trim(rawText);
  const std::string u = Upper(text);
  if (op.Kind == TWatchKind::Bit) {
    if (u == "TRUE" || u == "1" || u == "2#1") raw = 1;
    else if (u == "FALSE" || u == "0" || u == "2#0") raw = 0;
    else {
      error = PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "'%1' is no value for the bit %2 (TRUE, FALSE, 1 or 0)"), {text, op.Address()});
      return false;
    }
    return true;
  }
  softplc::Operand c;
  // 16#1F without a size prefix is taken as the operand's size.
  std::string constant = u.rfind("16#", 0) == 0 ? (op.Bytes() == 1 ? "B#" : op.Bytes() == 2 ? "W#" : "DW#") + u
                                                : text;
  std::string problem = softplc::ParseConstant(constant, c);
  if (!problem.empty()) {
    error = "'" + text + "': " + softplc::Shown(problem);
    return false;
  }
  using CT = softplc::ConstType;
  std::uint32_t v = c.value;
  const int bytes = op.Bytes() == 0 ? 2 : op.Bytes();
  bool fits = true;
  if (bytes < 4) {
    const std::int64_t sv = (c.ctype == CT::Int16 || c.ctype == CT::Int32)
                                ? static_cast<std::int64_t>(static_cast<std::int32_t>(v))
                                : static_cast<std::int64_t>(v);
    const std::int64_t lo = bytes == 1 ? -128 : -32768, hi = bytes == 1 ? 255 : 65535;
    fits = sv >= lo && sv <= hi && c.ctype != CT::Real && c.ctype != CT::Time &&
           c.ctype != CT::Int32 && !(bytes == 1 && c.ctype == CT::DWord) &&
           !(bytes == 1 && c.ctype == CT::Word && sv > 255) && !(bytes == 2 && c.ctype == CT::DWord);
    v = static_cast<std::uint32_t>(sv) & (bytes == 1 ? 0xFFu : 0xFFFFu);
  }
  if (!fits) {
    error = PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "'%1' does not fit %2"), {text, op.Address()});
    return false;
  }
  raw = v;
  return true;
}

std::string ModifyWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op, std::uint32_t raw) {
  if (op.Kind == TWatchKind::Timer || op.Kind == TWatchKind::Counter)
    return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "%1: timers and counters can be watched, not modified"), {op.Address()});
  std::uint8_t masks[4];
  const int n = Masks(op, masks);
  for (int i = 0; i < n; ++i)
    if (!cpu.Modify(op.Area, op.Db, op.Byte + i, masks[i], ByteOf(op, raw, i)))
      return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "%1 does not exist in the loaded program"), {op.Address()});
  return {};
}

std::string ForceWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op, std::uint32_t raw) {
  if (op.Kind == TWatchKind::Timer || op.Kind == TWatchKind::Counter ||
      (op.Area != ByteArea::Input && op.Area != ByteArea::Output))
    return PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "%1: only inputs and outputs can be forced"), {op.Address()});
  std::uint8_t masks[4];
  const int n = Masks(op, masks);
  for (int i = 0; i < n; ++i) cpu.Force(op.Area, op.Byte + i, masks[i], ByteOf(op, raw, i));
  return {};
}

void UnforceWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op) {
  if (op.Kind == TWatchKind::Timer || op.Kind == TWatchKind::Counter) return;
  std::uint8_t masks[4];
  const int n = Masks(op, masks);
  for (int i = 0; i < n; ++i) cpu.Unforce(op.Area, op.Byte + i, masks[i]);
}

bool WatchOperandForced(const softplc::Cpu& cpu, const TWatchOperand& op) {
  if (op.Kind == TWatchKind::Timer || op.Kind == TWatchKind::Counter) return false;
  std::uint8_t masks[4];
  const int n = Masks(op, masks);
  for (int i = 0; i < n; ++i)
    if ((cpu.ForcedMask(op.Area, op.Byte + i) & masks[i]) != 0) return true;
  return false;
}
