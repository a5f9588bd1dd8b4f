#include "framework/SpeedButton.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::GetProperties(TPropList& out) const {
  TButtonControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TSpeedButton, "GroupIndex", s->GroupIndex(), s->SetGroupIndex(static_cast<int>(v)),
                0),
      TPROP_BOOL(TSpeedButton, "Down", s->Down(), s->SetDown(v), false),
      TPROP_BOOL(TSpeedButton, "Flat", s->Flat(), s->SetFlat(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TSpeedButton::SetGroupIndex(int g) {
  if (g == FGroupIndex) return;
  FGroupIndex = g;
  if (g == 0) SetDown(false);
}

void TSpeedButton::SetDown(bool v) {
  // A button outside any group cannot stay down.
  if (FGroupIndex == 0) v = false;
  if (v == FDown) return;
  FDown = v;
  if (v && Parent() != nullptr) {
    const auto siblings = Parent()->Children();
    for (TControl* c : siblings) {
      auto* b = dynamic_cast<TSpeedButton*>(c);
      if (b != nullptr && b != this && b->FGroupIndex == FGroupIndex) b->SetDown(false);
    }
  }
  Changed();
}

void TSpeedButton::SetFlat(bool v) {
  if (v == FFlat) return;
  FFlat = v;
  Changed();
}

void TSpeedButton::Click() {
  if (!AcceptsInput()) return;
  if (FGroupIndex != 0) {
    if (!FDown)
      SetDown(true);
    else if (FAllowAllUp)
      SetDown(false);
  }
  OnClick(this);
}
