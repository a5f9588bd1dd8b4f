#include "softplc/SoftPlc.h"
#include "softplc/Text.h"

#include <algorithm>

#include "softplc/Compiler.h"
#include "softplc/InstructionTable.h"
#include "softplc/Machine.h"
#include "softplc/SymbolFile.h"
#include "softplc/TextFile.h"

namespace softplc {

const char* ModeName(CpuMode m) {
  switch (m) {
    case CpuMode::Stop: return "STOP";
    case CpuMode::Run: return "RUN";
    case CpuMode::RunP: return "RUN_P";
    case CpuMode::MRes: return "MRES";
  }
  return "STOP";
}

namespace {
constexpr size_t kDiagCapacity = 100;  // like a CPU's diagnostic buffer, oldest entries go
}

class CpuCore {
 public:
  CpuMode mode = CpuMode::Stop;
  std::unique_ptr<Program> program;
  ProgramInfo info;
  Machine vm;
  std::vector<DiagEntry> diag;
  uint64_t cycles = 0;
  uint64_t lastInstructions = 0;
  StatusObserver* observer = nullptr;
  uint32_t retentiveBytes = 16;
  bool firstScan = true;
  uint32_t lastElapsed = 0;
  uint32_t ob35Elapsed = 0;   // plant time since the cyclic interrupt last ran
  uint32_t ob35Period = 100;
  // Force masks and values per input and output byte; forcedBytes counts bytes with a mask.
  std::vector<uint8_t> forceMask = std::vector<uint8_t>(mem::kInputSize + mem::kOutputSize, 0);
  std::vector<uint8_t> forceValue = std::vector<uint8_t>(mem::kInputSize + mem::kOutputSize, 0);
  size_t forcedBytes = 0;
  struct PendingWrite {
    uint32_t at;  // flat memory address
    uint8_t mask;
    uint8_t value;
  };
  std::vector<PendingWrite> pending;

  // Input and output bytes lie side by side from mem::kInputBase, so one index serves both the
  // memory and the force tables.
  void ApplyForces(uint32_t from, uint32_t count) {
    if (forcedBytes == 0) return;
    for (uint32_t i = from; i < from + count; ++i)
      if (forceMask[i] != 0)
        vm.memory[mem::kInputBase + i] = static_cast<uint8_t>(
            (vm.memory[mem::kInputBase + i] & ~forceMask[i]) | (forceValue[i] & forceMask[i]));
  }
  void ApplyInputForces() { ApplyForces(0, mem::kInputSize); }
  void ApplyOutputForces() { ApplyForces(mem::kInputSize, mem::kOutputSize); }
  void ApplyPending() {
    for (const PendingWrite& w : pending)
      vm.memory[w.at] = static_cast<uint8_t>((vm.memory[w.at] & ~w.mask) | (w.value & w.mask));
    pending.clear();
  }

  void AddDiag(std::string text) {
    DiagEntry e;
    e.cycle = cycles;
    e.text = std::move(text);
    PushDiag(std::move(e));
  }
  void PushDiag(DiagEntry e) {
    Settle(e.text, e.format, e.args);
    if (diag.size() >= kDiagCapacity) diag.erase(diag.begin());
    diag.push_back(std::move(e));
  }

  InstructionPlace Place(uint32_t i) const {
    InstructionPlace r;
    if (!program || i >= program->map.size()) return r;
    const SourceRef& s = program->map[i];
    r.file = program->fileNames[s.file];
    r.line = static_cast<int>(s.line);
    r.column = static_cast<int>(s.column);
    const BlockInfo& bi = program->blocks[s.block];
    r.block = std::string(BlockKindName(bi.kind)) + " " + std::to_string(bi.number);
    r.network = static_cast<int>(s.network);
    const std::string& text = program->fileTexts[s.file];
    if (s.textOffset + s.textLength <= text.size())
      r.text = text.substr(s.textOffset, s.textLength);
    return r;
  }

