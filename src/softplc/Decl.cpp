#include "softplc/Decl.h"
#include "softplc/Text.h"

#include <algorithm>
#include <cstring>

#include "softplc/Lexer.h"
#include "softplc/Operands.h"

namespace softplc {

namespace {

struct Elementary {
  const char* name;
  TypeKind kind;
  uint32_t bits;
};
constexpr Elementary kElementary[] = {
    {"BOOL", TypeKind::Bool, 1},       {"BYTE", TypeKind::Byte, 8},
    {"CHAR", TypeKind::Char, 8},       {"WORD", TypeKind::Word, 16},
    {"INT", TypeKind::Int, 16},        {"S5TIME", TypeKind::S5Time, 16},
    {"DATE", TypeKind::Date, 16},      {"DWORD", TypeKind::DWord, 32},
    {"DINT", TypeKind::DInt, 32},      {"REAL", TypeKind::Real, 32},
    {"TIME", TypeKind::Time, 32},      {"TIME_OF_DAY", TypeKind::Tod, 32},
    {"TOD", TypeKind::Tod, 32},        {"DATE_AND_TIME", TypeKind::Dt, 64},
    {"DT", TypeKind::Dt, 64},          {"TIMER", TypeKind::Timer, 16},
    {"COUNTER", TypeKind::Counter, 16}, {"ANY", TypeKind::Any, 80},
    {"BLOCK_DB", TypeKind::BlockDb, 16},
};

bool IsIdentChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

uint32_t RoundUp(uint32_t v, uint32_t to) { return (v + to - 1) / to * to; }

// Nothing a program declares may be larger than the CPU's data memory; keeps sizes far from
// overflowing their 32-bit bit counts.
constexpr uint64_t kMaxBits = uint64_t{8} * 1024 * 1024;

void PutBits(std::vector<uint8_t>& bytes, uint32_t bitOffset, uint32_t bits, uint64_t v) {
  if (bits == 1) {
    uint32_t byte = bitOffset / 8, bit = bitOffset % 8;
    if (byte >= bytes.size()) return;
    bytes[byte] = static_cast<uint8_t>(v & 1 ? bytes[byte] | (1u << bit) : bytes[byte] & ~(1u << bit));
    return;
  }
  uint32_t n = bits / 8, byte = bitOffset / 8;
  for (uint32_t i = 0; i < n; ++i) {
    if (byte + i >= bytes.size()) return;
    bytes[byte + i] = static_cast<uint8_t>(v >> (8 * (n - 1 - i)));
  }
}

}  // namespace

int OperandSize(TypeKind k) {
  switch (k) {
    case TypeKind::Bool: return 0;
    case TypeKind::Byte:
    case TypeKind::Char: return 1;
    case TypeKind::Word:
    case TypeKind::Int:
    case TypeKind::S5Time:
    case TypeKind::Date: return 2;
    case TypeKind::DWord:
    case TypeKind::DInt:
    case TypeKind::Real:
    case TypeKind::Time:
    case TypeKind::Tod: return 4;
    default: return -1;
  }
}

TypeP ElementaryType(TypeKind k) {
  static std::vector<TypeP> cache = [] {
    std::vector<TypeP> v(static_cast<size_t>(TypeKind::BlockDb) + 1);
    for (const Elementary& e : kElementary) {
      auto t = std::make_shared<Type>();
      t->kind = e.kind;
      t->bits = e.bits;
      if (!v[static_cast<size_t>(e.kind)]) v[static_cast<size_t>(e.kind)] = t;
    }
    return v;
  }();
  return cache[static_cast<size_t>(k)];
}

std::string TypeName(const Type& t) {
  if (!t.name.empty()) return t.name;
  switch (t.kind) {
    case TypeKind::String: return "STRING[" + std::to_string(t.strLen) + "]";
    case TypeKind::Struct: return "STRUCT";
    case TypeKind::Array: {
      std::string dims = std::to_string(t.lo) + ".." + std::to_string(t.hi);
      const Type* e = t.elem.get();
      for (; e->kind == TypeKind::Array && e->row; e = e->elem.get())
        dims += "," + std::to_string(e->lo) + ".." + std::to_string(e->hi);
      return "ARRAY[" + dims + "] OF " + TypeName(*e);
    }
    default:
      for (const Elementary& e : kElementary)
        if (e.kind == t.kind) return e.name;
  }
  return "?";
}

bool SameType(const Type& a, const Type& b) {
  if (a.kind != b.kind || a.bits != b.bits) return false;
  if (a.kind == TypeKind::Array)
    return a.lo == b.lo && a.hi == b.hi && a.row == b.row && SameType(*a.elem, *b.elem);
  if (a.kind == TypeKind::Struct) {
    if (a.members.size() != b.members.size()) return false;
    for (size_t i = 0; i < a.members.size(); ++i)
      if (!SameType(*a.members[i].type, *b.members[i].type)) return false;
  }
  return a.strLen == b.strLen;
}

uint32_t AlignFor(const Type& t, uint32_t bitPos) {
  if (t.kind == TypeKind::Bool) return bitPos;
  if (t.kind == TypeKind::Byte || t.kind == TypeKind::Char) return RoundUp(bitPos, 8);
  return RoundUp(bitPos, 16);
}

DeclParser::DeclParser(std::string_view text, uint32_t line, uint32_t column,
                       TypeResolver& resolver, std::vector<DeclError>& errors)
    : text_(text), line_(line), col_(column), resolver_(resolver), errors_(errors) {}

void DeclParser::Error(uint32_t line, uint32_t col, std::string text) {
  if (errors_.size() < 100) errors_.push_back({line, col, std::move(text)});
}

void DeclParser::SkipBlanks() {
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (c == '\n') {
      ++line_;
      col_ = 1;
      ++pos_;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      ++col_;
      ++pos_;
    } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
      while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    } else if (c == '{') {
      // attributes such as { S7_m_c := 'true' } are ignored
      while (pos_ < text_.size() && text_[pos_] != '}' && text_[pos_] != '\n') {
        ++pos_;
        ++col_;
      }
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        ++col_;
      }
    } else {
      break;
    }
  }
}

