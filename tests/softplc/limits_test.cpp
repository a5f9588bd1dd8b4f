// Generated sources at the compiler's limits: nesting beyond them is refused at its place, a
// long chain of calls loads, and array bounds at the ends of the integer range do not wrap.
#include <gtest/gtest.h>

#include <functional>
#include <algorithm>
#include <string>
#include <string_view>

#include "softplc/SoftPlc.h"

namespace {

using softplc::Cpu;

const std::string kOb1 = "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      NOP   0\nEND_ORGANIZATION_BLOCK\n";

std::string Repeat(int n, const std::function<std::string(int)>& part) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += part(i);
  return s;
}

std::string NestedStructs(int n) {
  return "DATA_BLOCK DB 1\nSTRUCT\n" + Repeat(n, [](int i) { return "a" + std::to_string(i) + " : STRUCT\n"; }) +
         "x : INT;\n" + Repeat(n, [](int) { return std::string("END_STRUCT;\n"); }) +
         "END_STRUCT;\nBEGIN\nEND_DATA_BLOCK\n" + kOb1;
}

// UDT n holds UDT n-1; written outermost first, so each one is resolved inside the next.
std::string ChainedUdts(int n) {
  return Repeat(n - 1, [n](int i) {
           return "TYPE UDT " + std::to_string(n + 1 - i) + "\nSTRUCT\n x : UDT " + std::to_string(n - i) +
                  ";\nEND_STRUCT;\nEND_TYPE\n";
         }) +
         "TYPE UDT 1\nSTRUCT\n x : INT;\nEND_STRUCT;\nEND_TYPE\nDATA_BLOCK DB 1\nSTRUCT\n v : UDT " +
         std::to_string(n) + ";\nEND_STRUCT;\nBEGIN\nEND_DATA_BLOCK\n" + kOb1;
}

std::string NestedInstances(int n) {
  return Repeat(n - 1, [n](int i) {
           return "FUNCTION_BLOCK FB " + std::to_string(n + 1 - i) + "\nVAR\n x : FB " + std::to_string(n - i) +
                  ";\nEND_VAR\nBEGIN\nNETWORK\n      CALL  #x\nEND_FUNCTION_BLOCK\n";
         }) +
         "FUNCTION_BLOCK FB 1\nVAR\n x : INT;\nEND_VAR\nBEGIN\nNETWORK\n      NOP   0\nEND_FUNCTION_BLOCK\n"
         "DATA_BLOCK DB 1\nFB " + std::to_string(n) + "\nBEGIN\nEND_DATA_BLOCK\n"
         "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      CALL  FB " + std::to_string(n) + ", DB 1\nEND_ORGANIZATION_BLOCK\n";
}

std::string ChainedCalls(int n) {
  return "FUNCTION FC 1 : VOID\nBEGIN\nNETWORK\n      NOP   0\nEND_FUNCTION\n" +
         Repeat(n - 1, [](int i) {
           return "FUNCTION FC " + std::to_string(i + 1) + " : VOID\nBEGIN\nNETWORK\n      CALL  FC " +
                  std::to_string(i) + "\nEND_FUNCTION\n";
         }) +
         "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      CALL  FC " + std::to_string(n) + "\nEND_ORGANIZATION_BLOCK\n";
}

const std::string kHugeBounds = "ARRAY [-2147483648..2147483647] OF BYTE;\n";

TEST(CompilerLimits, DeepNestingIsRefusedAtItsPlaceAndWideArraysDoNotWrap) {
  struct Case {
    const char* name;
    std::string source;
    const char* at;  // what the first error's line holds at or before its column (one of
                     // several split by '|'); null when the program loads
    const char* says;
  };
  const char* depth = "nest more than 64 levels deep";
  const char* wide = "at most 65536 elements";
  const Case cases[] = {
      {"60 nested STRUCTs", NestedStructs(60), nullptr, ""},
      {"5000 nested STRUCTs", NestedStructs(5000), "STRUCT", depth},
      {"4000 chained UDTs", ChainedUdts(4000), "UDT |STRUCT", depth},
      {"3000 nested FB instances", NestedInstances(3000), "FB ", depth},
      {"50000 chained FC calls", ChainedCalls(50000), nullptr, ""},
      {"an array in a DB", "DATA_BLOCK DB 1\nSTRUCT\n a : " + kHugeBounds + "END_STRUCT;\nBEGIN\nEND_DATA_BLOCK\n" + kOb1,
       "-2147483648", wide},
      {"an array among FB statics",
       "FUNCTION_BLOCK FB 1\nVAR\n a : " + kHugeBounds + "END_VAR\nBEGIN\nNETWORK\n      L     #a[5]\nEND_FUNCTION_BLOCK\n" + kOb1,
       "-2147483648", wide},
      {"an array among FC temporaries",
       "FUNCTION FC 1 : VOID\nVAR_TEMP\n a : " + kHugeBounds + "END_VAR\nBEGIN\nNETWORK\n      L     #a[5]\nEND_FUNCTION\n" + kOb1,
       "-2147483648", wide},
  };
  for (const Case& c : cases) {
    Cpu cpu;
    const softplc::LoadResult r = cpu.Load({{"deep.awl", c.source}});
    if (c.at == nullptr) {
      EXPECT_TRUE(r.ok) << c.name << ": " << (r.errors.empty() ? "" : r.errors[0].text);
      continue;
    }
    ASSERT_FALSE(r.errors.empty()) << c.name;
    const softplc::Message& e = r.errors[0];
    std::size_t start = 0;
    for (int l = 1; l < e.line && start != std::string::npos; ++l) start = c.source.find('\n', start) + 1;
    ASSERT_GE(e.column, 1) << c.name;
    // The place is on the declaration that goes too far, at or just after its keyword.
    const std::string line = c.source.substr(start, c.source.find('\n', start) - start);
    bool placed = false;
    for (std::string_view at(c.at); !at.empty();) {
      const std::string word(at.substr(0, at.find('|')));
      placed = placed || line.rfind(word, static_cast<std::size_t>(e.column) - 1) != std::string::npos;
      at.remove_prefix(std::min(at.size(), word.size() + 1));
    }
    EXPECT_TRUE(placed) << c.name << ": " << e.line << ":" << e.column << " " << e.text << " on '" << line << "'";
    EXPECT_NE(r.errors[0].text.find(c.says), std::string::npos) << c.name << ": " << r.errors[0].text;
  }
}

}  // namespace
