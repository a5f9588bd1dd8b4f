#pragma once
// A widget that shows a tree of control models. The root (usually a TForm) fills the widget
// from (0, 0); every other control is painted at its bounds inside its parent, clipped to the
// parent, later children over earlier ones. The canvas watches every control of the tree:
// a change repaints that control's old and new area (Qt merges the requests, so a burst of
// changes inside one tick costs one paint). Mouse presses and releases go to the topmost
// enabled control under the cursor in that control's coordinates, hints show as tooltips, and a
// right-click opens the control's popup menu as a real menu.
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <unordered_map>
#include <unordered_set>

#include "framework/Control.h"

class TPictureCache;
class TPopupMenu;

class TCanvas : public QWidget, public TControlObserver {
  Q_OBJECT

 public:
  explicit TCanvas(QWidget* parent = nullptr);
  ~TCanvas() override;

  // Shows the tree under `root` (null shows nothing). The canvas takes the root's size.
  void SetRoot(TControl* root);
  TControl* Root() const { return FRoot; }

  // The topmost visible control at `p` (canvas coordinates); with `forMouse` disabled controls
  // are passed over, as they do not take the mouse. The root when nothing else is there; null
  // outside the root.
  TControl* ControlAt(const QPoint& p, bool forMouse) const;
  // Where the control lies in canvas coordinates (not clipped).
  QRect ControlRect(const TControl* c) const;
  // The menu opened by the last right-click while it is open.
  QMenu* OpenMenu() const { return FOpenMenu; }
  // How many times the canvas has painted (for tests of repaint coalescing).
  int PaintCount() const { return FPaints; }

  QSize sizeHint() const override;

  // TControlObserver
  void ControlChanged(TControl* control) override;
  void ControlDestroyed(TControl* control) override;
  void ChildrenChanged(TControl* control) override;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void Resync();
  void Observe(TControl* c, std::unordered_set<TControl*>& seen);
  void Unobserve(TControl* c);
  void Forget(TControl* c);
  bool InTree(const TControl* c) const;
  void PaintTree(QPainter& p, const TControl* c, const QRect& r, const QRect& clip,
                 const QRect& dirty);
  TControl* HitChild(const TControl* c, const QPoint& origin, const QPoint& p,
                     bool forMouse) const;
  void DeliverMenuChoice(TPopupMenu* menu, TControl* on, QObject* action);

  TControl* FRoot = nullptr;
  std::unordered_set<TControl*> FObserved;
  std::unordered_map<const TControl*, QRect> FLastRect;
  TControl* FPressed = nullptr;
  TControl* FMenuControl = nullptr;
  QPointer<QMenu> FOpenMenu;
  TPictureCache* FCache;
  int FPaints = 0;
};
