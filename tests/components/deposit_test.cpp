#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "components/Deposit.h"
#include "framework/Registry.h"

namespace {

// Records the tank's events and what its outputs deliver, in the order they happen.
struct Probe {
  std::vector<std::string> Log;
  TInputWord Word;
  TInputPin Filled;

  explicit Probe(TDeposit& d) {
    d.OnChange = TDepositChangeEvent(this, &Probe::Change);
    d.OnLevelChange = TLevelChangeEvent(this, &Probe::Level);
    Word.OnNewData = TWordDataEvent(this, &Probe::NewWord);
    Filled.OnChange = TPinChangeEvent(this, &Probe::NewFilled);
    d.ConnectWordOutTo(&Word);
    d.ConnectFilledOutTo(&Filled);
    Log.clear();
  }
  void Change(int state, int level) {
    Log.push_back("change " + std::to_string(state) + " " + std::to_string(level));
  }
  void Level(int level) { Log.push_back("level " + std::to_string(level)); }
  void NewWord(unsigned short v) { Log.push_back("word " + std::to_string(v)); }
  void NewFilled(bool s, void*) { Log.push_back(s ? "filled 1" : "filled 0"); }
};

struct Rig {
  TTimerClock Clock;
  TComponent Form{nullptr};
  TTimer* Timer = new TTimer(&Form, &Clock);
  TDeposit* Tank = new TDeposit(&Form);

  explicit Rig(unsigned interval = 100) {
    Timer->Name = "SimTimer1";
    Timer->SetInterval(interval);
  }
};

TEST(DepositConstruction, StartsIdleWithThreeClosedInletsAndOutlets) {
  TDeposit d(nullptr);
  EXPECT_EQ(d.SourceNum(), 3);
  EXPECT_EQ(d.SinkNum(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(d.GetInputOpen(i));
    EXPECT_FALSE(d.GetOutputOpen(i));
    EXPECT_EQ(d.GetInputFlow(i), 0.0f);
    EXPECT_NE(d.GetInputFlowOpenPin(i), nullptr);
    EXPECT_NE(d.GetOutputFlowOpenPin(i), nullptr);
  }
  EXPECT_EQ(d.FillupTime(), 1000);
  EXPECT_EQ(d.State(), 0);
  EXPECT_EQ(d.Rate(), 1.0f);
  EXPECT_EQ(d.Brush.Color(), clBlue);
  EXPECT_EQ(d.Pen.Style(), psClear);
  EXPECT_EQ(d.Shape(), stRectangle);
  EXPECT_EQ(d.BottomEdge(), d.Top() + d.Height());
  EXPECT_EQ(d.ClassName(), "TDeposit");
}

TEST(DepositConstruction, OutOfRangeIndexesAndNegativeFlowsAreIgnored) {
  TDeposit d(nullptr);
  EXPECT_EQ(d.GetInputFlowOpenPin(3), nullptr);
  EXPECT_EQ(d.GetOutputFlowOpenPin(-1), nullptr);
  EXPECT_EQ(d.GetInputFlow(7), 0.0f);
  EXPECT_FALSE(d.GetOutputOpen(3));
  d.SetInputOpen(0, true);
  d.SetInputFlow(0, -5.0f);
  d.SetInputFlow(0, NAN);
  d.SetInputFlow(3, 5000.0f);
  d.SetOutputOpen(-1, true);
  EXPECT_EQ(d.GetInputFlow(0), 0.0f);
  EXPECT_EQ(d.State(), 0);
}

TEST(DepositFlow, OpeningAnInletThroughItsPinStartsFilling) {
  Rig r;
  Probe p(*r.Tank);
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetInputFlow(0, 5000.0f);
  EXPECT_EQ(r.Tank->State(), 0);  // flow set but still closed
  TOutputPin plc;
  plc.ConnectTo(r.Tank->GetInputFlowOpenPin(0));
  plc.SetState(true);
  EXPECT_TRUE(r.Tank->GetInputOpen(0));
  EXPECT_EQ(r.Tank->State(), 2);
  EXPECT_EQ(r.Tank->FillupTime(), 5000);
  EXPECT_EQ(r.Tank->Rate(), 20.0f);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"change 2 65"}));
}

