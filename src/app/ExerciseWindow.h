#pragma once
// The student's side of an exercise on screen: its title and statement, and the scenarios the
// student may see, each played on the live plant at its real pace against the program in the
// CPU, with every step's line and the result shown as it happens.
#include <QWidget>
#include <functional>
#include <string>

#include "grading/Exercise.h"

class QLabel;
class QMenu;
class QMenuBar;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;
class TPlantSession;

class TExerciseWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TExerciseWindow(TPlantSession& session, QWidget* parent = nullptr);

  // Reads the exercise folder; false with its problems shown in the window.
  bool Open(const QString& dir);
  // Asks for a folder and opens it.
  void OpenDialog();
  // Plays the visible scenario at `row` on the plant; true when every expectation held.
  bool RunScenario(int row);
  bool Running() const { return FRunning; }

  // Called around a run: the plant's own clock driver must stand still while a scenario moves
  // the clock, and start again after.
  std::function<void()> BeforeRun, AfterRun;
  // Tells a run to stop at its next tick (the plant window closing, or Stop).
  void Interrupt() { FInterrupted = true; }
  // Plant time runs this many times faster than the wall clock (1 on screen; tests raise it).
  double Pace = 1.0;

 private:
  void Append(const QString& line);
  void UpdateButtons();

  TPlantSession& FSession;
  grading::Exercise FExercise;
  std::vector<int> FVisible;  // indices into FExercise.Scenarios
  QLabel* FTitle;
  QTextBrowser* FStatement;
  QListWidget* FScenarios;
  QPushButton* FRun;
  QPushButton* FStop;
  QPlainTextEdit* FLog;
  bool FRunning = false;
  bool FInterrupted = false;
};

// Adds the "Exercise" menu to `bar`: open an exercise folder, or show the window again. `window`
// gives the exercise window, made on first use.
QMenu* AddExerciseMenu(QMenuBar* bar, const std::function<TExerciseWindow&()>& window);
