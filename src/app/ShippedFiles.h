#pragma once

#include <string>
#include <vector>

// An installed Torvane keeps its examples and exercises under <prefix>/share/torvane, where a
// student cannot be expected to type the full path. A relative name that does not exist from the
// current folder is looked up there, so `torvane --run bridge.awl` works from any folder.

// The folder the installed examples live in, found from the executable's own place; empty when
// this executable is not installed beside one (a build tree).
std::string ShippedDataDir(const std::string& executable);

// `path` itself when it exists or is absolute; otherwise the first of <data>/path,
// <data>/examples/path and <data>/examples/exercises/path that exists; otherwise `path`.
std::string FindShipped(const std::string& path, const std::string& dataDir);

// Applies FindShipped to every file argument of a command line or grading command, telling `note`
// each replacement so the user sees which file was taken.
void ResolveShippedArguments(std::vector<std::string>& args, const std::string& dataDir,
                             std::vector<std::string>& notes);
