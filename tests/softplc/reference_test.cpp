// Runs the reference programs kept beside this test and compares MB0..MB31 with the recorded results.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

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

}  // namespace
