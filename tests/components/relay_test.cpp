#include <gtest/gtest.h>

#include <memory>

#include "components/Relay.h"
#include "components/Valve.h"
#include "devices_probe.h"
#include "framework/Properties.h"

namespace {

// A relay wired as on the bridge: coil and supply driven by sources, output to one receiver,
// with every reaction going into one log.
struct RelayRig {
  TLog log;
  std::unique_ptr<TRelay> relay = std::make_unique<TRelay>(nullptr);
  TOutputPin coil, supply;
  TPictureProbe pictures{log, *relay};
  TPinProbe load{log, "load", [this] { return std::string("event_seen=") + (eventSeen ? "1" : "0"); }};
  TProbe<bool> event;
  bool eventSeen = false;

  RelayRig() {
    coil.ConnectTo(relay->RelayPin);
    supply.ConnectTo(relay->ACInPin);
    relay->ConnectACOutTo(&load.Pin);
    event.Fn = [this](bool level) {
      eventSeen = true;
      log.push_back(std::string("event=") + (level ? "1" : "0") + " state=" +
                    (relay->State ? "1" : "0") + " pic=" + Shown(*relay));
    };
    relay->OnChange = event.Method();
  }
};

TEST(Relay, StartsDeEnergisedWithoutSupplyAtNaturalSizeThenStretches) {
  TRelay relay(nullptr);
  EXPECT_FALSE(relay.State);
  EXPECT_FALSE(relay.ACInputState);
  EXPECT_FALSE(relay.ACOutPin->State);
  EXPECT_EQ(Shown(relay), "RELAY_OFF_AC_OFF");
  EXPECT_EQ(relay.Width(), 57);
  EXPECT_EQ(relay.Height(), 77);
  EXPECT_FALSE(relay.AutoSize());
  EXPECT_TRUE(relay.Stretch());
  EXPECT_TRUE(relay.Transparent());
  ASSERT_EQ(relay.Pictures.size(), 4u);
  EXPECT_EQ(relay.Pictures[1].Name(), "RELAY_ON_AC_OFF");
  EXPECT_EQ(relay.Pictures[2].Name(), "RELAY_OFF_AC_ON");
}

TEST(Relay, CoilWithSupplyDrivesReceiversBeforeItsOwnEvent) {
  RelayRig r;
  r.supply.SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_OFF_AC_ON"})) << "supply alone: no output, no event";

  r.log.clear();
  r.coil.SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_ON_AC_ON", "load=1 event_seen=0",
                         "event=1 state=1 pic=RELAY_ON_AC_ON"}));

  r.log.clear();
  r.coil.SetState(false);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_OFF_AC_ON", "load=0 event_seen=1",
                         "event=0 state=0 pic=RELAY_OFF_AC_ON"}));
}

TEST(Relay, CoilWithoutSupplyFiresEventButOutputWaitsForSupply) {
  RelayRig r;
  r.coil.SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_ON_AC_OFF", "event=1 state=1 pic=RELAY_ON_AC_OFF"}));
  EXPECT_FALSE(r.relay->ACOutPin->State);

  r.log.clear();
  r.supply.SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_ON_AC_ON", "load=1 event_seen=1"}))
      << "the supply changes the output but fires no event";

  r.log.clear();
  r.supply.SetState(false);
  EXPECT_EQ(r.log, (TLog{"pic=RELAY_ON_AC_OFF", "load=0 event_seen=1"}));
  EXPECT_TRUE(r.relay->State);
  EXPECT_FALSE(r.relay->ACOutState);
}

TEST(Relay, RepeatedLevelsDoNothingEvenWhenCalledDirectly) {
  RelayRig r;
  r.supply.SetState(true);
  r.coil.SetState(true);
  r.log.clear();
  r.relay->SetRelayState(true, nullptr);
  r.relay->SetACInState(true, nullptr);
  r.coil.SetState(true);   // the source re-offers its level
  r.supply.SetState(true);
  EXPECT_TRUE(r.log.empty()) << testing::PrintToString(r.log);
}