TEST(DepositFlow, ReciprocalsInSinglePrecisionTruncateTheFillupTime) {
  TDeposit d(nullptr);
  d.SetInputOpen(0, true);
  d.SetInputFlow(0, 4000.0f);
  EXPECT_EQ(d.FillupTime(), 3999);
  d.SetInputFlow(0, 1000.0f);
  EXPECT_EQ(d.FillupTime(), 999);
}

TEST(DepositFlow, InletsCombineLikeParallelResistors) {
  TDeposit d(nullptr);
  d.SetInputFlow(0, 10000.0f);
  d.SetInputFlow(1, 10000.0f);
  d.SetInputOpen(0, true);
  d.SetInputOpen(1, true);
  EXPECT_EQ(d.FillupTime(), 5000);
  d.SetInputOpen(2, true);  // open but flow 0.0: carries nothing
  EXPECT_EQ(d.FillupTime(), 5000);
  EXPECT_EQ(d.State(), 2);
}

TEST(DepositFlow, BalancedFlowsIdleAndClosingTheInletDrains) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  Probe p(*r.Tank);
  r.Tank->SetInputFlow(0, 5000.0f);
  r.Tank->SetOutputFlow(0, 5000.0f);
  r.Tank->SetInputOpen(0, true);
  r.Tank->SetOutputOpen(0, true);
  EXPECT_EQ(r.Tank->State(), 0);
  EXPECT_EQ(r.Tank->Rate(), 0.0f);
  EXPECT_EQ(r.Tank->FillupTime(), 5000);  // kept from the filling moment
  r.Tank->SetInputOpen(0, false);
  EXPECT_EQ(r.Tank->State(), 4);
  EXPECT_EQ(r.Tank->FillupTime(), -5000);
  EXPECT_EQ(r.Tank->Rate(), -20.0f);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"change 2 65", "change 0 65", "change 4 65"}));
}

TEST(DepositFlow, RecomputingTheSameStateFiresNothing) {
  TDeposit d(nullptr);
  Probe p(d);
  d.SetInputFlow(0, 5000.0f);
  d.SetInputOpen(0, true);
  d.SetInputOpen(0, true);     // unchanged flag still recomputes
  d.SetInputFlow(0, 2000.0f);  // faster, still filling
  EXPECT_EQ(d.FillupTime(), 1999);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"change 2 65"}));
}

TEST(DepositFlow, PinHandlerCopiesEveryPinOfItsSide) {
  TDeposit d(nullptr);
  d.SetInputFlow(0, 5000.0f);
  d.SetInputFlow(1, 5000.0f);
  d.SetInputOpen(1, true);  // opened by property, its pin stays low
  d.GetInputFlowOpenPin(0)->SetState(true);
  EXPECT_TRUE(d.GetInputOpen(0));
  EXPECT_FALSE(d.GetInputOpen(1));
  EXPECT_EQ(d.FillupTime(), 5000);  // one inlet, not two
  d.SetOutputFlow(2, 1000.0f);
  d.GetOutputFlowOpenPin(2)->SetState(true);
  EXPECT_TRUE(d.GetOutputOpen(2));
  EXPECT_EQ(d.State(), 4);
}

TEST(DepositRate, TwentySecondsAtOneHundredMillisecondsIsFiveLevelsPerStep) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetFillupTime(20000);
  EXPECT_EQ(r.Tank->Rate(), 5.0f);
  EXPECT_EQ(r.Tank->FillupTime(), 20000);
}

