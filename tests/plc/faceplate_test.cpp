// The CPU faceplate against the scripted simulator: connection, rack, exchange, state poll and
// mode selector.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/Timer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/FakeSimulator.h"

namespace {

using Calls = std::vector<std::string>;

struct ModeLog {
  std::vector<int> modes;
  void Changed(int mode) { modes.push_back(mode); }
};

class Faceplate : public ::testing::Test {
 protected:
  // Builds the rack the PLC window builds: a faceplate and modules at 124 and 126.
  void Build() {
    cpu = new TCPU(&root, &window, &sim, &clock);
    first = AddModule(124);
    second = AddModule(126);
    cpu->AddModule(first);
    cpu->AddModule(second);
    sim.ClearCalls();
  }
  TIOModule* AddModule(int address) {
    auto* m = new TIOModule(&root);
    m->SetAddress(address);
    m->SetParentWindow(&window);
    return m;
  }
  // Moves the plant clock on by one poll period.
  void Poll() { clock.Advance(TCPU::kPollInterval); }

  TFakeSimulator sim;
  TTimerClock clock;
  TComponent root{nullptr};
  TForm window{&root};
  TCPU* cpu = nullptr;
  TIOModule* first = nullptr;
  TIOModule* second = nullptr;
};

TEST_F(Faceplate, ConnectsUntilTheSimulatorAcceptsThenSetsTheStartupOption) {
  sim.ConnectFailures = 3;
  cpu = new TCPU(&root, &window, &sim, &clock);
  EXPECT_EQ(sim.Calls, (Calls{"ConnectSimulator", "ConnectSimulator", "ConnectSimulator",
                              "ConnectSimulator", "SetStartupOption(1)"}));
  EXPECT_EQ(sim.Pauses, 3);
  EXPECT_EQ(cpu->ConnectAttempts, 4);
  EXPECT_EQ(cpu->CreateResult, kSimOk);
  EXPECT_EQ(cpu->ConnectResult, kSimOk);
  ASSERT_NE(cpu->Simulator(), nullptr);
  EXPECT_TRUE(cpu->ConnectError.empty());
  EXPECT_EQ(cpu->Parent(), &window);
  EXPECT_EQ(cpu->Left(), 0);
  EXPECT_EQ(cpu->Width(), 168);
  EXPECT_EQ(cpu->Height(), 227);
}

TEST_F(Faceplate, GivesUpOnASimulatorThatNeverAnswersAndWorksWithoutIt) {
  sim.ConnectFailures = -1;
  cpu = new TCPU(&root, &window, &sim, &clock);
  EXPECT_EQ(sim.CountCalls("ConnectSimulator"), TCPU::kMaxConnectAttempts);
  EXPECT_EQ(sim.Pauses, TCPU::kMaxConnectAttempts - 1);
  EXPECT_EQ(cpu->Simulator(), nullptr);
  EXPECT_NE(cpu->ConnectResult, kSimOk);
  EXPECT_NE(cpu->ConnectError.find("30 attempts"), std::string::npos) << cpu->ConnectError;
  // The abandoned connection is released, and nothing else is said to it.
  EXPECT_EQ(sim.Calls.back(), "Release");
  EXPECT_EQ(sim.CountCalls("SetStartupOption"), 0);
}

TEST_F(Faceplate, WithoutASimulatorThePollReadsNothingAndForcingStaysAvailable) {
  sim.CreateResult = kSimUnavailable;
  cpu = new TCPU(&root, &window, &sim, &clock);
  first = AddModule(124);
  cpu->AddModule(first);
  first->SetForcingEnabled(false);
  EXPECT_EQ(cpu->Simulator(), nullptr);
  EXPECT_EQ(cpu->CreateResult, kSimUnavailable);
  EXPECT_NE(cpu->ConnectError.find("could not be created"), std::string::npos);
  first->InputPin(0)->SetState(true);
  cpu->Exchange();
  cpu->RunBtn->Click();
  Poll();
  EXPECT_TRUE(sim.Calls.empty());
  EXPECT_FALSE(cpu->Running());
  EXPECT_TRUE(first->ForcingEnabled);
  EXPECT_EQ(cpu->StopLed->Brush.Color(), clYellow);
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clGray);
}

