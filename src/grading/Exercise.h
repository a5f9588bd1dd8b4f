#pragma once
// An exercise is a folder: exercise.toml (title, statement, scenarios with their weight and
// visibility, limits), an optional symbol table, scenarios/*.scn and optionally solution/.
#include <string>
#include <vector>

namespace grading {

struct ExerciseScenario {
  std::string Name;  // file name without .scn, as reports show it
  std::string Path;  // absolute
  double Weight = 1.0;
  bool Visible = false;  // students may run it themselves
};

struct Exercise {
  std::string Dir;
  std::string Title;
  std::string Statement;  // Markdown
  std::vector<std::string> SymbolFiles;
  std::vector<ExerciseScenario> Scenarios;
  std::vector<std::string> SolutionFiles;  // empty when the exercise ships no solution
  double TimeLimitS = 10.0;               // wall time of one scenario run
  int MemoryLimitMiB = 1024;
};

// Reads DIR/exercise.toml. Every problem is appended to errors as "file:line:col: message";
// true when there is none.
bool ReadExercise(const std::string& dir, Exercise& out, std::vector<std::string>& errors);

// The sources and symbol tables of one submission: the file itself, or every .awl/.stl source
// and symbol table in a folder (sorted, so the compile order is the same everywhere).
std::vector<std::string> SubmissionFiles(const std::string& path);
bool IsSymbolTablePath(const std::string& path);

}  // namespace grading