TEST(DepositRate, TimerResolvedAfterFillupTimeKeepsTheRate) {
  Rig r;
  r.Tank->SetFillupTime(1000);
  EXPECT_EQ(r.Tank->Rate(), 1.0f);
  r.Tank->SetTimer(r.Timer);
  EXPECT_EQ(r.Tank->Rate(), 1.0f);
  EXPECT_EQ(r.Tank->FillupTime(), 100000);
  EXPECT_EQ(r.Tank->StepInterval(), 100);
}

TEST(DepositRate, LayoutAppliesFillupTimeBeforeTheTimer) {
  Rig r;
  const auto rejected = ApplyProperties(
      r.Tank, {{"SimTimer", std::string("SimTimer1")}, {"FillupTime", 1000LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(r.Tank->SimTimer(), r.Timer);
  EXPECT_EQ(r.Tank->Rate(), 1.0f);
  EXPECT_EQ(r.Tank->FillupTime(), 100000);
}

TEST(DepositRate, ALayoutWithAnOpenInletLinksTheTimerLast) {
  Rig r;
  const std::vector<TPropAssignment> layout = {{"SimTimer", std::string("SimTimer1")},
                                               {"FillupTime", 1000LL},
                                               {"InputFlow", std::string("5000 0 0")},
                                               {"InputFlowOpen", std::string("1 0 0")}};
  EXPECT_TRUE(ApplyProperties(r.Tank, layout).empty());
  // As if built by hand: every number first, then the timer.
  TDeposit* byHand = new TDeposit(&r.Form);
  byHand->SetFillupTime(1000);
  byHand->SetInputFlow(0, 5000.0f);
  byHand->SetInputOpen(0, true);
  byHand->SetTimer(r.Timer);
  EXPECT_EQ(r.Tank->State(), byHand->State());
  EXPECT_EQ(r.Tank->Rate(), byHand->Rate());
  EXPECT_EQ(r.Tank->FillupTime(), byHand->FillupTime());
}

TEST(DepositRate, NoDivisionByZero) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetFillupTime(20000);
  r.Tank->SetFillupTime(0);  // undefined rate: keeps the last one
  EXPECT_EQ(r.Tank->FillupTime(), 20000);
  EXPECT_EQ(r.Tank->Rate(), 5.0f);

  // Idle (rate 0): the recomputations keep the fill-up time instead of dividing by zero.
  r.Tank->SetInputFlow(0, 4000.0f);
  r.Tank->SetOutputFlow(0, 4000.0f);
  r.Tank->SetInputOpen(0, true);
  r.Tank->SetOutputOpen(0, true);
  ASSERT_EQ(r.Tank->Rate(), 0.0f);
  const int kept = r.Tank->FillupTime();
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetMaxLevel(900);
  r.Tank->SetMinLevel(10);
  EXPECT_EQ(r.Tank->FillupTime(), kept);

  // Sub-millisecond flows: 1/net truncates to 0, the tank takes the fastest time instead.
  r.Tank->SetOutputOpen(0, false);
  r.Tank->SetInputFlow(0, 0.5f);
  EXPECT_EQ(r.Tank->State(), 2);
  EXPECT_EQ(r.Tank->FillupTime(), 1);
  EXPECT_GT(r.Tank->Rate(), 0.0f);
  r.Tank->SetInputOpen(0, false);
  r.Tank->SetOutputFlow(0, 0.25f);
  r.Tank->SetOutputOpen(0, true);
  EXPECT_EQ(r.Tank->FillupTime(), -1);
  EXPECT_LT(r.Tank->Rate(), 0.0f);
}

TEST(DepositRate, NearlyBalancedFlowsSaturateInsteadOfOverflowing) {
  TDeposit d(nullptr);
  d.SetInputFlow(0, 100000.0f);
  d.SetInputOpen(0, true);
  d.SetOutputOpen(0, true);
  float out = 100000.0f;
  for (int i = 0; i < 64 && d.State() != 4; ++i) {
    out = std::nextafter(out, 0.0f);  // a shorter time drains faster
    d.SetOutputFlow(0, out);
  }
  ASSERT_EQ(d.State(), 4);
  EXPECT_LT(d.FillupTime(), -1000000);  // a huge negative time, not a wrapped one
  EXPECT_LT(d.Rate(), 0.0f);
}

TEST(DepositLevel, SetLevelKeepsTheBottomEdge) {
  TDeposit d(nullptr);
  d.SetBounds(10, 100, 40, 200);
  d.SetLevel(50);
  EXPECT_EQ(d.Top(), 250);
  EXPECT_EQ(d.Height(), 50);
  EXPECT_EQ(d.BottomEdge(), 300);
  EXPECT_EQ(d.Left(), 10);
  EXPECT_EQ(d.Width(), 40);
  EXPECT_TRUE(d.FilledOutput().State);
  d.SetLevel(1001);  // outside the range: geometry stays, filled still updated
  EXPECT_EQ(d.Height(), 50);
  d.SetLevel(0);
  EXPECT_EQ(d.Top(), 300);
  EXPECT_FALSE(d.FilledOutput().State);
}

TEST(DepositLevel, HeightIsCutToMaxLevelAndNegativeIgnored) {
  TDeposit d(nullptr);
  d.SetFHeight(5000);
  EXPECT_EQ(d.Height(), 1000);
  d.SetFHeight(-3);
  EXPECT_EQ(d.Height(), 1000);
}

TEST(DepositLevel, LoweredMaxLevelSticksAndDropsTheLevelBelowIt) {
  TDeposit d(nullptr);
  d.SetBounds(0, 0, 30, 500);
  d.SetMaxLevel(300);
  EXPECT_EQ(d.MaxLevel(), 300);
  EXPECT_EQ(d.GetLevel(), 299);
  EXPECT_EQ(d.Top(), 201);  // bottom edge kept at 500
  d.SetMaxLevel(-1);
  d.SetMinLevel(100);
  d.SetMaxLevel(50);  // below MinLevel: ignored
  EXPECT_EQ(d.MaxLevel(), 300);
}

TEST(DepositLevel, RaisedMinLevelLiftsTheLevel) {
  TDeposit d(nullptr);
  d.SetBounds(0, 0, 30, 20);
  d.SetMinLevel(40);
  EXPECT_EQ(d.GetLevel(), 40);
  EXPECT_EQ(d.Top(), -20);
  d.SetMinLevel(2000);  // above MaxLevel: ignored
  EXPECT_EQ(d.MinLevel(), 40);
}

TEST(DepositStep, OverflowClampsToMaxLevelWithAlarmColour) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetLevel(997);
  r.Tank->SetInputFlow(0, 20000.0f);
  r.Tank->SetInputOpen(0, true);
  r.Tank->SetFillupTime(20000);  // exactly 5 levels per step
  Probe p(*r.Tank);
  r.Tank->SimulationStep();
  EXPECT_EQ(r.Tank->State(), 5);
  EXPECT_EQ(r.Tank->GetLevel(), 1000);
  EXPECT_EQ(r.Tank->Brush.Color(), clRed);
  EXPECT_EQ(r.Tank->Accumulator(), 0.0f);
  EXPECT_TRUE(r.Tank->FilledOutput().State);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"change 5 1000", "word 1000", "level 1000"}));
  // No progress in overflow; the next SetFlow restores the colour and fills again.
  p.Log.clear();
  r.Tank->SimulationStep();
  EXPECT_EQ(r.Tank->GetLevel(), 1000);
  EXPECT_TRUE(p.Log.empty());
  r.Tank->SetInputOpen(0, true);
  EXPECT_EQ(r.Tank->State(), 2);
  EXPECT_EQ(r.Tank->Brush.Color(), clBlue);
  r.Tank->SimulationStep();
  EXPECT_EQ(r.Tank->State(), 5);
}

