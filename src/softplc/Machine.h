// The execution engine: memory, accumulators, status word, timers, counters and the
// interpreter loop over pre-decoded instructions.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "softplc/Program.h"
#include "softplc/SoftPlc.h"

namespace softplc {

enum class Fault : uint8_t {
  None,
  CycleTime,       // instruction budget exhausted
  AreaLength,      // memory-indirect address outside its area
  BcdError,        // BTI/BTD, timer or counter value that is not BCD
  NestingOverflow, // more than seven open brackets at run time (jumps across brackets)
  NestingUnderflow,
  CallDepth,       // calls nested deeper than the block stack allows
  DbLength,        // address outside the open data block (or no data block open)
  NoDataBlock,     // a data block opened by a number that is not loaded
  StopRequested,   // SFC 46 STP
  McrOverflow,     // more than eight nested MCR(
  McrUnderflow,    // )MCR without MCR(
};

constexpr int kMaxMcrDepth = 8;

constexpr int kMaxCallDepth = 16;

const char* FaultText(Fault f);

// Operation index of a bit instruction on a memory bit (U UN O ON X XN = S R), kept in
// Insn::b so that one handler serves them all.
uint8_t BitSubOf(Opcode op);

// Turns an instruction as the table names it into the form the VM runs: families of
// instructions that differ only in a parameter share one handler, so that a random mix of
// them does not cost a mispredicted dispatch each.
void Lower(Insn& in);

// Turns a load of `size` bytes (1, 2, 4) from flat offset `arg`, or of the constant `arg`,
// into the one instruction form all loads share.
void EncodeLoad(Insn& in, uint8_t size, bool constant, uint32_t arg);

struct TimerState {
  int32_t remainingMs = 0;
  uint8_t base = 0;      // time base code 0..3 (10 ms, 100 ms, 1 s, 10 s)
  uint8_t kind = 0;      // opcode family that started it, see Machine.cpp
  bool running = false;
  bool q = false;
  bool edge = false;     // last RLO seen by the start instruction
  bool frEdge = false;   // last RLO seen by FR
};

struct CounterState {
  uint16_t value = 0;
  bool upEdge = false;
  bool downEdge = false;
  bool setEdge = false;
  bool frEdge = false;
};

// Status word bits, S7 numbering.
namespace stw {
constexpr uint16_t FC = 1u << 0, RLO = 1u << 1, STA = 1u << 2, OR = 1u << 3, OS = 1u << 4,
                   OV = 1u << 5, CC0 = 1u << 6, CC1 = 1u << 7, BR = 1u << 8;
}

class Machine {
 public:
  Machine();

  // Runs one block from `entry` until END or a block end. Returns Fault::None or the fault;
  // `faultAt` is then the instruction index. `executed` receives the instruction count.
  Fault Execute(const Program& p, uint32_t entry, StatusObserver* observer, uint32_t& faultAt,
                uint64_t& executed);

  void AdvanceTimers(uint32_t ms);
  void ClearTimersAndCounters();
  void ClearRegisters();

  uint16_t TimerUnits(int n) const;
  // Prepares the memory for a program: sizes it, puts every data block's initial values in.
  void Layout(const Program& p);
  void ResetDataBlocks(const Program& p);

  // Data block registers and address registers; cleared at the start of every OB.
  // An open data block: flat base in the low half, length in the high half. Kept in one word
  // so that saving and restoring it around a call is one move each.
  using DbReg = uint64_t;
  static constexpr DbReg MakeDbReg(uint32_t base, uint32_t length) {
    return uint64_t{length} << 32 | base;
  }
  static constexpr uint32_t DbBase(DbReg r) { return static_cast<uint32_t>(r); }
  static constexpr uint32_t DbLength(DbReg r) { return static_cast<uint32_t>(r >> 32); }
  DbReg db = 0, di = 0;
  uint32_t ar1 = 0, ar2 = 0;
  uint32_t nowMs = 0;  // plant time, for the IEC timers and TIME_TCK

  std::vector<uint8_t> memory = std::vector<uint8_t>(mem::kFlatSize + 8, 0);
  std::array<TimerState, 256> timers{};
  std::array<CounterState, 256> counters{};
  uint32_t accu1 = 0, accu2 = 0;
  uint16_t status = 0;
  uint64_t budget = 10000000;
  // Runs every instruction on its own, ignoring the fused runs: the reference the fused code is
  // compared with.
  bool reference = false;

  // Register file handed to out-of-line operations.
  struct Nest {
    uint8_t logic, br, sub;
  };

 private:
  template <bool kTrace>
  Fault Run(const Program& p, uint32_t entry, StatusObserver* observer, uint32_t& faultAt,
            uint64_t& executed);

  // Timer and counter instructions, out of line; they read the RLO and ACCU 1.
  Fault TimerOp(Opcode op, uint32_t n, bool rlo, uint32_t accu1);
  Fault CounterOp(Opcode op, uint32_t n, bool rlo, uint32_t accu1);

  // One executed statement for the program status: the registers, the addressed bit, timer or
  // counter, and the call it runs in.
  void Report(const Program& p, StatusObserver* observer, uint32_t at, const Insn& in,
              uint16_t statusWord, uint32_t a1, uint32_t a2, int calls) const;
  void DescribeOperand(const Insn& in, StatusRecord& rec) const;

  template <bool in>
  bool CopyParams(const ParamCopy* c, uint32_t n, uint32_t calleeBase);
  Fault RunNative(const Program& p, const CallSite& cs, uint32_t calleeBase);
  // The flat range an ANY pointer at flat offset `at` names; false when it is malformed or
  // lies outside its area.
  bool AnyRange(const Program& p, uint32_t at, uint32_t& base, uint32_t& length) const;

  struct Frame {
    const Insn* ret;
    DbReg db, di;
    uint32_t site;
    bool mcrDependent;  // the caller's MCRA state, off in the called block until its MCRA
  };
  // The flat address and lowered form of a memory-indirect operand.
  Fault Resolve(const Program& p, const IndirectRef& ref, Insn& out) const;
  static uint32_t DbNumber(const Program& p, DbReg r);
  std::array<Frame, kMaxCallDepth> frames_{};
  std::array<Nest, 8> nest_{};
  std::array<uint64_t, 4> running_{};  // one bit per running timer
};

}  // namespace softplc
