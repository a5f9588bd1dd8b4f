#include "framework/Form.h"

#include <algorithm>

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
      TPROP_BOOL(TForm, "AutoSize", s->AutoSize(), s->SetAutoSize(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TForm::SetFormStyle(TFormStyle s) {
  if (s == FFormStyle) return;
  FFormStyle = s;
  Changed();
}

void TForm::SetBorderStyle(TFormBorderStyle s) {
  if (s == FBorderStyle) return;
  FBorderStyle = s;
  Changed();
}

void TForm::SetAutoSize(bool v) {
  if (v == FAutoSize) return;
  FAutoSize = v;
  Changed();
}

void TForm::ContentSize(int& width, int& height) const {
  width = 0;
  height = 0;
  for (const TControl* c : Children()) {
    if (!c->Visible()) continue;
    width = std::max(width, c->Left() + c->Width());
    height = std::max(height, c->Top() + c->Height());
  }
}

void TForm::Close() {
  DoClose();
  Hide();
}
