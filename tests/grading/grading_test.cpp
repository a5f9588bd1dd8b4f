#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "grading/Exercise.h"
#include "grading/Grader.h"
#include "grading/Reports.h"

using namespace grading;

namespace {

const std::string kBridge = std::string(TORVANE_SOURCE_DIR) + "/examples/exercises/bridge";

void Write(const QString& path, const std::string& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text.data(), static_cast<qint64>(text.size()));
}

std::vector<std::string> ReadErrors(const std::string& toml) {
  QTemporaryDir dir;
  Write(dir.filePath("exercise.toml"), toml);
  QDir(dir.path()).mkdir("scenarios");
  Write(dir.filePath("scenarios/a.scn"), "mode RUN\nexpect CPU.State == RUN\n");
  Exercise ex;
  std::vector<std::string> errors;
  const bool ok = ReadExercise(dir.path().toStdString(), ex, errors);
  EXPECT_EQ(ok, errors.empty());
  for (std::string& e : errors) e = e.substr(e.find("exercise.toml"));
  return errors;
}

}  // namespace

TEST(ExerciseReader, ReadsTheBridgeExercise) {
  Exercise ex;
  std::vector<std::string> errors;
  ASSERT_TRUE(ReadExercise(kBridge, ex, errors)) << errors.front();
  EXPECT_EQ(ex.Title, "Puente levadizo");
  ASSERT_EQ(ex.Scenarios.size(), 9u);
  EXPECT_EQ(ex.Scenarios[0].Name, "cycle");
  EXPECT_TRUE(ex.Scenarios[0].Visible);
  EXPECT_DOUBLE_EQ(ex.Scenarios[0].Weight, 4.0);
  EXPECT_FALSE(ex.Scenarios[1].Visible);
  EXPECT_EQ(ex.MemoryLimitMiB, 512);
  EXPECT_EQ(ex.SolutionFiles.size(), 1u);
}

TEST(ExerciseReader, ReportsEachProblemWithItsPlace) {
  // A TOML syntax error carries the parser's line and column.
  auto e = ReadErrors("title = \"x\"\nstatement = \"y\"\n[[scenario]\n");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].rfind("exercise.toml:3:", 0), 0u) << e[0];

  e = ReadErrors("title = 3\nstatement = \"s\"\n[limits]\ntime = -1\n"
                 "[[scenario]]\nfile = \"scenarios/a.scn\"\nweight = \"heavy\"\n"
                 "[[scenario]]\nfile = \"scenarios/missing.scn\"\n");
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0], "exercise.toml:1:9: the exercise needs a title (a string)");
  EXPECT_NE(e[1].find(":4:"), std::string::npos) << e[1];
  EXPECT_NE(e[2].find(":7:"), std::string::npos) << e[2];
  EXPECT_NE(e[3].find("missing.scn does not exist"), std::string::npos) << e[3];

  e = ReadErrors("title = \"t\"\nstatement = \"s\"\n");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_NE(e[0].find("at least one [[scenario]]"), std::string::npos);
}

TEST(RunOutput, FindsTheFirstFailingStepAndItsLine) {
  QTemporaryDir dir;
  const QString scn = dir.filePath("s.scn");
  // The same step twice: the failing one is the second, on line 4.
  Write(scn, "mode RUN\nexpect KM1.State == 0\nrun 1s\nexpect KM1.State == 0   # again\n");
  RunResult r;
  ReadRunOutput(scn.toStdString(),
                "[    0.000 s] mode RUN\n[    0.000 s] expect KM1.State == 0: ok\n"
                "[    0.000 s] run 1s\n[    1.000 s] expect KM1.State == 0: FAILED (KM1.State "
                "is 1)\n1 passed, 1 failed\n",
                r);
  EXPECT_EQ(r.FailLine, 4);
  EXPECT_EQ(r.FailTimeMs, 1000u);
  EXPECT_EQ(r.FailStep, "expect KM1.State == 0");
  EXPECT_EQ(r.Seen, "KM1.State is 1");
  EXPECT_EQ(r.StepsPassed, 1);
  EXPECT_EQ(r.StepsFailed, 1);
}

