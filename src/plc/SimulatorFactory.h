#pragma once
// Chooses what plays the PLC from one line of text, as given on the command line:
//   "embedded" (or empty)  Torvane's own soft PLC
//   "modbus:HOST[:PORT][,unit=N][,inputs=ADDR][,outputs=ADDR][,outputs-area=holding|input]
//           [,run-coil=ADDR][,timeout=MS][,retry=MS]"  an external PLC over Modbus TCP
// The caller keeps the back end alive for the program's life and installs it with
// SetActiveSimulatorBackEnd. Nothing is connected here; the first connection is made by the
// start-up check or the PLC window.
#include <memory>
#include <string>

#include "plc/S7ProSim.h"

class TTimerClock;

// Returns null and explains in error (naming the text and the part that is wrong) when spec is
// not understood. clock is the plant clock for the embedded PLC (the default clock when null).
std::unique_ptr<TSimulatorBackEnd> CreateSimulatorBackEnd(const std::string& spec, std::string& error,
                                                          TTimerClock* clock = nullptr);
