#pragma once
// Decodes the program's pictures for painting. Each picture resource is decoded once (SVG into
// a renderer, PNG into an image) and each (picture, size) pair is rendered once into a pixmap,
// so a component that flips between pictures on every state change paints cached pixmaps.
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <memory>
#include <unordered_map>

#include "framework/Picture.h"

class QSvgRenderer;

class TPictureCache {
 public:
  TPictureCache();
  ~TPictureCache();
  TPictureCache(const TPictureCache&) = delete;
  TPictureCache& operator=(const TPictureCache&) = delete;

  // The cache the canvases share.
  static TPictureCache& Shared();

  // The picture rendered at `size` device-independent pixels (its natural size when `size` is
  // empty). With `transparent`, a raster picture's bottom-left pixel colour becomes see-through,
  // as the framework's transparent images do. A picture that does not decode paints as a red
  // cross, so a broken resource is visible rather than fatal. An empty picture gives a null
  // pixmap.
  QPixmap Pixmap(const TPicture& picture, QSize size = {}, bool transparent = false,
                 qreal devicePixelRatio = 1.0);

  // How many resources have been decoded since the cache was made (or cleared).
  int DecodeCount() const { return FDecodes; }
  // How many pixmaps have been rendered.
  int RenderCount() const { return FRenders; }
  void Clear();

 private:
  struct TDecoded {
    std::unique_ptr<QSvgRenderer> Svg;
    QImage Image;
    bool Valid = false;
  };
  struct TKey {
    const TPictureResource* Resource;
    int Width, Height;
    bool Transparent;
    qreal Ratio;
    bool operator==(const TKey&) const = default;
  };
  friend size_t qHash(const TKey& k, size_t seed) {
    return qHashMulti(seed, k.Resource, k.Width, k.Height, k.Transparent, k.Ratio);
  }

  const TDecoded& Decode(const TPictureResource* r);
  QPixmap Render(const TDecoded& d, QSize size, bool transparent, qreal ratio);

  std::unordered_map<const TPictureResource*, TDecoded> FDecoded;
  QHash<TKey, QPixmap> FPixmaps;
  int FDecodes = 0;
  int FRenders = 0;
};