// One class holding a good program, a loop, a crash and a program that does not load: every
// one gets its own verdict and the batch goes on.
class Isolation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> errors;
    ASSERT_TRUE(ReadExercise(kBridge, ex, errors));
    ex.Scenarios.resize(2);
    ex.TimeLimitS = 3;
    const QString subs = dir.filePath("subs");
    QDir().mkpath(subs);
    QFile::copy(QString::fromStdString(kBridge + "/solution/bridge.awl"), subs + "/good.awl");
    Write(subs + "/broken.awl", "ORGANIZATION_BLOCK OB1\nBEGIN\n  U E 999.9\nEND_ORGANIZATION_BLOCK\n");
    Write(subs + "/loops.awl",
          "ORGANIZATION_BLOCK OB1\nBEGIN\nM1:  SPA M1\nEND_ORGANIZATION_BLOCK\n");
    QDir(subs).mkdir("empty");
    students = ListSubmissions(subs.toStdString());
  }
  QTemporaryDir dir;
  Exercise ex;
  std::vector<Submission> students;
};

TEST_F(Isolation, EachStudentGetsAVerdictWithItsReason) {
  ASSERT_EQ(students.size(), 4u);  // broken, empty, good, loops
  GradeOptions o;
  o.Executable = TORVANE_EXE;
  o.Jobs = 2;
  const std::vector<Grade> g = GradeAll(ex, students, o);
  EXPECT_EQ(g[0].Runs[0].State, Status::NoLoad);
  ASSERT_FALSE(g[0].Runs[0].LoadErrors.empty());
  EXPECT_NE(g[0].Runs[0].LoadErrors[0].find("broken.awl:3:"), std::string::npos);
  EXPECT_EQ(g[1].Runs[0].State, Status::NoLoad);
  EXPECT_EQ(g[2].Runs[0].State, Status::Passed);
  EXPECT_EQ(g[2].Runs[1].State, Status::Passed);
  EXPECT_DOUBLE_EQ(g[2].Score, 100.0);
  // An endless loop trips the CPU's cycle watchdog or the wall-time limit; never a pass.
  EXPECT_NE(g[3].Runs[0].State, Status::Passed);
  EXPECT_DOUBLE_EQ(g[3].Score, 0.0);
}

TEST_F(Isolation, ARunThatHangsOrCrashesIsStoppedAndNamed) {
  // Stand-ins for a player that never returns and one that dies on a signal.
  const QString hang = dir.filePath("hang.sh"), crash = dir.filePath("crash.sh");
  Write(hang, "#!/bin/sh\nexec sleep 30\n");
  Write(crash, "#!/bin/sh\nkill -SEGV $$\n");
  QFile::setPermissions(hang, QFile::ReadOwner | QFile::ExeOwner);
  QFile::setPermissions(crash, QFile::ReadOwner | QFile::ExeOwner);
  ex.TimeLimitS = 0.5;
  GradeOptions o;
  o.Executable = hang.toStdString();
  std::vector<Grade> g = GradeAll(ex, {students[2]}, o);
  EXPECT_EQ(g[0].Runs[0].State, Status::TimedOut);
  EXPECT_LT(g[0].Runs[0].WallS, 5.0);
  o.Executable = crash.toStdString();
  g = GradeAll(ex, {students[2]}, o);
  EXPECT_EQ(g[0].Runs[1].State, Status::Crashed);
}

TEST_F(Isolation, ReportsAreTheSameForAnyNumberOfJobs) {
  GradeOptions o;
  o.Executable = TORVANE_EXE;
  o.KeepTraces = true;
  o.Jobs = 1;
  const std::vector<Grade> one = GradeAll(ex, students, o);
  o.Jobs = 3;
  const std::vector<Grade> three = GradeAll(ex, students, o);
  EXPECT_EQ(CsvReport(ex, one), CsvReport(ex, three));
  EXPECT_EQ(TextReport(ex, one), TextReport(ex, three));
  EXPECT_EQ(HtmlReport(ex, one), HtmlReport(ex, three));

  const std::string csv = CsvReport(ex, one);
  EXPECT_NE(csv.find("student,cycle,estop_closing,score\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("good,passed,passed,100.0\n"), std::string::npos) << csv;

  // The JUnit file is well-formed and holds one test case per student and scenario.
  QXmlStreamReader xml(QString::fromStdString(JUnitReport(ex, one)));
  int cases = 0, errors = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    cases += xml.name() == QLatin1String("testcase");
    errors += xml.name() == QLatin1String("error");
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(cases, 8);
  EXPECT_GE(errors, 4);  // broken and empty do not load
}
