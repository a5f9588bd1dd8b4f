// Fuzz entry for the scenario reader: any text is parsed or refused with placed, capped and
// printable messages, and what parses holds only steps with sane values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "scenario/Scenario.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4 * 1024 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t lines = 1;
  for (char c : text) lines += c == '\n';
  std::vector<scenario::Error> errors;
  const scenario::Script script = scenario::Parse(text, "fuzz.scn", errors);
  Check(errors.size() <= scenario::kMaxErrors + 1);
  for (const scenario::Error& e : errors) {
    Check(e.where.line >= 1 && static_cast<size_t>(e.where.line) <= lines);
    Check(e.where.column >= 1);
    // Nothing the file holds reaches a terminal raw.
    for (char c : e.Text()) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  }
  for (const scenario::Step& s : script.steps) {
    Check(s.durationMs <= scenario::kMaxDurationMs);
    Check(s.where.line >= 1 && static_cast<size_t>(s.where.line) <= lines);
  }
  return 0;
}
