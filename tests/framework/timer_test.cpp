#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Timer.h"

namespace {

// Logs "<name>@<time>" for each firing and can run an action from inside a handler.
struct Fired {
  explicit Fired(TTimerClock* c) : clock(c) {}
  Fired(const Fired&) = delete;
  Fired& operator=(const Fired&) = delete;
  TTimerClock* clock;
  std::vector<std::string> log;
  std::vector<std::pair<TTimer*, std::string>> names;
  void (*action)(Fired&, TTimer*) = nullptr;
  TTimer* other = nullptr;

  std::string NameOf(TObject* t) {
    for (auto& [timer, name] : names)
      if (timer == t) return name;
    return "?";
  }
  void OnTimer(TObject* sender) {
    log.push_back(NameOf(sender) + "@" + std::to_string(clock->Now()));
    if (action != nullptr) action(*this, static_cast<TTimer*>(sender));
  }
  TTimer* Make(const char* name, unsigned interval) {
    auto* t = new TTimer(nullptr, clock);
    t->SetInterval(interval);
    t->OnTimer = TNotifyEvent(this, &Fired::OnTimer);
    names.emplace_back(t, name);
    return t;
  }
  ~Fired() {
    for (auto& [timer, name] : names) delete timer;
  }
};

using Log = std::vector<std::string>;

TEST(TimerClock, FiresInTimeOrderAndSameMomentInCreationOrder) {
  TTimerClock clock;
  Fired f(&clock);
  f.Make("slow", 100);
  f.Make("fast", 50);
  clock.Advance(49);
  EXPECT_TRUE(f.log.empty());
  clock.Advance(160);  // to 209
  EXPECT_EQ(f.log, (Log{"fast@50", "slow@100", "fast@100", "fast@150", "slow@200", "fast@200"}));
  EXPECT_EQ(clock.Now(), 209u);
  EXPECT_EQ(clock.NextDue(), 41);
}

TEST(TimerClock, OneLongAdvanceEqualsManySmallOnes) {
  TTimerClock c1, c2;
  Fired f1(&c1), f2(&c2);
  f1.Make("a", 30);
  f1.Make("b", 70);
  f2.Make("a", 30);
  f2.Make("b", 70);
  c1.Advance(1000);
  for (int i = 0; i < 100; ++i) c2.Advance(10);
  EXPECT_EQ(f1.log, f2.log);
  EXPECT_EQ(f1.log.size(), 33u + 14u);
}

TEST(TimerClock, DisabledAndZeroIntervalTimersStayQuiet) {
  TTimerClock clock;
  Fired f(&clock);
  TTimer* off = f.Make("off", 10);
  TTimer* zero = f.Make("zero", 10);
  off->SetEnabled(false);
  zero->SetInterval(0);
  EXPECT_EQ(clock.NextDue(), -1);
  clock.Advance(100);
  EXPECT_TRUE(f.log.empty());
  off->SetEnabled(true);  // restarts its interval from now
  clock.Advance(10);
  EXPECT_EQ(f.log, (Log{"off@110"}));
}

TEST(TimerClock, RetimingInsideTheHandlerTakesEffectFromThatMoment) {
  TTimerClock clock;
  Fired f(&clock);
  f.Make("t", 50);
  f.action = [](Fired& self, TTimer* t) {
    if (self.log.size() == 1) t->SetInterval(20);
  };
  clock.Advance(120);
  EXPECT_EQ(f.log, (Log{"t@50", "t@70", "t@90", "t@110"}));
}

TEST(TimerClock, AHandlerMayStopOrDestroyAnotherTimer) {
  TTimerClock clock;
  Fired f(&clock);
  f.Make("first", 50);
  f.other = f.Make("second", 50);
  f.action = [](Fired& self, TTimer* t) {
    if (self.NameOf(t) == "first" && self.other != nullptr) {
      self.other->SetEnabled(false);  // due at the same moment, yet it must not fire
    }
  };
  clock.Advance(100);
  EXPECT_EQ(f.log, (Log{"first@50", "first@100"}));

  f.action = [](Fired& self, TTimer*) {
    if (self.other != nullptr) {
      for (auto& entry : self.names)
        if (entry.first == self.other) entry.first = nullptr;
      delete self.other;
      self.other = nullptr;
    }
  };
  f.other->SetEnabled(true);
  clock.Advance(50);
  EXPECT_EQ(f.log.back(), "first@150");
  EXPECT_EQ(f.log.size(), 3u);
}

TEST(TimerClock, AClockDestroyedFirstLeavesItsTimersHarmless) {
  auto* clock = new TTimerClock;
  TTimer timer(nullptr, clock);
  delete clock;
  EXPECT_EQ(timer.Clock(), nullptr);
  timer.SetInterval(10);  // no clock to restart on: nothing happens
  TTimerClock other;
  timer.SetClock(&other);
  int fired = 0;
  struct Counter {
    int* n;
    void Tick(TObject*) { ++*n; }
  } counter{&fired};
  timer.OnTimer = TNotifyEvent(&counter, &Counter::Tick);
  other.Advance(25);
  EXPECT_EQ(fired, 2);
}

}  // namespace
