#include <gtest/gtest.h>

#include <string>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "framework/StaticText.h"

namespace {

// A measurer with round numbers: 5 px per character, height = size in points.
void FixedMeasure(const TFont& font, const std::string& text, int& w, int& h) {
  w = 5 * static_cast<int>(text.size());
  h = font.Size();
}

struct WithFixedMeasure : ::testing::Test {
  void SetUp() override { SetTextMeasure(&FixedMeasure); }
  void TearDown() override { SetTextMeasure(nullptr); }
};

TEST_F(WithFixedMeasure, AutoSizeFollowsCaptionFontAndFrame) {
  TStaticText t(nullptr);
  t.SetLeft(10);
  t.SetCaption("7");
  EXPECT_EQ(t.BoundsRect(), (TRect{10, 0, 15, 8}));
  t.Font.SetSize(7);
  EXPECT_EQ(t.Height(), 7);
  t.SetBevelKind(bkFlat);
  EXPECT_EQ(t.Width(), 7) << "one pixel of bevel on each side";
  t.SetAutoSize(false);
  t.SetBounds(10, 0, 60, 12);
  t.SetCaption("E124.0 long caption");
  EXPECT_EQ(t.Width(), 60) << "a fixed-size text keeps its size";
}

TEST(StaticText, WithoutAMeasurerTheEstimateStillGrowsWithTheText) {
  TStaticText t(nullptr);
  t.SetCaption("A");
  const int one = t.Width();
  t.SetCaption("AAAA");
  EXPECT_GT(t.Width(), one);
  EXPECT_GT(t.Height(), 0);
}

TEST(Picture, UnknownNameRaisesTheLoaderMessage) {
  try {
    (void)TPicture::Load("FRAMES", "NO_SUCH_PICTURE");
    FAIL() << "no exception";
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NO_SUCH_PICTURE not found");
  }
  EXPECT_THROW((void)TPicture::LoadBitmap("RELAY_ON_AC_ON"), EResNotFound) << "type matters";
}

TEST(Image, AutoSizeTakesTheNaturalSizeAndCopiesShareTheResource) {
  const TPicture relay = TPicture::LoadFrame("RELAY_ON_AC_ON");
  ASSERT_GT(relay.Width(), 0);
  TImage img(nullptr);
  img.SetAutoSize(true);
  img.SetPicture(relay);
  EXPECT_EQ(img.Width(), relay.Width());
  EXPECT_EQ(img.Height(), relay.Height());
  const TPicture copy = img.Picture();
  EXPECT_EQ(copy.Resource(), relay.Resource());
  img.SetAutoSize(false);
  img.SetBounds(0, 0, 10, 10);
  img.SetPicture(TPicture::LoadBitmap("TSWITCH"));
  EXPECT_EQ(img.Width(), 10);
}

}  // namespace

namespace {

TEST_F(WithFixedMeasure, ChangingTheFontNameOrBoldnessResizesAnAutoSizedText) {
  TStaticText t(nullptr);
  t.SetCaption("ab");
  int changes = 0;
  struct Counter : TControlObserver {
    int* n;
    explicit Counter(int* c) : n(c) {}
    void ControlChanged(TControl*) override { ++*n; }
    void ControlDestroyed(TControl*) override {}
  } counter(&changes);
  t.AddObserver(&counter);
  t.Font.SetName("Arial");
  t.Font.SetBold(true);
  t.Font.SetColor(clRed);
  EXPECT_GE(changes, 3);
  t.RemoveObserver(&counter);
  // A font without an owner (as views build them) can be changed freely.
  TFont loose(nullptr);
  loose.SetSize(7);
  loose.SetName("Tahoma");
  loose.SetBold(true);
  EXPECT_EQ(loose.Size(), 7);
}

}  // namespace
