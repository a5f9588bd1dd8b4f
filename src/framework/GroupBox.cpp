#include "framework/GroupBox.h"

TGroupBox::TGroupBox(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 185, 105); }

void TGroupBox::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_STRING(TGroupBox, "Caption", s->Caption(), s->SetCaption(v), ""),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TGroupBox::SetCaption(const std::string& text) {
  if (text == FCaption) return;
  FCaption = text;
  Changed();
}
