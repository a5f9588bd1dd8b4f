#include "gui/GuiSupport.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <QGuiApplication>

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

}  // namespace

void InitGuiSupport() {
  static bool done = false;
  if (done) return;
  done = true;
  // Debian's fonts-wine ships a free Tahoma; the layouts were measured with Tahoma, and the
  // wider DejaVu Sans clips some captions, so it is only the fallback.
  const QString dir = QStringLiteral("/usr/share/wine/fonts/");
  gTahoma = LoadFamily(dir + QStringLiteral("tahoma.ttf"));
  LoadFamily(dir + QStringLiteral("tahomabd.ttf"));
  if (gTahoma.isEmpty()) {
    gTahoma = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitution(QStringLiteral("Tahoma"), gTahoma);
  }
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), gTahoma);
  SetTextMeasure(&QtMeasure);
}

QString TahomaFamily() { return gTahoma.isEmpty() ? QStringLiteral("DejaVu Sans") : gTahoma; }

QColor ToQColor(TColor c) {
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
