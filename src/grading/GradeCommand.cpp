#include "grading/GradeCommand.h"

#include <QFileInfo>
#include <QSaveFile>
#include <ostream>
#include <sstream>
#include <thread>

#include "grading/Exercise.h"
#include "grading/Grader.h"
#include "grading/Reports.h"
#include "scenario/Files.h"
#include "scenario/Scenario.h"
#include "softplc/TextFile.h"

namespace grading {

namespace {

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

// A report replaces only an earlier report (a file that starts with the same first line), and
// only once it is written whole.
bool WriteFile(const std::string& path, const std::string& text, std::ostream& err) {
  const std::string firstLine = text.substr(0, text.find('\n'));
  if (const std::string problem = scenario::OutputProblem(path, {}, firstLine); !problem.empty()) {
    err << "torvane: " << problem << '\n';
    return false;
  }
  QSaveFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::WriteOnly) ||
      f.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !f.flush() || !f.commit()) {
    err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "cannot write %1"), path) << '\n';
    return false;
  }
  return true;
}

bool LoadExercise(const std::string& dir, Exercise& ex, std::ostream& err) {
  std::vector<std::string> errors;
  const bool ok = ReadExercise(dir, ex, errors);
  for (const std::string& e : errors) err << e << '\n';
  return ok;
}

int ExerciseCheck(const std::string& dir, const std::string& self, std::ostream& out,
                  std::ostream& err) {
  Exercise ex;
  bool ok = LoadExercise(dir, ex, err);
  for (const ExerciseScenario& s : ex.Scenarios) {
    // Only a regular text file is read: a FIFO or device in the folder must not block the check.
    if (!softplc::IsRegularFile(s.Path)) continue;  // already reported as missing
    std::string text, problem;
    if (!softplc::ReadTextFile(s.Path, text, problem)) {
      err << s.Path << ":1:1: " << Say(QT_TRANSLATE_NOOP("grading", "cannot read the scenario: %1"), problem) << '\n';
      ok = false;
      continue;
    }
    std::vector<scenario::Error> errors;
    scenario::Parse(text, s.Path, errors);
    for (const scenario::Error& e : errors) err << e.Text() << '\n';
    ok = ok && errors.empty();
  }
  if (!ok) return kFailed;
  if (ex.SolutionFiles.empty()) {
    out << Say(QT_TRANSLATE_NOOP("grading", "The exercise reads well; it has no solution/ to run the scenarios against.")) << '\n';
    return kOk;
  }
  GradeOptions options;
  options.Executable = self;
  options.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::vector<Grade> grades = GradeAll(ex, {{"solution", ex.SolutionFiles}}, options);
  for (std::size_t j = 0; j < ex.Scenarios.size(); ++j) {
    const RunResult& r = grades[0].Runs[j];
    if (r.State == Status::Passed) continue;
    ok = false;
    if (r.State == Status::Failed)
      err << ex.Scenarios[j].Path << ':' << r.FailLine << ":1: "
          << Say(QT_TRANSLATE_NOOP("grading", "the solution fails: %1 (%2)"), r.FailStep, SeenMessage(r.Seen)) << '\n';
    else
      err << ex.Scenarios[j].Path << ":1:1: "
          << Say(QT_TRANSLATE_NOOP("grading", "the solution %1: %2"), StatusText(r.State), r.Reason) << '\n';
    for (const std::string& e : r.LoadErrors) err << e << '\n';
  }
  if (!ok) return kFailed;
  out << Say(QT_TRANSLATE_NOOP("grading", "The exercise reads well and its solution passes all %1 scenarios."),
             ex.Scenarios.size())
      << '\n';
  return kOk;
}

