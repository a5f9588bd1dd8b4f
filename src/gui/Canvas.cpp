#include "gui/Canvas.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "framework/Menus.h"
#include "gui/ControlPainter.h"
#include "gui/GuiSupport.h"
#include "gui/PictureCache.h"

namespace {

TMouseButton ToButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
  }
}

TShiftState ToShift(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

QRect BoundsOf(const TControl* c) { return QRect(c->Left(), c->Top(), c->Width(), c->Height()); }

}  // namespace

TCanvas::TCanvas(QWidget* parent) : QWidget(parent), FCache(&TPictureCache::Shared()) {
  InitGuiSupport();
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
}

TCanvas::~TCanvas() {
  if (FOpenMenu) delete FOpenMenu;
  for (TControl* c : FObserved) c->RemoveObserver(this);
}

void TCanvas::SetRoot(TControl* root) {
  if (root == FRoot) return;
  if (FOpenMenu) FOpenMenu->close();
  FRoot = root;
  FPressed = nullptr;
  Resync();
  if (FRoot != nullptr) resize(FRoot->Width(), FRoot->Height());
  updateGeometry();
  update();
}

QSize TCanvas::sizeHint() const {
  return FRoot != nullptr ? QSize(FRoot->Width(), FRoot->Height()) : QSize(100, 100);
}

void TCanvas::Observe(TControl* c, std::unordered_set<TControl*>& seen) {
  if (!seen.insert(c).second) return;
  if (FObserved.insert(c).second) c->AddObserver(this);
  FLastRect[c] = ControlRect(c);
  for (TControl* child : c->Children()) Observe(child, seen);
}

void TCanvas::Unobserve(TControl* c) {
  c->RemoveObserver(this);
  FObserved.erase(c);
  Forget(c);
}

// A control that leaves the tree (or is destroyed) no longer takes mouse events or menu
// choices; its area is repainted without it.
void TCanvas::Forget(TControl* c) {
  const auto it = FLastRect.find(c);
  if (it != FLastRect.end()) {
    update(it->second);
    FLastRect.erase(it);
  }
  if (c == FPressed) FPressed = nullptr;
  if (c == FMenuControl) {
    FMenuControl = nullptr;
    if (FOpenMenu) FOpenMenu->close();
  }
}

// Brings the watched set in line with the tree: new controls are watched, controls that left
// the tree are let go.
void TCanvas::Resync() {
  std::unordered_set<TControl*> seen;
  if (FRoot != nullptr) Observe(FRoot, seen);
  std::vector<TControl*> stale;
  for (TControl* c : FObserved)
    if (seen.count(c) == 0) stale.push_back(c);
  for (TControl* c : stale) Unobserve(c);
}

bool TCanvas::InTree(const TControl* c) const {
  for (const TControl* p = c; p != nullptr; p = p->Parent())
    if (p == FRoot) return true;
  return false;
}

QRect TCanvas::ControlRect(const TControl* c) const {
  if (c == nullptr || c == FRoot) return FRoot ? QRect(0, 0, FRoot->Width(), FRoot->Height()) : QRect();
  QRect r = BoundsOf(c);
  for (const TControl* p = c->Parent(); p != nullptr && p != FRoot; p = p->Parent())
    r.translate(p->Left(), p->Top());
  return r;
}

void TCanvas::ControlChanged(TControl* control) {
  if (control == FRoot) {
    if (size() != QSize(FRoot->Width(), FRoot->Height())) {
      resize(FRoot->Width(), FRoot->Height());
      updateGeometry();
    }
    update();
    return;
  }
  const QRect now = ControlRect(control);
  QRect& last = FLastRect[control];
  const QRect dirty = last | now;
  last = now;
  if (InTree(control)) update(dirty);
}

void TCanvas::ControlDestroyed(TControl* control) {
  FObserved.erase(control);
  Forget(control);
  if (control == FRoot) {
    FRoot = nullptr;
    update();
  }
}

void TCanvas::ChildrenChanged(TControl* control) {
  (void)control;
  Resync();
  update();
}

void TCanvas::PaintTree(QPainter& p, const TControl* c, const QRect& r, const QRect& clip,
                        const QRect& dirty) {
  const QRect visible = r & clip;
  if (visible.isEmpty() || !visible.intersects(dirty)) return;
  p.save();
  p.setClipRect(visible);
  PaintControl(p, *c, r, *FCache);
  for (const TControl* child : c->Children()) {
    if (!child->Visible()) continue;
    PaintTree(p, child, BoundsOf(child).translated(r.topLeft()), visible, dirty);
  }
  p.restore();
}

