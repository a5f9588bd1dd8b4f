#include "app/ExerciseWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <streambuf>
#include <ostream>

#include "app/CommandLine.h"
#include "bridge/BridgeControl.h"
#include "app/PlantSession.h"
#include "app/ScenarioRun.h"

namespace {

// Hands each whole line written to it to `sink`, so a run's steps show while it plays.
class TLineBuffer : public std::streambuf {
 public:
  explicit TLineBuffer(std::function<void(const QString&)> sink) : FSink(std::move(sink)) {}
  ~TLineBuffer() override { Flush(); }
  void Flush() {
    if (FLine.empty()) return;
    FSink(QString::fromStdString(FLine));
    FLine.clear();
  }

 protected:
  int_type overflow(int_type c) override {
    if (c == traits_type::eof()) return c;
    if (c == '\n')
      Flush();
    else
      FLine.push_back(static_cast<char>(c));
    return c;
  }

 private:
  std::function<void(const QString&)> FSink;
  std::string FLine;
};

struct TStopped {};

}  // namespace

TExerciseWindow::TExerciseWindow(TPlantSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), FSession(session) {
  setWindowTitle(tr("Exercise"));
  FTitle = new QLabel(tr("No exercise open"), this);
  QFont big = FTitle->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  FTitle->setFont(big);
  FStatement = new QTextBrowser(this);
  FStatement->setOpenExternalLinks(true);
  FScenarios = new QListWidget(this);
  FRun = new QPushButton(tr("Run on the plant"), this);
  FStop = new QPushButton(tr("Stop"), this);
  auto* open = new QPushButton(tr("Open exercise…"), this);
  FLog = new QPlainTextEdit(this);
  FLog->setReadOnly(true);
  FLog->setMaximumBlockCount(5000);
  FLog->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));

  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(new QLabel(tr("Scenarios you may run:"), side));
  sideLayout->addWidget(FScenarios, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FRun);
  buttons->addWidget(FStop);
  sideLayout->addLayout(buttons);
  sideLayout->addWidget(open);

  auto* split = new QSplitter(Qt::Vertical, this);
  auto* top = new QSplitter(Qt::Horizontal, split);
  top->addWidget(FStatement);
  top->addWidget(side);
  top->setStretchFactor(0, 3);
  top->setStretchFactor(1, 1);
  split->addWidget(top);
  split->addWidget(FLog);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FTitle);
  layout->addWidget(split, 1);
  resize(820, 600);

  connect(open, &QPushButton::clicked, this, &TExerciseWindow::OpenDialog);
  connect(FRun, &QPushButton::clicked, this, [this] { RunScenario(FScenarios->currentRow()); });
  connect(FScenarios, &QListWidget::itemDoubleClicked, this,
          [this] { RunScenario(FScenarios->currentRow()); });
  connect(FStop, &QPushButton::clicked, this, &TExerciseWindow::Interrupt);
  UpdateButtons();
}

void TExerciseWindow::OpenDialog() {
  if (FRunning) return;
  const QString dir = QFileDialog::getExistingDirectory(this, tr("Open exercise"));
  if (!dir.isEmpty()) Open(dir);
}

bool TExerciseWindow::Open(const QString& dir) {
  if (FRunning) return false;
  grading::Exercise ex;
  std::vector<std::string> errors;
  const bool ok = grading::ReadExercise(dir.toStdString(), ex, errors);
  FLog->clear();
  FScenarios->clear();
  FVisible.clear();
  if (!ok) {
    FExercise = grading::Exercise();
    FTitle->setText(tr("The exercise in %1 cannot be opened").arg(dir));
    FStatement->clear();
    for (const std::string& e : errors) Append(QString::fromStdString(e));
    UpdateButtons();
    return false;
  }
  FExercise = std::move(ex);
  FTitle->setText(QString::fromStdString(FExercise.Title));
  FStatement->setMarkdown(QString::fromStdString(FExercise.Statement));
  for (std::size_t i = 0; i < FExercise.Scenarios.size(); ++i) {
    if (!FExercise.Scenarios[i].Visible) continue;
    FVisible.push_back(static_cast<int>(i));
    FScenarios->addItem(QString::fromStdString(FExercise.Scenarios[i].Name));
  }
  if (FScenarios->count() > 0) FScenarios->setCurrentRow(0);
  const std::size_t hidden = FExercise.Scenarios.size() - FVisible.size();
  Append(tr("%n scenario(s) to run here; %1 more when your teacher grades.", nullptr,
            static_cast<int>(FVisible.size()))
             .arg(hidden));
  UpdateButtons();
  return true;
}

bool TExerciseWindow::RunScenario(int row) {
  if (FRunning || row < 0 || row >= static_cast<int>(FVisible.size())) return false;
  const grading::ExerciseScenario& scn = FExercise.Scenarios[static_cast<std::size_t>(FVisible[static_cast<std::size_t>(row)])];
  FRunning = true;
  FInterrupted = false;
  UpdateButtons();
  FLog->clear();
  Append(tr("%1, against the program in the CPU, from a reset plant:")
             .arg(QString::fromStdString(scn.Name)));
  if (BeforeRun) BeforeRun();
  // Scenarios are written for a plant at rest: deck down, no fault, breaker and relay closed.
  FSession.Form().ResetPlant();

  TCommandLine options;
  options.Scenario = scn.Path;
  TScenarioRun run(FSession, options);
  TLineBuffer lines([this](const QString& l) { Append(l); });
  std::ostream out(&lines);
  int code = run.Prepare(out);
  if (code == kExitOk) {
    QElapsedTimer wall;
    wall.start();
    const std::uint64_t plantStart = FSession.Clock().Now();
    run.Host.AfterTick = [&] {
      // The plant waits for the wall clock, and the windows stay alive meanwhile.
      do {
        QApplication::processEvents();
        if (FInterrupted) throw TStopped{};
        const double due = static_cast<double>(FSession.Clock().Now() - plantStart) / Pace;
        const double ahead = due - static_cast<double>(wall.elapsed());
        if (ahead <= 0) break;
        QThread::msleep(static_cast<unsigned long>(std::min(ahead, 10.0)));
      } while (true);
    };
    try {
      code = run.Play(out, out);
    } catch (const TStopped&) {
      code = kExitFailed;
      lines.Flush();
      Append(tr("Stopped."));
    }
  }
  lines.Flush();
  if (code == kExitOk)
    Append(tr("Passed: every expectation held."));
  else if (code == kExitNoLoad)
    Append(tr("The scenario cannot run (see above)."));
  else if (!FInterrupted)
    Append(tr("Failed: see the first FAILED step above."));
  if (AfterRun) AfterRun();
  FRunning = false;
  UpdateButtons();
  return code == kExitOk;
}

void TExerciseWindow::Append(const QString& line) { FLog->appendPlainText(line); }

void TExerciseWindow::UpdateButtons() {
  FRun->setEnabled(!FRunning && !FVisible.empty());
  FStop->setEnabled(FRunning);
  FScenarios->setEnabled(!FRunning);
}

QMenu* AddExerciseMenu(QMenuBar* bar, const std::function<TExerciseWindow&()>& window) {
  QMenu* menu = bar->addMenu(TExerciseWindow::tr("&Exercise"));
  menu->addAction(TExerciseWindow::tr("&Open exercise…"), [window] {
    TExerciseWindow& w = window();
    w.show();
    w.raise();
    w.OpenDialog();
  });
  menu->addAction(TExerciseWindow::tr("&Show exercise"), [window] {
    TExerciseWindow& w = window();
    w.show();
    w.raise();
    w.activateWindow();
  });
  return menu;
}
