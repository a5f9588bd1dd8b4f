// Forcing and modifying from outside the program: who wins over whom, when a modification lands,
// and what ends a force.
#include <gtest/gtest.h>

#include "softplc/SoftPlc.h"

namespace {

using softplc::ByteArea;
using softplc::Cpu;
using softplc::CpuMode;

// Copies E0.0 to A0.0, sets A0.1, counts cycles in MW10 and mirrors the input byte into MB20.
constexpr const char* kProgram =
    "  U E 0.0\n  = A 0.0\n  SET\n  = A 0.1\n"
    "  L MW 10\n  + 1\n  T MW 10\n  L EB 0\n  T MB 20\n";

void Running(Cpu& cpu) {
  ASSERT_TRUE(cpu.Load({{"f.awl", kProgram}}).ok);
  cpu.SetMode(CpuMode::Run);
}

TEST(Forcing, AForcedInputWinsOverThePlantAndTheProgramSeesIt) {
  Cpu cpu;
  Running(cpu);
  ASSERT_TRUE(cpu.Force(ByteArea::Input, 0, 0x01, 0x01));
  EXPECT_TRUE(cpu.HasForces());
  cpu.SetInputByte(0, 0x00);  // the plant says 0
  EXPECT_EQ(cpu.InputByte(0), 0x01);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x01);
  // only the forced bit is held; the others follow the plant
  cpu.SetInputByte(0, 0xF0);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(20), 0xF1);
  // forced to 0 against a plant that says 1
  ASSERT_TRUE(cpu.Force(ByteArea::Input, 0, 0x01, 0x00));
  cpu.SetInputByte(0, 0xFF);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x00);
  cpu.Unforce(ByteArea::Input, 0, 0x01);
  EXPECT_FALSE(cpu.HasForces());
  cpu.SetInputByte(0, 0x01);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x01);
}

TEST(Forcing, AForcedOutputWinsOverTheProgramAndIsWhatIsRead) {
  Cpu cpu;
  Running(cpu);
  ASSERT_TRUE(cpu.Force(ByteArea::Output, 0, 0x02, 0x00));  // the program sets A0.1 every cycle
  ASSERT_TRUE(cpu.Force(ByteArea::Output, 1, 0x80, 0x80));
  EXPECT_EQ(cpu.OutputByte(1), 0x80);  // at once, before any cycle
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x02, 0x00);
  EXPECT_EQ(cpu.OutputByte(1), 0x80);
  EXPECT_EQ(cpu.ForcedMask(ByteArea::Output, 0), 0x02);
  const auto forces = cpu.Forces();
  ASSERT_EQ(forces.size(), 2u);
  EXPECT_EQ(forces[1].byte, 1);
  EXPECT_EQ(forces[1].value, 0x80);
  // a write from outside cannot beat it either
  cpu.SetOutputByte(1, 0x00);
  EXPECT_EQ(cpu.OutputByte(1), 0x80);
  // markers and data blocks cannot be forced, nor addresses out of range
  EXPECT_FALSE(cpu.Force(ByteArea::Memory, 0, 1, 1));
  EXPECT_FALSE(cpu.Force(ByteArea::Input, Cpu::kInputBytes, 1, 1));
  EXPECT_FALSE(cpu.Force(ByteArea::Output, -1, 1, 1));
}

TEST(Forcing, ForcesOutliveStopAndRunAndEndOnMemoryResetOrUnforceAll) {
  Cpu cpu;
  Running(cpu);
  cpu.Force(ByteArea::Input, 0, 0x01, 0x01);
  cpu.Force(ByteArea::Output, 2, 0x0F, 0x05);
  cpu.SetMode(CpuMode::Stop);
  cpu.SetMode(CpuMode::Run);  // the warm restart clears the outputs, not the forces
  EXPECT_TRUE(cpu.HasForces());
  EXPECT_EQ(cpu.OutputByte(2), 0x05);
  cpu.SetInputByte(0, 0);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x01);

  cpu.SetMode(CpuMode::MRes);
  EXPECT_FALSE(cpu.HasForces());
  EXPECT_TRUE(cpu.Forces().empty());
  EXPECT_EQ(cpu.OutputByte(2), 0x00);

  cpu.SetMode(CpuMode::Run);
  cpu.Force(ByteArea::Output, 3, 0xFF, 0xAA);
  cpu.UnforceAll();
  EXPECT_FALSE(cpu.HasForces());
  cpu.RunCycle(10);
  cpu.SetInputByte(0, 0);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x00);
}

