#include "framework/CheckBox.h"

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::GetProperties(TPropList& out) const {
  TButtonControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TCheckBox, "Checked", s->Checked(), s->SetChecked(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TCheckBox::SetChecked(bool v) {
  if (v == FChecked) return;
  FChecked = v;
  Changed();
  OnClick(this);
}

void TCheckBox::Click() {
  if (AcceptsInput()) SetChecked(!FChecked);
}
