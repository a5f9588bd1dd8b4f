#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Component.h"

namespace {

// Writes its name into a shared log when destroyed.
class TTracked : public TComponent {
 public:
  TTracked(TComponent* owner, std::string name, std::vector<std::string>* log)
      : TComponent(owner), FLog(log) {
    Name = std::move(name);
  }
  ~TTracked() override { FLog->push_back(Name); }

 private:
  std::vector<std::string>* FLog;
};

// Keeps a pointer to another component and drops it when told the other is going.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  TComponent* Watched = nullptr;
  int Removals = 0;
  void Watch(TComponent* c) {
    Watched = c;
    c->FreeNotification(this);
  }
  void Notification(TComponent* c, TOperation op) override {
    if (op == opRemove && c == Watched) {
      Watched = nullptr;
      ++Removals;
    }
  }
};

TEST(Ownership, OwnerDestroysWhatItOwnsNewestFirstAndDeeply) {
  std::vector<std::string> log;
  auto* window = new TTracked(nullptr, "window", &log);
  auto* panel = new TTracked(window, "panel", &log);
  new TTracked(panel, "lamp", &log);
  new TTracked(window, "relay", &log);
  EXPECT_EQ(window->Components().size(), 2u);
  EXPECT_EQ(window->FindComponent("relay")->Name, "relay");
  EXPECT_EQ(window->FindComponent("lamp"), nullptr) << "only directly owned components";
  delete window;
  // The owner's own destructor body runs first; what it owns goes afterwards, newest first.
  EXPECT_EQ(log, (std::vector<std::string>{"window", "relay", "panel", "lamp"}));
}

TEST(Ownership, ComponentDestroyedAloneLeavesItsOwnersList) {
  std::vector<std::string> log;
  auto* window = new TTracked(nullptr, "window", &log);
  auto* a = new TTracked(window, "a", &log);
  new TTracked(window, "b", &log);
  delete a;
  EXPECT_EQ(window->Components().size(), 1u);
  delete window;  // must not destroy a twice
  EXPECT_EQ(log, (std::vector<std::string>{"a", "window", "b"}));
}

TEST(FreeNotification, TheWatcherForgetsAComponentDestroyedFirst) {
  TWatcher watcher(nullptr);
  auto* target = new TComponent(nullptr);
  watcher.Watch(target);
  watcher.Watch(target);  // a second request adds no second link
  delete target;
  EXPECT_EQ(watcher.Watched, nullptr);
  EXPECT_EQ(watcher.Removals, 1);
}

TEST(FreeNotification, AWatcherDestroyedFirstIsNotCalledLater) {
  auto* target = new TComponent(nullptr);
  auto* early = new TWatcher(nullptr);
  early->Watch(target);
  delete early;
  TWatcher late(nullptr);
  late.Watch(target);
  // Had the first link survived, this would call into the dead watcher (the sanitizer build
  // reports it as a use after free).
  delete target;
  EXPECT_EQ(late.Removals, 1);
}

TEST(FreeNotification, RemovedLinkIsNotNotified) {
  TWatcher watcher(nullptr);
  auto* target = new TComponent(nullptr);
  watcher.Watch(target);
  target->RemoveFreeNotification(&watcher);
  delete target;
  EXPECT_EQ(watcher.Removals, 0);
  EXPECT_NE(watcher.Watched, nullptr);
}

TEST(FreeNotification, OwnerIsToldWhenAnOwnedComponentGoes) {
  TWatcher owner(nullptr);
  auto* child = new TComponent(&owner);
  owner.Watched = child;
  delete child;
  EXPECT_EQ(owner.Watched, nullptr);
}

}  // namespace
