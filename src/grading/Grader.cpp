#include "grading/Grader.h"

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <atomic>
#include <thread>

namespace grading {

using softplc::Tr;

namespace {

// Sanitizer runtimes reserve terabytes of address space; an address-space limit would stop
// every run before it starts, so those builds run without one.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitMemory = false;
#else
constexpr bool kLimitMemory = true;
#endif
#else
constexpr bool kLimitMemory = true;
#endif

std::string Trim(const std::string& s) {
  const std::size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

RunResult RunOne(const Exercise& ex, const Submission& sub, const ExerciseScenario& scn,
                 const GradeOptions& options) {
  RunResult r;
  if (sub.Files.empty()) {
    r.State = Status::NoLoad;
    r.Reason = Tr(QT_TRANSLATE_NOOP("grading", "the submission holds no source"));
    return r;
  }
  // The run speaks English whatever the teacher's language: its report is read below.
  QStringList args{"--lang", "en", "--headless", "--scenario", QString::fromStdString(scn.Path)};
  QTemporaryDir tmp;
  const QString tracePath = tmp.filePath("run.vcd");
  if (options.KeepTraces && tmp.isValid()) args << "--trace" << tracePath;
  args << "--";
  bool ownSymbols = false;
  for (const std::string& f : sub.Files) {
    args << QString::fromStdString(f);
    ownSymbols = ownSymbols || IsSymbolTablePath(f);
  }
  if (!ownSymbols)
    for (const std::string& f : ex.SymbolFiles) args << QString::fromStdString(f);

  QProcess child;
  child.setProgram(QString::fromStdString(options.Executable));
  child.setArguments(args);
  const rlim_t bytes = static_cast<rlim_t>(ex.MemoryLimitMiB) * 1024 * 1024;
  child.setChildProcessModifier([bytes] {
    if (!kLimitMemory) return;
    const rlimit lim{bytes, bytes};
    setrlimit(RLIMIT_AS, &lim);
  });
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  child.setProcessEnvironment(env);
  QElapsedTimer wall;
  wall.start();
  child.start();
  if (!child.waitForStarted(5000)) {
    r.State = Status::Crashed;
    r.Reason = Tr(QT_TRANSLATE_NOOP("grading", "cannot start %1"), options.Executable);
    return r;
  }
  const bool finished = child.waitForFinished(static_cast<int>(ex.TimeLimitS * 1000));
  if (!finished) {
    child.kill();
    child.waitForFinished(-1);
  }
  r.WallS = static_cast<double>(wall.elapsed()) / 1000.0;
  const std::string out = child.readAllStandardOutput().toStdString();
  const std::string err = child.readAllStandardError().toStdString();
  if (!finished) {
    r.State = Status::TimedOut;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", ex.TimeLimitS);
    r.Reason = Tr(QT_TRANSLATE_NOOP("grading", "did not finish within %1 s of wall time (a loop?)"), seconds);
  } else if (child.exitStatus() == QProcess::CrashExit || child.exitCode() > 2) {
    r.State = Status::Crashed;
    r.Reason = Tr(QT_TRANSLATE_NOOP("grading", "the run crashed or ran out of memory (limit %1 MiB)"),
                  std::to_string(ex.MemoryLimitMiB));
  } else if (child.exitCode() == 2) {
    r.State = Status::NoLoad;
    QTextStream lines(QByteArray::fromStdString(err));
    while (!lines.atEnd()) {
      const std::string l = lines.readLine().toStdString();
      if (!l.empty()) r.LoadErrors.push_back(l);
    }
    r.Reason = r.LoadErrors.empty() ? Tr(QT_TRANSLATE_NOOP("grading", "the program did not load"))
                                    : r.LoadErrors.front();
  } else {
    ReadRunOutput(scn.Path, out, r);
    r.State = child.exitCode() == 0 ? Status::Passed : Status::Failed;
    if (r.State == Status::Failed) {
      r.Reason = r.Seen.empty()
                     ? Tr(QT_TRANSLATE_NOOP("grading", "line %1: %2"), r.FailLine, r.FailStep)
                     : Tr(QT_TRANSLATE_NOOP("grading", "line %1: %2 (%3)"), r.FailLine, r.FailStep,
                          SeenMessage(r.Seen));
    }
  }
  if (options.KeepTraces) {
    QFile f(tracePath);
    if (f.open(QIODevice::ReadOnly)) r.Trace = f.readAll().toStdString();
  }
  return r;
}

}  // namespace

const char* StatusWord(Status s) {
  switch (s) {
    case Status::Passed: return QT_TRANSLATE_NOOP("grading", "passed");
    case Status::Failed: return QT_TRANSLATE_NOOP("grading", "failed");
    case Status::NoLoad: return QT_TRANSLATE_NOOP("grading", "does not load");
    case Status::TimedOut: return QT_TRANSLATE_NOOP("grading", "timed out");
    case Status::Crashed: return QT_TRANSLATE_NOOP("grading", "crashed");
  }
  return "?";
}

std::string StatusText(Status s) { return Say(StatusWord(s)); }

std::string SeenMessage(const std::string& seen) {
  // The operand comes first and is a name or an address; a text value may hold anything.
  const std::size_t at = seen.find(" is ");
  if (at == std::string::npos) return seen;
  return Tr(QT_TRANSLATE_NOOP("grading", "%1 is %2"), seen.substr(0, at), seen.substr(at + 4));
}

void ReadRunOutput(const std::string& scenarioPath, const std::string& out, RunResult& r) {
  std::vector<std::string> source;
  QFile f(QString::fromStdString(scenarioPath));
  if (f.open(QIODevice::ReadOnly)) {
    QTextStream in(&f);
    while (!in.atEnd()) source.push_back(Trim(in.readLine().toStdString()));
  }
  // Steps come out in the order they are written, so each is found after the previous one.
  static const QRegularExpression stepLine(R"(^\[\s*([0-9.]+) s\] (.*)$)");
  std::size_t cursor = 0;
  bool found = false;
  QTextStream lines(QByteArray::fromStdString(out));
  while (!lines.atEnd()) {
    const QString line = lines.readLine();
    const QRegularExpressionMatch m = stepLine.match(line);
    if (!m.hasMatch()) continue;
    std::string text = m.captured(2).toStdString();
    std::string verdict;
    for (const char* tag : {": ok", ": FAILED", ": ERROR"}) {
      const std::size_t at = text.rfind(tag);
      if (at != std::string::npos) {
        verdict = text.substr(at + 2);
        text.resize(at);
        break;
      }
    }
    std::size_t at = cursor;
    while (at < source.size() && source[at].rfind(text, 0) != 0) ++at;
    if (at < source.size()) cursor = at + 1;
    if (verdict == "ok") ++r.StepsPassed;
    if (verdict.rfind("FAILED", 0) == 0 || verdict.rfind("ERROR", 0) == 0) {
      ++r.StepsFailed;
      if (found) continue;
      found = true;
      r.FailLine = at < source.size() ? static_cast<int>(at + 1) : 0;
      r.FailTimeMs = static_cast<std::uint64_t>(m.captured(1).toDouble() * 1000.0 + 0.5);
      r.FailStep = text;
      // "FAILED (X is V)" or "ERROR message"
      std::string seen = verdict.substr(verdict.find(' ') == std::string::npos
                                            ? verdict.size()
                                            : verdict.find(' ') + 1);
      if (seen.size() >= 2 && seen.front() == '(' && seen.back() == ')')
        seen = seen.substr(1, seen.size() - 2);
      r.Seen = seen;
    }
  }
}

std::vector<Submission> ListSubmissions(const std::string& dir) {
  std::vector<Submission> subs;
  const QDir d(QString::fromStdString(dir));
  for (const QFileInfo& f :
       d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    if (f.fileName().startsWith('.')) continue;
    Submission s;
    s.Name = (f.isDir() ? f.fileName() : f.completeBaseName()).toStdString();
    s.Files = SubmissionFiles(f.absoluteFilePath().toStdString());
    subs.push_back(std::move(s));
  }
  return subs;
}

std::vector<Grade> GradeAll(const Exercise& ex, const std::vector<Submission>& subs,
                            const GradeOptions& options) {
  std::vector<const ExerciseScenario*> scenarios;
  for (const ExerciseScenario& s : ex.Scenarios) scenarios.push_back(&s);
  std::vector<Grade> grades(subs.size());
  for (std::size_t i = 0; i < subs.size(); ++i) {
    grades[i].Student = subs[i];
    grades[i].Runs.resize(scenarios.size());
  }
  // Every run writes only its own slot, so the outcome is the same for any number of jobs.
  const std::size_t total = subs.size() * scenarios.size();
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t k = next++; k < total; k = next++) {
      const std::size_t i = k / scenarios.size();
      const std::size_t j = k % scenarios.size();
      grades[i].Runs[j] = RunOne(ex, subs[i], *scenarios[j], options);
    }
  };
  const int jobs = std::max(1, options.Jobs);
  std::vector<std::thread> pool;
  for (int t = 1; t < jobs; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();

  for (Grade& g : grades) {
    double sum = 0, got = 0;
    for (std::size_t j = 0; j < scenarios.size(); ++j) {
      sum += scenarios[j]->Weight;
      if (g.Runs[j].State == Status::Passed) got += scenarios[j]->Weight;
    }
    g.Score = sum > 0 ? 100.0 * got / sum : 0.0;
  }
  return grades;
}

}  // namespace grading