void TCanvas::paintEvent(QPaintEvent* e) {
  ++FPaints;
  QPainter p(this);
  p.fillRect(e->rect(), ToQColor(clBtnFace));
  if (FRoot == nullptr) return;
  const QRect rootRect(0, 0, FRoot->Width(), FRoot->Height());
  PaintTree(p, FRoot, rootRect, rootRect, e->rect());
}

TControl* TCanvas::HitChild(const TControl* c, const QPoint& origin, const QPoint& p,
                            bool forMouse) const {
  const auto& kids = c->Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    TControl* child = *it;
    if (!child->Visible() || (forMouse && !child->Enabled())) continue;
    const QRect r = BoundsOf(child).translated(origin);
    if (!r.contains(p)) continue;
    if (TControl* deeper = HitChild(child, r.topLeft(), p, forMouse)) return deeper;
    return child;
  }
  return nullptr;
}

TControl* TCanvas::ControlAt(const QPoint& p, bool forMouse) const {
  if (FRoot == nullptr || !QRect(0, 0, FRoot->Width(), FRoot->Height()).contains(p)) return nullptr;
  if (TControl* hit = HitChild(FRoot, QPoint(0, 0), p, forMouse)) return hit;
  return FRoot;
}

bool TCanvas::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const TControl* c = ControlAt(help->pos(), false);
    if (c != nullptr && c->HasTooltip())
      QToolTip::showText(help->globalPos(), ToQString(c->Hint()), this, ControlRect(c));
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}

void TCanvas::mousePressEvent(QMouseEvent* e) {
  // While another button is held, the control that took the first press keeps the mouse: the
  // new button's press and release go to it too, so no other control is pressed behind its
  // back and every press it took ends with a release.
  const bool othersHeld = (e->buttons() & ~e->button()) != Qt::NoButton;
  TControl* c = othersHeld && FPressed != nullptr ? FPressed : ControlAt(e->position().toPoint(), true);
  if (c == nullptr) return;
  FPressed = c;  // cleared if the handler destroys it
  const QPoint local = e->position().toPoint() - ControlRect(c).topLeft();
  c->MouseDown(ToButton(e->button()), ToShift(e->modifiers(), e->buttons()), local.x(), local.y());
}

void TCanvas::mouseReleaseEvent(QMouseEvent* e) {
  // The control that took the press gets the release, wherever the cursor is now (capture).
  TControl* c = FPressed;
  if (c == nullptr) return;
  if (e->buttons() == Qt::NoButton) FPressed = nullptr;
  const QRect r = ControlRect(c);
  const QPoint local = e->position().toPoint() - r.topLeft();
  const TMouseButton button = ToButton(e->button());
  // A left click completes inside the control before the release is reported, as the framework
  // does it; the click handler may destroy the control, so it is checked again.
  if (button == mbLeft && r.contains(e->position().toPoint())) {
    FPressed = c;
    c->Click();
    if (FPressed == nullptr) return;
    if (e->buttons() == Qt::NoButton) FPressed = nullptr;
  }
  c->MouseUp(button, ToShift(e->modifiers(), e->buttons()), local.x(), local.y());
}

void TCanvas::contextMenuEvent(QContextMenuEvent* e) {
  TControl* c = ControlAt(e->pos(), true);
  // The nearest control, from the one under the cursor outwards, that has a menu.
  while (c != nullptr && c->PopupMenu() == nullptr) c = c->Parent();
  if (c == nullptr) return;
  TPopupMenu* menu = c->PopupMenu();
  if (FOpenMenu) FOpenMenu->close();
  menu->SetPopupComponent(c);
  FMenuControl = c;

  auto* qmenu = new QMenu(this);
  qmenu->setAttribute(Qt::WA_DeleteOnClose);
  for (TMenuItem* item : menu->Items()) {
    if (item->Caption == "-") {
      qmenu->addSeparator();
      continue;
    }
    QAction* a = qmenu->addAction(ToQString(item->Caption));
    a->setEnabled(item->Enabled);
    a->setData(QVariant::fromValue(static_cast<void*>(item)));
  }
  connect(qmenu, &QMenu::triggered, this,
          [this, menu, c](QAction* a) { DeliverMenuChoice(menu, c, a); });
  FOpenMenu = qmenu;
  qmenu->popup(e->globalPos());
  e->accept();
}

void TCanvas::DeliverMenuChoice(TPopupMenu* menu, TControl* on, QObject* action) {
  // The models may have changed while the menu was open: deliver only to a control that still
  // exists, still has this menu, and an item the menu still lists.
  if (FMenuControl != on || on->PopupMenu() != menu) return;
  auto* item = static_cast<TMenuItem*>(static_cast<QAction*>(action)->data().value<void*>());
  const auto& items = menu->Items();
  if (std::find(items.begin(), items.end(), item) == items.end()) return;
  item->Click();
}
