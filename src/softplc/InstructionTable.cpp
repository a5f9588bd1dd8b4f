#include "softplc/InstructionTable.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace softplc {

const std::vector<InstructionDef>& InstructionTable() {
  static const std::vector<InstructionDef> table = {
#define SOFTPLC_ROW(op, de, en, kind, limit) \
  {Opcode::op, de, en, OperandKind::kind, limit},
      SOFTPLC_INSTRUCTIONS(SOFTPLC_ROW)
#undef SOFTPLC_ROW
  };
  return table;
}

namespace {

struct Index {
  std::unordered_map<std::string_view, std::vector<const InstructionDef*>> byName[2];
  std::vector<std::string_view> names[2];

  Index() {
    for (const InstructionDef& d : InstructionTable()) {
      for (int l = 0; l < 2; ++l) {
        std::string_view name = l == 0 ? d.german : d.english;
        if (name.empty()) continue;
        auto& rows = byName[l][name];
        if (rows.empty()) names[l].push_back(name);
        rows.push_back(&d);
      }
    }
  }
};

const Index& TheIndex() {
  static const Index index;
  return index;
}

// Both words are at most 16 characters (longer input is never compared).
size_t EditDistance(std::string_view a, std::string_view b) {
  std::array<size_t, 18> prev{}, cur{};
  for (size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t sub = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, sub});
    }
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

}  // namespace

const std::vector<const InstructionDef*>& FindMnemonic(Lang lang, std::string_view m) {
  static const std::vector<const InstructionDef*> none;
  const auto& map = TheIndex().byName[lang == Lang::German ? 0 : 1];
  auto it = map.find(m);
  return it == map.end() ? none : it->second;
}

bool IsMnemonic(Lang lang, std::string_view m) { return !FindMnemonic(lang, m).empty(); }

std::string_view ClosestMnemonic(Lang lang, std::string_view m) {
  if (m.size() > 16) return {};
  std::string_view best;
  // Farther than this is no longer a helpful suggestion: one edit for short words, two else.
  size_t bestDist = m.size() <= 3 ? 2 : 3;
  for (std::string_view name : TheIndex().names[lang == Lang::German ? 0 : 1]) {
    size_t d = EditDistance(m, name);
    if (d < bestDist) {
      bestDist = d;
      best = name;
    }
  }
  return best;
}

std::string_view MnemonicOf(Opcode op, Lang lang) {
  const InstructionDef& d = InstructionTable()[static_cast<size_t>(op)];
  return lang == Lang::German ? d.german : d.english;
}

}  // namespace softplc
