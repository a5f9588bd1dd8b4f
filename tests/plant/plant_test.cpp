// The bridge plant as the PLC sees it and as it answers the PLC: start-up levels, wiring of
// every input and output, the deck's travel at both speeds, the interlock, jam and repair, and
// the two fault tests. The PLC is played by hand through the scripted simulator.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "plant_fixture.h"

namespace {

class Plant : public ::testing::Test, public PlantFixture {};

TEST_F(Plant, StartsWithTheDeckDownAndOnlyTheNormallyClosedInputsTrue) {
  // E124.3 PARADA_E, E124.4 FC_A and E125.0 FE-TERMICO; nothing else.
  EXPECT_EQ(InputByte(0), 0x18);
  EXPECT_EQ(InputByte(1), 0x01);
  // The PLC receives exactly that word at the first exchange.
  Tick();
  EXPECT_EQ(sim.InputWords[124], 0x1801);

  EXPECT_EQ(Frame(), 0);
  // The meter keeps its designed caption until the elevation first changes.
  EXPECT_EQ(form->ElevationMeter->Caption(), "   000");
  EXPECT_TRUE(form->FC_A->State);
  EXPECT_FALSE(form->FC_B->State || form->FC_C->State || form->FC_D->State);
  EXPECT_TRUE(form->MagnetoTermico->State);
  EXPECT_TRUE(form->MainsOn());
  EXPECT_TRUE(form->Termico->State);
  EXPECT_TRUE(form->PB_PE->State);
  EXPECT_FALSE(form->KM1->State || form->KM2->State || form->KM3->State || form->KM4->State);
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kSlowTripTime);
  EXPECT_TRUE(form->V2ReparacionBtn->Down());
  EXPECT_FALSE(form->V2AtascoBtn->Down());
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  EXPECT_TRUE(form->PLC->Visible());
  EXPECT_TRUE(form->LayoutProblems.empty()) << form->LayoutProblems.front();
}

TEST_F(Plant, RegistersBothFaultTestsAndNamesTheBits) {
  const auto& items = form->PLC->TestCbx->Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], "Fallo térmico");
  EXPECT_EQ(items[1], "Apagado");
  EXPECT_EQ(form->PLC->Descriptions[0], "Se va a probar que salte");
  EXPECT_EQ(form->PLC->Descriptions[1], "Se simula un fallo de alimentación");
  // The bits with no device keep no name.
  EXPECT_STREQ(TForm2::InputNames[9], "REARME");
  EXPECT_EQ(TForm2::InputNames[10], nullptr);
  EXPECT_STREQ(TForm2::OutputNames[15], "S_ROJO");
  EXPECT_EQ(TForm2::OutputNames[13], nullptr);
}

TEST_F(Plant, EveryPanelDeviceDrivesItsOwnInputBit) {
  struct Case {
    TControl* device;
    int byte, bit;
    bool normal;  // level while untouched
  };
  const std::vector<Case> cases = {
      {form->ComienzoBtn, 124, 0, false}, {form->SubirBtn, 124, 1, false},
      {form->BajarBtn, 124, 2, false},    {form->RearmeBtn, 125, 1, false},
  };
  for (const Case& c : cases) {
    c.device->MouseDown(mbLeft, ssLeft, 5, 5);
    for (int b = 0; b < 16; ++b) {
      const int byte = 124 + b / 8;
      const int bit = b % 8;
      const bool pressed = byte == c.byte && bit == c.bit;
      const bool normallyTrue = (byte == 124 && (bit == 3 || bit == 4)) || (byte == 125 && bit == 0);
      EXPECT_EQ(Input(byte, bit), pressed || normallyTrue)
          << c.device->Name << " held, bit " << byte << "." << bit;
    }
    c.device->MouseUp(mbLeft, 0, 5, 5);
    Tick();  // a press not yet read by the PLC is held for it
    EXPECT_EQ(Input(c.byte, c.bit), c.normal) << c.device->Name << " released";
  }
  // The emergency stop and the thermal relay are normally closed: a click opens them.
  ClickOn(form->PB_PE);
  EXPECT_FALSE(Input(124, 3));
  ClickOn(form->PB_PE);
  EXPECT_TRUE(Input(124, 3));
  ClickOn(form->Termico);
  EXPECT_FALSE(Input(125, 0));
  ClickOn(form->Termico);
  EXPECT_TRUE(Input(125, 0));
  // A limit switch is moved by the deck only.
  ClickOn(form->FC_A);
  EXPECT_TRUE(form->FC_A->State);
  EXPECT_TRUE(Input(124, 4));
}

