#pragma once
// The program's command line, read with the standard library only so that it can be checked
// (and --help and --version answered) before any window system is touched.
//
//   torvane [options] [FILE.awl ...] [SYMBOLS.sdf|.seq|.asc ...]
#include <string>
#include <vector>

struct TCommandLine {
  std::vector<std::string> Programs;     // STL sources compiled together; empty for none
  std::vector<std::string> SymbolFiles;  // symbol tables (.sdf, .seq, .asc) for them
  bool Run = false;        // CPU to RUN once the program is loaded
  bool Headless = false;   // no window on screen (needs Scenario)
  std::string Scenario;    // scenario to run; the exit code tells whether it held
  std::string Trace;       // VCD file of every PLC bit and the elevation
  std::string Chart;       // SVG timing chart of a scenario run
  std::string Screenshot;  // folder for PNGs of every window at the end of the run
  std::string Gallery;     // contact sheet of every component and picture
  std::string ModuleFigure;
  std::string Plc;         // what plays the PLC: "embedded" (default) or "modbus:HOST..."
  std::string Exercise;    // exercise folder whose statement and visible scenarios open beside the plant
  bool Check = false;      // compile the program, report its messages and exit
  bool Help = false;
  bool Version = false;
};

// Exit codes of the program.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;    // a scenario expectation failed, or a file could not be written
constexpr int kExitNoLoad = 2;    // bad command line, program or scenario that cannot be loaded

// Reads argv[1..]. Returns false with a message (without the program name) for an unknown
// option, a missing value, a symbol table without a program, --headless without --scenario, or
// --check without a program.
bool ParseCommandLine(const std::vector<std::string>& args, TCommandLine& out, std::string& error);

std::string UsageText();