  void EnterStop(Fault f, uint32_t at) {
    InstructionPlace where = Place(at);
    DiagEntry e;
    e.cycle = cycles;
    e.text = Tr(QT_TRANSLATE_NOOP("softplc", "%1; CPU in STOP"), Tr(FaultText(f)));
    e.block = where.block;
    e.network = where.network;
    e.file = where.file;
    e.line = where.line;
    e.column = where.column;
    e.instruction = where.text;
    PushDiag(std::move(e));
    mode = CpuMode::Stop;
    ClearOutputs();
  }

  void ClearOutputs() {
    std::fill_n(vm.memory.begin() + mem::kOutputBase, mem::kOutputSize, uint8_t{0});
    ApplyOutputForces();
  }

  // Runs one organization block. Returns false when the CPU went to STOP.
  bool RunBlock(int blockIndex) {
    const BlockInfo& b = program->blocks[static_cast<size_t>(blockIndex)];
    // Local data starts cleared, with the block's start information in its first bytes.
    uint8_t* local = vm.memory.data() + mem::kLocalBase;
    std::fill_n(local, std::max<uint32_t>(b.localBytes, 20), uint8_t{0});
    if (b.number == 35) {
      local[0] = 0x11;
      local[1] = 0x36;
      local[2] = 12;
      local[3] = 35;
    } else if (b.number == 1) {
      local[0] = 0x11;
      local[1] = firstScan ? 0x01 : 0x03;
      local[2] = 1;
      local[3] = 1;
      uint32_t prev = std::min<uint32_t>(lastElapsed, 32767);
      local[6] = static_cast<uint8_t>(prev >> 8);
      local[7] = static_cast<uint8_t>(prev);
    } else {
      local[0] = 0x13;
      local[1] = 0x81;
      local[2] = 27;
      local[3] = 100;
    }
    vm.ClearRegisters();
    uint32_t at = 0;
    uint64_t executed = 0;
    Fault f = vm.Execute(*program, b.entry, observer, at, executed);
    lastInstructions += executed;
    if (f != Fault::None) {
      EnterStop(f, at);
      return false;
    }
    return true;
  }

  void WarmRestart() {
    ClearOutputs();
    vm.ClearTimersAndCounters();
    vm.ClearRegisters();
    std::fill(vm.memory.begin() + mem::kMarkerBase + retentiveBytes,
              vm.memory.begin() + mem::kMarkerBase + mem::kMarkerSize, uint8_t{0});
    if (program)
      std::fill_n(vm.memory.begin() + mem::kLocalBase, program->localStack, uint8_t{0});
    firstScan = true;
    ob35Elapsed = 0;
    lastElapsed = 0;
    if (program && program->ob100 >= 0) RunBlock(program->ob100);
  }
};

Cpu::Cpu() : core_(std::make_unique<CpuCore>()) {}
Cpu::~Cpu() = default;

namespace {
ProgramInfo InfoOf(const Program& p) {
  ProgramInfo info;
  info.files = p.fileNames;
  for (const BlockInfo& b : p.blocks)
    info.blocks.push_back(std::string(BlockKindName(b.kind)) + " " + std::to_string(b.number));
  for (const DataBlockInfo& d : p.dbs) info.blocks.push_back("DB " + std::to_string(d.number));
  info.instructions = p.code.size();
  info.bytecodeBytes = p.code.size() * sizeof(Insn) + p.indirect.size() * sizeof(IndirectRef) +
                       p.copies.size() * sizeof(ParamCopy) + p.calls.size() * sizeof(CallSite);
  return info;
}

}  // namespace

Message MakeMessage(std::string file, int line, int column, const std::string& text) {
  Message m{std::move(file), line, column, text};
  Settle(m.text, m.format, m.args);
  return m;
}

namespace {

std::string BlockName(BlockKind kind, int number) {
  return std::string(BlockKindName(kind)) + " " + std::to_string(number);
}

// `what` is a template whose %1 takes the list of names.
void AppendList(std::string& s, const char* what, const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i ? ", " : "") + names[i];
  const std::string part = Tr(what, list);
  s = s.empty() ? part : Tr("%1; %2", s, part);
}
}  // namespace

