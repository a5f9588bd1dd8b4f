#pragma once
// The teacher's and the student's commands:
//   torvane exercise check DIR
//   torvane grade EXERCISE SUBMISSIONS [--jobs N] [--junit F.xml] [--html F.html] [--csv F.csv]
//   torvane check EXERCISE FILE...
#include <iosfwd>
#include <string>
#include <vector>

namespace grading {

// True when args name one of the commands above.
bool IsGradingCommand(const std::vector<std::string>& args);
// Runs it; self is the torvane executable that plays each isolated run. The exit code.
int RunGradingCommand(const std::vector<std::string>& args, const std::string& self,
                      std::ostream& out, std::ostream& err);

}  // namespace grading
