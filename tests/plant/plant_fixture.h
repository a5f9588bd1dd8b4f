#pragma once
// The bridge plant on a scripted simulator and a private virtual clock. The simulator answers
// every cycle with the output words a test sets, so a test plays the PLC program by hand.
#include <cstdint>
#include <memory>

#include "bridge/BridgeControl.h"
#include "framework/Timer.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "plc/FakeSimulator.h"

// Output bits of byte 124 and 125, as the PLC program drives them.
enum : unsigned {
  kKM1 = 1u << 0, kKM2 = 1u << 1, kKM3 = 1u << 2, kKM4 = 1u << 3,
  kValidar = 1u << 4, kError = 1u << 5,
};

class PlantFixture {
 public:
  PlantFixture() {
    form = std::make_unique<TForm2>(&root, &sim, &clock);
  }
  ~PlantFixture() { form.reset(); }

  // The CPU goes to RUN; from then on each tick reads the output words set below.
  void StartCpu() {
    sim.State = "RUN";
    while (!form->PLC->Faceplate->Running()) Tick();
  }
  void Outputs(unsigned byte124, unsigned byte125 = 0) {
    sim.OutputWords[124] = static_cast<std::uint16_t>((byte124 & 0xFFu) << 8 | (byte125 & 0xFFu));
  }
  void Tick() { clock.Advance(TForm2::kTickMs); }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  void RunMs(std::uint64_t ms) { clock.Advance(ms); }

  // The plant side of the process image: what the PLC will read at the next exchange.
  bool Input(int byteAddress, int bit) const {
    return form->PLC->GetInputPin(byteAddress, bit)->State;
  }
  std::uint8_t InputByte(int j) const { return form->PLC->FirstModule->InputByte(j); }
  int Frame() const { return form->Bridge->FrameNumber(); }

  // A left click as the canvas delivers it: press, click, release.
  static void ClickOn(TControl* c) {
    c->MouseDown(mbLeft, ssLeft, c->Width() / 2, c->Height() / 2);
    c->Click();
    c->MouseUp(mbLeft, 0, c->Width() / 2, c->Height() / 2);
  }

  // Runs a fault test the way the user does: AUTO, pick it in the list, Execute.
  void ExecuteTest(const char* name) {
    TPLC* plc = form->PLC;
    plc->AutoBtn->Click();
    for (int i = 0; i < plc->TestCbx->Count(); ++i)
      if (plc->TestCbx->Items()[static_cast<std::size_t>(i)] == name) plc->TestCbx->Select(i);
    plc->TestExeBtn->Click();
  }

  TTimerClock clock;
  TFakeSimulator sim;
  TComponent root{nullptr};
  std::unique_ptr<TForm2> form;
};
