#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "components/Meter.h"
#include "components/Motor.h"
#include "components/PushButton.h"
#include "components/Relay.h"
#include "components/SimpleShape.h"
#include "components/Switch.h"
#include "components/Valve.h"
#include "components/VisualSignaling.h"
#include "framework/Properties.h"
#include "framework/Registry.h"

namespace {

// Every device registers under its palette page, and what the palette creates is the device
// with the class name a layout or a push-button link looks for.
TEST(DevicePalette, EachDeviceRegistersOnItsPageAndRoundTripsItsProperties) {
  Relay::Register();
  Valve::Register();
  Switch::Register();
  PushButton::Register();
  Motor::Register();
  SimpleShape::Register();
  Meter::Register();
  VisualSignaling::Register();
  const std::map<std::string, std::string> expected = {
      {"TRelay", "Automation"},      {"TValve", "Automation"},     {"TSwitch", "Automation"},
      {"TPushButton", "Automation"}, {"TMotor", "Automation"},     {"TSimpleShape", "automation"},
      {"TMeter", "Automation"},      {"TVisualSignaling", "Automation"}};
  std::map<std::string, std::string> seen;
  for (const TComponentClass& c : RegisteredComponents()) {
    if (expected.count(std::string(c.ClassName)) == 0) continue;
    seen[std::string(c.ClassName)] = std::string(c.Page);
    std::unique_ptr<TComponent> made(c.Create(nullptr));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassName(), c.ClassName);
    // Reading every published property and writing it back changes nothing.
    const TPropList props = PublishedProperties(made.get());
    std::vector<TPropAssignment> values;
    for (const TPropInfo& p : props) values.emplace_back(std::string(p.Name), p.Get(made.get()));
    EXPECT_TRUE(ApplyProperties(made.get(), values).empty()) << c.ClassName;
    for (const TPropInfo& p : props)
      EXPECT_EQ(p.Get(made.get()), values[static_cast<std::size_t>(&p - props.data())].second)
          << c.ClassName << "." << p.Name;
  }
  EXPECT_EQ(seen, expected);
}

}  // namespace