TEST(DepositStep, DrainingToMinLevelEmptiesAndDropsFilled) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetMaxLevel(1010);
  r.Tank->SetMinLevel(10);
  r.Tank->SetLevel(12);
  r.Tank->SetOutputFlow(0, 20000.0f);
  r.Tank->SetOutputOpen(0, true);
  r.Tank->SetFillupTime(-20000);
  ASSERT_EQ(r.Tank->Rate(), -5.0f);
  Probe p(*r.Tank);
  ASSERT_TRUE(p.Filled.State);
  r.Tank->SimulationStep();
  EXPECT_EQ(r.Tank->State(), 1);
  EXPECT_EQ(r.Tank->GetLevel(), 10);
  EXPECT_EQ(r.Tank->Accumulator(), 0.0f);
  EXPECT_FALSE(r.Tank->FilledOutput().State);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"filled 0", "change 1 10", "word 10",
                                             "level 10"}));
}

TEST(DepositStep, RefreshRatioMovesTheRectangleInWholeChunks) {
  Rig r(3);
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetBounds(0, 100, 30, 0);
  r.Tank->SetLevel(100);
  r.Tank->SetInputFlow(0, 1000.0f);
  r.Tank->SetInputOpen(0, true);
  r.Tank->SetFillupTime(1000);
  ASSERT_EQ(r.Tank->Rate(), 3.0f);
  r.Tank->RefreshRatio = 10;
  Probe p(*r.Tank);
  std::vector<int> heights, words;
  for (int i = 0; i < 5; ++i) {
    r.Tank->SimulationStep();
    heights.push_back(r.Tank->GetLevel());
    words.push_back(r.Tank->LevelOutput().Value);
  }
  EXPECT_EQ(heights, (std::vector<int>{100, 100, 100, 112, 112}));
  EXPECT_EQ(words, (std::vector<int>{103, 106, 109, 112, 115}));
  EXPECT_EQ(r.Tank->Accumulator(), 3.0f);
  EXPECT_EQ(r.Tank->Top(), -12);
  EXPECT_EQ(p.Log, (std::vector<std::string>{"word 103", "word 106", "word 109", "word 112",
                                             "level 112", "word 115"}));
}

