#include "softplc/SymbolFile.h"
#include "softplc/Text.h"

#include <algorithm>

#include "softplc/Encoding.h"
#include "softplc/Lexer.h"
#include "softplc/Operands.h"

namespace softplc {

namespace {

std::string TrimCopy(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

std::string Extension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : Upper(name.substr(dot + 1));
}

// Splits a line of quoted, comma-separated fields; false when a quote is not closed.
bool SplitQuoted(const std::string& line, std::vector<std::string>& fields) {
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string f;
    if (i < line.size() && line[i] == '"') {
      size_t j = line.find('"', i + 1);
      if (j == std::string::npos) return false;
      f = line.substr(i + 1, j - i - 1);
      i = j + 1;
      while (i < line.size() && line[i] != ',') ++i;
    } else {
      size_t j = line.find(',', i);
      f = TrimCopy(line.substr(i, j == std::string::npos ? std::string::npos : j - i));
      i = j == std::string::npos ? line.size() : j;
    }
    fields.push_back(f);
    if (i < line.size() && line[i] == ',') {
      ++i;
      if (i == line.size()) fields.push_back("");
    }
  }
  return true;
}

// An address or block the CPU knows: "E 124.1", "MW 10", "T 3", "FB 1", "DB 2".
bool LooksLikeAddress(const std::string& address) {
  std::string a = Upper(address);
  a.erase(std::remove(a.begin(), a.end(), ' '), a.end());
  size_t letters = 0;
  while (letters < a.size() && a[letters] >= 'A' && a[letters] <= 'Z') ++letters;
  if (letters == 0 || letters == a.size()) return false;
  std::string area = a.substr(0, letters), rest = a.substr(letters);
  if (!std::all_of(rest.begin(), rest.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
    return false;
  static const char* const kBlocks[] = {"OB", "FC", "FB", "DB", "UDT", "SFC", "SFB", "VAT"};
  for (const char* b : kBlocks)
    if (area == b) return rest.find('.') == std::string::npos;
  return LookupArea(area).ok;
}

// One spelling per address: no blanks, German area names ("I 1.0" and "E1.0" are the same).
std::string Canonical(const std::string& address) {
  std::string a = Upper(address);
  a.erase(std::remove(a.begin(), a.end(), ' '), a.end());
  size_t letters = 0;
  while (letters < a.size() && a[letters] >= 'A' && a[letters] <= 'Z') ++letters;
  std::string_view german = AreaInOtherLanguage(std::string_view(a).substr(0, letters), Lang::German);
  if (!german.empty() && !LookupArea(a.substr(0, letters)).german)
    a = std::string(german) + a.substr(letters);
  return a;
}

}  // namespace

void ReadSymbolFile(const SymbolFile& file, SymbolTable& table,
                    std::map<std::string, std::string>& origin, std::vector<Message>& errors,
                    SymbolFormat format, std::map<std::string, std::string>* comments) {
  // Tables exported on Windows are Windows-1252; names are compared as UTF-8.
  const std::string text = ToUtf8(file.text);
  if (format == SymbolFormat::Auto) {
    std::string ext = Extension(file.name);
    format = ext == "SDF" ? SymbolFormat::Sdf : ext == "SEQ" ? SymbolFormat::Seq
             : ext == "ASC" ? SymbolFormat::Asc : SymbolFormat::Auto;
    if (format == SymbolFormat::Auto) {
      // by content: quotes make SDF, tabs SEQ, anything else fixed columns
      if (text.find('"') != std::string::npos) format = SymbolFormat::Sdf;
      else if (text.find('\t') != std::string::npos) format = SymbolFormat::Seq;
      else format = SymbolFormat::Asc;
    }
  }
  int lineNo = 0;
  size_t pos = ByteOrderMarkLength(text);
  auto error = [&](int col, std::string message) {
    if (errors.size() < 200) errors.push_back(MakeMessage(file.name, lineNo, col, message));
  };
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (TrimCopy(line).empty()) continue;
    std::string name, address, comment;
    int addressCol = 1;
    switch (format) {
      case SymbolFormat::Sdf: {
        std::vector<std::string> f;
        if (!SplitQuoted(line, f) || f.size() < 2) {
          error(1, Tr(QT_TRANSLATE_NOOP("softplc", "expected \"symbol\",\"address\",\"type\",\"comment\"")));
          continue;
        }
        name = TrimCopy(f[0]);
        address = TrimCopy(f[1]);
        if (f.size() > 3) comment = TrimCopy(f[3]);
        addressCol = static_cast<int>(Utf8Length(line.substr(0, line.find(f[1]))) + 1);
        break;
      }
      case SymbolFormat::Seq: {
        std::vector<std::string> f;
        size_t i = 0;
        while (true) {
          size_t j = line.find('\t', i);
          f.push_back(line.substr(i, j == std::string::npos ? std::string::npos : j - i));
          if (j == std::string::npos) break;
          i = j + 1;
        }
        // an optional leading record number ("126,")
        if (!f.empty() && !f[0].empty() && f[0].back() == ',' &&
            std::all_of(f[0].begin(), f[0].end() - 1, [](char c) { return c >= '0' && c <= '9'; }))
          f.erase(f.begin());
        if (f.size() < 2) {
          error(1, Tr(QT_TRANSLATE_NOOP("softplc", "expected symbol, address, type and comment separated by tabs")));
          continue;
        }
        name = TrimCopy(f[0]);
        address = TrimCopy(f[1]);
        if (f.size() > 3) comment = TrimCopy(f[3]);
        addressCol = static_cast<int>(Utf8Length(line.substr(0, line.find(f[1]))) + 1);
        break;
      }
      default: {
        // "126," then the symbol in 24 columns, the address in 12, the type in 10, the comment
        size_t start = 0;
        if (line.size() > 4 && line.compare(0, 4, "126,") == 0) start = 4;
        // the columns count characters: a name with an umlaut is longer in UTF-8
        if (Utf8Length(line) < start + 25) {
          error(1, Tr(QT_TRANSLATE_NOOP("softplc", "the line is too short for a fixed-column symbol table (symbol 24, address 12 columns)")));
          continue;
        }
        const size_t nameEnd = Utf8Advance(line, start, 24);
        const size_t addressEnd = Utf8Advance(line, nameEnd, 12);
        name = TrimCopy(line.substr(start, nameEnd - start));
        address = TrimCopy(line.substr(nameEnd, addressEnd - nameEnd));
        if (addressEnd < line.size())
          comment = TrimCopy(line.substr(Utf8Advance(line, addressEnd, 10)));
        addressCol = static_cast<int>(start + 25);
        break;
      }
    }
    if (name.empty()) {
      error(1, Tr(QT_TRANSLATE_NOOP("softplc", "the symbol has no name")));
      continue;
    }
    if (!LooksLikeAddress(address)) {
      error(addressCol, Tr(QT_TRANSLATE_NOOP("softplc", "'%1' is not an address (symbol \"%2\")"), address, name));
      continue;
    }
    std::string here = file.name + ":" + std::to_string(lineNo);
    auto it = table.find(name);
    if (it != table.end()) {
      if (Canonical(it->second) != Canonical(address)) {
        auto o = origin.find(name);
        error(1, Tr(QT_TRANSLATE_NOOP("softplc", "symbol \"%1\" is %2 here but %3 in %4; rename one of them"), name, address, it->second, (o == origin.end() ? Tr(QT_TRANSLATE_NOOP("softplc", "the plant's symbols")) : o->second)));
      }
      continue;
    }
    table[name] = address;
    origin[name] = here;
    if (comments != nullptr && !comment.empty()) (*comments)[name] = comment;
  }
}

}  // namespace softplc
