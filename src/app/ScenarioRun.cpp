#include "app/ScenarioRun.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

bool LoadProgramFromCommandLine(TPlantSession& session, const TCommandLine& options,
                                std::ostream& err) {
  if (options.Programs.empty()) return true;
  std::vector<std::string> messages;
  const bool ok = session.LoadProgram(options.Programs, options.SymbolFiles, messages);
  for (const std::string& m : messages) err << m << '\n';
  if (ok && options.Run) session.RequestRun();
  return ok;
}

int TScenarioRun::Prepare(std::ostream& err) {
  bool ok = true;
  std::ifstream in(FOptions.Scenario, std::ios::binary);
  if (!in) {
    err << FOptions.Scenario << ":1:1: cannot read the scenario\n";
    ok = false;
  } else {
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<scenario::Error> errors;
    FScript = scenario::Parse(text.str(), FOptions.Scenario, errors);
    for (const scenario::Error& e : errors) err << e.Text() << '\n';
    ok = errors.empty();
  }
  // The program is loaded even when the scenario is broken, so one run reports both.
  if (!LoadProgramFromCommandLine(FSession, FOptions, err)) ok = false;
  if (ok && !FOptions.Trace.empty()) {
    std::string error;
    if (!FSession.StartTrace(FOptions.Trace, error)) {
      err << error << '\n';
      ok = false;
    }
  }
  return ok ? kExitOk : kExitNoLoad;
}

int TScenarioRun::Play(std::ostream& out, std::ostream& err) {
  // Names that do not exist (a component, a test, a symbol) make the scenario unloadable; they
  // are found before anything runs and reported with the other load errors.
  bool known = true;
  for (const scenario::Step& step : FScript.steps) {
    const std::string problem = Host.Check(step);
    if (problem.empty()) continue;
    err << scenario::Error{step.where, problem}.Text() << '\n';
    known = false;
  }
  if (!known) {
    FSession.FinishTrace();
    return kExitNoLoad;
  }
  const scenario::Outcome outcome = scenario::Run(FScript, Host, out);
  FSession.FinishTrace();
  return scenario::ExitCode(outcome);
}
