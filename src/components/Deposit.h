#pragma once
// A tank drawn as a filled rectangle whose height is the liquid level. Inlets and outlets carry a
// flow expressed as a time (how long that one alone needs to fill or drain the whole range) and an
// open flag that a pin can drive. The tank moves only in SimulationStep, once per timer tick, and
// publishes its level on a word and its "filled" state on a pin.
#include <memory>
#include <string>
#include <vector>

#include "framework/Shape.h"
#include "framework/Timer.h"
#include "signals/Iopin.h"
#include "signals/Ioword.h"

using TDepositChangeEvent = TMethod<int, int>;  // (state, level)
using TLevelChangeEvent = TMethod<int>;         // (level)

class TDeposit : public TShape {
 public:
  // Tank state codes (3 is unused).
  static constexpr int dsIdle = 0;
  static constexpr int dsEmpty = 1;
  static constexpr int dsFilling = 2;
  static constexpr int dsDraining = 4;
  static constexpr int dsOverflow = 5;

  explicit TDeposit(TComponent* owner);
  ~TDeposit() override;
  std::string_view ClassName() const override { return "TDeposit"; }
  void GetProperties(TPropList& out) const override;

  TDepositChangeEvent OnChange;
  TLevelChangeEvent OnLevelChange;

  TColor DefaultColor = clBlue;
  TColor AlarmColor = clRed;
  int RefreshRatio = 1;

  // Inlets and outlets. Resizing creates fresh, closed entries with flow 0; the pins of the
  // previous entries stay alive (someone may still be connected to them) but no longer drive
  // the tank.
  int SourceNum() const { return static_cast<int>(FIn.Pins.size()); }
  int SinkNum() const { return static_cast<int>(FOut.Pins.size()); }
  void SetSourceNum(int n);
  void SetSinkNum(int n);
  TInputPin* GetInputFlowOpenPin(int i) const;
  TInputPin* GetOutputFlowOpenPin(int i) const;

  float GetInputFlow(int i) const;
  float GetOutputFlow(int i) const;
  void SetInputFlow(int i, float v);
  void SetOutputFlow(int i, float v);
  bool GetInputOpen(int i) const;
  bool GetOutputOpen(int i) const;
  void SetInputOpen(int i, bool open);
  void SetOutputOpen(int i, bool open);

  // Handlers of the inlet and outlet pins: they copy every pin of their side into the flags.
  void InputOpenEvent(bool state, void* sender);
  void OutputOpenEvent(bool state, void* sender);

  // Recomputes net flow, FillupTime, rate and state from the open flows.
  void SetFlow();

  int FillupTime() const { return FFillupTime; }
  void SetFillupTime(int t);
  TTimer* SimTimer() const { return FSimTimer; }
  void SetTimer(TTimer* t);

  int MinLevel() const { return FMinLevel; }
  int MaxLevel() const { return FMaxLevel; }
  void SetMinLevel(int v);
  void SetMaxLevel(int v);
  int GetLevel() const { return Height(); }
  void SetLevel(int v);
  int GetFHeight() const { return Height(); }
  void SetFHeight(int v);

  void ConnectWordOutTo(TInputWord* w);
  void ConnectFilledOutTo(TInputPin* p);

  // One simulation step; the sender argument lets a timer's OnTimer be bound to it directly.
  void SimulationStep(TObject* sender = nullptr);

  // Read-only views of the internal quantities, for owners and tests.
  int State() const { return FState; }
  float Rate() const { return FRate; }
  float Accumulator() const { return FAccumulator; }
  int StepInterval() const { return FInterval; }
  int BottomEdge() const { return FBottom; }
  const TOutputWord& LevelOutput() const { return FLevelOut; }
  const TOutputPin& FilledOutput() const { return FFilledOut; }

 private:
  struct TSide {
    std::vector<TInputPin*> Pins;
    std::vector<float> Flows;
    std::vector<bool> Open;
  };
  void Resize(TSide& side, int n, void (TDeposit::*handler)(bool, void*));
  static void CopyPins(TSide& side);
  // Places the rectangle at height v over the remembered bottom edge. raiseMax lets the level
  // pull MaxLevel up to a taller rectangle first (a rectangle grown by other means).
  void ApplyLevel(int v, bool raiseMax);
  void RecomputeFillupTime();

  TSide FIn, FOut;
  std::vector<std::unique_ptr<TInputPin>> FPins;  // every pin ever created, current or retired
  TOutputWord FLevelOut;
  TOutputPin FFilledOut;
  int FMinLevel = 0;
  int FMaxLevel = 1000;
  int FBottom = 0;
  TTimer* FSimTimer = nullptr;
  int FInterval = 1;
  float FRate = 1.0f;
  float FAccumulator = 0.0f;
  int FFillupTime = 1000;
  int FState = 0;
  bool FConstructed = false;
};

namespace Deposit {
void Register();
}
