#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "components/Palette.h"
#include "framework/Component.h"
#include "framework/Properties.h"
#include "framework/Registry.h"

// Every class the library puts on the palette can be created from the palette, reports its own
// class name, publishes readable properties, and dies with its owner.
TEST(Palette, CreatesEveryRegisteredClassOnItsPage) {
  RegisterAllComponents();
  const std::map<std::string, std::string> pages = {
      {"TFrameAnimation", "Automation"}, {"TDeposit", "Automation"},
      {"TPositionDetector", "Automation"}, {"TMotorValve", "Automation"},
      {"TValve", "Automation"},          {"TRelay", "Automation"},
      {"TMotor", "Automation"},          {"TSwitch", "Automation"},
      {"TClock", "Automation"},          {"TPushButton", "Automation"},
      {"TDetector", "automation"},       {"TSimpleShape", "automation"},
      {"TMeter", "Automation"}};
  std::map<std::string, int> seen;
  auto owner = std::make_unique<TComponent>(nullptr);
  for (const TComponentClass& c : RegisteredComponents()) {
    ++seen[std::string(c.ClassName)];
    TComponent* made = c.Create(owner.get());
    ASSERT_NE(made, nullptr) << c.ClassName;
    EXPECT_EQ(made->ClassName(), c.ClassName);
    EXPECT_EQ(made->Owner(), owner.get());
    const auto it = pages.find(std::string(c.ClassName));
    if (it != pages.end()) {
      EXPECT_EQ(c.Page, it->second) << c.ClassName;
    }
    for (const TPropInfo& p : PublishedProperties(made)) (void)p.Get(made);
  }
  for (const auto& [name, page] : pages) EXPECT_EQ(seen[name], 1) << name << " not registered once";
  EXPECT_EQ(owner->Components().size(), RegisteredComponents().size());
  owner.reset();  // destroys every component created above; ASan checks nothing leaks
}