DeclParser::Tok DeclParser::Next() {
  SkipBlanks();
  Tok t{Tok::End, "", "", line_, col_, pos_};
  if (pos_ >= text_.size()) return t;
  size_t start = pos_;
  char c = text_[pos_];
  auto take = [&](size_t n) {
    pos_ += n;
    col_ += static_cast<uint32_t>(n);
  };
  if (c == '"' || c == '\'') {
    size_t j = pos_ + 1;
    while (j < text_.size() && text_[j] != c && text_[j] != '\n') ++j;
    t.kind = c == '"' ? Tok::Quoted : Tok::String;
    t.raw = std::string(text_.substr(pos_ + 1, j - pos_ - 1));
    t.text = t.raw;
    take(j - pos_ + (j < text_.size() && text_[j] == c ? 1 : 0));
    return t;
  }
  if (IsIdentChar(c) || c == '#' || c == '-' || c == '+') {
    size_t j = pos_;
    if (c == '-' || c == '+') ++j;
    while (j < text_.size() && (IsIdentChar(text_[j]) || text_[j] == '#')) ++j;
    // a number may be followed by ".." (array bounds) but a real keeps its decimal point
    if (j + 1 < text_.size() && text_[j] == '.' && text_[j + 1] != '.' &&
        (c >= '0' && c <= '9'))
      while (j < text_.size() && (IsIdentChar(text_[j]) || text_[j] == '.')) ++j;
    if (j == pos_) j = pos_ + 1;
    t.raw = std::string(text_.substr(pos_, j - pos_));
    t.text = Upper(t.raw);
    t.kind = (c >= '0' && c <= '9') || c == '-' || c == '+' ? Tok::Number : Tok::Word;
    take(j - start);
    return t;
  }
  t.kind = Tok::Punct;
  if (text_.substr(pos_, 2) == ":=" || text_.substr(pos_, 2) == "..") {
    t.text = t.raw = std::string(text_.substr(pos_, 2));
    take(2);
  } else {
    t.text = t.raw = std::string(1, c);
    take(1);
  }
  return t;
}

