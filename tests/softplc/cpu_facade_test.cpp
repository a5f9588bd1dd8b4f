// The CPU's C++ surface: accessors, loading, program information, diagnostics and the
// program-status hook.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "softplc/InstructionTable.h"
#include "softplc/Lexer.h"
#include "softplc/SoftPlc.h"

namespace {

using softplc::Cpu;
using softplc::CpuMode;

TEST(CpuFacade, ModeNamesAreTheSimulatorTexts) {
  EXPECT_STREQ(softplc::ModeName(CpuMode::Stop), "STOP");
  EXPECT_STREQ(softplc::ModeName(CpuMode::Run), "RUN");
  EXPECT_STREQ(softplc::ModeName(CpuMode::RunP), "RUN_P");
  EXPECT_STREQ(softplc::ModeName(CpuMode::MRes), "MRES");
}

TEST(CpuFacade, AddressesOutsideTheAreasAreIgnoredAndReadZero) {
  Cpu cpu;
  cpu.SetInputByte(Cpu::kInputBytes - 1, 0x5A);
  cpu.SetOutputByte(Cpu::kOutputBytes - 1, 0x6B);
  cpu.SetMemoryByte(Cpu::kMemoryBytes - 1, 0x7C);
  EXPECT_EQ(cpu.InputByte(Cpu::kInputBytes - 1), 0x5A);
  EXPECT_EQ(cpu.OutputByte(Cpu::kOutputBytes - 1), 0x6B);
  EXPECT_EQ(cpu.MemoryByte(Cpu::kMemoryBytes - 1), 0x7C);
  for (int bad : {-1, -1000, Cpu::kMemoryBytes, 1 << 30}) {
    cpu.SetInputByte(bad, 1);
    cpu.SetOutputByte(bad, 1);
    cpu.SetMemoryByte(bad, 1);
    EXPECT_EQ(cpu.InputByte(bad), 0);
    EXPECT_EQ(cpu.OutputByte(bad), 0);
    EXPECT_EQ(cpu.MemoryByte(bad), 0);
  }
  // the areas are separate: an output write does not show up as an input or memory byte
  cpu.SetOutputByte(0, 0xFF);
  EXPECT_EQ(cpu.InputByte(0), 0);
  EXPECT_EQ(cpu.MemoryByte(0), 0);
  EXPECT_EQ(cpu.TimerValue(-1), 0);
  EXPECT_FALSE(cpu.TimerBit(Cpu::kTimers));
  EXPECT_EQ(cpu.CounterValue(Cpu::kCounters), 0);
  EXPECT_FALSE(cpu.CounterBit(-5));
}

TEST(CpuFacade, LoadFileReportsAMissingFileAndKeepsNoProgram) {
  Cpu cpu;
  softplc::LoadResult r = cpu.LoadFile("/nonexistent/folder/prog.awl");
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].file, "/nonexistent/folder/prog.awl");
  EXPECT_FALSE(cpu.HasProgram());
  EXPECT_EQ(cpu.Info().instructions, 0u);
}

TEST(CpuFacade, ProgramInfoDescribesTheLoadedBlocks) {
  Cpu cpu;
  softplc::LoadResult r = cpu.Load(
      {{"main.awl", "ORGANIZATION_BLOCK OB 1\nBEGIN\n  SET\n  = M 0.0\nEND_ORGANIZATION_BLOCK\n"},
       {"start.awl", "ORGANIZATION_BLOCK OB 100\nBEGIN\n  L 7\n  T MW 2\nEND_ORGANIZATION_BLOCK\n"}});
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(cpu.HasProgram());
  const softplc::ProgramInfo& info = cpu.Info();
  EXPECT_EQ(info.files, (std::vector<std::string>{"main.awl", "start.awl"}));
  EXPECT_EQ(info.blocks, (std::vector<std::string>{"OB 1", "OB 100"}));
  EXPECT_EQ(info.instructions, 6u);  // four statements and one block end per block
  EXPECT_EQ(info.bytecodeBytes, 6u * 8u);
  cpu.SetMode(CpuMode::Run);
  EXPECT_EQ(cpu.MemoryByte(3), 7);  // OB 100 ran at the warm restart
}

TEST(CpuFacade, RefusedProgramLeavesInformationAndStateAlone) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"a.awl", "  L 1\n  T MB 0\n"}}).ok);
  cpu.SetMode(CpuMode::Run);
  cpu.RunCycle(10);
  softplc::LoadResult r = cpu.Load({{"b.awl", "  L 2\n  T MB 0\n  FOO\n"}});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(cpu.Info().files, std::vector<std::string>{"a.awl"});
  EXPECT_EQ(cpu.Mode(), CpuMode::Run);
  cpu.SetMemoryByte(0, 0);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(0), 1);
  EXPECT_EQ(cpu.CycleCount(), 2u);
  EXPECT_EQ(cpu.LastCycleInstructions(), 2u);
}

