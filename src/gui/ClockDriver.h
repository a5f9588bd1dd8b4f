#pragma once
// Moves a plant clock on with the wall clock while the event loop runs, so the plant's timers
// fire on screen at their real pace. Time the program spent blocked is not made up in one burst:
// at most kMaxCatchUp milliseconds are handed to the clock per wake-up.
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

  static constexpr int kWakeMs = 10;
  static constexpr std::uint64_t kMaxCatchUp = 250;

 private:
  TTimerClock& FClock;
  QTimer FTimer;
  QElapsedTimer FWall;
  std::int64_t FHandedMs = 0;
};