DeclParser::Tok DeclParser::Peek() {
  size_t p = pos_;
  uint32_t l = line_, c = col_;
  Tok t = Next();
  pos_ = p;
  line_ = l;
  col_ = c;
  return t;
}

bool DeclParser::AtEnd() { return Peek().kind == Tok::End; }
std::string DeclParser::PeekWord() {
  Tok t = Peek();
  return t.kind == Tok::Word ? t.text : std::string();
}

void DeclParser::SkipToSemicolon() {
  for (Tok t = Next(); t.kind != Tok::End; t = Next())
    if (t.kind == Tok::Punct && t.text == ";") return;
}

std::string DeclParser::RawUntilSemicolon(uint32_t& line, uint32_t& col) {
  SkipBlanks();
  line = line_;
  col = col_;
  size_t start = pos_;
  char quote = 0;
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' || c == '\n' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
      break;
    }
    ++pos_;
    ++col_;
  }
  std::string v(text_.substr(start, pos_ - start));
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.pop_back();
  if (pos_ < text_.size() && text_[pos_] == ';') {
    ++pos_;
    ++col_;
  }
  return v;
}

TypeP DeclParser::ParseType() {
  Tok t = Next();
  if (t.kind == Tok::Quoted) {
    if (resolver_.NamesFunctionBlock(t.raw, true)) return InstanceType(t, t.raw, true);
    std::string err;
    TypeP u = resolver_.FindUdt(t.raw, true, err);
    if (!u) Error(t.line, t.column, err);
    return u;
  }
  if (t.kind != Tok::Word) {
    Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected a data type, found '%1'"), t.raw));
    return nullptr;
  }
  for (const Elementary& e : kElementary)
    if (t.text == e.name) return ElementaryType(e.kind);
  // the system blocks' own names (TON, CTU ...) may stand for them unquoted
  if (resolver_.NamesFunctionBlock(t.text, false)) return InstanceType(t, t.text, true);
  if (t.text == "STRING") {
    auto s = std::make_shared<Type>();
    s->kind = TypeKind::String;
    s->strLen = 254;
    if (Peek().text == "[") {
      Next();
      Tok n = Next();
      Tok close = Next();
      int v = 0;
      try {
        v = std::stoi(n.text);
      } catch (...) {
        v = -1;
      }
      if (v < 1 || v > 254 || close.text != "]") {
        Error(n.line, n.column, Tr(QT_TRANSLATE_NOOP("softplc", "a string is declared STRING[n] with n from 1 to 254")));
        return nullptr;
      }
      s->strLen = static_cast<uint32_t>(v);
    }
    s->bits = (s->strLen + 2) * 8;
    s->bits = RoundUp(s->bits, 16);
    return s;
  }
  if (t.text == "ARRAY") {
    // ARRAY [a..b, c..d, ...] OF type: up to six dimensions
    struct Dim {
      int32_t lo, hi;
    };
    std::vector<Dim> dims;
    Tok open = Next();
    bool ok = open.text == "[";
    while (ok) {
      Tok lo = Next();
      Tok dots = Next();
      Tok hi = Next();
      Tok sep = Next();
      int32_t l = 0, h = -1;
      ok = dots.text == ".." && lo.kind == Tok::Number && hi.kind == Tok::Number;
      if (ok) {
        try {
          l = std::stoi(lo.text);
          h = std::stoi(hi.text);
        } catch (...) {
          ok = false;
        }
      }
      // In 64 bits: [-2147483648..2147483647] must not wrap into a small count.
      ok = ok && h >= l && (sep.text == "]" || sep.text == ",");
      if (ok && int64_t{h} - l > 65535) {
        Error(lo.line, lo.column, Tr(QT_TRANSLATE_NOOP("softplc", "an array dimension has at most 65536 elements")));
        return nullptr;
      }
      if (!ok) break;
      dims.push_back({l, h});
      if (sep.text == "]") break;
    }
    if (!ok) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "an array is declared ARRAY [low..high] OF type, with low <= high (or [low..high, low..high, ...] for more dimensions)")));
      return nullptr;
    }
    if (dims.size() > 6) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "an array has at most six dimensions")));
      return nullptr;
    }
    Tok of = Next();
    if (of.text != "OF") {
      Error(of.line, of.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected OF after the array bounds")));
      return nullptr;
    }
    if (TooDeep(t)) return nullptr;
    ++nesting_;
    TypeP elem = ParseType();
    --nesting_;
    if (!elem) return nullptr;
    if (elem->kind == TypeKind::Any || elem->kind == TypeKind::Timer ||
        elem->kind == TypeKind::Counter || elem->kind == TypeKind::BlockDb) {
      Error(of.line, of.column, Tr(QT_TRANSLATE_NOOP("softplc", "an array cannot hold %1"), TypeName(*elem)));
      return nullptr;
    }
    // More dimensions are arrays of rows, the last index varying fastest. Rows follow each
    // other without padding, so the whole array is one run of elements as STEP 7 lays it out.
    TypeP inner = elem;
    for (size_t d = dims.size(); d-- > 0;) {
      auto a = std::make_shared<Type>();
      a->kind = TypeKind::Array;
      a->elem = inner;
      a->lo = dims[d].lo;
      a->hi = dims[d].hi;
      a->row = d > 0;
      a->stride = inner->row ? inner->bits
                  : inner->bits == 1 ? 1
                  : inner->bits == 8 ? 8
                                     : RoundUp(inner->bits, 16);
      const uint32_t count = static_cast<uint32_t>(a->hi - a->lo + 1);
      if (uint64_t{a->stride} * count > kMaxBits) {
        Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "the array is larger than the CPU's data memory (1 MB)")));
        return nullptr;
      }
      a->bits = a->row ? a->stride * count : RoundUp(a->stride * count, 16);
      a->depth = inner->depth + 1;
      inner = a;
    }
    if (inner->depth > kMaxTypeDepth) {
      Error(t.line, t.column, DepthMessage());
      return nullptr;
    }
    return inner;
  }
  if (t.text == "STRUCT") {
    if (TooDeep(t)) {
      // Past the nested STRUCT, so the declarations around it are read on.
      for (int open = 1; open > 0;) {
        const Tok k = Next();
        if (k.kind == Tok::End) break;
        if (k.text == "STRUCT") ++open;
        if (k.text == "END_STRUCT") --open;
      }
      return nullptr;
    }
    pos_ = t.offset;
    line_ = t.line;
    col_ = t.column;
    return Struct();
  }
  if (t.text == "UDT") {
    Tok n = Next();
    std::string err;
    TypeP u = resolver_.FindUdt("UDT " + n.text, false, err);
    if (!u) Error(n.line, n.column, err);
    return u;
  }
  if (t.text == "FB" || t.text == "SFB") {
    Tok n = Next();
    return InstanceType(t, t.text + " " + n.text, false);
  }
  Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "unknown data type '%1'"), t.raw));
  return nullptr;
}

