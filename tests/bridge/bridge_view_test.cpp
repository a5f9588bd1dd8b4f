// The bridge as the canvas paints it. Set TORVANE_BRIDGE_STRIP to a file name to keep the strip
// of deck positions this test renders (the project's docs/bridge-frames.png comes from it).
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstdlib>
#include <string>

#include "bridge/BridgeCode.h"
#include "framework/Form.h"
#include "framework/StaticText.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"
#include "tick_driver.h"

namespace {

constexpr int kSide = 258;  // half the pictures' natural size
constexpr int kGap = 8;

// How many pixels of two same-sized areas differ.
int Differing(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

// Five bridges side by side, each at one deck position, captioned with its frame number.
struct Strip : ::testing::Test {
  static constexpr std::array<int, 5> kFrames{0, 10, 20, 30, 39};
  TForm form{nullptr};
  std::array<TBridge*, 5> bridges{};
  TCanvas canvas;

  void SetUp() override {
    InitGuiSupport();
    form.SetColor(clWhite);
    form.SetBounds(0, 0, kGap + 5 * (kSide + kGap), kSide + 2 * kGap + 20);
    for (std::size_t i = 0; i < kFrames.size(); ++i) {
      const int left = kGap + static_cast<int>(i) * (kSide + kGap);
      auto* b = new TBridge(&form);
      b->SetParent(&form);
      b->SetBounds(left, kGap, kSide, kSide);
      b->SetFrame(kFrames[i]);
      bridges[i] = b;
      auto* caption = new TStaticText(&form);
      caption->SetParent(&form);
      caption->SetAutoSize(false);
      caption->SetAlignment(taCenter);
      caption->SetColor(clWhite);
      caption->SetBounds(left, kGap + kSide + 4, kSide, 16);
      caption->SetCaption("frame " + std::to_string(kFrames[i]));
    }
    canvas.SetRoot(&form);
  }
  QImage Grab() { return canvas.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QImage Cell(const QImage& img, std::size_t i) const {
    return img.copy(canvas.ControlRect(bridges[i]));
  }
};

TEST_F(Strip, EachDeckPositionLooksDifferentAndTheViewFollowsTheModel) {
  const QImage strip = Grab();
  ASSERT_EQ(strip.size(), QSize(form.Width(), form.Height()));
  if (const char* out = std::getenv("TORVANE_BRIDGE_STRIP"); out != nullptr && *out != '\0') {
    ASSERT_TRUE(strip.save(QString::fromLocal8Bit(out))) << out;
  }

  // Every cell shows a picture (not the white form), and neighbouring positions differ visibly.
  for (std::size_t i = 0; i < kFrames.size(); ++i) {
    const QImage cell = Cell(strip, i);
    QImage blank(cell.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_GT(Differing(cell, blank), kSide * kSide / 10) << "frame " << kFrames[i];
    if (i > 0) {
      EXPECT_GT(Differing(cell, Cell(strip, i - 1)), 500) << "frame " << kFrames[i];
    }
  }

  // Raising the first deck on its own timer until it stops makes it paint like the last one.
  TickDriver drive(*bridges[0]);
  bridges[0]->SetSimTimer(&drive.timer);
  bridges[0]->SetTripTime(2000);  // one frame a tick
  bridges[0]->Continue();
  drive.RunUntilStopped(100);
  ASSERT_EQ(bridges[0]->FrameNumber(), 39);
  const QImage raised = Grab();
  EXPECT_EQ(Differing(Cell(raised, 0), Cell(strip, 4)), 0);
  // And back down by frame number alone.
  bridges[0]->SetFrame(0);
  EXPECT_EQ(Differing(Cell(Grab(), 0), Cell(strip, 0)), 0);
}

}  // namespace
