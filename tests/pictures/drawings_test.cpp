// The drawings once decoded, as the windows paint them: each parses at the catalogue's size and
// draws something, the states of a device stay apart at the size the bridge window gives it,
// the bridge moves smoothly and its cam presses exactly the limit switches the bridge reports,
// and showing a picture again never decodes it again.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "gui/PictureCache.h"

namespace {

const TPictureResource& Find(std::string_view name) {
  for (const TPictureResource& r : PictureResources())
    if (r.Name == name) return r;
  throw EResNotFound(name);
}

QByteArray Bytes(const TPictureResource& r) {
  return QByteArray(reinterpret_cast<const char*>(r.Bytes), static_cast<qsizetype>(r.Size));
}

// The picture as the canvas paints it (transparent, stretched to `size`), on the window's grey.
QImage OnWindow(std::string_view name, QSize size = {}) {
  static TPictureCache cache;
  const TPictureResource& r = Find(name);
  if (size.isEmpty()) size = QSize(r.Width, r.Height);
  QImage img(size, QImage::Format_ARGB32);
  img.fill(QColor(240, 240, 240));
  QPainter p(&img);
  p.drawPixmap(0, 0, cache.Pixmap(TPicture(&r), size, true));
  return img;
}

// The picture alone, with its transparency.
QImage Alone(std::string_view name, QSize size = {}) {
  static TPictureCache cache;
  const TPictureResource& r = Find(name);
  return cache.Pixmap(TPicture(&r), size, true).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Share of pixels that differ visibly (some channel by more than 40).
double Differing(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      if (std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                    std::abs(p.blue() - q.blue())}) > 40)
        ++n;
    }
  return double(n) / (a.width() * a.height());
}

TEST(PictureDrawings, EveryVectorPictureParsesAndScalesFromItsViewBox) {
  for (const TPictureResource& r : PictureResources()) {
    if (r.Type != "FRAMES") continue;
    SCOPED_TRACE(std::string(r.Name));
    QSvgRenderer svg(Bytes(r));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.defaultSize(), QSize(r.Width, r.Height));
    EXPECT_FALSE(svg.viewBoxF().isEmpty()) << "without a viewBox the drawing would not scale";
    EXPECT_LE(r.Size, 8000u) << "keep the drawings small";
  }
}

TEST(PictureDrawings, EveryBitmapDecodesAtItsSizeAndSurvivesTransparency) {
  for (const TPictureResource& r : PictureResources()) {
    if (r.Type != "BITMAP") continue;
    SCOPED_TRACE(std::string(r.Name));
    QImage img = QImage::fromData(Bytes(r));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(r.Width, r.Height));
    EXPECT_TRUE(img.hasAlphaChannel());
    // A transparent image keys out its bottom-left colour everywhere; that colour must be the
    // ground, not part of the drawing (a few antialiased corner pixels may share it).
    img = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = img.pixel(0, img.height() - 1);
    int holes = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == key && qAlpha(key) > 0) ++holes;
    EXPECT_LE(holes, 4);
  }
}

TEST(PictureDrawings, EveryPictureDrawsSomethingInsideItsBounds) {
  for (const TPictureResource& r : PictureResources()) {
    SCOPED_TRACE(std::string(r.Name));
    const QImage img = Alone(r.Name);
    int inked = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (qAlpha(img.pixel(x, y)) > 128) ++inked;
    EXPECT_GE(double(inked) / (img.width() * img.height()), 0.03);
  }
}

