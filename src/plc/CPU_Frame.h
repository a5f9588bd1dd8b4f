#pragma once
// The CPU module at the left of the rack. It owns the one connection to the simulator, holds
// the rack's I/O modules and exchanges their process image on request, polls the CPU state
// every 100 ms to show it on its LEDs and mode selector, and lets the user switch the CPU
// between RUN-P, RUN and STOP with that selector.
#include <memory>
#include <string>
#include <vector>

#include "framework/RadioButton.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"
#include "framework/Timer.h"
#include "plc/S7ProSim.h"

class TIOModule;

// Mode raised on a state change: 0 stopped, 1 RUN, 2 RUN-P.
using TStateChangeEvent = TMethod<int>;

class TCPU : public TShape {
 public:
  // Creates the simulator connection through backEnd (the active back end when null) and polls
  // on clock (the default clock when null).
  TCPU(TComponent* owner, TControl* parentWindow, TSimulatorBackEnd* backEnd = nullptr,
       TTimerClock* clock = nullptr);
  ~TCPU() override;
  std::string_view ClassName() const override { return "TCPU"; }

  // Puts a module on the rack, right of the last one. A module already there, or one that
  // shares a byte with a module already there, is not added.
  void AddModule(TIOModule* m);
  // Writes every module's inputs; while running, runs one cycle and reads every module's
  // outputs back onto its output pins.
  void Exchange();
  // Power on clears every module's outputs; power off changes nothing.
  void SetPower(bool on);
  // The 100 ms state poll (the timer's handler).
  void Poll();
  // Asks the simulator for a state ("RUN_P", "RUN", "STOP", "MRES"); nothing without one.
  void RequestCpuState(std::string_view state);

  const std::vector<TIOModule*>& Modules() const { return FModules; }
  bool Running() const { return FRunning; }
  // The last state text read; empty before the first successful read.
  const std::string& LastState() const { return FLastState; }
  // Null when the simulator could not be created or reached.
  IS7ProSim* Simulator() const { return FSimulator.get(); }

  TSimResult CreateResult = kSimUnavailable;
  TSimResult ConnectResult = kSimUnavailable;
  // ConnectSimulator calls made at construction.
  int ConnectAttempts = 0;
  // Why there is no simulator; empty when connected.
  std::string ConnectError;
  TStateChangeEvent OnStateChange;

  // Connection attempts before giving up (a back end that pauses 100 ms between attempts is
  // thus given three seconds).
  static constexpr int kMaxConnectAttempts = 30;
  static constexpr unsigned kPollInterval = 100;
  static constexpr int kWidth = 168;
  static constexpr int kHeight = 227;

  // The designed layout, for views and tests. The faceplate owns these (and its timer); the
  // modules belong to whoever created them.
  TStaticText* Title;
  TStaticText* PsText;
  TStaticText* CpuText;
  TShape* OnLed;
  TShape* BatfLed;
  TShape* IntfLed;
  TShape* ExtfLed;
  TShape* Busf1Led;
  TShape* Busf2Led;
  TShape* FrceLed;
  TShape* RunLed;
  TShape* StopLed;
  std::vector<TStaticText*> LedLabels;  // in the order of the LEDs above
  TShape* Separator;
  TShape* Selector;  // the box holding the three positions
  TRadioButton* RunPBtn;
  TRadioButton* RunBtn;
  TRadioButton* StopBtn;
  TTimer* Timer;

 private:
  void Connect(TSimulatorBackEnd* backEnd);
  TShape* MakeLed(int x, int y, const char* label, TColor fill);
  void PollTimer(TObject* sender);
  void RunPClick(TObject* sender);
  void RunClick(TObject* sender);
  void StopClick(TObject* sender);
  void ShowState(const std::string& state);

  std::vector<TIOModule*> FModules;
  std::unique_ptr<IS7ProSim> FSimulator;
  bool FRunning = false;
  std::string FLastState;
  std::string FReadBuffer;
};