LoadResult Cpu::Load(const std::vector<SourceFile>& files, const SymbolTable& symbols,
                     Mnemonics m) {
  LoadResult r;
  auto p = std::make_unique<Program>();
  if (!Compile(files, symbols, m, *p, r)) return r;
  r.ok = true;
  CpuCore& c = *core_;
  ProgramInfo info = InfoOf(*p);
  c.vm.Layout(*p);
  c.pending.clear();  // addresses of the old program's data blocks mean nothing now
  c.program = std::move(p);
  c.info = std::move(info);
  c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "new program loaded")));
  if (c.mode == CpuMode::Run || c.mode == CpuMode::RunP) {
    c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "warm restart after loading")));
    c.WarmRestart();
  }
  return r;
}

LoadResult Cpu::Download(const std::vector<SourceFile>& files,
                         const std::vector<SymbolFile>& symbolFiles, const SymbolTable& symbols,
                         std::string* summary, Mnemonics m) {
  LoadResult r;
  SymbolTable all = symbols;
  std::map<std::string, std::string> origin;
  for (const SymbolFile& f : symbolFiles) ReadSymbolFile(f, all, origin, r.errors);
  if (!r.errors.empty()) return r;
  auto p = std::make_unique<Program>();
  if (!Compile(files, all, m, *p, r)) return r;
  r.ok = true;
  CpuCore& c = *core_;

  // What changes, in the words of the programming tool.
  std::vector<std::string> loaded, added, removed, kept, initialised;
  auto had = [&](BlockKind kind, int number) {
    if (!c.program) return false;
    for (const BlockInfo& b : c.program->blocks)
      if (b.kind == kind && b.number == number) return true;
    return false;
  };
  for (const BlockInfo& b : p->blocks) {
    loaded.push_back(BlockName(b.kind, b.number));
    if (!had(b.kind, b.number)) added.push_back(loaded.back());
  }
  if (c.program)
    for (const BlockInfo& b : c.program->blocks) {
      bool still = false;
      for (const BlockInfo& n : p->blocks) still = still || (n.kind == b.kind && n.number == b.number);
      if (!still) removed.push_back(BlockName(b.kind, b.number));
    }
  // Values of data blocks whose layout stays are carried over; the rest start afresh.
  std::vector<std::pair<const DataBlockInfo*, std::vector<uint8_t>>> carry;
  for (const DataBlockInfo& d : p->dbs) {
    const DataBlockInfo* old = nullptr;
    if (c.program && static_cast<size_t>(d.number) < c.program->dbIndex.size() &&
        c.program->dbIndex[static_cast<size_t>(d.number)] >= 0)
      old = &c.program->dbs[static_cast<size_t>(c.program->dbIndex[static_cast<size_t>(d.number)])];
    if (old != nullptr && old->layout == d.layout && old->length == d.length) {
      kept.push_back(BlockName(BlockKind::DB, d.number));
      carry.emplace_back(&d, std::vector<uint8_t>(c.vm.memory.begin() + old->base,
                                                  c.vm.memory.begin() + old->base + old->length));
    } else {
      initialised.push_back(BlockName(BlockKind::DB, d.number));
      if (old == nullptr) added.push_back(initialised.back());
    }
  }
  if (c.program)
    for (const DataBlockInfo& d : c.program->dbs)
      if (static_cast<size_t>(d.number) >= p->dbIndex.size() ||
          p->dbIndex[static_cast<size_t>(d.number)] < 0)
        removed.push_back(BlockName(BlockKind::DB, d.number));

  std::string text;
  AppendList(text, QT_TRANSLATE_NOOP("softplc", "loaded %1"), loaded);
  AppendList(text, QT_TRANSLATE_NOOP("softplc", "new: %1"), added);
  AppendList(text, QT_TRANSLATE_NOOP("softplc", "removed %1"), removed);
  AppendList(text, QT_TRANSLATE_NOOP("softplc", "values kept in %1"), kept);
  AppendList(text, QT_TRANSLATE_NOOP("softplc", "initial values in %1"), initialised);

  c.vm.Layout(*p);
  for (const auto& [d, bytes] : carry) std::copy(bytes.begin(), bytes.end(), c.vm.memory.begin() + d->base);
  c.info = InfoOf(*p);
  c.program = std::move(p);
  c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "download: %1"), text));
  if (summary != nullptr) *summary = Shown(text);
  return r;
}

