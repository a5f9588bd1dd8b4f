#pragma once
// `torvane --check`: compiles the program as the embedded CPU would load it (with the plant's
// own symbols and the given or neighbouring symbol tables) without creating the plant, so that
// an outside editor or a CI job can match its messages.
#include <ostream>

struct TCommandLine;

// Prints every error and warning as `file:line:col: message` (warnings as `file:line:col:
// warning: message`) to `out`; returns kExitOk when the program compiles, kExitNoLoad when not.
int CheckProgram(const TCommandLine& options, std::ostream& out);
