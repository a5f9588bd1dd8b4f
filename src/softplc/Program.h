// The compiled form of a program: pre-decoded 8-byte instructions, a side table for the rare
// memory-indirect operands and a map from every instruction back to its source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "softplc/InstructionTable.h"

namespace softplc {

// All addressable bytes live in one flat array so that a bit or byte operand is a plain offset.
namespace mem {
constexpr uint32_t kInputBase = 0;
constexpr uint32_t kInputSize = 1024;
constexpr uint32_t kOutputBase = kInputBase + kInputSize;
constexpr uint32_t kOutputSize = 1024;
constexpr uint32_t kMarkerBase = kOutputBase + kOutputSize;
constexpr uint32_t kMarkerSize = 4096;
constexpr uint32_t kLocalBase = kMarkerBase + kMarkerSize;
constexpr uint32_t kLocalSize = 256;  // addressable by one block; the stack itself is larger
constexpr uint32_t kFlatSize = kLocalBase + kLocalSize;
// The local stack: every block gets a fixed frame inside it (calls cannot recurse, so the
// deepest chain of frames is known when the program loads). Data blocks follow it.
constexpr uint32_t kMaxLocalStack = 64 * 1024;
constexpr uint32_t kMaxDataBytes = 1024 * 1024;
}  // namespace mem

enum class Area : uint8_t { Input, Output, Marker, Local, PeriphIn, PeriphOut, DB, DI };

constexpr uint32_t AreaBase(Area a) {
  switch (a) {
    case Area::Input:
    case Area::PeriphIn: return mem::kInputBase;
    case Area::Output:
    case Area::PeriphOut: return mem::kOutputBase;
    case Area::Marker: return mem::kMarkerBase;
    case Area::Local: return mem::kLocalBase;
    case Area::DB:
    case Area::DI: return 0;  // relative to the open data block
  }
  return 0;
}
constexpr uint32_t AreaSize(Area a) {
  switch (a) {
    case Area::Input:
    case Area::PeriphIn: return mem::kInputSize;
    case Area::Output:
    case Area::PeriphOut: return mem::kOutputSize;
    case Area::Marker: return mem::kMarkerSize;
    case Area::Local: return mem::kLocalSize;
    case Area::DB:
    case Area::DI: return 65536;
  }
  return 0;
}

// Status-word conditions usable as bit operands.
enum class Cond : uint8_t { OV, OS, BR, EQ0, NE0, GT0, LT0, GE0, LE0, UO };

// Pre-decoded instruction. Meaning of a/b/arg by operand:
//  bit          arg = flat byte offset, a = bit number, b = operation (BitSubOf)
//  byte/word/dw arg = flat byte offset
//  timer/counter arg = number
//  constant     arg = value (32 bits)
//  count        a = count
//  jump         arg = target instruction index (SPL: a = number of list entries)
//  condition    a = Cond
//  INDIRECT     arg = index into Program::indirect
struct Insn {
  Opcode op;
  uint8_t a;
  uint8_t b;
  uint32_t arg;
};
static_assert(sizeof(Insn) == 8, "instructions stay compact");

// An operand whose address is taken at run time from a memory word or double word.
struct IndirectRef {
  Opcode op;           // the instruction it stands for
  Area area;           // area addressed (bit, byte, word, double word)
  uint8_t size;        // 0 bit, 1 byte, 2 word, 4 double word, 8 timer, 9 counter,
                       // 10 the number of a data block to open (OPN; lowered.a 1 for DI)
  uint8_t pointerSize; // 2 (word: timer/counter number) or 4 (double word: area pointer)
  uint32_t pointerOffset;  // flat offset of the pointer
  // How the address is formed: 0 memory-indirect (pointer in memory), 1 relative to the open
  // DB or DI (pointerOffset = byte offset, bit in `bit`), 2 register-indirect area-internal,
  // 3 register-indirect area-crossing (AR number in `reg`, displacement in pointerOffset as
  // byte << 3 | bit).
  uint8_t mode = 0;
  uint8_t reg = 0;
  uint8_t bit = 0;
  uint32_t localBase = 0;  // the block's frame, for L addresses formed at run time
  // where the pointer itself lies: 0 flat (M, L), 1 in the open DB, 2 in the open DI
  // (pointerOffset then counts from the block's start)
  uint8_t pointerIn = 0;
  Insn lowered{};          // the instruction as the VM runs it, address still to fill in
};

// One parameter copied at a call. The callee side is always a fixed flat offset (the frame of
// an FC, the instance DB of an FB); the caller side may be relative to the caller's open DB
// or DI, or a constant.
struct ParamCopy {
  enum Mode : uint8_t { Abs, RelDb, RelDi, Const };
  uint8_t mode = Abs;   // of the caller's side
  uint8_t size = 0;     // 0 bit, else bytes (up to 255 copied as a block)
  uint8_t callerBit = 0;
  uint8_t calleeBit = 0;
  uint32_t caller = 0;  // flat offset, DB-relative offset or constant value
  uint32_t callee = 0;  // flat offset
  uint32_t length = 0;  // bytes for block copies (size 255)
};

// Built-in system blocks run natively.
enum class Native : uint8_t { None, TP, TON, TOF, CTU, CTD, CTUD, BLKMOV, FILL, STP, TIME_TCK };

struct CallSite {
  uint32_t block = 0;       // index into Program::blocks
  uint32_t entry = 0;
  Native native = Native::None;
  bool setsDi = false;      // an FB call opens its instance DB as DI
  // A multiple instance: diBase is an offset into the caller's instance (DI at the call), and
  // so are the callee sides of the parameter copies.
  bool relDi = false;
  uint16_t diNumber = 0;
  uint32_t diBase = 0, diLength = 0;
  uint32_t firstIn = 0, inCount = 0;    // into Program::copies
  uint32_t firstOut = 0, outCount = 0;
  // natives with block parameters (BLKMOV, FILL): source and destination ranges
  uint32_t srcBase = 0, srcLength = 0, dstBase = 0, dstLength = 0;
  // ... or, when the caller passes on an ANY of its own, where that 10-byte pointer lies
  // (kNoRet when the range is fixed); the mode is ParamCopy::Abs or ParamCopy::RelDi
  uint32_t srcAny = 0xFFFFFFFFu, dstAny = 0xFFFFFFFFu;
  uint8_t srcAnyMode = 0, dstAnyMode = 0;
  uint32_t retVal = 0;      // flat offset of RET_VAL / the result, kNoRet when unused
  uint8_t retMode = 0;      // ParamCopy::Mode of retVal
};
constexpr uint32_t kNoRet = 0xFFFFFFFFu;

struct SourceRef {
  uint32_t file = 0;
  uint32_t line = 0;
  uint32_t column = 0;
  uint32_t network = 0;
  uint32_t textOffset = 0;  // statement text inside the file's source
  uint32_t textLength = 0;
  uint32_t block = 0;       // index into Program::blocks
};

enum class BlockKind : uint8_t { OB, FC, FB, DB, UDT, SFB, SFC };
const char* BlockKindName(BlockKind k);

struct BlockInfo {
  BlockKind kind = BlockKind::OB;
  int number = 1;
  uint32_t entry = 0;    // first instruction
  uint32_t localBytes = 0;
  uint32_t frameBase = 0;  // offset of its local data inside the local stack
};

struct DataBlockInfo {
  int number = 0;
  uint32_t base = 0;     // flat offset
  uint32_t length = 0;
  std::vector<uint8_t> initial;  // contents after loading and after a memory reset
  // Members with their types and offsets: two loads with the same text address the same
  // values, so a download may carry the current values over.
  std::string layout;
};

// An ANY pointer as STEP 7 lays it out: 16#10, data type, repetition count, DB number, area
// pointer (area code in the top byte, byte << 3 | bit below). A range of the caller's local
// data has area code 16#87 and its address counts from the start of the local stack.
namespace any {
constexpr uint32_t kSize = 10;
constexpr uint8_t kPreviousLocal = 0x87;
// bytes per element of a data type code (BYTE 2, CHAR 3, WORD 4, INT 5, DWORD 6, DINT 7,
// REAL 8), 0 for codes a range cannot be made of
constexpr uint32_t UnitOf(uint8_t type) {
  return type == 2 || type == 3 ? 1 : type == 4 || type == 5 ? 2 : type >= 6 && type <= 8 ? 4 : 0;
}
}  // namespace any

// A chain of one to six bit checks (U UN O ON X XN on memory bits) that starts a new logic
// operation and ends in `=`, `S` or `R`, taken in one step: the RLO it leaves is a function of
// the scanned bits alone, kept as a truth table indexed by them (check k in bit k).
struct BitRun {
  uint64_t truth = 0;
  uint32_t at[6] = {};   // flat byte offsets of the checks; unused places repeat the first
  uint8_t bit[6] = {};
  uint8_t sub = 0;       // the closing operation (as Insn::b of a bit instruction)
  uint8_t endBit = 0;
  uint32_t end = 0;      // flat byte offset of the bit it writes
};
constexpr int kBitRunChecks = 6;

struct Program {
  std::vector<Insn> code;
  // `code` with the first instruction of every fused run replaced by its BIT_RUN (a = the
  // instructions it stands for, arg = index into bitRuns), and the first of two loads in a row
  // marked L_L (operands unchanged); the rest stays, so a jump into a run or between the two
  // loads runs the plain instructions. Empty when nothing was fused. The reference interpreter
  // and an observer that wants a call per statement run `code`.
  std::vector<Insn> fast;
  std::vector<BitRun> bitRuns;
  // per run, kBitRunChecks truth tables: the RLO after each check (for the program status)
  std::vector<uint64_t> bitRunSteps;
  std::vector<IndirectRef> indirect;
  // `=`, `S`, `R` and `T` in a block that switches MCR dependency on, as they run when the
  // MCR is energized (MCR_DEP's arg indexes this list)
  std::vector<Insn> mcrDependent;
  std::vector<SourceRef> map;  // parallel to code
  std::vector<std::string> fileNames;
  std::vector<std::string> fileTexts;
  std::vector<BlockInfo> blocks;
  std::vector<ParamCopy> copies;
  std::vector<CallSite> calls;
  std::vector<DataBlockInfo> dbs;  // by number through dbIndex
  std::vector<int32_t> dbIndex;    // DB number -> index into dbs, -1 when absent
  // ANY pointers written as constants at calls of the user's blocks, in memory after the
  // data blocks where only parameter copies reach them
  uint32_t poolBase = 0;
  std::vector<uint8_t> pool;
  uint32_t localStack = mem::kLocalSize;  // bytes of local stack
  uint32_t flatSize = mem::kFlatSize;     // whole memory: I, Q, M, local stack, DBs
  int ob1 = -1;    // index into blocks
  int ob100 = -1;
  int ob35 = -1;
};

// Builds Program::fast and bitRuns from the finished code (see BitRun).
void Fuse(Program& p);

}  // namespace softplc