TEST_F(Plant, AQuickClickOnAPanelButtonIsReadByOneCycleAndAHeldOneLetsGoAtOnce) {
  StartCpu();
  struct Case {
    TPushButton* button;
    int byte, bit;
  };
  for (const Case& c : {Case{form->ComienzoBtn, 124, 0}, Case{form->SubirBtn, 124, 1},
                        Case{form->BajarBtn, 124, 2}, Case{form->RearmeBtn, 125, 1}}) {
    SCOPED_TRACE(c.button->Name);
    const std::uint16_t mask =
        static_cast<std::uint16_t>(c.byte == 124 ? 0x100u << c.bit : 1u << c.bit);
    sim.Calls.clear();
    ClickOn(c.button);  // press and release inside one tick
    Tick();
    ASSERT_EQ(sim.InputWords.count(124), 1u);
    EXPECT_NE(sim.InputWords[124] & mask, 0) << "the click reached the PLC";
    EXPECT_GT(sim.CountCalls("RunCycle"), 0);
    EXPECT_FALSE(c.button->State) << "and let go once it was read";
    Tick();
    EXPECT_EQ(sim.InputWords[124] & mask, 0);
    // Held across a tick, the release is immediate.
    c.button->MouseDown(mbLeft, ssLeft, 5, 5);
    Tick();
    c.button->MouseUp(mbLeft, 0, 5, 5);
    EXPECT_FALSE(Input(c.byte, c.bit));
  }
}

TEST_F(Plant, EachOutputBitLightsItsLampAndTheTrafficLightsGoInPairs) {
  StartCpu();
  struct Case {
    unsigned b124, b125;
    std::vector<TSimpleShape*> lit;
  };
  TForm2& f = *form;
  const std::vector<Case> cases = {
      {kValidar, 0, {f.L_VALIDAR}}, {kError, 0, {f.L_ERROR}},
      {0, 1u << 0, {f.L_FASE0}},    {0, 1u << 1, {f.L_FASE1}},
      {0, 1u << 2, {f.L_FASE2}},    {0, 1u << 3, {f.L_FASE3}},
      {0, 1u << 4, {f.L_FASE4}},    {0, 1u << 6, {f.S1A, f.S2A}},
      {0, 1u << 7, {f.S1R, f.S2R}}, {0, 1u << 5, {}},
      {1u << 6 | 1u << 7, 0, {}},
  };
  const std::vector<TSimpleShape*> lamps = {f.L_FASE0, f.L_FASE1, f.L_FASE2, f.L_FASE3, f.L_FASE4,
                                            f.L_VALIDAR, f.L_ERROR, f.S1R, f.S1A, f.S2R, f.S2A};
  for (const Case& c : cases) {
    Outputs(c.b124, c.b125);
    Tick();
    for (TSimpleShape* lamp : lamps) {
      const bool expected = std::find(c.lit.begin(), c.lit.end(), lamp) != c.lit.end();
      EXPECT_EQ(lamp->State, expected) << lamp->Name << " for A124=" << c.b124 << " A125=" << c.b125;
      EXPECT_EQ(lamp->Brush.Color(), expected ? lamp->ColorON : lamp->ColorOFF) << lamp->Name;
    }
  }
  // Lamp colours of the layout: lime phases but the yellow "1", red error and red lights.
  EXPECT_EQ(f.L_FASE0->ColorON, clLime);
  EXPECT_EQ(f.L_FASE1->ColorON, clYellow);
  EXPECT_EQ(f.L_ERROR->ColorON, clRed);
  EXPECT_EQ(f.S2R->ColorON, clRed);
  EXPECT_EQ(f.S2A->ColorON, clYellow);
}

// Runs until the deck shows `frame` (or the limit), checking that it never skips a frame.
int TicksToFrame(Plant& p, int frame, int limit, std::vector<int>* elevations = nullptr) {
  int ticks = 0;
  int last = p.Frame();
  while (p.Frame() != frame && ticks < limit) {
    p.Tick();
    ++ticks;
    EXPECT_LE(std::abs(p.Frame() - last), 1) << "skipped from frame " << last;
    last = p.Frame();
    if (elevations != nullptr) elevations->push_back(std::stoi(p.form->ElevationMeter->Caption()));
  }
  return ticks;
}

