#pragma once
// Timers fire from a clock, never from the wall clock: the GUI advances a clock from its event
// loop, headless runs and tests advance a virtual one. Same steps, same firings.
#include <cstdint>
#include <vector>

#include "framework/Component.h"
#include "framework/Control.h"

class TTimer;

class TTimerClock {
 public:
  TTimerClock() = default;
  ~TTimerClock();
  TTimerClock(const TTimerClock&) = delete;
  TTimerClock& operator=(const TTimerClock&) = delete;

  // Milliseconds since the clock was created.
  std::uint64_t Now() const { return FNow; }
  // Moves time on by ms, firing every due timer in time order (timers due at the same moment
  // fire in the order they were created). A handler may start, stop or retime any timer.
  void Advance(std::uint64_t ms);
  // Time left until the next enabled timer is due, or -1 when none is enabled.
  std::int64_t NextDue() const;

 private:
  friend class TTimer;
  void Attach(TTimer* t);
  void Detach(TTimer* t);

  std::uint64_t FNow = 0;
  std::vector<TTimer*> FTimers;
};

// The clock that timers use unless given another; the GUI drives it from its event loop.
TTimerClock& DefaultTimerClock();

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner, TTimerClock* clock = nullptr);
  ~TTimer() override;
  std::string_view ClassName() const override { return "TTimer"; }
  void GetProperties(TPropList& out) const override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  unsigned Interval() const { return FInterval; }
  // A zero interval stops the timer from firing (it stays enabled).
  void SetInterval(unsigned ms);
  TTimerClock* Clock() const { return FClock; }
  // Moves the timer to another clock, restarting its interval there.
  void SetClock(TTimerClock* clock);

  TNotifyEvent OnTimer;

 private:
  friend class TTimerClock;
  void Restart();

  TTimerClock* FClock;
  bool FEnabled = true;
  unsigned FInterval = 1000;
  std::uint64_t FDue = 0;
};
