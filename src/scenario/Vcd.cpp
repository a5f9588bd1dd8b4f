#include "scenario/Vcd.h"

#include <cctype>
#include <ostream>

namespace scenario {

namespace {

// Short identifier codes from the printable range '!'..'~', as the format allows.
std::string Code(std::size_t index) {
  std::string code;
  do {
    code.push_back(static_cast<char>('!' + index % 94));
    index /= 94;
  } while (index > 0);
  return code;
}

}  // namespace

std::string VcdWriter::SafeName(const std::string& name) {
  std::string out;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    out.push_back(std::isalnum(u) != 0 || c == '_' ? c : '_');
  }
  return out.empty() ? std::string("_") : out;
}

int VcdWriter::AddSignal(const std::string& name, int width) {
  Signal s;
  s.name = SafeName(name);
  s.code = Code(FSignals.size());
  s.width = width < 1 ? 1 : (width > 64 ? 64 : width);
  FSignals.push_back(s);
  return static_cast<int>(FSignals.size()) - 1;
}

void VcdWriter::Set(int id, std::uint64_t value) {
  if (id < 0 || static_cast<std::size_t>(id) >= FSignals.size()) return;
  Signal& s = FSignals[static_cast<std::size_t>(id)];
  if (s.width < 64) value &= (std::uint64_t{1} << s.width) - 1;
  s.value = value;
}

void VcdWriter::WriteValue(const Signal& s) {
  if (s.width == 1) {
    *FOut << (s.value != 0 ? '1' : '0') << s.code << '\n';
    return;
  }
  *FOut << 'b';
  bool started = false;
  for (int bit = s.width - 1; bit >= 0; --bit) {
    const bool one = ((s.value >> bit) & 1u) != 0;
    if (one) started = true;
    if (started || bit == 0) *FOut << (one ? '1' : '0');
  }
  *FOut << ' ' << s.code << '\n';
}

void VcdWriter::Start(std::ostream& out, std::uint64_t timeMs) {
  FOut = &out;
  out << "$version Torvane plant trace $end\n$timescale 1 ms $end\n$scope module plant $end\n";
  for (const Signal& s : FSignals)
    out << "$var wire " << s.width << ' ' << s.code << ' ' << s.name << " $end\n";
  out << "$upscope $end\n$enddefinitions $end\n#" << timeMs << "\n$dumpvars\n";
  for (Signal& s : FSignals) {
    WriteValue(s);
    s.written = s.value;
  }
  out << "$end\n";
}

void VcdWriter::Sample(std::uint64_t timeMs) {
  if (FOut == nullptr) return;
  bool stamped = false;
  for (Signal& s : FSignals) {
    if (s.value == s.written) continue;
    if (!stamped) {
      *FOut << '#' << timeMs << '\n';
      stamped = true;
    }
    WriteValue(s);
    s.written = s.value;
  }
}

}  // namespace scenario
