#pragma once
// Context menus. A view opens the menu on a control (which becomes PopupComponent) and
// delivers the chosen item back with TMenuItem::Click.
#include <string>
#include <vector>

#include "framework/Control.h"

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  std::string_view ClassName() const override { return "TMenuItem"; }

  std::string Caption;
  bool Enabled = true;
  TNotifyEvent OnClick;

  // A disabled item does nothing, as on screen.
  void Click() {
    if (Enabled) OnClick(this);
  }
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
  std::string_view ClassName() const override { return "TPopupMenu"; }

  // Creates an item owned by the menu and appends it. An item destroyed on its own leaves the
  // list.
  TMenuItem* Add(const std::string& caption);
  const std::vector<TMenuItem*>& Items() const { return FItems; }

  // The control the menu was last opened on; null once that control is destroyed.
  TControl* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TControl* c);

  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::vector<TMenuItem*> FItems;
  TControl* FPopupComponent = nullptr;
};
