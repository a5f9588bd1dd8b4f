// A small text format for STL behaviour tests, and its runner.
//
//   # comment
//   [options]                 optional: mnemonics german|english|auto, budget N, retentive N,
//                             symbol NAME ADDRESS, mode stop (do not start the CPU)
//   [program NAME]            STL source up to the next [section]; NAME defaults to "program"
//   [run]                     one command per line:
//     set ADDR VALUE            write an input/memory location (E/EB/EW/ED, M/MB/MW/MD, A/AB...)
//     cycle [MS] [xN]           run N cycles (default 1), each after MS ms of plant time
//     mode STOP|RUN|RUN_P|MRES  request a mode
//     expect ADDR VALUE         compare a location; also ACCU1, ACCU2, STW, STW.RLO (any status
//                               bit name), T n, TBIT n, Z n, ZBIT n, MODE, CYCLES, INSTRUCTIONS
//     expect-diag TEXT          the newest diagnostics entry contains TEXT
//     expect-diag-line N        the newest diagnostics entry points at program line N
//     expect-load-error LINE:COL TEXT   the load failed with this error (all errors listed)
//     expect-warning LINE TEXT  the load produced this warning
//     reload                    load the [program] again (e.g. after a mode change)
//     load-bad                  load the program of the [bad] section; it must fail
//
// Values: decimal (signed), 16#hex, 2#binary, or a real with a decimal point.
#pragma once

#include <string>
#include <vector>

namespace stlcase {

struct Failure {
  int line;  // line in the test file
  std::string text;
};

// Runs the test file; returns the failures (empty = passed).
std::vector<Failure> RunCaseFile(const std::string& path);

// Every *.stl file under `dir` (recursively), sorted.
std::vector<std::string> FindCaseFiles(const std::string& dir);

}  // namespace stlcase