TEST_F(Faceplate, NoBackEndAtAllLeavesNoSimulator) {
  SetActiveSimulatorBackEnd(nullptr);
  cpu = new TCPU(&root, &window, nullptr, &clock);
  EXPECT_EQ(cpu->Simulator(), nullptr);
  EXPECT_FALSE(cpu->ConnectError.empty());
}

TEST_F(Faceplate, ReleasesTheConnectionWhenDestroyed) {
  Build();
  delete cpu;
  EXPECT_EQ(sim.Calls, (Calls{"Release"}));
}

TEST_F(Faceplate, LayoutHasTheNineLedsTheSelectorAndTheSeparator) {
  Build();
  const std::vector<std::string> labels = {"ON",    "BATF", "INTF", "EXTF", "BUSF1",
                                           "BUSF2", "FRCE", "RUN",  "STOP"};
  ASSERT_EQ(cpu->LedLabels.size(), labels.size());
  const TShape* leds[] = {cpu->OnLed,    cpu->BatfLed,  cpu->IntfLed, cpu->ExtfLed, cpu->Busf1Led,
                          cpu->Busf2Led, cpu->FrceLed,  cpu->RunLed,  cpu->StopLed};
  const int tops[] = {40, 60, 94, 114, 132, 151, 170, 189, 208};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(cpu->LedLabels[i]->Caption(), labels[i]);
    EXPECT_EQ(leds[i]->Top(), tops[i]) << labels[i];
    EXPECT_EQ(leds[i]->Left(), i < 2 ? 29 : 11) << labels[i];
    EXPECT_EQ(leds[i]->Width(), 12);
    EXPECT_EQ(leds[i]->Height(), 14);
    // The label stands right of its LED, on the same row.
    EXPECT_GE(cpu->LedLabels[i]->Left(), leds[i]->Left() + leds[i]->Width());
    EXPECT_EQ(cpu->LedLabels[i]->Top(), leds[i]->Top());
    EXPECT_EQ(leds[i]->Brush.Color(), i == 8 ? clYellow : clGray) << labels[i];
  }
  EXPECT_EQ(cpu->Title->Caption(), "SIEMENS");
  EXPECT_EQ(cpu->Title->BoundsRect(), (TRect{3, 3, 73, 21}));
  EXPECT_EQ(cpu->Title->Color(), RGBColor(128, 223, 223));
  EXPECT_TRUE(cpu->Title->Font.Bold());
  EXPECT_EQ(cpu->PsText->Caption(), "PS");
  EXPECT_EQ(cpu->CpuText->Caption(), "CPU");
  EXPECT_EQ(cpu->Separator->Top(), 87);
  EXPECT_EQ(cpu->Separator->Height(), 1);
  EXPECT_EQ(cpu->Separator->Brush.Color(), clWhite);
  EXPECT_EQ(cpu->Selector->BoundsRect(), (TRect{82, 94, 142, 152}));
  EXPECT_EQ(cpu->RunPBtn->Caption(), "RUN-P");
  EXPECT_EQ(cpu->RunBtn->Caption(), "RUN");
  EXPECT_EQ(cpu->StopBtn->Caption(), "STOP");
  EXPECT_TRUE(cpu->StopBtn->Checked());
  EXPECT_FALSE(cpu->RunBtn->Checked());
  EXPECT_EQ(cpu->Brush.Color(), RGBColor(100, 100, 100));
  EXPECT_EQ(cpu->Timer->Interval(), 100u);
}

TEST_F(Faceplate, RackPlacesModulesLeftToRightOnePixelApart) {
  Build();
  ASSERT_EQ(cpu->Modules(), (std::vector<TIOModule*>{first, second}));
  EXPECT_EQ(first->RackLeft, 169);
  EXPECT_EQ(second->RackLeft, 169 + 168 + 1);
  EXPECT_EQ(first->RackTop, cpu->Top());
  EXPECT_EQ(second->Left(), 338);
}

TEST_F(Faceplate, RackRefusesDuplicatesAndOverlappingModules) {
  Build();
  cpu->AddModule(first);
  // 123 would take byte 124 of the first module; 125 would take byte 125 of it, and 127 byte
  // 127 of the second. None of them may stand in the rack.
  TIOModule* low = AddModule(123);
  TIOModule* mid = AddModule(125);
  TIOModule* high = AddModule(127);
  cpu->AddModule(low);
  cpu->AddModule(mid);
  cpu->AddModule(high);
  cpu->AddModule(nullptr);
  EXPECT_EQ(cpu->Modules(), (std::vector<TIOModule*>{first, second}));
  TIOModule* next = AddModule(128);
  cpu->AddModule(next);
  EXPECT_EQ(cpu->Modules().size(), 3u);
  EXPECT_EQ(next->RackLeft, 338 + 168 + 1);
}