TEST_F(Plant, SlowRaiseClimbsFrameByFrameToTheTopInAbout24Seconds) {
  StartCpu();
  Outputs(kKM1 | kKM4);
  const std::uint64_t start = clock.Now();
  std::vector<int> elevations;
  // The limit switches the PLC sees, by frame, as the deck passes.
  std::vector<std::uint8_t> switchesAt(40, 0xFF);
  int ticks = 0;
  while (Frame() != 39 && ticks < 1000) {
    Tick();
    ++ticks;
    switchesAt[static_cast<std::size_t>(Frame())] = static_cast<std::uint8_t>(InputByte(0) >> 4);
    elevations.push_back(std::stoi(form->ElevationMeter->Caption()));
  }
  ASSERT_EQ(Frame(), 39);
  const double seconds = static_cast<double>(clock.Now() - start) / 1000.0;
  // 39 frames at 0.08 frames a tick, plus the tick in which the outputs arrive.
  EXPECT_NEAR(seconds, 24.4, 0.1);
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kSlowTripTime);
  // FC_A 0-4, FC_B 2-9, FC_C 24-30, FC_D 29-35 (bit 0 FC_A ... bit 3 FC_D).
  for (int f = 1; f < 40; ++f) {
    const unsigned expected = (f <= 4 ? 1u : 0u) | (f >= 2 && f <= 9 ? 2u : 0u) |
                              (f >= 24 && f <= 30 ? 4u : 0u) | (f >= 29 && f <= 35 ? 8u : 0u);
    EXPECT_EQ(switchesAt[static_cast<std::size_t>(f)], expected) << "frame " << f;
  }
  EXPECT_TRUE(std::is_sorted(elevations.begin(), elevations.end()));
  EXPECT_EQ(elevations.front(), 0);
  EXPECT_EQ(elevations.back(), 90);
  // At the top the deck stays, with the motor still running.
  RunMs(5000);
  EXPECT_EQ(Frame(), 39);
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
  EXPECT_TRUE(form->FC_D->State == false && form->FC_C->State == false);
}

TEST_F(Plant, FastRaiseTakesAbout15Seconds) {
  StartCpu();
  Outputs(kKM1 | kKM3);
  const std::uint64_t start = clock.Now();
  ASSERT_LT(TicksToFrame(*this, 39, 1000), 1000);
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kFastTripTime);
  const double seconds = static_cast<double>(clock.Now() - start) / 1000.0;
  EXPECT_GT(seconds, 14.4);
  EXPECT_LE(seconds, 15.0);
}

TEST_F(Plant, LoweringRunsTheFramesBackDownToTheBottom) {
  StartCpu();
  Outputs(kKM1 | kKM3);
  ASSERT_LT(TicksToFrame(*this, 39, 1000), 1000);
  Outputs(kKM2 | kKM3);
  std::vector<int> elevations;
  ASSERT_LT(TicksToFrame(*this, 0, 1000, &elevations), 1000);
  EXPECT_TRUE(std::is_sorted(elevations.rbegin(), elevations.rend()));
  EXPECT_TRUE(Input(124, 4));
  EXPECT_TRUE(form->Bridge->Reverse);
  // Without outputs everything stops.
  Outputs(0);
  Tick();
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  EXPECT_EQ(form->Bridge->PlayState, psPaused);
}

TEST_F(Plant, TheSpeedContactorEnergisedLastChoosesTheSpeed) {
  StartCpu();
  Outputs(kKM1 | kKM3);
  Tick();
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kFastTripTime);
  Outputs(kKM1 | kKM3 | kKM4);
  Tick();
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kSlowTripTime);
  // Dropping a speed contactor chooses nothing.
  Outputs(kKM1 | kKM3);
  Tick();
  EXPECT_EQ(form->Bridge->TripTime(), TForm2::kSlowTripTime);
  EXPECT_NEAR(form->Bridge->FramesPerTick(), 0.08f, 1e-6f);
}

TEST_F(Plant, ADirectionContactorAloneBarelyMovesTheDeck) {
  StartCpu();
  Outputs(kKM1);
  RunMs(5000);
  EXPECT_EQ(Frame(), 0);
  EXPECT_LE(form->Bridge->FrameAccumulator(), 0.0801f);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  EXPECT_TRUE(form->KM1->ACOutState);
  EXPECT_EQ(form->Bridge->PlayState, psPaused);
}

