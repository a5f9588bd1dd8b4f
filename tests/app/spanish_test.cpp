// Torvane's own windows and messages of src/app in Spanish: no English left in the plant window's
// menus of this folder, the exercise window, or the command line's help and errors.
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/ExerciseWindow.h"
#include "app/FaultMenu.h"
#include "app/PlantHost.h"
#include "app/PlantSession.h"
#include "gui/MainWindow.h"
#include "i18n/Translations.h"
#include "support/UntranslatedTexts.h"

namespace {

using torvane::testing::UntranslatedTexts;

std::string Joined(const QStringList& texts) { return texts.join(QStringLiteral("\n  ")).toStdString(); }

// Spanish for one test; the other tests of the binary read the English texts.
class Spanish : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), "es")); }
  void TearDown() override { torvane::InstallTranslations(*QCoreApplication::instance(), "en"); }
};

TEST_F(Spanish, TheMenusOfThePlantWindowAndTheExerciseWindowHaveNoEnglishLeft) {
  TPlantSession session;
  TPlantHost host(session);
  TMainWindow plant(&session.Form());
  TExerciseWindow window(session);
  AddExerciseMenu(plant.MenuBar(), [&window]() -> TExerciseWindow& { return window; });
  AddFaultMenu(plant.MenuBar(), host);
  EXPECT_EQ(Joined(UntranslatedTexts(&plant)), "");
  EXPECT_EQ(Joined(UntranslatedTexts(&window)), "");

  // An exercise open: its own title is the teacher's text, the window's words are ours.
  ASSERT_TRUE(window.Open(QStringLiteral(TORVANE_SOURCE_DIR "/examples/exercises/bridge")));
  const QString title = window.findChild<QLabel*>()->text();
  EXPECT_EQ(Joined(UntranslatedTexts(&window, {title})), "");
  const QString log = window.findChild<QPlainTextEdit*>()->toPlainText();
  EXPECT_TRUE(log.startsWith(QStringLiteral("1 escenario para ejecutar aquí; "))) << log.toStdString();  // the singular
  EXPECT_EQ(Joined(UntranslatedTexts(log.split(QLatin1Char('\n')))), "");

  // A folder that is no exercise: the window says so in Spanish too.
  EXPECT_FALSE(window.Open(QStringLiteral("/nonexistent")));
  EXPECT_EQ(Joined(UntranslatedTexts(QStringList{window.findChild<QLabel*>()->text()})), "");
}

TEST_F(Spanish, TheCommandLineHelpAndErrorsHaveNoEnglishLeft) {
  EXPECT_EQ(Joined(UntranslatedTexts(QStringList{QString::fromStdString(UsageText())})), "");
  TCommandLine options;
  std::string error;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--bogus"}, {"--scenario"}, {"a.sdf"}, {"--check"}, {"--headless"},
        {"--chart", "c.svg"}, {"--plc", "modbus:h", "a.awl"}}) {
    ASSERT_FALSE(ParseCommandLine(args, options, error)) << args.front();
    EXPECT_EQ(Joined(UntranslatedTexts(QStringList{QString::fromStdString(error)})), "");
  }
  // The check itself sees English when Spanish is not installed.
  torvane::InstallTranslations(*QCoreApplication::instance(), "en");
  EXPECT_FALSE(UntranslatedTexts(QStringList{QString::fromStdString(UsageText())}).isEmpty());
}

}  // namespace
