// The compiler's driver: runs the stages over the files in order, lays out memory and
// assembles the program. The stages are in Compile*.cpp, their shared parts in CompilerImpl.h.
#include "softplc/Compiler.h"
#include "softplc/Text.h"

#include "softplc/CompilerImpl.h"

namespace softplc {

const char* BlockKindName(BlockKind k) {
  switch (k) {
    case BlockKind::OB: return "OB";
    case BlockKind::FC: return "FC";
    case BlockKind::FB: return "FB";
    case BlockKind::DB: return "DB";
    case BlockKind::UDT: return "UDT";
    case BlockKind::SFB: return "SFB";
    case BlockKind::SFC: return "SFC";
  }
  return "";
}

namespace compiler {

bool Compiler::Run(Program& out) {
  Program p;
  units_.resize(files_.size());
  for (file_ = 0; file_ < files_.size(); ++file_) {
    FileUnit& fu = units_[file_];
    fu.toks.reserve(files_[file_].text.size() / 3 + 16);
    Tokenize(files_[file_].text, fu.toks);
    ParseFile(fu);
    DetectLanguage(fu);
  }
  AddBuiltins();
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid) index_.emplace(std::make_pair(b.kind, b.number), &b);
  for (Block& b : builtins_) index_.emplace(std::make_pair(b.kind, b.number), &b);
  indexed_ = true;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks)
      if (b.valid) ResolveBlock(b);
  for (Block& b : builtins_) ResolveBlock(b);
  ResolveCalls();

  // memory: the local stack (every block's frame), a scratch area, then the data blocks
  uint32_t stack = mem::kLocalSize;
  int maxDb = 0;
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks) {
      if (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB)
        stack = std::max(stack, b.frameBase + std::max(b.frameBytes, mem::kLocalSize));
      if (b.kind == BlockKind::DB && b.valid) maxDb = std::max(maxDb, b.number);
    }
  file_ = 0;
  if (stack > mem::kMaxLocalStack && !files_.empty())
    Error(1, 1, Tr(QT_TRANSLATE_NOOP("softplc", "the blocks need more than %1 bytes of local data along one chain of calls"), std::to_string(mem::kMaxLocalStack)));
  p.localStack = stack;
  scratch_ = mem::kLocalBase + stack;
  uint32_t pos = scratch_ + 16;
  p.dbIndex.assign(static_cast<size_t>(maxDb) + 1, -1);
  for (FileUnit& fu : units_)
    for (Block& b : fu.blocks) {
      if (b.kind != BlockKind::DB || !b.valid || !b.dbType) continue;
      DataBlockInfo d;
      d.number = b.number;
      d.base = (pos + 7) / 8 * 8;
      d.length = static_cast<uint32_t>(b.initial.size());
      d.initial = b.initial;
      d.layout = LayoutText(*b.dbType);
      pos = d.base + d.length;
      p.dbIndex[static_cast<size_t>(b.number)] = static_cast<int32_t>(p.dbs.size());
      p.dbs.push_back(std::move(d));
    }
  if (pos - scratch_ > mem::kMaxDataBytes) {
    file_ = 0;
    Error(1, 1, Tr(QT_TRANSLATE_NOOP("softplc", "the data blocks need more than %1 bytes"), std::to_string(mem::kMaxDataBytes)));
  }
  p.flatSize = pos;

  // a block whose header failed has been reported; its statements would only repeat that
  for (file_ = 0; file_ < files_.size(); ++file_)
    for (Block& b : units_[file_].blocks)
      if (b.valid &&
          (b.kind == BlockKind::OB || b.kind == BlockKind::FC || b.kind == BlockKind::FB))
        Translate(units_[file_], b, p);
  // constant ANY pointers follow the data blocks
  p.poolBase = (p.flatSize + 7) / 8 * 8;
  for (size_t k : poolCopies_) p.copies[k].caller += p.poolBase;
  if (!p.pool.empty()) p.flatSize = p.poolBase + static_cast<uint32_t>(p.pool.size());
  for (size_t k = 0; k < p.calls.size(); ++k) {
    p.calls[k].block = callTargets_[k]->programIndex;
    if (p.calls[k].native == Native::None && p.calls[k].block < p.blocks.size())
      p.calls[k].entry = p.blocks[p.calls[k].block].entry;
  }
  file_ = 0;
  if (result_.errors.empty() && p.ob1 < 0) {
    if (files_.empty())
      result_.errors.push_back(MakeMessage("", 0, 0, Tr(QT_TRANSLATE_NOOP("softplc", "no source file was given"))));
    else
      Error(1, 1, Tr(QT_TRANSLATE_NOOP("softplc", "the program has no OB 1 (no statements were found)")));
  }
  SortMessages();
  if (!result_.errors.empty()) return false;
  for (const SourceFile& f : files_) {
    p.fileNames.push_back(f.name);
    p.fileTexts.push_back(f.text);
  }
  Fuse(p);
  out = std::move(p);
  return true;
}

}  // namespace compiler

bool Compile(const std::vector<SourceFile>& files, const SymbolTable& symbols, Mnemonics m,
             Program& out, LoadResult& result) {
  // Sources written on Windows come as Windows-1252; inside, everything is UTF-8.
  std::vector<SourceFile> utf8;
  utf8.reserve(files.size());
  for (const SourceFile& f : files) utf8.push_back({f.name, ToUtf8(f.text)});
  compiler::Compiler c(utf8, symbols, m, result);
  return c.Run(out);
}

}  // namespace softplc
