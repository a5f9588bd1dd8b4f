#include "gui/GuiSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <QGuiApplication>

#include "plc/PlcTexts.h"

namespace {

QString gTahoma;

void QtMeasure(const TFont& font, const std::string& text, int& width, int& height) {
  // Fractional metrics rounded up, so the measured box never cuts the text it was made for.
  const QFontMetricsF fm(ToQFont(font));
  width = static_cast<int>(std::ceil(fm.horizontalAdvance(ToQString(text))));
  height = static_cast<int>(std::ceil(fm.height()));
}

QString LoadFamily(const QString& path) {
  if (!QFile::exists(path)) return {};
  const int id = QFontDatabase::addApplicationFont(path);
  if (id < 0) return {};
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  return families.isEmpty() ? QString() : families.first();
}

// The PLC side's messages go through the catalogues loaded into the application.
std::string QtTranslate(const char* context, const char* source) {
  return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace

void InitGuiSupport() {
  static bool done = false;
  if (done) return;
  done = true;
  // Debian's fonts-wine ships a free Tahoma; the layouts were measured with Tahoma, and the
  // wider DejaVu Sans clips some captions, so it is only the fallback.
  const QString dir = QStringLiteral("/usr/share/wine/fonts/");
  gTahoma = LoadFamily(dir + QStringLiteral("tahoma.ttf"));
  // Its bold face is not loaded: it carries no more ink than the regular one, so bold captions
  // looked regular. Without it the font engine emboldens the regular face, which reads as bold.
  if (gTahoma.isEmpty()) {
    gTahoma = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitution(QStringLiteral("Tahoma"), gTahoma);
  }
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), gTahoma);
  SetTextMeasure(&QtMeasure);
  SetTextTranslator(&QtTranslate);
}

QString TahomaFamily() { return gTahoma.isEmpty() ? QStringLiteral("DejaVu Sans") : gTahoma; }

QColor ToQColor(TColor c) {
  // A colour with the system flag in its high byte names a system colour by its index in the
  // low byte; these are the desktop's usual values for the ones the plant uses.
  if ((c & 0xFF000000u) == 0xFF000000u) {
    switch (c & 0xFFu) {
      case 5: return QColor(255, 255, 255);   // window
      case 8: return QColor(0, 0, 0);         // window text
      case 15: return QColor(240, 240, 240);  // button face
      case 16: return QColor(160, 160, 160);  // button shadow
      case 18: return QColor(0, 0, 0);        // button text
      case 20: return QColor(255, 255, 255);  // button highlight
      case 21: return QColor(105, 105, 105);  // 3-D dark shadow
      case 22: return QColor(227, 227, 227);  // 3-D light
      default: return QColor(0, 0, 0);
    }
  }
  return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)),
                static_cast<int>(BlueOf(c)));
}

QString ToQString(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

QFont ToQFont(const TFont& font) {
  QString family = ToQString(font.Name());
  if (family == QStringLiteral("Tahoma") || family.isEmpty()) family = TahomaFamily();
  QFont f(family);
  f.setPixelSize(PointsToPixels(font.Size() > 0 ? font.Size() : 8));
  f.setBold(font.Bold());
  return f;
}
