#include "softplc/Operands.h"
#include "softplc/Text.h"

#include <charconv>
#include <cstring>

#include "softplc/Lexer.h"

namespace softplc {

namespace {

struct AreaRow {
  std::string_view german;
  std::string_view english;
  Area area;
  uint8_t size;
  bool timer;
  bool counter;
};

constexpr AreaRow kAreas[] = {
    {"E", "I", Area::Input, 0, false, false},       {"A", "Q", Area::Output, 0, false, false},
    {"M", "M", Area::Marker, 0, false, false},      {"L", "L", Area::Local, 0, false, false},
    {"EB", "IB", Area::Input, 1, false, false},     {"EW", "IW", Area::Input, 2, false, false},
    {"ED", "ID", Area::Input, 4, false, false},     {"AB", "QB", Area::Output, 1, false, false},
    {"AW", "QW", Area::Output, 2, false, false},    {"AD", "QD", Area::Output, 4, false, false},
    {"MB", "MB", Area::Marker, 1, false, false},    {"MW", "MW", Area::Marker, 2, false, false},
    {"MD", "MD", Area::Marker, 4, false, false},    {"LB", "LB", Area::Local, 1, false, false},
    {"LW", "LW", Area::Local, 2, false, false},     {"LD", "LD", Area::Local, 4, false, false},
    {"PEB", "PIB", Area::PeriphIn, 1, false, false}, {"PEW", "PIW", Area::PeriphIn, 2, false, false},
    {"PED", "PID", Area::PeriphIn, 4, false, false}, {"PAB", "PQB", Area::PeriphOut, 1, false, false},
    {"PAW", "PQW", Area::PeriphOut, 2, false, false}, {"PAD", "PQD", Area::PeriphOut, 4, false, false},
    {"DBX", "DBX", Area::DB, 0, false, false},     {"DBB", "DBB", Area::DB, 1, false, false},
    {"DBW", "DBW", Area::DB, 2, false, false},     {"DBD", "DBD", Area::DB, 4, false, false},
    {"DIX", "DIX", Area::DI, 0, false, false},     {"DIB", "DIB", Area::DI, 1, false, false},
    {"DIW", "DIW", Area::DI, 2, false, false},     {"DID", "DID", Area::DI, 4, false, false},
    {"T", "T", Area::Marker, 0, true, false},       {"Z", "C", Area::Marker, 0, false, true},
};

bool ParseUnsigned(std::string_view s, int base, uint64_t maxValue, uint64_t& out) {
  if (s.empty()) return false;
  uint64_t v = 0;
  bool digit = false;
  for (char c : s) {
    if (c == '_') continue;
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return false;
    if (d >= base) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > maxValue) return false;
    digit = true;
  }
  out = v;
  return digit;
}

// "1H2M3S4MS", "1S_500MS", "2D"; returns false on bad syntax.
bool ParseDuration(std::string_view s, int64_t& ms) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  int64_t total = 0;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '_') {
      ++i;
      continue;
    }
    int64_t v = 0;
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      v = v * 10 + (s[i] - '0');
      if (v > 1000000000000LL) return false;
      ++i;
    }
    if (i == start || i >= s.size()) return false;
    std::string unit;
    while (i < s.size() && ((s[i] >= 'A' && s[i] <= 'Z') || (s[i] >= 'a' && s[i] <= 'z'))) {
      unit.push_back(static_cast<char>(s[i] >= 'a' ? s[i] - 'a' + 'A' : s[i]));
      ++i;
    }
    if (unit == "D") v *= 86400000;
    else if (unit == "H") v *= 3600000;
    else if (unit == "M") v *= 60000;
    else if (unit == "S") v *= 1000;
    else if (unit == "MS") {}
    else return false;
    total += v;
    if (total > 100000000000LL) return false;
  }
  ms = negative ? -total : total;
  return true;
}

// Digits with a point or an exponent, such as 1.5, -2.0e-3 or 1e5: a name like temp1 or x1e5
// is not a number.
bool LooksReal(std::string_view s) {
  if (s.empty() || !((s[0] >= '0' && s[0] <= '9') || s[0] == '.' || s[0] == '+' || s[0] == '-'))
    return false;
  bool dot = false, exp = false, digits = false;
  for (char c : s) {
    if (c == '.') dot = true;
    else if (c == 'e' || c == 'E') exp = true;
    else if (c >= '0' && c <= '9') digits = true;
    else if (c != '+' && c != '-') return false;
  }
  return digits && (dot || exp);
}

