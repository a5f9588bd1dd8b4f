#include "plc/EmbeddedPlc.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <limits>
#include <sstream>

#include "plc/PlcTexts.h"

using softplc::CpuMode;

bool ParseCpuState(std::string_view text, CpuMode& mode) {
  if (text == kCpuStop)
    mode = CpuMode::Stop;
  else if (text == kCpuRun)
    mode = CpuMode::Run;
  else if (text == kCpuRunP)
    mode = CpuMode::RunP;
  else if (text == kCpuMres)
    mode = CpuMode::MRes;
  else
    return false;
  return true;
}

// One connection to the embedded CPU. Every call but ConnectSimulator fails until it is
// connected, and again after Release.
class TEmbeddedConnection : public IS7ProSim {
 public:
  explicit TEmbeddedConnection(TEmbeddedPlc& plc) : FPlc(plc) {}
  ~TEmbeddedConnection() override { Release(); }

  TSimResult ConnectSimulator() override {
    if (!FConnected) ++FPlc.FConnections;
    FConnected = true;
    return kSimOk;
  }

  TSimResult SetStartupOption(int option) override {
    // The embedded CPU only ever scans on request, whatever option is asked for.
    (void)option;
    return FConnected ? kSimOk : kSimNotConnected;
  }

  TSimResult ReadCpuState(std::string& state) override {
    if (!FConnected) return kSimNotConnected;
    state = softplc::ModeName(FPlc.Cpu().Mode());
    return kSimOk;
  }

  TSimResult RequestCpuState(std::string_view state) override {
    if (!FConnected) return kSimNotConnected;
    CpuMode mode = CpuMode::Stop;
    if (!ParseCpuState(state, mode)) return kSimInvalidArg;
    FPlc.SetMode(mode);
    return kSimOk;
  }

  TSimResult WriteInputWord(int address, int bit, std::uint16_t value) override {
    if (!FConnected) return kSimNotConnected;
    if (bit != 0 || address < 0 || address + 1 >= softplc::Cpu::kInputBytes) return kSimInvalidArg;
    FPlc.Cpu().SetInputByte(address, static_cast<std::uint8_t>(value >> 8));
    FPlc.Cpu().SetInputByte(address + 1, static_cast<std::uint8_t>(value & 0xFFu));
    return kSimOk;
  }

  TSimResult RunCycle() override {
    if (!FConnected) return kSimNotConnected;
    FPlc.Scan();
    return kSimOk;
  }

  TSimResult ReadOutputWord(int address, int bit, int type, std::uint16_t& value) override {
    if (!FConnected) return kSimNotConnected;
    const softplc::Cpu& cpu = FPlc.Cpu();
    if (address < 0 || bit < 0 || bit > 7) return kSimInvalidArg;
    switch (type) {
      case kSimTypeBit:
        if (address >= softplc::Cpu::kOutputBytes) return kSimInvalidArg;
        value = static_cast<std::uint16_t>((static_cast<unsigned>(cpu.OutputByte(address)) >> bit) & 1u);
        return kSimOk;
      case kSimTypeByte:
        if (bit != 0 || address >= softplc::Cpu::kOutputBytes) return kSimInvalidArg;
        value = cpu.OutputByte(address);
        return kSimOk;
      case kSimTypeWord:
        if (bit != 0 || address + 1 >= softplc::Cpu::kOutputBytes) return kSimInvalidArg;
        value = static_cast<std::uint16_t>(cpu.OutputByte(address) << 8 | cpu.OutputByte(address + 1));
        return kSimOk;
      default:
        return kSimInvalidArg;
    }
  }

  void Release() override {
    if (FConnected) --FPlc.FConnections;
    FConnected = false;
  }

 private:
  TEmbeddedPlc& FPlc;
  bool FConnected = false;
};

TEmbeddedPlc::TEmbeddedPlc(TTimerClock* clock)
    : FClock(clock != nullptr ? clock : &DefaultTimerClock()),
      FCpu(std::make_unique<softplc::Cpu>()) {
  FLastCycleAt = FClock->Now();
}

