// Torvane's own windows run in Spanish: each one, in a state that shows its status texts, holds
// no English text of its own (the plant's and the faceplate's texts are kept as they are).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "app/PlantSession.h"
#include "gui/AboutWindow.h"
#include "gui/ChartView.h"
#include "gui/ClockBar.h"
#include "gui/ClockDriver.h"
#include "gui/GuiSupport.h"
#include "gui/MainWindow.h"
#include "gui/PLCWindow.h"
#include "gui/ProgramEditor.h"
#include "gui/SimulatorWindow.h"
#include "gui/TimersView.h"
#include "gui/WatchWindow.h"
#include "i18n/Translations.h"
#include "support/UntranslatedTexts.h"

namespace {

enum class TWindow { Main, Plc, About, Simulator, Watch, Chart, Timers };

class SpanishWindows : public ::testing::TestWithParam<TWindow> {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("es")));
    InitGuiSupport();
  }
  static void TearDownTestSuite() {
    torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en"));
  }

  // The window under test, built in Spanish and brought to a state with its messages shown.
  QWidget* Open(TWindow which) {
    TEmbeddedPlc& plc = session.Plc();
    switch (which) {
      case TWindow::Main: {
        auto* w = new TMainWindow(&session.Form());
        w->AddBottomBar(new TClockBar(driver, session.Clock(), [] {}));
        return Keep(w);
      }
      case TWindow::Plc:
        plcWindow = std::make_unique<TPLCWindow>(session.Form().PLC);
        return plcWindow.get();
      case TWindow::About:
        plcWindow = std::make_unique<TPLCWindow>(session.Form().PLC);
        return plcWindow->About();
      case TWindow::Simulator: {
        auto* w = new TSimulatorWindowView(plc);
        TProgramEditor* editor = w->Editor();
        editor->Ask = [](const QString&) { return TProgramEditor::Yes; };
        editor->NewProgram();
        editor->SetMonitoring(true);
        EXPECT_TRUE(editor->Download());
        w->Refresh();
        return Keep(w);
      }
      case TWindow::Watch: {
        auto* w = new TWatchWindow(plc);
        EXPECT_TRUE(w->AddOperand(QStringLiteral("\"SUBIR\"")));
        // A refused operand: its message comes from the PLC side through the catalogue.
        EXPECT_FALSE(w->AddOperand(QStringLiteral("XQ 9")));
        EXPECT_EQ(w->StatusLine()->text(),
                  QStringLiteral("'XQ 9' no es una dirección (E124.1, AW126, MD20, DB1.DBW2, T 3)"));
        return Keep(w);
      }
      case TWindow::Chart: {
        auto* w = new TChartWindow(session.Chart());
        w->EnableAddTrace();
        return Keep(w);
      }
      case TWindow::Timers:
        return Keep(new TTimersView(plc));
    }
    return nullptr;
  }

  QWidget* Keep(QWidget* w) {
    kept.reset(w);
    return w;
  }

  TPlantSession session;
  TClockDriver driver{session.Clock()};
  std::unique_ptr<TPLCWindow> plcWindow;
  std::unique_ptr<QWidget> kept;
};

TEST_P(SpanishWindows, ShowNoEnglishTextOfTheirOwn) {
  QWidget* w = Open(GetParam());
  ASSERT_NE(w, nullptr);
  w->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(torvane::testing::UntranslatedTexts(w).join(QLatin1Char('\n')).toStdString(), "");
}

std::string WindowName(const ::testing::TestParamInfo<TWindow>& info) {
  static const char* const kNames[] = {"Main", "Plc", "About", "Simulator", "Watch", "Chart", "Timers"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Each, SpanishWindows,
                         ::testing::Values(TWindow::Main, TWindow::Plc, TWindow::About, TWindow::Simulator,
                                           TWindow::Watch, TWindow::Chart, TWindow::Timers),
                         WindowName);

}  // namespace