TEST(DepositStep, FillsStepByStepAtTheRate) {
  Rig r;
  r.Tank->SetTimer(r.Timer);
  r.Tank->SetLevel(0);
  r.Tank->SetInputFlow(0, 20000.0f);
  r.Tank->SetInputOpen(0, true);
  r.Tank->SetFillupTime(20000);
  r.Timer->OnTimer = TNotifyEvent(r.Tank, &TDeposit::SimulationStep);
  r.Clock.Advance(1000);  // ten ticks at 5 levels each
  EXPECT_EQ(r.Tank->GetLevel(), 50);
  EXPECT_EQ(r.Tank->LevelOutput().Value, 50);
  EXPECT_EQ(r.Tank->State(), 2);
  r.Clock.Advance(20000);
  EXPECT_EQ(r.Tank->State(), 5);
  EXPECT_EQ(r.Tank->GetLevel(), 1000);
}

TEST(DepositStep, IdleTankDoesNotMove) {
  TDeposit d(nullptr);
  const int h = d.GetLevel();
  d.SimulationStep();
  EXPECT_EQ(d.GetLevel(), h);
  EXPECT_EQ(d.LevelOutput().Value, h);
}

TEST(DepositPins, ResizeAttachesTheNewPinsAndRetiresTheOldOnes) {
  TDeposit d(nullptr);
  TInputPin* old = d.GetInputFlowOpenPin(0);
  d.SetInputFlow(0, 5000.0f);
  old->SetState(true);
  ASSERT_EQ(d.State(), 2);
  d.SetSourceNum(2);
  EXPECT_EQ(d.SourceNum(), 2);
  EXPECT_EQ(d.State(), 0);  // the open inlet went away with the resize
  EXPECT_EQ(d.GetInputFlow(0), 0.0f);
  EXPECT_NE(d.GetInputFlowOpenPin(0), old);
  old->SetState(false);  // still alive, no longer drives the tank
  old->SetState(true);
  EXPECT_EQ(d.State(), 0);
  d.SetInputFlow(1, 5000.0f);
  d.GetInputFlowOpenPin(1)->SetState(true);
  EXPECT_EQ(d.State(), 2);
  d.SetSinkNum(5);
  d.SetOutputFlow(4, 1000.0f);
  d.GetOutputFlowOpenPin(4)->SetState(true);
  EXPECT_EQ(d.State(), 4);
  d.SetSinkNum(-1);
  EXPECT_EQ(d.SinkNum(), 5);
}

