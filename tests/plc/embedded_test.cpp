// The embedded back end's side of the simulator interface: word order, argument checks,
// connection life and the plant time handed to the CPU.
#include <gtest/gtest.h>

#include <string>

#include "framework/Timer.h"
#include "plc/EmbeddedPlc.h"

namespace {

class Embedded : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(plc.CreateInstance(sim), kSimOk);
    ASSERT_EQ(sim->ConnectSimulator(), kSimOk);
  }
  TTimerClock clock;
  TEmbeddedPlc plc{&clock};
  std::unique_ptr<IS7ProSim> sim;
};

TEST_F(Embedded, WordsCarryTheFirstByteInTheHighHalf) {
  EXPECT_EQ(sim->WriteInputWord(124, 0, 0x8001), kSimOk);
  EXPECT_EQ(plc.Cpu().InputByte(124), 0x80);
  EXPECT_EQ(plc.Cpu().InputByte(125), 0x01);
  plc.Cpu().SetOutputByte(126, 0x12);
  plc.Cpu().SetOutputByte(127, 0xA4);
  std::uint16_t w = 0;
  EXPECT_EQ(sim->ReadOutputWord(126, 0, kSimTypeWord, w), kSimOk);
  EXPECT_EQ(w, 0x12A4);
  EXPECT_EQ(sim->ReadOutputWord(127, 0, kSimTypeByte, w), kSimOk);
  EXPECT_EQ(w, 0xA4);
  EXPECT_EQ(sim->ReadOutputWord(127, 2, kSimTypeBit, w), kSimOk);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(sim->ReadOutputWord(127, 0, kSimTypeBit, w), kSimOk);
  EXPECT_EQ(w, 0);
}

TEST_F(Embedded, BadArgumentsAreRefusedAndChangeNothing) {
  std::uint16_t w = 77;
  EXPECT_EQ(sim->WriteInputWord(124, 3, 0xFFFF), kSimInvalidArg);
  EXPECT_EQ(sim->WriteInputWord(-1, 0, 0xFFFF), kSimInvalidArg);
  EXPECT_EQ(sim->WriteInputWord(softplc::Cpu::kInputBytes - 1, 0, 0xFFFF), kSimInvalidArg);
  EXPECT_EQ(plc.Cpu().InputByte(124), 0);
  EXPECT_EQ(plc.Cpu().InputByte(softplc::Cpu::kInputBytes - 1), 0);
  EXPECT_EQ(sim->ReadOutputWord(124, 0, 7, w), kSimInvalidArg);
  EXPECT_EQ(sim->ReadOutputWord(124, 8, kSimTypeBit, w), kSimInvalidArg);
  EXPECT_EQ(sim->ReadOutputWord(softplc::Cpu::kOutputBytes - 1, 0, kSimTypeWord, w),
            kSimInvalidArg);
  EXPECT_EQ(w, 77);
  EXPECT_EQ(sim->RequestCpuState("PAUSE"), kSimInvalidArg);
  EXPECT_EQ(sim->RequestCpuState("run"), kSimInvalidArg);
  std::string state;
  EXPECT_EQ(sim->ReadCpuState(state), kSimOk);
  EXPECT_EQ(state, "STOP");
}

TEST_F(Embedded, CallsOutsideAConnectionFail) {
  std::unique_ptr<IS7ProSim> other;
  ASSERT_EQ(plc.CreateInstance(other), kSimOk);
  std::string state = "untouched";
  EXPECT_EQ(other->ReadCpuState(state), kSimNotConnected);
  EXPECT_EQ(state, "untouched");
  EXPECT_EQ(other->WriteInputWord(124, 0, 1), kSimNotConnected);
  EXPECT_EQ(other->RunCycle(), kSimNotConnected);
  EXPECT_EQ(plc.Connections(), 1);
  ASSERT_EQ(other->ConnectSimulator(), kSimOk);
  EXPECT_EQ(plc.Connections(), 2);
  other->Release();
  other->Release();
  EXPECT_EQ(plc.Connections(), 1);
  EXPECT_EQ(other->RequestCpuState("RUN"), kSimNotConnected);
  other.reset();
  EXPECT_EQ(plc.Connections(), 1);
  sim.reset();  // destroying an open connection closes it
  EXPECT_EQ(plc.Connections(), 0);
}

TEST_F(Embedded, RequestedStatesAreReadBack) {
  std::string state;
  for (const char* s : {"RUN_P", "RUN", "STOP"}) {
    ASSERT_EQ(sim->RequestCpuState(s), kSimOk);
    ASSERT_EQ(sim->ReadCpuState(state), kSimOk);
    EXPECT_EQ(state, s);
  }
}

TEST_F(Embedded, EachScanGetsThePlantTimeSinceThePreviousOne) {
  plc.SetMode(softplc::CpuMode::Run);
  clock.Advance(50);
  ASSERT_EQ(sim->RunCycle(), kSimOk);
  EXPECT_EQ(plc.LastElapsedMs(), 50u);
  clock.Advance(30);
  sim->RunCycle();
  EXPECT_EQ(plc.LastElapsedMs(), 30u);
  sim->RunCycle();
  EXPECT_EQ(plc.LastElapsedMs(), 0u);
  // Time spent in STOP does not count: the first scan after RUN sees only the time since RUN.
  sim->RequestCpuState("STOP");
  clock.Advance(5000);
  sim->RequestCpuState("RUN");
  clock.Advance(20);
  sim->RunCycle();
  EXPECT_EQ(plc.LastElapsedMs(), 20u);
  // Asking for RUN while already running does not restart the count.
  clock.Advance(10);
  sim->RequestCpuState("RUN_P");
  clock.Advance(10);
  sim->RunCycle();
  EXPECT_EQ(plc.LastElapsedMs(), 20u);
  EXPECT_LE(plc.LastScanNs(), plc.MaxScanNs());
}

TEST_F(Embedded, ReloadWithoutAFileSaysSo) {
  const softplc::LoadResult r = plc.Reload();
  EXPECT_FALSE(r.ok);
  ASSERT_EQ(plc.LoadMessages().size(), 1u);
  EXPECT_NE(plc.LoadMessages()[0].text.find("No program file"), std::string::npos);
  EXPECT_TRUE(plc.ProgramPath().empty());
}

TEST_F(Embedded, TheSimulatorWindowIsAlwaysThere) {
  EXPECT_EQ(plc.FindWindow(), &plc.Window);
  EXPECT_EQ(plc.Name(), "embedded");
}

}  // namespace
