#pragma once
// A value-change-dump writer for plant traces: declare the signals, then sample them on plant
// time; only changes are written, so a long quiet run stays small. The output opens in GTKWave.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace scenario {

class VcdWriter {
 public:
  // Declares a signal before Start. The name is made safe for VCD (letters, digits, '_').
  int AddSignal(const std::string& name, int width);
  // Writes the header and the initial values, at plant time `timeMs` (milliseconds).
  void Start(std::ostream& out, std::uint64_t timeMs);
  // Sets the present value of a signal; written at the next Sample if it changed.
  void Set(int id, std::uint64_t value);
  // Writes every value that changed since the last sample, stamped with `timeMs`.
  void Sample(std::uint64_t timeMs);

  static std::string SafeName(const std::string& name);

 private:
  struct Signal {
    std::string name;
    std::string code;
    int width;
    std::uint64_t value = 0;
    std::uint64_t written = 0;
  };
  void WriteValue(const Signal& s);

  std::vector<Signal> FSignals;
  std::ostream* FOut = nullptr;
};

}  // namespace scenario
