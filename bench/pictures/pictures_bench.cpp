// What the bridge's pictures cost: decoding the 40 frames when the program starts, and showing
// one frame when the deck moves (a handle copy into the image model, then a cached paint).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <string>
#include <vector>

#include "framework/Image.h"
#include "framework/Picture.h"
#include "gui/PictureCache.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "bench_pictures";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
  }
}

std::vector<TPicture> BridgeFrames() {
  std::vector<TPicture> frames;
  for (int i = 0; i < 40; ++i) frames.push_back(TPicture::LoadFrame("FRAMES_" + std::to_string(i)));
  return frames;
}

// Parsing the 40 drawings, as a fresh cache does on first use.
void BM_ParseBridgeFrames(benchmark::State& state) {
  EnsureApp();
  const std::vector<TPicture> frames = BridgeFrames();
  for (auto _ : state) {
    for (const TPicture& f : frames) {
      const TPictureResource* r = f.Resource();
      QSvgRenderer svg(QByteArray::fromRawData(reinterpret_cast<const char*>(r->Bytes),
                                               static_cast<qsizetype>(r->Size)));
      benchmark::DoNotOptimize(svg.isValid());
    }
  }
}
BENCHMARK(BM_ParseBridgeFrames)->Unit(benchmark::kMillisecond);

// Decoding and rendering all 40 frames at the bridge's size: everything start-up needs so that
// every later frame change only paints a cached pixmap.
void BM_DecodeAndRenderBridgeFrames(benchmark::State& state) {
  EnsureApp();
  const std::vector<TPicture> frames = BridgeFrames();
  for (auto _ : state) {
    TPictureCache cache;
    for (const TPicture& f : frames) benchmark::DoNotOptimize(cache.Pixmap(f, {517, 517}));
  }
}
BENCHMARK(BM_DecodeAndRenderBridgeFrames)->Unit(benchmark::kMillisecond);

// Showing a frame in the model: the animation copies the picture into its image.
void BM_ShowFrame(benchmark::State& state) {
  const std::vector<TPicture> frames = BridgeFrames();
  TImage image(nullptr);
  std::size_t i = 0;
  for (auto _ : state) {
    image.SetPicture(frames[i]);
    i = (i + 1) % frames.size();
    benchmark::DoNotOptimize(image.Picture().Resource());
  }
}
BENCHMARK(BM_ShowFrame)->Unit(benchmark::kNanosecond);

// Painting the shown frame from the cache, as the view does after the change.
void BM_PaintCachedFrame(benchmark::State& state) {
  EnsureApp();
  const std::vector<TPicture> frames = BridgeFrames();
  TPictureCache cache;
  for (const TPicture& f : frames) cache.Pixmap(f, {517, 517});
  QImage target(517, 517, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&target);
  std::size_t i = 0;
  for (auto _ : state) {
    painter.drawPixmap(0, 0, cache.Pixmap(frames[i], {517, 517}));
    i = (i + 1) % frames.size();
  }
  if (cache.DecodeCount() != 40) state.SkipWithError("a cached frame was decoded again");
}
BENCHMARK(BM_PaintCachedFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
