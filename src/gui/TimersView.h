#pragma once
// The S7 timers and counters the loaded program uses: a timer's remaining value and time base,
// whether it runs and its Q; a counter's value and Q. Refreshed ten times a second.
#include <QWidget>

class QTableWidget;
class QTimer;
class TEmbeddedPlc;

class TTimersView : public QWidget {
  Q_OBJECT

 public:
  explicit TTimersView(TEmbeddedPlc& plc, QWidget* parent = nullptr);

  void Refresh();
  QTableWidget* Timers() const { return FTimers; }
  QTableWidget* Counters() const { return FCounters; }

 private:
  TEmbeddedPlc& FPlc;
  QTableWidget* FTimers;
  QTableWidget* FCounters;
  QTimer* FTimer;
};