namespace {
// A declaration written out as STRUCT ... END_STRUCT; (also as an array's element type) has
// had its semicolon read with the END_STRUCT.
bool EndsWithStruct(const Type& t) {
  const Type* e = &t;
  while (e->kind == TypeKind::Array) e = e->elem.get();
  return e->kind == TypeKind::Struct && e->name.empty() && !e->instance;
}
}  // namespace

std::string DepthMessage() {
  return Tr(QT_TRANSLATE_NOOP("softplc", "types nest more than %1 levels deep (STRUCT, ARRAY, UDT and instances together)"), std::to_string(kMaxTypeDepth));
}

bool DeclParser::TooDeep(const Tok& at) {
  if (nesting_ < static_cast<int>(kMaxTypeDepth)) return false;
  Error(at.line, at.column, DepthMessage());
  return true;
}

TypeP DeclParser::InstanceType(const Tok& at, std::string_view name, bool quoted) {
  if (nesting_ > 0) {
    Error(at.line, at.column, Tr(QT_TRANSLATE_NOOP("softplc", "an instance of a function block cannot be part of a STRUCT, an ARRAY or a data block; declare it among the static variables (VAR) of a function block")));
    return nullptr;
  }
  std::string err;
  TypeP t = resolver_.FindInstance(name, quoted, err);
  if (!t) Error(at.line, at.column, err);
  return t;
}

