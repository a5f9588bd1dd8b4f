// What the canvas paints for each kind of control, read back pixel by pixel.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "components/Clock.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"
#include "gui/Canvas.h"
#include "gui/GuiSupport.h"
#include "gui/PictureCache.h"

namespace {

struct Painting : ::testing::Test {
  TForm form{nullptr};
  TCanvas canvas;
  void SetUp() override {
    InitGuiSupport();
    form.SetBounds(0, 0, 120, 80);
    form.SetColor(RGBColor(10, 20, 30));
    canvas.SetRoot(&form);
  }
  QImage Grab() { return canvas.grab().toImage(); }
  template <class T>
  T* Add(int l, int t, int w, int h) {
    auto* c = new T(&form);
    c->SetBounds(l, t, w, h);
    c->SetParent(&form);
    return c;
  }
  // How many pixels of a rectangle differ from a colour.
  static int Differing(const QImage& img, const QRect& r, QColor c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (img.pixelColor(x, y) != c) ++n;
    return n;
  }
};

const QColor kForm(10, 20, 30);

TEST_F(Painting, ShapeFillsWithTheBrushAndOutlinesWithThePenInsideItsBounds) {
  auto* led = Add<TShape>(10, 10, 9, 12);
  led->Brush.SetColor(clYellow);
  led->Pen.SetColor(RGBColor(100, 100, 100));
  QImage img = Grab();
  EXPECT_EQ(img.pixelColor(10, 10), QColor(100, 100, 100)) << "outline on the first pixel";
  EXPECT_EQ(img.pixelColor(18, 21), QColor(100, 100, 100)) << "and on the last one";
  EXPECT_EQ(img.pixelColor(14, 15), QColor(255, 255, 0));
  EXPECT_EQ(img.pixelColor(19, 15), kForm) << "nothing outside the bounds";
  EXPECT_EQ(img.pixelColor(9, 15), kForm);

  led->Pen.SetStyle(psClear);
  img = Grab();
  EXPECT_EQ(img.pixelColor(10, 10), QColor(255, 255, 0)) << "no pen, the fill reaches the edge";
  led->Brush.SetStyle(bsClear);
  led->Pen.SetStyle(psSolid);
  img = Grab();
  EXPECT_EQ(img.pixelColor(14, 15), kForm) << "a clear brush shows what lies below";
  EXPECT_EQ(img.pixelColor(10, 15), QColor(100, 100, 100));
}

TEST_F(Painting, CircleStaysInsideItsCentredSquare) {
  auto* dot = Add<TShape>(0, 0, 40, 20);
  dot->SetShape(stCircle);
  dot->Brush.SetColor(clRed);
  dot->Pen.SetStyle(psClear);
  const QImage img = Grab();
  EXPECT_EQ(img.pixelColor(20, 10), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(5, 10), kForm) << "left of the centred 20 x 20 square";
  EXPECT_EQ(img.pixelColor(10, 0), kForm) << "a corner of the square, outside the circle";
}

TEST_F(Painting, LaterSiblingsPaintOverEarlierOnesAndChildrenAreClippedToTheirParent) {
  auto* below = Add<TShape>(0, 0, 30, 30);
  below->Brush.SetColor(clRed);
  auto* above = Add<TShape>(10, 10, 30, 30);
  above->Brush.SetColor(clLime);
  auto* inner = new TShape(&form);
  inner->SetParent(above);
  inner->SetBounds(20, 20, 40, 40);  // reaches beyond `above`
  inner->Brush.SetColor(clBlue);
  const QImage img = Grab();
  EXPECT_EQ(img.pixelColor(15, 15), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(35, 35), QColor(0, 0, 255)) << "child at (20,20) inside its parent";
  EXPECT_EQ(img.pixelColor(45, 45), kForm) << "clipped at the parent's edge";
  above->SetVisible(false);
  EXPECT_EQ(Grab().pixelColor(35, 35), kForm) << "an invisible parent hides its children";
}

TEST_F(Painting, StaticTextOpaqueBackgroundBevelAndAlignment) {
  auto* label = Add<TStaticText>(0, 0, 60, 12);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 60, 12);
  label->SetColor(RGBColor(128, 255, 255));
  label->SetBevelKind(bkFlat);
  label->Font.SetSize(7);
  label->SetCaption("A124.0");
  const QColor cyan(128, 255, 255);
  QImage img = Grab();
  EXPECT_EQ(img.pixelColor(30, 0), QColor(128, 128, 128)) << "flat bevel";
  EXPECT_EQ(img.pixelColor(58, 2), cyan) << "opaque background inside the bevel";
  // The text keeps two pixels of air inside the bevel, so it reaches a little past the middle.
  const int left = Differing(img, QRect(1, 1, 32, 10), cyan);
  const int right = Differing(img, QRect(33, 1, 26, 10), cyan);
  EXPECT_GT(left, 10) << "left-aligned text lies in the left half";
  EXPECT_EQ(right, 0);