namespace {
}  // namespace

LoadResult Cpu::LoadWithSymbols(const std::vector<SourceFile>& files, const std::vector<SymbolFile>& symbolFiles,
                     const SymbolTable& symbols, Mnemonics m) {
  SymbolTable all = symbols;
  std::map<std::string, std::string> origin;
  std::vector<Message> errors;
  for (const SymbolFile& f : symbolFiles) ReadSymbolFile(f, all, origin, errors);
  if (!errors.empty()) {
    LoadResult r;
    r.errors = std::move(errors);
    return r;
  }
  return Load(files, all, m);
}

namespace {

// A symbol table exported beside the source, with the same base name; empty when there is none.
std::string SymbolTableBeside(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  const std::string base = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                               ? path
                               : path.substr(0, dot);
  for (const char* ext : {".sdf", ".SDF", ".seq", ".SEQ", ".asc", ".ASC"})
    if (IsRegularFile(base + ext)) return base + ext;
  return {};
}

// Reads every named file into `into` as {name, text}; every one that cannot be read is
// reported, not just the first.
template <typename File>
void ReadAll(const std::vector<std::string>& names, const char* what, std::vector<File>& into,
             LoadResult& r) {
  for (const std::string& name : names) {
    std::string text, problem;
    if (ReadTextFile(name, text, problem))
      into.push_back({name, std::move(text)});
    else
      r.errors.push_back(MakeMessage(name, 0, 0, Tr(what, problem)));
  }
}

}  // namespace

std::vector<std::string> SymbolTablesBeside(const std::vector<std::string>& sources) {
  std::vector<std::string> tables;
  for (const std::string& path : sources) {
    std::string beside = SymbolTableBeside(path);
    if (!beside.empty() && std::find(tables.begin(), tables.end(), beside) == tables.end())
      tables.push_back(std::move(beside));
  }
  return tables;
}

LoadResult Cpu::LoadFiles(const std::vector<std::string>& paths,
                          const std::vector<std::string>& symbolPaths, const SymbolTable& symbols,
                          Mnemonics m) {
  LoadResult r;
  std::vector<std::string> tables = symbolPaths.empty() ? SymbolTablesBeside(paths) : symbolPaths;
  std::vector<SourceFile> sources;
  std::vector<SymbolFile> symbolFiles;
  ReadAll(paths, QT_TRANSLATE_NOOP("softplc", "cannot open the file: %1"), sources, r);
  ReadAll(tables, QT_TRANSLATE_NOOP("softplc", "cannot open the symbol table: %1"), symbolFiles, r);
  if (paths.empty()) r.errors.push_back(MakeMessage("", 0, 0, Tr(QT_TRANSLATE_NOOP("softplc", "no source file given"))));
  if (!r.errors.empty()) return r;
  return LoadWithSymbols(sources, symbolFiles, symbols, m);
}

LoadResult Cpu::LoadFileWithSymbols(const std::string& path, const std::vector<std::string>& symbolPaths,
                         const SymbolTable& symbols, Mnemonics m) {
  if (!symbolPaths.empty()) return LoadFiles({path}, symbolPaths, symbols, m);
  // an explicit empty list means no table, not the one beside the source
  LoadResult r;
  std::vector<SourceFile> sources;
  ReadAll({path}, QT_TRANSLATE_NOOP("softplc", "cannot open the file: %1"), sources, r);
  if (!r.errors.empty()) return r;
  return LoadWithSymbols(sources, {}, symbols, m);
}

LoadResult Cpu::LoadFile(const std::string& path, const SymbolTable& s, Mnemonics m) {
  return LoadFiles({path}, {}, s, m);
}

bool Cpu::HasProgram() const { return core_->program != nullptr; }
const ProgramInfo& Cpu::Info() const { return core_->info; }
CpuMode Cpu::Mode() const { return core_->mode; }

