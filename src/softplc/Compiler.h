// Turns STL source files into a Program: structure (blocks, networks, temporaries), statements,
// operands, labels; every error is collected with file, line and column.
#pragma once

#include <vector>

#include "softplc/Program.h"
#include "softplc/SoftPlc.h"

namespace softplc {

// Returns true and fills `out` when the files compile without errors. Errors and warnings are
// appended to `result` in source order; `out` is left untouched on failure.
bool Compile(const std::vector<SourceFile>& files, const SymbolTable& symbols, Mnemonics mnemonics,
             Program& out, LoadResult& result);

}  // namespace softplc
