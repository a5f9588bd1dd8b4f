// The embedded S7-300-style CPU: the one surface through which the rest of Torvane reaches it.
// Standard library only. Nothing here throws; bad programs and bad addresses are reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace softplc {

enum class CpuMode { Stop, Run, RunP, MRes };  // texts "STOP", "RUN", "RUN_P", "MRES"
const char* ModeName(CpuMode);

enum class Mnemonics { Auto, German, English };

struct SourceFile {
  std::string name;  // used in messages
  std::string text;
};

// `text` is in English. A program with translations shows `format` (an English template with
// %1..%9, empty when the text has none) translated and filled with `args`, each of which may
// be a message of its own (see Text.h).
struct Message {
  std::string file;
  int line = 0;
  int column = 0;
  std::string text;
  std::string format{};
  std::vector<std::string> args{};
};

// A message whose text may have been made by Tr (Text.h): the text becomes English, the template
// and arguments are kept.
Message MakeMessage(std::string file, int line, int column, const std::string& text);

struct LoadResult {
  bool ok = false;
  std::vector<Message> errors;
  std::vector<Message> warnings;
};

// Symbol name -> address text in either language, e.g. "SUBIR" -> "E124.1" or "MW 10".
using SymbolTable = std::map<std::string, std::string>;

// A symbol table file as exported by the programming tool: .sdf, .seq or .asc (the format is
// taken from the name's extension, else from the content).
struct SymbolFile {
  std::string name;  // used in messages
  std::string text;
};

struct DiagEntry {
  uint64_t cycle = 0;
  std::string text;
  std::string block;  // "OB 1", "OB 100"; empty for mode changes
  int network = 0;
  std::string file;
  int line = 0;
  int column = 0;
  std::string instruction;  // the statement as written, when the entry concerns one
  std::string format{};      // `text` as template and arguments, as in Message
  std::vector<std::string> args{};
};

struct ProgramInfo {
  std::vector<std::string> files;
  std::vector<std::string> blocks;
  size_t instructions = 0;
  size_t bytecodeBytes = 0;
};

// One executed statement, for a program-status view. Delivered only while an observer is set.
struct StatusRecord {
  uint32_t instruction = 0;  // index into the program, see Cpu::Where()
  bool rlo = false;
  bool sta = false;
  uint16_t statusWord = 0;
  uint32_t accu1 = 0;
  uint32_t accu2 = 0;
  // The value of the addressed bit, timer or counter after the statement (the bit's state,
  // the timer's remaining time in ms, the counter's value); absent for other statements.
  bool hasOperand = false;
  uint32_t operand = 0;
  // The call environment: the CALL that entered the running block (kNoCaller in an OB) and
  // the number of the data block open as DI (0 when none).
  uint32_t caller = 0xFFFFFFFFu;
  uint16_t instanceDb = 0;
  static constexpr uint32_t kNoCaller = 0xFFFFFFFFu;
};

// What a status slot keeps of one statement: its registers after the statement as it ran
// first in a scan (or first in the call the observer prefers).
struct StatusSlot {
  uint32_t scan = 0;  // StatusObserver::statusScan when written; other values mean "not this scan"
  uint32_t caller = StatusRecord::kNoCaller;
  uint32_t accu1 = 0;
  uint32_t accu2 = 0;
  uint32_t operand = 0;
  uint16_t statusWord = 0;
  uint16_t instanceDb = 0;
  bool hasOperand = false;
};

class StatusObserver {
 public:
  virtual ~StatusObserver() = default;
  virtual void OnStatement(const StatusRecord& record) = 0;
  // Called before the organization blocks of each scan run.
  virtual void OnScanStart() {}
  // Called at every block call while observed (slots or not), before the callee runs.
  virtual void OnCall(uint32_t caller, uint32_t calleeEntry, uint16_t instanceDb) {
    (void)caller, (void)calleeEntry, (void)instanceDb;
  }

