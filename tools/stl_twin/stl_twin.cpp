// stl_twin: translates a straight-line STL program (German mnemonics, no jumps, no blocks) into
// a C++ function with the same effect on the same memory, so the embedded CPU can be timed
// against native code doing the same work. The function keeps the CPU's bit-logic state (/FC,
// RLO, OR) and its two accumulators in locals and lets the C++ compiler fold what it can between
// two writes to memory; every write is made, in order, so that the compiler cannot drop the
// work of a line whose result a later line overwrites.
//
//   stl_twin PROGRAM.awl FUNCTION_NAME > twin.cpp
//
// The function is `void FUNCTION_NAME(uint8_t* e, uint8_t* a, uint8_t* m)`: input image, output
// image and bit memory, byte 0 first, words big-endian as on the CPU.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Line {
  std::string op, operand;
};

Line Split(const std::string& raw) {
  std::string text = raw.substr(0, raw.find("//"));
  std::istringstream in(text);
  Line l;
  in >> l.op;
  std::getline(in, l.operand);
  const auto first = l.operand.find_first_not_of(" \t");
  l.operand = first == std::string::npos ? std::string() : l.operand.substr(first);
  while (!l.operand.empty() && std::isspace(static_cast<unsigned char>(l.operand.back())))
    l.operand.pop_back();
  return l;
}

// "E 12.3" -> ("e", 12, 3); false when the operand is not a bit of E, A or M.
bool ParseBit(const std::string& operand, std::string& area, unsigned& byte, unsigned& bit) {
  char a = 0;
  if (std::sscanf(operand.c_str(), "%c %u.%u", &a, &byte, &bit) != 3 || bit > 7) return false;
  if (a != 'E' && a != 'A' && a != 'M') return false;
  area = a == 'E' ? "e" : a == 'A' ? "a" : "m";
  return true;
}

bool ParseMarkerWord(const std::string& operand, unsigned& byte) {
  char tail = 0;
  return std::sscanf(operand.c_str(), "MW %u%c", &byte, &tail) == 1;
}

bool ParseNumber(const std::string& text, long& value) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%ld%c", &value, &tail) == 1;
}

std::string Read(const std::string& area, unsigned byte, unsigned bit) {
  return "((" + area + "[" + std::to_string(byte) + "] >> " + std::to_string(bit) + ") & 1u)";
}