TEST_F(Faceplate, ExchangeWritesEachModuleAsOneWordHighByteFirst) {
  Build();
  first->InputPin(0)->SetState(true);   // E124.0
  first->InputPin(15)->SetState(true);  // E125.7
  cpu->Exchange();
  EXPECT_EQ(sim.Calls, (Calls{"WriteInputWord(124,0,384)", "WriteInputWord(126,0,0)"}));
  second->InputPin(8)->SetState(true);  // E127.0
  second->InputPin(7)->SetState(true);  // E126.7
  cpu->Exchange();
  EXPECT_EQ(sim.InputWords[126], 0x8001);
}

TEST_F(Faceplate, WhileStoppedExchangeOnlyWritesAndForcedOutputsStay) {
  Build();
  sim.OutputWords[124] = 0xFFFF;
  first->OutputPins[3]->SetState(true);  // forced by the user
  cpu->Exchange();
  EXPECT_EQ(sim.Calls, (Calls{"WriteInputWord(124,0,0)", "WriteInputWord(126,0,0)"}));
  EXPECT_TRUE(first->OutputPins[3]->State);
  EXPECT_FALSE(first->OutputPins[4]->State);
}

TEST_F(Faceplate, WhileRunningExchangeWritesAllRunsOneCycleThenReadsAll) {
  Build();
  sim.StateScript = {"RUN"};
  Poll();
  ASSERT_TRUE(cpu->Running());
  sim.ClearCalls();
  sim.OutputWords[124] = 0x8001;
  sim.OutputWords[126] = 0x0100;
  first->OutputPins[3]->SetState(true);
  cpu->Exchange();
  EXPECT_EQ(sim.Calls, (Calls{"WriteInputWord(124,0,0)", "WriteInputWord(126,0,0)", "RunCycle",
                              "ReadOutputWord(124,0,2)", "ReadOutputWord(126,0,2)"}));
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(first->OutputPins[static_cast<std::size_t>(i)]->State, i == 7 || i == 8) << i;
  // 0x0100 is byte 126 = 1, byte 127 = 0.
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(second->OutputPins[static_cast<std::size_t>(i)]->State, i == 0) << i;
}

TEST_F(Faceplate, ExchangeDrivesOutputsLowestBitFirst) {
  Build();
  sim.StateScript = {"RUN"};
  Poll();
  std::vector<int> order;
  struct Probe {
    std::vector<int>* order;
    int index;
    void Changed(bool, void*) { order->push_back(index); }
  };
  TInputPin receivers[16];
  std::vector<Probe> probes;
  probes.reserve(16);
  for (int i = 0; i < 16; ++i) {
    probes.push_back(Probe{&order, i});
    receivers[i].OnChange = TPinChangeEvent(&probes.back(), &Probe::Changed);
    first->ConnectOutputPin(i, &receivers[i]);
  }
  sim.OutputWords[124] = 0x8181;  // byte 124 = 0x81 (bits 0, 7), byte 125 = 0x81
  cpu->Exchange();
  EXPECT_EQ(order, (std::vector<int>{0, 7, 8, 15}));
}

TEST_F(Faceplate, StateSequenceRaisesOneEventPerChange) {
  Build();
  ModeLog log;
  cpu->OnStateChange = TStateChangeEvent(&log, &ModeLog::Changed);
  sim.StateScript = {"STOP", "RUN", "RUN"};
  Poll();
  EXPECT_EQ(cpu->LastState(), "STOP");
  EXPECT_FALSE(cpu->Running());
  // The selector already stood at STOP: no click, no request.
  EXPECT_EQ(sim.CountCalls("RequestCpuState"), 0);
  Poll();
  EXPECT_TRUE(cpu->Running());
  EXPECT_TRUE(cpu->RunBtn->Checked());
  EXPECT_FALSE(cpu->StopBtn->Checked());
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clLime);
  EXPECT_EQ(cpu->StopLed->Brush.Color(), clGray);
  // The poll moved the selector, which counts as a click and repeats the state it shows.
  EXPECT_EQ(sim.CountCalls("RequestCpuState(RUN)"), 1);
  Poll();
  EXPECT_EQ(log.modes, (std::vector<int>{0, 1}));
  EXPECT_EQ(sim.CountCalls("ReadCpuState"), 3);
  EXPECT_EQ(sim.CountCalls("RequestCpuState"), 1);
}