  // The fast way to watch: with `statusSlots` set (one per instruction of the program), the CPU
  // writes each statement's slot itself instead of calling OnStatement - once per scan, unless
  // a later run is inside the call `preferCaller` and the slot's is not.
  StatusSlot* statusSlots = nullptr;
  size_t statusSlotCount = 0;
  uint32_t statusScan = 1;
  uint32_t preferCaller = StatusRecord::kNoCaller;
};

// Where an instruction of the loaded program came from.
struct InstructionPlace {
  std::string file;
  int line = 0;
  int column = 0;
  std::string block;
  int network = 0;
  std::string text;
};

// Byte areas reachable from outside the program, by a variable table or a scenario.
enum class ByteArea : uint8_t { Input, Output, Memory, DataBlock };

// One forced byte: the bits in `mask` are held at the matching bits of `value`.
struct ForcedByte {
  ByteArea area = ByteArea::Input;
  int byte = 0;
  uint8_t mask = 0;
  uint8_t value = 0;
};

// A timer as a timers view shows it.
struct TimerInfo {
  uint16_t units = 0;  // remaining time in units of the time base
  int baseMs = 10;     // 10, 100, 1000 or 10000
  bool running = false;
  bool q = false;
};

class CpuCore;

// The symbol tables exported beside these sources with the same base name (.sdf, .seq, .asc),
// each once, in the order of the sources.
std::vector<std::string> SymbolTablesBeside(const std::vector<std::string>& sources);

class Cpu {
 public:
  Cpu();
  ~Cpu();
  Cpu(const Cpu&) = delete;
  Cpu& operator=(const Cpu&) = delete;

  // Compiles; on success replaces the running program (the CPU keeps its mode; a new program
  // in RUN starts with a warm restart). On failure the old program stays, all errors returned.
  LoadResult Load(const std::vector<SourceFile>& files, const SymbolTable& symbols = {},
                  Mnemonics m = Mnemonics::Auto);
  LoadResult LoadFile(const std::string& path, const SymbolTable& symbols = {},
                      Mnemonics m = Mnemonics::Auto);  // reads the file, never writes it
  // The same, with symbol table files added to `symbols` (the host's own names, which are
  // always there). A name defined twice with different addresses is an error.
  LoadResult LoadWithSymbols(const std::vector<SourceFile>& files,
                             const std::vector<SymbolFile>& symbolFiles, const SymbolTable& symbols,
                             Mnemonics m = Mnemonics::Auto);
  // Reads the source and the given symbol files. LoadFile(path, ...) above also picks up a
  // symbol table beside the source with the same base name (.sdf, .seq or .asc).
  LoadResult LoadFileWithSymbols(const std::string& path,
                                 const std::vector<std::string>& symbolPaths,
                                 const SymbolTable& symbols, Mnemonics m = Mnemonics::Auto);
  // Several source files compiled together (blocks may call across files) with the given
  // symbol files; with none given, a table beside any of the sources is picked up as above.
  LoadResult LoadFiles(const std::vector<std::string>& paths,
                       const std::vector<std::string>& symbolPaths, const SymbolTable& symbols,
                       Mnemonics m = Mnemonics::Auto);
  // A download from the programming tool: compiles the sources and, only when they compile,
  // replaces the program between two scans without a restart. The CPU keeps its mode, the
  // process image, bit memory, timers and counters; a data block whose number and layout are
  // unchanged keeps its current values, others take their initial values. A diagnostics entry
  // and `summary` say what was replaced (`summary` as Shown() gives it, see Text.h). On
  // failure nothing changes.
  LoadResult Download(const std::vector<SourceFile>& files,
                      const std::vector<SymbolFile>& symbolFiles, const SymbolTable& symbols,
                      std::string* summary = nullptr, Mnemonics m = Mnemonics::Auto);
  bool HasProgram() const;
  const ProgramInfo& Info() const;

