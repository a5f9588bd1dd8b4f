// The program status of a source file: known programs run one scan, and each line must show
// the registers its statement left, in its own format; lines that did not run show nothing; a
// line run several times shows its first run or the chosen call.
#include <gtest/gtest.h>

#include <string>

#include "gui/ProgramStatus.h"
#include "softplc/SoftPlc.h"

namespace {

using softplc::Cpu;
using softplc::CpuMode;

struct Row {
  int line;
  const char* rlo;
  const char* sta;
  const char* accu1;
  const char* accu2;
  const char* operand;
};

class Monitored : public ::testing::Test {
 protected:
  void Load(const char* text) {
    ASSERT_TRUE(cpu.Load({{"p.awl", text}}).ok);
    status.Watch("p.awl");
    status.SetMonitoring(true);
    cpu.SetMode(CpuMode::Run);
  }
  void Expect(const Row& r) {
    SCOPED_TRACE("line " + std::to_string(r.line));
    const TProgramStatus::TColumns c = status.Columns(r.line);
    EXPECT_EQ(c.Rlo, r.rlo);
    EXPECT_EQ(c.Sta, r.sta);
    EXPECT_EQ(c.Accu1, r.accu1);
    EXPECT_EQ(c.Accu2, r.accu2);
    EXPECT_EQ(c.Operand, r.operand);
  }
  Cpu cpu;
  TProgramStatus status{cpu};
};

TEST_F(Monitored, BitLogicWithBracketsShowsRloStaAndOperandPerLine) {
  Load("U E 0.0\n"        // 1: E 0.0 = 1
       "U(\n"             // 2
       "O E 0.1\n"        // 3: 0
       "O E 0.2\n"        // 4: 1
       ")\n"              // 5
       "UN M 1.0\n"       // 6: M 1.0 = 0
       "= A 4.0\n");      // 7
  cpu.SetInputByte(0, 0b101);
  cpu.RunCycle(10);
  Expect({1, "1", "1", "W#16#0000", "W#16#0000", "1"});
  Expect({2, "1", "1", "W#16#0000", "W#16#0000", ""});
  Expect({3, "0", "0", "W#16#0000", "W#16#0000", "0"});
  Expect({4, "1", "1", "W#16#0000", "W#16#0000", "1"});
  Expect({5, "1", "1", "W#16#0000", "W#16#0000", ""});
  Expect({6, "1", "0", "W#16#0000", "W#16#0000", "0"});
  Expect({7, "1", "1", "W#16#0000", "W#16#0000", "1"});
  EXPECT_EQ(cpu.OutputByte(4), 1);
}

TEST_F(Monitored, JumpsLeaveSkippedLinesEmptyAndALoopShowsItsFirstPass) {
  Load("      L     0\n"           // 1
       "      T     MW 12\n"       // 2
       "      L     3\n"           // 3
       "next: T     MW 10\n"       // 4: loop counter
       "      L     MW 12\n"       // 5: first pass MW 12 = 0
       "      +     5\n"           // 6
       "      T     MW 12\n"       // 7
       "      L     MW 10\n"       // 8
       "      LOOP  next\n"        // 9: three passes
       "      L     MW 12\n"       // 10: 15
       "      L     100\n"         // 11
       "      >I\n"                // 12: 15 > 100 is false
       "      SPB   big\n"         // 13
       "      L     S5T#2S\n"      // 14
       "      SPA   end\n"         // 15
       "big:  L     -1\n"          // 16: jumped over
       "end:  L     2.5\n"         // 17
       "      L     1.5\n"         // 18
       "      T     MD 20\n");     // 19
  cpu.RunCycle(10);
  Expect({3, "0", "0", "3", "0", ""});
  Expect({6, "0", "0", "5", "3", ""});  // first pass: 0 + 5, the loop counter in ACCU 2
  EXPECT_EQ(cpu.MemoryByte(13), 15) << "the loop ran three times";
  Expect({12, "0", "0", "100", "15", ""});  // a comparison: RLO 0, both ACCUs as INT
  Expect({14, "1", "1", "S5T#2S", "S5T#640MS", ""});  // the jump not taken left RLO 1
  EXPECT_TRUE(status.HasStatement(16));
  EXPECT_EQ(status.Line(16), nullptr) << "a line jumped over did not run";
  Expect({16, "", "", "", "", ""});
  Expect({18, "1", "1", "1.5", "2.5", ""});
  EXPECT_EQ(status.FormatOf(19), TProgramStatus::TFormat::Hex);
  EXPECT_FALSE(status.HasStatement(20));
}

TEST_F(Monitored, AnFbCalledWithTwoInstanceDbsShowsTheChosenCall) {
  Load("FUNCTION_BLOCK FB 1\n"              // 1
       "VAR_INPUT\n  x : BOOL;\nEND_VAR\n"  // 2-4
       "VAR\n  n : INT;\nEND_VAR\n"         // 5-7
       "BEGIN\n"                            // 8
       "      U     #x\n"                   // 9
       "      L     #n\n"                   // 10
       "      +     1\n"                    // 11
       "      T     #n\n"                   // 12
       "END_FUNCTION_BLOCK\n"               // 13
       "DATA_BLOCK DB 5\nFB 1\nBEGIN\nEND_DATA_BLOCK\n"   // 14-17
       "DATA_BLOCK DB 6\nFB 1\nBEGIN\n  n := 100;\nEND_DATA_BLOCK\n"  // 18-22
       "ORGANIZATION_BLOCK OB 1\nBEGIN\n"  // 23-24
       "      CALL  FB 1 , DB 5 (x := E 0.0);\n"  // 25
       "      CALL  FB 1 , DB 6 (x := E 0.1);\n"  // 26
       "END_ORGANIZATION_BLOCK\n");
  cpu.SetInputByte(0, 0b10);
  cpu.RunCycle(10);
  // first execution: the call with DB 5
  Expect({9, "0", "0", "W#16#0000", "W#16#0000", "0"});
  Expect({11, "0", "0", "1", "0", ""});
  ASSERT_EQ(status.Environments().size(), 2u);
  EXPECT_EQ(status.EnvironmentName(status.Environments()[1]), "FB 1 called from OB 1 line 26 with DB 6");
  status.SetCallEnvironment(status.Environments()[1]);
  EXPECT_EQ(status.Line(9), nullptr) << "nothing is shown before a scan under the new choice";
  cpu.RunCycle(10);
  Expect({9, "1", "1", "W#16#0002", "W#16#0000", "1"});  // ACCU 1 as the first call left it
  Expect({11, "1", "1", "102", "2", ""});  // ACCU 2 still holds what the first call left
  // the caller's own lines are not filtered
  EXPECT_NE(status.Line(25), nullptr);
  status.SetCallEnvironment(std::nullopt);
  cpu.RunCycle(10);
  Expect({11, "0", "0", "3", "0", ""});
}

TEST_F(Monitored, EnglishMnemonicsTimersAndCountersAreShownTheSameWay) {
  Load("      A     I 0.0\n"          // 1
       "      L     S5T#1S\n"         // 2
       "      SD    T 3\n"            // 3
       "      A     I 0.0\n"          // 4
       "      CU    C 2\n"            // 5
       "      LC    T 3\n");          // 6
  cpu.SetInputByte(0, 1);
  cpu.RunCycle(10);
  cpu.RunCycle(250);
  Expect({1, "1", "1", "W#16#0000", "W#16#0000", "1"});
  Expect({3, "1", "1", "W#16#0100", "W#16#0000", "T#750MS"});
  Expect({5, "1", "1", "W#16#0100", "W#16#0000", "1"});
  Expect({6, "1", "1", "S5T#750MS", "S5T#1S", "T#750MS"});
}

TEST_F(Monitored, SwitchedOffTheCpuIsNotObservedAndNothingIsShown) {
  Load("U E 0.0\n= A 0.0\n");
  cpu.RunCycle(10);
  ASSERT_NE(status.Line(1), nullptr);
  const auto scans = status.Scans();
  status.SetMonitoring(false);
  EXPECT_EQ(status.Line(1), nullptr);
  cpu.RunCycle(10);
  EXPECT_EQ(status.Scans(), scans + 1) << "only the switch itself counted";
  EXPECT_EQ(status.Line(1), nullptr);
}

TEST(StatusFormats, ValuesAreWrittenTheWayTheStatementWorks) {
  using F = TProgramStatus::TFormat;
  EXPECT_EQ(TProgramStatus::StatementFormat("L     S5T#2S"), F::S5Time);
  EXPECT_EQ(TProgramStatus::StatementFormat("lab1: L T#1s"), F::IecTime);
  EXPECT_EQ(TProgramStatus::StatementFormat("+D"), F::DInt);
  EXPECT_EQ(TProgramStatus::StatementFormat("*R   // scale"), F::Real);
  EXPECT_EQ(TProgramStatus::StatementFormat("UW    W#16#FF"), F::Hex);
  EXPECT_EQ(TProgramStatus::StatementFormat("L     -7"), F::Int);
  EXPECT_EQ(TProgramStatus::StatementFormat("L     L#100000"), F::DInt);
  EXPECT_EQ(TProgramStatus::StatementFormat("L 16#FF"), F::Hex);
  EXPECT_EQ(TProgramStatus::StatementFormat("L \"Speed\""), F::Hex);
  EXPECT_EQ(TProgramStatus::FormatValue(0xFFFF, F::Int), "-1");
  EXPECT_EQ(TProgramStatus::FormatValue(0xFFFFFFFFu, F::DInt), "-1");
  EXPECT_EQ(TProgramStatus::FormatValue(0x12345, F::Hex), "DW#16#00012345");
  EXPECT_EQ(TProgramStatus::FormatValue(0x3F800000u, F::Real), "1.0");
  EXPECT_EQ(TProgramStatus::FormatValue(0x2123, F::S5Time), "S5T#2M3S");
  EXPECT_EQ(TProgramStatus::FormatValue(61500, F::IecTime), "T#1M1S500MS");
}

}  // namespace
