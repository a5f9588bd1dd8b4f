#include "softplc/Encoding.h"

#include <cstdint>

namespace softplc {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 code points.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The next character's upper case, for comparing: ASCII a..z become A..Z, the Latin-1
// letters à..þ (two UTF-8 bytes) become À..Þ, except ÷. Any other byte stands for itself;
// Latin-1 letters are kept apart from single bytes by a high bit.
uint32_t FoldedAt(std::string_view s, size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c == 0xC3 && i + 1 < s.size() && Continuation(static_cast<unsigned char>(s[i + 1]))) {
    const uint32_t cp = 0xC0u + (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
    i += 2;
    return 0x1000u | (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7 ? cp - 0x20 : cp);
  }
  ++i;
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

}  // namespace

int Cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return 0x80 + i;
  return -1;
}

bool IsUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n;
    uint32_t cp, min;
    if ((c & 0xE0) == 0xC0) n = 1, cp = c & 0x1Fu, min = 0x80;
    else if ((c & 0xF0) == 0xE0) n = 2, cp = c & 0x0Fu, min = 0x800;
    else if ((c & 0xF8) == 0xF0) n = 3, cp = c & 0x07u, min = 0x10000;
    else return false;
    for (size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size() || !Continuation(static_cast<unsigned char>(s[i + k]))) return false;
      cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

std::string ToUtf8(std::string_view text) {
  if (IsUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
  }
  return out;
}

size_t Utf8Advance(std::string_view text, size_t from, size_t chars) {
  size_t i = from;
  while (i < text.size() && chars > 0) {
    ++i;
    while (i < text.size() && Continuation(static_cast<unsigned char>(text[i]))) ++i;
    --chars;
  }
  return i;
}

size_t Utf8Length(std::string_view text) {
  size_t n = 0;
  for (char c : text) n += !Continuation(static_cast<unsigned char>(c));
  return n;
}

bool EqualsNoCaseUtf8(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (FoldedAt(a, i) != FoldedAt(b, j)) return false;
  return i == a.size() && j == b.size();
}

}  // namespace softplc
