#pragma once
// The default simulator: Torvane's own soft PLC, living in the program beside the plant. It
// holds the CPU, the loaded program's origin, scan statistics and the model of its own window;
// connections made through it drive the CPU one scan per RunCycle, advancing the CPU's timers
// by the plant time (taken from a timer clock) since the previous scan.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Timer.h"
#include "plc/S7ProSim.h"
#include "softplc/SoftPlc.h"

class TEmbeddedPlc : public TSimulatorBackEnd {
 public:
  // Plant time comes from clock (the default clock when null); the clock must outlive this.
  explicit TEmbeddedPlc(TTimerClock* clock = nullptr);
  ~TEmbeddedPlc() override;

  std::string Name() const override { return "embedded"; }
  // The embedded simulator runs whenever Torvane does.
  TSimulatorWindow* FindWindow() override { return &Window; }
  TSimResult CreateInstance(std::unique_ptr<IS7ProSim>& out) override;

  softplc::Cpu& Cpu() { return *FCpu; }
  const softplc::Cpu& Cpu() const { return *FCpu; }

  // Symbols used by every later load ("SUBIR" -> "E124.1").
  void SetSymbols(const softplc::SymbolTable& symbols) { FSymbols = symbols; }
  const softplc::SymbolTable& Symbols() const { return FSymbols; }
  // Compiles the file; on success it becomes the program (and the file Reload re-reads), on
  // failure the running program stays and the messages are kept in LoadMessages.
  softplc::LoadResult LoadProgram(const std::string& path);
  // The same for a program spread over several source files, with its symbol tables (none:
  // a table beside a source with the same base name is used).
  softplc::LoadResult LoadProgram(const std::vector<std::string>& paths,
                                  const std::vector<std::string>& symbolPaths);
  // Downloads sources held in memory (an editor's text) as the programming tool does: only if
  // they compile, between two scans, keeping the CPU's mode and the data whose layout stays
  // (see softplc::Cpu::Download). The symbol tables are those of the last load. The messages
  // go to LoadMessages; `summary` says what was replaced.
  softplc::LoadResult Download(const std::vector<softplc::SourceFile>& sources,
                               std::string* summary = nullptr);
  // The source files and symbol tables of the last successful load.
  const std::vector<std::string>& ProgramFiles() const { return FProgramFiles; }
  const std::vector<std::string>& SymbolFiles() const { return FSymbolFiles; }
  // Re-reads the files last given to LoadProgram; fails with a message when there are none.
  softplc::LoadResult Reload();
  // The (first) file of the running program; empty when none was loaded from a file.
  const std::string& ProgramPath() const { return FProgramPath; }
  // The errors and warnings of the last load attempt.
  const std::vector<softplc::Message>& LoadMessages() const { return FLoadMessages; }
  // How many of LoadMessages are errors (they come first; the rest are warnings).
  std::size_t LoadErrorCount() const { return FLoadErrors; }

  // Mode changes from the simulator's own controls go through here, so that the CPU's timers
  // start counting from the moment it enters RUN.
  void SetMode(softplc::CpuMode mode);

  // One scan, as a connection's RunCycle does it.
  void Scan();
  // Plant milliseconds handed to the CPU by the last scan.
  std::uint32_t LastElapsedMs() const { return FLastElapsed; }
  // Execution time of the last and of the longest scan, in nanoseconds (a measurement for the
  // user's information; it does not influence the simulation).
  std::uint64_t LastScanNs() const { return FLastScanNs; }
  std::uint64_t MaxScanNs() const { return FMaxScanNs; }
  void ResetScanStatistics() { FLastScanNs = FMaxScanNs = 0; }
  // Connections currently open.
  int Connections() const { return FConnections; }

  TSimulatorWindow Window;

 private:
  friend class TEmbeddedConnection;
  TTimerClock* FClock;
  std::unique_ptr<softplc::Cpu> FCpu;
  softplc::SymbolTable FSymbols;
  std::string FProgramPath;
  std::vector<std::string> FProgramFiles;
  std::vector<std::string> FSymbolFiles;
  std::vector<softplc::Message> FLoadMessages;
  std::size_t FLoadErrors = 0;
  std::uint64_t FLastCycleAt = 0;
  std::uint32_t FLastElapsed = 0;
  std::uint64_t FLastScanNs = 0;
  std::uint64_t FMaxScanNs = 0;
  int FConnections = 0;
};

// Parses "STOP", "RUN", "RUN_P" or "MRES"; false for anything else.
bool ParseCpuState(std::string_view text, softplc::CpuMode& mode);
