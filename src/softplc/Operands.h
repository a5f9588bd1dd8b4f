// Operands of STL statements: addresses, constants and status-word conditions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "softplc/Decl.h"
#include "softplc/InstructionTable.h"
#include "softplc/Program.h"

namespace softplc {

enum class ConstType : uint8_t {
  Int16,    // 123, -5
  Int32,    // L#5 or a decimal beyond 16 bits
  Byte,     // B#16#FF
  Word,     // W#16#, 2# of up to 16 digits, B#(a,b)
  DWord,    // DW#16#, 2# of more digits, B#(a,b,c,d)
  Real,     // 1.0, 1.0e+000
  S5Time,   // S5T#2S
  Time,     // T#2S
  Counter,  // C#5
  Char,     // 'A'
  Date,     // D#2024-03-15: days since 1990-01-01 (16 bits)
  TimeOfDay,  // TOD#12:30:00.5: milliseconds since midnight (32 bits)
};

struct Operand {
  enum class Kind : uint8_t { None, Bit, Sized, Timer, Counter, Cond, Const, Label, Stw, Block,
                              DataBlock, DbReg };
  Kind kind = Kind::None;
  // addresses
  Area area = Area::Marker;
  uint8_t size = 0;  // Sized: 1, 2 or 4
  uint32_t byte = 0;  // byte address or timer/counter number
  uint8_t bit = 0;
  bool indirect = false;
  // register-indirect through AR1/AR2: arReg 1 or 2, arCross for area-crossing, the
  // displacement (byte << 3 | bit) in pointerByte
  uint8_t arReg = 0;
  bool arCross = false;
  // Block: the call target; DataBlock: DB (false) or DI (true) and its number in `byte`
  uint32_t blockIndex = 0;
  bool di = false;
  // a data block address written with its block ("DB10.DBW 2" or "Data".x): opens it first
  int32_t qualifiedDb = -1;
  // symbolic access: the declared type (null for absolute addresses); aggregate when it is a
  // STRUCT, ARRAY, STRING or DATE_AND_TIME that only a parameter can take as a whole
  std::shared_ptr<const Type> vtype;
  bool aggregate = false;
  bool symbolic = false;
  Area pointerArea = Area::Marker;
  // a memory-indirect pointer named by a variable ([#ptr]); resolved against the block
  std::string pointerVar;
  uint8_t pointerSize = 0;
  uint32_t pointerByte = 0;
  // conditions and constants
  Cond cond = Cond::OV;
  ConstType ctype = ConstType::Int16;
  uint32_t value = 0;
  std::string_view label;
  // which language the operand's spelling belongs to (both when neutral)
  bool germanOnly = false;
  bool englishOnly = false;
  std::string_view areaText;  // as written, for messages
};

// Parses a constant (the whole text). Returns an empty string on success, else a message.
std::string ParseConstant(std::string_view text, Operand& out);

// Returns the area/size for an area keyword in either language (e.g. "PEW", "QB", "M"),
// setting which language(s) the keyword belongs to. `timer`/`counter` are set for T and Z/C.
struct AreaWord {
  bool ok = false;
  Area area = Area::Marker;
  uint8_t size = 0;  // 0 bit, 1 byte, 2 word, 4 double word
  bool timer = false;
  bool counter = false;
  bool german = false;
  bool english = false;
};
AreaWord LookupArea(std::string_view upperWord);
// The same area keyword in the other language ("E" <-> "I").
std::string_view AreaInOtherLanguage(std::string_view upperWord, Lang target);

// Status-word condition names ("BIE" German, "BR" English, others shared).
bool LookupCond(std::string_view upperWord, Cond& c, bool& germanOnly, bool& englishOnly);

// Converts milliseconds to an S5TIME word (time base in bits 12-13, BCD value); false when
// the duration cannot be represented.
bool MillisecondsToS5Time(int64_t ms, uint16_t& word);

}  // namespace softplc
