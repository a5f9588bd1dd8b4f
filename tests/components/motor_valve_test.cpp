#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/MotorValve.h"
#include "framework/Registry.h"

namespace {

// A valve on a 100 ms timer with a PLC-like driver for its commands and receivers on every
// output, logging what arrives in order.
struct Rig {
  TTimerClock Clock;
  TComponent Form{nullptr};
  TTimer* Timer = new TTimer(&Form, &Clock);
  TMotorValve* Valve = new TMotorValve(&Form);
  TOutputPin Open, Close;
  TInputByte Byte;
  TInputPin OpenEnd, ClosedEnd;
  std::vector<std::string> Log;

  Rig() {
    Timer->Name = "Timer1";
    Timer->SetInterval(100);
    Valve->SetSimTimer(Timer);
    Open.ConnectTo(Valve->openInputPin);
    Close.ConnectTo(Valve->closeInputPin);
    Valve->ConnectByteOutTo(&Byte);
    Valve->OutputOpenPinConectTo(&OpenEnd);
    Valve->OutputClosedPinConectTo(&ClosedEnd);
    Valve->OnChange = TValveChangeEvent(this, &Rig::Changed);
    Byte.OnNewData = TByteDataEvent(this, &Rig::NewByte);
    OpenEnd.OnChange = TPinChangeEvent(this, &Rig::NewOpen);
    ClosedEnd.OnChange = TPinChangeEvent(this, &Rig::NewClosed);
  }
  void Changed(int s) {
    Log.push_back("change " + std::to_string(s) + " " + std::string(Valve->Picture().Name()));
  }
  void NewByte(unsigned char b) { Log.push_back("byte " + std::to_string(b)); }
  void NewOpen(bool s, void*) { Log.push_back(s ? "open 1" : "open 0"); }
  void NewClosed(bool s, void*) { Log.push_back(s ? "closed 1" : "closed 0"); }
};

TEST(MotorValveConstruction, StartsClosedOnFrameZero) {
  Rig r;
  TMotorValve& v = *r.Valve;
  EXPECT_EQ(v.ValveState(), 4);
  EXPECT_EQ(v.DriveState(), 0);
  EXPECT_TRUE(r.ClosedEnd.State);
  EXPECT_FALSE(r.OpenEnd.State);
  EXPECT_EQ(r.Byte.Value, 55);
  EXPECT_EQ(v.ValvePosition(), 0);
  EXPECT_EQ(v.Picture().Name(), "MMOTORVALVE_0");
  EXPECT_EQ(v.Frame(9).Name(), "MMOTORVALVE_9");
  EXPECT_TRUE(v.Stretch());
  EXPECT_FALSE(v.AutoSize());
  EXPECT_TRUE(v.Transparent());
  EXPECT_TRUE(r.Log.empty());
}

TEST(MotorValveConstruction, KeepsItsSizeAndHasNoSpeedUntilTimed) {
  TMotorValve v(nullptr);
  EXPECT_EQ(v.Width(), 105);  // the frames take the control's size, not the other way round
  EXPECT_EQ(v.Height(), 105);
  EXPECT_EQ(v.Step(), 0.0f);
  EXPECT_EQ(v.FrameFactor(), 0.0f);
  v.SetTripTime(5000);  // no timer yet: only the frame factor
  EXPECT_EQ(v.Step(), 0.0f);
  EXPECT_EQ(v.FrameFactor(), 0.04f);
}

TEST(MotorValveTravel, FramesChangeOnTheDocumentedTicks) {
  Rig r;
  ASSERT_EQ(r.Valve->Step(), 4.0f);
  ASSERT_LT(r.Valve->FrameFactor(), 0.04);  // single precision, just below
  r.Open.SetState(true);
  std::map<int, std::pair<int, float>> changes;  // tick -> (frame, position)
  int frame = r.Valve->ValvePosition();
  for (int tick = 1; tick <= 55; ++tick) {
    r.Valve->SimulationStep();
    EXPECT_EQ(r.Byte.Value, static_cast<int>(r.Valve->Position()));
    if (tick == 25) {
      EXPECT_EQ(r.Valve->Position(), 155.0f);
      EXPECT_EQ(r.Valve->ValvePosition(), 4);
    }
    if (r.Valve->ValvePosition() != frame) {
      frame = r.Valve->ValvePosition();
      changes[tick] = {frame, r.Valve->Position()};
    }
  }
  const std::map<int, std::pair<int, float>> expected = {
      {1, {1, 59.0f}},   {7, {2, 83.0f}},   {13, {3, 107.0f}}, {19, {4, 131.0f}}, {26, {5, 159.0f}},
      {32, {6, 183.0f}}, {38, {7, 207.0f}}, {44, {8, 231.0f}}, {50, {9, 255.0f}}};
  EXPECT_EQ(changes, expected);
  EXPECT_EQ(r.Valve->Picture().Name(), "MMOTORVALVE_9");
  EXPECT_EQ(r.Valve->ValveState(), 6);
}

TEST(MotorValveTravel, EventsAndOutputsOnlyOnStateChangesInOrder) {
  Rig r;
  r.Open.SetState(true);
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"byte 59", "change 5 MMOTORVALVE_1", "closed 0"}));
  r.Log.clear();
  for (int i = 0; i < 48; ++i) r.Valve->SimulationStep();
  EXPECT_EQ(r.Log.size(), 48u);  // only the byte moved
  r.Log.clear();
  r.Valve->SimulationStep();  // tick 50
  EXPECT_EQ(r.Log, (std::vector<std::string>{"byte 255", "change 6 MMOTORVALVE_9", "open 1"}));
  r.Log.clear();
  for (int i = 0; i < 5; ++i) r.Valve->SimulationStep();
  EXPECT_TRUE(r.Log.empty());  // held open, command still on

  r.Open.SetState(false);
  r.Close.SetState(true);
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"byte 251", "change 7 MMOTORVALVE_8", "open 0"}));
  r.Log.clear();
  for (int i = 0; i < 49; ++i) r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->ValveState(), 4);
  EXPECT_EQ(r.Log.back(), "closed 1");
  EXPECT_EQ(r.Byte.Value, 55);
}