// One statement of C++ for one STL line; empty with `error` set when it is not translatable.
std::string Translate(const Line& l, std::string& error) {
  static const char* const kLogic[] = {"U", "UN", "O", "ON", "X", "XN"};
  for (int i = 0; i < 6; ++i) {
    if (l.op != kLogic[i]) continue;
    std::string area;
    unsigned byte = 0, bit = 0;
    if (!ParseBit(l.operand, area, byte, bit)) break;
    const std::string v = "(" + Read(area, byte, bit) + (i & 1 ? " ^ 1u)" : ")");
    switch (i >> 1) {
      case 0: return "rlo = ((rlo | (fc ^ 1u)) & " + v + ") | orb; fc = 1;";
      case 1: return "rlo = (rlo & fc) | " + v + " | orb; orb = 0; fc = 1;";
      default: return "rlo = fc ? (rlo ^ " + v + ") : (" + v + " | orb); orb = 0; fc = 1;";
    }
  }
  if (l.op == "=" || l.op == "S" || l.op == "R") {
    std::string area;
    unsigned byte = 0, bit = 0;
    if (ParseBit(l.operand, area, byte, bit)) {
      const std::string cell = area + "[" + std::to_string(byte) + "]";
      const std::string shift = std::to_string(bit);
      std::string write;
      if (l.op == "=")
        write = cell + " = static_cast<uint8_t>((" + cell + " & ~(1u << " + shift + ")) | (rlo << " +
                shift + "));";
      else if (l.op == "S")
        write = cell + " = static_cast<uint8_t>(" + cell + " | (rlo << " + shift + "));";
      else
        write = cell + " = static_cast<uint8_t>(" + cell + " & ~(rlo << " + shift + "));";
      return write + " fc = 0; orb = 0; Written();";
    }
  }
  unsigned byte = 0;
  long k = 0;
  if (l.op == "L" && ParseMarkerWord(l.operand, byte))
    return "a2 = a1; a1 = Rd16(m + " + std::to_string(byte) + ");";
  if (l.op == "L" && ParseNumber(l.operand, k) && k >= -32768 && k <= 32767)
    return "a2 = a1; a1 = " + std::to_string(static_cast<uint32_t>(k) & 0xFFFFu) + "u;";
  if (l.op == "T" && ParseMarkerWord(l.operand, byte))
    return "Wr16(m + " + std::to_string(byte) + ", a1); Written();";
  const std::string lo = "(a1 & 0xFFFF0000u) | ";
  if (l.op == "+I") return "a1 = " + lo + "(static_cast<uint32_t>(S16(a2) + S16(a1)) & 0xFFFFu);";
  if (l.op == "-I") return "a1 = " + lo + "(static_cast<uint32_t>(S16(a2) - S16(a1)) & 0xFFFFu);";
  if (l.op == "*I") return "a1 = static_cast<uint32_t>(S16(a2) * S16(a1));";
  if (l.op == "+D") return "a1 = a2 + a1;";
  if (l.op == "-D") return "a1 = a2 - a1;";
  if (l.op == "UW") return "a1 = " + lo + "(a1 & a2 & 0xFFFFu);";
  if (l.op == "OW") return "a1 = " + lo + "((a1 | a2) & 0xFFFFu);";
  if (l.op == "XOW") return "a1 = " + lo + "((a1 ^ a2) & 0xFFFFu);";
  if (l.op == "UD") return "a1 &= a2;";
  if (l.op == "OD") return "a1 |= a2;";
  if (l.op == "INVI") return "a1 ^= 0xFFFFu;";
  if (l.op == "NEGI") return "a1 = " + lo + "(static_cast<uint32_t>(0 - S16(a1)) & 0xFFFFu);";
  if (l.op == "ITD") return "a1 = static_cast<uint32_t>(S16(a1));";
  if (l.op == "TAK") return "{ const uint32_t t = a1; a1 = a2; a2 = t; }";
  if ((l.op == "INC" || l.op == "DEC") && ParseNumber(l.operand, k) && k >= 0 && k <= 255) {
    const long add = l.op == "INC" ? k : 256 - k;
    return "a1 = (a1 & 0xFFFFFF00u) | ((a1 + " + std::to_string(add) + "u) & 0xFFu);";
  }
  if (l.op == "+" && ParseNumber(l.operand, k) && k >= -32768 && k <= 32767)
    return "a1 = " + lo + "((a1 + " + std::to_string(static_cast<uint32_t>(k) & 0xFFFFu) +
           "u) & 0xFFFFu);";
  if ((l.op == "SLW" || l.op == "SRW") && ParseNumber(l.operand, k) && k >= 0 && k <= 15)
    return "a1 = " + lo + "(((a1 & 0xFFFFu) " + (l.op == "SLW" ? "<<" : ">>") + " " +
           std::to_string(k) + ") & 0xFFFFu);";
  if (l.op == "RLD" && ParseNumber(l.operand, k) && k >= 0 && k <= 255)
    return k % 32 == 0 ? ";" : "a1 = (a1 << " + std::to_string(k % 32) + ") | (a1 >> " +
                                   std::to_string(32 - k % 32) + ");";
  error = "'" + l.op + (l.operand.empty() ? "" : " " + l.operand) +
          "' is outside the straight-line subset this tool translates";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: stl_twin PROGRAM.awl FUNCTION_NAME > twin.cpp\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 2;
  }
  std::ostringstream body;
  std::string raw;
  int number = 0, errors = 0;
  while (std::getline(in, raw)) {
    ++number;
    const Line l = Split(raw);
    if (l.op.empty()) continue;
    std::string error;
    const std::string statement = Translate(l, error);
    if (!error.empty()) {
      std::cerr << argv[1] << ":" << number << ": " << error << "\n";
      if (++errors == 20) break;
      continue;
    }
    body << "  " << statement << "\n";
  }
  if (errors > 0) return 1;
  std::cout << "// Made by tools/stl_twin from " << argv[1] << "; do not edit.\n"
            << "#include <cstdint>\n\nnamespace {\n"
            << "inline uint32_t Rd16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }\n"
            << "inline void Wr16(uint8_t* p, uint32_t v) {\n"
            << "  p[0] = static_cast<uint8_t>(v >> 8);\n  p[1] = static_cast<uint8_t>(v);\n}\n"
            << "inline int32_t S16(uint32_t v) { return static_cast<int16_t>(v & 0xFFFFu); }\n"
            << "// Every write reaches memory in program order, as on the CPU; only what stays in\n"
            << "// registers between two writes is left to the compiler.\n"
            << "inline void Written() { __asm__ __volatile__(\"\" ::: \"memory\"); }\n"
            << "}  // namespace\n\n"
            << "void " << argv[2] << "(uint8_t* e, uint8_t* a, uint8_t* m) {\n"
            << "  (void)e; (void)a; (void)m;\n"
            << "  uint32_t fc = 0, rlo = 0, orb = 0, a1 = 0, a2 = 0;\n"
            << "  (void)fc; (void)rlo; (void)orb; (void)a1; (void)a2;\n"
            << body.str() << "}\n";
  return 0;
}
