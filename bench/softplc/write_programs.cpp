// Writes the benchmark programs as source files, for tools/stl_twin to translate.
#include <fstream>
#include <iostream>
#include <string>

#include "BenchPrograms.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: write_programs BIT.awl WORD.awl\n";
    return 2;
  }
  const std::string texts[2] = {bench::BitProgram(10000), bench::WordProgram(10000)};
  for (int i = 0; i < 2; ++i) {
    std::ofstream out(argv[i + 1], std::ios::binary | std::ios::trunc);
    out << texts[i];
    out.close();
    if (!out) {
      std::cerr << argv[i + 1] << ": cannot be written\n";
      return 1;
    }
  }
  return 0;
}
