// Replays every file of a corpus folder through the fuzz entry, so that the corpus runs as an
// ordinary test with the normal compiler. A missing or empty folder is a failure.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  if (!fs::is_directory(argv[1])) {
    std::fprintf(stderr, "corpus folder %s is missing\n", argv[1]);
    return 1;
  }
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(argv[1])) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
  }
  std::printf("replayed %zu corpus files\n", count);
  return count > 0 ? 0 : 1;
}
