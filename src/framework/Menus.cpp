#include "framework/Menus.h"

#include <algorithm>

TMenuItem* TPopupMenu::Add(const std::string& caption) {
  auto* item = new TMenuItem(this);
  item->Caption = caption;
  FItems.push_back(item);
  return item;
}

void TPopupMenu::SetPopupComponent(TControl* c) {
  FPopupComponent = c;
  if (c != nullptr) c->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FPopupComponent) FPopupComponent = nullptr;
  FItems.erase(std::remove(FItems.begin(), FItems.end(), component), FItems.end());
}
