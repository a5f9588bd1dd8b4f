// Resolving blocks: system blocks, user types, interfaces and their layout, data blocks and
// their initial values, call targets, the call graph and the local stack.
#include "softplc/CompilerImpl.h"
#include "softplc/Text.h"

namespace softplc::compiler {

// Interfaces of the system blocks, declared as a user's block would be.
struct BuiltinDef {
  BlockKind kind;
  int number;
  Native native;
  const char* in;
  const char* out;
  const char* stat;
};
constexpr BuiltinDef kBuiltins[] = {
    {BlockKind::SFB, 0, Native::CTU, "CU : BOOL; R : BOOL; PV : INT;", "Q : BOOL; CV : INT;", "CUO : BOOL;"},
    {BlockKind::SFB, 1, Native::CTD, "CD : BOOL; LOAD : BOOL; PV : INT;", "Q : BOOL; CV : INT;", "CDO : BOOL;"},
    {BlockKind::SFB, 2, Native::CTUD, "CU : BOOL; CD : BOOL; R : BOOL; LOAD : BOOL; PV : INT;",
     "QU : BOOL; QD : BOOL; CV : INT;", "CUO : BOOL; CDO : BOOL;"},
    {BlockKind::SFB, 3, Native::TP, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFB, 4, Native::TON, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFB, 5, Native::TOF, "IN : BOOL; PT : TIME;", "Q : BOOL; ET : TIME;",
     "STATE : BYTE; STIME : TIME; ATIME : TIME;"},
    {BlockKind::SFC, 20, Native::BLKMOV, "SRCBLK : ANY;", "RET_VAL : INT; DSTBLK : ANY;", ""},
    {BlockKind::SFC, 21, Native::FILL, "BVAL : ANY;", "RET_VAL : INT; BLK : ANY;", ""},
    {BlockKind::SFC, 46, Native::STP, "", "", ""},
    {BlockKind::SFC, 64, Native::TIME_TCK, "", "RET_VAL : TIME;", ""},
};

void Compiler::AddBuiltins() {
  for (const BuiltinDef& d : kBuiltins) {
    Block b;
    b.kind = d.kind;
    b.number = d.number;
    b.native = d.native;
    if (*d.in) b.decls.push_back({kIn, d.in, 1, 1});
    if (*d.out) b.decls.push_back({kOut, d.out, 1, 1});
    if (*d.stat) b.decls.push_back({kStat, d.stat, 1, 1});
    builtins_.push_back(std::move(b));
  }
}

Block* Compiler::FindBlock(BlockKind k, int number) {
  if (indexed_) {
    const auto it = index_.find({k, number});
    return it == index_.end() ? nullptr : it->second;
  }
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid && b.kind == k && b.number == number) return &b;
  for (Block& b : builtins_)
    if (b.kind == k && b.number == number) return &b;
  return nullptr;
}

TypeP Compiler::FindUdt(std::string_view name, bool quoted, std::string& err) {
  BlockKind kind = BlockKind::UDT;
  int number = 0;
  bool wasQuiet = quiet_;
  quiet_ = true;
  bool ok = ParseBlockRef(name, quoted, 0, 0, kind, number);
  quiet_ = wasQuiet;
  if (!ok || kind != BlockKind::UDT) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 is not a known user type (UDT)"), (quoted ? "\"" + std::string(name) + "\"" : Quote(name)));
    return nullptr;
  }
  Block* u = FindBlock(BlockKind::UDT, number);
  if (!u) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "UDT %1 does not exist (it is not in the loaded files)"), std::to_string(number));
    return nullptr;
  }
  if (u->state == 1) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "UDT %1 contains itself"), std::to_string(number));
    return nullptr;
  }
  if (u->state == 0 && resolving_ >= kMaxTypeDepth) {
    err = DepthMessage();
    return nullptr;
  }
  std::vector<DeclError> pending;
  pending.swap(declErrors_);
  ++resolving_;
  ResolveBlock(*u);
  --resolving_;
  pending.swap(declErrors_);
  if (!u->dbType) err = Tr(QT_TRANSLATE_NOOP("softplc", "UDT %1 has errors"), std::to_string(number));
  return u->dbType;
}

