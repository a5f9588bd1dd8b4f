// Fuzz entry for the STL compiler: any text must load or be refused with placed messages, and
// a program that loads must run a few cycles without harming the host.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "softplc/SoftPlc.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckMessages(const softplc::LoadResult& r, const std::string& text) {
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  Check(r.ok == r.errors.empty());
  for (const softplc::Message& m : r.errors) {
    Check(!m.text.empty());
    Check(m.line >= 1 && static_cast<size_t>(m.line) <= lines);
    Check(m.column >= 1);
    // a message put together from pieces of other messages would show their markers
    Check(m.text.find_first_of(std::string("\x01\x02\x03", 3)) == std::string::npos);
  }
}

struct Observer : softplc::StatusObserver {
  uint64_t count = 0;
  void OnStatement(const softplc::StatusRecord& r) override {
    ++count;
    (void)r;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Large enough for the deepest nesting the compiler refuses, and for long chains of blocks.
  if (size > 4 * 1024 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // "%%FILE" lines split the input into several source files, "%%SYMBOLS" starts a symbol file
  std::vector<softplc::SourceFile> files;
  std::vector<softplc::SymbolFile> symbolFiles;
  {
    size_t pos = 0;
    bool symbolsPart = false;
    while (true) {
      size_t f = text.find("%%FILE\n", pos), sy = text.find("%%SYMBOLS\n", pos);
      size_t next = std::min(f, sy);
      std::string part = text.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
      if (symbolsPart) symbolFiles.push_back({"fuzz.sdf", part});
      else files.push_back({"fuzz" + std::to_string(files.size()) + ".awl", part});
      if (next == std::string::npos || files.size() + symbolFiles.size() > 8) break;
      symbolsPart = next == sy;
      pos = next + (symbolsPart ? 10 : 7);
    }
  }
  const softplc::SymbolTable symbols = {{"SUBIR", "E124.1"}, {"KM1", "A 124.0"},
                                        {"Count", "MW 10"}, {"Bad", "XYZ 1"}};
  softplc::Cpu cpu;
  cpu.SetInstructionBudget(20000);
  softplc::LoadResult r = symbolFiles.empty() ? cpu.Load(files, symbols)
                                              : cpu.LoadWithSymbols(files, symbolFiles, symbols);
  CheckMessages(r, text);
  if (r.ok) {
    cpu.SetMode(softplc::CpuMode::Run);
    for (int i = 0; i < 3; ++i) {
      cpu.SetInputByte(0, static_cast<uint8_t>(i * 85));
      cpu.RunCycle(static_cast<uint32_t>(i * 70));
    }
    Check(cpu.Info().instructions > 0);
    // the traced interpreter must behave like the plain one
    Observer observer;
    cpu.SetMode(softplc::CpuMode::Run);
    cpu.SetStatusObserver(&observer);
    cpu.RunCycle(30);
    if (cpu.Mode() == softplc::CpuMode::Run)
      Check(observer.count == cpu.LastCycleInstructions());
    for (const softplc::DiagEntry& d : cpu.Diagnostics()) Check(!d.text.empty());
    for (int db = 0; db < 64; ++db) {
      const int length = cpu.DataBlockLength(db);
      if (length > 0) Check(cpu.DataBlockByte(db, length - 1) >= 0 && cpu.DataBlockByte(db, length) < 0);
    }
    for (uint32_t i = 0; i < cpu.Info().instructions; i += 7) Check(cpu.Where(i).line >= 1);
  }
  // Forcing a language must be just as safe; the input's length picks which one.
  softplc::Cpu other;
  CheckMessages(other.Load(files, symbols,
                           size % 2 ? softplc::Mnemonics::English : softplc::Mnemonics::German),
                text);
  return 0;
}
