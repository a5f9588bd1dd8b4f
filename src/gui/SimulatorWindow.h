#pragma once
// The embedded soft PLC's own window, the one "Hide PLCSim" hides and shows: the loaded program
// (file, blocks, size) with "Load…" and "Reload", the CPU state with its mode buttons, cycle
// count and scan times, the diagnostics buffer (compile messages with file:line:col, runtime
// stops, mode changes) and a live table of input, output and memory bytes.
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstddef>

class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTimer;
class TEmbeddedPlc;
class TProgramEditor;

class TSimulatorWindowView : public QWidget {
  Q_OBJECT

 public:
  explicit TSimulatorWindowView(TEmbeddedPlc& plc, QWidget* parent = nullptr);
  ~TSimulatorWindowView() override;

  // Loads (or with an empty path, reloads) a program as the buttons do; false when refused.
  bool LoadProgramFile(const QString& path);
  // Sources and symbol tables (told apart by extension) compiled together.
  bool LoadProgramFiles(const QStringList& paths);
  bool ReloadProgram();
  // Brings every figure up to date (the window also does it on a display timer).
  void Refresh();

  // Bytes per area in the live table.
  static constexpr int kRowsPerArea = 8;
  // The smallest the window goes, and the least width worth giving the program editor.
  static constexpr QSize kMinimumSize{360, 280};
  static constexpr int kEditorMinimumWidth = 320;

  // Asks for room for the figures and the program side by side; placement may give less.
  QSize sizeHint() const override;
  // The program editor is folded away (the window was too narrow, or the user dragged it shut).
  bool EditorFolded() const;

  QLabel* ProgramLabel() const { return FProgram; }
  QLabel* BlocksLabel() const { return FBlocks; }
  QLabel* SizeLabel() const { return FSize; }
  QLabel* StateLabel() const { return FState; }
  QLabel* CyclesLabel() const { return FCycles; }
  QLabel* ScanLabel() const { return FScan; }
  QLabel* StatusLabel() const { return FStatus; }
  QListWidget* DiagnosticsList() const { return FDiag; }
  // The live table of one area: 0 inputs, 1 outputs, 2 memory.
  QTableWidget* ImageTable(int area) const { return FTable[area]; }
  QPushButton* ModeButton(int i) const { return FModeButtons[i]; }  // RUN-P, RUN, STOP, MRES
  QPushButton* LoadButton() const { return FLoad; }
  QPushButton* ReloadButton() const { return FReload; }
  QSpinBox* AreaStart(int area) const { return FStart[area]; }  // 0 inputs, 1 outputs, 2 memory
  // The program's source files, editable, with Download and the program status.
  TProgramEditor* Editor() const { return FEditor; }
  // Shown in red while any input or output is forced.
  QLabel* ForceLabel() const { return FForce; }
  QPushButton* WatchButton() const { return FWatch; }
  QPushButton* TimersButton() const { return FTimersBtn; }

 signals:
  // The user asked for the variable table or the timers view.
  void WatchRequested();
  void TimersRequested();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void VisibleChanged(bool visible);
  void ShowLoadResult(bool ok, const QString& what, std::size_t errors);
  void RefreshDiagnostics();
  void RefreshTable();

  TEmbeddedPlc& FPlc;
  QLabel* FProgram;
  QLabel* FBlocks;
  QLabel* FSize;
  QLabel* FState;
  QLabel* FCycles;
  QLabel* FScan;
  QLabel* FStatus;
  QListWidget* FDiag;
  QTableWidget* FTable[3];
  QPushButton* FModeButtons[4];
  QPushButton* FLoad;
  QPushButton* FReload;
  QLabel* FForce;
  QPushButton* FWatch;
  QPushButton* FTimersBtn;
  QSpinBox* FStart[3];
  QTimer* FRefresh;
  TProgramEditor* FEditor;
  QSplitter* FSplit;
  QScrollArea* FPanel;
  bool FFoldedForWidth = false;  // folded by a resize, to unfold when the window widens
  bool FSplitSet = false;        // the first size has shared the width out
  std::size_t FShownLoadMessages = static_cast<std::size_t>(-1);
  std::size_t FShownDiagnostics = static_cast<std::size_t>(-1);
  const void* FShownLoadData = nullptr;
  QStringList FLastLoad;  // the files of the last Load, accepted or refused
  bool FFollowing = false;
};
