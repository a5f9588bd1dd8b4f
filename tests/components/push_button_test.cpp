#include <gtest/gtest.h>

#include <memory>

#include "components/PushButton.h"
#include "components/SimpleShape.h"
#include "components/VisualSignaling.h"
#include "devices_probe.h"
#include "framework/Properties.h"

namespace {

struct ButtonRig {
  TLog log;
  std::unique_ptr<TPushButton> pb = std::make_unique<TPushButton>(nullptr);
  TPictureProbe pictures{log, *pb};
  TPinProbe contact{log, "out"};
  TProbe<bool> event;

  ButtonRig() {
    pb->SetConnectedPin(&contact.Pin);
    event.Fn = [this](bool level) {
      log.push_back(std::string("event=") + (level ? "1" : "0") + " state=" +
                    (pb->State ? "1" : "0") + " pic=" + Shown(*pb));
    };
    pb->OnChange = event.Method();
  }
  void Down() { pb->MouseDown(mbLeft, 0, 10, 10); }
  void Up() { pb->MouseUp(mbLeft, 0, 10, 10); }
};

TEST(PushButton, NewButtonIsAReleasedWhiteNormallyOpenMomentaryButton) {
  TPushButton pb(nullptr);
  EXPECT_EQ(Shown(pb), "WHITE_OFF");
  EXPECT_EQ(pb.Width(), 60);
  EXPECT_EQ(pb.Height(), 60);
  EXPECT_FALSE(pb.State);
  EXPECT_FALSE(pb.OutPin->State);
  EXPECT_EQ(pb.ButtonType, pbtIdeal);
  EXPECT_EQ(pb.OutputType, pbotNA);
  EXPECT_EQ(pb.ButtonColor, pbcWhite);
  EXPECT_EQ(pb.ConnectedAO, nullptr);
  EXPECT_TRUE(pb.Stretch());
  EXPECT_FALSE(pb.AutoSize());
}

TEST(PushButton, MomentaryTypesShowThenAnnounceBeforeStoringThenSwitchTheContact) {
  for (TPushButtonType type : {pbtIdeal, pbtRebounce}) {
    SCOPED_TRACE(type);
    ButtonRig r;
    r.pb->SetPBType(type);
    r.Down();
    EXPECT_EQ(r.log, (TLog{"pic=WHITE_ON", "event=1 state=0 pic=WHITE_ON", "out=1"}));
    EXPECT_TRUE(r.pb->State);
    r.log.clear();
    r.Up();
    EXPECT_EQ(r.log, (TLog{"pic=WHITE_OFF", "event=0 state=1 pic=WHITE_OFF", "out=0"}));
    EXPECT_FALSE(r.pb->State);
  }
}

TEST(PushButton, NormallyClosedContactOpensWhilePressed) {
  ButtonRig r;
  r.pb->SetPBOType(pbotNC);
  EXPECT_EQ(r.log, (TLog{"out=1"}));
  r.log.clear();
  r.Down();
  EXPECT_EQ(r.log, (TLog{"pic=WHITE_ON", "event=1 state=0 pic=WHITE_ON", "out=0"}));
  r.log.clear();
  r.Up();
  EXPECT_EQ(r.log, (TLog{"pic=WHITE_OFF", "event=0 state=1 pic=WHITE_OFF", "out=1"}));
}

TEST(PushButton, LatchingButtonTogglesOnPressAndIgnoresRelease) {
  ButtonRig r;
  r.pb->SetPBType(pbtSwitch);
  r.Down();
  EXPECT_EQ(r.log, (TLog{"pic=WHITE_ON", "event=1 state=0 pic=WHITE_ON", "out=1"}));
  r.log.clear();
  r.Up();
  EXPECT_TRUE(r.log.empty()) << testing::PrintToString(r.log);
  EXPECT_TRUE(r.pb->State);
  r.Down();
  EXPECT_EQ(r.log, (TLog{"pic=WHITE_OFF", "event=0 state=1 pic=WHITE_OFF", "out=0"}));
  r.log.clear();
  r.Up();
  EXPECT_TRUE(r.log.empty());
}

TEST(PushButton, RepeatedStateReoffersTheContactAndRedrawsWithoutEvent) {
  ButtonRig r;
  r.Down();
  r.pb->SetPBColor(pbcRed);  // shows the released picture of the new colour
  EXPECT_EQ(Shown(*r.pb), "RED_OFF");
  EXPECT_TRUE(r.pb->State);
  EXPECT_TRUE(r.pb->OutPin->State);
  r.contact.Pin.SetState(false);  // somebody forces the receiver behind the button's back
  r.log.clear();
  r.pb->SetState(true);
  EXPECT_EQ(r.log, (TLog{"pic=RED_ON", "out=1"}));
}

TEST(PushButton, ColoursLoadTheirPairsAndLayoutsCannotStoreUnknownValues) {
  struct Case {
    TPushButtonColor color;
    const char* up;
    const char* down;
  };
  const Case cases[] = {{pbcBlack, "BLACK_OFF", "BLACK_ON"},
                        {pbcBlue, "BLUE_OFF", "BLUE_ON"},
                        {pbcRed, "RED_OFF", "RED_ON"},
                        {pbcWhite, "WHITE_OFF", "WHITE_ON"}};
  TPushButton pb(nullptr);
  for (const Case& c : cases) {
    pb.SetPBColor(c.color);
    EXPECT_EQ(pb.ButtonColor, c.color);
    EXPECT_EQ(pb.ImageUp.Name(), c.up);
    EXPECT_EQ(pb.ImageDown.Name(), c.down);
  }
  pb.SetPBColor(pbcRed);
  ApplyProperties(&pb, {{"ButtonColor", 7LL}, {"ButtonType", -1LL}, {"OutputType", 2LL}});
  EXPECT_EQ(pb.ButtonColor, pbcRed) << "out-of-range layout values are ignored";
  EXPECT_EQ(pb.ButtonType, pbtIdeal);
  EXPECT_EQ(pb.OutputType, pbotNA);
}

TEST(PushButton, NewPicturesWaitForTheNextPress) {
  ButtonRig r;
  const TPicture blue = TPicture::LoadFrame("BLUE_ON");
  r.pb->SetImageDown(&blue);
  r.pb->SetImageDown(nullptr);
  EXPECT_EQ(Shown(*r.pb), "WHITE_OFF");
  r.Down();
  EXPECT_EQ(Shown(*r.pb), "BLUE_ON");
}

TEST(PushButton, ChangingContactKindReleasesButtonAndKeepsContactEqualToStateXorNC) {
  ButtonRig r;
  r.pb->SetPBType(pbtSwitch);
  r.Down();  // latched, contact made
  r.log.clear();
  r.pb->SetPBOType(pbotNC);
  EXPECT_FALSE(r.pb->State);
  EXPECT_TRUE(r.pb->OutPin->State);
  EXPECT_EQ(r.log, (TLog{})) << "the normally-open contact was true, the released NC is true too";
  r.Down();  // pressing again is a real change, announced as such
  EXPECT_EQ(r.log, (TLog{"event=1 state=0 pic=WHITE_ON", "out=0"}));
  r.log.clear();
  r.pb->SetPBOType(pbotNA);
  EXPECT_EQ(r.log, (TLog{})) << "released NA contact is false: nothing to change";
  EXPECT_FALSE(r.pb->OutPin->State);
  EXPECT_EQ(r.pb->OutPin->State, r.pb->State != (r.pb->OutputType == pbotNC));
}

TEST(PushButton, ConnectingAReceiverPushesTheReleasedLevelAtOnce) {
  TPushButton pb(nullptr);
  TLog log;
  TPinProbe plcInput(log, "E124.1");
  plcInput.Pin.SetState(true);
  log.clear();
  pb.SetConnectedPin(&plcInput.Pin);
  pb.SetConnectedPin(nullptr);
  EXPECT_EQ(log, (TLog{"E124.1=0"}));
}

TEST(PushButton, LinksOnlyARealSignallingLampWhichThenFollowsTheContact) {
  TComponent form(nullptr);
  auto* pb = new TPushButton(&form);
  auto* lamp = new TVisualSignaling(&form);
  auto* plainLamp = new TSimpleShape(&form);

  struct Impostor : TComponent {
    using TComponent::TComponent;
    std::string_view ClassName() const override { return "TVisualSignaling"; }
  };
  auto* impostor = new Impostor(&form);
  struct WrongCase : TVisualSignaling {
    using TVisualSignaling::TVisualSignaling;
    std::string_view ClassName() const override { return "TVisualsignaling"; }
  };
  auto* wrongCase = new WrongCase(&form);

  pb->SetConnection(nullptr);
  pb->SetConnection(plainLamp);
  pb->SetConnection(impostor);
  pb->SetConnection(wrongCase);
  EXPECT_EQ(pb->ConnectedAO, nullptr);
  EXPECT_TRUE(pb->OutPin->Connections().empty());

  pb->SetPBOType(pbotNC);  // released NC: contact made before the link exists
  pb->SetConnection(lamp);
  EXPECT_EQ(pb->ConnectedAO, lamp);
  EXPECT_TRUE(lamp->State) << "the lamp takes the contact's level when linked";
  EXPECT_EQ(lamp->Brush.Color(), lamp->ColorON);
  pb->MouseDown(mbLeft, 0, 1, 1);
  EXPECT_FALSE(lamp->State);
  EXPECT_EQ(lamp->Brush.Color(), lamp->ColorOFF);
  pb->MouseUp(mbLeft, 0, 1, 1);
  EXPECT_TRUE(lamp->State);
}

TEST(PushButton, AQuickClickIsHeldUntilReadWhileLongPressesAndLatchingButtonsAreUntouched) {
  ButtonRig r;
  r.pb->HoldUntilExchanged = true;
  r.Down();
  r.Up();
  EXPECT_TRUE(r.pb->State) << "let go before anything read it";
  EXPECT_TRUE(r.contact.Pin.State);
  r.pb->Exchanged();
  EXPECT_FALSE(r.pb->State);
  EXPECT_FALSE(r.contact.Pin.State);
  EXPECT_EQ(Shown(*r.pb), "WHITE_OFF");
  // Read while held: the release is not delayed. A second press cancels a pending release.
  r.Down();
  r.pb->Exchanged();
  r.Up();
  EXPECT_FALSE(r.pb->State);
  r.Down();
  r.Up();
  r.Down();
  r.pb->Exchanged();
  EXPECT_TRUE(r.pb->State) << "pressed again before the read: still held";
  r.Up();
  EXPECT_FALSE(r.pb->State);
  // A latching button toggles on presses only.
  r.pb->SetPBType(pbtSwitch);
  r.Down();
  r.Up();
  r.pb->Exchanged();
  EXPECT_TRUE(r.pb->State);
}

TEST(PushButton, ALampDestroyedBeforeTheButtonIsForgottenAndNoLongerDriven) {
  TComponent form(nullptr);
  auto* pb = new TPushButton(&form);
  auto* first = new TVisualSignaling(&form);
  auto* second = new TVisualSignaling(&form);
  pb->SetConnection(first);
  pb->SetConnection(second);
  delete second;
  EXPECT_EQ(pb->ConnectedAO, nullptr);
  ASSERT_EQ(pb->OutPin->Connections().size(), 1u);
  EXPECT_EQ(pb->OutPin->Connections()[0], first->InPin);
  delete first;
  EXPECT_TRUE(pb->OutPin->Connections().empty());
  pb->MouseDown(mbLeft, 0, 1, 1);  // would write into the freed lamps
  pb->MouseUp(mbLeft, 0, 1, 1);
  EXPECT_FALSE(pb->State);
}

TEST(PushButton, StoredLayoutAppliesColourLastAndResolvesTheLampByName) {
  TComponent form(nullptr);
  auto* lamp = new TVisualSignaling(&form);
  lamp->Name = "Lamp1";
  auto* pb = new TPushButton(&form);
  const auto rejected = ApplyProperties(pb, {{"ConnectedAO", std::string("Lamp1")},
                                             {"ButtonColor", std::string("pbcBlue")},
                                             {"ButtonType", std::string("pbtSwitch")},
                                             {"State", true},
                                             {"ImageUp", std::string("RED_OFF")},
                                             {"Width", 36LL},
                                             {"Height", 31LL}});
  EXPECT_TRUE(rejected.empty()) << testing::PrintToString(rejected);
  EXPECT_EQ(Shown(*pb), "BLUE_OFF") << "the colour's released picture, whatever State was stored";
  EXPECT_EQ(pb->ImageUp.Name(), "BLUE_OFF");
  EXPECT_TRUE(pb->State);
  EXPECT_EQ(pb->ButtonType, pbtSwitch);
  EXPECT_EQ(pb->ConnectedAO, lamp);
  EXPECT_TRUE(lamp->State);
  EXPECT_EQ(pb->Width(), 36);
  EXPECT_EQ(pb->Height(), 31);

  // A dangling lamp name links nothing.
  auto* other = new TPushButton(&form);
  ApplyProperties(other, {{"ConnectedAO", std::string("NoSuchLamp")}});
  EXPECT_EQ(other->ConnectedAO, nullptr);
}

}  // namespace
