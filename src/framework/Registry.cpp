#include "framework/Registry.h"

namespace {
std::vector<TComponentClass>& Palette() {
  static std::vector<TComponentClass> palette;
  return palette;
}
}  // namespace

void RegisterComponent(std::string_view page, std::string_view className,
                       TComponentFactory create) {
  for (TComponentClass& c : Palette()) {
    if (c.ClassName == className) {
      c = {page, className, create};
      return;
    }
  }
  Palette().push_back({page, className, create});
}

const std::vector<TComponentClass>& RegisteredComponents() { return Palette(); }
