#include "framework/Form.h"

TForm::TForm(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 320, 240); }

void TForm::SetCaption(const std::string& text) {
  if (text == FCaption) return;
  FCaption = text;
  Changed();
}

void TForm::SetColor(TColor c) {
  if (c == FColor) return;
  FColor = c;
  Changed();
}

void TForm::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_STRING(TForm, "Caption", s->Caption(), s->SetCaption(v), ""),
      TPROP_COLOR(TForm, "Color", s->Color(), s->SetColor(static_cast<TColor>(v)), clBtnFace),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