TEST(Relay, WritingStatePropertyBypassesThePinSoTheSourceCannotUndoIt) {
  RelayRig r;
  ASSERT_TRUE(ApplyProperties(r.relay.get(), {{"State", true}}).empty());
  EXPECT_TRUE(r.relay->State);
  EXPECT_FALSE(r.relay->RelayPin->State);
  r.log.clear();
  r.coil.SetState(false);  // the pin already holds false: no change reaches the relay
  EXPECT_TRUE(r.relay->State);
  EXPECT_TRUE(r.log.empty());
}

TEST(Relay, StoredLayoutSelectsPictureAndOutputOnBothCombinations) {
  TRelay relay(nullptr);
  ApplyProperties(&relay, {{"State", true}, {"ACInputState", true}, {"Width", 43LL},
                           {"Height", 54LL}});
  EXPECT_EQ(Shown(relay), "RELAY_ON_AC_ON");
  EXPECT_TRUE(relay.ACOutPin->State);
  EXPECT_EQ(relay.Width(), 43);
  EXPECT_EQ(relay.Height(), 54);

  // A receiver connected now takes the closed contact at once.
  TLog log;
  TPinProbe late(log, "late");
  relay.ConnectACOutTo(&late.Pin);
  relay.ConnectACOutTo(nullptr);
  EXPECT_EQ(log, (TLog{"late=1"}));
}

TEST(Relay, PublishesSupplyBeforeStateWithFalseDefaults) {
  TRelay relay(nullptr);
  const TPropList props = PublishedProperties(&relay);
  const TPropInfo* ac = FindProperty(props, "ACInputState");
  const TPropInfo* st = FindProperty(props, "State");
  ASSERT_NE(ac, nullptr);
  ASSERT_NE(st, nullptr);
  EXPECT_LT(ac, st);
  EXPECT_EQ(std::get<bool>(ac->Default), false);
  EXPECT_EQ(std::get<bool>(st->Default), false);
}

TEST(Valve, ClosedValveHidesWaitingFlowAndOpeningLetsItThrough) {
  TLog log;
  TValve valve(nullptr);
  TPictureProbe pictures(log, valve);
  TOutputPin command, flow;
  TPinProbe downstream(log, "down", [&] { return "pic=" + Shown(valve); });
  command.ConnectTo(valve.ValvePin);
  flow.ConnectTo(valve.FlowInPin);
  valve.ConnectFlowOutTo(&downstream.Pin);
  EXPECT_EQ(valve.Width(), 45);
  EXPECT_EQ(valve.Height(), 48);
  EXPECT_EQ(Shown(valve), "VALVE_OFF_FLOW_OFF");

  flow.SetState(true);
  EXPECT_TRUE(log.empty()) << testing::PrintToString(log);
  EXPECT_TRUE(valve.FlowInputState);

  command.SetState(true);
  EXPECT_EQ(log, (TLog{"pic=VALVE_ON_FLOW_ON", "down=1 pic=VALVE_ON_FLOW_ON"}));

  log.clear();
  flow.SetState(false);
  command.SetState(false);
  EXPECT_EQ(log, (TLog{"pic=VALVE_ON_FLOW_OFF", "down=0 pic=VALVE_ON_FLOW_OFF",
                       "pic=VALVE_OFF_FLOW_OFF"}));

  log.clear();
  command.SetState(true);
  EXPECT_EQ(log, (TLog{"pic=VALVE_ON_FLOW_OFF"}));
}

TEST(Valve, LayoutOpensAndFeedsThroughPublishedProperties) {
  TValve valve(nullptr);
  ApplyProperties(&valve, {{"State", true}, {"FlowInputState", true}});
  EXPECT_EQ(Shown(valve), "VALVE_ON_FLOW_ON");
  EXPECT_TRUE(valve.FlowOutPin->State);
  EXPECT_TRUE(valve.FlowOutState);
}

}  // namespace