TEST(Modifying, AValueIsWrittenOnceAtTheNextCycleBeforeTheProgram) {
  Cpu cpu;
  Running(cpu);
  cpu.RunCycle(10);
  ASSERT_EQ(cpu.MemoryByte(11), 1);
  ASSERT_TRUE(cpu.Modify(ByteArea::Memory, 0, 10, 0xFF, 0x01));  // MW10 := 0x0100 before +1
  ASSERT_TRUE(cpu.Modify(ByteArea::Memory, 0, 11, 0xFF, 0x00));
  EXPECT_EQ(cpu.MemoryByte(11), 1);  // not before the cycle control point
  EXPECT_EQ(cpu.PendingModifies(), 2u);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.MemoryByte(10), 0x01);
  EXPECT_EQ(cpu.MemoryByte(11), 0x01);
  EXPECT_EQ(cpu.PendingModifies(), 0u);
  cpu.RunCycle(10);  // once only: the program counts on from there
  EXPECT_EQ(cpu.MemoryByte(11), 0x02);

  // a modified input lasts one cycle: the plant writes it again before the next
  ASSERT_TRUE(cpu.Modify(ByteArea::Input, 0, 0, 0x01, 0x01));
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x01);
  // a force wins over a modification
  cpu.Force(ByteArea::Input, 0, 0x01, 0x00);
  cpu.Modify(ByteArea::Input, 0, 0, 0x01, 0x01);
  cpu.RunCycle(10);
  EXPECT_EQ(cpu.OutputByte(0) & 0x01, 0x00);
}

TEST(Modifying, InStopTheValueIsWrittenAtOnceAndBadAddressesAreRefused) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"d.awl", "DATA_BLOCK DB 1\nSTRUCT\n  a : WORD;\nEND_STRUCT;\nBEGIN\n"
                                   "END_DATA_BLOCK\nORGANIZATION_BLOCK OB 1\nBEGIN\n  NOP 0\n"
                                   "END_ORGANIZATION_BLOCK\n"}}).ok);
  ASSERT_TRUE(cpu.Modify(ByteArea::Memory, 0, 5, 0x0F, 0xFF));
  EXPECT_EQ(cpu.MemoryByte(5), 0x0F);
  ASSERT_TRUE(cpu.Modify(ByteArea::DataBlock, 1, 1, 0xFF, 0x42));
  EXPECT_EQ(cpu.DataBlockByte(1, 1), 0x42);
  EXPECT_FALSE(cpu.Modify(ByteArea::DataBlock, 1, 2, 0xFF, 1));
  EXPECT_FALSE(cpu.Modify(ByteArea::DataBlock, 2, 0, 0xFF, 1));
  EXPECT_FALSE(cpu.Modify(ByteArea::Memory, 0, Cpu::kMemoryBytes, 0xFF, 1));
  EXPECT_EQ(cpu.PendingModifies(), 0u);
}

TEST(TimerView, ATimerReportsItsBaseRunningStateAndOutput) {
  Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"t.awl", "  SET\n  L S5T#2S\n  SE T 3\n  U T 3\n  = A 0.0\n"}}).ok);
  cpu.SetMode(CpuMode::Run);
  cpu.RunCycle(0);
  softplc::TimerInfo t = cpu.Timer(3);
  EXPECT_TRUE(t.running);
  EXPECT_FALSE(t.q);
  EXPECT_EQ(t.baseMs, 10);
  EXPECT_EQ(t.units, 200);
  cpu.RunCycle(2000);
  t = cpu.Timer(3);
  EXPECT_FALSE(t.running);
  EXPECT_TRUE(t.q);
  EXPECT_EQ(t.units, 0);
  EXPECT_FALSE(cpu.Timer(-1).running);
}

TEST(TimerView, TheTimersAndCountersInUseAreThoseTheProgramNames) {
  Cpu cpu;
  EXPECT_TRUE(cpu.TimersInUse().empty());
  ASSERT_TRUE(cpu.Load({{"u.awl", "  U E 0.0\n  L S5T#1S\n  SI T 7\n  U T 2\n  ZV Z 4\n"
                                   "  L Z 4\n  R T 7\n  L 5\n  T MW 0\n"}}).ok);
  EXPECT_EQ(cpu.TimersInUse(), (std::vector<int>{2, 7}));
  EXPECT_EQ(cpu.CountersInUse(), (std::vector<int>{4}));
}

}  // namespace
