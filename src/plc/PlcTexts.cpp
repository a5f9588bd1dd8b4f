#include "plc/PlcTexts.h"

#include <atomic>
#include <vector>

#include "softplc/Text.h"

namespace {
std::atomic<TTextTranslator> gTranslator{nullptr};
}

void SetTextTranslator(TTextTranslator translator) { gTranslator.store(translator); }

std::string PlcText(const char* context, const char* source,
                    std::initializer_list<std::string_view> args) {
  const TTextTranslator t = gTranslator.load();
  const std::string text = t != nullptr ? t(context, source) : std::string(source);
  // the same one-pass filling as the CPU's own messages
  return softplc::Fill(text, std::vector<std::string>(args.begin(), args.end()));
}