  label->SetAlignment(taRightJustify);
  img = Grab();
  EXPECT_EQ(Differing(img, QRect(1, 1, 25, 10), cyan), 0);
  EXPECT_GT(Differing(img, QRect(30, 1, 29, 10), cyan), 10);

  label->SetTransparent(true);
  img = Grab();
  EXPECT_EQ(img.pixelColor(3, 3), kForm) << "a transparent text shows the form";
}

// The clock's bevel: a sunk outer ring (shadow at the top and left, highlight at the bottom
// and right) with a blank ring inside it, then the digits.
TEST_F(Painting, ClockBevelIsASunkEdgeAroundABlankRing) {
  form.SetBounds(0, 0, 240, 80);
  auto* clock = new TClock(&form);
  clock->SetParent(&form);
  clock->SetBounds(4, 4, clock->Width(), clock->Height());
  const QRect r(4, 4, clock->Width(), clock->Height());
  ASSERT_GT(r.width(), 20);
  const QImage img = Grab();
  const QColor shadow(160, 160, 160), highlight(255, 255, 255), face(240, 240, 240);
  const QRect top(r.left() + 1, r.top(), r.width() - 2, 1);
  const QRect left(r.left(), r.top() + 1, 1, r.height() - 2);
  EXPECT_EQ(Differing(img, top, shadow) + Differing(img, left, shadow), 0);
  const QRect bottom(r.left() + 1, r.bottom(), r.width() - 2, 1);
  const QRect right(r.right(), r.top() + 1, 1, r.height() - 2);
  EXPECT_EQ(Differing(img, bottom, highlight) + Differing(img, right, highlight), 0);
  // The blank ring shows the text's own ground on all four sides.
  const QRect ring = r.adjusted(1, 1, -1, -1);
  for (const QRect& side : {QRect(ring.left(), ring.top(), ring.width(), 1),
                            QRect(ring.left(), ring.bottom(), ring.width(), 1),
                            QRect(ring.left(), ring.top(), 1, ring.height()),
                            QRect(ring.right(), ring.top(), 1, ring.height())})
    EXPECT_EQ(Differing(img, side, face), 0);
  EXPECT_GT(Differing(img, r.adjusted(2, 2, -2, -2), face), 20) << "the digits are drawn";
}

TEST_F(Painting, SevenPointTextIsNinePixelsAndAutoSizeUsesTheRealFont) {
  TFont font(nullptr);
  font.SetSize(7);
  EXPECT_EQ(ToQFont(font).pixelSize(), 9);
  font.SetSize(8);
  EXPECT_EQ(ToQFont(font).pixelSize(), 11);

  auto* num = Add<TStaticText>(0, 0, 1, 1);
  num->Font.SetSize(7);
  num->SetCaption("7");
  const QFontMetrics fm(ToQFont(num->Font));
  EXPECT_EQ(num->Width(), fm.horizontalAdvance("7"));
  EXPECT_EQ(num->Height(), fm.height());
  if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) {
    EXPECT_EQ(TahomaFamily(), "Tahoma");
  }
}

TEST_F(Painting, ImageStretchedOrAtNaturalSizeAndDecodedOnce) {
  TPictureCache& cache = TPictureCache::Shared();
  cache.Clear();
  const TPicture pic = TPicture::LoadFrame("RELAY_ON_AC_ON");
  auto* a = Add<TImage>(0, 0, 50, 40);
  a->SetStretch(true);
  a->SetPicture(pic);
  auto* b = Add<TImage>(60, 0, 50, 40);
  b->SetStretch(true);
  b->SetPicture(a->Picture());  // a copy of the handle
  QImage img = Grab();
  EXPECT_EQ(cache.DecodeCount(), 1);
  EXPECT_EQ(cache.RenderCount(), 1) << "same picture, same size: one pixmap";
  EXPECT_GT(Differing(img, QRect(0, 0, 50, 40), kForm), 0) << "the picture left a mark";
  // Both show the same pixels.
  EXPECT_EQ(img.copy(0, 0, 50, 40), img.copy(60, 0, 50, 40));

  b->SetStretch(false);
  Grab();
  EXPECT_EQ(cache.DecodeCount(), 1);
  EXPECT_EQ(cache.RenderCount(), 2) << "natural size is a second pixmap, not a second decode";
  const QPixmap natural = cache.Pixmap(pic);
  EXPECT_EQ(natural.size(), QSize(pic.Width(), pic.Height()));
}

