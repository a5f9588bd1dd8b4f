// The C++ surface added for blocks: data block access, symbol files beside a source, block
// names in Info() and Where(), the cyclic interrupt's period.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "softplc/SoftPlc.h"

namespace {

using softplc::Cpu;
using softplc::CpuMode;

const char* kProgram = R"(
DATA_BLOCK DB 3
STRUCT
  a : INT := 513;
  b : BOOL;
END_STRUCT;
BEGIN
END_DATA_BLOCK
FUNCTION FC 7 : VOID
BEGIN
      L     DB3.a
      T     MW 0
END_FUNCTION
ORGANIZATION_BLOCK OB 1
BEGIN
      CALL  FC 7
END_ORGANIZATION_BLOCK
)";

TEST(BlocksFacade, DataBlocksAreReadableAndWritableWithinTheirLength) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"p.awl", kProgram}}).ok);
  EXPECT_EQ(cpu.DataBlockLength(3), 4);
  EXPECT_EQ(cpu.DataBlockLength(4), -1);
  EXPECT_EQ(cpu.DataBlockByte(3, 0), 2);
  EXPECT_EQ(cpu.DataBlockByte(3, 1), 1);
  EXPECT_EQ(cpu.DataBlockByte(3, 4), -1);
  EXPECT_EQ(cpu.DataBlockByte(3, -1), -1);
  EXPECT_EQ(cpu.DataBlockByte(99999, 0), -1);
  EXPECT_FALSE(cpu.SetDataBlockByte(3, 4, 1));
  EXPECT_TRUE(cpu.SetDataBlockByte(3, 1, 7));
  cpu.SetMode(CpuMode::Run);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(1), 7);
  // initial values come back with a memory reset, not with a warm restart
  cpu.SetMode(CpuMode::Stop);
  cpu.SetMode(CpuMode::Run);
  EXPECT_EQ(cpu.DataBlockByte(3, 1), 7);
  cpu.SetMode(CpuMode::MRes);
  EXPECT_EQ(cpu.DataBlockByte(3, 1), 1);
}

TEST(BlocksFacade, InfoAndWhereNameTheBlocks) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"p.awl", kProgram}}).ok);
  const auto& blocks = cpu.Info().blocks;
  EXPECT_NE(std::find(blocks.begin(), blocks.end(), "FC 7"), blocks.end());
  EXPECT_NE(std::find(blocks.begin(), blocks.end(), "OB 1"), blocks.end());
  EXPECT_NE(std::find(blocks.begin(), blocks.end(), "DB 3"), blocks.end());
  bool sawFc = false;
  for (uint32_t i = 0; i < cpu.Info().instructions; ++i) {
    softplc::InstructionPlace w = cpu.Where(i);
    if (w.block == "FC 7" && w.text.find("DB3.a") != std::string::npos) {
      sawFc = true;
      EXPECT_EQ(w.line, 11);
    }
  }
  EXPECT_TRUE(sawFc);
}

TEST(BlocksFacade, LoadFilePicksUpTheSymbolTableBesideTheSource) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / "torvane_blocks_facade";
  fs::create_directories(dir);
  {
    std::ofstream(dir / "prog.awl") << "      U     \"Start\"\n      =     \"Lamp\"\n";
    std::ofstream(dir / "prog.sdf") << "\"Start\",\"E 0.0\",\"BOOL\",\"\"\n"
                                       "\"Lamp\",\"A 0.1\",\"BOOL\",\"\"\n";
    std::ofstream(dir / "other.seq") << "Lamp\tA 0.2\tBOOL\t\n";
  }
  Cpu cpu;
  softplc::LoadResult r = cpu.LoadFile((dir / "prog.awl").string(), softplc::SymbolTable{{"KM1", "A 124.0"}});
  ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0].text);
  cpu.SetMode(CpuMode::Run);
  cpu.SetInputByte(0, 1);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0), 2);

  // a table given explicitly that clashes with the one beside is refused, naming both
  r = cpu.LoadFileWithSymbols((dir / "prog.awl").string(),
                              {(dir / "prog.sdf").string(), (dir / "other.seq").string()}, {});
  ASSERT_FALSE(r.ok);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_NE(r.errors[0].file.find("other.seq"), std::string::npos);
  EXPECT_EQ(r.errors[0].line, 1);
  EXPECT_NE(r.errors[0].text.find("prog.sdf:2"), std::string::npos);

  r = cpu.LoadFileWithSymbols((dir / "prog.awl").string(), {(dir / "missing.asc").string()}, {});
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.errors[0].text.find("cannot open"), std::string::npos);
  fs::remove_all(dir);
}

TEST(BlocksFacade, CyclicInterruptFollowsItsPeriodAndCanBeSwitchedOff) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"p.awl", "ORGANIZATION_BLOCK OB 35\nBEGIN\n      L     MW 0\n      +     1\n"
                                  "      T     MW 0\nEND_ORGANIZATION_BLOCK\n"
                                  "ORGANIZATION_BLOCK OB 1\nBEGIN\n      NOP   0\nEND_ORGANIZATION_BLOCK\n"}})
                  .ok);
  cpu.SetCyclicInterruptPeriod(20);
  cpu.SetMode(CpuMode::Run);
  cpu.RunCycle(50);
  EXPECT_EQ(cpu.MemoryByte(1), 2);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(1), 3);
  cpu.SetCyclicInterruptPeriod(0);
  cpu.RunCycle(100);
  EXPECT_EQ(cpu.MemoryByte(1), 3);
}

TEST(BlocksFacade, ByteOrderMarksOfSourcesAndSymbolTablesAreSkipped) {
  const std::string bom = "\xEF\xBB\xBF";
  Cpu cpu;
  softplc::LoadResult r = cpu.LoadWithSymbols(
      {{"main.awl", bom + "ORGANIZATION_BLOCK OB 1\nBEGIN\n      U     \"Start\"\n      =     A 0.1\n"
                          "END_ORGANIZATION_BLOCK\n"}},
      {{"table.sdf", bom + "\"Start\",\"E 0.0\",\"BOOL\",\"\"\r\n"}}, {});
  ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0].text);
  cpu.SetMode(CpuMode::Run);
  cpu.SetInputByte(0, 1);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0), 2);
}

}  // namespace
