#include "framework/Menus.h"

TMenuItem* TPopupMenu::Add(const std::string& caption) {
  auto* item = new TMenuItem(this);
  item->Caption = caption;
  FItems.push_back(item);
  return item;
}
