// A class of 30: the bridge exercise's scenarios (the first six, then all) against its sample
// submissions in turn, each run an isolated child process. Wall time is what a teacher waits for.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "grading/Exercise.h"
#include "grading/Grader.h"

namespace {

void BM_GradeClassOf30(benchmark::State& state) {
  const std::string bridge = std::string(TORVANE_SOURCE_DIR) + "/examples/exercises/bridge";
  grading::Exercise ex;
  std::vector<std::string> errors;
  if (!grading::ReadExercise(bridge, ex, errors)) {
    state.SkipWithError("the bridge exercise does not read");
    return;
  }
  QTemporaryDir dir;
  const QDir samples(QString::fromStdString(bridge + "/submissions"));
  const QStringList files = samples.entryList({"*.awl"}, QDir::Files, QDir::Name);
  for (int i = 0; i < 30; ++i) {
    const QString f = files[i % files.size()];
    QFile::copy(samples.filePath(f), dir.filePath(QString("s%1_%2").arg(i, 2, 10, QChar('0')).arg(f)));
  }
  const std::vector<grading::Submission> subs = grading::ListSubmissions(dir.path().toStdString());
  grading::GradeOptions options;
  options.Executable = TORVANE_EXE;
  options.Jobs = static_cast<int>(state.range(0));
  ex.Scenarios.resize(static_cast<std::size_t>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(grading::GradeAll(ex, subs, options));
  state.counters["runs"] = static_cast<double>(subs.size() * ex.Scenarios.size());
}
BENCHMARK(BM_GradeClassOf30)
    ->ArgsProduct({{1, 2}, {6, 7}})
    ->ArgNames({"jobs", "scenarios"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