bool Compiler::NamesFunctionBlock(std::string_view name, bool quoted) {
  if (!quoted) {
    // unquoted, only the system blocks' own names: anything else is a type name or a typo
    const std::string up = Upper(name);
    if (up != "TP" && up != "TON" && up != "TOF" && up != "CTU" && up != "CTD" && up != "CTUD")
      return false;
  }
  BlockKind kind = BlockKind::UDT;
  int number = 0;
  const bool wasQuiet = quiet_;
  quiet_ = true;
  const bool ok = ParseBlockRef(name, true, 0, 0, kind, number);
  quiet_ = wasQuiet;
  return ok && (kind == BlockKind::FB || kind == BlockKind::SFB);
}

TypeP Compiler::FindInstance(std::string_view name, bool quoted, std::string& err) {
  BlockKind kind = BlockKind::FB;
  int number = 0;
  const bool wasQuiet = quiet_;
  quiet_ = true;
  const bool ok = ParseBlockRef(name, quoted, 0, 0, kind, number);
  quiet_ = wasQuiet;
  if (!ok || (kind != BlockKind::FB && kind != BlockKind::SFB)) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 is not a function block"), (quoted ? "\"" + std::string(name) + "\"" : Quote(name)));
    return nullptr;
  }
  Block* fb = FindBlock(kind, number);
  if (!fb) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 does not exist (it is not in the loaded files)"), BlockName(kind, number));
    return nullptr;
  }
  if (fb->state == 1) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 would contain an instance of itself, directly or through other function blocks"), BlockName(kind, number));
    return nullptr;
  }
  // the nested block reports its own errors against its own file, not amid the declarations
  // being parsed here
  if (fb->state == 0 && resolving_ >= kMaxTypeDepth) {
    err = DepthMessage();
    return nullptr;
  }
  std::vector<DeclError> pending;
  pending.swap(declErrors_);
  ++resolving_;
  ResolveBlock(*fb);
  --resolving_;
  pending.swap(declErrors_);
  if (!fb->instanceType) {
    err = Tr(QT_TRANSLATE_NOOP("softplc", "%1 has errors"), BlockName(kind, number));
    return nullptr;
  }
  auto t = std::make_shared<Type>(*fb->instanceType);
  t->name = BlockName(kind, number);
  t->instance = true;
  return t;
}

void Compiler::ResolveBlock(Block& b) {
  if (b.state != 0) return;
  b.state = 1;
  size_t savedFile = file_;
  file_ = b.file;
  switch (b.kind) {
    case BlockKind::UDT: {
      if (b.structRange.text.empty()) {
        Error(b.line, b.column, Tr(QT_TRANSLATE_NOOP("softplc", "a user type is declared TYPE UDT n STRUCT ... END_STRUCT END_TYPE")));
        break;
      }
      DeclParser dp(b.structRange.text, b.structRange.line, b.structRange.column, *this, declErrors_);
      TypeP t = dp.Struct();
      DeclErrors(declErrors_);
      if (t) {
        auto named = std::make_shared<Type>(*t);
        named->name = BlockName(BlockKind::UDT, b.number);
        b.dbType = named;
      }
      break;
    }
    case BlockKind::DB: ResolveDataBlock(b); break;
    default: ResolveInterface(b); break;
  }
  file_ = savedFile;
  b.state = 2;
}

bool Compiler::TooLarge(uint32_t at, const Type& t, const Member& m) {
  // a block's data cannot exceed the CPU's data memory; also keeps bit counts from overflowing
  if (uint64_t{at} + t.bits <= uint64_t{mem::kMaxDataBytes} * 8) return false;
  Error(m.line, m.column, Tr(QT_TRANSLATE_NOOP("softplc", "the block's variables are larger than the CPU's data memory")));
  return true;
}

