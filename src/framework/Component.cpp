#include "framework/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner != nullptr) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  // Owned components go last-created first, each unhooking itself from this list.
  while (!FComponents.empty()) delete FComponents.back();
  if (FOwner != nullptr) {
    auto& list = FOwner->FComponents;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c : FComponents)
    if (c->Name == name) return c;
  return nullptr;
}

void TComponent::GetProperties(TPropList& out) const {
  static const TPropInfo props[] = {
      TPROP_STRING(TComponent, "Name", s->Name, s->Name = v, ""),
      TPROP_INT(TComponent, "Tag", s->Tag, s->Tag = static_cast<int>(v), 0),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