// Days from 1990-01-01 to y-m-d (proleptic Gregorian); false for a day that does not exist.
bool DaysSince1990(int64_t y, int64_t m, int64_t d, int64_t& days) {
  static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  auto leap = [](int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; };
  if (m < 1 || m > 12 || d < 1) return false;
  if (d > kMonthDays[m - 1] + ((m == 2 && leap(y)) ? 1 : 0)) return false;
  days = d - 1;
  for (int64_t k = 1; k < m; ++k) days += kMonthDays[k - 1] + ((k == 2 && leap(y)) ? 1 : 0);
  for (int64_t k = 1990; k < y; ++k) days += leap(k) ? 366 : 365;
  for (int64_t k = y; k < 1990; ++k) days -= leap(k) ? 366 : 365;
  return true;
}

// Splits "a<sep>b<sep>c" into three decimal fields of at most `width` digits each.
bool ThreeFields(std::string_view s, char sep, size_t firstWidth, uint64_t f[3]) {
  for (int k = 0; k < 3; ++k) {
    size_t at = k < 2 ? s.find(sep) : s.size();
    if (at == std::string_view::npos) return false;
    std::string_view part = s.substr(0, at);
    if (part.empty() || part.size() > (k == 0 ? firstWidth : 2) ||
        part.find_first_not_of("0123456789") != std::string_view::npos ||
        !ParseUnsigned(part, 10, 9999, f[k]))
      return false;
    s.remove_prefix(k < 2 ? at + 1 : at);
  }
  return true;
}

}  // namespace

bool MillisecondsToS5Time(int64_t ms, uint16_t& word) {
  if (ms < 0 || ms > 9990000) return false;
  static constexpr int64_t kBases[] = {10, 100, 1000, 10000};
  for (uint16_t b = 0; b < 4; ++b) {
    int64_t units = ms / kBases[b];
    if (units <= 999) {
      auto u = static_cast<uint16_t>(units);
      uint16_t bcd = static_cast<uint16_t>((u / 100) << 8 | ((u / 10) % 10) << 4 | (u % 10));
      word = static_cast<uint16_t>(b << 12 | bcd);
      return true;
    }
  }
  return false;
}

AreaWord LookupArea(std::string_view w) {
  AreaWord r;
  for (const AreaRow& a : kAreas) {
    bool g = w == a.german, e = w == a.english;
    if (g || e) {
      r.ok = true;
      r.area = a.area;
      r.size = a.size;
      r.timer = a.timer;
      r.counter = a.counter;
      r.german = g;
      r.english = e;
      return r;
    }
  }
  return r;
}

std::string_view AreaInOtherLanguage(std::string_view w, Lang target) {
  for (const AreaRow& a : kAreas) {
    if (target == Lang::German && w == a.english) return a.german;
    if (target == Lang::English && w == a.german) return a.english;
  }
  return {};
}

bool LookupCond(std::string_view w, Cond& c, bool& germanOnly, bool& englishOnly) {
  struct Row { std::string_view name; Cond c; bool g; bool e; };
  static constexpr Row kRows[] = {
      {"OV", Cond::OV, false, false},  {"OS", Cond::OS, false, false},
      {"BIE", Cond::BR, true, false},  {"BR", Cond::BR, false, true},
      {"==0", Cond::EQ0, false, false}, {"<>0", Cond::NE0, false, false},
      {">0", Cond::GT0, false, false}, {"<0", Cond::LT0, false, false},
      {">=0", Cond::GE0, false, false}, {"<=0", Cond::LE0, false, false},
      {"UO", Cond::UO, false, false},
  };
  for (const Row& r : kRows) {
    if (w == r.name) {
      c = r.c;
      germanOnly = r.g;
      englishOnly = r.e;
      return true;
    }
  }
  return false;
}

