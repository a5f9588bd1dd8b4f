// Program entry. The command line is read before any window system is touched, so --help,
// --version, usage errors and headless scenario runs work on a machine without a display; a
// headless run without screenshots starts no window system, only Qt's core for the translations.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CheckCommand.h"
#include "app/CommandLine.h"
#include "app/DemoWindow.h"
#include "app/ExerciseWindow.h"
#include "app/FaultMenu.h"
#include "app/PlantSession.h"
#include "app/ScenarioRun.h"
#include "app/ShippedFiles.h"
#include "grading/GradeCommand.h"
#include "components/Palette.h"
#include "gui/ChartView.h"
#include "gui/ClockBar.h"
#include "gui/ClockDriver.h"
#include "gui/TimersView.h"
#include "gui/WatchWindow.h"
#include "gui/Gallery.h"
#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "gui/PLCWindow.h"
#include "gui/ProgramEditor.h"
#include "gui/SimulatorWindow.h"
#include "gui/WindowPlacement.h"
#include "gui/StartupErrorBox.h"
#include "i18n/Translations.h"
#include "plc/PLCFormSource.h"
#include "plc/SimulatorFactory.h"
#include "plc/StartupCheck.h"
#include "scenario/Files.h"

namespace {

bool HaveDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (w != nullptr && *w != '\0');
}

// A message of this file in the installed language.
QString Tr(const char* text) { return QCoreApplication::translate("main", text); }

// The user closed the plant while a scenario was playing on screen.
struct TInterrupted {};

// The first bytes of a PNG file: an earlier picture may be replaced, nothing else.
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// Why an image may not be written to PATH (message on stderr), for --gallery and the like.
bool ImageOutputRefused(const std::string& path, const TCommandLine& options) {
  const std::string problem = scenario::OutputProblem(path, InputFiles(options), kPngSignature);
  if (problem.empty()) return false;
  std::cerr << "torvane: " << problem << '\n';
  return true;
}

// The windows of one session.
struct TWindows {
  explicit TWindows(TPlantSession& s)
      : Main(&s.Form()), Plc(s.Form().PLC), Simulator(s.Plc()), Driver(s.Clock()),
        Watch(s.Plc()), Chart(s.Chart()), Timers(s.Plc()) {
    // Unsaved program text is never dropped without asking.
    Main.CanClose = [this] { return Simulator.Editor()->MayDiscard(TProgramEditor::TDiscard::Closing); };
    Bar = new TClockBar(Driver, s.Clock(), [this, &s] {
      if (Step) Step();
      else s.StepTick();
    });
    Main.AddBottomBar(Bar);
    Watch.OnMark = [&s](const std::string& text) { s.Mark(text); };
    if (!s.External()) {
      Chart.OnAddTrace = [&s](const std::string& text) { return s.AddChartOperand(text); };
      Chart.EnableAddTrace();
    }
    auto open = [](QWidget* w) {
      w->show();
      w->raise();
      w->activateWindow();
    };
    Main.AddWindowAction(Tr(QT_TRANSLATE_NOOP("main", "&Variable table")), [this, open] { open(&Watch); });
    Main.AddWindowAction(Tr(QT_TRANSLATE_NOOP("main", "Timing &chart")), [this, open] { open(&Chart); });
    Main.AddWindowAction(Tr(QT_TRANSLATE_NOOP("main", "&Timers and counters")), [this, open] { open(&Timers); });
    QObject::connect(Bar, &TClockBar::WatchRequested, [this, open] { open(&Watch); });
    QObject::connect(Bar, &TClockBar::ChartRequested, [this, open] { open(&Chart); });
    QObject::connect(Bar, &TClockBar::TimersRequested, [this, open] { open(&Timers); });
    QObject::connect(&Simulator, &TSimulatorWindowView::WatchRequested, [this, open] { open(&Watch); });
    QObject::connect(&Simulator, &TSimulatorWindowView::TimersRequested, [this, open] { open(&Timers); });
  }
  TMainWindow Main;
  TPLCWindow Plc;
  TSimulatorWindowView Simulator;
  std::unique_ptr<TExerciseWindow> Exercise;  // when an exercise was named
  std::vector<std::string> Inputs;  // files the screenshots may not replace
  TClockDriver Driver;
  TClockBar* Bar = nullptr;  // owned by Main
  TWatchWindow Watch;
  TChartWindow Chart;
  TTimersView Timers;
  // What the bar's single step does when something else drives the clock (a scenario on screen).
  std::function<void()> Step;

  // The PLC window and the simulator's window follow their models' visibility; all three are
  // placed from the free space of the plant window's screen.
  void Show() {
    ShowPlantWindows(Main, Plc, &Simulator);
    if (Exercise) Exercise->show();
  }