std::vector<Member> DeclParser::Members(std::initializer_list<std::string_view> stops,
                                        uint32_t& bitPos) {
  std::vector<Member> out;
  for (;;) {
    Tok t = Peek();
    if (t.kind == Tok::End) break;
    if (t.kind == Tok::Word &&
        std::find(stops.begin(), stops.end(), std::string_view(t.text)) != stops.end())
      break;
    Next();
    if (t.kind != Tok::Word || t.text[0] == '#' || (t.text[0] >= '0' && t.text[0] <= '9')) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected a variable name, found '%1'"), t.raw));
      SkipToSemicolon();
      continue;
    }
    Tok colon = Next();
    if (colon.text != ":") {
      Error(colon.line, colon.column, Tr(QT_TRANSLATE_NOOP("softplc", "a variable is declared as 'name : TYPE;'")));
      SkipToSemicolon();
      continue;
    }
    TypeP type = ParseType();
    if (!type) {
      failed_.push_back(t.text);
      SkipToSemicolon();
      continue;
    }
    Member m;
    m.name = t.raw;
    m.upper = t.text;
    m.type = type;
    m.line = t.line;
    m.column = t.column;
    Tok after = Peek();
    if (after.text == ":=") {
      Next();
      m.init = RawUntilSemicolon(m.initLine, m.initColumn);
    } else if (after.text == ";") {
      Next();
    } else if (!EndsWithStruct(*type)) {
      Error(after.line, after.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected ';' after the declaration of '%1'"), t.raw));
      SkipToSemicolon();
    }
    bool dup = false;
    for (const Member& o : out)
      if (o.upper == m.upper) dup = true;
    if (dup) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "variable '%1' is declared twice"), t.raw));
      continue;
    }
    uint32_t at = AlignFor(*type, bitPos);
    if (uint64_t{at} + type->bits > kMaxBits) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "the declarations are larger than the CPU's data memory (1 MB)")));
      SkipToSemicolon();
      break;
    }
    m.bitOffset = at;
    bitPos = at + type->bits;
    out.push_back(std::move(m));
  }
  return out;
}

TypeP DeclParser::Struct() {
  Tok t = Next();
  if (t.text != "STRUCT") {
    Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "expected STRUCT, found '%1'"), t.raw));
    return nullptr;
  }
  auto s = std::make_shared<Type>();
  s->kind = TypeKind::Struct;
  uint32_t bits = 0;
  ++nesting_;
  s->members = Members({"END_STRUCT"}, bits);
  --nesting_;
  Tok end = Next();
  if (end.text != "END_STRUCT") {
    Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "STRUCT is not closed with END_STRUCT")));
    return nullptr;
  }
  if (Peek().text == ";") Next();
  s->bits = std::max<uint32_t>(16, RoundUp(bits, 16));
  for (const Member& m : s->members) s->depth = std::max(s->depth, m.type->depth + 1);
  if (s->depth > kMaxTypeDepth) {
    Error(t.line, t.column, DepthMessage());
    return nullptr;
  }
  return s;
}