TEmbeddedPlc::~TEmbeddedPlc() = default;

TSimResult TEmbeddedPlc::CreateInstance(std::unique_ptr<IS7ProSim>& out) {
  out = std::make_unique<TEmbeddedConnection>(*this);
  return kSimOk;
}

void TEmbeddedPlc::SetMode(CpuMode mode) {
  const bool wasRunning = FCpu->Mode() == CpuMode::Run || FCpu->Mode() == CpuMode::RunP;
  FCpu->SetMode(mode);
  const bool running = FCpu->Mode() == CpuMode::Run || FCpu->Mode() == CpuMode::RunP;
  // Time spent stopped does not reach the CPU's timers.
  if (running && !wasRunning) FLastCycleAt = FClock->Now();
}

void TEmbeddedPlc::Scan() {
  const std::uint64_t now = FClock->Now();
  const std::uint64_t elapsed = now - FLastCycleAt;
  FLastCycleAt = now;
  FLastElapsed = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(elapsed, std::numeric_limits<std::uint32_t>::max()));
  const auto start = std::chrono::steady_clock::now();
  FCpu->RunCycle(FLastElapsed);
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  FLastScanNs = static_cast<std::uint64_t>(ns);
  if (FLastScanNs > FMaxScanNs) FMaxScanNs = FLastScanNs;
}

softplc::LoadResult TEmbeddedPlc::LoadProgram(const std::string& path) {
  return LoadProgram(std::vector<std::string>{path}, {});
}

softplc::LoadResult TEmbeddedPlc::LoadProgram(const std::vector<std::string>& paths,
                                              const std::vector<std::string>& symbolPaths) {
  softplc::LoadResult result = FCpu->LoadFiles(paths, symbolPaths, FSymbols);
  FLoadMessages = result.errors;
  FLoadErrors = result.errors.size();
  FLoadMessages.insert(FLoadMessages.end(), result.warnings.begin(), result.warnings.end());
  if (result.ok) {
    FProgramFiles = paths;
    FSymbolFiles = symbolPaths;
    FProgramPath = paths.empty() ? std::string() : paths.front();
  }
  return result;
}

softplc::LoadResult TEmbeddedPlc::Download(const std::vector<softplc::SourceFile>& sources,
                                           std::string* summary) {
  std::vector<std::string> names;
  for (const softplc::SourceFile& s : sources) names.push_back(s.name);
  const std::vector<std::string> tables =
      FSymbolFiles.empty() ? softplc::SymbolTablesBeside(names) : FSymbolFiles;
  std::vector<softplc::SymbolFile> symbolFiles;
  softplc::LoadResult result;
  for (const std::string& t : tables) {
    std::ifstream in(t, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in) result.errors.push_back(
          {t, 0, 0, PlcText("TSimulatorWindowView", QT_TRANSLATE_NOOP("TSimulatorWindowView", "cannot open the symbol table"))});
    symbolFiles.push_back({t, text.str()});
  }
  if (result.errors.empty()) result = FCpu->Download(sources, symbolFiles, FSymbols, summary);
  FLoadMessages = result.errors;
  FLoadErrors = result.errors.size();
  FLoadMessages.insert(FLoadMessages.end(), result.warnings.begin(), result.warnings.end());
  return result;
}

softplc::LoadResult TEmbeddedPlc::Reload() {
  if (FProgramPath.empty()) {
    softplc::LoadResult result;
    result.errors.push_back(
        {"", 0, 0, PlcText("TSimulatorWindowView", QT_TRANSLATE_NOOP("TSimulatorWindowView", "No program file has been loaded yet"))});
    FLoadMessages = result.errors;
    FLoadErrors = 1;
    return result;
  }
  return LoadProgram(std::vector<std::string>(FProgramFiles), std::vector<std::string>(FSymbolFiles));
}
