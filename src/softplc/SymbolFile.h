// Symbol tables exported by the programming tool, read into the CPU's symbol table:
// SDF ("symbol","address","type","comment"), SEQ (tab-separated) and ASC (fixed columns).
#pragma once

#include <string>
#include <vector>

#include "softplc/SoftPlc.h"

namespace softplc {

enum class SymbolFormat { Auto, Sdf, Seq, Asc };

// Adds the symbols of `file` to `table`. A name already there with another address is a
// clash and is reported (with the file and line), as is a line that cannot be read; the
// first definition stays. `origin` tells where each name came from, for the messages. When
// `comments` is given, it takes each added symbol's comment (name -> text), if it has one.
void ReadSymbolFile(const SymbolFile& file, SymbolTable& table,
                    std::map<std::string, std::string>& origin, std::vector<Message>& errors,
                    SymbolFormat format = SymbolFormat::Auto,
                    std::map<std::string, std::string>* comments = nullptr);

}  // namespace softplc