TEST_F(Plant, RaiseAndLowerTogetherTripTheBreakerUntilItIsClosedByHand) {
  StartCpu();
  Outputs(kKM1 | kKM4);
  RunMs(3000);
  const int frame = Frame();
  ASSERT_GT(frame, 0);
  Outputs(kKM1 | kKM2 | kKM4);
  // The tick that energises both coils also opens the breaker.
  int ticks = 0;
  while (!form->KM2->State && ticks < 10) {
    Tick();
    ++ticks;
  }
  ASSERT_TRUE(form->KM2->State);
  EXPECT_FALSE(form->MagnetoTermico->State);
  EXPECT_EQ(form->Image1->Picture().Name(), "BACKDROP_OPEN") << "dead below the breaker";
  EXPECT_FALSE(form->KM1PowerIn->State);
  EXPECT_FALSE(form->KM2PowerIn->State);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  // Correct outputs do not close it again.
  Outputs(kKM1 | kKM4);
  RunMs(3000);
  EXPECT_FALSE(form->MagnetoTermico->State);
  EXPECT_EQ(Frame(), frame);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  // A click on the breaker does.
  ClickOn(form->MagnetoTermico);
  EXPECT_TRUE(form->MagnetoTermico->State);
  EXPECT_EQ(form->Image1->Picture().Name(), "BACKDROP");
  RunMs(2000);
  EXPECT_GT(Frame(), frame);
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
}

TEST_F(Plant, AJamFreezesTheDeckAndARepairLetsItContinueOnTheNextTick) {
  StartCpu();
  Outputs(kKM1 | kKM3);
  RunMs(4000);
  const int frame = Frame();
  ASSERT_GT(frame, 0);
  form->V2AtascoBtn->Click();
  EXPECT_TRUE(form->V2AtascoBtn->Down());
  EXPECT_FALSE(form->V2ReparacionBtn->Down());
  RunMs(5000);
  EXPECT_EQ(Frame(), frame);
  EXPECT_EQ(form->Bridge->PlayState, psJammed);
  // The motor is still supplied: the jam is mechanical.
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
  // Neither a pause nor a new direction frees it.
  Outputs(0);
  Tick();
  Outputs(kKM1 | kKM3);
  Tick();
  EXPECT_EQ(form->Bridge->PlayState, psJammed);
  form->V2ReparacionBtn->Click();
  EXPECT_TRUE(form->V2ReparacionBtn->Down());
  EXPECT_FALSE(form->V2AtascoBtn->Down());
  EXPECT_EQ(form->Bridge->PlayState, psStopped);
  Tick();
  EXPECT_EQ(form->Bridge->PlayState, psPlaying);
  RunMs(1000);
  EXPECT_GT(Frame(), frame);
}

TEST_F(Plant, ThermalFaultTripsARunningMotorUntilTheRelayIsClosedAgain) {
  StartCpu();
  Outputs(kKM1 | kKM4);
  RunMs(3000);
  const int frame = Frame();
  ASSERT_EQ(form->Motor->Status, TMotor::Running);
  ExecuteTest(TForm2::kThermalTest);
  EXPECT_FALSE(form->Termico->State);
  EXPECT_FALSE(Input(125, 0));
  EXPECT_EQ(form->Motor->Status, TMotor::Tripped);
  // The contactors still hold (this PLC ignores FE), yet the tripped motor moves nothing.
  RunMs(3000);
  EXPECT_EQ(form->Motor->Status, TMotor::Tripped);
  EXPECT_LE(Frame(), frame + 1);
  const int stopped = Frame();
  // Closing the relay repairs the motor, and the deck goes on.
  ClickOn(form->Termico);
  EXPECT_TRUE(Input(125, 0));
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
  RunMs(2000);
  EXPECT_GT(Frame(), stopped);
}

TEST_F(Plant, ResetBringsTheDeckDownAndEndsEveryFaultSoThePlantRunsAgain) {
  StartCpu();
  Outputs(kKM1 | kKM3);
  RunMs(6000);
  ASSERT_GT(Frame(), 4);
  ExecuteTest(TForm2::kThermalTest);
  form->V2AtascoBtn->Click();
  form->KM1->SetWelded(true);
  form->SetMotorSlowness(3.0);
  form->PLC->FirstModule->SetInputFault(3, 0);
  form->PLC->FirstModule->SetInputBounce(1, 4);
  Outputs(kKM1 | kKM2);  // a short circuit trips the breaker
  Tick();
  ASSERT_FALSE(form->MagnetoTermico->State);
  form->SetMains(false);
  Outputs(0);
  Tick();

  form->ResetPlant();
  EXPECT_EQ(Frame(), 0);
  EXPECT_TRUE(form->FC_A->State);
  EXPECT_TRUE(form->MainsOn());
  EXPECT_TRUE(form->MagnetoTermico->State);
  EXPECT_TRUE(form->Termico->State);
  EXPECT_FALSE(form->KM1->Welded());
  EXPECT_EQ(form->MotorSlowness(), 1.0);
  EXPECT_EQ(form->PLC->FirstModule->InputFault(3), -1);
  EXPECT_TRUE(form->V2ReparacionBtn->Down());
  EXPECT_NE(form->Bridge->PlayState, psJammed);
  Tick();
  EXPECT_EQ(InputByte(0), 0x18) << "only the emergency stop and the lower limit switch";
  EXPECT_EQ(InputByte(1), 0x01) << "and the thermal relay";
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  Outputs(kKM1 | kKM3);
  RunMs(3000);
  EXPECT_GT(Frame(), 4);
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
}

