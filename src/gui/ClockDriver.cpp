#include "gui/ClockDriver.h"

#include <algorithm>
#include <cmath>

#include "framework/Timer.h"

TClockDriver::TClockDriver(TTimerClock& clock, QObject* parent) : QObject(parent), FClock(clock) {
  FTimer.setInterval(kWakeMs);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Wake(FWall.elapsed()); });
}

void TClockDriver::Start() {
  FWall.start();
  FWallSeen = 0;
  FCarry = 0;
  FTimer.start();
}

void TClockDriver::Stop() { FTimer.stop(); }

void TClockDriver::SetPaused(bool paused) {
  FPaused = paused;
  FCarry = 0;
}

void TClockDriver::SetSpeed(double speed) { FSpeed = std::clamp(speed, 0.1, 5.0); }

void TClockDriver::Wake(std::int64_t wallMs) {
  std::int64_t passed = wallMs - FWallSeen;
  if (passed <= 0) return;
  FWallSeen = wallMs;
  // Behind (a modal dialog, a debugger): drop the backlog instead of racing through it.
  passed = std::min(passed, static_cast<std::int64_t>(kMaxCatchUp));
  if (FPaused) return;
  const double due = static_cast<double>(passed) * FSpeed + FCarry;
  const double whole = std::floor(due);
  FCarry = due - whole;
  if (whole >= 1) FClock.Advance(static_cast<std::uint64_t>(whole));
}