void Cpu::SetMode(CpuMode m) {
  CpuCore& c = *core_;
  const CpuMode old = c.mode;
  if (m == CpuMode::MRes) {
    // Memory reset: everything the program could have left behind goes; the program stays
    // loaded, as it would in a CPU's load memory.
    std::fill(c.vm.memory.begin(), c.vm.memory.end(), uint8_t{0});
    if (c.program) c.vm.ResetDataBlocks(*c.program);
    c.vm.ClearTimersAndCounters();
    c.vm.ClearRegisters();
    UnforceAll();
    c.pending.clear();
    c.mode = CpuMode::Stop;
    c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "mode change %1 -> MRES: memory reset, CPU in STOP"), ModeName(old)));
    return;
  }
  if (m == old) return;
  bool wasRunning = old == CpuMode::Run || old == CpuMode::RunP;
  bool running = m == CpuMode::Run || m == CpuMode::RunP;
  c.mode = m;
  if (!wasRunning && running) {
    c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "mode change %1 -> %2: warm restart"), ModeName(old), ModeName(m)));
    c.WarmRestart();
  } else {
    c.AddDiag(Tr(QT_TRANSLATE_NOOP("softplc", "mode change %1 -> %2"), ModeName(old), ModeName(m)));
    if (wasRunning && !running) c.ClearOutputs();
  }
}

void Cpu::RunCycle(uint32_t elapsedMs) {
  CpuCore& c = *core_;
  if (c.mode != CpuMode::Run && c.mode != CpuMode::RunP) return;
  // The cycle control point: modifications asked for since the last cycle, then the forces,
  // which win over both the plant and a modification.
  c.ApplyPending();
  c.ApplyInputForces();
  c.vm.AdvanceTimers(elapsedMs);
  c.lastElapsed = elapsedMs;
  c.lastInstructions = 0;
  ++c.cycles;
  if (c.observer != nullptr) c.observer->OnScanStart();
  if (!c.program || c.program->ob1 < 0) {
    c.lastInstructions = 0;
    return;
  }
  // The cyclic interrupt runs on plant time: once per elapsed period, before the main cycle.
  if (c.program->ob35 >= 0 && c.ob35Period > 0) {
    c.ob35Elapsed += elapsedMs;
    int runs = 0;
    while (c.ob35Elapsed >= c.ob35Period && runs < 100) {
      c.ob35Elapsed -= c.ob35Period;
      ++runs;
      if (!c.RunBlock(c.program->ob35)) return;
    }
    if (c.ob35Elapsed >= c.ob35Period) c.ob35Elapsed %= c.ob35Period;  // interrupts lost
  }
  if (c.RunBlock(c.program->ob1)) c.ApplyOutputForces();
  c.firstScan = false;
}

int Cpu::DataBlockByte(int db, int addr) const {
  const CpuCore& c = *core_;
  if (!c.program || db < 0 || static_cast<size_t>(db) >= c.program->dbIndex.size()) return -1;
  int32_t idx = c.program->dbIndex[static_cast<size_t>(db)];
  if (idx < 0) return -1;
  const DataBlockInfo& d = c.program->dbs[static_cast<size_t>(idx)];
  if (addr < 0 || static_cast<uint32_t>(addr) >= d.length) return -1;
  return c.vm.memory[d.base + static_cast<uint32_t>(addr)];
}

bool Cpu::SetDataBlockByte(int db, int addr, uint8_t v) {
  CpuCore& c = *core_;
  if (DataBlockByte(db, addr) < 0) return false;
  const DataBlockInfo& d = c.program->dbs[static_cast<size_t>(c.program->dbIndex[static_cast<size_t>(db)])];
  c.vm.memory[d.base + static_cast<uint32_t>(addr)] = v;
  return true;
}

int Cpu::DataBlockLength(int db) const {
  const CpuCore& c = *core_;
  if (!c.program || db < 0 || static_cast<size_t>(db) >= c.program->dbIndex.size()) return -1;
  int32_t idx = c.program->dbIndex[static_cast<size_t>(db)];
  return idx < 0 ? -1 : static_cast<int>(c.program->dbs[static_cast<size_t>(idx)].length);
}

void Cpu::SetCyclicInterruptPeriod(uint32_t ms) { core_->ob35Period = ms; }

