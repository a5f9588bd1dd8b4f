#include "plc/WatchTable.h"

#include <algorithm>
#include <sstream>

#include "plc/PlcTexts.h"

std::string MakeWatchRow(const std::string& text, const softplc::SymbolTable& symbols, TWatchRow& row) {
  TWatchOperand op;
  std::string problem = ParseWatchOperand(text, symbols, op);
  if (!problem.empty()) return problem;
  row.Text = text;
  row.Operand = op;
  row.Format = WatchFormats(op.Kind).front();
  return {};
}

std::string WatchTableText(const std::vector<TWatchRow>& rows) {
  std::string s;
  for (const TWatchRow& r : rows) s += r.Text + " " + WatchFormatName(r.Format) + "\n";
  return s;
}

std::vector<TWatchRow> ParseWatchTable(const std::string& text, const std::string& fileName,
                                       const softplc::SymbolTable& symbols,
                                       std::vector<std::string>& errors) {
  std::vector<TWatchRow> rows;
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line.compare(b, 2, "//") == 0 || line[b] == '#') continue;
    const std::size_t e = line.find_last_not_of(" \t") + 1;
    const std::string body = line.substr(b, e - b);
    auto fail = [&](std::size_t column, const std::string& message) {
      errors.push_back(fileName + ":" + std::to_string(lineNo) + ":" + std::to_string(column + 1) +
                       ": " + message);
    };
    // The format is the last word when it names one; otherwise the operand's default.
    std::string operand = body;
    std::string formatName;
    const std::size_t cut = body.find_last_of(" \t");
    TWatchFormat format = TWatchFormat::Hex;
    bool hasFormat = false;
    if (cut != std::string::npos && ParseWatchFormat(body.substr(cut + 1), format)) {
      hasFormat = true;
      formatName = body.substr(cut + 1);
      operand = body.substr(0, body.find_last_not_of(" \t", cut) + 1);
    }
    TWatchRow row;
    if (std::string problem = MakeWatchRow(operand, symbols, row); !problem.empty()) {
      fail(b, problem);
      continue;
    }
    if (hasFormat) {
      const std::vector<TWatchFormat> allowed = WatchFormats(row.Operand.Kind);
      if (std::find(allowed.begin(), allowed.end(), format) == allowed.end()) {
        fail(b + cut + 1, PlcText("TWatchWindow", QT_TRANSLATE_NOOP("TWatchWindow", "the format %1 does not suit %2"),
                                  {formatName, row.Operand.Address()}));
        continue;
      }
      row.Format = format;
    }
    rows.push_back(row);
  }
  return rows;
}
