#pragma once
// The reports of a graded class: a CSV for a grade book, JUnit XML for any CI, and one
// self-contained HTML page for the teacher.
#include <string>
#include <vector>

#include "grading/Grader.h"

namespace grading {

std::string CsvReport(const Exercise& ex, const std::vector<Grade>& grades);
std::string JUnitReport(const Exercise& ex, const std::vector<Grade>& grades);
std::string HtmlReport(const Exercise& ex, const std::vector<Grade>& grades);
// A few lines per student for the terminal.
std::string TextReport(const Exercise& ex, const std::vector<Grade>& grades);

}  // namespace grading
