#pragma once
// Where the plant's windows go on a screen: the plant window first, then the PLC window in the
// free space beside it, then the simulator window, sized to the free space it finds. On a
// screen too small for all of them, the PLC window may cover the plant, but never the parts a
// user must see to follow the program (the operator panel and the traffic lights): those are
// given as areas to keep clear. The simulator window covers neither them nor the PLC window:
// it shrinks towards its minimum size instead, and covers as little of the plant as it can.
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;
class TMainWindow;
class TPLCWindow;

struct TWindowPlacement {
  QRect Plant;
  QRect Plc;
  QRect Simulator;
};

// All rectangles are outer (frame) rectangles in screen coordinates; keepClear is relative to
// the plant window's outer top-left corner. Every window lies wholly inside `area` when it fits.
// The simulator window gets at most `simulator` and, where the screen allows, at least
// `simulatorMin` (an empty minimum means the size is fixed).
TWindowPlacement PlaceWindows(const QRect& area, const QSize& plant, const QSize& plc,
                              const QSize& simulator, const std::vector<QRect>& keepClear,
                              const QSize& simulatorMin = QSize());

// Shows the plant window, places it and its companions on the plant window's screen, links
// them to the plant window's menu and brings the PLC and simulator windows to the front.
void ShowPlantWindows(TMainWindow& plant, TPLCWindow& plc, QWidget* simulator);
