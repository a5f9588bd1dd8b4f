#include "app/ScenarioRun.h"

#include <chrono>
#include <ostream>
#include <thread>
#include <vector>

#include "scenario/Files.h"
#include "softplc/TextFile.h"
#include "i18n/Translations.h"

namespace {

// A message of this file in the installed language.
std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("ScenarioRun", text, args);
}

}  // namespace

bool LoadProgramFromCommandLine(TPlantSession& session, const TCommandLine& options,
                                std::ostream& err) {
  if (options.Programs.empty()) return true;
  std::vector<std::string> messages;
  const bool ok = session.LoadProgram(options.Programs, options.SymbolFiles, messages);
  for (const std::string& m : messages) err << m << '\n';
  if (ok && options.Run) session.RequestRun();
  return ok;
}

std::vector<std::string> InputFiles(const TCommandLine& options) {
  std::vector<std::string> inputs = options.Programs;
  inputs.insert(inputs.end(), options.SymbolFiles.begin(), options.SymbolFiles.end());
  if (!options.Scenario.empty()) inputs.push_back(options.Scenario);
  return inputs;
}

int TScenarioRun::Prepare(std::ostream& err) {
  bool ok = true;
  std::string text, problem;
  if (!softplc::ReadTextFile(FOptions.Scenario, text, problem)) {
    err << scenario::Printable(FOptions.Scenario) << ":1:1: "
        << Tr(QT_TRANSLATE_NOOP("ScenarioRun", "cannot read the scenario: %1"), {problem}) << '\n';
    ok = false;
  } else {
    std::vector<scenario::Error> errors;
    FScript = scenario::Parse(text, FOptions.Scenario, errors);
    for (const scenario::Error& e : errors) err << e.Text() << '\n';
    ok = errors.empty();
  }
  // The program is loaded even when the scenario is broken, so one run reports both.
  if (!LoadProgramFromCommandLine(FSession, FOptions, err)) ok = false;
  if (ok && !FOptions.Trace.empty()) {
    std::string error;
    if (!FSession.StartTrace(FOptions.Trace, InputFiles(FOptions), error)) {
      err << "torvane: " << error << '\n';
      ok = false;
    }
  }
  return ok ? kExitOk : kExitNoLoad;
}

int TScenarioRun::Play(std::ostream& out, std::ostream& err) {
  // Names that do not exist (a component, a test, a symbol) make the scenario unloadable; they
  // are found before anything runs and reported with the other load errors.
  std::size_t unknown = 0;
  for (const scenario::Step& step : FScript.steps) {
    const std::string problem = Host.Check(step);
    if (problem.empty()) continue;
    if (unknown++ == scenario::kMaxErrors) {
      err << scenario::Error{step.where, Tr(QT_TRANSLATE_NOOP("ScenarioRun", "too many errors; stopped checking the scenario"))}
                 .Text()
          << '\n';
      break;
    }
    err << scenario::Error{step.where, problem}.Text() << '\n';
  }
  const bool known = unknown == 0;
  if (!known) {
    (void)FSession.FinishTrace();
    return kExitNoLoad;
  }
  if (FSession.External() && !Host.AfterTick) {
    // An external PLC scans, answers and reconnects on the wall clock: the plant must not run
    // ahead of it, or a timeout of seconds would pass in a blink. Plant time follows wall time.
    const auto wallStart = std::chrono::steady_clock::now();
    const std::uint64_t plantStart = FSession.Clock().Now();
    Host.AfterTick = [this, wallStart, plantStart] {
      const std::chrono::milliseconds plant(FSession.Clock().Now() - plantStart);
      std::this_thread::sleep_until(wallStart + plant);
    };
  }
  const scenario::Outcome outcome = scenario::Run(FScript, Host, out);
  const int code = scenario::ExitCode(outcome);
  // A run whose trace was lost is not a success, whatever the plant did.
  if (const std::string problem = FSession.FinishTrace(); !problem.empty()) {
    err << "torvane: " << problem << '\n';
    return code == kExitOk ? kExitFailed : code;
  }
  return code;
}