int GradeClass(const std::vector<std::string>& args, const std::string& self, std::ostream& out,
          std::ostream& err) {
  std::vector<std::string> plain;
  std::string junit, html, csv;
  GradeOptions options;
  options.Executable = self;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* target = a == "--junit" ? &junit : a == "--html" ? &html : a == "--csv" ? &csv
                                                                                        : nullptr;
    if (target != nullptr || a == "--jobs") {
      if (i + 1 >= args.size()) {
        err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "%1 needs a value"), a) << '\n';
        return kUsage;
      }
      const std::string& v = args[++i];
      if (target != nullptr) {
        *target = v;
        continue;
      }
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (end == v.c_str() || *end != '\0' || n < 1 || n > 64) {
        err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "--jobs takes a number from 1 to 64, not %1"), v) << '\n';
        return kUsage;
      }
      options.Jobs = static_cast<int>(n);
    } else if (a.rfind("--", 0) == 0) {
      err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "unknown option %1 for grade"), a) << '\n';
      return kUsage;
    } else {
      plain.push_back(a);
    }
  }
  if (plain.size() != 2) {
    err << "torvane: "
        << Say(QT_TRANSLATE_NOOP("grading", "usage: %1"),
               "torvane grade EXERCISE SUBMISSIONS [--jobs N] [--junit F.xml] [--html F.html] [--csv F.csv]")
        << '\n';
    return kUsage;
  }
  options.KeepTraces = !html.empty();
  Exercise ex;
  if (!LoadExercise(plain[0], ex, err)) return kUsage;
  if (!QFileInfo(QString::fromStdString(plain[1])).isDir()) {
    err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "%1 is not a folder of submissions"), plain[1]) << '\n';
    return kUsage;
  }
  const std::vector<Submission> subs = ListSubmissions(plain[1]);
  if (subs.empty()) {
    err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "%1 holds no submission"), plain[1]) << '\n';
    return kUsage;
  }
  const std::vector<Grade> grades = GradeAll(ex, subs, options);
  out << TextReport(ex, grades);
  bool written = true;
  if (!csv.empty()) written = WriteFile(csv, CsvReport(ex, grades), err) && written;
  if (!junit.empty()) written = WriteFile(junit, JUnitReport(ex, grades), err) && written;
  if (!html.empty()) written = WriteFile(html, HtmlReport(ex, grades), err) && written;
  return written ? kOk : kFailed;
}

int StudentCheck(const std::vector<std::string>& args, const std::string& self,
                 std::ostream& out, std::ostream& err) {
  if (args.size() < 3) {
    err << "torvane: "
        << Say(QT_TRANSLATE_NOOP("grading", "usage: %1"), "torvane check EXERCISE FILE.awl [MORE.awl SYMBOLS.sdf ...]")
        << '\n';
    return kUsage;
  }
  Exercise ex;
  if (!LoadExercise(args[1], ex, err)) return kUsage;
  std::erase_if(ex.Scenarios, [](const ExerciseScenario& s) { return !s.Visible; });
  if (ex.Scenarios.empty()) {
    err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "%1 has no scenario students may run"), args[1]) << '\n';
    return kUsage;
  }
  Submission mine{"", {}};
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::vector<std::string> files = SubmissionFiles(args[i]);
    mine.Files.insert(mine.Files.end(), files.begin(), files.end());
  }
  mine.Name = QFileInfo(QString::fromStdString(args[2])).completeBaseName().toStdString();
  GradeOptions options;
  options.Executable = self;
  options.Jobs = 2;
  const std::vector<Grade> grades = GradeAll(ex, {mine}, options);
  out << ex.Title << '\n' << TextReport(ex, grades);
  return grades[0].Score >= 100.0 - 1e-9 ? kOk : kFailed;
}

}  // namespace

bool IsGradingCommand(const std::vector<std::string>& args) {
  if (args.empty()) return false;
  return args[0] == "grade" || args[0] == "check" ||
         (args[0] == "exercise" && args.size() >= 2 && args[1] == "check");
}

int RunGradingCommand(const std::vector<std::string>& args, const std::string& self,
                      std::ostream& out, std::ostream& err) {
  if (args[0] == "grade") return GradeClass(args, self, out, err);
  if (args[0] == "check") return StudentCheck(args, self, out, err);
  if (args.size() != 3) {
    err << "torvane: " << Say(QT_TRANSLATE_NOOP("grading", "usage: %1"), "torvane exercise check DIR") << '\n';
    return kUsage;
  }
  return ExerciseCheck(args[2], self, out, err);
}

}  // namespace grading