TEST_F(Faceplate, EachStateTextSetsItsLedsSelectorAndMode) {
  Build();
  ModeLog log;
  cpu->OnStateChange = TStateChangeEvent(&log, &ModeLog::Changed);
  sim.FollowRequests = false;
  sim.StateScript = {"RUN_P", "MRES", "STOP", "HALT"};
  Poll();
  EXPECT_TRUE(cpu->RunPBtn->Checked());
  EXPECT_TRUE(cpu->Running());
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clLime);
  Poll();  // MRES: the selector stays, the CPU counts as stopped, INTF lights red
  EXPECT_TRUE(cpu->RunPBtn->Checked());
  EXPECT_FALSE(cpu->Running());
  EXPECT_EQ(cpu->IntfLed->Brush.Color(), clRed);
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clGray);
  EXPECT_EQ(cpu->StopLed->Brush.Color(), clGray);
  Poll();  // STOP
  EXPECT_TRUE(cpu->StopBtn->Checked());
  EXPECT_EQ(cpu->IntfLed->Brush.Color(), clGray);
  EXPECT_EQ(cpu->StopLed->Brush.Color(), clYellow);
  Poll();  // an unknown text changes nothing visible
  EXPECT_TRUE(cpu->StopBtn->Checked());
  EXPECT_EQ(cpu->StopLed->Brush.Color(), clYellow);
  EXPECT_EQ(cpu->IntfLed->Brush.Color(), clGray);
  EXPECT_EQ(cpu->LastState(), "HALT");
  EXPECT_EQ(log.modes, (std::vector<int>{2, 0, 0, 0}));
  // The STOP position asks for STOP, never for a memory reset.
  EXPECT_EQ(sim.CountCalls("RequestCpuState(MRES)"), 0);
  EXPECT_EQ(sim.CountCalls("RequestCpuState(STOP)"), 1);
}

TEST_F(Faceplate, SelectorRequestsTheStateAndTheLedsFollowOnlyAtThePoll) {
  Build();
  cpu->RunPBtn->Click();
  EXPECT_EQ(sim.Calls, (Calls{"RequestCpuState(RUN_P)"}));
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clGray);
  EXPECT_FALSE(cpu->Running());
  clock.Advance(99);
  EXPECT_FALSE(cpu->Running());
  clock.Advance(1);
  EXPECT_TRUE(cpu->Running());
  EXPECT_EQ(cpu->RunLed->Brush.Color(), clLime);
  sim.ClearCalls();
  cpu->RunPBtn->Click();  // already selected: nothing new
  cpu->StopBtn->Click();
  cpu->RunBtn->Click();
  EXPECT_EQ(sim.Calls, (Calls{"RequestCpuState(STOP)", "RequestCpuState(RUN)"}));
}

TEST_F(Faceplate, EveryPollAllowsForcingExactlyWhileTheCpuDoesNotRun) {
  Build();
  Poll();
  EXPECT_TRUE(first->ForcingEnabled);
  EXPECT_TRUE(second->ForcingEnabled);
  sim.State = "RUN";
  Poll();
  EXPECT_FALSE(first->ForcingEnabled);
  // Even without a state change the poll re-applies the rule.
  first->SetForcingEnabled(true);
  Poll();
  EXPECT_FALSE(first->ForcingEnabled);
  EXPECT_FALSE(second->ForcingEnabled);
}

TEST_F(Faceplate, PowerOnClearsEveryOutputPowerOffChangesNothing) {
  Build();
  first->OutputPins[2]->SetState(true);
  second->OutputPins[9]->SetState(true);
  cpu->SetPower(false);
  EXPECT_TRUE(first->OutputPins[2]->State);
  cpu->SetPower(true);
  EXPECT_FALSE(first->OutputPins[2]->State);
  EXPECT_FALSE(second->OutputPins[9]->State);
}

}  // namespace
