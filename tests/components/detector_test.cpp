#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/Detector.h"
#include "framework/Registry.h"

namespace {

struct Rig {
  TDetector D{nullptr};
  TInputPin Contact;
  Rig() { D.ConnectTo(&Contact); }
};

TEST(DetectorBasics, NewDetectorIsActiveAndDrivesTrue) {
  Rig r;
  EXPECT_TRUE(r.D.Active());
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_ON");
  EXPECT_EQ(r.D.ImageOFF().Name(), "DETECTOR_OFF");
  EXPECT_TRUE(r.D.Output().State);
  EXPECT_TRUE(r.Contact.State);
  EXPECT_EQ(r.D.Width(), 40);
  EXPECT_EQ(r.D.Height(), 19);
  EXPECT_TRUE(r.D.Transparent());
  EXPECT_EQ(r.D.Type(), dtNO);
}

TEST(DetectorThreshold, EqualityCountsAsReached) {
  Rig r;
  r.D.SetThreshold(100);
  EXPECT_FALSE(r.D.Active());
  r.D.WordIn->SetValue(99);
  EXPECT_FALSE(r.D.Active());
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_OFF");
  EXPECT_FALSE(r.Contact.State);
  r.D.WordIn->SetValue(100);
  EXPECT_TRUE(r.D.Active());
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_ON");
  EXPECT_TRUE(r.Contact.State);
  r.D.SetThreshold(65535);
  EXPECT_FALSE(r.D.Active());
  r.D.WordIn->SetValue(65535);
  EXPECT_TRUE(r.D.Active());  // compared as unsigned 16-bit numbers
}

TEST(DetectorThreshold, NormallyClosedInvertsTheContactButNotThePicture) {
  Rig r;
  r.D.SetThreshold(50);
  r.D.SetType(dtNC);
  EXPECT_TRUE(r.Contact.State);
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_OFF");
  r.D.ByteIn->SetValue(60);
  EXPECT_FALSE(r.Contact.State);
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_ON");
  r.D.SetType(dtNO);
  EXPECT_TRUE(r.Contact.State);
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_ON");
}

TEST(DetectorInputs, LastChangedInputSetsTheValue) {
  Rig r;
  r.D.SetThreshold(256);
  r.D.WordIn->SetValue(300);
  EXPECT_TRUE(r.D.Active());
  r.D.ByteIn->SetValue(10);
  EXPECT_EQ(r.D.Value(), 10);
  EXPECT_FALSE(r.D.Active());
}

TEST(DetectorInputs, SameValueDoesNothingButEveryEvaluationReoffersTheContact) {
  Rig r;
  r.D.NewDataEventW(5);
  ASSERT_TRUE(r.Contact.State);
  r.Contact.SetState(false);  // a receiver knocked out of step
  r.D.NewDataEventW(5);       // same value: no evaluation
  EXPECT_FALSE(r.Contact.State);
  r.D.NewDataEventB(6);  // new value, same verdict: the contact is offered again
  EXPECT_TRUE(r.Contact.State);
  r.Contact.SetState(false);
  r.D.SetThreshold(0);  // unchanged threshold still evaluates
  EXPECT_TRUE(r.Contact.State);
  r.Contact.SetState(false);
  r.D.SetType(dtNO);  // unchanged type does not
  EXPECT_FALSE(r.Contact.State);
}

TEST(DetectorPictures, KeepsItsOwnCopyAndShowsItAtTheNextSwitch) {
  Rig r;
  TPicture mine = TPicture::LoadBitmap("LOOP_ON");
  r.D.SetImageON(&mine);
  r.D.SetImageOFF(nullptr);
  mine = TPicture::LoadBitmap("LOOP_OFF");  // the caller reuses its picture
  EXPECT_EQ(r.D.ImageON().Name(), "LOOP_ON");
  EXPECT_EQ(r.D.Picture().Name(), "DETECTOR_ON");  // no switch yet
  {
    const TPicture temp = TPicture::LoadBitmap("REEDHOR_OFF");
    r.D.SetImageOFF(&temp);
  }  // gone: the detector still has its copy
  r.D.SetThreshold(1);
  EXPECT_EQ(r.D.Picture().Name(), "REEDHOR_OFF");
  r.D.SetThreshold(0);
  EXPECT_EQ(r.D.Picture().Name(), "LOOP_ON");
}

TEST(DetectorProperties, PublishedInOrderAndRegisteredInLowerCase) {
  Rig r;
  const TPropList props = PublishedProperties(&r.D);
  std::vector<std::string> own;
  for (std::size_t i = props.size() - 5; i < props.size(); ++i) own.emplace_back(props[i].Name);
  EXPECT_EQ(own, (std::vector<std::string>{"Picture", "ImageON", "ImageOFF", "Threshold", "Type"}));
  const auto rejected = ApplyProperties(
      &r.D, {{"Type", std::string("dtNC")}, {"Threshold", 70000LL}, {"Threshold", 10LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(r.D.Threshold(), 10);
  EXPECT_EQ(r.D.Type(), dtNC);
  EXPECT_TRUE(r.Contact.State);

  Detector::Register();
  for (const TComponentClass& c : RegisteredComponents())
    if (c.ClassName == "TDetector") {
      EXPECT_EQ(c.Page, "automation");
      std::unique_ptr<TComponent> made(c.Create(nullptr));
      EXPECT_NE(dynamic_cast<TDetector*>(made.get()), nullptr);
      return;
    }
  ADD_FAILURE() << "TDetector not registered";
}

}  // namespace