TEST(MotorValveTravel, BothCommandsOnHoldTheValveWhereItIs) {
  Rig r;
  r.Open.SetState(true);
  for (int i = 0; i < 10; ++i) r.Valve->SimulationStep();
  const float pos = r.Valve->Position();
  r.Close.SetState(true);
  r.Log.clear();
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->Position(), pos);
  EXPECT_EQ(r.Valve->ValveState(), 5);
  EXPECT_EQ(r.Valve->DriveState(), 1);  // both on: the drive state keeps its value
  EXPECT_TRUE(r.Log.empty());
  r.Open.SetState(false);
  r.Close.SetState(false);
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->DriveState(), 0);
  EXPECT_EQ(r.Valve->ValveState(), 5);  // stopped halfway, still "opening"
}

TEST(MotorValveTravel, DrivenByItsTimer) {
  Rig r;
  r.Timer->OnTimer = TNotifyEvent(r.Valve, &TMotorValve::SimulationStep);
  r.Open.SetState(true);
  r.Clock.Advance(4900);
  EXPECT_EQ(r.Valve->ValveState(), 5);
  r.Clock.Advance(100);
  EXPECT_EQ(r.Valve->ValveState(), 6);
  EXPECT_TRUE(r.OpenEnd.State);
}

TEST(MotorValveFaults, FailureFreezesUntilRepaired) {
  Rig r;
  r.Open.SetState(true);
  r.Valve->SimulationStep();
  r.Log.clear();
  r.Valve->FAILURE();
  r.Valve->FAILURE();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"change 8 MMOTORVALVE_1"}));
  r.Log.clear();
  for (int i = 0; i < 5; ++i) r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->Position(), 59.0f);
  EXPECT_TRUE(r.Log.empty());
  EXPECT_FALSE(r.ClosedEnd.State);
  r.Valve->REPAIR();
  EXPECT_EQ(r.Valve->ValveState(), 3);
  EXPECT_TRUE(r.Log.empty());
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"byte 63", "change 5 MMOTORVALVE_1"}));
  r.Valve->REPAIR();  // not failed: nothing
  EXPECT_EQ(r.Valve->ValveState(), 5);
}

TEST(MotorValveFaults, ThermalTripLivesInTheDriveState) {
  Rig r;
  r.Valve->THERMIC_FAILURE();
  r.Valve->THERMIC_FAILURE();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"change 2 MMOTORVALVE_0"}));
  EXPECT_EQ(r.Valve->ValveState(), 4);
  r.Open.SetState(true);
  r.Valve->SimulationStep();  // the trip does not stop the motion, and is overwritten
  EXPECT_EQ(r.Valve->Position(), 59.0f);
  EXPECT_EQ(r.Valve->DriveState(), 1);
  r.Log.clear();
  r.Valve->THERMIC_FAILURE();
  EXPECT_EQ(r.Log, (std::vector<std::string>{"change 2 MMOTORVALVE_1"}));
}

TEST(MotorValvePosition, SetValvePositionUsesWholeTenths) {
  Rig r;
  r.Valve->SetValvePosition(9);
  EXPECT_EQ(r.Valve->Position(), 235.0f);
  EXPECT_EQ(r.Valve->ValveState(), 6);
  EXPECT_EQ(r.Valve->Picture().Name(), "MMOTORVALVE_9");
  EXPECT_TRUE(r.Log.empty());      // no event
  EXPECT_TRUE(r.ClosedEnd.State);  // outputs untouched
  EXPECT_EQ(r.Byte.Value, 55);
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->ValvePosition(), 8);
  EXPECT_EQ(r.Valve->ValveState(), 6);
  r.Valve->SetValvePosition(4);
  EXPECT_EQ(r.Valve->Position(), 135.0f);
  EXPECT_EQ(r.Valve->ValvePosition(), 4);
  EXPECT_EQ(r.Valve->ValveState(), 6);
  r.Valve->SetValvePosition(10);
  r.Valve->SetValvePosition(-1);
  EXPECT_EQ(r.Valve->ValvePosition(), 4);
  r.Valve->SetValvePosition(0);
  EXPECT_EQ(r.Valve->Position(), 55.0f);
  EXPECT_EQ(r.Valve->ValveState(), 4);
}