TEST(PictureDrawings, StatesOfADeviceDifferAtTheSizeTheWindowsShowThem) {
  struct TGroup {
    std::vector<std::string> Names;
    QSize Size;
  };
  const TGroup groups[] = {
      {{"RELAY_OFF_AC_OFF", "RELAY_ON_AC_OFF", "RELAY_OFF_AC_ON", "RELAY_ON_AC_ON"}, {43, 54}},
      {{"VALVE_OFF_FLOW_OFF", "VALVE_ON_FLOW_OFF", "VALVE_ON_FLOW_ON"}, {45, 48}},
      {{"TERMICO_OFF", "TERMICO_ON"}, {49, 51}},
      {{"TERMICO3D_OFF", "TERMICO3D_ON"}, {38, 47}},
      {{"LIMIT_SWITCH_OFF", "LIMIT_SWITCH_ON"}, {17, 52}},
      {{"EMERGEN1_OFF", "EMERGEN1_ON"}, {93, 89}},
      {{"EMERGEN2_OFF", "EMERGEN2_ON"}, {105, 127}},
      {{"INTERRUPTOR_OFF", "INTERRUPTOR_ON"}, {40, 60}},
      {{"WHITE_OFF", "WHITE_ON"}, {40, 40}},
      {{"BLACK_OFF", "BLACK_ON"}, {40, 40}},
      {{"BLUE_OFF", "BLUE_ON"}, {36, 31}},
      {{"RED_OFF", "RED_ON"}, {40, 40}},
      {{"MOTOR_OFF", "MOTOR_ON", "MOTOR_TRIP", "MOTOR_OVERHEATED"}, {93, 62}},
      {{"BOMB_OFF", "BOMB_ON", "BOMB_TRIP", "BOMB_OVERHEATED"}, {67, 52}},
      {{"DETECTOR_OFF", "DETECTOR_ON"}, {40, 19}},
      {{"PHOTOHOR_OFF", "PHOTOHOR_ON"}, {200, 15}},
      {{"PHOTOVER_OFF", "PHOTOVER_ON"}, {15, 200}},
      {{"PROXHOR_OFF", "PROXHOR_ON"}, {38, 24}},
      {{"PROXVER_OFF", "PROXVER_ON"}, {24, 38}},
      {{"LOOP_OFF", "LOOP_ON"}, {29, 29}},
      {{"REEDHOR_OFF", "REEDHOR_ON"}, {13, 20}},
      {{"REEDVER_OFF", "REEDVER_ON"}, {20, 13}},
  };
  for (const TGroup& g : groups)
    for (std::size_t i = 0; i < g.Names.size(); ++i)
      for (std::size_t j = i + 1; j < g.Names.size(); ++j) {
        SCOPED_TRACE(g.Names[i] + " / " + g.Names[j]);
        EXPECT_GE(Differing(OnWindow(g.Names[i], g.Size), OnWindow(g.Names[j], g.Size)), 0.03);
      }
}

TEST(PictureDrawings, MotorValveOpensStepByStep) {
  // The stream in the outlet pipe (right of the gate) deepens with every position.
  int last = -1;
  for (int k = 0; k < 10; ++k) {
    const QImage img = OnWindow("MMOTORVALVE_" + std::to_string(k));
    int fluid = 0;
    for (int y = 24; y < 53; ++y)
      for (int x = 60; x < 91; ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.blue() > 180 && c.red() < 100) ++fluid;
      }
    if (k == 0) {
      EXPECT_EQ(fluid, 0) << "closed: nothing flows on";
    }
    EXPECT_GT(fluid, last) << "position " << k;
    last = fluid;
  }
}

std::vector<QImage> BridgeFrames() {
  std::vector<QImage> frames;
  for (int i = 0; i < 40; ++i) frames.push_back(Alone("FRAMES_" + std::to_string(i)));
  return frames;
}

