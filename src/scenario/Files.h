#pragma once
// Rules for the files Torvane writes (traces, screenshots, sheets, reports) and for echoing what
// a user's file holds: nothing the user wrote is ever overwritten, and a stray control byte in
// a source cannot reach the terminal as a command.
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Why PATH must not be written, or empty when it may. Refused: one of the run's inputs (the
// same file under any name), an existing path that is not a regular file (a folder, /dev/full),
// an existing file that does not begin with SIGNATURE (the first bytes of what Torvane writes
// there, so only its own earlier output is replaced; an empty file is free), and a path whose
// folder does not exist (missing folders are not made up).
std::string OutputProblem(const std::string& path, const std::vector<std::string>& inputs,
                          std::string_view signature);

// TEXT with every byte that is not printable written as \xHH (tabs as \t); UTF-8 letters stay.
std::string Printable(std::string_view text);

}  // namespace scenario
