#include "softplc/SoftPlc.h"

#include <array>

namespace softplc {

const char* ModeName(CpuMode m) {
  switch (m) {
    case CpuMode::Stop: return "STOP";
    case CpuMode::Run: return "RUN";
    case CpuMode::RunP: return "RUN_P";
    case CpuMode::MRes: return "MRES";
  }
  return "STOP";
}

class CpuCore {
 public:
  CpuMode mode = CpuMode::Stop;
  ProgramInfo info;
  std::vector<DiagEntry> diag;
  std::array<uint8_t, Cpu::kInputBytes> inputs{};
  std::array<uint8_t, Cpu::kOutputBytes> outputs{};
  std::array<uint8_t, Cpu::kMemoryBytes> memory{};
};

Cpu::Cpu() : core_(std::make_unique<CpuCore>()) {}
Cpu::~Cpu() = default;

LoadResult Cpu::Load(const std::vector<SourceFile>&, const SymbolTable&, Mnemonics) {
  LoadResult r;
  r.errors.push_back({"", 0, 0, "compiler not available yet"});
  return r;
}
LoadResult Cpu::LoadFile(const std::string& path, const SymbolTable& s, Mnemonics m) {
  return Load({{path, ""}}, s, m);
}
bool Cpu::HasProgram() const { return false; }
const ProgramInfo& Cpu::Info() const { return core_->info; }
CpuMode Cpu::Mode() const { return core_->mode; }
void Cpu::SetMode(CpuMode m) { core_->mode = m == CpuMode::MRes ? CpuMode::Stop : m; }
void Cpu::RunCycle(uint32_t) {}
uint8_t Cpu::InputByte(int a) const { return a >= 0 && a < kInputBytes ? core_->inputs[size_t(a)] : 0; }
void Cpu::SetInputByte(int a, uint8_t v) { if (a >= 0 && a < kInputBytes) core_->inputs[size_t(a)] = v; }
uint8_t Cpu::OutputByte(int a) const { return a >= 0 && a < kOutputBytes ? core_->outputs[size_t(a)] : 0; }
void Cpu::SetOutputByte(int a, uint8_t v) { if (a >= 0 && a < kOutputBytes) core_->outputs[size_t(a)] = v; }
uint8_t Cpu::MemoryByte(int a) const { return a >= 0 && a < kMemoryBytes ? core_->memory[size_t(a)] : 0; }
void Cpu::SetMemoryByte(int a, uint8_t v) { if (a >= 0 && a < kMemoryBytes) core_->memory[size_t(a)] = v; }
const std::vector<DiagEntry>& Cpu::Diagnostics() const { return core_->diag; }
uint64_t Cpu::CycleCount() const { return 0; }
uint64_t Cpu::LastCycleInstructions() const { return 0; }
void Cpu::SetStatusObserver(StatusObserver*) {}
InstructionPlace Cpu::Where(uint32_t) const { return {}; }
uint16_t Cpu::StatusWord() const { return 0; }
uint32_t Cpu::Accu1() const { return 0; }
uint32_t Cpu::Accu2() const { return 0; }
uint16_t Cpu::TimerValue(int) const { return 0; }
bool Cpu::TimerBit(int) const { return false; }
uint16_t Cpu::CounterValue(int) const { return 0; }
bool Cpu::CounterBit(int) const { return false; }
void Cpu::SetInstructionBudget(uint64_t) {}
void Cpu::SetRetentiveMemoryBytes(int) {}

}  // namespace softplc
