#pragma once
// The model of a visible control: geometry, visibility, hint, context menu and mouse events.
// It draws nothing; a view (in the GUI layer) watches it and repaints when it says it changed.
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "signals/Method.h"

class TControl;
class TPopupMenu;

using TNotifyEvent = TMethod<TObject*>;
using TMouseEvent = TMethod<TObject*, TMouseButton, TShiftState, int, int>;

// Watches a control. Views and tests implement it; the control never owns its observers.
class TControlObserver {
 public:
  virtual ~TControlObserver() = default;
  // Something that changes the control's look or geometry changed.
  virtual void ControlChanged(TControl* control) = 0;
  // The control is being destroyed; the observer must forget it.
  virtual void ControlDestroyed(TControl* control) = 0;
  // A child was added to or removed from this control.
  virtual void ChildrenChanged(TControl* control) { (void)control; }
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  std::string_view ClassName() const override { return "TControl"; }
  void GetProperties(TPropList& out) const override;

  // Geometry, in the parent's coordinates.
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }

  // The control that contains this one on screen (a window model or a panel); null for none.
  // A parent that is this control or one of its descendants is refused (it would make a cycle).
  TControl* Parent() const { return FParent; }
  void SetParent(TControl* parent);
  const std::vector<TControl*>& Children() const { return FChildren; }

  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& v);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  // The menu is not owned; if it is destroyed first, the control forgets it.
  void SetPopupMenu(TPopupMenu* menu);
  // The text a view shows as tooltip: the hint, when hints are on and it is not empty.
  bool HasTooltip() const { return FShowHint && !FHint.empty(); }

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;

  // Entry points for views (and tests) delivering the user's mouse actions; (x, y) are in the
  // control's own coordinates.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();

  void AddObserver(TControlObserver* o);
  void RemoveObserver(TControlObserver* o);
  // Tells every observer that the control's look changed.
  void Changed();

  void Notification(TComponent* component, TOperation operation) override;

 private:
  void NotifyChildren();
  void CompactObservers();

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControl* FParent = nullptr;
  std::vector<TControl*> FChildren;
  // An observer removed while observers are being told is nulled and dropped afterwards, so the
  // loop neither skips nor repeats anyone.
  std::vector<TControlObserver*> FObservers;
  int FNotifying = 0;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = false;
  TPopupMenu* FPopupMenu = nullptr;
};