TEST_F(Plant, ATrippedMotorLooksTrippedUntilTheRelayIsClosedEvenAfterTheProgramStopsIt) {
  StartCpu();
  Outputs(kKM1 | kKM4);
  RunMs(2000);
  ExecuteTest(TForm2::kThermalTest);
  Outputs(0);  // the program sees FE and drops the contactors
  RunMs(3000);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  EXPECT_EQ(form->Motor->Picture().Name(), "MOTOR_TRIP");
  ClickOn(form->Termico);
  EXPECT_EQ(form->Motor->Picture().Name(), "MOTOR_OFF");
  Tick();
  EXPECT_EQ(form->Motor->Picture().Name(), "MOTOR_OFF");
}

TEST_F(Plant, ThermalFaultOnAnIdleMotorOnlyOpensTheRelay) {
  StartCpu();
  ExecuteTest(TForm2::kThermalTest);
  EXPECT_FALSE(Input(125, 0));
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  // A PLC that answers by dropping the contactors leaves a stopped motor behind.
  Tick();
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
}

TEST_F(Plant, MainsFailureStopsEverythingUntilTheTestIsExecutedAgain) {
  StartCpu();
  Outputs(kKM1 | kKM4);
  RunMs(3000);
  const int frame = Frame();
  ExecuteTest(TForm2::kMainsTest);
  EXPECT_FALSE(form->MainsOn());
  EXPECT_FALSE(form->MagnetoTermico->ACOutPin->State);
  EXPECT_FALSE(form->KM1->ACInputState);
  EXPECT_FALSE(form->KM1PowerIn->State);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  // The breaker itself did not trip; the coils still hold; nothing moves. The circuit looks
  // dead all the way up to the breaker's mains side, whatever the breaker does meanwhile.
  EXPECT_TRUE(form->MagnetoTermico->State);
  EXPECT_EQ(form->Image1->Picture().Name(), "BACKDROP_DEAD");
  ClickOn(form->MagnetoTermico);
  ClickOn(form->MagnetoTermico);
  EXPECT_EQ(form->Image1->Picture().Name(), "BACKDROP_DEAD");
  RunMs(3000);
  EXPECT_TRUE(form->KM1->State);
  EXPECT_EQ(Frame(), frame);
  EXPECT_EQ(form->Motor->Status, TMotor::Stopped);
  // Executed again, the mains come back and the deck goes on.
  form->PLC->TestExeBtn->Click();
  EXPECT_TRUE(form->MainsOn());
  EXPECT_EQ(form->Image1->Picture().Name(), "BACKDROP");
  EXPECT_TRUE(form->KM1PowerIn->State);
  RunMs(2000);
  EXPECT_GT(Frame(), frame);
  EXPECT_EQ(form->Motor->Status, TMotor::Running);
}

TEST_F(Plant, FaultTestsNeedAutomaticMode) {
  // In MANUAL the list and the button are locked: nothing happens.
  form->PLC->TestExeBtn->Click();
  EXPECT_TRUE(form->Termico->State);
  EXPECT_TRUE(form->MainsOn());
}

TEST(PlantLifetime, TheDeckGoesWithTheWindowWhateverOwnsIt) {
  TTimerClock clock;
  TFakeSimulator sim;
  {
    // Without an owner the form keeps everything itself.
    TForm2 form(nullptr, &sim, &clock);
    clock.Advance(200);
  }
  {
    TComponent app(nullptr);
    auto* form = new TForm2(&app, &sim, &clock);
    EXPECT_EQ(form->Bridge->Owner(), &app);
    EXPECT_EQ(form->Bridge->Parent(), form);
    clock.Advance(200);
    // The application goes first-created last: the deck, then the window.
  }
  {
    TComponent app(nullptr);
    auto* form = new TForm2(&app, &sim, &clock);
    delete form;
    EXPECT_TRUE(app.Components().empty());
  }
  // No timer of a dead plant is left on the clock.
  EXPECT_EQ(clock.NextDue(), -1);
}

TEST(PlantStartup, WithoutASimulatorTheWindowIsNotBuilt) {
  TTimerClock clock;
  TFakeSimulator sim;
  sim.Running = false;
  TComponent app(nullptr);
  EXPECT_THROW(TForm2(&app, &sim, &clock), EPLCSimNotRunning);
  EXPECT_TRUE(app.Components().empty());
}

}  // namespace
