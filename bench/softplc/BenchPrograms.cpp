#include "BenchPrograms.h"

#include <random>
#include <sstream>

namespace bench {

// 10,000 bit-logic statements: chains of U/UN/O/ON/X/XN ended by =, S or R.
std::string BitProgram(int count) {
  std::mt19937 rng(42);
  static const char* kOps[] = {"U", "UN", "O", "ON", "X", "XN"};
  static const char* kEnds[] = {"=", "S", "R"};
  std::ostringstream s;
  int emitted = 0;
  while (emitted < count) {
    int chain = 2 + static_cast<int>(rng() % 5);
    for (int i = 0; i < chain && emitted < count; ++i, ++emitted) {
      char area = "EMA"[rng() % 3];
      s << "      " << kOps[rng() % 6] << "     " << area << " " << rng() % 64 << "." << rng() % 8
        << "\n";
    }
    if (emitted < count) {
      s << "      " << kEnds[rng() % 3] << "     M " << 64 + rng() % 64 << "." << rng() % 8 << "\n";
      ++emitted;
    }
  }
  return s.str();
}

// 10,000 word and integer statements: loads, transfers, arithmetic, word logic, shifts.
std::string WordProgram(int count) {
  std::mt19937 rng(7);
  std::ostringstream s;
  int emitted = 0;
  auto line = [&](const std::string& text) {
    s << "      " << text << "\n";
    ++emitted;
  };
  static const char* kBinary[] = {"+I", "-I", "*I", "UW", "OW", "XOW", "+D", "-D", "UD", "OD"};
  static const char* kUnary[] = {"INC   1", "DEC   3", "SLW   2", "SRW   1", "INVI", "NEGI",
                                 "TAK", "+     5", "RLD   3", "ITD"};
  while (emitted < count) {
    line("L     MW " + std::to_string(2 * (rng() % 100)));
    line(rng() % 2 ? "L     " + std::to_string(rng() % 1000) : "L     MW " + std::to_string(2 * (rng() % 100)));
    line(kBinary[rng() % 10]);
    line(kUnary[rng() % 10]);
    line("T     MW " + std::to_string(200 + 2 * (rng() % 100)));
  }
  return s.str();
}

}  // namespace bench
