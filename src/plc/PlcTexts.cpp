#include "plc/PlcTexts.h"

#include <atomic>

namespace {
std::atomic<TTextTranslator> gTranslator{nullptr};
}

void SetTextTranslator(TTextTranslator translator) { gTranslator.store(translator); }

std::string PlcText(const char* context, const char* source,
                    std::initializer_list<std::string_view> args) {
  const TTextTranslator t = gTranslator.load();
  const std::string text = t != nullptr ? t(context, source) : std::string(source);
  std::string out;
  out.reserve(text.size() + 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) {
        out += *(args.begin() + n);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}