  CpuMode Mode() const;
  void SetMode(CpuMode m);  // STOP->RUN/RUN_P = warm restart (OB100), MRES clears all -> STOP
  // Runs one scan when in RUN/RUN_P (no-op otherwise), advancing timers by elapsedMs first.
  void RunCycle(uint32_t elapsedMs);

  uint8_t InputByte(int addr) const;
  void SetInputByte(int addr, uint8_t v);
  uint8_t OutputByte(int addr) const;
  void SetOutputByte(int addr, uint8_t v);
  uint8_t MemoryByte(int addr) const;
  void SetMemoryByte(int addr, uint8_t v);

  // Data blocks of the loaded program: a byte (-1 when the DB or the address does not exist),
  // writing one (false when it does not exist), the length in bytes (-1 when absent).
  int DataBlockByte(int db, int addr) const;
  bool SetDataBlockByte(int db, int addr, uint8_t v);
  int DataBlockLength(int db) const;
  // OB 35 runs once per period of plant time (default 100 ms; 0 disables it).
  void SetCyclicInterruptPeriod(uint32_t ms);

  const std::vector<DiagEntry>& Diagnostics() const;  // newest last; runtime stops + mode changes
  uint64_t CycleCount() const;
  uint64_t LastCycleInstructions() const;

  // Program status: costless while no observer is set. The observer is not owned.
  void SetStatusObserver(StatusObserver* observer);
  InstructionPlace Where(uint32_t instruction) const;

  // Registers and counters as the program left them at the end of the last cycle.
  uint16_t StatusWord() const;  // bit 0 /FC, 1 RLO, 2 STA, 3 OR, 4 OS, 5 OV, 6 CC0, 7 CC1, 8 BR
  uint32_t Accu1() const;
  uint32_t Accu2() const;
  uint16_t TimerValue(int number) const;  // remaining time in units of its time base
  bool TimerBit(int number) const;
  uint16_t CounterValue(int number) const;
  bool CounterBit(int number) const;

  TimerInfo Timer(int number) const;
  // Timers and counters the loaded program names directly, in ascending order.
  std::vector<int> TimersInUse() const;
  std::vector<int> CountersInUse() const;

  // Forcing: the masked bits of an input or output byte are held at the given value until they
  // are unforced. A forced input wins over whatever the plant writes; a forced output wins over
  // the program, and reading the output gives the forced value. Forces outlast STOP and RUN and
  // end with a memory reset or UnforceAll. False for any other area or an address out of range.
  bool Force(ByteArea area, int byte, uint8_t mask, uint8_t value);
  void Unforce(ByteArea area, int byte, uint8_t mask);
  void UnforceAll();
  bool HasForces() const;
  std::vector<ForcedByte> Forces() const;  // by area, then address
  uint8_t ForcedMask(ByteArea area, int byte) const;
  // Modify: the masked bits are written once, at the start of the next cycle (after the plant's
  // inputs, before the program), or at once while the CPU is not running. db is used only for
  // DataBlock. False when the address does not exist.
  bool Modify(ByteArea area, int db, int byte, uint8_t mask, uint8_t value);
  size_t PendingModifies() const;

  // Settings. The budget counts executed instructions per cycle (default 10,000,000); the
  // retentive range is MB0..MB(count-1) (default 16), kept across a warm restart.
  void SetInstructionBudget(uint64_t instructions);
  void SetRetentiveMemoryBytes(int count);
  // Runs every instruction on its own, not the fused steps (bit chains, pairs of loads), also
  // while watched: the reference the faster path is compared with. Off by default.
  void SetReferenceInterpreter(bool on);

  static constexpr int kInputBytes = 1024;
  static constexpr int kOutputBytes = 1024;
  static constexpr int kMemoryBytes = 4096;
  static constexpr int kTimers = 256;
  static constexpr int kCounters = 256;

 private:
  std::unique_ptr<CpuCore> core_;
};

}  // namespace softplc
