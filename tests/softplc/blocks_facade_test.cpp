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

// Files written on Windows are Windows-1252: names with umlauts defined in one encoding are
// found from a file in the other, case aside, in every table format, with CRLF or LF; what
// the CPU shows and reports is UTF-8, and columns count characters.
TEST(BlocksFacade, WindowsAndUtf8FilesShareTheirNames) {
  const std::string ae = "\xE4", ue = "\xFC", oe = "\xF6", ss = "\xDF", nn = "\xF1", aa = "\xE1";
  const std::string uAe = "\xC3\xA4", uUe = "\xC3\xBC", uOe = "\xC3\xB6", uSs = "\xC3\x9F",
                    uNn = "\xC3\xB1", uAa = "\xC3\xA1", uAeUp = "\xC3\x84";
  // a Windows-1252 source using names from a UTF-8 table, an ASC table (Windows-1252) and a
  // SEQ table (Windows-1252, CRLF); a UTF-8 source using a Windows-1252 SDF name
  const std::string win = "ORGANIZATION_BLOCK OB 1\r\nBEGIN\r\n// F" + oe + "rderband l" + ae +
                          "uft\r\n      U     \"Z" + ae + "hler\"\r\n      =     A 0.0\r\n"
                          "      U     \"Se" + nn + "al_" + aa + "\"\r\n      =     A 0.1\r\n"
                          "      U     \"Gr" + oe + ss + "e\"\r\n      =     A 0.2\r\n"
                          "      CALL  FC 1\r\nEND_ORGANIZATION_BLOCK\r\n";
  const std::string utf = "FUNCTION FC 1 : VOID\nBEGIN\n      U     \"T" + uUe + "r_auf\"\n"
                          "      =     A 0.3\n      U     \"Z" + uAeUp + "HLER\"\n      =     A 0.4\n"
                          "END_FUNCTION\n";
  std::string asc = "126,Se" + nn + "al_" + aa;
  asc += std::string(24 - 7, ' ') + "E     0.1   BOOL      \r\n";
  Cpu cpu;
  softplc::LoadResult r = cpu.LoadWithSymbols(
      {{"win.awl", win}, {"utf.awl", utf}},
      {{"a.sdf", "\"Z" + uAe + "hler\",\"E 0.0\",\"BOOL\",\"\"\n"},
       {"b.asc", asc},
       {"c.seq", "126,\tGr" + oe + ss + "e\tE 0.2\tBOOL\tMa" + ss + "\r\n"},
       {"d.sdf", "\"T" + ue + "r_auf\",\"E 0.3\",\"BOOL\",\"\"\r\n"}},
      {});
  ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0].text);
  cpu.SetMode(CpuMode::Run);
  cpu.SetInputByte(0, 0x0F);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0), 0x1F);
  bool shown = false;
  for (uint32_t i = 0; i < cpu.Info().instructions; ++i)
    if (cpu.Where(i).line == 4 && cpu.Where(i).file == "win.awl")
      shown = cpu.Where(i).text == "U     \"Z" + uAe + "hler\"";
  EXPECT_TRUE(shown);

  // messages are UTF-8 and point at the character
  for (const std::string& text : {std::string("      U     \"" + uOe + "l" + uSs + "\" ; XYZ\n"),
                                  std::string("      U     \"" + oe + "l" + ss + "\" ; XYZ\n")}) {
    r = cpu.Load({{"e.awl", text}});
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(r.errors[0].text, "unknown symbol \"" + uOe + "l" + uSs + "\"");
    EXPECT_EQ(r.errors[1].column, 21);
  }
}

}  // namespace
