#include "framework/RichEdit.h"

TRichEdit::TRichEdit(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 185, 89); }

void TRichEdit::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_STRING(TRichEdit, "Text", s->Text(), s->SetText(v), ""),
      TPROP_BOOL(TRichEdit, "ReadOnly", s->ReadOnly(), s->SetReadOnly(v), false),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TRichEdit::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  Changed();
}

void TRichEdit::SetReadOnly(bool v) {
  if (v == FReadOnly) return;
  FReadOnly = v;
  Changed();
}
