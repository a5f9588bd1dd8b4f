// The exercise window plays the visible scenarios on the live plant against the loaded program.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/ExerciseWindow.h"
#include "app/PlantSession.h"
#include "bridge/BridgeControl.h"

namespace {

const QString kBridge = QStringLiteral(TORVANE_SOURCE_DIR "/examples/exercises/bridge");

QString Log(const TExerciseWindow& w) { return w.findChild<QPlainTextEdit*>()->toPlainText(); }

bool Load(TPlantSession& session, const char* file) {
  std::vector<std::string> messages;
  return session.LoadProgram(std::string(TORVANE_SOURCE_DIR "/examples/exercises/bridge/") + file,
                             messages);
}

TEST(ExerciseWindow, ShowsTheStatementAndOnlyTheVisibleScenarios) {
  TPlantSession session;
  TExerciseWindow w(session);
  ASSERT_TRUE(w.Open(kBridge)) << Log(w).toStdString();
  EXPECT_EQ(w.findChild<QLabel*>()->text(), QStringLiteral("Puente levadizo"));
  auto* list = w.findChild<QListWidget*>();
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("cycle"));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("8 more when your teacher grades")));
}

TEST(ExerciseWindow, RunsTheScenarioOnThePlantAndTellsTheResult) {
  TPlantSession session;
  TExerciseWindow w(session);
  w.Pace = 1e6;
  ASSERT_TRUE(w.Open(kBridge));
  int before = 0, after = 0;
  w.BeforeRun = [&] { ++before; };
  w.AfterRun = [&] { ++after; };

  ASSERT_TRUE(Load(session, "solution/bridge.awl"));
  // Whatever the student left the plant in, a run starts from a plant at rest.
  session.Form().MagnetoTermico->SetState(false);
  session.Form().Bridge->SetFrame(20);
  EXPECT_TRUE(w.RunScenario(0)) << Log(w).toStdString();
  EXPECT_TRUE(Log(w).contains(QStringLiteral("Passed")));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("wait \"L_VALIDAR\" == 1 timeout 4s: ok")));

  // The emergency stop read as normally open: phase 1 never starts.
  ASSERT_TRUE(Load(session, "submissions/carla.awl"));
  EXPECT_FALSE(w.RunScenario(0));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("FAILED")));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("Failed: see the first FAILED step")));
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 2);
  EXPECT_FALSE(w.Running());
}

TEST(ExerciseWindow, StopEndsARunAndABrokenExerciseSaysWhere) {
  TPlantSession session;
  TExerciseWindow w(session);
  w.Pace = 1e6;
  ASSERT_TRUE(w.Open(kBridge));
  ASSERT_TRUE(Load(session, "solution/bridge.awl"));
  w.BeforeRun = [&] { QTimer::singleShot(0, &w, [&] { w.Interrupt(); }); };
  EXPECT_FALSE(w.RunScenario(0));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("Stopped.")));
  EXPECT_FALSE(w.Running());

  // A folder without exercise.toml names the file it could not read.
  EXPECT_FALSE(w.Open(QStringLiteral(TORVANE_SOURCE_DIR "/examples")));
  EXPECT_TRUE(Log(w).contains(QStringLiteral("exercise.toml"))) << Log(w).toStdString();
  EXPECT_EQ(w.findChild<QListWidget*>()->count(), 0);
}

}  // namespace
