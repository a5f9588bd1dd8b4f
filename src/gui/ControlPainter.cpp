#include "gui/ControlPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"
#include "gui/GuiSupport.h"
#include "gui/PictureCache.h"

namespace {

Qt::PenStyle ToQt(TPenStyle s) {
  switch (s) {
    case psSolid: return Qt::SolidLine;
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
  }
  return Qt::SolidLine;
}

// A frame `width` pixels thick lying inside `box`.
void FillFrame(QPainter& p, const QRect& box, int width, const QColor& c) {
  const int w = std::min({width, (box.width() + 1) / 2, (box.height() + 1) / 2});
  if (w <= 0) return;
  p.fillRect(QRect(box.left(), box.top(), box.width(), w), c);
  p.fillRect(QRect(box.left(), box.bottom() - w + 1, box.width(), w), c);
  p.fillRect(QRect(box.left(), box.top() + w, w, box.height() - 2 * w), c);
  p.fillRect(QRect(box.right() - w + 1, box.top() + w, w, box.height() - 2 * w), c);
}

// A one-pixel ring: top and left in one colour, bottom and right in the other.
void EdgeRing(QPainter& p, const QRect& box, const QColor& topLeft, const QColor& bottomRight) {
  if (box.width() < 1 || box.height() < 1) return;
  p.fillRect(QRect(box.left(), box.top(), box.width(), 1), topLeft);
  p.fillRect(QRect(box.left(), box.top(), 1, box.height()), topLeft);
  p.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), bottomRight);
  p.fillRect(QRect(box.right(), box.top(), 1, box.height()), bottomRight);
}

}  // namespace