TEST(CpuFacade, NothingRunsWithoutProgramButTheModeChanges) {
  Cpu cpu;
  cpu.SetMode(CpuMode::Run);
  EXPECT_EQ(cpu.Mode(), CpuMode::Run);
  cpu.RunCycle(50);
  EXPECT_EQ(cpu.LastCycleInstructions(), 0u);
  EXPECT_EQ(cpu.Diagnostics().back().text, "mode change STOP -> RUN: warm restart");
}

class Recorder : public softplc::StatusObserver {
 public:
  void OnStatement(const softplc::StatusRecord& r) override { records.push_back(r); }
  std::vector<softplc::StatusRecord> records;
};

TEST(CpuFacade, StatusObserverSeesEveryExecutedStatementInOrder) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"s.awl",
                         "      U     E 0.0\n"
                         "      SPBN  SKIP\n"
                         "      L     5\n"
                         "SKIP: L     W#16#1234\n"
                         "      =     A 0.0\n"}})
                  .ok);
  cpu.SetMode(CpuMode::Run);
  Recorder rec;
  cpu.SetStatusObserver(&rec);
  cpu.RunCycle(0);
  // E 0.0 is 0: U, SPBN (taken), L W#16#1234, =
  ASSERT_EQ(rec.records.size(), 4u);
  EXPECT_EQ(rec.records[0].instruction, 0u);
  EXPECT_FALSE(rec.records[0].rlo);
  EXPECT_EQ(rec.records[1].instruction, 1u);
  EXPECT_TRUE(rec.records[1].rlo);  // a conditional jump leaves RLO 1
  EXPECT_EQ(rec.records[2].instruction, 3u);
  EXPECT_EQ(rec.records[2].accu1, 0x1234u);
  EXPECT_EQ(rec.records[3].instruction, 4u);
  EXPECT_TRUE(rec.records[3].sta);

  softplc::InstructionPlace place = cpu.Where(rec.records[2].instruction);
  EXPECT_EQ(place.file, "s.awl");
  EXPECT_EQ(place.line, 4);
  EXPECT_EQ(place.column, 7);
  EXPECT_EQ(place.block, "OB 1");
  EXPECT_EQ(place.text, "SKIP: L     W#16#1234");
  EXPECT_EQ(cpu.Where(999).line, 0);

  // without the observer the same program runs untraced
  cpu.SetStatusObserver(nullptr);
  cpu.RunCycle(0);
  EXPECT_EQ(rec.records.size(), 4u);
  EXPECT_EQ(cpu.OutputByte(0), 1);
}

TEST(CpuFacade, DiagnosticsKeepTheNewestHundredEntries) {
  Cpu cpu;
  cpu.SetInstructionBudget(50);
  ASSERT_TRUE(cpu.Load({{"loop.awl", "NETWORK\nTITLE = x\nNETWORK\nM1: SPA M1\n"}}).ok);
  for (int i = 0; i < 80; ++i) {
    cpu.SetMode(CpuMode::Run);
    cpu.RunCycle(1);
  }
  const auto& d = cpu.Diagnostics();
  ASSERT_EQ(d.size(), 100u);
  const softplc::DiagEntry& last = d.back();
  EXPECT_EQ(last.text, "cycle time exceeded; CPU in STOP");
  EXPECT_EQ(last.block, "OB 1");
  EXPECT_EQ(last.network, 2);
  EXPECT_EQ(last.file, "loop.awl");
  EXPECT_EQ(last.line, 4);
  EXPECT_EQ(last.column, 5);
  EXPECT_EQ(last.instruction, "M1: SPA M1");
  EXPECT_EQ(last.cycle, 80u);
  EXPECT_EQ(cpu.Mode(), CpuMode::Stop);
}