void Compiler::ResolveInterface(Block& b) {
  struct Decl {
    Member m;
    int section;
  };
  std::vector<Decl> decls;
  for (const DeclRange& r : b.decls) {
    DeclParser dp(r.text, r.line, r.column, *this, declErrors_);
    uint32_t bits = 0;
    std::vector<Member> members = dp.Members({}, bits);
    b.failedVars.insert(b.failedVars.end(), dp.FailedNames().begin(), dp.FailedNames().end());
    if (r.section < 0) {
      // a section refused as a whole: its names are known, their uses need no more errors
      for (const Member& m : members) b.failedVars.push_back(m.upper);
      declErrors_.clear();
      continue;
    }
    for (Member& m : members) decls.push_back({std::move(m), r.section});
    DeclErrors(declErrors_);
  }
  if (b.kind == BlockKind::FC && !b.retType.empty() && b.retType != "VOID") {
    std::string text = "RET_VAL : " + b.retType + ";";
    std::vector<DeclError> errs;
    DeclParser dp(text, b.retLine, b.retColumn, *this, errs);
    uint32_t bits = 0;
    auto ms = dp.Members({}, bits);
    if (!errs.empty() || ms.empty()) {
      Error(b.retLine, b.retColumn, Tr(QT_TRANSLATE_NOOP("softplc", "unknown return type %1"), Quote(b.retType)));
    } else {
      decls.insert(decls.begin(), Decl{ms[0], kOut});
    }
  }
  // temporaries from local byte 0, as the program addresses them absolutely too
  uint32_t temp = 0;
  for (Decl& d : decls) {
    if (d.section != kTemp) continue;
    if (!d.m.init.empty())
      Error(d.m.initLine, d.m.initColumn, Tr(QT_TRANSLATE_NOOP("softplc", "temporary variables cannot have an initial value")));
    uint32_t at = AlignFor(*d.m.type, temp);
    if (TooLarge(at, *d.m.type, d.m)) break;
    b.vars.push_back({d.m.upper, d.m.type, kTemp, false, at});
    temp = at + d.m.type->bits;
  }
  temp = (temp + 15) / 16 * 16;
  uint32_t frameEnd = temp;
  if (b.kind == BlockKind::FB || b.kind == BlockKind::SFB) {
    auto inst = std::make_shared<Type>();
    inst->kind = TypeKind::Struct;
    uint32_t pos = 0;
    for (int section : {kIn, kOut, kInOut, kStat}) {
      pos = (pos + 15) / 16 * 16;  // every section starts on an even byte
      for (Decl& d : decls) {
        if (d.section != section) continue;
        uint32_t at = AlignFor(*d.m.type, pos);
        if (TooLarge(at, *d.m.type, d.m)) break;
        Member m = d.m;
        m.bitOffset = at;
        inst->members.push_back(m);
        b.vars.push_back({d.m.upper, d.m.type, section, true, at});
        pos = at + d.m.type->bits;
      }
    }
    inst->bits = (pos + 15) / 16 * 16;
    for (const Member& m : inst->members) inst->depth = std::max(inst->depth, m.type->depth + 1);
    if (inst->depth > kMaxTypeDepth)
      Error(b.line, b.column, DepthMessage());
    else
      b.instanceType = inst;
  } else {
    // FC parameters are copied into the frame, behind the temporaries
    uint32_t pos = temp;
    for (int section : {kIn, kOut, kInOut}) {
      for (Decl& d : decls) {
        if (d.section != section) continue;
        if (!d.m.init.empty())
          Error(d.m.initLine, d.m.initColumn,
                Tr(QT_TRANSLATE_NOOP("softplc", "parameters of a function (FC) cannot have initial values")));
        uint32_t at = AlignFor(*d.m.type, pos);
        if (TooLarge(at, *d.m.type, d.m)) break;
        b.vars.push_back({d.m.upper, d.m.type, section, false, at});
        pos = at + d.m.type->bits;
      }
    }
    frameEnd = pos;
  }
  for (const Decl& d : decls) {
    if (d.m.type->instance && (b.kind != BlockKind::FB || d.section != kStat)) {
      Error(d.m.line, d.m.column, Tr(QT_TRANSLATE_NOOP("softplc", "an instance of %1 can only be declared among the static variables (VAR) of a function block"), d.m.type->name));
      continue;
    }
    TypeKind k = d.m.type->kind;
    // a function may take the number of a timer or counter as an input
    bool numbered = (k == TypeKind::Timer || k == TypeKind::Counter) && b.kind == BlockKind::FC &&
                    d.section == kIn;
    if (b.native == Native::None && !numbered &&
        (k == TypeKind::Timer || k == TypeKind::Counter))
      Error(d.m.line, d.m.column, Tr(QT_TRANSLATE_NOOP("softplc", "variables of type %1 are not supported here; a function (FC) can take them as VAR_INPUT"), TypeName(*d.m.type)));
  }
  // duplicate names across sections
  for (size_t i = 0; i < b.vars.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (b.vars[i].upper == b.vars[j].upper) {
        for (const Decl& d : decls)
          if (d.m.upper == b.vars[i].upper) {
            Error(d.m.line, d.m.column, Tr(QT_TRANSLATE_NOOP("softplc", "variable %1 is declared twice"), Quote(d.m.name)));
            break;
          }
      }
  b.frameBytes = (frameEnd + 15) / 16 * 2;
  if (b.frameBytes > mem::kLocalSize)
    Error(b.line, b.column, Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs %2 bytes of local data; a block may use %3"), BlockName(b.kind, b.number), std::to_string(b.frameBytes), std::to_string(mem::kLocalSize)));
}

void Compiler::ResolveDataBlock(Block& b) {
  TypeP type;
  if (!b.instanceOf.empty()) {
    bool quoted = b.instanceOf.front() == '"';
    std::string_view name = quoted ? std::string_view(b.instanceOf).substr(1, b.instanceOf.size() - 2)
                                   : std::string_view(b.instanceOf);
    BlockKind kind = BlockKind::FB;
    int number = 0;
    if (ParseBlockRef(name, quoted, b.instLine, b.instColumn, kind, number)) {
      if (kind == BlockKind::FB || kind == BlockKind::SFB) {
        Block* fb = FindBlock(kind, number);
        if (!fb) {
          Error(b.instLine, b.instColumn, Tr(QT_TRANSLATE_NOOP("softplc", "%1 does not exist (it is not in the loaded files)"), BlockName(kind, number)));
        } else {
          ResolveBlock(*fb);
          file_ = b.file;
          type = fb->instanceType;
          b.native = fb->native;
          b.dbOfFb = fb->kind == BlockKind::SFB ? 100000 + fb->number : fb->number;
        }
      } else if (kind == BlockKind::UDT) {
        std::string err;
        type = FindUdt("UDT " + std::to_string(number), false, err);
        if (!type) Error(b.instLine, b.instColumn, err);
      } else {
        Error(b.instLine, b.instColumn, Tr(QT_TRANSLATE_NOOP("softplc", "a data block is made of a STRUCT, an FB or a UDT, not %1"), BlockName(kind, number)));
      }
    }
  } else if (!b.structRange.text.empty()) {
    DeclParser dp(b.structRange.text, b.structRange.line, b.structRange.column, *this, declErrors_);
    type = dp.Struct();
    DeclErrors(declErrors_);
  } else {
    Error(b.line, b.column, Tr(QT_TRANSLATE_NOOP("softplc", "the data block needs STRUCT ... END_STRUCT, or the FB or UDT it is an instance of")));
  }
  if (!type) return;
  b.dbType = type;
  b.initial.assign(type->bits / 8, 0);
  std::vector<DeclError> errs;
  EncodeInitials(*type, 0, b.initial, errs);
  if (!b.initRange.text.empty()) {
    DeclParser dp(b.initRange.text, b.initRange.line, b.initRange.column, *this, errs);
    for (const DeclParser::Assign& a : dp.Assignments()) {
      TypeP t;
      uint32_t off = 0;
      std::string err;
      if (!FindPath(*type, a.path, t, off, err)) {
        errs.push_back({a.line, a.column,
                        err.empty() ? Tr(QT_TRANSLATE_NOOP("softplc", "the data block has no %1"), a.path)
                                    : Tr(QT_TRANSLATE_NOOP("softplc", "the data block %1"), err)});
        continue;
      }
      std::string e = EncodeValue(*t, a.value, b.initial, off);
      if (!e.empty()) errs.push_back({a.valueLine, a.valueColumn, e});
    }
  }
  DeclErrors(errs);
}

bool Compiler::CallTarget(const Stmt& s, const Block& caller, Block*& target, Block*& instance,
                          const Var*& multi, bool report) {
  bool wasQuiet = quiet_;
  quiet_ = !report;
  target = instance = nullptr;
  multi = nullptr;
  std::string_view text = s.target;
  const Token& op0 = units_[file_].toks[s.firstOperand];
  uint32_t line = op0.line, col = op0.column;
  auto finish = [&](bool ok) {
    quiet_ = wasQuiet;
    return ok;
  };
  if (text.empty()) {
    Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 needs a block such as FC 1"), Quote(s.mnem)));
    return finish(false);
  }
  if (text.front() == '#') {
    const std::string name = Upper(Trim(text.substr(1)));
    const Var* v = nullptr;
    for (const Var& var : caller.vars)
      if (var.upper == name) v = &var;
    if (!v || !v->type->instance) {
      Error(line, col,
            v ? Tr(QT_TRANSLATE_NOOP("softplc", "%1 is not an instance of a function block; CALL #name calls an FB or SFB declared among the static variables"), Quote(text))
              : Tr(QT_TRANSLATE_NOOP("softplc", "%1 is not a variable of %2; CALL #name calls an FB or SFB declared among the static variables"), Quote(text), BlockName(caller.kind, caller.number)));
      return finish(false);
    }
    if (s.mnem != "CALL") {
      Error(s.mnemLine, s.mnemCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 cannot call a multiple instance; use CALL %2"), Quote(s.mnem), std::string(text)));
      return finish(false);
    }
    BlockKind kind = BlockKind::FB;
    int number = 0;
    if (!ParseBlockRef(v->type->name, false, line, col, kind, number)) return finish(false);
    target = FindBlock(kind, number);
    multi = v;
    return finish(target != nullptr);
  }
  size_t comma = std::string_view::npos;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (quote) {
      if (text[i] == quote) quote = 0;
    } else if (text[i] == '"') {
      quote = '"';
    } else if (text[i] == ',') {
      comma = i;
      break;
    }
  }
  auto ref = [&](std::string_view part, uint32_t c, BlockKind& k, int& n) {
    part = Trim(part);
    bool quoted = part.size() >= 2 && part.front() == '"' && part.back() == '"';
    if (quoted) part = part.substr(1, part.size() - 2);
    return ParseBlockRef(part, quoted, line, c, k, n);
  };
  BlockKind kind = BlockKind::FC;
  int number = 0;
  if (!ref(text.substr(0, comma), col, kind, number)) return finish(false);
  if (kind != BlockKind::FC && kind != BlockKind::FB && kind != BlockKind::SFC && kind != BlockKind::SFB) {
    Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "only FC, FB, SFC and SFB blocks can be called, not %1"), BlockName(kind, number)));
    return finish(false);
  }
  target = FindBlock(kind, number);
  if (!target) {
    Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "%1 does not exist (it is not in the loaded files)"), BlockName(kind, number)));
    return finish(false);
  }
  bool needsInstance = kind == BlockKind::FB || kind == BlockKind::SFB;
  if (comma == std::string_view::npos) {
    if (needsInstance && s.mnem == "CALL") {
      Error(line, col, Tr(QT_TRANSLATE_NOOP("softplc", "calling %1 needs its instance data block: CALL %2, DB n"), BlockName(kind, number), BlockName(kind, number)));
      return finish(false);
    }
    return finish(true);
  }
  uint32_t dbCol = col + static_cast<uint32_t>(comma) + 1;
  for (size_t k = comma + 1; k < text.size() && (text[k] == ' ' || text[k] == '\t'); ++k) ++dbCol;
  if (!needsInstance) {
    Error(line, dbCol, Tr(QT_TRANSLATE_NOOP("softplc", "%1 has no instance data block; write CALL %2"), BlockName(kind, number), BlockName(kind, number)));
    return finish(false);
  }
  BlockKind dk = BlockKind::DB;
  int dn = 0;
  if (!ref(text.substr(comma + 1), dbCol, dk, dn)) return finish(false);
  if (dk != BlockKind::DB) {
    Error(line, dbCol, Tr(QT_TRANSLATE_NOOP("softplc", "expected the instance data block (DB n) after the comma")));
    return finish(false);
  }
  instance = FindBlock(BlockKind::DB, dn);
  if (!instance) {
    Error(line, dbCol, Tr(QT_TRANSLATE_NOOP("softplc", "instance data block DB %1 does not exist; declare it as DATA_BLOCK DB %2 with %3 in its header"), std::to_string(dn), std::to_string(dn), BlockName(kind, number)));
    return finish(false);
  }
  int want = kind == BlockKind::SFB ? 100000 + number : number;
  if (instance->dbOfFb != want) {
    Error(line, dbCol, Tr(QT_TRANSLATE_NOOP("softplc", "DB %1 is not an instance data block of %2"), std::to_string(dn), BlockName(kind, number)));
    return finish(false);
  }
  return finish(true);
}

