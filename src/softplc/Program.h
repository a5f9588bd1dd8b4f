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
constexpr uint32_t kLocalSize = 256;
constexpr uint32_t kFlatSize = kLocalBase + kLocalSize;
}  // namespace mem

enum class Area : uint8_t { Input, Output, Marker, Local, PeriphIn, PeriphOut };

constexpr uint32_t AreaBase(Area a) {
  switch (a) {
    case Area::Input:
    case Area::PeriphIn: return mem::kInputBase;
    case Area::Output:
    case Area::PeriphOut: return mem::kOutputBase;
    case Area::Marker: return mem::kMarkerBase;
    case Area::Local: return mem::kLocalBase;
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
  uint8_t size;        // 0 bit, 1 byte, 2 word, 4 double word, 8 timer, 9 counter
  uint8_t pointerSize; // 2 (word: timer/counter number) or 4 (double word: area pointer)
  uint32_t pointerOffset;  // flat offset of the pointer
};

struct SourceRef {
  uint32_t file = 0;
  uint32_t line = 0;
  uint32_t column = 0;
  uint32_t network = 0;
  uint32_t textOffset = 0;  // statement text inside the file's source
  uint32_t textLength = 0;
  uint32_t block = 0;       // index into Program::blocks
};

struct BlockInfo {
  int number = 1;        // OB number
  uint32_t entry = 0;    // first instruction
  uint32_t localBytes = 0;
};

struct Program {
  std::vector<Insn> code;
  std::vector<IndirectRef> indirect;
  std::vector<SourceRef> map;  // parallel to code
  std::vector<std::string> fileNames;
  std::vector<std::string> fileTexts;
  std::vector<BlockInfo> blocks;
  int ob1 = -1;    // index into blocks
  int ob100 = -1;
};

}  // namespace softplc
