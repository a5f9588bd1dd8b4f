#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/PositionDetector.h"
#include "framework/Registry.h"

namespace {

// A moving part of the plant: any control with a box.
std::unique_ptr<TControl> Box(int left, int top, int width, int height) {
  auto c = std::make_unique<TControl>(nullptr);
  c->SetBounds(left, top, width, height);
  return c;
}

// Whether a lone control at this box is detected, from a fresh scan.
bool Sees(TPositionDetector& d, int left, int top, int width, int height) {
  auto c = Box(left, top, width, height);
  d.Release();
  d.AddControl(c.get());
  const bool r = d.Detection();
  d.Release();
  return r;
}

TEST(PositionDetectorBasics, NewDetectorIsAnOffHorizontalPhotoSizedToItsBitmap) {
  TPositionDetector d(nullptr);
  EXPECT_EQ(d.Type(), pdPHOTO_HOR);
  EXPECT_FALSE(d.State());
  EXPECT_FALSE(d.Output().State);
  EXPECT_EQ(d.Picture().Name(), "PHOTOHOR_OFF");
  EXPECT_EQ(d.PictureON().Name(), "PHOTOHOR_ON");
  EXPECT_TRUE(d.Controls().empty());
  EXPECT_EQ(d.Width(), 200);
  EXPECT_EQ(d.Height(), 15);
  EXPECT_TRUE(d.Transparent());
  EXPECT_FALSE(d.AutoSize());
  EXPECT_EQ(d.RefX(), 200);
  EXPECT_EQ(d.RefY(), 7);
}

TEST(PositionDetectorBasics, EachTypeLoadsItsBitmapsAndReferencePoint) {
  struct Case {
    TPositionDetectorType Type;
    const char* Off;
    const char* On;
    int W, H, RefX, RefY;  // detector placed at (10, 20)
  };
  const Case cases[] = {
      {pdPHOTO_HOR, "PHOTOHOR_OFF", "PHOTOHOR_ON", 200, 15, 210, 27},
      {pdPHOTO_VER, "PHOTOVER_OFF", "PHOTOVER_ON", 15, 200, 17, 220},
      {pdPROX_HOR, "PROXHOR_OFF", "PROXHOR_ON", 38, 24, 48, 32},
      {pdPROX_VER, "PROXVER_OFF", "PROXVER_ON", 24, 38, 22, 58},
      {pdLOOP, "LOOP_OFF", "LOOP_ON", 29, 29, 24, 34},
      {pdREED_HOR, "REEDHOR_OFF", "REEDHOR_ON", 13, 20, 16, 30},
      {pdREED_VER, "REEDVER_OFF", "REEDVER_ON", 20, 13, 20, 26},
  };
  for (const Case& c : cases) {
    TPositionDetector d(nullptr);
    d.SetBounds(10, 20, 300, 300);
    d.SetType(c.Type);
    EXPECT_EQ(d.PictureOFF().Name(), c.Off);
    EXPECT_EQ(d.PictureON().Name(), c.On);
    EXPECT_EQ(d.Picture().Name(), c.Off);
    EXPECT_EQ(d.Width(), c.W) << c.Off;
    EXPECT_EQ(d.Height(), c.H) << c.Off;
    EXPECT_EQ(d.RefX(), c.RefX) << c.Off;
    EXPECT_EQ(d.RefY(), c.RefY) << c.Off;
  }
}

TEST(PositionDetectorBasics, GeometryWritersSnapBackToTheBitmap) {
  TPositionDetector d(nullptr);
  d.SetType(pdLOOP);
  d.SetLeft(100);
  EXPECT_EQ(d.RefX(), 114);
  d.SetTop(40);
  EXPECT_EQ(d.RefY(), 54);
  d.SetHeight(90);
  EXPECT_EQ(d.Height(), 29);
  d.SetWith(90);
  EXPECT_EQ(d.Width(), 29);
  // The published Width uses the plain writer: no snap, the reference point stays.
  ApplyProperties(&d, {{"Width", 90LL}});
  EXPECT_EQ(d.Width(), 90);
  EXPECT_EQ(d.RefX(), 114);
  ApplyProperties(&d, {{"Left", 0LL}});
  EXPECT_EQ(d.Width(), 29);
  EXPECT_EQ(d.RefX(), 14);
}

TEST(PositionDetectorGeometry, HorizontalPhotoAtItsBoundaries) {
  for (TPositionDetectorType t : {pdPHOTO_HOR, pdPROX_HOR}) {
    TPositionDetector d(nullptr);
    d.SetType(t);
    d.SetBounds(100, 50, 80, 20);  // beam at y = 60, from x = 124 (excluded) to 180
    EXPECT_FALSE(Sees(d, 124, 55, 10, 10));
    EXPECT_TRUE(Sees(d, 125, 55, 10, 10));
    EXPECT_TRUE(Sees(d, 180, 55, 10, 10));
    EXPECT_FALSE(Sees(d, 181, 55, 10, 10));
    EXPECT_TRUE(Sees(d, 150, 60, 10, 0));   // top edge on the beam
    EXPECT_FALSE(Sees(d, 150, 61, 10, 10));
    EXPECT_TRUE(Sees(d, 150, 50, 10, 10));  // bottom edge on the beam
    EXPECT_FALSE(Sees(d, 150, 50, 10, 9));
  }
}

TEST(PositionDetectorGeometry, VerticalPhotoAtItsBoundaries) {
  for (TPositionDetectorType t : {pdPHOTO_VER, pdPROX_VER}) {
    TPositionDetector d(nullptr);
    d.SetType(t);
    d.SetBounds(10, 50, 20, 60);  // beam at x = 20, from y = 76 (excluded) to 110
    EXPECT_FALSE(Sees(d, 15, 76, 10, 10));
    EXPECT_TRUE(Sees(d, 15, 77, 10, 10));
    EXPECT_TRUE(Sees(d, 15, 110, 10, 10));
    EXPECT_FALSE(Sees(d, 15, 111, 10, 10));
    EXPECT_TRUE(Sees(d, 20, 90, 0, 10));
    EXPECT_FALSE(Sees(d, 21, 90, 10, 10));
    EXPECT_TRUE(Sees(d, 10, 90, 10, 10));
    EXPECT_FALSE(Sees(d, 10, 90, 9, 10));
  }
}

TEST(PositionDetectorGeometry, LoopNeedsTheCentreStrictlyCovered) {
  TPositionDetector d(nullptr);
  d.SetType(pdLOOP);
  d.SetLeft(100);
  d.SetTop(100);  // centre (114, 114)
  EXPECT_TRUE(Sees(d, 113, 113, 2, 2));
  EXPECT_FALSE(Sees(d, 114, 100, 20, 20));  // left edge on the centre
  EXPECT_FALSE(Sees(d, 94, 100, 20, 20));   // right edge on the centre
  EXPECT_FALSE(Sees(d, 100, 114, 20, 20));
  EXPECT_FALSE(Sees(d, 100, 94, 20, 20));
}

TEST(PositionDetectorGeometry, LoopScanUsesTheStoredPointButOneControlRecomputesIt) {
  TPositionDetector d(nullptr);
  d.SetType(pdLOOP);
  d.SetLeft(100);
  d.SetTop(100);
  auto car = Box(105, 105, 20, 20);
  d.AddControl(car.get());
  d.SetBounds(500, 500, 29, 29);  // moved without a writer that recomputes
  EXPECT_TRUE(d.Detection());
  EXPECT_EQ(d.DetectedControl, car.get());
  EXPECT_FALSE(d.Detection(car.get()));
  EXPECT_EQ(d.RefX(), 514);
}

TEST(PositionDetectorGeometry, ReedProbesLieJustBeyondEitherSide) {
  TPositionDetector h(nullptr);
  h.SetType(pdREED_HOR);
  h.SetBounds(0, 0, 20, 10);  // centre line y = 5, probes x = 25 and x = -3
  EXPECT_TRUE(Sees(h, 20, 0, 10, 10));
  EXPECT_FALSE(Sees(h, 25, 0, 10, 10));
  EXPECT_FALSE(Sees(h, 15, 0, 10, 10));  // ends on the right probe
  EXPECT_TRUE(Sees(h, -10, 0, 8, 10));
  EXPECT_FALSE(Sees(h, -3, 0, 5, 10));
  EXPECT_FALSE(Sees(h, 20, 5, 10, 10));  // top edge on the centre line
  EXPECT_FALSE(Sees(h, 20, -5, 10, 10));

  TPositionDetector v(nullptr);
  v.SetType(pdREED_VER);
  v.SetBounds(0, 0, 10, 20);  // centre column x = 5, probes y = 25 and y = -3
  EXPECT_TRUE(Sees(v, 0, 20, 10, 10));
  EXPECT_FALSE(Sees(v, 0, 25, 10, 10));
  EXPECT_TRUE(Sees(v, 0, -10, 10, 8));
  EXPECT_FALSE(Sees(v, 0, -3, 10, 5));
  EXPECT_FALSE(Sees(v, 5, 20, 10, 10));
}

struct Events {
  TPositionDetector* D;
  TInputPin Pin;
  std::vector<std::string> Log;
  void Changed(bool b) {
    // By the time the event fires the picture and the output already follow State.
    Log.push_back(std::string(b ? "on " : "off ") + std::string(D->Picture().Name()) +
                  (D->Output().State == b ? " out" : " stale"));
  }
  void PinChanged(bool b, void*) { Log.push_back(b ? "pin 1" : "pin 0"); }
};

TEST(PositionDetectorState, PictureThenOutputThenEvent) {
  TPositionDetector d(nullptr);
  Events e{&d, {}, {}};
  e.Pin.OnChange = TPinChangeEvent(&e, &Events::PinChanged);
  d.OnDetectionChange = TDetectionChangeEvent(&e, &Events::Changed);
  d.OutputConnectTo(&e.Pin);
  d.OutputConnectTo(nullptr);
  d.SetState(true);
  d.SetState(true);
  d.SetState(false);
  EXPECT_EQ(e.Log, (std::vector<std::string>{"pin 1", "on PHOTOHOR_ON out", "pin 0",
                                             "off PHOTOHOR_OFF out"}));
}

TEST(PositionDetectorState, OneControlAtATimeHoldsWhileAnyIsDetected) {
  TPositionDetector d(nullptr);
  d.SetBounds(100, 50, 80, 20);
  auto near = Box(150, 55, 10, 10);
  auto far = Box(300, 55, 10, 10);
  EXPECT_TRUE(d.Detection(near.get()));
  EXPECT_FALSE(d.Detection(far.get()));
  EXPECT_TRUE(d.State());
  EXPECT_EQ(d.Controls().size(), 2u);
  EXPECT_TRUE(d.Result(0));
  EXPECT_FALSE(d.Result(1));
  near->SetLeft(400);
  EXPECT_FALSE(d.Detection(far.get()));
  EXPECT_TRUE(d.State());  // near's own call has not yet said otherwise
  EXPECT_FALSE(d.Detection(near.get()));
  EXPECT_FALSE(d.State());
  EXPECT_FALSE(d.Detection(nullptr));
}

TEST(PositionDetectorState, ScanStopsAtTheFirstHitAndLeavesResultsAlone) {
  TPositionDetector d(nullptr);
  d.SetBounds(100, 50, 80, 20);
  auto a = Box(300, 55, 10, 10);
  auto b = Box(140, 55, 10, 10);
  auto c = Box(150, 55, 10, 10);
  EXPECT_FALSE(d.Detection(a.get()));
  d.AddControl(b.get());
  d.AddControl(c.get());
  EXPECT_TRUE(d.Detection());
  EXPECT_EQ(d.DetectedControl, b.get());
  EXPECT_FALSE(d.Result(1));
  EXPECT_FALSE(d.Result(2));
  b->SetLeft(0);
  c->SetLeft(0);
  EXPECT_FALSE(d.Detection());
  EXPECT_EQ(d.DetectedControl, nullptr);
}

struct Custom {
  TControl* Seen = nullptr;
  int X = 0, Y = 0;
  bool Answer = true;
  bool Test(TControl* c, int x, int y) {
    Seen = c;
    X = x;
    Y = y;
    return Answer;
  }
};

TEST(PositionDetectorCustom, CustomFunctionGetsTheControlAndTheReferencePoint) {
  TPositionDetector d(nullptr);
  d.SetType(pdLOOP);
  d.SetLeft(10);
  d.SetTop(20);
  Custom f;
  d.CustomDetectionFunc = TDetectionFunc(&f, &Custom::Test);
  auto far = Box(900, 900, 1, 1);
  EXPECT_TRUE(d.Detection(far.get()));
  EXPECT_EQ(f.Seen, far.get());
  EXPECT_EQ(f.X, 24);
  EXPECT_EQ(f.Y, 34);
  f.Answer = false;
  EXPECT_FALSE(d.Detection(far.get()));
  EXPECT_FALSE(d.State());
  d.CustomDetectionFunc = nullptr;
  EXPECT_FALSE(d.CustomDetectionFunc.Assigned());
}

TEST(PositionDetectorCustom, CustomTypeKeepsThePreviousTestAndPictures) {
  TPositionDetector d(nullptr);
  d.SetType(pdREED_HOR);
  d.SetType(pdCUSTOM);
  EXPECT_EQ(d.PictureOFF().Name(), "REEDHOR_OFF");
  d.SetBounds(0, 0, 20, 10);
  EXPECT_TRUE(Sees(d, 20, 0, 10, 10));  // still the reed test
  EXPECT_FALSE(Sees(d, 25, 0, 10, 10));
}

TEST(PositionDetectorList, TwentyFirstControlIsRefused) {
  TPositionDetector d(nullptr);
  d.SetBounds(100, 50, 80, 20);
  std::vector<std::unique_ptr<TControl>> boxes;
  for (int i = 0; i < 20; ++i) {
    boxes.push_back(Box(300, 55, 10, 10));
    EXPECT_EQ(d.AddControl(boxes.back().get()), i);
  }
  EXPECT_EQ(d.AddControl(boxes[3].get()), 3);  // already there
  auto extra = Box(150, 55, 10, 10);
  EXPECT_EQ(d.AddControl(extra.get()), -1);
  EXPECT_EQ(d.AddControl(nullptr), -1);
  // Tested, but with no slot it cannot switch the detector on.
  EXPECT_TRUE(d.Detection(extra.get()));
  EXPECT_FALSE(d.State());
  EXPECT_EQ(d.Controls().size(), 20u);
}

TEST(PositionDetectorList, ResultsFollowTheirControlsWhenOneIsReleased) {
  TPositionDetector d(nullptr);
  d.SetBounds(100, 50, 80, 20);
  auto miss = Box(300, 55, 10, 10);
  auto hit = Box(150, 55, 10, 10);
  auto other = Box(300, 55, 10, 10);
  d.Detection(miss.get());
  d.Detection(hit.get());
  ASSERT_TRUE(d.State());
  d.Release(miss.get());
  d.Release(miss.get());  // absent: ignored
  ASSERT_EQ(d.Controls().front(), hit.get());
  EXPECT_TRUE(d.Result(0));
  EXPECT_FALSE(d.Result(1));
  d.Detection(other.get());  // lands in slot 1 and must not inherit hit's old result
  EXPECT_FALSE(d.Result(1));
  EXPECT_TRUE(d.State());
  d.Release();
  EXPECT_TRUE(d.Controls().empty());
  EXPECT_FALSE(d.Result(0));
}

TEST(PositionDetectorList, DestroyedControlLeavesTheList) {
  TPositionDetector d(nullptr);
  auto a = Box(0, 0, 1, 1);
  auto b = Box(0, 0, 1, 1);
  d.AddControl(a.get());
  d.AddControl(b.get());
  a.reset();
  ASSERT_EQ(d.Controls().size(), 1u);
  EXPECT_EQ(d.Controls().front(), b.get());
  EXPECT_FALSE(d.Detection());
}

TEST(PositionDetectorProperties, LayoutByNamesInPublishedOrder) {
  TPositionDetector d(nullptr);
  const auto rejected = ApplyProperties(
      &d, {{"State", true}, {"Type", std::string("pdLOOP")}, {"Left", 40LL}, {"Top", 60LL}});
  EXPECT_TRUE(rejected.empty());
  EXPECT_EQ(d.Type(), pdLOOP);
  EXPECT_EQ(d.Picture().Name(), "LOOP_ON");
  EXPECT_EQ(d.Width(), 29);
  EXPECT_EQ(d.RefX(), 54);
  EXPECT_EQ(d.RefY(), 74);
  ApplyProperties(&d, {{"PictureON", std::string("PROXHOR_ON")}, {"Type", 99LL}});
  EXPECT_EQ(d.Picture().Name(), "PROXHOR_ON");
  EXPECT_EQ(d.Type(), pdLOOP);
  EXPECT_THROW(ApplyProperties(&d, {{"PictureOFF", std::string("LOOP_0FF")}}), EResNotFound);
}

TEST(PositionDetectorProperties, RegistersOnTheAutomationPage) {
  PositionDetector::Register();
  for (const TComponentClass& c : RegisteredComponents())
    if (c.ClassName == "TPositionDetector") {
      EXPECT_EQ(c.Page, "Automation");
      std::unique_ptr<TComponent> made(c.Create(nullptr));
      EXPECT_NE(dynamic_cast<TPositionDetector*>(made.get()), nullptr);
      return;
    }
  ADD_FAILURE() << "TPositionDetector not registered";
}

}  // namespace