void Compiler::ResolveCalls() {
  std::vector<Block*> code;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid && (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB))
        code.push_back(&b);
  std::unordered_map<const Block*, size_t> position;
  for (size_t k = 0; k < code.size(); ++k) position.emplace(code[k], k);
  for (Block* b : code) {
    file_ = b->file;
    for (const Stmt& s : b->stmts) {
      if (s.mnem != "CALL" && s.mnem != "UC" && s.mnem != "CC") continue;
      Block *t = nullptr, *inst = nullptr;
      const Var* multi = nullptr;
      if (!CallTarget(s, *b, t, inst, multi, false) || !t || t->native != Native::None) continue;
      if (const auto k = position.find(t); k != position.end()) b->callees.emplace_back(k->second, &s);
    }
  }
  // depth-first: finds recursion and gives the callers-first order for the frames
  std::vector<int> color(code.size(), 0);
  std::vector<size_t> order;
  std::vector<size_t> path;
  bool recursion = false;
  // With an explicit stack (block, next callee to look at): a chain of 50 000 calls is as
  // deep as it is long, far too deep for the machine stack.
  std::vector<std::pair<size_t, size_t>> stack;
  for (size_t root = 0; root < code.size(); ++root) {
    if (color[root] != 0) continue;
    color[root] = 1;
    path.push_back(root);
    stack.push_back({root, 0});
    while (!stack.empty()) {
      auto& [v, next] = stack.back();
      if (next == code[v]->callees.size()) {
        path.pop_back();
        color[v] = 2;
        order.push_back(v);
        stack.pop_back();
        continue;
      }
      const auto& [w, stmt] = code[v]->callees[next++];
      if (color[w] == 1) {
        if (!recursion) {
          std::string chain;
          auto it = std::find(path.begin(), path.end(), w);
          for (; it != path.end(); ++it) chain += BlockName(code[*it]->kind, code[*it]->number) + " -> ";
          chain += BlockName(code[w]->kind, code[w]->number);
          file_ = code[v]->file;
          Error(stmt->mnemLine, stmt->mnemCol,
                Tr(QT_TRANSLATE_NOOP("softplc", "recursive call %1: a block cannot call itself, directly or through others"), chain));
          recursion = true;
        }
      } else if (color[w] == 0) {
        color[w] = 1;
        path.push_back(w);
        stack.push_back({w, 0});  // `v` and `next` are not used after this
      }
    }
  }
  if (recursion) return;
  // callers come before their callees in the reversed order; every callee's frame starts
  // above the frame of each of its callers
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Block* b = code[*it];
    for (const auto& [w, stmt] : b->callees)
      code[w]->frameBase = std::max(code[w]->frameBase, b->frameBase + b->frameBytes);
  }
}

}  // namespace softplc::compiler