uint8_t Cpu::InputByte(int a) const {
  return a >= 0 && a < kInputBytes ? core_->vm.memory[mem::kInputBase + size_t(a)] : 0;
}
void Cpu::SetInputByte(int a, uint8_t v) {
  if (a < 0 || a >= kInputBytes) return;
  const CpuCore& c = *core_;
  const size_t i = size_t(a);
  core_->vm.memory[mem::kInputBase + i] =
      static_cast<uint8_t>((v & ~c.forceMask[i]) | (c.forceValue[i] & c.forceMask[i]));
}
uint8_t Cpu::OutputByte(int a) const {
  return a >= 0 && a < kOutputBytes ? core_->vm.memory[mem::kOutputBase + size_t(a)] : 0;
}
void Cpu::SetOutputByte(int a, uint8_t v) {
  if (a < 0 || a >= kOutputBytes) return;
  const CpuCore& c = *core_;
  const size_t i = mem::kInputSize + size_t(a);
  core_->vm.memory[mem::kOutputBase + size_t(a)] =
      static_cast<uint8_t>((v & ~c.forceMask[i]) | (c.forceValue[i] & c.forceMask[i]));
}
uint8_t Cpu::MemoryByte(int a) const {
  return a >= 0 && a < kMemoryBytes ? core_->vm.memory[mem::kMarkerBase + size_t(a)] : 0;
}
void Cpu::SetMemoryByte(int a, uint8_t v) {
  if (a >= 0 && a < kMemoryBytes) core_->vm.memory[mem::kMarkerBase + size_t(a)] = v;
}
const std::vector<DiagEntry>& Cpu::Diagnostics() const { return core_->diag; }
uint64_t Cpu::CycleCount() const { return core_->cycles; }
uint64_t Cpu::LastCycleInstructions() const { return core_->lastInstructions; }
void Cpu::SetStatusObserver(StatusObserver* o) { core_->observer = o; }
InstructionPlace Cpu::Where(uint32_t i) const { return core_->Place(i); }
uint16_t Cpu::StatusWord() const { return core_->vm.status; }
uint32_t Cpu::Accu1() const { return core_->vm.accu1; }
uint32_t Cpu::Accu2() const { return core_->vm.accu2; }
uint16_t Cpu::TimerValue(int n) const {
  return n >= 0 && n < kTimers ? core_->vm.TimerUnits(n) : 0;
}
bool Cpu::TimerBit(int n) const {
  return n >= 0 && n < kTimers && core_->vm.timers[size_t(n)].q;
}
uint16_t Cpu::CounterValue(int n) const {
  return n >= 0 && n < kCounters ? core_->vm.counters[size_t(n)].value : 0;
}
bool Cpu::CounterBit(int n) const {
  return n >= 0 && n < kCounters && core_->vm.counters[size_t(n)].value != 0;
}
TimerInfo Cpu::Timer(int n) const {
  TimerInfo r;
  if (n < 0 || n >= kTimers) return r;
  static constexpr int kBases[] = {10, 100, 1000, 10000};
  const TimerState& t = core_->vm.timers[size_t(n)];
  r.units = core_->vm.TimerUnits(n);
  r.baseMs = kBases[t.base & 3u];
  r.running = t.running;
  r.q = t.q;
  return r;
}

namespace {
std::vector<int> NumbersOf(const Program* program, OperandKind kind) {
  std::vector<int> numbers;
  if (program == nullptr) return numbers;
  const std::vector<InstructionDef>& table = InstructionTable();
  std::vector<bool> seen(256, false);
  for (const Insn& in : program->code) {
    const auto op = static_cast<size_t>(in.op);
    if (op < table.size() && table[op].operand == kind && in.arg < seen.size()) seen[in.arg] = true;
  }
  for (size_t i = 0; i < seen.size(); ++i)
    if (seen[i]) numbers.push_back(static_cast<int>(i));
  return numbers;
}
}  // namespace

std::vector<int> Cpu::TimersInUse() const { return NumbersOf(core_->program.get(), OperandKind::Timer); }
std::vector<int> Cpu::CountersInUse() const {
  return NumbersOf(core_->program.get(), OperandKind::Counter);
}

