#include "app/ShippedFiles.h"

#include <filesystem>
#include <system_error>

#include "i18n/Translations.h"

namespace {

// A message of this file in the installed language.
std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("ShippedFiles", text, args);
}

}  // namespace

namespace fs = std::filesystem;

#ifndef TORVANE_DATADIR_FROM_BINDIR
#define TORVANE_DATADIR_FROM_BINDIR "../share/torvane"
#endif

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

bool TakesValue(const std::string& option) {
  return option == "--scenario" || option == "--trace" || option == "--screenshot" ||
         option == "--gallery" || option == "--render-module" || option == "--plc" ||
         option == "--exercise";
}

void Resolve(std::string& arg, const std::string& dataDir, std::vector<std::string>& notes) {
  const std::string found = FindShipped(arg, dataDir);
  if (found != arg) notes.push_back(Tr(QT_TRANSLATE_NOOP("ShippedFiles", "using %1"), {found}));
  arg = found;
}

}  // namespace

std::string ShippedDataDir(const std::string& executable) {
  if (executable.empty()) return {};
  const fs::path dir = fs::path(executable).parent_path() / TORVANE_DATADIR_FROM_BINDIR;
  if (!Exists(dir / "examples")) return {};
  std::error_code ec;
  const fs::path canonical = fs::canonical(dir, ec);
  return ec ? dir.string() : canonical.string();
}

std::string FindShipped(const std::string& path, const std::string& dataDir) {
  if (path.empty() || dataDir.empty()) return path;
  const fs::path p(path);
  if (p.is_absolute() || Exists(p)) return path;
  const fs::path data(dataDir);
  for (const fs::path& candidate : {data / p, data / "examples" / p, data / "examples" / "exercises" / p})
    if (Exists(candidate)) return candidate.string();
  return path;
}

void ResolveShippedArguments(std::vector<std::string>& args, const std::string& dataDir,
                             std::vector<std::string>& notes) {
  if (dataDir.empty() || args.empty()) return;
  // A grading command looks up only its exercise: a student's missing file must never be
  // replaced by the shipped solution of the same name.
  if (args[0] == "grade" || args[0] == "check") {
    if (args.size() > 1) Resolve(args[1], dataDir, notes);
    return;
  }
  if (args.size() > 2 && args[0] == "exercise" && args[1] == "check") {
    Resolve(args[2], dataDir, notes);
    return;
  }
  // Likewise a scenario run (a check of the student's program) looks up only the scenario;
  // the programs are looked up when a person opens them to look at the plant.
  bool scenario = false;
  for (const std::string& a : args)
    scenario = scenario || a == "--scenario" || a.rfind("--scenario=", 0) == 0;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
      if (!scenario) Resolve(a, dataDir, notes);
    } else if ((a == "--scenario" || a == "--exercise") && i + 1 < args.size()) {
      Resolve(args[++i], dataDir, notes);
    } else if (TakesValue(a)) {
      ++i;
    }
  }
}