  // One PNG per window that is up, named after it; false (message on stderr) on failure.
  bool Save(const QString& dir) {
    struct Shot {
      QWidget* widget;
      const char* file;
    };
    const Shot shots[] = {{&Main, "main-window.png"}, {&Plc, "plc-window.png"},
                          {&Simulator, "simulator-window.png"},
                          {Exercise.get(), "exercise-window.png"}};
    // The folder the user named is made, but no missing folder above it (a typo stays a typo).
    if (!QFileInfo(dir).isDir() && !QDir().mkdir(dir)) {
      const char* why = QFileInfo(QFileInfo(dir).absolutePath()).isDir()
                            ? QT_TRANSLATE_NOOP("main", "cannot create folder %1")
                            : QT_TRANSLATE_NOOP("main", "cannot create folder %1 (its parent folder does not exist)");
      std::cerr << "torvane: " << Tr(why).arg(dir).toStdString() << '\n';
      return false;
    }
    // Offscreen there is no screen to fit the simulator window to: it is pictured at full size.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) Simulator.resize(Simulator.sizeHint());
    Simulator.Refresh();
    QApplication::processEvents();
    bool ok = true;
    for (const Shot& s : shots) {
      if (s.widget == nullptr || !s.widget->isVisible()) continue;
      const QString path = QDir(dir).filePath(QString::fromLatin1(s.file));
      if (const std::string problem = scenario::OutputProblem(path.toStdString(), Inputs, kPngSignature);
          !problem.empty()) {
        std::cerr << "torvane: " << problem << '\n';
        ok = false;
        continue;
      }
      QSaveFile file(path);
      if (!file.open(QIODevice::WriteOnly) || !s.widget->grab().save(&file, "PNG") || !file.flush() || !file.commit()) {
        std::cerr << "torvane: " << Tr(QT_TRANSLATE_NOOP("main", "cannot write %1")).arg(path).toStdString() << '\n';
        ok = false;
      } else {
        std::cout << Tr(QT_TRANSLATE_NOOP("main", "Wrote %1")).arg(QDir(path).absolutePath()).toStdString() << '\n';
      }
    }
    return ok;
  }
};

// Creates the back end that --plc names; null (message on stderr) when the text is wrong.
bool MakeBackEnd(const TCommandLine& options, std::unique_ptr<TSimulatorBackEnd>& out) {
  if (options.Plc.empty() || options.Plc == "embedded") return true;  // the session's own CPU
  std::string error;
  out = CreateSimulatorBackEnd(options.Plc, error);
  if (out == nullptr) std::cerr << "torvane: " << error << '\n';
  return out != nullptr;
}

