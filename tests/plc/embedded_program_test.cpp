// The PLC window coupled to the embedded soft PLC running real STL: the program answers the
// plant through ExchangeImage, and its timers run on plant time.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/Timer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/EmbeddedPlc.h"
#include "plc/PLCFormSource.h"

namespace {

class EmbeddedProgram : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    const softplc::LoadResult r = embedded.Cpu().Load({{"test.awl", text}});
    ASSERT_TRUE(r.ok) << (r.errors.empty() ? std::string() : r.errors[0].text);
  }
  // One plant tick: 50 ms pass, then the exchange, as the main window's timer does it.
  void Tick() {
    clock.Advance(50);
    plc->ExchangeImage();
  }
  void SetUp() override { plc = new TPLC(&root, &embedded, &clock); }

  TTimerClock clock;
  TEmbeddedPlc embedded{&clock};
  TComponent root{nullptr};
  TPLC* plc = nullptr;
};

TEST_F(EmbeddedProgram, CopiesAnInputToAnOutputWithinOneTickOnceAtRun) {
  Load("      U     E 124.1\n      =     A 124.0\n");
  TInputPin* subir = plc->GetInputPin(124, 1);
  TOutputPin* km1 = plc->FirstModule->OutputPins[0];
  subir->SetState(true);
  Tick();
  Tick();
  EXPECT_FALSE(km1->State);  // STOP: the inputs reach the CPU, nothing runs
  EXPECT_EQ(embedded.Cpu().InputByte(124), 0x02);

  plc->Faceplate->RunBtn->Click();
  EXPECT_EQ(embedded.Cpu().Mode(), softplc::CpuMode::Run);
  Tick();
  EXPECT_FALSE(km1->State);  // the faceplate has not seen RUN yet
  Tick();                    // 100 ms: the poll saw RUN, the next exchange scans
  EXPECT_TRUE(plc->Faceplate->Running());
  EXPECT_TRUE(km1->State);
  subir->SetState(false);
  Tick();
  EXPECT_FALSE(km1->State);
  subir->SetState(true);
  Tick();
  EXPECT_TRUE(km1->State);
  EXPECT_GT(embedded.Cpu().CycleCount(), 0u);

  plc->Faceplate->StopBtn->Click();
  clock.Advance(100);
  EXPECT_FALSE(plc->Faceplate->Running());
  subir->SetState(false);
  Tick();
  EXPECT_TRUE(km1->State);  // stopped: the outputs stay as they were
}

TEST_F(EmbeddedProgram, TimersRunOnPlantTime) {
  Load("      U     E 124.1\n      L     S5T#200MS\n      SE    T 1\n      U     T 1\n"
       "      =     A 125.7\n");
  plc->Faceplate->RunPBtn->Click();
  clock.Advance(100);
  ASSERT_TRUE(plc->Faceplate->Running());
  TOutputPin* out = plc->FirstModule->OutputPins[15];
  plc->GetInputPin(124, 1)->SetState(true);
  Tick();  // the timer starts
  int ticks = 0;
  while (!out->State && ticks < 20) {
    Tick();
    ++ticks;
  }
  // 200 ms of plant time are four ticks of 50 ms, however fast the wall clock runs.
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(embedded.LastElapsedMs(), 50u);
}

TEST_F(EmbeddedProgram, ARefusedProgramLeavesTheRunningOneInPlace) {
  Load("      U     E 124.1\n      =     A 124.0\n");
  const std::string path = testing::TempDir() + "torvane_refused.awl";
  {
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("      U     E 124.1\n      =     A 124.0\n      XYZZY M 0.0\n", f);
    std::fclose(f);
  }
  const softplc::LoadResult r = embedded.LoadProgram(path);
  EXPECT_FALSE(r.ok);
  ASSERT_FALSE(embedded.LoadMessages().empty());
  EXPECT_EQ(embedded.LoadMessages()[0].line, 3);
  EXPECT_TRUE(embedded.ProgramPath().empty());
  EXPECT_TRUE(embedded.Cpu().HasProgram());
  // The old program still answers.
  plc->Faceplate->RunBtn->Click();
  clock.Advance(100);
  plc->GetInputPin(124, 1)->SetState(true);
  Tick();
  EXPECT_TRUE(plc->FirstModule->OutputPins[0]->State);
  std::remove(path.c_str());
}

TEST_F(EmbeddedProgram, ReloadReadsTheFileAgain) {
  const std::string path = testing::TempDir() + "torvane_reload.awl";
  auto write = [&](const char* text) {
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text, f);
    std::fclose(f);
  };
  write("      U     E 124.1\n      =     A 124.0\n");
  ASSERT_TRUE(embedded.LoadProgram(path).ok);
  EXPECT_EQ(embedded.ProgramPath(), path);
  write("      U     E 124.1\n      =     A 124.3\n");
  ASSERT_TRUE(embedded.Reload().ok);
  plc->Faceplate->RunBtn->Click();
  clock.Advance(100);
  plc->GetInputPin(124, 1)->SetState(true);
  Tick();
  EXPECT_FALSE(plc->FirstModule->OutputPins[0]->State);
  EXPECT_TRUE(plc->FirstModule->OutputPins[3]->State);
  std::remove(path.c_str());
}

}  // namespace