TEST_F(Painting, BitmapPicturesDecodeAndTransparencyUsesTheCornerColour) {
  TPictureCache cache;
  const TPicture pic = TPicture::LoadBitmap("TSWITCH");
  const QImage opaque = cache.Pixmap(pic, {}, false).toImage();
  ASSERT_FALSE(opaque.isNull());
  EXPECT_EQ(opaque.size(), QSize(pic.Width(), pic.Height()));
  const QImage clear = cache.Pixmap(pic, {}, true).toImage();
  EXPECT_EQ(qAlpha(clear.pixel(0, clear.height() - 1)), 0);
  EXPECT_EQ(cache.DecodeCount(), 1);
}

TEST(PictureCache, ABrokenResourceRendersAPlaceholderInsteadOfFailing) {
  static const unsigned char junk[] = {'n', 'o', 't', ' ', 's', 'v', 'g'};
  static const TPictureResource broken{"FRAMES", "BROKEN", 16, 16, "svg", junk, sizeof junk};
  TPictureCache cache;
  const QPixmap pm = cache.Pixmap(TPicture(&broken));
  ASSERT_FALSE(pm.isNull());
  EXPECT_EQ(pm.toImage().pixelColor(0, 0), QColor(Qt::red));
  EXPECT_TRUE(cache.Pixmap(TPicture()).isNull());
}

}  // namespace

// An auto-sized caption with a space must show its last word: the box is measured for one
// line, so the painter must not wrap it onto a clipped second line.
TEST(PaintingText, AutoSizedCaptionsShowEveryWord) {
  InitGuiSupport();
  const char* captions[] = {"frame 0", "frame 3", "TRelay 43x54", "FC_A - Final de carrera",
                            "KM4 - Contactor velocidad lenta", "1-Semáforos", "ERROR 7"};
  int checked = 0;
  for (int size : {7, 8, 9, 10}) {
    for (bool bold : {false, true}) {
      for (const char* caption : captions) {
        TForm form{nullptr};
        form.SetBounds(0, 0, 400, 40);
        form.SetColor(clWhite);
        TCanvas canvas;
        canvas.SetRoot(&form);
        auto* label = new TStaticText(&form);
        label->SetParent(&form);
        label->Font.SetSize(size);
        label->Font.SetBold(bold);
        label->SetColor(clWhite);
        label->SetCaption(caption);
        const QImage img = canvas.grab().toImage();
        // The rightmost inked column must lie in the last word, i.e. near the right edge.
        int right = -1;
        for (int x = 0; x < label->Width(); ++x)
          for (int y = 0; y < label->Height(); ++y)
            if (img.pixelColor(x, y).lightness() < 160) right = x;
        EXPECT_GE(right, label->Width() - PointsToPixels(size))
            << caption << " at " << size << " pt" << (bold ? " bold" : "") << " shows up to x="
            << right << " of " << label->Width();
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 56);
}

TEST(PaintingColours, SystemColoursAreTheDesktopsNotTheirIndex) {
  // The clock's text colour: the system's dark-shadow grey, not RGB(21, 0, 0).
  EXPECT_EQ(ToQColor(0xFF000015u), QColor(105, 105, 105));
  EXPECT_EQ(ToQColor(0xFF00000Fu), QColor(240, 240, 240));
  EXPECT_EQ(ToQColor(RGBColor(21, 0, 0)), QColor(21, 0, 0));
}

// Bold must be seen, not only flagged: a bold caption carries clearly more ink than the same
// caption at regular weight, in the face the windows use and in the fallback.
TEST(PaintingText, BoldCaptionsCarryMoreInkThanRegularOnes) {
  InitGuiSupport();
  const auto ink = [](const QFont& f) {
    QImage img(200, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      p.setFont(f);
      p.setPen(Qt::black);
      p.drawText(4, 28, QStringLiteral("FASE ERROR PS CPU"));
    }
    long long sum = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) sum += 255 - qGray(img.pixel(x, y));
    return sum;
  };
  for (const char* family : {"Tahoma", "MS Sans Serif"}) {
    TFont font(nullptr);
    font.SetName(family);
    font.SetSize(8);
    const long long regular = ink(ToQFont(font));
    font.SetBold(true);
    const long long bold = ink(ToQFont(font));
    EXPECT_GT(bold * 100, regular * 118) << family << ": " << bold << " vs " << regular;
  }
}
