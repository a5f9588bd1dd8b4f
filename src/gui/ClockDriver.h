#pragma once
// Moves a plant clock on with the wall clock while the event loop runs, so the plant's timers
// fire on screen at their real pace, or slower or faster at a chosen speed. Paused, it hands
// over nothing: the plant, the CPU and the CPU's timers all stand still. Time the program spent
// blocked is not made up in one burst: at most kMaxCatchUp wall milliseconds count per wake-up.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>

class TTimerClock;

class TClockDriver : public QObject {
  Q_OBJECT

 public:
  explicit TClockDriver(TTimerClock& clock, QObject* parent = nullptr);

  void Start();
  void Stop();
  bool Running() const { return FTimer.isActive(); }
  // Hands the clock the plant time due at wall time wallMs (milliseconds since Start); the
  // event loop calls it every kWakeMs.
  void Wake(std::int64_t wallMs);

  void SetPaused(bool paused);
  bool Paused() const { return FPaused; }
  // Plant time per wall time, 0.1 to 5.
  void SetSpeed(double speed);
  double Speed() const { return FSpeed; }

  static constexpr int kWakeMs = 10;
  static constexpr std::uint64_t kMaxCatchUp = 250;

 private:
  TTimerClock& FClock;
  QTimer FTimer;
  QElapsedTimer FWall;
  std::int64_t FWallSeen = 0;  // wall time already accounted for
  double FCarry = 0;           // plant time due but less than a millisecond
  double FSpeed = 1.0;
  bool FPaused = false;
};
