#pragma once
// Published properties: each class lists its properties once, in published order, with a
// reader, a writer and a default. Stored layouts, the component gallery and tests go through
// these tables, so a layout applies values in exactly the order the class publishes them
// (which matters: a later property may override what an earlier one stored).
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

class TObject;

enum class TPropType { Bool, Int, Float, String, Color, Enum };

using TPropValue = std::variant<bool, long long, double, std::string>;

struct TPropInfo {
  std::string_view Name;
  TPropType Type;
  TPropValue (*Get)(const TObject*);
  void (*Set)(TObject*, const TPropValue&);
  TPropValue Default;
  // For Enum properties: the identifiers of the values 0, 1, 2 ... ("pbtIdeal", ...).
  std::span<const std::string_view> EnumNames = {};
  // A String property that names another component (a timer, a lamp). A layout applies these
  // after every other property, and reports a name that the property does not take.
  bool Reference = false;
};

using TPropList = std::vector<TPropInfo>;

// All published properties of an object, base classes first.
TPropList PublishedProperties(const TObject* object);
const TPropInfo* FindProperty(const TPropList& list, std::string_view name);

// Adds a property to a list being built; one the list already holds (a redeclared inherited
// property) keeps its inherited place, so a layout still applies it in the inherited order.
void PublishProperty(TPropList& list, const TPropInfo& property);

// A stored integer brought to an int property's range without overflow.
int ClampToInt(long long value);

// A stored layout entry: property name and value. Values for an Enum property may be given as
// an integer or as the identifier text.
using TPropAssignment = std::pair<std::string, TPropValue>;

// Applies the assignments in published order (not in the order given), references last. Returns
// the names that the object does not publish, or whose value has the wrong type (those are
// skipped), and "Name: nothing named 'X'" for a reference that found nothing to link.
std::vector<std::string> ApplyProperties(TObject* object,
                                         const std::vector<TPropAssignment>& values);

// Writers for the tables. `s` is the object (const in the reader), `v` the incoming value.
#define TPROP_IMPL_(Class, PType, CType, NameStr, GetExpr, SetStmt, Def, Enums, ...)         \
  TPropInfo {                                                                                 \
    NameStr, PType,                                                                           \
        [](const TObject* o_) -> TPropValue {                                                 \
          [[maybe_unused]] const Class* s = static_cast<const Class*>(o_);                    \
          return TPropValue(static_cast<CType>(GetExpr));                                     \
        },                                                                                    \
        [](TObject* o_, const TPropValue& pv_) {                                              \
          [[maybe_unused]] Class* s = static_cast<Class*>(o_);                                \
          [[maybe_unused]] const CType v = std::get<CType>(pv_);                              \
          SetStmt;                                                                            \
        },                                                                                    \
        TPropValue(static_cast<CType>(Def)), Enums __VA_OPT__(, ) __VA_ARGS__                  \
  }

#define TPROP_BOOL(Class, NameStr, GetExpr, SetStmt, Def) \
  TPROP_IMPL_(Class, TPropType::Bool, bool, NameStr, GetExpr, SetStmt, Def, {})
#define TPROP_INT(Class, NameStr, GetExpr, SetStmt, Def) \
  TPROP_IMPL_(Class, TPropType::Int, long long, NameStr, GetExpr, SetStmt, Def, {})
#define TPROP_FLOAT(Class, NameStr, GetExpr, SetStmt, Def) \
  TPROP_IMPL_(Class, TPropType::Float, double, NameStr, GetExpr, SetStmt, Def, {})
#define TPROP_STRING(Class, NameStr, GetExpr, SetStmt, Def) \
  TPROP_IMPL_(Class, TPropType::String, std::string, NameStr, GetExpr, SetStmt, Def, {})
// The name of another component; see TPropInfo::Reference.
#define TPROP_REFERENCE(Class, NameStr, GetExpr, SetStmt) \
  TPROP_IMPL_(Class, TPropType::String, std::string, NameStr, GetExpr, SetStmt, "", {}, true)
#define TPROP_COLOR(Class, NameStr, GetExpr, SetStmt, Def) \
  TPROP_IMPL_(Class, TPropType::Color, long long, NameStr, GetExpr, SetStmt, Def, {})
// Enums: `Names` is a static array of std::string_view naming the values in order.
#define TPROP_ENUM(Class, NameStr, GetExpr, SetStmt, Def, Names) \
  TPROP_IMPL_(Class, TPropType::Enum, long long, NameStr, GetExpr, SetStmt, Def, Names)