namespace {
// Index of an input or output byte in the force tables; -1 for anything else.
int ForceIndex(ByteArea area, int byte) {
  if (byte < 0) return -1;
  if (area == ByteArea::Input && byte < Cpu::kInputBytes) return byte;
  if (area == ByteArea::Output && byte < Cpu::kOutputBytes) return int(mem::kInputSize) + byte;
  return -1;
}
}  // namespace

bool Cpu::Force(ByteArea area, int byte, uint8_t mask, uint8_t value) {
  const int i = ForceIndex(area, byte);
  if (i < 0) return false;
  CpuCore& c = *core_;
  const auto k = size_t(i);
  if (c.forceMask[k] == 0 && mask != 0) ++c.forcedBytes;
  c.forceMask[k] = static_cast<uint8_t>(c.forceMask[k] | mask);
  c.forceValue[k] = static_cast<uint8_t>((c.forceValue[k] & ~mask) | (value & mask));
  // Takes effect at once, so a view shows it before the next cycle.
  c.ApplyForces(uint32_t(k), 1);
  return true;
}

void Cpu::Unforce(ByteArea area, int byte, uint8_t mask) {
  const int i = ForceIndex(area, byte);
  if (i < 0) return;
  CpuCore& c = *core_;
  const auto k = size_t(i);
  if (c.forceMask[k] == 0) return;
  c.forceMask[k] = static_cast<uint8_t>(c.forceMask[k] & ~mask);
  if (c.forceMask[k] == 0) --c.forcedBytes;
}

void Cpu::UnforceAll() {
  CpuCore& c = *core_;
  std::fill(c.forceMask.begin(), c.forceMask.end(), uint8_t{0});
  c.forcedBytes = 0;
}

bool Cpu::HasForces() const { return core_->forcedBytes != 0; }

std::vector<ForcedByte> Cpu::Forces() const {
  std::vector<ForcedByte> r;
  const CpuCore& c = *core_;
  if (c.forcedBytes == 0) return r;
  for (size_t i = 0; i < c.forceMask.size(); ++i) {
    if (c.forceMask[i] == 0) continue;
    const bool input = i < mem::kInputSize;
    r.push_back({input ? ByteArea::Input : ByteArea::Output,
                 static_cast<int>(input ? i : i - mem::kInputSize), c.forceMask[i],
                 static_cast<uint8_t>(c.forceValue[i] & c.forceMask[i])});
  }
  return r;
}

uint8_t Cpu::ForcedMask(ByteArea area, int byte) const {
  const int i = ForceIndex(area, byte);
  return i < 0 ? 0 : core_->forceMask[size_t(i)];
}

bool Cpu::Modify(ByteArea area, int db, int byte, uint8_t mask, uint8_t value) {
  CpuCore& c = *core_;
  if (byte < 0) return false;
  uint32_t at = 0;
  switch (area) {
    case ByteArea::Input:
      if (byte >= kInputBytes) return false;
      at = mem::kInputBase + uint32_t(byte);
      break;
    case ByteArea::Output:
      if (byte >= kOutputBytes) return false;
      at = mem::kOutputBase + uint32_t(byte);
      break;
    case ByteArea::Memory:
      if (byte >= kMemoryBytes) return false;
      at = mem::kMarkerBase + uint32_t(byte);
      break;
    case ByteArea::DataBlock: {
      if (DataBlockByte(db, byte) < 0) return false;
      const DataBlockInfo& d = c.program->dbs[size_t(c.program->dbIndex[size_t(db)])];
      at = d.base + uint32_t(byte);
      break;
    }
  }
  c.pending.push_back({at, mask, value});
  if (c.mode != CpuMode::Run && c.mode != CpuMode::RunP) {
    c.ApplyPending();
    c.ApplyInputForces();
    c.ApplyOutputForces();
  }
  return true;
}

size_t Cpu::PendingModifies() const { return core_->pending.size(); }

void Cpu::SetInstructionBudget(uint64_t n) { core_->vm.budget = n == 0 ? 1 : n; }
void Cpu::SetReferenceInterpreter(bool on) { core_->vm.reference = on; }
void Cpu::SetRetentiveMemoryBytes(int count) {
  core_->retentiveBytes = static_cast<uint32_t>(std::clamp(count, 0, kMemoryBytes));
}

}  // namespace softplc
