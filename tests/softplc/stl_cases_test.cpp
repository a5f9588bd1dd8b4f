// Every *.case file under this folder is one STL behaviour test (format in StlCase.h).
#include <gtest/gtest.h>

#include <filesystem>

#include "StlCase.h"

namespace {

std::string CaseName(const testing::TestParamInfo<std::string>& info) {
  std::filesystem::path p(info.param);
  std::string name = p.parent_path().filename().string() + "_" + p.stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class StlCase : public testing::TestWithParam<std::string> {};

TEST_P(StlCase, Behaves) {
  for (const stlcase::Failure& f : stlcase::RunCaseFile(GetParam()))
    ADD_FAILURE_AT(GetParam().c_str(), f.line) << f.text;
}

INSTANTIATE_TEST_SUITE_P(Layers, StlCase,
                         testing::ValuesIn(stlcase::FindCaseFiles(TORVANE_TEST_DATA)), CaseName);

// The folders must hold cases; an empty list would make the suite pass vacuously.
TEST(StlCaseFiles, EveryLayerHasCases) {
  for (const char* layer : {"bit_logic", "nesting", "edges", "load_transfer", "arithmetic",
                            "conversions", "timers", "counters", "jumps", "modes", "faults",
                            "load_errors", "regressions"}) {
    EXPECT_FALSE(stlcase::FindCaseFiles(std::string(TORVANE_TEST_DATA) + "/" + layer).empty())
        << layer;
  }
}

}  // namespace
