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

// The simulator window's place and size: of the rectangles of the screen that touch neither the
// kept areas nor the PLC window and hold `least`, the one where a window as large as the
// rectangle allows (up to `most`) covers the least of the plant; among equals the largest, then
// the nearest. Null when no rectangle holds `least`.
QRect FreeSpaceFor(const QRect& area, const QRect& plant, const std::vector<QRect>& obstacles,
                   const QSize& least, const QSize& most, const QPoint& near) {
  std::vector<int> xs{area.left(), area.right() + 1, plant.left(), plant.right() + 1};
  std::vector<int> ys{area.top(), area.bottom() + 1, plant.top(), plant.bottom() + 1};
  for (const QRect& o : obstacles) {
    xs.insert(xs.end(), {o.left(), o.right() + 1});
    ys.insert(ys.end(), {o.top(), o.bottom() + 1});
  }
  for (std::vector<int>* v : {&xs, &ys}) {
    std::sort(v->begin(), v->end());
    v->erase(std::unique(v->begin(), v->end()), v->end());
  }
  const auto inside = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
  QRect best;
  std::int64_t bestCovered = std::numeric_limits<std::int64_t>::max();
  std::int64_t bestArea = 0;
  std::int64_t bestDistance = 0;
  for (std::size_t x1 = 0; x1 < xs.size(); ++x1) {
    if (!inside(xs[x1], area.left(), area.right())) continue;
    for (std::size_t x2 = x1 + 1; x2 < xs.size(); ++x2) {
      if (!inside(xs[x2], area.left() + 1, area.right() + 1)) continue;
      if (xs[x2] - xs[x1] < least.width()) continue;
      for (std::size_t y1 = 0; y1 < ys.size(); ++y1) {
        if (!inside(ys[y1], area.top(), area.bottom())) continue;
        for (std::size_t y2 = y1 + 1; y2 < ys.size(); ++y2) {
          if (!inside(ys[y2], area.top() + 1, area.bottom() + 1)) continue;
          if (ys[y2] - ys[y1] < least.height()) continue;
          const QRect room(QPoint(xs[x1], ys[y1]), QPoint(xs[x2] - 1, ys[y2] - 1));
          if (std::any_of(obstacles.begin(), obstacles.end(),
                          [&](const QRect& o) { return o.intersects(room); }))
            continue;
          const QSize size = most.boundedTo(room.size());
          const QRect r = Cheapest(room, size, {{plant, 1}}, near);
          const std::int64_t covered = Overlap(r, plant);
          const std::int64_t extent = static_cast<std::int64_t>(size.width()) * size.height();
          const std::int64_t d = Distance(r.topLeft(), near);
          if (covered < bestCovered || (covered == bestCovered && extent > bestArea) ||
              (covered == bestCovered && extent == bestArea && d < bestDistance)) {
            best = r;
            bestCovered = covered;
            bestArea = extent;
            bestDistance = d;
          }
        }
      }
    }
  }
  return best;
}

}  // namespace

TWindowPlacement PlaceWindows(const QRect& area, const QSize& plant, const QSize& plc,
                              const QSize& simulator, const std::vector<QRect>& keepClear,
                              const QSize& simulatorMin) {
  TWindowPlacement out;
  out.Plant = QRect(area.topLeft(), plant);
  // Covering a kept area costs more than covering the whole rest of the plant could.
  const std::int64_t kKeep = static_cast<std::int64_t>(plant.width()) * plant.height() + 1;
  std::vector<Weighted> avoid{{out.Plant, 1}};
  for (const QRect& k : keepClear) avoid.push_back({k.translated(out.Plant.topLeft()), kKeep});
  out.Plc = Cheapest(area, plc, avoid, QPoint(out.Plant.right() + 1, out.Plant.top()));
  const QPoint near(out.Plc.left(), out.Plc.bottom() + 1);
  if (!simulatorMin.isEmpty()) {
    // The PLC window stays on top: the simulator window hidden under it would be lost.
    std::vector<QRect> obstacles{out.Plc};
    for (const QRect& k : keepClear) obstacles.push_back(k.translated(out.Plant.topLeft()));
    out.Simulator = FreeSpaceFor(area, out.Plant, obstacles, simulatorMin.boundedTo(simulator),
                                 simulator, near);
    if (!out.Simulator.isNull()) return out;
  }
  avoid.push_back({out.Plc, 2 * kKeep});
  out.Simulator = Cheapest(area, simulator, avoid, near);
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
  // The simulator window asks for its size hint and takes what the screen has room for, down
  // to its minimum size.
  const QSize simSize = simulator != nullptr ? simulator->sizeHint() + frame : QSize(0, 0);
  const QSize simMin =
      simulator != nullptr && !simulator->minimumSize().isEmpty() ? simulator->minimumSize() + frame : QSize();
  const TWindowPlacement p = PlaceWindows(screen->availableGeometry(), plant.size() + frame,
                                          plcSize, simSize, keep, simMin);
  plant.move(p.Plant.topLeft());
  if (model != nullptr) {
    // The PLC window follows its model's place.
    model->SetLeft(p.Plc.left());
    model->SetTop(p.Plc.top());
  }
  // Also when the model kept its numbers: the window manager may have put the window elsewhere.
  plc.move(p.Plc.topLeft());
  if (simulator != nullptr) {
    simulator->resize(p.Simulator.size() - frame);
    simulator->move(p.Simulator.topLeft());
  }
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