int RunWithoutQt(const TCommandLine& options) {
  std::unique_ptr<TSimulatorBackEnd> backEnd;
  if (!MakeBackEnd(options, backEnd)) return kExitNoLoad;
  std::unique_ptr<TPlantSession> owned;
  try {
    owned = std::make_unique<TPlantSession>(std::move(backEnd));
  } catch (const EPLCSimNotRunning& e) {
    return ReportStartupFailure(e, std::cerr);
  }
  TPlantSession& session = *owned;
  SetActiveSimulatorBackEnd(&session.BackEnd());
  TScenarioRun run(session, options);
  if (int code = run.Prepare(std::cerr); code != kExitOk) return code;
  return run.Play(std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Every message, from the first usage error on, is in the chosen language; a core application
  // carries the translations until the windows need a full one.
  int coreArgc = 1;
  auto core = std::make_unique<QCoreApplication>(coreArgc, argv);
  // A wrong --lang is told in the desktop's language.
  torvane::InstallTranslations(*core, torvane::SystemLanguage());
  QString language;
  QString languageError;
  if (!torvane::TakeLanguageOption(args, language, languageError)) {
    std::cerr << "torvane: " << languageError.toStdString() << '\n';
    return kExitNoLoad;
  }
  if (language.isEmpty()) language = torvane::SystemLanguage();
  torvane::InstallTranslations(*core, language);
  const std::string self =
      QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
  std::vector<std::string> notes;
  ResolveShippedArguments(args, ShippedDataDir(self), notes);
  for (const std::string& note : notes) std::cerr << "torvane: " << note << '\n';
  // Grading runs each program in a child of this same executable, with no window system.
  if (grading::IsGradingCommand(args))
    return grading::RunGradingCommand(args, self, std::cout, std::cerr);
  TCommandLine options;
  std::string error;
  if (!ParseCommandLine(args, options, error)) {
    std::cerr << "torvane: " << error << '\n';
    return kExitNoLoad;
  }
  if (options.Help) {
    std::cout << UsageText();
    return kExitOk;
  }
  if (options.Version) {
    std::cout << "torvane " << TORVANE_VERSION << '\n';
    return kExitOk;
  }
  if (options.Check) return CheckProgram(options, std::cerr);

  const bool display = HaveDisplay() || qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen";
  const bool scenario = !options.Scenario.empty();
  const bool render = !options.Gallery.empty() || !options.ModuleFigure.empty();
  if (!display && !scenario && options.Screenshot.empty() && !render) {
    std::cerr << "torvane: "
              << Tr(QT_TRANSLATE_NOOP("main", "there is no display to open the windows on. Run a scenario with "
                                              "--headless --scenario FILE, or render the windows with "
                                              "--screenshot DIR."))
                     .toStdString()
              << '\n';
    return kExitNoLoad;
  }
  // A headless scenario needs Qt only to render its screenshots.
  const bool headless = options.Headless || (scenario && !HaveDisplay());
  // Drawing a chart needs Qt's painting, so such a run goes the offscreen way.
  if (headless && options.Screenshot.empty() && options.Chart.empty()) return RunWithoutQt(options);

  const bool offscreen = headless || render || (!scenario && !options.Screenshot.empty()) ||
                         !HaveDisplay();
  if (offscreen) qputenv("QT_QPA_PLATFORM", "offscreen");
  core.reset();
  QApplication app(argc, argv);
  torvane::InstallTranslations(app, language);
  QApplication::setApplicationName("torvane");
  QApplication::setApplicationVersion(TORVANE_VERSION);
  // Lets the desktop match the windows to the installed launcher and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("torvane"));
  InitGuiSupport();

  if (!options.Gallery.empty()) {
    if (ImageOutputRefused(options.Gallery, options)) return kExitFailed;
    RegisterAllComponents();
    const QString e = WriteGallery(QString::fromStdString(options.Gallery));
    if (!e.isEmpty()) {
      std::fprintf(stderr, "torvane: %s\n", qPrintable(e));
      return kExitFailed;
    }
    std::cout << Tr(QT_TRANSLATE_NOOP("main", "Wrote the gallery to %1"))
                     .arg(QDir(QString::fromStdString(options.Gallery)).absolutePath())
                     .toStdString()
              << '\n';
    return kExitOk;
  }
  if (!options.ModuleFigure.empty()) {
    if (ImageOutputRefused(options.ModuleFigure, options)) return kExitFailed;
    QString e;
    const QString path = QString::fromStdString(options.ModuleFigure);
    if (!RenderModuleFigure(path, e)) {
      std::fprintf(stderr, "torvane: %s\n", qPrintable(e));
      return kExitFailed;
    }
    std::cout << Tr(QT_TRANSLATE_NOOP("main", "Wrote the I/O module figure to %1"))
                     .arg(QDir(path).absolutePath())
                     .toStdString()
              << '\n';
    return kExitOk;
  }

  std::unique_ptr<TSimulatorBackEnd> backEnd;
  if (!MakeBackEnd(options, backEnd)) return kExitNoLoad;
  std::unique_ptr<TPlantSession> session;
  try {
    session = std::make_unique<TPlantSession>(std::move(backEnd));
  } catch (const EPLCSimNotRunning& e) {
    return ShowStartupFailure(e, offscreen);
  }
  SetActiveSimulatorBackEnd(&session->BackEnd());
  // The fault menu's faults go through a host as a scenario's do, and it outlives the menu.
  TPlantHost faultHost(*session);
  TWindows windows(*session);
  windows.Inputs = InputFiles(options);
  const QString shots = QString::fromStdString(options.Screenshot);

  if (scenario) {
    TScenarioRun run(*session, options);
    if (int code = run.Prepare(std::cerr); code != kExitOk) return code;
    if (!options.Chart.empty()) {
      // Refused before the plant moves, so a wrong name costs no run.
      const std::string problem =
          scenario::OutputProblem(options.Chart, InputFiles(options), kChartSvgSignature);
      if (!problem.empty()) {
        std::cerr << "torvane: " << problem << '\n';
        return kExitNoLoad;
      }
    }
    if (!offscreen) {
      // On screen the scenario plays at the plant's own pace, for whoever watches it.
      windows.Show();
      bool closed = false;
      QObject::connect(&windows.Main, &TMainWindow::Closed, [&closed] { closed = true; });
      QElapsedTimer wall;
      wall.start();
      std::uint64_t plantStart = session->Clock().Now();
      double speed = windows.Driver.Speed();
      // The bar's pause holds the scenario between ticks and a step lets one tick through; the
      // pace starts afresh after a pause or a change of speed.
      bool stepOnce = false;
      windows.Step = [&stepOnce] { stepOnce = true; };
      auto restartPace = [&] {
        plantStart = session->Clock().Now();
        speed = windows.Driver.Speed();
        wall.restart();
      };
      run.Host.AfterTick = [&] {
        if (windows.Driver.Paused()) {
          while (windows.Driver.Paused() && !stepOnce) {
            QApplication::processEvents();
            if (closed) throw TInterrupted{};
            QThread::msleep(10);
          }
          stepOnce = false;
          restartPace();
          return;
        }
        do {
          QApplication::processEvents();
          if (closed) throw TInterrupted{};
          if (windows.Driver.Speed() != speed) restartPace();
          const double plantMs = static_cast<double>(session->Clock().Now() - plantStart) / speed;
          const auto ahead = static_cast<std::int64_t>(plantMs) - wall.elapsed();
          if (ahead <= 0) break;
          QThread::msleep(static_cast<unsigned long>(std::min<std::int64_t>(ahead, 10)));
        } while (true);
      };
    } else {
      windows.Show();
    }
    int code = kExitOk;
    try {
      code = run.Play(std::cout, std::cerr);
    } catch (const TInterrupted&) {
      std::cerr << "torvane: "
                << Tr(QT_TRANSLATE_NOOP("main", "the scenario was interrupted (the window was closed)")).toStdString()
                << '\n';
      return kExitFailed;
    }
    if (!shots.isEmpty()) {
      QApplication::processEvents();
      if (!windows.Save(shots) && code == kExitOk) code = kExitFailed;
    }
    if (!options.Chart.empty()) {
      QString chartError;
      if (!ExportChartSvg(session->Chart(), QString::fromStdString(options.Chart), chartError)) {
        std::cerr << "torvane: " << chartError.toStdString() << '\n';
        if (code == kExitOk) code = kExitFailed;
      } else {
        std::cout << Tr(QT_TRANSLATE_NOOP("main", "Wrote the chart to %1"))
                         .arg(QString::fromStdString(options.Chart))
                         .toStdString()
                  << '\n';
      }
    }
    return code;
  }

  LoadProgramFromCommandLine(*session, options, std::cerr);
  // The exercise window is made on first use, from the command line or the plant's menu.
  auto exerciseWindow = [&windows, &session]() -> TExerciseWindow& {
    if (windows.Exercise) return *windows.Exercise;
    windows.Exercise = std::make_unique<TExerciseWindow>(*session);
    TExerciseWindow& w = *windows.Exercise;
    // A scenario moves the plant's clock itself while it plays; a clock the user paused stays
    // paused after it.
    auto wasRunning = std::make_shared<bool>(false);
    w.BeforeRun = [&windows, &w, wasRunning] {
      *wasRunning = windows.Driver.Running();
      windows.Driver.Stop();
      w.Pace = windows.Driver.Speed();
    };
    w.AfterRun = [&windows, wasRunning] {
      if (*wasRunning) windows.Driver.Start();
    };
    QObject::connect(&windows.Main, &TMainWindow::Closed, &w, &TExerciseWindow::Interrupt);
    return w;
  };
  AddExerciseMenu(windows.Main.MenuBar(), exerciseWindow);
  AddFaultMenu(windows.Main.MenuBar(), faultHost);
  // Problems with the folder are shown in the window, where the student looks.
  if (!options.Exercise.empty()) exerciseWindow().Open(QString::fromStdString(options.Exercise));
  if (!options.Trace.empty()) {
    // Recorded until the program ends (the session closes the file).
    std::string e;
    if (!session->StartTrace(options.Trace, InputFiles(options), e)) {
      std::cerr << "torvane: " << e << '\n';
      return kExitNoLoad;
    }
  }
  windows.Show();
  if (!shots.isEmpty()) {
    // Long enough for the faceplate to show the CPU's mode.
    session->Clock().Advance(200);
    QApplication::processEvents();
    int code = windows.Save(shots) ? kExitOk : kExitFailed;
    if (const std::string e = session->FinishTrace(); !e.empty()) {
      std::cerr << "torvane: " << e << '\n';
      code = kExitFailed;
    }
    return code;
  }
  windows.Driver.Start();
  QObject::connect(&windows.Main, &TMainWindow::Closed, &app, &QApplication::quit);
  int code = QApplication::exec();
  if (const std::string e = session->FinishTrace(); !e.empty()) {
    std::cerr << "torvane: " << e << '\n';
    if (code == kExitOk) code = kExitFailed;
  }
  return code;
}
