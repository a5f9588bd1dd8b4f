#include "softplc/Lexer.h"

namespace softplc {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EndsWord(std::string_view s, size_t i) {
  char c = s[i];
  if (IsSpace(c) || c == '\n' || c == ';' || c == '"' || c == '[' || c == ']' || c == '{' ||
      c == '\'')
    return true;
  return c == '/' && i + 1 < s.size() && s[i + 1] == '/';
}

}  // namespace

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperChar(c);
  return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

size_t ByteOrderMarkLength(std::string_view text) {
  return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

void Tokenize(std::string_view s, std::vector<Token>& out) {
  uint32_t line = 1;
  size_t lineStart = ByteOrderMarkLength(s);
  size_t i = lineStart;
  const size_t n = s.size();
  // Columns count characters, not bytes, so that a message points at the right place after
  // an umlaut; tokens come in order along the line, so the count goes on from the last one.
  size_t colAt = lineStart;
  uint32_t colValue = 1;
  auto col = [&](size_t at) {
    if (at < colAt || colAt < lineStart) {
      colAt = lineStart;
      colValue = 1;
    }
    for (; colAt < at; ++colAt) colValue += (static_cast<unsigned char>(s[colAt]) & 0xC0) != 0x80;
    return colValue;
  };
  auto push = [&](TokKind k, size_t from, size_t to, size_t at) {
    out.push_back(Token{k, s.substr(from, to - from), line, col(at), static_cast<uint32_t>(at)});
  };
  while (i < n) {
    char c = s[i];
    if (c == '\n') {
      push(TokKind::EndOfLine, i, i, i);
      ++line;
      lineStart = ++i;
      continue;
    }
    if (IsSpace(c)) {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '/') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == ';' || c == '[' || c == ']') {
      push(c == ';' ? TokKind::Semicolon : c == '[' ? TokKind::LBracket : TokKind::RBracket, i,
           i + 1, i);
      ++i;
      continue;
    }
    if (c == '"' || c == '\'') {
      size_t j = i + 1;
      while (j < n && s[j] != c && s[j] != '\n') ++j;
      if (j < n && s[j] == c) {
        push(c == '"' ? TokKind::Quoted : TokKind::CharLit, i + 1, j, i);
        i = j + 1;
      } else {
        push(TokKind::Bad, i, j, i);
        i = j;
      }
      continue;
    }
    if (c == '{') {
      // Attributes stay on their line; an unclosed brace must not swallow the program.
      size_t j = i + 1;
      while (j < n && s[j] != '}' && s[j] != '\n') ++j;
      if (j < n && s[j] == '}') ++j;
      push(TokKind::Attribute, i, j, i);
      i = j;
      continue;
    }
    size_t j = i;
    // B#( ... ) may contain blanks and commas.
    if (j + 2 < n && UpperChar(s[j]) == 'B' && s[j + 1] == '#' && s[j + 2] == '(') {
      while (j < n && s[j] != ')' && s[j] != '\n') ++j;
      if (j < n && s[j] == ')') ++j;
    } else {
      while (j < n && !EndsWord(s, j)) ++j;
    }
    push(TokKind::Word, i, j, i);
    i = j;
  }
  push(TokKind::EndOfLine, n, n, n);
}

}  // namespace softplc
