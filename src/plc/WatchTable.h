#pragma once
// A variable table as a file: one operand and its display format per line ("SUBIR" BOOL,
// MW 10 DEC, DB1.DBW 2 HEX); blank lines and lines starting with // or # are skipped.
#include <string>
#include <vector>

#include "plc/WatchOperand.h"

struct TWatchRow {
  std::string Text;  // as the user wrote it
  TWatchOperand Operand;
  TWatchFormat Format = TWatchFormat::Hex;
};

// Makes a row from an operand text; the format is the operand's default. Empty on success.
std::string MakeWatchRow(const std::string& text, const softplc::SymbolTable& symbols, TWatchRow& row);

// The text of a table file.
std::string WatchTableText(const std::vector<TWatchRow>& rows);
// Reads a table file; every line that cannot be read gives a message "file:line:col: text" and
// is left out, the others are kept.
std::vector<TWatchRow> ParseWatchTable(const std::string& text, const std::string& fileName,
                                       const softplc::SymbolTable& symbols,
                                       std::vector<std::string>& errors);
