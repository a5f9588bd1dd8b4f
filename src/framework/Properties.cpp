#include "framework/Properties.h"

#include "framework/Component.h"

#include <algorithm>
#include <climits>

TPropList PublishedProperties(const TObject* object) {
  TPropList list;
  if (object != nullptr) object->GetProperties(list);
  return list;
}

const TPropInfo* FindProperty(const TPropList& list, std::string_view name) {
  for (const TPropInfo& p : list)
    if (p.Name == name) return &p;
  return nullptr;
}

void PublishProperty(TPropList& list, const TPropInfo& property) {
  for (TPropInfo& p : list) {
    if (p.Name == property.Name) {
      p = property;
      return;
    }
  }
  list.push_back(property);
}

int ClampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

namespace {

// Brings a stored value to the type the property takes, or reports that it cannot.
bool Coerce(const TPropInfo& info, const TPropValue& in, TPropValue& out) {
  switch (info.Type) {
    case TPropType::Bool:
      if (std::holds_alternative<bool>(in)) { out = in; return true; }
      return false;
    case TPropType::Int:
    case TPropType::Color:
      if (std::holds_alternative<long long>(in)) { out = in; return true; }
      return false;
    case TPropType::Float:
      if (std::holds_alternative<double>(in)) { out = in; return true; }
      if (std::holds_alternative<long long>(in)) {
        out = static_cast<double>(std::get<long long>(in));
        return true;
      }
      return false;
    case TPropType::String:
      if (std::holds_alternative<std::string>(in)) { out = in; return true; }
      return false;
    case TPropType::Enum:
      if (std::holds_alternative<long long>(in)) {
        // A number outside the named values would become an enumerator that does not exist.
        const long long n = std::get<long long>(in);
        if (!info.EnumNames.empty() &&
            (n < 0 || n >= static_cast<long long>(info.EnumNames.size())))
          return false;
        out = in;
        return true;
      }
      if (std::holds_alternative<std::string>(in)) {
        const auto& text = std::get<std::string>(in);
        for (std::size_t i = 0; i < info.EnumNames.size(); ++i) {
          if (info.EnumNames[i] == text) {
            out = static_cast<long long>(i);
            return true;
          }
        }
      }
      return false;
  }
  return false;
}

}  // namespace

std::vector<std::string> ApplyProperties(TObject* object,
                                         const std::vector<TPropAssignment>& values) {
  std::vector<std::string> rejected;
  const TPropList list = PublishedProperties(object);
  for (const auto& [name, value] : values)
    if (FindProperty(list, name) == nullptr) rejected.push_back(name);
  // Links to other components go last: a writer that reads a linked timer's interval must see
  // every number the layout gives first, and a link is only made to something that exists.
  for (const bool references : {false, true})
    for (const TPropInfo& info : list) {
      if (info.Reference != references) continue;
      for (const auto& [name, value] : values) {
        if (name != info.Name) continue;
        TPropValue coerced;
        if (!Coerce(info, value, coerced)) {
          rejected.push_back(name);
          continue;
        }
        info.Set(object, coerced);
        const auto* wanted = std::get_if<std::string>(&coerced);
        if (references && wanted != nullptr && !wanted->empty() && info.Get(object) != coerced)
          rejected.push_back(name + ": nothing named '" + *wanted + "'");
      }
    }
  return rejected;
}
