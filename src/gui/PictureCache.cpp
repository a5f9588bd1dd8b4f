#include "gui/PictureCache.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace {
// Enough for every picture of a plant at a few sizes; beyond it the pixmaps are dropped and
// re-rendered on demand (the decoded resources stay).
constexpr qsizetype kMaxPixmaps = 2048;
}  // namespace

TPictureCache::TPictureCache() = default;
TPictureCache::~TPictureCache() = default;

TPictureCache& TPictureCache::Shared() {
  static TPictureCache cache;
  static const bool hooked = [] {
    // Pixmaps must not outlive the application object; empty the cache when it goes.
    qAddPostRoutine([] { TPictureCache::Shared().Clear(); });
    return true;
  }();
  (void)hooked;
  return cache;
}

void TPictureCache::Clear() {
  FPixmaps.clear();
  FDecoded.clear();
  FDecodes = 0;
  FRenders = 0;
}

const TPictureCache::TDecoded& TPictureCache::Decode(const TPictureResource* r) {
  auto it = FDecoded.find(r);
  if (it != FDecoded.end()) return it->second;
  ++FDecodes;
  TDecoded d;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(r->Bytes),
                                                   static_cast<qsizetype>(r->Size));
  if (r->Format == "svg") {
    d.Svg = std::make_unique<QSvgRenderer>(bytes);
    d.Valid = d.Svg->isValid();
  } else {
    d.Image = QImage::fromData(bytes);
    d.Valid = !d.Image.isNull();
  }
  return FDecoded.emplace(r, std::move(d)).first->second;
}

QPixmap TPictureCache::Render(const TDecoded& d, QSize size,
                              bool transparent, qreal ratio) {
  ++FRenders;
  const QSize device(qMax(1, qRound(size.width() * ratio)), qMax(1, qRound(size.height() * ratio)));
  QPixmap pm;
  if (!d.Valid) {
    pm = QPixmap(device);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(0, 0, device.width() - 1, device.height() - 1);
    p.drawLine(0, device.height() - 1, device.width() - 1, 0);
  } else if (d.Svg) {
    pm = QPixmap(device);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    d.Svg->render(&p, QRectF(0, 0, device.width(), device.height()));
  } else {
    QImage img = d.Image.convertToFormat(QImage::Format_ARGB32);
    if (transparent && !img.isNull()) {
      const QRgb key = img.pixel(0, img.height() - 1);
      for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
          if (line[x] == key) line[x] = qRgba(0, 0, 0, 0);
      }
    }
    if (img.size() != device)
      img = img.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pm = QPixmap::fromImage(img);
  }
  pm.setDevicePixelRatio(ratio);
  return pm;
}

QPixmap TPictureCache::Pixmap(const TPicture& picture, QSize size, bool transparent,
                              qreal devicePixelRatio) {
  const TPictureResource* r = picture.Resource();
  if (r == nullptr) return {};
  if (size.isEmpty()) size = QSize(r->Width, r->Height);
  if (size.isEmpty()) return {};
  if (r->Format == "svg") transparent = false;  // vector pictures carry their own transparency
  const TKey key{r, size.width(), size.height(), transparent, devicePixelRatio};
  auto it = FPixmaps.constFind(key);
  if (it != FPixmaps.constEnd()) return *it;
  const TDecoded& d = Decode(r);
  if (FPixmaps.size() >= kMaxPixmaps) FPixmaps.clear();
  QPixmap pm = Render(d, size, transparent, devicePixelRatio);
  FPixmaps.insert(key, pm);
  return pm;
}
