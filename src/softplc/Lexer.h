// Splits STL source text into tokens, line by line. Tokens point into the source text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace softplc {

enum class TokKind : uint8_t {
  Word,       // mnemonic, address, number, constant, label, keyword
  Quoted,     // "symbol" (text without the quotes)
  CharLit,    // 'c' (text without the quotes)
  LBracket,   // [
  RBracket,   // ]
  Semicolon,  // ;
  Attribute,  // { ... } block attributes, ignored
  EndOfLine,
  Bad,        // unterminated quote; text is the rest of the line
};

struct Token {
  TokKind kind;
  std::string_view text;
  uint32_t line;
  uint32_t column;
  uint32_t offset;  // byte offset in the source
};

// Appends the tokens of `source` to `out`. Every line ends with an EndOfLine token.
// A // comment runs to the end of its line. A leading byte-order mark is skipped.
void Tokenize(std::string_view source, std::vector<Token>& out);

// 3 when `text` starts with a UTF-8 byte-order mark, as many Windows editors write one, else 0.
size_t ByteOrderMarkLength(std::string_view text);

// Upper-cases ASCII letters.
std::string Upper(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace softplc