void PaintShape(QPainter& p, const TShape& shape, const QRect& r) {
  const bool pen = shape.Pen.Style() != psClear && shape.Pen.Width() > 0;
  const bool brush = shape.Brush.Style() != bsClear;
  const int pw = pen ? shape.Pen.Width() : 0;
  // The figure's box: the whole control, or its centred square for the square kinds. The
  // outline lies inside the box, as the framework draws it.
  QRect box = r;
  const TShapeType kind = shape.Shape();
  if (kind == stSquare || kind == stRoundSquare || kind == stCircle) {
    const int s = std::min(r.width(), r.height());
    box = QRect(r.left() + (r.width() - s) / 2, r.top() + (r.height() - s) / 2, s, s);
  }
  if (box.isEmpty()) return;
  const QColor penColor = ToQColor(shape.Pen.Color());
  const QColor brushColor = ToQColor(shape.Brush.Color());

  if (kind == stRectangle || kind == stSquare) {
    if (brush) {
      // Without a pen the framework's fill stops one pixel short on the right and bottom.
      const QRect fill = pen ? box : box.adjusted(0, 0, -1, -1);
      p.fillRect(fill, brushColor);
    }
    if (!pen) return;
    if (shape.Pen.Style() == psSolid || pw > 1) {
      FillFrame(p, box, pw, penColor);
    } else {
      p.save();
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setPen(QPen(penColor, 1, ToQt(shape.Pen.Style())));
      p.setBrush(Qt::NoBrush);
      p.drawRect(box.adjusted(0, 0, -1, -1));
      p.restore();
    }
    return;
  }

  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  if (pen) {
    QPen qpen(penColor, pw, ToQt(shape.Pen.Style()));
    qpen.setJoinStyle(Qt::MiterJoin);
    p.setPen(qpen);
  } else {
    p.setPen(Qt::NoPen);
  }
  p.setBrush(brush ? QBrush(brushColor) : QBrush(Qt::NoBrush));
  const qreal half = pw / 2.0;
  const QRectF inner = QRectF(box).adjusted(half, half, -half, -half);
  if (kind == stEllipse || kind == stCircle) {
    p.drawEllipse(inner);
  } else {
    const qreal radius = std::min(box.width(), box.height()) / 8.0;
    p.drawRoundedRect(inner, radius, radius);
  }
  p.restore();
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void PaintStaticText(QPainter& p, const TStaticText& text, const QRect& r) {
  if (r.isEmpty()) return;
  if (!text.Transparent()) p.fillRect(r, ToQColor(text.Color()));
  QRect inner = r;
  switch (text.BorderStyle()) {
    case sbsNone: break;
    case sbsSingle:
      FillFrame(p, inner, 1, Qt::black);
      inner.adjust(1, 1, -1, -1);
      break;
    case sbsSunken:
      p.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), QColor(128, 128, 128));
      p.fillRect(QRect(inner.left(), inner.top(), 1, inner.height()), QColor(128, 128, 128));
      p.fillRect(QRect(inner.left(), inner.bottom(), inner.width(), 1), Qt::white);
      p.fillRect(QRect(inner.right(), inner.top(), 1, inner.height()), Qt::white);
      inner.adjust(1, 1, -1, -1);
      break;
  }
  switch (text.BevelKind()) {
    case bkNone: break;
    case bkFlat:
      FillFrame(p, inner, 1, QColor(128, 128, 128));
      inner.adjust(1, 1, -1, -1);
      break;
    case bkTile:
    case bkSoft:
      for (const bool outer : {true, false}) {
        const TBevelCut cut = outer ? text.BevelOuter() : text.BevelInner();
        if (cut == bvNone) continue;
        if (cut != bvSpace) {
          // Light from the top left, as the desktop draws its 3-D edges: a sunk outer ring is
          // shadow over highlight, a raised one light over dark shadow; an inner ring goes a
          // shade deeper (dark shadow over light) or brighter (highlight over shadow).
          const bool sunk = cut == bvLowered;
          const TColor topLeft = outer ? (sunk ? 0xFF000010u : 0xFF000016u)
                                       : (sunk ? 0xFF000015u : 0xFF000014u);
          const TColor bottomRight = outer ? (sunk ? 0xFF000014u : 0xFF000015u)
                                           : (sunk ? 0xFF000016u : 0xFF000010u);
          EdgeRing(p, inner, ToQColor(topLeft), ToQColor(bottomRight));
        }
        // A blank ring only keeps the text off the edge: the ground shows through it.
        inner.adjust(1, 1, -1, -1);
      }
      break;
  }
  if (text.Caption().empty() || inner.isEmpty()) return;
  // Text inside a bevel keeps a little air from it on the side it is aligned to.
  if (text.BevelKind() != bkNone) {
    if (text.Alignment() == taLeftJustify) inner.adjust(2, 0, 0, 0);
    if (text.Alignment() == taRightJustify) inner.adjust(0, 0, -2, 0);
  }
  // An auto-sized text was measured as one line; wrapping it could push its last word out of
  // sight when the painter's metrics round differently from the measure's.
  int align = Qt::AlignTop | (text.AutoSize() ? 0 : Qt::TextWordWrap);
  switch (text.Alignment()) {
    case taLeftJustify: align |= Qt::AlignLeft; break;
    case taRightJustify: align |= Qt::AlignRight; break;
    case taCenter: align |= Qt::AlignHCenter; break;
  }
  p.save();
  p.setClipRect(inner, Qt::IntersectClip);
  p.setFont(ToQFont(text.Font));
  const QColor ink = text.Enabled() ? ToQColor(text.Font.Color()) : QColor(109, 109, 109);
  const QString caption = ToQString(text.Caption());
  // Light text on a light ground of its own (the faceplate's title) keeps both colours but
  // gets a dark halo, so that it can be read.
  if (!text.Transparent() && ContrastRatio(ink, ToQColor(text.Color())) < 3.0) {
    p.setPen(ink.lightnessF() > 0.5 ? QColor(40, 40, 40) : QColor(250, 250, 250));
    for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
      p.drawText(inner.translated(d), align, caption);
  }
  p.setPen(ink);
  p.drawText(inner, align, caption);
  p.restore();
}

void PaintImage(QPainter& p, const TImage& image, const QRect& r, TPictureCache& cache) {
  const TPicture& pic = image.Picture();
  if (pic.Empty() || r.isEmpty()) return;
  const qreal ratio = p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0;
  if (image.Stretch()) {
    p.drawPixmap(r.topLeft(), cache.Pixmap(pic, r.size(), image.Transparent(), ratio));
    return;
  }
  QPoint at = r.topLeft();
  if (image.Center())
    at += QPoint((r.width() - pic.Width()) / 2, (r.height() - pic.Height()) / 2);
  p.save();
  p.setClipRect(r, Qt::IntersectClip);
  p.drawPixmap(at, cache.Pixmap(pic, {}, image.Transparent(), ratio));
  p.restore();
}

void PaintForm(QPainter& p, const TForm& form, const QRect& r) {
  p.fillRect(r, ToQColor(form.Color()));
}

void PaintControl(QPainter& p, const TControl& control, const QRect& r, TPictureCache& cache) {
  if (const auto* s = dynamic_cast<const TShape*>(&control)) {
    PaintShape(p, *s, r);
  } else if (const auto* t = dynamic_cast<const TStaticText*>(&control)) {
    PaintStaticText(p, *t, r);
  } else if (const auto* i = dynamic_cast<const TImage*>(&control)) {
    PaintImage(p, *i, r, cache);
  } else if (const auto* f = dynamic_cast<const TForm*>(&control)) {
    PaintForm(p, *f, r);
  }
}
