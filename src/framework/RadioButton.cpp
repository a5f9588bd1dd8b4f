#include "framework/RadioButton.h"

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::GetProperties(TPropList& out) const {
  TButtonControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TRadioButton, "Checked", s->Checked(), s->SetChecked(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TRadioButton::SetChecked(bool v) {
  if (v == FChecked) return;
  FChecked = v;
  if (v && Parent() != nullptr) {
    // A copy: a sibling's handler could reparent controls.
    const auto siblings = Parent()->Children();
    for (TControl* c : siblings)
      if (auto* r = dynamic_cast<TRadioButton*>(c); r != nullptr && r != this) r->SetChecked(false);
  }
  Changed();
  if (v) OnClick(this);
}

void TRadioButton::Click() {
  if (AcceptsInput()) SetChecked(true);
}
