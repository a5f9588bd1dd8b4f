// A download from the editor: replaced between scans without a restart, data kept where the
// layout allows it, nothing changed when the new text does not compile; and the call
// environment and operand values the program status needs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "softplc/SoftPlc.h"

namespace {

using softplc::Cpu;
using softplc::CpuMode;

const char* kCounting =
    "DATA_BLOCK DB 1\nSTRUCT\n n : INT;\nEND_STRUCT\nBEGIN\nEND_DATA_BLOCK\n"
    "DATA_BLOCK DB 2\nSTRUCT\n a : INT;\n b : INT;\nEND_STRUCT\nBEGIN\nEND_DATA_BLOCK\n"
    "ORGANIZATION_BLOCK OB 100\nBEGIN\n L 77\n T MW 100\nEND_ORGANIZATION_BLOCK\n"
    "ORGANIZATION_BLOCK OB 1\nBEGIN\n L DB1.DBW 0\n + 1\n T DB1.DBW 0\n"
    " L DB2.DBW 0\n + 1\n T DB2.DBW 0\n L MW 20\n + 1\n T MW 20\nEND_ORGANIZATION_BLOCK\n";

TEST(Download, ReplacesTheProgramInRunPWithoutARestartKeepingDataOfTheSameLayout) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"p.awl", kCounting}}).ok);
  cpu.SetMode(CpuMode::RunP);
  for (int i = 0; i < 5; ++i) cpu.RunCycle(10);
  cpu.SetMemoryByte(101, 0);  // OB 100 wrote 77 here; a restart would write it again
  ASSERT_EQ(cpu.DataBlockByte(1, 1), 5);

  // DB 1 keeps its layout, DB 2 gets a member more, OB 1 now counts by ten
  std::string next = kCounting;
  next.replace(next.find(" b : INT;"), 9, " b : INT;\n c : INT;");
  next.replace(next.find(" L MW 20\n + 1"), 13, " L MW 20\n + 10");
  std::string summary;
  const softplc::LoadResult r = cpu.Download({{"p.awl", next}}, {}, {}, &summary);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(cpu.Mode(), CpuMode::RunP);
  EXPECT_EQ(cpu.MemoryByte(101), 0) << "no warm restart";
  EXPECT_EQ(cpu.MemoryByte(21), 5) << "bit memory stays";
  EXPECT_EQ(cpu.DataBlockByte(1, 1), 5) << "same layout: values kept";
  EXPECT_EQ(cpu.DataBlockByte(2, 1), 0) << "new layout: initial values";
  EXPECT_EQ(cpu.DataBlockLength(2), 6);
  EXPECT_NE(summary.find("values kept in DB 1"), std::string::npos) << summary;
  EXPECT_NE(summary.find("initial values in DB 2"), std::string::npos) << summary;
  EXPECT_EQ(cpu.Diagnostics().back().text, "download: " + summary);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(21), 15);
  EXPECT_EQ(cpu.DataBlockByte(1, 1), 6);

  // a text that does not compile changes nothing, in data or in code
  const softplc::LoadResult bad = cpu.Download({{"p.awl", "U E 0.0\nXYZ\n"}}, {}, {});
  EXPECT_FALSE(bad.ok);
  ASSERT_FALSE(bad.errors.empty());
  EXPECT_EQ(bad.errors[0].line, 2);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(21), 25);
  EXPECT_EQ(cpu.DataBlockByte(1, 1), 7);
}

TEST(Download, NamesNewAndRemovedBlocksAndKeepsStop) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"p.awl", "FUNCTION FC 1 : VOID\nBEGIN\n SET\nEND_FUNCTION\n"
                                  "ORGANIZATION_BLOCK OB 1\nBEGIN\n CALL FC 1\nEND_ORGANIZATION_BLOCK\n"}})
                  .ok);
  std::string summary;
  ASSERT_TRUE(cpu.Download({{"p.awl", "FUNCTION FC 2 : VOID\nBEGIN\n SET\nEND_FUNCTION\n"
                                      "ORGANIZATION_BLOCK OB 1\nBEGIN\n CALL FC 2\nEND_ORGANIZATION_BLOCK\n"}},
                           {}, {}, &summary)
                  .ok);
  EXPECT_EQ(cpu.Mode(), CpuMode::Stop);
  EXPECT_EQ(summary, "loaded FC 2, OB 1; new: FC 2; removed FC 1");
}

class Recorder : public softplc::StatusObserver {
 public:
  void OnStatement(const softplc::StatusRecord& r) override { records.push_back(r); }
  void OnScanStart() override { ++scans; }
  std::vector<softplc::StatusRecord> records;
  int scans = 0;
};

TEST(StatusRecords, CarryTheCallEnvironmentAndTheOperandValue) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"fb.awl",
                         "FUNCTION_BLOCK FB 1\nVAR_INPUT\n x : BOOL;\nEND_VAR\nBEGIN\n"
                         " U #x\n = M 0.1\nEND_FUNCTION_BLOCK\n"
                         "DATA_BLOCK DB 5\nFB 1\nBEGIN\nEND_DATA_BLOCK\n"
                         "DATA_BLOCK DB 6\nFB 1\nBEGIN\nEND_DATA_BLOCK\n"
                         "ORGANIZATION_BLOCK OB 1\nBEGIN\n"
                         " CALL FB 1, DB 5 (x := M 0.0);\n"
                         " CALL FB 1, DB 6 (x := E 0.0);\n"
                         " SET\n L S5T#30MS\n SE T 4\nEND_ORGANIZATION_BLOCK\n"}})
                  .ok);
  cpu.SetMemoryByte(0, 1);
  cpu.SetMode(CpuMode::Run);
  Recorder rec;
  cpu.SetStatusObserver(&rec);
  cpu.RunCycle(0);
  EXPECT_EQ(rec.scans, 1);
  std::vector<const softplc::StatusRecord*> fbLine;  // U #x, once per call
  uint32_t firstCall = 0, secondCall = 0;
  for (const softplc::StatusRecord& r : rec.records) {
    const softplc::InstructionPlace w = cpu.Where(r.instruction);
    if (w.block == "FB 1" && w.line == 6) fbLine.push_back(&r);
    if (w.line == 19) firstCall = r.instruction;
    if (w.line == 20) secondCall = r.instruction;
    if (w.block == "OB 1") {
      EXPECT_EQ(r.caller, softplc::StatusRecord::kNoCaller);
    }
    if (w.line == 23) {  // SE T 4 on RLO 1: the timer starts with its 30 ms
      EXPECT_TRUE(r.hasOperand);
      EXPECT_EQ(r.operand, 30u);
    }
  }
  ASSERT_EQ(fbLine.size(), 2u);
  EXPECT_EQ(fbLine[0]->caller, firstCall);
  EXPECT_EQ(fbLine[0]->instanceDb, 5);
  EXPECT_TRUE(fbLine[0]->hasOperand);
  EXPECT_EQ(fbLine[0]->operand, 1u);
  EXPECT_TRUE(fbLine[0]->rlo);
  EXPECT_EQ(fbLine[1]->caller, secondCall);
  EXPECT_EQ(fbLine[1]->instanceDb, 6);
  EXPECT_EQ(fbLine[1]->operand, 0u);
  EXPECT_FALSE(fbLine[1]->rlo);
}

}  // namespace
