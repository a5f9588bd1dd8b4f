#pragma once
// A two-position switch: thermal relay, circuit breaker, limit switch, emergency stop or plain
// switch. Its power contact passes the AC supply while closed; its auxiliary contact simply
// reports the position. Clicks toggle it, except a limit switch, which only the plant moves.
#include <string_view>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "signals/Iopin.h"

enum TSwitchType { Termico, Termico3D, LimitSwitch, Emergency, Emergency2, Interruptor, Custom };

class TSwitch : public TImage {
 public:
  using TChangeEvent = TMethod<bool>;

  explicit TSwitch(TComponent* owner);
  std::string_view ClassName() const override { return "TSwitch"; }
  void GetProperties(TPropList& out) const override;

  // Supply entering the power contact; true until someone drives it.
  TInputPin* const ACInPin = &FACInPin;
  // Supply leaving the power contact: State AND supply.
  TOutputPin* const ACOutPin = &FACOutPin;
  // Auxiliary contact: State.
  TOutputPin* const AuxOutPin = &FAuxOutPin;

  TSwitchType SwitchType = Termico;
  // Fired on a change of State, after State is stored and before the contacts move.
  TChangeEvent OnChange;
  TPicture ImageUp;    // shown while open
  TPicture ImageDown;  // shown while closed
  bool State = false;

  void SetState(bool level);
  // Loads the type's picture pair and shows the open picture, whatever State is. Custom
  // empties both pictures, for the user to supply, and leaves the display as it is.
  void SetSwitchType(TSwitchType type);
  // Null is ignored; the display catches up at the next SetState.
  void SetImageUp(const TPicture* p);
  void SetImageDown(const TPicture* p);
  bool GetACInputState() const { return FACInPin.State; }
  void SetACInputState(bool level) { FACInPin.SetState(level); }
  // Handler of ACInPin; reads the pin itself, so both arguments are ignored.
  void UpdateACOutput(bool level, void* sender);
  void ConnectACPinOutTo(TInputPin* pin);
  void ConnectAuxPinOutTo(TInputPin* pin);
  // Mouse-press handler: toggles every type but LimitSwitch.
  void PMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

 private:
  TInputPin FACInPin;
  TOutputPin FACOutPin;
  TOutputPin FAuxOutPin;
};

namespace Switch {
void Register();
}
