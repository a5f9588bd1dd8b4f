#include "framework/Timer.h"

#include <algorithm>

TTimerClock::~TTimerClock() {
  for (TTimer* t : FTimers) t->FClock = nullptr;
}

void TTimerClock::Attach(TTimer* t) { FTimers.push_back(t); }

void TTimerClock::Detach(TTimer* t) {
  FTimers.erase(std::remove(FTimers.begin(), FTimers.end(), t), FTimers.end());
}

std::int64_t TTimerClock::NextDue() const {
  std::int64_t best = -1;
  for (const TTimer* t : FTimers) {
    if (!t->FEnabled || t->FInterval == 0) continue;
    const auto left = static_cast<std::int64_t>(t->FDue - FNow);
    if (best < 0 || left < best) best = left;
  }
  return best;
}

void TTimerClock::Advance(std::uint64_t ms) {
  const std::uint64_t target = FNow + ms;
  for (;;) {
    TTimer* next = nullptr;
    for (TTimer* t : FTimers) {
      if (!t->FEnabled || t->FInterval == 0 || t->FDue > target) continue;
      if (next == nullptr || t->FDue < next->FDue) next = t;
    }
    if (next == nullptr) break;
    FNow = next->FDue;
    next->FDue += next->FInterval;
    next->OnTimer(next);
  }
  FNow = target;
}

TTimerClock& DefaultTimerClock() {
  static TTimerClock clock;
  return clock;
}

TTimer::TTimer(TComponent* owner, TTimerClock* clock)
    : TComponent(owner), FClock(clock != nullptr ? clock : &DefaultTimerClock()) {
  FClock->Attach(this);
  Restart();
}

TTimer::~TTimer() {
  if (FClock != nullptr) FClock->Detach(this);
}

void TTimer::Restart() {
  if (FClock != nullptr) FDue = FClock->Now() + FInterval;
}

void TTimer::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  if (v) Restart();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  Restart();
}

void TTimer::SetClock(TTimerClock* clock) {
  if (clock == FClock) return;
  if (FClock != nullptr) FClock->Detach(this);
  FClock = clock;
  if (FClock != nullptr) FClock->Attach(this);
  Restart();
}

void TTimer::GetProperties(TPropList& out) const {
  TComponent::GetProperties(out);
  static const TPropInfo props[] = {
      TPROP_BOOL(TTimer, "Enabled", s->Enabled(), s->SetEnabled(v), true),
      TPROP_INT(TTimer, "Interval", s->Interval(), s->SetInterval(static_cast<unsigned>(v)), 1000),
  };
  out.insert(out.end(), std::begin(props), std::end(props));
}