TEST(PictureDrawings, BridgeShowsOnEachFrameTheElevationTheMeterGivesIt) {
  // The bridge model's elevation: flat on frames 0-4, 3 degrees a frame, upright from 34 on.
  const auto elevation = [](int f) { return std::clamp((f - 4) * 3, 0, 90); };
  const std::vector<QImage> frames = BridgeFrames();
  // The left leaf turns about its trunnion. Between 150 and 178 px from it, the steepest ink
  // above the road is the top of the leaf's railing, which stands 19.6 px over the deck's line:
  // about 6.8 degrees above the deck's angle.
  const double px = 78, py = 356, kRailing = std::atan2(19.6, 164.0) * 180 / M_PI;
  constexpr int kBed = 404;  // below it only the cam moves
  std::vector<int> changed;
  for (int f = 0; f < static_cast<int>(frames.size()); ++f) {
    const QImage& img = frames[static_cast<std::size_t>(f)];
    double angle = -90;
    for (int y = 0; y < 349; ++y)
      for (int x = 0; x < 258; ++x) {
        if (qAlpha(img.pixel(x, y)) <= 128) continue;
        const double dx = x + 0.5 - px, dy = py - y - 0.5, d = std::hypot(dx, dy);
        if (d >= 150 && d <= 178) angle = std::max(angle, std::atan2(dy, dx) * 180 / M_PI);
      }
    EXPECT_NEAR(angle - kRailing, elevation(f), 3.0) << "frame " << f;
    if (f == 0) continue;
    // The deck stands still exactly where the elevation does not change.
    const QImage& before = frames[static_cast<std::size_t>(f - 1)];
    int n = 0;
    for (int y = 0; y < kBed; ++y)
      for (int x = 0; x < img.width(); ++x)
        if (std::abs(qAlpha(img.pixel(x, y)) - qAlpha(before.pixel(x, y))) > 128) ++n;
    if (elevation(f) == elevation(f - 1))
      EXPECT_EQ(n, 0) << "frame " << f;
    else
      changed.push_back(n);
  }
  // Equal angle steps sweep about equal areas: no step repeated, none skipped.
  ASSERT_EQ(changed.size(), 30u);
  std::vector<int> sorted = changed;
  std::sort(sorted.begin(), sorted.end());
  const int median = sorted[sorted.size() / 2];
  for (std::size_t i = 0; i < changed.size(); ++i) {
    EXPECT_GT(changed[i], median / 2) << "step " << i;
    EXPECT_LT(changed[i], median * 8 / 5) << "step " << i;
  }
}

TEST(PictureDrawings, BridgeCamPressesExactlyTheReportedLimitSwitches) {
  // Where the bridge window puts the rollers of FC_A ... FC_D, in the bridge's coordinates,
  // and the frames on which the bridge model reports each of them.
  struct TSwitchAt {
    int X, From, To;
  };
  const TSwitchAt switches[] = {{77, 0, 4}, {125, 2, 9}, {245, 24, 30}, {285, 29, 35}};
  const int camY = 418;  // below the rail, above the rollers
  const std::vector<QImage> frames = BridgeFrames();
  for (int f = 0; f < 40; ++f)
    for (const TSwitchAt& s : switches) {
      const bool pressed = qAlpha(frames[static_cast<std::size_t>(f)].pixel(s.X, camY)) > 128;
      EXPECT_EQ(pressed, f >= s.From && f <= s.To) << "frame " << f << ", switch at " << s.X;
    }
}

TEST(PictureDrawings, ShowingAPictureAgainDecodesNothing) {
  TPictureCache cache;
  TImage shown(nullptr), other(nullptr);
  std::vector<TPicture> frames;
  for (int i = 0; i < 40; ++i) frames.push_back(TPicture::LoadFrame("FRAMES_" + std::to_string(i)));
  EXPECT_EQ(cache.DecodeCount(), 0) << "loading a picture decodes nothing";

  for (const TPicture& f : frames) {
    shown.SetPicture(f);
    cache.Pixmap(shown.Picture(), {517, 517});
  }
  EXPECT_EQ(cache.DecodeCount(), 40);
  EXPECT_EQ(cache.RenderCount(), 40);

  // Running the animation again, and copying pictures between images, only copies handles.
  for (int round = 0; round < 3; ++round)
    for (const TPicture& f : frames) {
      shown.SetPicture(f);
      other.SetPicture(shown.Picture());
      cache.Pixmap(other.Picture(), {517, 517});
    }
  EXPECT_EQ(cache.DecodeCount(), 40);
  EXPECT_EQ(cache.RenderCount(), 40);
  EXPECT_EQ(other.Picture(), frames.back());

  // A new size renders again from the decoded drawing, without decoding it again.
  cache.Pixmap(frames[0], {258, 258});
  EXPECT_EQ(cache.DecodeCount(), 40);
  EXPECT_EQ(cache.RenderCount(), 41);
}

}  // namespace
