#pragma once
// A radio button. The radio buttons that share a parent form one group: checking one clears
// the others. Becoming checked, by the user or by code, raises OnClick; being cleared does not.
#include "framework/ButtonControl.h"

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner);
  std::string_view ClassName() const override { return "TRadioButton"; }
  void GetProperties(TPropList& out) const override;

  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  void Click() override;

 private:
  bool FChecked = false;
};
