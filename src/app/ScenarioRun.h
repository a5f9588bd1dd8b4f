#pragma once
// A scenario run from the command line: the scenario and the program are loaded (every problem
// reported as file:line:col), the trace is opened, the CPU put in RUN when asked, and the
// scenario played against the plant.
#include <iosfwd>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PlantHost.h"
#include "app/PlantSession.h"
#include "scenario/Scenario.h"

class TScenarioRun {
 public:
  TScenarioRun(TPlantSession& session, const TCommandLine& options)
      : Host(session), FSession(session), FOptions(options) {}

  // Loads everything; kExitOk when the run can start, kExitNoLoad otherwise (messages on err).
  int Prepare(std::ostream& err);
  // Plays the scenario, one line per step on out; the exit code of the run.
  int Play(std::ostream& out, std::ostream& err);

  TPlantHost Host;

 private:
  TPlantSession& FSession;
  const TCommandLine& FOptions;
  scenario::Script FScript;
};

// Loads the program named on the command line (when there is one) and puts the CPU in RUN if
// asked; messages go to err. False when the program cannot be loaded.
bool LoadProgramFromCommandLine(TPlantSession& session, const TCommandLine& options,
                                std::ostream& err);

// Every file the command line reads, which no output of the run may replace.
std::vector<std::string> InputFiles(const TCommandLine& options);
