// Runs the reference programs kept beside this test and compares MB0..MB31 with the recorded results.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <vector>

#include "softplc/SoftPlc.h"

namespace {

namespace fs = std::filesystem;

fs::path ReferenceDir() { return fs::path(TORVANE_SOURCE_DIR) / "tests" / "softplc" / "reference"; }

// Programs whose recorded result contradicts the documented behaviour of an instruction.
const std::map<std::string, std::string> kExcluded = {};

TEST(ReferencePrograms, AllMatchRecordedMemory) {
  const fs::path dir = ReferenceDir();
  ASSERT_TRUE(fs::is_directory(dir)) << "reference folder missing: " << dir;
  std::ifstream expected(dir / "expected.txt");
  ASSERT_TRUE(expected) << "expected.txt missing in " << dir;
  std::string line;
  int checked = 0, failed = 0;
  while (std::getline(expected, line)) {
    std::istringstream ls(line);
    std::string name, hex;
    if (!(ls >> name >> hex)) continue;
    if (kExcluded.count(name)) continue;
    ASSERT_EQ(hex.size(), 64u) << name;
    softplc::Cpu cpu;
    softplc::LoadResult r = cpu.LoadFile((dir / (name + ".awl")).string());
    ASSERT_TRUE(r.ok) << name << ": " << (r.errors.empty() ? "" : r.errors[0].text) << " line "
                      << (r.errors.empty() ? 0 : r.errors[0].line);
    cpu.SetMode(softplc::CpuMode::Run);
    cpu.RunCycle(0);
    ASSERT_EQ(cpu.Mode(), softplc::CpuMode::Run) << name;
    std::ostringstream got;
    for (int i = 0; i < 32; ++i) {
      static const char* kHex = "0123456789ABCDEF";
      got << kHex[cpu.MemoryByte(i) >> 4] << kHex[cpu.MemoryByte(i) & 15];
    }
    ++checked;
    if (got.str() != hex) {
      ++failed;
      ADD_FAILURE() << name << "\n expected " << hex << "\n got      " << got.str();
    }
  }
  EXPECT_EQ(checked + static_cast<int>(kExcluded.size()), 300);
  EXPECT_EQ(failed, 0);
}

// Random chains of 1 to 8 checks ending in = S R, with forward jumps to the start and into the
// middle of chains, so that fused runs, runs too long to fuse and jump targets all occur.
std::string RandomChains() {
  std::mt19937 rng(17);
  static const char* kChecks[] = {"U", "UN", "O", "ON", "X", "XN"};
  static const char* kClose[] = {"=", "S", "R"};
  auto bit = [&] {
    return std::string(rng() % 3 == 0 ? "E " : "M ") + std::to_string(rng() % 8) + "." +
           std::to_string(rng() % 8);
  };
  std::ostringstream s;
  int labels = 0;
  for (int chain = 0; chain < 400; ++chain) {
    const unsigned checks = 1 + rng() % 8;
    for (unsigned k = 0; k < checks; ++k) {
      if (chain > 0 && rng() % 10 == 0) s << "J" << labels++ << ": ";
      s << kChecks[rng() % 6] << " " << bit() << "\n";
    }
    s << kClose[rng() % 3] << " M " << 8 + rng() % 4 << "." << rng() % 8 << "\n";
    if (rng() % 6 == 0) s << "U " << bit() << "\nSPB J" << labels + static_cast<int>(rng() % 3) << "\n";
  }
  // the targets of the last jumps
  for (int k = 0; k < 3; ++k) s << "J" << labels++ << ": NOP 0\n";
  return s.str();
}

// A slot per instruction, as the program status keeps them.
struct Slots : softplc::StatusObserver {
  std::vector<softplc::StatusSlot> slots;
  void Size(size_t n) {
    slots.assign(n, softplc::StatusSlot{});
    statusSlots = slots.data();
    statusSlotCount = n;
  }
  void OnStatement(const softplc::StatusRecord&) override {}
};

// Chains of bit logic and pairs of loads run fused, in one step each, and record each of their
// lines when watched; the reference interpreter runs every instruction on its own. Both must
// leave the same memory, outputs, accumulators and status word, scan after scan, count the same
// instructions and, watched, record the same status for every line.
TEST(ReferencePrograms, FusedCodeMatchesTheReferenceInterpreter) {
  std::vector<std::pair<std::string, std::string>> programs = {{"random chains", RandomChains()}};
  for (const fs::path& dir : {ReferenceDir(), fs::path(TORVANE_SOURCE_DIR) / "fuzz" / "corpus"})
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      if (e.path().extension() != ".awl") continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      programs.emplace_back(e.path().filename().string(), text.str());
    }
  int compared = 0;
  for (const auto& [name, text] : programs) {
    Slots fastSlots, plainSlots;  // outlive the CPUs that write them
    softplc::Cpu fast, plain;
    plain.SetReferenceInterpreter(true);
    const bool loaded = fast.Load({{"p.awl", text}}).ok;
    ASSERT_EQ(plain.Load({{"p.awl", text}}).ok, loaded) << name;
    if (!loaded) continue;
    ++compared;
    std::mt19937 rng(5);
    for (softplc::Cpu* cpu : {&fast, &plain}) {
      cpu->SetInstructionBudget(200000);  // a corpus program may loop for ever
      cpu->SetMode(softplc::CpuMode::Run);
    }
    fastSlots.Size(fast.Info().instructions);
    plainSlots.Size(plain.Info().instructions);
    for (int cycle = 0; cycle < 4; ++cycle) {
      if (cycle == 2) {  // the last two scans watched
        fast.SetStatusObserver(&fastSlots);
        plain.SetStatusObserver(&plainSlots);
      }
      ++fastSlots.statusScan;
      ++plainSlots.statusScan;
      for (int i = 0; i < 8; ++i) {
        const auto v = static_cast<uint8_t>(rng());
        fast.SetInputByte(i, v);
        plain.SetInputByte(i, v);
      }
      fast.RunCycle(10);
      plain.RunCycle(10);
      ASSERT_EQ(fast.Mode(), plain.Mode()) << name << " cycle " << cycle;
      ASSERT_EQ(fast.LastCycleInstructions(), plain.LastCycleInstructions()) << name;
      ASSERT_EQ(fast.StatusWord(), plain.StatusWord()) << name << " cycle " << cycle;
      ASSERT_EQ(fast.Accu1(), plain.Accu1()) << name;
      ASSERT_EQ(fast.Accu2(), plain.Accu2()) << name;
      for (int i = 0; i < softplc::Cpu::kMemoryBytes; ++i)
        ASSERT_EQ(fast.MemoryByte(i), plain.MemoryByte(i)) << name << " MB " << i << " cycle " << cycle;
      for (int i = 0; i < 64; ++i) ASSERT_EQ(fast.OutputByte(i), plain.OutputByte(i)) << name << " AB " << i;
      for (size_t i = 0; i < fastSlots.slots.size(); ++i) {
        const softplc::StatusSlot &f = fastSlots.slots[i], &r = plainSlots.slots[i];
        ASSERT_TRUE(f.scan == r.scan && f.caller == r.caller && f.accu1 == r.accu1 &&
                    f.accu2 == r.accu2 && f.operand == r.operand && f.statusWord == r.statusWord &&
                    f.instanceDb == r.instanceDb && f.hasOperand == r.hasOperand)
            << name << " instruction " << i << " cycle " << cycle << ": status word " << f.statusWord
            << " against " << r.statusWord << ", ACCU 1 " << f.accu1 << " against " << r.accu1;
      }
    }
  }
  EXPECT_GE(compared, 400);
}

}  // namespace