std::vector<DeclParser::Assign> DeclParser::Assignments() {
  std::vector<Assign> out;
  for (;;) {
    Tok t = Peek();
    if (t.kind == Tok::End) break;
    Assign a;
    a.line = t.line;
    a.column = t.column;
    // the path runs up to ":="
    bool ok = false;
    for (Tok p = Next(); p.kind != Tok::End; p = Next()) {
      if (p.text == ":=") {
        ok = true;
        break;
      }
      if (p.text == ";") break;
      a.path += p.text;
    }
    if (!ok || a.path.empty()) {
      Error(t.line, t.column, Tr(QT_TRANSLATE_NOOP("softplc", "an initial value is written 'name := value;'")));
      continue;
    }
    a.value = RawUntilSemicolon(a.valueLine, a.valueColumn);
    out.push_back(std::move(a));
  }
  return out;
}

bool FindPath(const Type& t, std::string_view path, TypeP& out, uint32_t& bitOffset,
              std::string& err) {
  const Type* cur = &t;
  TypeP curP;
  uint32_t off = 0;
  size_t i = 0;
  bool first = true;
  while (i < path.size()) {
    if (path[i] == '[') {
      if (cur->kind != TypeKind::Array && cur->kind != TypeKind::String) {
        err = Tr(QT_TRANSLATE_NOOP("softplc", "is not an array"));
        return false;
      }
      size_t close = path.find(']', i);
      if (close == std::string_view::npos) {
        err = Tr(QT_TRANSLATE_NOOP("softplc", "has an index without ']'"));
        return false;
      }
      // "[2]", or "[2,3]" for an array of more dimensions
      std::string_view list = path.substr(i + 1, close - i - 1);
      for (size_t from = 0;;) {
        const size_t comma = list.find(',', from);
        const std::string idx(list.substr(from, comma == std::string_view::npos ? comma : comma - from));
        int32_t k = 0;
        bool num = !idx.empty();
        size_t s = (num && idx[0] == '-') ? 1 : 0;
        for (size_t c = s; c < idx.size(); ++c)
          if (idx[c] < '0' || idx[c] > '9' || c > 7) num = false;
        if (s == idx.size()) num = false;
        if (!num) {
          err = Tr(QT_TRANSLATE_NOOP("softplc", "needs a constant index (use AR1/AR2 for computed addresses)"));
          return false;
        }
        k = std::stoi(idx);
        if (cur->kind == TypeKind::String && from == 0 && comma == std::string_view::npos) {
          // characters of a string are numbered from 1, behind its two length bytes
          if (k < 1 || static_cast<uint32_t>(k) > cur->strLen) {
            err = Tr(QT_TRANSLATE_NOOP("softplc", "index %1 is outside 1..%2"), idx, std::to_string(cur->strLen));
            return false;
          }
          off += (1 + static_cast<uint32_t>(k)) * 8;
          curP = ElementaryType(TypeKind::Char);
          cur = curP.get();
          break;
        }
        if (cur->kind != TypeKind::Array || (from > 0 && !cur->row)) {
          err = Tr(QT_TRANSLATE_NOOP("softplc", "has fewer dimensions than indices given"));
          return false;
        }
        if (k < cur->lo || k > cur->hi) {
          err = Tr(QT_TRANSLATE_NOOP("softplc", "index %1 is outside %2..%3"), idx, std::to_string(cur->lo), std::to_string(cur->hi));
          return false;
        }
        off += static_cast<uint32_t>(k - cur->lo) * cur->stride;
        curP = cur->elem;
        cur = curP.get();
        if (comma == std::string_view::npos) break;
        from = comma + 1;
      }
      if (cur->kind == TypeKind::Array && cur->row) {
        err = Tr(QT_TRANSLATE_NOOP("softplc", "needs an index for each dimension, as in [1,2]"));
        return false;
      }
      i = close + 1;
      continue;
    }
    if (path[i] == '.') {
      ++i;
    } else if (!first) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "is not a valid name"));
      return false;
    }
    size_t j = i;
    while (j < path.size() && path[j] != '.' && path[j] != '[') ++j;
    std::string_view name = path.substr(i, j - i);
    if (cur->kind != TypeKind::Struct) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "has no member %1"), std::string(name));
      return false;
    }
    const Member* found = nullptr;
    for (const Member& m : cur->members)
      if (m.upper == name) found = &m;
    if (!found) {
      err = Tr(QT_TRANSLATE_NOOP("softplc", "has no member %1"), std::string(name));
      return false;
    }
    off += found->bitOffset;
    curP = found->type;
    cur = curP.get();
    i = j;
    first = false;
  }
  out = curP;
  bitOffset = off;
  return out != nullptr;
}

