#include "app/CheckCommand.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/CommandLine.h"
#include "app/PlantSession.h"
#include "softplc/SoftPlc.h"
#include "i18n/Translations.h"
#include "softplc/Text.h"

namespace {

// A message of this file in the installed language.
std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("PlantSession", text, args);
}

}  // namespace

int CheckProgram(const TCommandLine& options, std::ostream& out) {
  softplc::Cpu cpu;
  const softplc::LoadResult r =
      cpu.LoadFiles(options.Programs, options.SymbolFiles, TPlantSession::BridgeSymbols());
  struct TLine {
    const softplc::Message* Message;
    bool Warning;
  };
  std::vector<TLine> lines;
  for (const softplc::Message& m : r.errors) lines.push_back({&m, false});
  for (const softplc::Message& m : r.warnings) lines.push_back({&m, true});
  // One list in source order, as an editor walks it.
  std::stable_sort(lines.begin(), lines.end(), [](const TLine& a, const TLine& b) {
    return std::tie(a.Message->file, a.Message->line, a.Message->column) <
           std::tie(b.Message->file, b.Message->line, b.Message->column);
  });
  for (const TLine& l : lines) {
    softplc::Message m = *l.Message;
    if (l.Warning)
      m = {m.file, m.line, m.column,
           Tr(QT_TRANSLATE_NOOP("PlantSession", "warning: %1"), {softplc::Shown(m.text, m.format, m.args)})};
    // A matcher needs a line and column even for a file that cannot be opened.
    if (m.line <= 0) m.line = 1;
    out << MessageText(m) << '\n';
  }
  return r.ok ? kExitOk : kExitNoLoad;
}
