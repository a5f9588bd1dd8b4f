#include "gui/ClockDriver.h"

#include "framework/Timer.h"

TClockDriver::TClockDriver(TTimerClock& clock, QObject* parent) : QObject(parent), FClock(clock) {
  FTimer.setInterval(kWakeMs);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Wake(FWall.elapsed()); });
}

void TClockDriver::Start() {
  FWall.start();
  FHandedMs = 0;
  FTimer.start();
}

void TClockDriver::Stop() { FTimer.stop(); }

void TClockDriver::Wake(std::int64_t wallMs) {
  const std::int64_t now = wallMs;
  std::int64_t due = now - FHandedMs;
  if (due <= 0) return;
  if (due > static_cast<std::int64_t>(kMaxCatchUp)) {
    // Behind (a modal dialog, a debugger): drop the backlog instead of racing through it.
    FHandedMs = now - static_cast<std::int64_t>(kMaxCatchUp);
    due = static_cast<std::int64_t>(kMaxCatchUp);
  }
  FHandedMs += due;
  FClock.Advance(static_cast<std::uint64_t>(due));
}
