#include "framework/ButtonControl.h"

TButtonControl::TButtonControl(TComponent* owner) : TControl(owner) {}

void TButtonControl::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_STRING(TButtonControl, "Caption", s->Caption(), s->SetCaption(v), ""),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TButtonControl::SetCaption(const std::string& text) {
  if (text == FCaption) return;
  FCaption = text;
  Changed();
}

bool TButtonControl::AcceptsInput() const {
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::Click() {
  if (AcceptsInput()) OnClick(this);
}
