#pragma once
// Operands a person watches, modifies or forces from outside the program (a variable table, a
// scenario step): parsing an address or symbol, reading its value from the embedded CPU,
// showing it in a display format and taking a typed value back.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "softplc/SoftPlc.h"

enum class TWatchKind { Bit, Byte, Word, DWord, Timer, Counter };
enum class TWatchFormat { Bool, Bin, Hex, Dec, Real, S5Time, Time, Char };

struct TWatchOperand {
  TWatchKind Kind = TWatchKind::Bit;
  softplc::ByteArea Area = softplc::ByteArea::Input;
  int Db = 0;    // data block number for ByteArea::DataBlock
  int Byte = 0;  // byte address, or the timer or counter number
  int Bit = 0;
  std::string Symbol;  // the symbol it was written as, without quotes; empty for an address

  // The address in German mnemonics: "E 124.1", "MW 20", "DB1.DBW 2", "T 3", "Z 1".
  std::string Address() const;
  int Bytes() const;  // 1, 2 or 4 for memory operands, 0 for timers and counters
};

// Parses "E124.1", "I 124.1", "AW126", "QW 126", "MD20", "DB1.DBW2", "T 3", "Z 1", "C 1", or a
// symbol ("SUBIR" with or without quotes) looked up in symbols. Empty on success, else why not.
std::string ParseWatchOperand(std::string_view text, const softplc::SymbolTable& symbols,
                              TWatchOperand& out);

// Format names as written in a table file and shown in the GUI: BOOL, BIN, HEX, DEC, REAL,
// S5TIME, TIME, CHAR.
const char* WatchFormatName(TWatchFormat f);
bool ParseWatchFormat(std::string_view name, TWatchFormat& f);
// The formats that make sense for a kind of operand, the first being its default.
std::vector<TWatchFormat> WatchFormats(TWatchKind kind);

// The raw value: the bytes of a memory operand, big-endian; a timer as its S5TIME word (time
// base and BCD value, as L C loads it); a counter's value. A data block address that does not
// exist reads 0 and sets exists to false when given.
std::uint32_t ReadWatchOperand(const softplc::Cpu& cpu, const TWatchOperand& op,
                               bool* exists = nullptr);
std::string FormatWatchValue(std::uint32_t raw, TWatchKind kind, TWatchFormat format);
// Reads a value typed in any of the usual constant forms (TRUE, 1, 2#0101, B#16#1F, W#16#..,
// 16#.., -12, L#5, 1.5, S5T#2S, T#1S500MS, 'A') into the raw value of the operand; false with a
// message when it is malformed or does not fit.
bool ParseWatchValue(std::string_view text, const TWatchOperand& op, std::uint32_t& raw,
                     std::string& error);

// Empty on success, else why not. Timers and counters can only be watched; only inputs and
// outputs can be forced.
std::string ModifyWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op, std::uint32_t raw);
std::string ForceWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op, std::uint32_t raw);
void UnforceWatchOperand(softplc::Cpu& cpu, const TWatchOperand& op);
// True when any bit of the operand is forced.
bool WatchOperandForced(const softplc::Cpu& cpu, const TWatchOperand& op);
