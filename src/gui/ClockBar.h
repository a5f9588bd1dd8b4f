#pragma once
// The plant clock's controls under the plant window: plant time, pause, a single tick and the
// speed. Everything on the plant follows that one clock, so pausing here stops the plant, the
// CPU and its timers together.
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QToolButton;
class TClockDriver;
class TTimerClock;

class TClockBar : public QWidget {
  Q_OBJECT

 public:
  // step runs exactly one plant tick; it is called only while the clock is paused.
  TClockBar(TClockDriver& driver, TTimerClock& clock, std::function<void()> step,
            QWidget* parent = nullptr);

  // The speeds offered, slowest first.
  static const double kSpeeds[6];

  QToolButton* PauseButton() const { return FPause; }
  QToolButton* StepButton() const { return FStep; }
  QComboBox* SpeedBox() const { return FSpeed; }
  QLabel* TimeLabel() const { return FTime; }
  // Shows the clock's time now (the bar refreshes itself ten times a second).
  void Refresh();

  // "12:03.450", or "1:02:03.450" past the hour.
  static QString TimeText(std::uint64_t ms);

 signals:
  // The user asked for one of the views that follow the plant.
  void WatchRequested();
  void ChartRequested();
  void TimersRequested();

 private:
  TClockDriver& FDriver;
  TTimerClock& FClock;
  std::function<void()> FStepFn;
  QLabel* FTime;
  QToolButton* FPause;
  QToolButton* FStep;
  QComboBox* FSpeed;
};
