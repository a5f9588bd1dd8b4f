#pragma once
// The component palette: every component unit registers its class here under a page name, with
// a factory, so the gallery and tests can create every registered class.
#include <string_view>
#include <vector>

class TComponent;

using TComponentFactory = TComponent* (*)(TComponent* owner);

struct TComponentClass {
  std::string_view Page;
  std::string_view ClassName;
  TComponentFactory Create;
};

// Adds a class to a page; registering the same class name again replaces the entry.
void RegisterComponent(std::string_view page, std::string_view className,
                       TComponentFactory create);
const std::vector<TComponentClass>& RegisteredComponents();

template <class T>
void RegisterComponentClass(std::string_view page, std::string_view className) {
  RegisterComponent(page, className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
