#pragma once
// A small signalling lamp that a push button can be linked to: it lights while its signal
// input is on, so a panel shows at a glance which contacts are made.
#include <string_view>

#include "framework/Shape.h"
#include "signals/Iopin.h"

class TVisualSignaling : public TShape {
 public:
  explicit TVisualSignaling(TComponent* owner);
  std::string_view ClassName() const override { return "TVisualSignaling"; }
  void GetProperties(TPropList& out) const override;

  // The signal input; its handler is SetState.
  TInputPin* const InPin = &FInPin;
  bool State = false;
  TColor ColorON = clLime;
  TColor ColorOFF = clGray;

  void SetState(bool level, void* sender);
  void SetColorON(TColor c);
  void SetColorOFF(TColor c);

 private:
  TInputPin FInPin;
};

namespace VisualSignaling {
void Register();
}
