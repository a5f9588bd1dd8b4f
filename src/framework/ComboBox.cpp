#include "framework/ComboBox.h"

TComboBox::TComboBox(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 145, 21); }

void TComboBox::GetProperties(TPropList& out) const {
  TControl::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TComboBox, "ItemIndex", s->ItemIndex(), s->SetItemIndex(static_cast<int>(v)), -1),
      TPROP_BOOL(TComboBox, "AutoComplete", s->AutoComplete(), s->SetAutoComplete(v), true),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

int TComboBox::AddItem(const std::string& text) {
  FItems.push_back(text);
  Changed();
  return Count() - 1;
}

void TComboBox::Clear() {
  FItems.clear();
  FItemIndex = -1;
  Changed();
}

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == FItemIndex) return;
  FItemIndex = index;
  Changed();
}

std::string TComboBox::Text() const {
  return FItemIndex >= 0 ? FItems[static_cast<std::size_t>(FItemIndex)] : std::string();
}

void TComboBox::SetStyle(TComboBoxStyle s) {
  if (s == FStyle) return;
  FStyle = s;
  Changed();
}

void TComboBox::Select(int index) {
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Enabled()) return;
  if (index < 0 || index >= Count()) return;
  SetItemIndex(index);
  OnChange(this);
}
