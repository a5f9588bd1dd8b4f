#pragma once
// Grading runs every scenario of an exercise against every submission. Each run is a child
// process of the torvane executable itself (headless scenario), with a wall-time and memory
// limit, so a program that loops, crashes the CPU or eats memory fails only its own run.
#include <cstdint>
#include <string>
#include <vector>

#include "grading/Exercise.h"
#include "softplc/Text.h"

namespace grading {

enum class Status { Passed, Failed, NoLoad, TimedOut, Crashed };

struct RunResult {
  Status State = Status::Crashed;
  std::string Reason;  // one line for a table cell or a JUnit message, made by softplc::Tr
  std::vector<std::string> LoadErrors;  // file:line:col messages when the program did not load
  // The first step that did not hold (Failed only).
  int FailLine = 0;
  std::uint64_t FailTimeMs = 0;
  std::string FailStep;  // the step as written: what was expected
  std::string Seen;      // what the plant showed instead
  int StepsPassed = 0;
  int StepsFailed = 0;
  double WallS = 0;
  std::string Trace;  // VCD text of the run (only when asked for)
};

struct Submission {
  std::string Name;  // file name without extension, or folder name
  std::vector<std::string> Files;
};

struct Grade {
  Submission Student;
  std::vector<RunResult> Runs;  // one per exercise scenario, in the exercise's order
  double Score = 0;             // 0..100, weighted
};

struct GradeOptions {
  std::string Executable;  // the torvane binary that plays one run
  int Jobs = 1;
  bool KeepTraces = false;  // for the HTML report's timing charts
};

// The submissions in a folder: one per file or sub-folder, sorted by name.
std::vector<Submission> ListSubmissions(const std::string& dir);

// Every submission × every scenario; the result does not depend on Jobs.
std::vector<Grade> GradeAll(const Exercise& ex, const std::vector<Submission>& subs,
                            const GradeOptions& options);

// The status as a machine reads it (CSV, JUnit), and as the user reads it.
const char* StatusWord(Status s);
std::string StatusText(Status s);

// What the plant showed, "X is V" as a run prints it (RunResult::Seen), made by softplc::Tr.
std::string SeenMessage(const std::string& seen);

// A message marked with QT_TRANSLATE_NOOP("grading", ...) in the user's language.
template <class... A>
std::string Say(const char* format, const A&... args) {
  return softplc::Shown(softplc::Tr(format, args...));
}

// Reads the output of one headless scenario run (exposed for tests).
void ReadRunOutput(const std::string& scenarioPath, const std::string& out, RunResult& r);

}  // namespace grading
