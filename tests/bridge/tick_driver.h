#pragma once
// Drives an animation the way its owner does: a 50 ms timer on a private virtual clock whose
// handler calls SimulationStep. Tests advance the clock tick by tick; nothing sleeps.

#include "components/AnimationCode.h"
#include "framework/Timer.h"

struct TickDriver {
  explicit TickDriver(TFrameAnimation& a, unsigned interval = 50) : anim(a) {
    timer.SetInterval(interval);
    timer.OnTimer = TNotifyEvent(this, &TickDriver::OnTick);
  }
  // Advances one timer interval (exactly one firing).
  void Tick() { clock.Advance(timer.Interval()); }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  // Ticks until the animation stops playing or `limit` ticks have passed; returns the tick count.
  int RunUntilStopped(int limit = 100000) {
    while (anim.PlayState == psPlaying && ticks < limit) Tick();
    return ticks;
  }

  TTimerClock clock;
  TTimer timer{nullptr, &clock};
  TFrameAnimation& anim;
  int ticks = 0;

 private:
  void OnTick(TObject*) {
    ++ticks;
    anim.SimulationStep();
  }
};