TEST(DepositPins, RetiredPinsNoLongerOverwriteWhatCodeOpened) {
  TDeposit d(nullptr);
  TInputPin* old = d.GetInputFlowOpenPin(0);
  d.SetSourceNum(2);
  d.SetInputFlow(1, 5000.0f);
  d.SetInputOpen(1, true);
  ASSERT_EQ(d.State(), 2);
  old->SetState(true);
  EXPECT_TRUE(d.GetInputOpen(1));
  EXPECT_EQ(d.State(), 2);
}

TEST(DepositProperties, PublishedInOrderWithIndexedValuesAsText) {
  TDeposit d(nullptr);
  const TPropList props = PublishedProperties(&d);
  std::vector<std::string> own;
  bool afterShape = false;
  for (const TPropInfo& p : props) {
    if (p.Name == "Shape") afterShape = true;
    else if (afterShape) own.emplace_back(p.Name);
  }
  EXPECT_EQ(own, (std::vector<std::string>{"FillupTime", "SimTimer", "InputFlow", "OutputFlow",
                                           "InputFlowOpen", "OutputFlowOpen", "MinLevel",
                                           "MaxLevel", "Level", "RefreshRatio", "AlarmColor",
                                           "DefaultColor"}));
  int heights = 0;
  for (const TPropInfo& p : props) heights += p.Name == "Height" ? 1 : 0;
  EXPECT_EQ(heights, 1);  // redeclared, not listed twice

  ApplyProperties(&d, {{"InputFlow", std::string("5000 x 250.5 9")},
                       {"InputFlowOpen", std::string("1 0 true")},
                       {"Height", 4000LL}});
  EXPECT_EQ(d.GetInputFlow(0), 5000.0f);
  EXPECT_EQ(d.GetInputFlow(1), 0.0f);
  EXPECT_EQ(d.GetInputFlow(2), 250.5f);
  EXPECT_TRUE(d.GetInputOpen(2));
  EXPECT_EQ(d.Height(), 1000);  // cut to MaxLevel by the redeclared writer
  EXPECT_EQ(std::get<std::string>(FindProperty(props, "InputFlow")->Get(&d)), "5000 0 250.5");
  EXPECT_EQ(std::get<std::string>(FindProperty(props, "InputFlowOpen")->Get(&d)), "1 0 1");
}

TEST(DepositProperties, LayoutKeepsTheStoredGeometry) {
  TDeposit d(nullptr);
  ApplyProperties(&d, {{"Level", 200LL}, {"Top", 100LL}, {"Height", 200LL}, {"MaxLevel", 400LL}});
  EXPECT_EQ(d.Top(), 100);
  EXPECT_EQ(d.Height(), 200);
  EXPECT_EQ(d.BottomEdge(), 300);
}

TEST(DepositRegistration, RegistersOnTheAutomationPage) {
  Deposit::Register();
  for (const TComponentClass& c : RegisteredComponents()) {
    if (c.ClassName != "TDeposit") continue;
    EXPECT_EQ(c.Page, "Automation");
    TComponent owner(nullptr);
    TComponent* made = c.Create(&owner);
    EXPECT_NE(dynamic_cast<TDeposit*>(made), nullptr);
    return;
  }
  ADD_FAILURE() << "TDeposit not registered";
}

}  // namespace
