#pragma once
// The bridge plant on screen: the plant window model painted by a canvas at its designed client
// size, the panel's frame and the jam buttons as real widgets over it. Mouse presses on the
// devices reach the models through the canvas; closing the window ends the program. Its menu
// brings back the PLC and simulator windows (whatever hid them) and resets the plant.
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

#include "framework/Control.h"

class QAction;
class QMenu;
class QMenuBar;
class TCanvas;
class TControlWidgets;
class TForm2;
class TPLCWindow;

class TMainWindow : public QWidget, public TControlObserver {
  Q_OBJECT

 public:
  explicit TMainWindow(TForm2* model, QWidget* parent = nullptr);
  ~TMainWindow() override;

  TForm2* Model() const { return FModel; }
  TCanvas* Canvas() const { return FCanvas; }
  TControlWidgets* Widgets() const { return FWidgets; }
  // Adds an item to the Windows menu (the variable table, the timing chart ...).
  QAction* AddWindowAction(const QString& text, std::function<void()> open);
  // Puts a bar (the plant clock's controls) under the plant, growing the window to hold it.
  void AddBottomBar(QWidget* bar);
  // Puts the window in the middle of the screen it is on.
  void CentreOnScreen();
  // The windows the menu brings back; either may be null.
  void SetCompanions(TPLCWindow* plc, QWidget* simulator);
  // Where, in this window's coordinates, lie the parts no other window should cover: the
  // operator panel (buttons and phase lamps) and both traffic lights.
  std::vector<QRect> KeepClear() const;

  QMenuBar* MenuBar() const { return FMenuBar; }
  QAction* ShowPlcAction() const { return FShowPlc; }
  QAction* ShowSimulatorAction() const { return FShowSimulator; }
  QAction* ResetAction() const { return FReset; }

  // What the menu's items do.
  void ShowPlcWindow();
  void ShowSimulatorWindow();

  void ControlChanged(TControl* control) override;
  void ControlDestroyed(TControl* control) override;

  // Asked before the window closes (and Torvane with it); false keeps it open.
  std::function<bool()> CanClose;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  TForm2* FModel;
  TCanvas* FCanvas;
  TControlWidgets* FWidgets;
  QMenuBar* FMenuBar;
  QMenu* FWindowsMenu;
  QAction* FShowPlc;
  QAction* FShowSimulator;
  QAction* FReset;
  QPointer<TPLCWindow> FPlcWindow;
  QPointer<QWidget> FSimulator;
};