TEST(CpuFacade, LoadErrorsComeInFileAndLineOrder) {
  // each file's errors arise in different stages: statements, interfaces, block structure
  const std::string first =
      "ORGANIZATION_BLOCK OB 1\nBEGIN\n      XYZ\nEND_ORGANIZATION_BLOCK\n"
      "FUNCTION_BLOCK FB 1\nVAR_INPUT\n  m : \"Motor\" ;\nEND_VAR\nBEGIN\nEND_FUNCTION_BLOCK\n"
      "FUNCTION FC 2 : VOID\nVAR\n  s : INT ;\nEND_VAR\nBEGIN\nEND_FUNCTION\n";
  const std::string second = "FUNCTION FC 3 : VOID\nBEGIN\n      L     MW [#q]\nEND_FUNCTION\n"
                             "FUNCTION FC 4 : \"Nothing\"\nBEGIN\nEND_FUNCTION\n";
  Cpu cpu;
  softplc::LoadResult r = cpu.Load({{"a.awl", first}, {"b.awl", second}});
  std::vector<std::pair<std::string, int>> places;
  for (const auto& e : r.errors) places.emplace_back(e.file, e.line);
  const std::vector<std::pair<std::string, int>> want = {
      {"a.awl", 3}, {"a.awl", 7}, {"a.awl", 12}, {"b.awl", 3}, {"b.awl", 5}};
  EXPECT_EQ(places, want);
}

TEST(CpuFacade, GarbageNeverCrashesAndEveryErrorHasAPlace) {
  std::mt19937 rng(1234);
  const std::string alphabet = "UONXLT=()[]#\"';:.,0123456789 EAMZPBWD\n\t/+-*SPBIRCVFHQ{}";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    size_t length = rng() % 400;
    for (size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
    Cpu cpu;
    cpu.SetInstructionBudget(5000);
    softplc::LoadResult r = cpu.Load({{"g.awl", text}});
    EXPECT_EQ(r.ok, r.errors.empty());
    for (const softplc::Message& m : r.errors) {
      EXPECT_GE(m.line, 1) << m.text;
      EXPECT_GE(m.column, 1) << m.text;
      EXPECT_FALSE(m.text.empty());
    }
    if (r.ok) {
      cpu.SetMode(CpuMode::Run);
      cpu.RunCycle(10);
    }
  }
}

TEST(InstructionTable, EveryOpcodeHasOneRowInOrderAndIsFoundByItsMnemonics) {
  const auto& table = softplc::InstructionTable();
  ASSERT_EQ(table.size(), softplc::kOpcodeCount);
  std::set<std::tuple<std::string_view, int, softplc::OperandKind>> seen;
  for (size_t i = 0; i < table.size(); ++i) {
    const softplc::InstructionDef& d = table[i];
    EXPECT_EQ(static_cast<size_t>(d.opcode), i);
    if (d.german.empty()) continue;  // internal opcodes
    for (int lang = 0; lang < 2; ++lang) {
      std::string_view name = lang == 0 ? d.german : d.english;
      auto l = lang == 0 ? softplc::Lang::German : softplc::Lang::English;
      // one row per mnemonic and operand kind, or the parser could not choose
      EXPECT_TRUE(seen.insert({name, lang, d.operand}).second) << name;
      const auto& rows = softplc::FindMnemonic(l, name);
      EXPECT_NE(std::find(rows.begin(), rows.end(), &d), rows.end()) << name;
    }
  }
  EXPECT_EQ(softplc::MnemonicOf(softplc::Opcode::JC, softplc::Lang::German), "SPB");
  EXPECT_EQ(softplc::MnemonicOf(softplc::Opcode::SV_T, softplc::Lang::English), "SE");
  EXPECT_EQ(softplc::ClosestMnemonic(softplc::Lang::English, "JCC"), "JC");
  EXPECT_EQ(softplc::ClosestMnemonic(softplc::Lang::German, "QQQQQQ"), "");
}

TEST(Lexer, TokensCarryLinesColumnsAndKinds) {
  std::vector<softplc::Token> t;
  softplc::Tokenize("  U \"A b\" // c\n\tL B#(1, 2);[x]", t);
  ASSERT_EQ(t.size(), 10u);
  EXPECT_EQ(t[0].text, "U");
  EXPECT_EQ(t[0].column, 3u);
  EXPECT_EQ(t[1].kind, softplc::TokKind::Quoted);
  EXPECT_EQ(t[1].text, "A b");
  EXPECT_EQ(t[2].kind, softplc::TokKind::EndOfLine);
  EXPECT_EQ(t[3].line, 2u);
  EXPECT_EQ(t[3].column, 2u);
  EXPECT_EQ(t[4].text, "B#(1, 2)");
  EXPECT_EQ(t[5].kind, softplc::TokKind::Semicolon);
  EXPECT_EQ(t[6].kind, softplc::TokKind::LBracket);
  EXPECT_EQ(t[8].kind, softplc::TokKind::RBracket);
  EXPECT_EQ(t[9].kind, softplc::TokKind::EndOfLine);
}

}  // namespace
