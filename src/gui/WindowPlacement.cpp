#include "gui/WindowPlacement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "gui/MainWindow.h"
#include "gui/PLCWindow.h"
#include "plc/PLCFormSource.h"

namespace {

std::int64_t Overlap(const QRect& a, const QRect& b) {
  const QRect i = a.intersected(b);
  return i.isEmpty() ? 0 : static_cast<std::int64_t>(i.width()) * i.height();
}

std::int64_t Distance(const QPoint& a, const QPoint& b) {
  return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

struct Weighted {
  QRect rect;
  std::int64_t weight;
};

// The position inside `area` where a window of `size` covers the least weighted area; among
// equals, the one nearest `near`. A window larger than the area goes to its top-left corner.
QRect Cheapest(const QRect& area, const QSize& size, const std::vector<Weighted>& avoid,
               const QPoint& near) {
  const int maxX = area.right() - size.width() + 1;
  const int maxY = area.bottom() - size.height() + 1;
  if (maxX < area.left() || maxY < area.top()) return QRect(area.topLeft(), size);
  constexpr int kStep = 4;
  std::vector<int> xs;
  std::vector<int> ys;
  for (int x = area.left(); x < maxX; x += kStep) xs.push_back(x);
  xs.push_back(maxX);
  for (int y = area.top(); y < maxY; y += kStep) ys.push_back(y);
  ys.push_back(maxY);
  QRect best;
  std::int64_t bestCost = std::numeric_limits<std::int64_t>::max();
  std::int64_t bestDistance = 0;
  for (int y : ys)
    for (int x : xs) {
      const QRect r(QPoint(x, y), size);
      std::int64_t cost = 0;
      for (const Weighted& w : avoid) cost += w.weight * Overlap(r, w.rect);
      const std::int64_t d = Distance(r.topLeft(), near);
      if (cost < bestCost || (cost == bestCost && d < bestDistance)) {
        best = r;
        bestCost = cost;
        bestDistance = d;
      }
    }
  return best;
}

}  // namespace

TWindowPlacement PlaceWindows(const QRect& area, const QSize& plant, const QSize& plc,
                              const QSize& simulator, const std::vector<QRect>& keepClear) {
  TWindowPlacement out;
  out.Plant = QRect(area.topLeft(), plant);
  // Covering a kept area costs more than covering the whole rest of the plant could.
  const std::int64_t kKeep = static_cast<std::int64_t>(plant.width()) * plant.height() + 1;
  std::vector<Weighted> avoid{{out.Plant, 1}};
  for (const QRect& k : keepClear) avoid.push_back({k.translated(out.Plant.topLeft()), kKeep});
  out.Plc = Cheapest(area, plc, avoid, QPoint(out.Plant.right() + 1, out.Plant.top()));
  // The PLC window stays on top: the simulator window hidden under it would be lost.
  avoid.push_back({out.Plc, 2 * kKeep});
  out.Simulator = Cheapest(area, simulator, avoid, QPoint(out.Plc.left(), out.Plc.bottom() + 1));
  return out;
}

namespace {

// Places the three windows from their present frames (the plant window's frame standing in
// for the others' until they have their own).
void Arrange(TMainWindow& plant, TPLCWindow& plc, QWidget* simulator) {
  QScreen* screen = plant.screen() != nullptr ? plant.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize frame = plant.frameGeometry().size() - plant.geometry().size();
  const QPoint inset = plant.geometry().topLeft() - plant.frameGeometry().topLeft();
  std::vector<QRect> keep;
  for (const QRect& r : plant.KeepClear()) keep.push_back(r.translated(inset));
  TPLC* model = plc.Model();
  const QSize plcSize =
      model != nullptr ? QSize(model->Width(), model->Height()) + frame : plc.size() + frame;
  const QSize simSize = simulator != nullptr ? simulator->size() + frame : QSize(0, 0);
  const TWindowPlacement p = PlaceWindows(screen->availableGeometry(), plant.size() + frame,
                                          plcSize, simSize, keep);
  plant.move(p.Plant.topLeft());
  if (model != nullptr) {
    // The PLC window follows its model's place.
    model->SetLeft(p.Plc.left());
    model->SetTop(p.Plc.top());
  }
  // Also when the model kept its numbers: the window manager may have put the window elsewhere.
  plc.move(p.Plc.topLeft());
  if (simulator != nullptr) simulator->move(p.Simulator.topLeft());
}

}  // namespace

void ShowPlantWindows(TMainWindow& plant, TPLCWindow& plc, QWidget* simulator) {
  plant.SetCompanions(&plc, simulator);
  // Placed before they are mapped, so that the window manager takes the places as asked; then
  // again once the plant window has its frame, which only the window manager knows.
  Arrange(plant, plc, simulator);
  plant.show();
  QElapsedTimer waited;
  waited.start();
  while (plant.frameGeometry() == plant.geometry() && waited.elapsed() < 300)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  Arrange(plant, plc, simulator);
  if (simulator != nullptr && simulator->isVisible()) simulator->raise();
  if (plc.isVisible()) plc.raise();
}