std::string ParseConstant(std::string_view text, Operand& out) {
  out.kind = Operand::Kind::Const;
  std::string up = Upper(text);
  std::string_view u = up;
  // `what` is a template whose %1 takes the constant as written.
  auto bad = [&](const char* what) { return Tr(what, std::string(text)); };

  size_t hash = u.find('#');
  if (hash == std::string_view::npos) {
    if (LooksReal(u)) {
      float f = 0;
      const char* b = up.data();
      const char* e = b + up.size();
      if (*b == '+') ++b;
      auto res = std::from_chars(b, e, f);
      if (res.ec != std::errc() || res.ptr != e) return bad(QT_TRANSLATE_NOOP("softplc", "this is not a valid real number: '%1'"));
      out.ctype = ConstType::Real;
      std::memcpy(&out.value, &f, 4);
      return {};
    }
    bool neg = false;
    std::string_view d = u;
    if (!d.empty() && (d[0] == '-' || d[0] == '+')) {
      neg = d[0] == '-';
      d.remove_prefix(1);
    }
    uint64_t v;
    bool digits = !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits && d.size() > 10) return bad(QT_TRANSLATE_NOOP("softplc", "number out of range: '%1'"));
    if (!digits || !ParseUnsigned(d, 10, 0xFFFFFFFFull, v)) return bad(QT_TRANSLATE_NOOP("softplc", "unknown operand '%1'"));
    int64_t sv = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    if (sv < INT32_MIN || sv > INT32_MAX) return bad(QT_TRANSLATE_NOOP("softplc", "number out of range: '%1'"));
    out.ctype = (sv >= -32768 && sv <= 32767) ? ConstType::Int16 : ConstType::Int32;
    out.value = static_cast<uint32_t>(static_cast<int32_t>(sv));
    return {};
  }

  std::string_view prefix = u.substr(0, hash);
  std::string_view rest = u.substr(hash + 1);
  uint64_t v = 0;
  if (prefix == "B" && rest.substr(0, 3) == "16#") {
    if (!ParseUnsigned(rest.substr(3), 16, 0xFF, v)) return bad(QT_TRANSLATE_NOOP("softplc", "bad byte constant '%1'"));
    out.ctype = ConstType::Byte;
  } else if (prefix == "W" && rest.substr(0, 3) == "16#") {
    if (!ParseUnsigned(rest.substr(3), 16, 0xFFFF, v)) return bad(QT_TRANSLATE_NOOP("softplc", "bad word constant '%1'"));
    out.ctype = ConstType::Word;
  } else if (prefix == "DW" && rest.substr(0, 3) == "16#") {
    if (!ParseUnsigned(rest.substr(3), 16, 0xFFFFFFFF, v)) return bad(QT_TRANSLATE_NOOP("softplc", "bad double-word constant '%1'"));
    out.ctype = ConstType::DWord;
  } else if (prefix == "16") {
    if (!ParseUnsigned(rest, 16, 0xFFFFFFFF, v)) return bad(QT_TRANSLATE_NOOP("softplc", "bad hexadecimal constant '%1'"));
    out.ctype = v > 0xFFFF ? ConstType::DWord : ConstType::Word;
  } else if (prefix == "2") {
    if (!ParseUnsigned(rest, 2, 0xFFFFFFFF, v)) return bad(QT_TRANSLATE_NOOP("softplc", "bad binary constant '%1'"));
    size_t digits = 0;
    for (char c : rest) digits += c != '_';
    out.ctype = digits > 16 ? ConstType::DWord : ConstType::Word;
  } else if (prefix == "L") {
    bool neg = false;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
      neg = rest[0] == '-';
      rest.remove_prefix(1);
    }
    if (!ParseUnsigned(rest, 10, neg ? 2147483648ull : 2147483647ull, v))
      return bad(QT_TRANSLATE_NOOP("softplc", "bad double-integer constant '%1'"));
    out.ctype = ConstType::Int32;
    v = neg ? static_cast<uint64_t>(-static_cast<int64_t>(v)) : v;
  } else if (prefix == "B" && !rest.empty() && rest[0] == '(') {
    if (rest.back() != ')') return bad(QT_TRANSLATE_NOOP("softplc", "bad byte list '%1'"));
    std::string_view list = rest.substr(1, rest.size() - 2);
    int count = 0;
    while (true) {
      size_t comma = list.find(',');
      std::string_view item = list.substr(0, comma);
      while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
      while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
      uint64_t b;
      if (!ParseUnsigned(item, 10, 255, b)) return bad(QT_TRANSLATE_NOOP("softplc", "bad byte list (values 0 to 255): '%1'"));
      v = v << 8 | b;
      ++count;
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
    }
    if (count != 2 && count != 4) return bad(QT_TRANSLATE_NOOP("softplc", "a byte list holds two or four bytes: '%1'"));
    out.ctype = count == 2 ? ConstType::Word : ConstType::DWord;
  } else if (prefix == "S5T" || prefix == "S5TIME") {
    int64_t ms;
    uint16_t w;
    if (!ParseDuration(rest, ms)) return bad(QT_TRANSLATE_NOOP("softplc", "bad S5TIME constant '%1'"));
    if (!MillisecondsToS5Time(ms, w))
      return bad(QT_TRANSLATE_NOOP("softplc", "S5TIME must lie between S5T#0MS and S5T#2H46M30S: '%1'"));
    v = w;
    out.ctype = ConstType::S5Time;
  } else if (prefix == "T" || prefix == "TIME") {
    int64_t ms;
    if (!ParseDuration(rest, ms)) return bad(QT_TRANSLATE_NOOP("softplc", "bad TIME constant '%1'"));
    if (ms < INT32_MIN || ms > INT32_MAX) return bad(QT_TRANSLATE_NOOP("softplc", "TIME constant out of range: '%1'"));
    v = static_cast<uint32_t>(static_cast<int32_t>(ms));
    out.ctype = ConstType::Time;
  } else if (prefix == "D" || prefix == "DATE") {
    uint64_t f[3];
    int64_t days = -1;
    if (!ThreeFields(rest, '-', 4, f) || !DaysSince1990(static_cast<int64_t>(f[0]),
                                                        static_cast<int64_t>(f[1]),
                                                        static_cast<int64_t>(f[2]), days))
      return bad(QT_TRANSLATE_NOOP("softplc", "a date is written D#year-month-day, such as D#2024-03-15: '%1'"));
    if (days < 0 || days > 0xFFFF)
      return bad(QT_TRANSLATE_NOOP("softplc", "a DATE lies between D#1990-01-01 and D#2168-12-31: '%1'"));
    v = static_cast<uint64_t>(days);
    out.ctype = ConstType::Date;
  } else if (prefix == "TOD" || prefix == "TIME_OF_DAY") {
    // hours:minutes:seconds with an optional fraction of up to three digits
    std::string_view clock = rest, fraction;
    if (size_t dot = rest.find('.'); dot != std::string_view::npos) {
      clock = rest.substr(0, dot);
      fraction = rest.substr(dot + 1);
    }
    uint64_t f[3], ms = 0;
    if (!ThreeFields(clock, ':', 2, f) || fraction.size() > 3 ||
        (!fraction.empty() && !ParseUnsigned(fraction, 10, 999, ms)) || f[0] > 23 || f[1] > 59 ||
        f[2] > 59 || (rest.find('.') != std::string_view::npos && fraction.empty()))
      return bad(QT_TRANSLATE_NOOP("softplc", "a time of day is written TOD#hours:minutes:seconds, from TOD#0:0:0 to TOD#23:59:59.999: '%1'"));
    for (size_t k = fraction.size(); k < 3; ++k) ms *= 10;
    v = ((f[0] * 60 + f[1]) * 60 + f[2]) * 1000 + ms;
    out.ctype = ConstType::TimeOfDay;
  } else if (prefix == "C") {
    if (!ParseUnsigned(rest, 10, 999, v)) return bad(QT_TRANSLATE_NOOP("softplc", "a counter constant lies between C#0 and C#999: '%1'"));
    v = (v / 100) << 8 | ((v / 10) % 10) << 4 | (v % 10);
    out.ctype = ConstType::Counter;
  } else if (prefix == "P") {
    // Pointer: P#byte.bit inside an area, or P#M byte.bit naming the area (I 81, Q 82, M 83,
    // DB 84, DI 85, L 86 in the top byte, as the CPU encodes it).
    size_t letters = 0;
    while (letters < rest.size() && rest[letters] >= 'A' && rest[letters] <= 'Z') ++letters;
    std::string_view area = rest.substr(0, letters), addr = rest.substr(letters);
    uint32_t areaCode = 0;
    if (area == "E" || area == "I") areaCode = 0x81;
    else if (area == "A" || area == "Q") areaCode = 0x82;
    else if (area == "M") areaCode = 0x83;
    else if (area == "L") areaCode = 0x86;
    else if (area == "DBX") areaCode = 0x84;
    else if (area == "DIX") areaCode = 0x85;
    else if (!area.empty()) return bad(QT_TRANSLATE_NOOP("softplc", "a pointer names the area E, A, M, L, DBX or DIX: '%1'"));
    while (!addr.empty() && addr.front() == ' ') addr.remove_prefix(1);
    size_t dot = addr.find('.');
    uint64_t byte = 0, bit = 8;
    if (dot == std::string_view::npos || !ParseUnsigned(addr.substr(0, dot), 10, 65535, byte) ||
        !ParseUnsigned(addr.substr(dot + 1), 10, 7, bit) || addr.size() - dot != 2)
      return bad(QT_TRANSLATE_NOOP("softplc", "a pointer is written P#byte.bit, such as P#10.0 or P#M 10.0: '%1'"));
    v = uint64_t{areaCode} << 24 | byte << 3 | bit;
    out.ctype = ConstType::DWord;
  } else {
    return bad(QT_TRANSLATE_NOOP("softplc", "unknown constant '%1'"));
  }
  out.value = static_cast<uint32_t>(v);
  return {};
}

}  // namespace softplc
