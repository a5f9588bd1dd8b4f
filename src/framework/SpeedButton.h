#pragma once
// A flat tool button. With a non-zero GroupIndex it behaves as a toggle: the buttons of the
// same parent and group index are exclusive, and a click presses the button down. OnClick is
// raised by every accepted click, not by setting Down from code.
#include "framework/ButtonControl.h"

class TSpeedButton : public TButtonControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  std::string_view ClassName() const override { return "TSpeedButton"; }
  void GetProperties(TPropList& out) const override;

  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int g);
  bool Down() const { return FDown; }
  void SetDown(bool v);
  // Whether a click on the down button of a group lifts it.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v) { FAllowAllUp = v; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);

  void Click() override;

 private:
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FFlat = false;
};
