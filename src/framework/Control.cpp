#include "framework/Control.h"

#include <algorithm>

#include "framework/Menus.h"

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  // Children owned elsewhere lose their parent rather than point at a dead control.
  for (TControl* c : FChildren) c->FParent = nullptr;
  FChildren.clear();
  SetParent(nullptr);
  const auto observers = FObservers;
  FObservers.clear();
  for (TControlObserver* o : observers)
    if (o != nullptr) o->ControlDestroyed(this);
}

void TControl::GetProperties(TPropList& out) const {
  TComponent::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_INT(TControl, "Left", s->Left(), s->SetLeft(static_cast<int>(v)), 0),
      TPROP_INT(TControl, "Top", s->Top(), s->SetTop(static_cast<int>(v)), 0),
      TPROP_INT(TControl, "Width", s->Width(), s->SetWidth(static_cast<int>(v)), 0),
      TPROP_INT(TControl, "Height", s->Height(), s->SetHeight(static_cast<int>(v)), 0),
      TPROP_STRING(TControl, "Hint", s->Hint(), s->SetHint(v), ""),
      TPROP_BOOL(TControl, "ShowHint", s->ShowHint(), s->SetShowHint(v), false),
      TPROP_BOOL(TControl, "Visible", s->Visible(), s->SetVisible(v), true),
      TPROP_BOOL(TControl, "Enabled", s->Enabled(), s->SetEnabled(v), true),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Changed();
}

void TControl::SetParent(TControl* parent) {
  if (parent == FParent) return;
  for (TControl* p = parent; p != nullptr; p = p->FParent)
    if (p == this) return;
  if (FParent != nullptr) {
    auto& list = FParent->FChildren;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    FParent->NotifyChildren();
  }
  FParent = parent;
  if (FParent != nullptr) {
    FParent->FChildren.push_back(this);
    FParent->NotifyChildren();
  }
}

void TControl::NotifyChildren() {
  ++FNotifying;
  for (std::size_t i = 0; i < FObservers.size(); ++i)
    if (FObservers[i] != nullptr) FObservers[i]->ChildrenChanged(this);
  if (--FNotifying == 0) CompactObservers();
}

void TControl::CompactObservers() {
  FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), nullptr), FObservers.end());
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  FPopupMenu = menu;
  // Old links stay: a stale one costs nothing, and cutting it could cut the menu's own link
  // back to this control (PopupComponent).
  if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetVisible(bool v) {
  if (v == FVisible) return;
  FVisible = v;
  Changed();
}

void TControl::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  Changed();
}

void TControl::SetHint(const std::string& v) {
  if (v == FHint) return;
  FHint = v;
  Changed();
}

void TControl::SetShowHint(bool v) {
  if (v == FShowHint) return;
  FShowHint = v;
  Changed();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() { OnClick(this); }

void TControl::AddObserver(TControlObserver* o) {
  if (o != nullptr && std::find(FObservers.begin(), FObservers.end(), o) == FObservers.end())
    FObservers.push_back(o);
}

void TControl::RemoveObserver(TControlObserver* o) {
  if (o == nullptr) return;
  if (FNotifying > 0) {
    std::replace(FObservers.begin(), FObservers.end(), o, static_cast<TControlObserver*>(nullptr));
    return;
  }
  FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), o), FObservers.end());
}

void TControl::Changed() {
  if (FObservers.empty()) return;
  ++FNotifying;
  for (std::size_t i = 0; i < FObservers.size(); ++i)
    if (FObservers[i] != nullptr) FObservers[i]->ControlChanged(this);
  if (--FNotifying == 0) CompactObservers();
}
