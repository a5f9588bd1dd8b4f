#pragma once
// The start-up check: Torvane does not start without a simulator to couple the plant to. The
// PLC window raises EPLCSimNotRunning itself while it is built; the program entry may also ask
// beforehand, and reports the failure with the one message the user sees.
#include <exception>
#include <iosfwd>

#include "plc/S7ProSim.h"

// Exit status of a start-up that found no simulator.
constexpr int kExitNoSimulator = 3;

// Raises EPLCSimNotRunning when backEnd (the active one when null) is not running or does not
// accept a connection. A trial connection is made and released.
void CheckSimulatorAtStartup(TSimulatorBackEnd* backEnd = nullptr);

// Writes the start-up error to err: the user's message on the first line, and for an
// EPLCSimNotRunning what exactly failed on the second. Returns kExitNoSimulator.
int ReportStartupFailure(const std::exception& error, std::ostream& err);
