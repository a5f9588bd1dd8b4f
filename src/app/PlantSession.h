#pragma once
// One run of Torvane without its windows: a plant clock, the embedded CPU with the bridge's
// symbols, and the bridge window model with its PLC window, all on that clock. The GUI shows a
// session; the headless runner drives one at full speed.
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "bridge/BridgeControl.h"
#include "framework/Timer.h"
#include "plc/EmbeddedPlc.h"
#include "plc/WatchOperand.h"
#include "scenario/Recorder.h"
#include "scenario/Vcd.h"

class TPlantSession {
 public:
  // The plant on the embedded CPU, or on an external back end (which the session then owns).
  explicit TPlantSession(std::unique_ptr<TSimulatorBackEnd> external = nullptr);
  ~TPlantSession();
  TPlantSession(const TPlantSession&) = delete;
  TPlantSession& operator=(const TPlantSession&) = delete;

  TTimerClock& Clock() { return FClock; }
  TEmbeddedPlc& Plc() { return FPlc; }
  // What the PLC window talks to: the embedded CPU unless an external back end was given.
  TSimulatorBackEnd& BackEnd() { return FExternal ? *FExternal : static_cast<TSimulatorBackEnd&>(FPlc); }
  bool External() const { return FExternal != nullptr; }
  TForm2& Form() { return *FForm; }

  // The bridge's symbols as the CPU's compiler takes them ("SUBIR" -> "E124.1").
  static softplc::SymbolTable BridgeSymbols();

  // Loads an STL file into the CPU. Every error, and every warning as "warning: ...", is
  // returned as "file:line:col: text"; on failure the CPU keeps what it had.
  bool LoadProgram(const std::string& path, std::vector<std::string>& messages);
  // Several sources compiled together, with their symbol tables.
  bool LoadProgram(const std::vector<std::string>& paths,
                   const std::vector<std::string>& symbolPaths, std::vector<std::string>& messages);
  // Moves the faceplate's mode selector to RUN (the CPU follows at its next state poll).
  void RequestRun();

  // Records every PLC input and output bit of bytes 124-125 and the elevation, at the end of
  // every tick, to a VCD file. False with a message when the file may not or cannot be written:
  // one of INPUTS, or an existing file that is not an earlier trace. The trace goes to a
  // temporary file beside PATH that replaces it only when FinishTrace finds it written whole.
  bool StartTrace(const std::string& path, const std::vector<std::string>& inputs,
                  std::string& error);
  bool StartTrace(const std::string& path, std::string& error) { return StartTrace(path, {}, error); }
  // Ends the trace; the message of a failed write or close, or empty when the file is whole.
  std::string FinishTrace();

  // Runs exactly one plant tick (the inputs to the CPU, one CPU cycle, one plant step), moving
  // the clock on to it: what a paused plant's single step does.
  void StepTick();

  // The timing chart's record: every PLC input and output bit of bytes 124-125, by address and
  // symbol, at the end of every tick, with a marker wherever a fault, a force or a fault test
  // came or went.
  scenario::Recorder& Chart() { return FChart; }
  void Mark(const std::string& text) { FChart.Mark(FClock.Now(), text); }
  // Adds a trace of a CPU operand (E124.1, MW 10, "SUBIR", T 1 ...) to the chart, recorded from
  // the next tick on; empty on success, else why not.
  std::string AddChartOperand(const std::string& text);

 private:
  void TickDone(TObject* sender);
  void SampleTrace();
  void SampleChart();
  void TestRun(int index);  // a fault test of the PLC window: marked, then run

  // Declared in this order so the window (and its connection to the CPU) goes first.
  TTimerClock FClock;
  TEmbeddedPlc FPlc{&FClock};
  std::unique_ptr<TSimulatorBackEnd> FExternal;
  TComponent FApplication{nullptr};
  TForm2* FForm = nullptr;

  struct TTraceFile;
  std::unique_ptr<TTraceFile> FTraceFile;
  scenario::VcdWriter FTrace;
  bool FTracing = false;
  std::vector<int> FInputIds;
  std::vector<int> FOutputIds;
  int FElevationId = -1;
  int FFrameId = -1;

  scenario::Recorder FChart;
  struct ChartOperand {
    int trace;
    TWatchOperand operand;
  };
  std::vector<ChartOperand> FChartOperands;  // traces read from the CPU, after the I/O bits
};

// Formats a compiler message the way every tool shows one.
std::string MessageText(const softplc::Message& m);
