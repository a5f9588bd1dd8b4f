// The PLC window's logic against the scripted simulator: start-up, the rack, bit lookup,
// naming, fault tests, simulation control and the simulator window's visibility.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Timer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/FakeSimulator.h"
#include "plc/PLCFormSource.h"

namespace {

struct EventLog {
  std::vector<int> tests;
  std::vector<std::string> modes;
  void Test(int index) { tests.push_back(index); }
  void Auto(TObject* sender) { modes.push_back(sender != nullptr ? "auto" : "auto(null)"); }
  void Manual(TObject* sender) { modes.push_back(sender != nullptr ? "manual" : "manual(null)"); }
};

class PlcWindow : public ::testing::Test {
 protected:
  void SetUp() override { plc = new TPLC(&root, &sim, &clock); }
  void Poll() { clock.Advance(TCPU::kPollInterval); }
  // The CPU state the simulator reports from the next poll on.
  void CpuGoes(const char* state) {
    sim.State = state;
    Poll();
  }

  TFakeSimulator sim;
  TTimerClock clock;
  TComponent root{nullptr};
  TPLC* plc = nullptr;
};

TEST(PlcWindowStartup, RefusesToExistWithoutARunningSimulator) {
  TFakeSimulator sim;
  sim.Running = false;
  TTimerClock clock;
  TComponent root(nullptr);
  try {
    new TPLC(&root, &sim, &clock);
    FAIL() << "no error raised";
  } catch (const EPLCSimNotRunning& e) {
    EXPECT_STREQ(e.what(), "PLCSim must be executed before the simulation");
    EXPECT_NE(e.Detail.find("not running"), std::string::npos) << e.Detail;
  }
  // Nothing was left behind, and the simulator was never asked to connect.
  EXPECT_TRUE(root.Components().empty());
  EXPECT_EQ(sim.Instances, 0);
}

TEST(PlcWindowStartup, RefusesToExistWhenTheSimulatorCannotBeReached) {
  TFakeSimulator sim;
  sim.ConnectFailures = -1;
  TTimerClock clock;
  TComponent root(nullptr);
  try {
    new TPLC(&root, &sim, &clock);
    FAIL() << "no error raised";
  } catch (const EPLCSimNotRunning& e) {
    EXPECT_STREQ(e.what(), kPlcSimMissingMessage);
    EXPECT_NE(e.Detail.find("attempts"), std::string::npos) << e.Detail;
  }
  EXPECT_TRUE(root.Components().empty());
  EXPECT_EQ(sim.CountCalls("ConnectSimulator"), TCPU::kMaxConnectAttempts);
  // A late poll must not reach anything that was torn down.
  clock.Advance(1000);
  EXPECT_EQ(sim.CountCalls("ReadCpuState"), 0);
}

TEST(PlcWindowStartup, RefusesToExistWhenTheSimulatorCannotBeCreated) {
  TFakeSimulator sim;
  sim.CreateResult = kSimFail;
  TComponent root(nullptr);
  EXPECT_THROW(new TPLC(&root, &sim), EPLCSimNotRunning);
}

TEST(PlcWindowStartup, UsesTheActiveBackEndWhenNoneIsGiven) {
  TFakeSimulator sim;
  TTimerClock clock;
  SetActiveSimulatorBackEnd(&sim);
  {
    TComponent root(nullptr);
    auto* plc = new TPLC(&root, nullptr, &clock);
    EXPECT_EQ(plc->SimWindow, &sim.Window);
  }
  SetActiveSimulatorBackEnd(nullptr);
  TComponent root(nullptr);
  EXPECT_THROW(new TPLC(&root, nullptr, &clock), EPLCSimNotRunning);
}

TEST_F(PlcWindow, ConstructionBuildsTheWindowAndTheRack) {
  EXPECT_EQ(plc->Caption(), "PLC");
  EXPECT_EQ(plc->FormStyle(), fsStayOnTop);
  EXPECT_EQ(plc->BorderStyle(), bsSizeToolWin);
  EXPECT_EQ(plc->Left(), 0);
  EXPECT_EQ(plc->Top(), 0);
  EXPECT_TRUE(sim.Window.Visible());
  EXPECT_EQ(plc->ModuleDir(), 124);
  EXPECT_EQ(plc->FirstModule->Address, 124);
  EXPECT_EQ(plc->SecondModule->Address, 126);
  // The rack: faceplate at the left edge, the two modules beside it.
  EXPECT_EQ(plc->Faceplate->Parent(), plc);
  EXPECT_EQ(plc->FirstModule->Parent(), plc);
  EXPECT_EQ(plc->Faceplate->Left(), 0);
  EXPECT_EQ(plc->FirstModule->Left(), 169);
  EXPECT_EQ(plc->SecondModule->Left(), 338);
  EXPECT_EQ(plc->Faceplate->Modules(),
            (std::vector<TIOModule*>{plc->FirstModule, plc->SecondModule}));
  // Rack and About window belong to the window's owner.
  EXPECT_EQ(plc->Faceplate->Owner(), &root);
  EXPECT_EQ(plc->FirstModule->Owner(), &root);
  EXPECT_EQ(plc->AboutBox->Owner(), &root);
  EXPECT_FALSE(plc->AboutBox->Visible());
  // The window holds the rack and the strip below it.
  EXPECT_EQ(plc->ControlBox->BoundsRect(), (TRect{0, 231, 486, 356}));
  EXPECT_EQ(plc->Width(), 338 + 168);
  EXPECT_EQ(plc->Height(), 356);
}

TEST_F(PlcWindow, ControlStripStartsAsDesigned) {
  EXPECT_EQ(plc->PowerONBtn->Caption(), "ON");
  EXPECT_EQ(plc->PowerOFFBtn->Caption(), "OFF");
  EXPECT_EQ(plc->PowerBox->Caption(), "POWER");
  EXPECT_TRUE(plc->PowerONBtn->Down());
  EXPECT_FALSE(plc->PowerOFFBtn->Down());
  EXPECT_FALSE(plc->PowerBox->Enabled());
  EXPECT_EQ(plc->SimControlBox->Caption(), "Sim. Control");
  EXPECT_EQ(plc->AutoBtn->Caption(), "AUTO");
  EXPECT_EQ(plc->ManBtn->Caption(), "MANUAL");
  EXPECT_TRUE(plc->ManBtn->Down());
  EXPECT_FALSE(plc->AutoBtn->Down());
  EXPECT_TRUE(plc->AutoBtn->Flat());
  EXPECT_EQ(plc->RestartBox->Caption(), "Restart");
  EXPECT_EQ(plc->RadioButton2->Caption(), "Cold");
  EXPECT_EQ(plc->RadioButton1->Caption(), "Warm");
  EXPECT_EQ(plc->RadioButton3->Caption(), "Hot");
  EXPECT_FALSE(plc->RadioButton1->Enabled());
  EXPECT_FALSE(plc->RadioButton2->Enabled());
  EXPECT_FALSE(plc->RadioButton3->Enabled());
  EXPECT_EQ(plc->BitBtn1->Caption(), "About");
  EXPECT_TRUE(plc->BitBtn1->Enabled());
  EXPECT_EQ(plc->TestLabel->Caption(), "TEST:");
  EXPECT_EQ(plc->TestCbx->Count(), 0);
  EXPECT_EQ(plc->TestCbx->Style(), csDropDownList);
  EXPECT_FALSE(plc->TestCbx->AutoComplete());
  EXPECT_FALSE(plc->TestCbx->Enabled());
  EXPECT_EQ(plc->TestExeBtn->Caption(), "Execute");
  EXPECT_FALSE(plc->TestExeBtn->Enabled());
  EXPECT_EQ(plc->DescriptionEdt->Text(), "Description");
  EXPECT_EQ(plc->DescriptionEdt->Width(), 281);
  EXPECT_EQ(plc->DescriptionEdt->Height(), 85);
  EXPECT_TRUE(plc->DescriptionEdt->ReadOnly());
  EXPECT_FALSE(plc->DescriptionEdt->Enabled());
  EXPECT_EQ(plc->HideCheckBox->Caption(), "Hide PLCSim");
  EXPECT_FALSE(plc->HideCheckBox->Checked());
  EXPECT_EQ(plc->OnTopCheckBox->Caption(), "On top");
  EXPECT_TRUE(plc->OnTopCheckBox->Checked());
  EXPECT_EQ(plc->HideOnRunCheckBox->Caption(), "Hilde on running");
  EXPECT_FALSE(plc->HideOnRunCheckBox->Checked());
  // Every strip control lies inside the strip, and inside its own group box, and no two
  // overlap.
  const auto& strip = plc->ControlBox->Children();
  for (std::size_t i = 0; i < strip.size(); ++i)
    for (std::size_t j = i + 1; j < strip.size(); ++j) {
      const TRect a = strip[i]->BoundsRect(), b = strip[j]->BoundsRect();
      const bool overlap = a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
      EXPECT_FALSE(overlap) << strip[i]->ClassName() << " " << i << " and " << strip[j]->ClassName()
                            << " " << j;
    }
  for (const TControl* c : plc->ControlBox->Children()) {
    EXPECT_GE(c->Left(), 0);
    EXPECT_GE(c->Top(), 0);
    EXPECT_LE(c->Left() + c->Width(), plc->ControlBox->Width());
    EXPECT_LE(c->Top() + c->Height(), plc->ControlBox->Height());
    for (const TControl* g : c->Children()) {
      EXPECT_LE(g->Left() + g->Width(), c->Width());
      EXPECT_LE(g->Top() + g->Height(), c->Height());
    }
  }
}

TEST_F(PlcWindow, PowerButtonsAreLockedForGood) {
  plc->FirstModule->OutputPins[0]->SetState(true);
  plc->PowerOFFBtn->Click();
  plc->PowerONBtn->Click();
  EXPECT_TRUE(plc->PowerONBtn->Down());
  EXPECT_FALSE(plc->PowerOFFBtn->Down());
  EXPECT_TRUE(plc->FirstModule->OutputPins[0]->State);
}

TEST_F(PlcWindow, InputPinLookupFirstMatchWins) {
  EXPECT_EQ(plc->GetInputPin(125, 3), plc->FirstModule->InputPin(11));
  EXPECT_EQ(plc->GetInputPin(126, 0), plc->SecondModule->InputPin(0));
  EXPECT_EQ(plc->GetInputPin(127, 7), plc->SecondModule->InputPin(15));
  EXPECT_EQ(plc->GetInputPin(128, 0), nullptr);
  EXPECT_EQ(plc->GetInputPin(123, 7), nullptr);
  // The bit is not limited to a byte: (124, 8) is (125, 0); the module's own range still holds.
  EXPECT_EQ(plc->GetInputPin(124, 8), plc->GetInputPin(125, 0));
  EXPECT_EQ(plc->GetInputPin(125, 8), nullptr);
  EXPECT_EQ(plc->GetInputPin(124, -1), nullptr);
}

TEST_F(PlcWindow, OutputConnectionsFanOutAndIgnoreForeignBytes) {
  TInputPin p, q, r;
  plc->ConnectOutput(125, 6, &p);
  plc->ConnectOutput(125, 6, &q);
  plc->ConnectOutput(128, 0, &r);
  plc->ConnectOutput(125, 6, nullptr);
  plc->FirstModule->OutputPins[14]->SetState(true);
  EXPECT_TRUE(p.State);
  EXPECT_TRUE(q.State);
  EXPECT_EQ(plc->FirstModule->OutputPins[14]->Connections().size(), 2u);
  for (const TIOModule* m : {plc->FirstModule, plc->SecondModule})
    for (const TOutputPin* o : m->OutputPins)
      for (const TInputPin* c : o->Connections()) EXPECT_NE(c, &r);
}

TEST_F(PlcWindow, NamesGoOnlyToTheModuleStartingAtThatByte) {
  TSymbolNames names = {"A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7",
                           "B0", "B1", nullptr};
  plc->SetInputNames(125, names);
  plc->SetOutputNames(127, names);
  EXPECT_EQ(plc->FirstModule->InputLabels[1]->Caption(), "E124.1");
  EXPECT_EQ(plc->SecondModule->OutputLabels[15]->Caption(), "A127.7");
  plc->SetInputNames(126, names);
  plc->SetOutputNames(124, names);
  EXPECT_EQ(plc->SecondModule->InputLabels[1]->Caption(), "A1");
  EXPECT_EQ(plc->FirstModule->OutputLabels[9]->Caption(), "B1");
  EXPECT_EQ(plc->FirstModule->InputLabels[1]->Caption(), "E124.1");
}

TEST_F(PlcWindow, FirstTestIsSelectedButItsDescriptionWaitsForAChoice) {
  plc->AddTest("Fallo térmico", "The thermal relay opens");
  EXPECT_EQ(plc->TestCbx->ItemIndex(), 0);
  EXPECT_EQ(plc->DescriptionEdt->Text(), "Description");
  plc->AddTest("Apagado", "The mains fail");
  EXPECT_EQ(plc->TestCbx->ItemIndex(), 0);
  EXPECT_EQ(plc->Descriptions, (std::vector<std::string>{"The thermal relay opens", "The mains fail"}));
  plc->AutoBtn->Click();
  plc->TestCbx->Select(0);
  EXPECT_EQ(plc->DescriptionEdt->Text(), "The thermal relay opens");
  plc->TestCbx->Select(1);
  EXPECT_EQ(plc->DescriptionEdt->Text(), "The mains fail");
}

TEST_F(PlcWindow, ExecuteReportsTheChosenIndex) {
  EventLog log;
  plc->AutoBtn->Click();
  plc->TestExeBtn->Click();  // no handler: nothing happens
  plc->OnTest = TTestEvent(&log, &EventLog::Test);
  plc->TestExeBtn->Click();  // nothing in the list yet
  plc->AddTest("one", "first");
  plc->AddTest("two", "second");
  plc->TestCbx->Select(1);
  plc->TestExeBtn->Click();
  EXPECT_EQ(log.tests, (std::vector<int>{-1, 1}));
}

TEST_F(PlcWindow, ManualLocksTheFaultTestsAndAutoUnlocksThem) {
  EventLog log;
  plc->OnAutoMode = TNotifyEvent(&log, &EventLog::Auto);
  plc->OnManualMode = TNotifyEvent(&log, &EventLog::Manual);
  plc->OnTest = TTestEvent(&log, &EventLog::Test);
  plc->AddTest("one", "first");
  plc->AddTest("two", "second");
  // Locked at start: choosing and executing do nothing.
  plc->TestCbx->Select(1);
  plc->TestExeBtn->Click();
  EXPECT_EQ(plc->TestCbx->ItemIndex(), 0);
  EXPECT_TRUE(log.tests.empty());
  plc->AutoBtn->Click();
  EXPECT_TRUE(plc->AutoBtn->Down());
  EXPECT_FALSE(plc->ManBtn->Down());
  EXPECT_TRUE(plc->TestCbx->Enabled());
  EXPECT_TRUE(plc->TestExeBtn->Enabled());
  EXPECT_TRUE(plc->DescriptionEdt->Enabled());
  plc->TestExeBtn->Click();
  plc->ManBtn->Click();
  EXPECT_TRUE(plc->ManBtn->Down());
  EXPECT_FALSE(plc->TestCbx->Enabled());
  EXPECT_FALSE(plc->TestExeBtn->Enabled());
  EXPECT_FALSE(plc->DescriptionEdt->Enabled());
  plc->TestExeBtn->Click();
  EXPECT_EQ(log.tests, (std::vector<int>{0}));
  EXPECT_EQ(log.modes, (std::vector<std::string>{"auto", "manual"}));
}

TEST_F(PlcWindow, ModuleDirMovesBothModules) {
  TSymbolNames names = {"X"};
  plc->SetInputNames(124, names);
  plc->SetModuleDir(130);
  EXPECT_EQ(plc->ModuleDir(), 130);
  EXPECT_EQ(plc->FirstModule->Address, 130);
  EXPECT_EQ(plc->SecondModule->Address, 132);
  EXPECT_EQ(plc->FirstModule->InputLabels[0]->Caption(), "E130.0");
  EXPECT_EQ(plc->SecondModule->InputLabels[15]->Caption(), "E133.7");
  EXPECT_EQ(plc->GetInputPin(124, 0), nullptr);
  EXPECT_EQ(plc->GetInputPin(131, 2), plc->FirstModule->InputPin(10));
  // Published, so a layout can set it.
  EXPECT_TRUE(ApplyProperties(plc, {{"ModuleDir", 124LL}}).empty());
  EXPECT_EQ(plc->SecondModule->Address, 126);
}

TEST_F(PlcWindow, ExchangeImageGoesThroughTheFaceplate) {
  plc->GetInputPin(124, 1)->SetState(true);
  sim.ClearCalls();
  plc->ExchangeImage();
  EXPECT_EQ(sim.Calls, (std::vector<std::string>{"WriteInputWord(124,0,512)",
                                                 "WriteInputWord(126,0,0)"}));
}

TEST_F(PlcWindow, AboutButtonShowsTheAboutWindow) {
  plc->BitBtn1->Click();
  EXPECT_TRUE(plc->AboutBox->Visible());
}

TEST_F(PlcWindow, OnTopFollowsItsCheckBox) {
  plc->OnTopCheckBox->Click();
  EXPECT_EQ(plc->FormStyle(), fsNormal);
  plc->OnTopCheckBox->Click();
  EXPECT_EQ(plc->FormStyle(), fsStayOnTop);
}

TEST_F(PlcWindow, HidePlcSimHidesAndShowsTheSimulatorWindow) {
  plc->HideCheckBox->Click();
  EXPECT_FALSE(sim.Window.Visible());
  plc->HideCheckBox->Click();
  EXPECT_TRUE(sim.Window.Visible());
}

TEST_F(PlcWindow, HideOnRunningCollapsesWhileRunningAndRestoresAtStop) {
  plc->HideOnRunCheckBox->Click();
  EXPECT_TRUE(sim.Window.Visible());  // the CPU is at STOP
  EXPECT_FALSE(plc->Collapsed());
  plc->Faceplate->RunBtn->Click();
  Poll();
  ASSERT_TRUE(plc->Faceplate->Running());
  EXPECT_FALSE(sim.Window.Visible());
  EXPECT_FALSE(plc->HideCheckBox->Enabled());
  EXPECT_TRUE(plc->Collapsed());
  EXPECT_EQ(plc->Height(), 10);
  CpuGoes("RUN_P");  // a further running state keeps it collapsed
  EXPECT_EQ(plc->Height(), 10);
  plc->Faceplate->StopBtn->Click();
  Poll();
  EXPECT_TRUE(sim.Window.Visible());
  EXPECT_TRUE(plc->HideCheckBox->Enabled());
  EXPECT_FALSE(plc->Collapsed());
  EXPECT_EQ(plc->Height(), 356);
}

TEST_F(PlcWindow, ClearingHideOnRunningWhileRunningGivesTheWindowBack) {
  plc->HideOnRunCheckBox->Click();
  CpuGoes("RUN");
  ASSERT_EQ(plc->Height(), 10);
  plc->HideOnRunCheckBox->Click();
  EXPECT_EQ(plc->Height(), 356);
  EXPECT_TRUE(sim.Window.Visible());
  EXPECT_TRUE(plc->HideCheckBox->Enabled());
}

TEST_F(PlcWindow, AStateChangeShowsTheSimulatorDespiteHidePlcSim) {
  plc->HideCheckBox->Click();
  ASSERT_FALSE(sim.Window.Visible());
  CpuGoes("RUN");
  EXPECT_TRUE(sim.Window.Visible());
  EXPECT_TRUE(plc->HideCheckBox->Checked());
  EXPECT_FALSE(plc->Collapsed());
}

TEST_F(PlcWindow, ClosingOrDestroyingShowsTheSimulatorAgain) {
  plc->HideCheckBox->Click();
  plc->Show();
  plc->Close();
  EXPECT_FALSE(plc->Visible());
  EXPECT_TRUE(sim.Window.Visible());
  plc->HideCheckBox->Click();
  plc->HideCheckBox->Click();
  ASSERT_FALSE(sim.Window.Visible());
  delete plc;
  EXPECT_TRUE(sim.Window.Visible());
}

TEST_F(PlcWindow, WindowDestroyedBeforeItsRackLeavesNoDanglingHandler) {
  TCPU* faceplate = plc->Faceplate;
  delete plc;
  sim.State = "RUN";
  Poll();  // the faceplate lives on with the owner and must not call into the dead window
  EXPECT_TRUE(faceplate->Running());
}

TEST(PlcWindowOwnership, OwnerDestroysRackAndWindowInAnyOrder) {
  TFakeSimulator sim;
  TTimerClock clock;
  auto root = std::make_unique<TComponent>(nullptr);
  new TPLC(root.get(), &sim, &clock);
  root.reset();  // the rack goes first (created last), then the window
  EXPECT_EQ(sim.Calls.back(), "Release");
  EXPECT_TRUE(sim.Window.Visible());
}

TEST(PlcWindowOwnership, WithoutAnOwnerTheWindowKeepsItsRack) {
  TFakeSimulator sim;
  TTimerClock clock;
  auto plc = std::make_unique<TPLC>(nullptr, &sim, &clock);
  EXPECT_EQ(plc->Faceplate->Owner(), plc.get());
  plc.reset();
  EXPECT_EQ(sim.Calls.back(), "Release");
}

}  // namespace