TEST(MotorValveSettings, TripTimeAndRanges) {
  Rig r;
  r.Valve->SetTripTime(0);
  r.Valve->SetTripTime(-100);
  EXPECT_EQ(r.Valve->TripTime(), 5000);
  EXPECT_EQ(r.Valve->Step(), 4.0f);
  r.Valve->SetRangeMin(255);  // not below RangeMax
  r.Valve->SetRangeMax(256);
  r.Valve->SetRangeMin(-1);
  EXPECT_EQ(r.Valve->RangeMin(), 55);
  EXPECT_EQ(r.Valve->RangeMax(), 255);
  r.Valve->SetRangeMin(0);
  r.Valve->SetRangeMax(250);
  EXPECT_EQ(r.Valve->Step(), 4.0f);  // stale until the trip time is set again
  EXPECT_EQ(r.Valve->FrameFactor(), 0.04f);
  r.Valve->SetSimTimer(r.Timer);
  EXPECT_EQ(r.Valve->Step(), 5.0f);
  EXPECT_EQ(r.Valve->FrameFactor(), static_cast<float>(8.0 / 250));
}

TEST(MotorValveSettings, StaleFrameFactorNeverReachesPastTheFrames) {
  Rig r;
  r.Valve->SetRangeMin(0);  // factor still made for a range of 200
  r.Valve->SetValvePosition(9);
  ASSERT_EQ(r.Valve->Position(), 225.0f);
  r.Valve->SimulationStep();
  EXPECT_EQ(r.Valve->ValvePosition(), 8);
  EXPECT_EQ(r.Valve->Picture().Name(), "MMOTORVALVE_8");
}

TEST(MotorValveSettings, ResizingShowsFrameZeroAgain) {
  Rig r;
  r.Valve->SetValvePosition(5);
  r.Valve->SetWidth(91);
  EXPECT_EQ(r.Valve->Picture().Name(), "MMOTORVALVE_0");
  EXPECT_EQ(r.Valve->Width(), 91);
  r.Valve->SetValvePosition(5);
  r.Valve->SetHeight(53);
  EXPECT_EQ(r.Valve->Picture().Name(), "MMOTORVALVE_0");
  EXPECT_EQ(r.Valve->Height(), 53);
}

TEST(MotorValveSettings, LayoutInPublishedOrder) {
  Rig r;
  TMotorValve* v = new TMotorValve(&r.Form);
  const auto rejected =
      ApplyProperties(v, {{"RangeMax", 155LL}, {"SimTimer", std::string("Timer1")},
                          {"TripTime", 1000LL}, {"Width", 91LL}, {"ValvePosition", 9LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(v->SimTimer(), r.Timer);
  // TripTime comes before RangeMax, the timer after both: the step is made for the stored range.
  EXPECT_EQ(v->Step(), 10.0f);
  EXPECT_EQ(v->RangeMax(), 155);
  EXPECT_EQ(v->Position(), 235.0f);
  EXPECT_EQ(v->Width(), 91);
}

TEST(MotorValveSettings, TheTimerIsLinkedAfterTheRangeAndAnUnknownNameIsReported) {
  Rig r;
  TMotorValve* v = new TMotorValve(&r.Form);
  EXPECT_TRUE(ApplyProperties(v, {{"SimTimer", std::string("Timer1")}, {"TripTime", 5000LL},
                                  {"RangeMin", 0LL}, {"RangeMax", 250LL}})
                  .empty());
  EXPECT_EQ(v->Step(), 5.0f);
  EXPECT_EQ(v->FrameFactor(), 0.032f);
  TMotorValve* lost = new TMotorValve(&r.Form);
  EXPECT_EQ(ApplyProperties(lost, {{"SimTimer", std::string("Timer9")}}),
            std::vector<std::string>{"SimTimer: nothing named 'Timer9'"});
  EXPECT_EQ(lost->SimTimer(), nullptr);
}

TEST(MotorValveSettings, RegistersOnTheAutomationPage) {
  MotorValve::Register();
  for (const TComponentClass& c : RegisteredComponents())
    if (c.ClassName == "TMotorValve") {
      EXPECT_EQ(c.Page, "Automation");
      std::unique_ptr<TComponent> made(c.Create(nullptr));
      EXPECT_NE(dynamic_cast<TMotorValve*>(made.get()), nullptr);
      return;
    }
  ADD_FAILURE() << "TMotorValve not registered";
}

}  // namespace
