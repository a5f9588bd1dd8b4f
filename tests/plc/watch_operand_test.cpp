// Operands of a variable table or a scenario step: what is accepted, how values look in each
// format and what a typed value becomes.
#include <gtest/gtest.h>

#include "plc/WatchOperand.h"

namespace {

using softplc::ByteArea;

const softplc::SymbolTable kSymbols = {{"SUBIR", "E124.1"}, {"KM1", "A124.0"}, {"Cuenta", "MW 10"}};

TWatchOperand Op(const char* text) {
  TWatchOperand op;
  EXPECT_EQ(ParseWatchOperand(text, kSymbols, op), "") << text;
  return op;
}

TEST(WatchOperand, AddressesInBothLanguagesAndSymbolsParse) {
  struct Case { const char* text; TWatchKind kind; ByteArea area; int db, byte, bit; const char* address; };
  const Case cases[] = {
      {"E124.1", TWatchKind::Bit, ByteArea::Input, 0, 124, 1, "E 124.1"},
      {"i 124.7", TWatchKind::Bit, ByteArea::Input, 0, 124, 7, "E 124.7"},
      {"AW126", TWatchKind::Word, ByteArea::Output, 0, 126, 0, "AW 126"},
      {"QB 3", TWatchKind::Byte, ByteArea::Output, 0, 3, 0, "AB 3"},
      {"MD20", TWatchKind::DWord, ByteArea::Memory, 0, 20, 0, "MD 20"},
      {"DB1.DBW2", TWatchKind::Word, ByteArea::DataBlock, 1, 2, 0, "DB1.DBW 2"},
      {"DB12.DBX 4.3", TWatchKind::Bit, ByteArea::DataBlock, 12, 4, 3, "DB12.DBX 4.3"},
      {"\"SUBIR\"", TWatchKind::Bit, ByteArea::Input, 0, 124, 1, "E 124.1"},
      {"Cuenta", TWatchKind::Word, ByteArea::Memory, 0, 10, 0, "MW 10"},
  };
  for (const Case& c : cases) {
    const TWatchOperand op = Op(c.text);
    EXPECT_EQ(op.Kind, c.kind) << c.text;
    EXPECT_EQ(op.Area, c.area) << c.text;
    EXPECT_EQ(op.Db, c.db) << c.text;
    EXPECT_EQ(op.Byte, c.byte) << c.text;
    EXPECT_EQ(op.Bit, c.bit) << c.text;
    EXPECT_EQ(op.Address(), c.address) << c.text;
  }
  EXPECT_EQ(Op("T 3").Kind, TWatchKind::Timer);
  EXPECT_EQ(Op("Z1").Kind, TWatchKind::Counter);
  EXPECT_EQ(Op("C 1").Address(), "Z 1");
  EXPECT_EQ(Op("\"KM1\"").Symbol, "KM1");
}

TEST(WatchOperand, MalformedOperandsAreRefusedWithAReason) {
  for (const char* bad : {"", "E124", "E124.8", "EX1", "MW", "XW 2", "T 999", "DB1.DBZ2", "\"NADA\"",
                          "E 124.1.2", "MW 4095", "EB 5000"}) {
    TWatchOperand op;
    EXPECT_NE(ParseWatchOperand(bad, kSymbols, op), "") << bad;
  }
  TWatchOperand op;
  EXPECT_NE(ParseWatchOperand("MD 5000", kSymbols, op).find("outside"), std::string::npos);
  EXPECT_NE(ParseWatchOperand("\"NADA\"", kSymbols, op).find("no symbol"), std::string::npos);
}

TEST(WatchOperand, ValuesShowInEveryFormat) {
  using F = TWatchFormat;
  EXPECT_EQ(FormatWatchValue(1, TWatchKind::Bit, F::Bool), "TRUE");
  EXPECT_EQ(FormatWatchValue(0x5A, TWatchKind::Byte, F::Bin), "2#0101_1010");
  EXPECT_EQ(FormatWatchValue(0x0A, TWatchKind::Byte, F::Hex), "B#16#0A");
  EXPECT_EQ(FormatWatchValue(0xFFFF, TWatchKind::Word, F::Dec), "-1");
  EXPECT_EQ(FormatWatchValue(0xFFFFFFFE, TWatchKind::DWord, F::Dec), "L#-2");
  EXPECT_EQ(FormatWatchValue(0x3FC00000, TWatchKind::DWord, F::Real), "1.5");
  EXPECT_EQ(FormatWatchValue(0x40000000, TWatchKind::DWord, F::Real), "2.0");
  EXPECT_EQ(FormatWatchValue(0x1015, TWatchKind::Word, F::S5Time), "S5T#1S500MS");
  EXPECT_EQ(FormatWatchValue(0x2090, TWatchKind::Timer, F::S5Time), "S5T#1M30S");
  EXPECT_EQ(FormatWatchValue(0x2090, TWatchKind::Timer, F::Dec), "90");
  EXPECT_EQ(FormatWatchValue(0x00AB, TWatchKind::Word, F::S5Time), "W#16#00AB (no S5TIME)");
  EXPECT_EQ(FormatWatchValue(90061001, TWatchKind::DWord, F::Time), "T#1D1H1M1S1MS");
  EXPECT_EQ(FormatWatchValue(static_cast<std::uint32_t>(-1500), TWatchKind::DWord, F::Time), "T#-1S500MS");
  EXPECT_EQ(FormatWatchValue(0, TWatchKind::DWord, F::Time), "T#0MS");
  EXPECT_EQ(FormatWatchValue(0x4142, TWatchKind::Word, F::Char), "'AB'");
  EXPECT_EQ(FormatWatchValue(0x07, TWatchKind::Byte, F::Char), "'.'");
  TWatchFormat f;
  ASSERT_TRUE(ParseWatchFormat("s5time", f));
  EXPECT_EQ(f, F::S5Time);
  EXPECT_FALSE(ParseWatchFormat("FLOAT", f));
  EXPECT_EQ(WatchFormats(TWatchKind::Bit).front(), F::Bool);
}

TEST(WatchOperand, TypedValuesBecomeRawValuesThatFit) {
  std::uint32_t raw = 0;
  std::string error;
  const TWatchOperand bit = Op("A124.0"), byte = Op("MB 0"), word = Op("MW 0"), dword = Op("MD 0");
  EXPECT_TRUE(ParseWatchValue("true", bit, raw, error));
  EXPECT_EQ(raw, 1u);
  EXPECT_FALSE(ParseWatchValue("2", bit, raw, error));
  EXPECT_TRUE(ParseWatchValue("16#1F", byte, raw, error));
  EXPECT_EQ(raw, 0x1Fu);
  EXPECT_TRUE(ParseWatchValue("-1", byte, raw, error));
  EXPECT_EQ(raw, 0xFFu);
  EXPECT_FALSE(ParseWatchValue("256", byte, raw, error));
  EXPECT_FALSE(ParseWatchValue("W#16#1234", byte, raw, error));
  EXPECT_TRUE(ParseWatchValue("-2", word, raw, error));
  EXPECT_EQ(raw, 0xFFFEu);
  EXPECT_TRUE(ParseWatchValue("S5T#2S", word, raw, error));
  EXPECT_EQ(raw, 0x0200u);  // the finest time base that holds it
  EXPECT_FALSE(ParseWatchValue("1.5", word, raw, error));
  EXPECT_TRUE(ParseWatchValue("1.5", dword, raw, error));
  EXPECT_EQ(raw, 0x3FC00000u);
  EXPECT_TRUE(ParseWatchValue("T#1S", dword, raw, error));
  EXPECT_EQ(raw, 1000u);
  EXPECT_FALSE(ParseWatchValue("banana", dword, raw, error));
  EXPECT_NE(error.find("banana"), std::string::npos);
}

TEST(WatchOperand, ModifyAndForceGoThroughTheCpuByteByByte) {
  softplc::Cpu cpu;
  ASSERT_EQ(ModifyWatchOperand(cpu, Op("MW 10"), 0x1234), "");  // STOP: written at once
  EXPECT_EQ(ReadWatchOperand(cpu, Op("MW 10")), 0x1234u);
  EXPECT_EQ(ReadWatchOperand(cpu, Op("M 10.4")), 1u);
  ASSERT_EQ(ModifyWatchOperand(cpu, Op("M 11.0"), 1), "");
  EXPECT_EQ(cpu.MemoryByte(11), 0x35);  // only that bit
  EXPECT_NE(ModifyWatchOperand(cpu, Op("T 1"), 5), "");
  bool exists = true;
  EXPECT_EQ(ReadWatchOperand(cpu, Op("DB3.DBW 0"), &exists), 0u);
  EXPECT_FALSE(exists);
  EXPECT_NE(ModifyWatchOperand(cpu, Op("DB3.DBW 0"), 1), "");

  ASSERT_EQ(ForceWatchOperand(cpu, Op("AW 124"), 0x8001), "");
  EXPECT_EQ(cpu.OutputByte(124), 0x80);
  EXPECT_EQ(cpu.OutputByte(125), 0x01);
  EXPECT_TRUE(WatchOperandForced(cpu, Op("A 125.3")));
  EXPECT_FALSE(WatchOperandForced(cpu, Op("A 126.0")));
  EXPECT_NE(ForceWatchOperand(cpu, Op("MW 0"), 1), "");
  UnforceWatchOperand(cpu, Op("AB 124"));
  EXPECT_FALSE(WatchOperandForced(cpu, Op("A 124.7")));
  EXPECT_TRUE(cpu.HasForces());
  UnforceWatchOperand(cpu, Op("AW 124"));
  EXPECT_FALSE(cpu.HasForces());
}

TEST(WatchOperand, ATimerReadsAsItsS5TimeWord) {
  softplc::Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"t.awl", "  SET\n  L S5T#20S\n  SE T 3\n"}}).ok);
  cpu.SetMode(softplc::CpuMode::Run);
  cpu.RunCycle(0);
  EXPECT_EQ(FormatWatchValue(ReadWatchOperand(cpu, Op("T 3")), TWatchKind::Timer, TWatchFormat::S5Time),
            "S5T#20S");
  cpu.RunCycle(1500);
  EXPECT_EQ(FormatWatchValue(ReadWatchOperand(cpu, Op("T 3")), TWatchKind::Timer, TWatchFormat::S5Time),
            "S5T#18S500MS");
}

}  // namespace
