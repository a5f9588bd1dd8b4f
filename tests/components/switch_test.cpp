#include <gtest/gtest.h>

#include <memory>

#include "components/Switch.h"
#include "devices_probe.h"
#include "framework/Properties.h"

namespace {

struct SwitchRig {
  TLog log;
  std::unique_ptr<TSwitch> sw = std::make_unique<TSwitch>(nullptr);
  TPictureProbe pictures{log, *sw};
  TPinProbe ac{log, "ac"};
  TPinProbe aux{log, "aux"};
  TProbe<bool> event;

  SwitchRig() {
    sw->ConnectACPinOutTo(&ac.Pin);
    sw->ConnectAuxPinOutTo(&aux.Pin);
    event.Fn = [this](bool level) {
      log.push_back(std::string("event=") + (level ? "1" : "0") + " state=" +
                    (sw->State ? "1" : "0") + " ac=" + (sw->ACOutPin->State ? "1" : "0"));
    };
    sw->OnChange = event.Method();
  }
  void Click(TMouseButton b = mbLeft) { sw->MouseDown(b, 0, 5, 5); }
};

TEST(Switch, NewSwitchIsAnOpenThermalRelayWithLiveSupply) {
  TSwitch sw(nullptr);
  EXPECT_EQ(Shown(sw), "TERMICO_OFF");
  EXPECT_EQ(sw.Width(), 68);
  EXPECT_EQ(sw.Height(), 70);
  EXPECT_EQ(sw.SwitchType, Termico);
  EXPECT_FALSE(sw.State);
  EXPECT_TRUE(sw.GetACInputState());
  EXPECT_FALSE(sw.ACOutPin->State);
  EXPECT_FALSE(sw.AuxOutPin->State);
  EXPECT_TRUE(sw.Stretch());
  EXPECT_FALSE(sw.AutoSize());
  EXPECT_TRUE(sw.Transparent());
}

TEST(Switch, ClickClosesWithPictureThenEventThenPowerThenAuxAndClickAgainOpens) {
  SwitchRig r;
  r.Click();
  EXPECT_EQ(r.log, (TLog{"pic=TERMICO_ON", "event=1 state=1 ac=0", "ac=1", "aux=1"}));
  r.log.clear();
  r.Click(mbRight);  // any button toggles
  EXPECT_EQ(r.log, (TLog{"pic=TERMICO_OFF", "event=0 state=0 ac=1", "ac=0", "aux=0"}));
}

TEST(Switch, LimitSwitchIgnoresClicksButFollowsThePlant) {
  SwitchRig r;
  r.sw->SetSwitchType(LimitSwitch);
  r.log.clear();
  r.Click();
  r.sw->MouseUp(mbLeft, 0, 5, 5);
  EXPECT_TRUE(r.log.empty()) << testing::PrintToString(r.log);
  EXPECT_FALSE(r.sw->State);
  r.sw->SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=LIMIT_SWITCH_ON", "event=1 state=1 ac=0", "ac=1", "aux=1"}));
}

TEST(Switch, RepeatedStateOnlyRestoresThePictureAndFiresNothing) {
  SwitchRig r;
  r.sw->SetState(true);
  r.sw->SetSwitchType(Emergency);  // a closed switch now shows the type's open picture
  EXPECT_EQ(Shown(*r.sw), "EMERGEN1_OFF");
  EXPECT_TRUE(r.sw->State);
  EXPECT_TRUE(r.sw->ACOutPin->State);
  EXPECT_TRUE(r.sw->AuxOutPin->State);
  r.log.clear();
  // A receiver changed behind the switch's back is not corrected by a repeated level.
  r.aux.Pin.SetState(false);
  r.log.clear();
  r.sw->SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=EMERGEN1_ON"}));
  EXPECT_FALSE(r.aux.Pin.State);
}

TEST(Switch, SupplyMovesOnlyThePowerContact) {
  SwitchRig r;
  TOutputPin supply;
  supply.SetState(true);
  supply.ConnectTo(r.sw->ACInPin);
  r.sw->SetState(true);
  r.log.clear();
  supply.SetState(false);
  EXPECT_EQ(r.log, (TLog{"ac=0"}));
  EXPECT_TRUE(r.sw->AuxOutPin->State);
  EXPECT_FALSE(r.sw->GetACInputState());
  supply.SetState(true);
  EXPECT_EQ(r.log, (TLog{"ac=0", "ac=1"}));

  // Open switch: every supply change offers false again, pulling back a receiver that was
  // forced true in between.
  r.sw->SetState(false);
  r.ac.Pin.SetState(true);
  r.log.clear();
  r.sw->SetACInputState(false);
  EXPECT_EQ(r.log, (TLog{"ac=0"}));
  EXPECT_FALSE(r.sw->State);
}

TEST(Switch, NewPicturesWaitForTheNextSwitching) {
  SwitchRig r;
  r.sw->SetState(true);
  const TPicture other = TPicture::LoadFrame("EMERGEN2_ON");
  r.sw->SetImageDown(&other);
  r.sw->SetImageDown(nullptr);
  EXPECT_EQ(Shown(*r.sw), "TERMICO_ON");
  r.sw->SetState(true);
  EXPECT_EQ(Shown(*r.sw), "EMERGEN2_ON");
  const TPicture up = TPicture::LoadFrame("EMERGEN2_OFF");
  r.sw->SetImageUp(&up);
  r.sw->SetImageUp(nullptr);
  r.sw->SetState(false);
  EXPECT_EQ(Shown(*r.sw), "EMERGEN2_OFF");
}

TEST(Switch, EveryTypeLoadsItsOwnPairAndCustomOnlyEmptiesThePictures) {
  struct Case {
    TSwitchType type;
    const char* off;
    const char* on;
  };
  const Case cases[] = {{Termico3D, "TERMICO3D_OFF", "TERMICO3D_ON"},
                        {LimitSwitch, "LIMIT_SWITCH_OFF", "LIMIT_SWITCH_ON"},
                        {Emergency, "EMERGEN1_OFF", "EMERGEN1_ON"},
                        {Emergency2, "EMERGEN2_OFF", "EMERGEN2_ON"},
                        {Interruptor, "INTERRUPTOR_OFF", "INTERRUPTOR_ON"},
                        {Termico, "TERMICO_OFF", "TERMICO_ON"}};
  TSwitch sw(nullptr);
  for (const Case& c : cases) {
    sw.SetSwitchType(c.type);
    EXPECT_EQ(sw.SwitchType, c.type);
    EXPECT_EQ(sw.ImageUp.Name(), c.off);
    EXPECT_EQ(sw.ImageDown.Name(), c.on);
    EXPECT_EQ(Shown(sw), c.off);
  }
  sw.SetSwitchType(Interruptor);
  sw.SetState(true);
  sw.SetSwitchType(Custom);
  EXPECT_TRUE(sw.ImageUp.Empty());
  EXPECT_TRUE(sw.ImageDown.Empty());
  EXPECT_EQ(sw.SwitchType, Custom);
  EXPECT_EQ(Shown(sw), "INTERRUPTOR_ON") << "Custom leaves the display as it was";
  sw.SetState(false);
  EXPECT_TRUE(sw.Picture().Empty());
}

TEST(Switch, ACustomSwitchKeepsTheUsersPicturesThroughAStoredLayout) {
  TComponent form(nullptr);
  auto* sw = new TSwitch(&form);
  sw->SetSwitchType(Interruptor);
  sw->SetSwitchType(Custom);
  const TPicture up = TPicture::LoadFrame("RED_OFF");
  const TPicture down = TPicture::LoadFrame("RED_ON");
  sw->SetImageUp(&up);
  sw->SetImageDown(&down);
  std::vector<TPropAssignment> stored;
  for (const TPropInfo& p : PublishedProperties(sw))
    if (p.Name == "ImageUp" || p.Name == "ImageDown" || p.Name == "SwitchType")
      stored.emplace_back(std::string(p.Name), p.Get(sw));
  auto* copy = new TSwitch(&form);
  EXPECT_TRUE(ApplyProperties(copy, stored).empty());
  EXPECT_TRUE(ApplyProperties(sw, stored).empty());
  for (TSwitch* s : {sw, copy}) {
    EXPECT_EQ(s->SwitchType, Custom);
    EXPECT_EQ(s->ImageUp.Name(), "RED_OFF");
    EXPECT_EQ(s->ImageDown.Name(), "RED_ON");
  }
}

TEST(Switch, StoredLayoutAppliesTypeLastSoAClosedSwitchLoadsShowingOpen) {
  TSwitch sw(nullptr);
  TLog log;
  TPinProbe aux(log, "aux");
  sw.ConnectAuxPinOutTo(&aux.Pin);
  // Given in reverse order on purpose: the published order decides.
  const auto rejected = ApplyProperties(
      &sw, {{"SwitchType", std::string("Termico3D")},
            {"State", true},
            {"ImageDown", std::string("EMERGEN1_ON")},
            {"ImageUp", std::string("EMERGEN1_OFF")},
            {"Width", 17LL},
            {"Height", 52LL}});
  EXPECT_TRUE(rejected.empty()) << testing::PrintToString(rejected);
  EXPECT_EQ(Shown(sw), "TERMICO3D_OFF");
  EXPECT_EQ(sw.ImageDown.Name(), "TERMICO3D_ON");
  EXPECT_TRUE(sw.State);
  EXPECT_EQ(log, (TLog{"aux=1"}));
  EXPECT_EQ(sw.Width(), 17);
  EXPECT_EQ(sw.Height(), 52);
  // Stored pictures do survive when no type follows them.
  TSwitch plain(nullptr);
  ApplyProperties(&plain, {{"ImageUp", std::string("LIMIT_SWITCH_OFF")}, {"State", false}});
  EXPECT_EQ(Shown(plain), "LIMIT_SWITCH_OFF");
}

TEST(Switch, StoredLayoutWithDeadSupplyAndBadValues) {
  TSwitch sw(nullptr);
  ApplyProperties(&sw, {{"ACInputState", false}, {"State", true}, {"SwitchType", 99LL}});
  EXPECT_TRUE(sw.State);
  EXPECT_FALSE(sw.ACOutPin->State) << "no supply, no power through a closed contact";
  EXPECT_TRUE(sw.AuxOutPin->State);
  EXPECT_EQ(sw.SwitchType, Termico) << "an out-of-range type is ignored";
  try {
    ApplyProperties(&sw, {{"ImageUp", std::string("TERMICO_OF")}});
    FAIL() << "a misspelt picture must be reported";
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource TERMICO_OF not found");
  }
  EXPECT_EQ(sw.ImageUp.Name(), "TERMICO_OFF");
}

TEST(Switch, LateReceiversTakeThePresentLevelsAtOnce) {
  TSwitch sw(nullptr);
  sw.SetState(true);
  TLog log;
  TPinProbe ac(log, "ac"), aux(log, "aux");
  sw.ConnectACPinOutTo(&ac.Pin);
  sw.ConnectAuxPinOutTo(&aux.Pin);
  sw.ConnectACPinOutTo(nullptr);
  sw.ConnectAuxPinOutTo(&aux.Pin);  // listed once only
  EXPECT_EQ(log, (TLog{"ac=1", "aux=1"}));
  EXPECT_EQ(sw.AuxOutPin->Connections().size(), 1u);
}

}  // namespace
