#pragma once
// Shows the interactive control models (group boxes, buttons, speed buttons, check boxes,
// radio buttons, drop-down lists, text boxes) of a tree as real Qt widgets on a host widget,
// usually the canvas that paints the rest of the tree. Each widget follows its model (geometry,
// visibility, enabled state, caption, checked or down state, items), and the user's actions on
// it go to the model's entry points (Click, Select), so the model decides what happens: a
// check box in a locked group stays as it is.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <unordered_map>
#include <unordered_set>

#include "framework/Control.h"

class TControlWidgets : public QObject, public TControlObserver {
  Q_OBJECT

 public:
  // root's own position is ignored: it stands for the host's (0, 0).
  TControlWidgets(TControl* root, QWidget* host);
  ~TControlWidgets() override;

  // The widget standing for the model, or null when it has none.
  QWidget* WidgetFor(const TControl* c) const;
  // Whether the model is one of the kinds shown as a widget.
  static bool IsWidgetKind(const TControl* c);

  void ControlChanged(TControl* control) override;
  void ControlDestroyed(TControl* control) override;
  void ChildrenChanged(TControl* control) override;

 private:
  struct Entry {
    QPointer<QWidget> Widget;
  };
  void Resync();
  void Place(TControl* c, QWidget* container, QPoint offset, bool visible,
             std::unordered_set<TControl*>& seen);
  QWidget* Create(TControl* c, QWidget* container);
  void Sync(TControl* c, QWidget* w);
  void Observe(TControl* c);

  TControl* FRoot;
  QPointer<QWidget> FHost;
  std::unordered_map<const TControl*, Entry> FWidgets;
  // Every observed model; those without a widget but with widgets below them re-place their
  // subtree when they move or change visibility.
  std::unordered_set<TControl*> FObserved;
  std::unordered_set<const TControl*> FCarriers;
  bool FSyncing = false;
};