std::string EncodeValue(const Type& t, std::string_view text, std::vector<uint8_t>& bytes,
                        uint32_t bitOffset) {
  std::string up = Upper(text);
  while (!up.empty() && up.back() == ' ') up.pop_back();
  if (t.kind == TypeKind::Array) {
    // "1, 2, 3" or "3 (0)" repetitions; a multi-dimensional array takes its elements in
    // storage order, the last index fastest
    uint32_t count = static_cast<uint32_t>(t.hi - t.lo + 1);
    const Type* leaf = &t;
    while (leaf->elem->kind == TypeKind::Array && leaf->elem->row) {
      leaf = leaf->elem.get();
      count *= static_cast<uint32_t>(leaf->hi - leaf->lo + 1);
    }
    uint32_t n = 0;
    size_t i = 0;
    std::string s(text);
    while (i < s.size() && n < count) {
      size_t comma = s.find(',', i);
      std::string item = s.substr(i, comma == std::string::npos ? std::string::npos : comma - i);
      while (!item.empty() && item.front() == ' ') item.erase(item.begin());
      while (!item.empty() && item.back() == ' ') item.pop_back();
      uint32_t rep = 1;
      size_t paren = item.find('(');
      if (paren != std::string::npos && paren > 0 && item.back() == ')') {
        try {
          rep = static_cast<uint32_t>(std::stoul(item.substr(0, paren)));
        } catch (...) {
          return Tr(QT_TRANSLATE_NOOP("softplc", "bad repetition '%1'"), item);
        }
        item = item.substr(paren + 1, item.size() - paren - 2);
      }
      for (uint32_t r = 0; r < rep && n < count; ++r, ++n) {
        std::string e = EncodeValue(*leaf->elem, item, bytes, bitOffset + n * leaf->stride);
        if (!e.empty()) return e;
      }
      if (comma == std::string::npos) break;
      i = comma + 1;
    }
    return {};
  }
  if (t.kind == TypeKind::Struct || t.kind == TypeKind::Any || t.kind == TypeKind::Timer ||
      t.kind == TypeKind::Counter || t.kind == TypeKind::BlockDb)
    return Tr(QT_TRANSLATE_NOOP("softplc", "a value of type %1 cannot be given here"), TypeName(t));
  if (t.kind == TypeKind::String) {
    if (text.size() < 2 || text.front() != '\'' || text.back() != '\'')
      return Tr(QT_TRANSLATE_NOOP("softplc", "a string value is written in single quotes"));
    std::string_view s = text.substr(1, text.size() - 2);
    if (s.size() > t.strLen) return Tr(QT_TRANSLATE_NOOP("softplc", "the string is longer than %1"), std::to_string(t.strLen));
    uint32_t b = bitOffset / 8;
    if (b + 2 + s.size() > bytes.size()) return {};
    bytes[b] = static_cast<uint8_t>(t.strLen);
    bytes[b + 1] = static_cast<uint8_t>(s.size());
    std::memcpy(bytes.data() + b + 2, s.data(), s.size());
    return {};
  }
  if (t.kind == TypeKind::Bool) {
    if (up == "TRUE" || up == "1") PutBits(bytes, bitOffset, 1, 1);
    else if (up == "FALSE" || up == "0") PutBits(bytes, bitOffset, 1, 0);
    else return Tr(QT_TRANSLATE_NOOP("softplc", "a BOOL value is TRUE or FALSE"));
    return {};
  }
  if (up == "TRUE" || up == "FALSE") return Tr(QT_TRANSLATE_NOOP("softplc", "%1 is a BOOL value, not %2"), up, TypeName(t));
  if (t.kind == TypeKind::Dt) return {};  // kept at zero: 1990-01-01
  Operand op;
  std::string v(text);
  if (t.kind == TypeKind::Char && v.size() == 3 && v[0] == '\'' && v[2] == '\'') {
    PutBits(bytes, bitOffset, 8, static_cast<uint8_t>(v[1]));
    return {};
  }
  std::string err = ParseConstant(v, op);
  if (!err.empty()) return err;
  uint64_t value = op.value;
  switch (t.kind) {
    case TypeKind::Int:
      if (op.ctype != ConstType::Int16) return Tr(QT_TRANSLATE_NOOP("softplc", "an INT value lies between -32768 and 32767"));
      break;
    case TypeKind::DInt:
      if (op.ctype != ConstType::Int16 && op.ctype != ConstType::Int32) return Tr(QT_TRANSLATE_NOOP("softplc", "expected a DINT value"));
      break;
    case TypeKind::Real:
      if (op.ctype == ConstType::Int16 || op.ctype == ConstType::Int32) {
        float f = static_cast<float>(static_cast<int32_t>(op.value));
        uint32_t u;
        std::memcpy(&u, &f, 4);
        value = u;
      } else if (op.ctype != ConstType::Real) {
        return Tr(QT_TRANSLATE_NOOP("softplc", "expected a REAL value such as 1.5"));
      }
      break;
    case TypeKind::Time:
      if (op.ctype != ConstType::Time && op.ctype != ConstType::Int16 && op.ctype != ConstType::Int32)
        return Tr(QT_TRANSLATE_NOOP("softplc", "expected a TIME value such as T#5S"));
      break;
    case TypeKind::S5Time:
      if (op.ctype != ConstType::S5Time) return Tr(QT_TRANSLATE_NOOP("softplc", "expected an S5TIME value such as S5T#5S"));
      break;
    case TypeKind::Byte:
    case TypeKind::Char:
      if (op.value > 0xFF) return Tr(QT_TRANSLATE_NOOP("softplc", "the value does not fit in a byte"));
      break;
    case TypeKind::Word:
      if (op.value > 0xFFFF && op.ctype != ConstType::Int16) return Tr(QT_TRANSLATE_NOOP("softplc", "the value does not fit in a word"));
      break;
    case TypeKind::Date:
      if (op.ctype != ConstType::Date && (op.ctype == ConstType::TimeOfDay || op.value > 0xFFFF))
        return Tr(QT_TRANSLATE_NOOP("softplc", "expected a DATE value such as D#2024-03-15"));
      break;
    case TypeKind::Tod:
      if (op.ctype != ConstType::TimeOfDay && op.ctype != ConstType::Int16 &&
          op.ctype != ConstType::Int32)
        return Tr(QT_TRANSLATE_NOOP("softplc", "expected a TIME_OF_DAY value such as TOD#12:30:00"));
      break;
    default: break;
  }
  PutBits(bytes, bitOffset, t.bits, value);
  return {};
}

void EncodeInitials(const Type& t, uint32_t bitOffset, std::vector<uint8_t>& bytes,
                    std::vector<DeclError>& errors) {
  if (t.kind == TypeKind::Struct) {
    for (const Member& m : t.members) {
      uint32_t at = bitOffset + m.bitOffset;
      if (m.type->kind == TypeKind::String) {
        // an empty string still knows its capacity
        if (at / 8 < bytes.size()) bytes[at / 8] = static_cast<uint8_t>(m.type->strLen);
      }
      EncodeInitials(*m.type, at, bytes, errors);
      if (!m.init.empty()) {
        std::string e = EncodeValue(*m.type, m.init, bytes, at);
        if (!e.empty()) errors.push_back({m.initLine, m.initColumn, e});
      }
    }
  } else if (t.kind == TypeKind::Array) {
    for (int32_t k = t.lo; k <= t.hi; ++k)
      EncodeInitials(*t.elem, bitOffset + static_cast<uint32_t>(k - t.lo) * t.stride, bytes, errors);
  }
}

}  // namespace softplc
