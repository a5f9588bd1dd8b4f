// Text encodings of source files and symbol tables. Files written on Windows by the
// programming tool are Windows-1252; everything inside the CPU is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace softplc {

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

// `text` as UTF-8: unchanged when it already is UTF-8, otherwise read as Windows-1252. A
// byte-order mark stays where it is (the readers skip it).
std::string ToUtf8(std::string_view text);

// The Windows-1252 byte that holds character `c`, or -1 when the code page has none (the five
// unassigned bytes stand for their C1 code points, as ToUtf8 reads them).
int Cp1252Byte(char32_t c);

// Byte offset in UTF-8 `text` after `chars` characters from `from` (clamped to the end).
size_t Utf8Advance(std::string_view text, size_t from, size_t chars);

// Number of characters in UTF-8 `text`.
size_t Utf8Length(std::string_view text);

// Compares two UTF-8 names ignoring the case of ASCII and Latin-1 letters ("Förder" and
// "FÖRDER" are the same name).
bool EqualsNoCaseUtf8(std::string_view a, std::string_view b);

}  // namespace softplc
