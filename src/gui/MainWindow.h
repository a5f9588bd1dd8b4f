#pragma once
// The bridge plant on screen: the plant window model painted by a canvas at its designed client
// size, the panel's frame and the jam buttons as real widgets over it. Mouse presses on the
// devices reach the models through the canvas; closing the window ends the program.
#include <QWidget>
#include <functional>

#include "framework/Control.h"

class TCanvas;
class TControlWidgets;
class TForm2;

class TMainWindow : public QWidget, public TControlObserver {
  Q_OBJECT

 public:
  explicit TMainWindow(TForm2* model, QWidget* parent = nullptr);
  ~TMainWindow() override;

  TForm2* Model() const { return FModel; }
  TCanvas* Canvas() const { return FCanvas; }
  TControlWidgets* Widgets() const { return FWidgets; }
  // Puts the window in the middle of the screen it is on.
  void CentreOnScreen();

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
};
