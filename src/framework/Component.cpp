#include "framework/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner != nullptr) FOwner->FComponents.push_back(this);
}

namespace {
void Unlist(std::vector<TComponent*>& list, TComponent* c) {
  list.erase(std::remove(list.begin(), list.end(), c), list.end());
}
}  // namespace

TComponent::~TComponent() {
  // Owned components go last-created first, each unhooking itself from this list.
  while (!FComponents.empty()) delete FComponents.back();
  // Linked components forget this one. Their link back is cut first, so a Notification handler
  // that itself removes links finds a consistent picture.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Unlist(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  if (FOwner != nullptr) {
    Unlist(FOwner->FComponents, this);
    FOwner->Notification(this, opRemove);
  }
}

void TComponent::FreeNotification(TComponent* c) {
  if (c == nullptr || c == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), c) != FFreeNotifies.end()) return;
  FFreeNotifies.push_back(c);
  c->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (c == nullptr) return;
  Unlist(FFreeNotifies, c);
  Unlist(c->FFreeNotifies, this);
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
