#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/Properties.h"
#include "framework/Registry.h"
#include "framework/Shape.h"

namespace {

// A switch-like test class whose type writer resets the stored state, so the order in which a
// layout applies the two decides the outcome.
enum TToyType { ttToggle, ttMomentary };

class TToySwitch : public TControl {
 public:
  using TControl::TControl;
  std::string_view ClassName() const override { return "TToySwitch"; }
  bool State = false;
  TToyType Type = ttToggle;
  double Ratio = 0.5;
  void SetSwitchType(TToyType t) {
    Type = t;
    State = false;
  }
  void GetProperties(TPropList& out) const override {
    TControl::GetProperties(out);
    static constexpr std::string_view kTypes[] = {"ttToggle", "ttMomentary"};
    static const TPropInfo props[] = {
        TPROP_BOOL(TToySwitch, "State", s->State, s->State = v, false),
        TPROP_ENUM(TToySwitch, "SwitchType", s->Type, s->SetSwitchType(static_cast<TToyType>(v)),
                   ttToggle, kTypes),
        TPROP_FLOAT(TToySwitch, "Ratio", s->Ratio, s->Ratio = v, 0.5),
    };
    out.insert(out.end(), std::begin(props), std::end(props));
  }
};

TEST(ApplyProperties, AppliesInPublishedOrderNotInGivenOrder) {
  TToySwitch sw(nullptr);
  const auto rejected = ApplyProperties(
      &sw, {{"SwitchType", TPropValue(1LL)}, {"State", TPropValue(true)}, {"Left", TPropValue(7LL)}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(sw.Type, ttMomentary);
  EXPECT_FALSE(sw.State) << "State is published before SwitchType, which then resets it";
  EXPECT_EQ(sw.Left(), 7);
}

TEST(ApplyProperties, RejectsUnknownNamesWrongTypesAndUnnamedEnumValuesButAppliesTheRest) {
  TToySwitch sw(nullptr);
  const auto rejected = ApplyProperties(&sw, {{"Colour", TPropValue(3LL)},
                                              {"State", TPropValue(std::string("yes"))},
                                              {"SwitchType", TPropValue(7LL)},
                                              {"Width", TPropValue(40LL)}});
  EXPECT_EQ(rejected, (std::vector<std::string>{"Colour", "State", "SwitchType"}));
  EXPECT_EQ(sw.Type, ttToggle);
  EXPECT_EQ(sw.Width(), 40);
}

TEST(ApplyProperties, EnumsByIdentifierAndIntegersForFloats) {
  TToySwitch sw(nullptr);
  EXPECT_TRUE(ApplyProperties(&sw, {{"SwitchType", TPropValue(std::string("ttMomentary"))},
                                    {"Ratio", TPropValue(2LL)}})
                  .empty());
  EXPECT_EQ(sw.Type, ttMomentary);
  EXPECT_DOUBLE_EQ(sw.Ratio, 2.0);
  EXPECT_EQ(ApplyProperties(&sw, {{"SwitchType", TPropValue(std::string("ttOther"))}}),
            (std::vector<std::string>{"SwitchType"}));
}

TEST(PublishedProperties, BaseClassesComeFirstAndDefaultsMatchAFreshObject) {
  TShape shape(nullptr);
  const TPropList props = PublishedProperties(&shape);
  ASSERT_GE(props.size(), 3u);
  EXPECT_EQ(props[0].Name, "Name");
  EXPECT_NE(FindProperty(props, "Brush.Color"), nullptr);
  EXPECT_EQ(FindProperty(props, "Nope"), nullptr);
  // Geometry defaults belong to TControl, whose constructor sizes nothing; shapes size
  // themselves, so only the non-geometry defaults are compared.
  for (const TPropInfo& p : props) {
    if (p.Name == "Width" || p.Name == "Height") continue;
    EXPECT_EQ(p.Get(&shape), p.Default) << p.Name;
  }
}

TEST(Registry, RegisteringAClassAgainReplacesIt) {
  RegisterComponentClass<TToySwitch>("Tests", "TToySwitch");
  RegisterComponentClass<TToySwitch>("Other", "TToySwitch");
  int found = 0;
  for (const TComponentClass& c : RegisteredComponents()) {
    if (c.ClassName != "TToySwitch") continue;
    ++found;
    EXPECT_EQ(c.Page, "Other");
    TComponent* made = c.Create(nullptr);
    EXPECT_EQ(made->ClassName(), "TToySwitch");
    delete made;
  }
  EXPECT_EQ(found, 1);
}

}  // namespace
