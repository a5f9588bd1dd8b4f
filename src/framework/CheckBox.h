#pragma once
// A check box. Changing Checked, by the user or by code, raises OnClick.
#include "framework/ButtonControl.h"

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner);
  std::string_view ClassName() const override { return "TCheckBox"; }
  void GetProperties(TPropList& out) const override;

  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  // The user's click toggles the box.
  void Click() override;

 private:
  bool FChecked = false;
};
