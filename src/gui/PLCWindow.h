#pragma once
// The "PLC" window on screen: the window model's rack painted by a canvas, its control strip as
// real widgets, and the window itself following the model (caption, stay-on-top, tool-window
// frame, place, size, visibility). It also shows the model's About window when asked.
#include <QWidget>

#include "framework/Control.h"

class TPLC;
class TCanvas;
class TControlWidgets;
class TAboutWindow;

class TPLCWindow : public QWidget, public TControlObserver {
  Q_OBJECT

 public:
  explicit TPLCWindow(TPLC* model, QWidget* parent = nullptr);
  ~TPLCWindow() override;

  TPLC* Model() const { return FModel; }
  TCanvas* Canvas() const { return FCanvas; }
  TControlWidgets* Widgets() const { return FWidgets; }
  TAboutWindow* About() const { return FAbout; }

  void ControlChanged(TControl* control) override;
  void ControlDestroyed(TControl* control) override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Follow();
  TPLC* FModel;
  TCanvas* FCanvas;
  TControlWidgets* FWidgets;
  TAboutWindow* FAbout = nullptr;
  bool FFollowing = false;
};
