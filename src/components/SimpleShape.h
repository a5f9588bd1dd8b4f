#pragma once
// A signal lamp: a filled figure, one colour while its input is off and another while on.
#include <string_view>

#include "framework/Shape.h"
#include "signals/Iopin.h"

class TSimpleShape : public TShape {
 public:
  using TChangeEvent = TMethod<bool>;

  explicit TSimpleShape(TComponent* owner);
  std::string_view ClassName() const override { return "TSimpleShape"; }
  void GetProperties(TPropList& out) const override;

  // The lamp's input; its handler is SetState.
  TInputPin* const InPin = &FInPin;
  TColor ColorON = clYellow;
  TColor ColorOFF = clSilver;
  // Lit. Public but not published: a stored layout cannot light a lamp.
  bool State = false;
  // Fired on every SetState, repeated levels included (the pin already filters those).
  TChangeEvent OnChange;

  void SetState(bool level, void* sender);
  void SetColorON(TColor c);
  void SetColorOFF(TColor c);

 private:
  TInputPin FInPin;
};

namespace SimpleShape {
void Register();
}
