#pragma once
// Paints one control model of each kind into a rectangle of a QPainter. The canvas calls these
// for every visible control of its tree; they hold no state of their own.
#include <QRect>

class QColor;
class QPainter;
class TControl;
class TShape;
class TStaticText;
class TImage;
class TForm;
class TPictureCache;

// The contrast of two colours as the accessibility guidelines measure it: 1 (none) to 21.
double ContrastRatio(const QColor& a, const QColor& b);

void PaintShape(QPainter& p, const TShape& shape, const QRect& r);
void PaintStaticText(QPainter& p, const TStaticText& text, const QRect& r);
void PaintImage(QPainter& p, const TImage& image, const QRect& r, TPictureCache& cache);
void PaintForm(QPainter& p, const TForm& form, const QRect& r);
// Picks the painter by the control's kind; controls of other kinds paint nothing.
void PaintControl(QPainter& p, const TControl& control, const QRect& r, TPictureCache& cache);
