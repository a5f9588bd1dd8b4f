#pragma once
// The root of the framework's object tree. A component is owned by another component (its
// owner) and is destroyed with it; that is how windows free the controls they created.
#include <string>
#include <string_view>
#include <vector>

#include "framework/Properties.h"

class TObject {
 public:
  virtual ~TObject() = default;
  // The class name as the framework reports it ("TRelay"); some plant logic links devices by it.
  virtual std::string_view ClassName() const { return "TObject"; }
  // Published properties in published order, base classes first.
  virtual void GetProperties(TPropList& out) const { (void)out; }
};

enum TOperation { opInsert, opRemove };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string_view ClassName() const override { return "TComponent"; }
  void GetProperties(TPropList& out) const override;

  TComponent* Owner() const { return FOwner; }
  const std::vector<TComponent*>& Components() const { return FComponents; }
  // The first owned component with this name, or null.
  TComponent* FindComponent(std::string_view name) const;

  // Asks that `c` be told (Notification(this, opRemove)) when this component is destroyed, so
  // that it can drop a pointer it keeps to it. The link is kept both ways: whichever of the two
  // dies first tells the other, and neither is left holding a dead pointer.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);
  // Called when a component this one keeps a link to (or owns) is being destroyed.
  virtual void Notification(TComponent* component, TOperation operation) {
    (void)component;
    (void)operation;
  }

  std::string Name;
  int Tag = 0;

 private:
  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};
