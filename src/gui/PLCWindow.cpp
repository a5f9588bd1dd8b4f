#include "gui/PLCWindow.h"

#include <QCloseEvent>
#include <QResizeEvent>

#include "gui/AboutWindow.h"
#include "gui/Canvas.h"
#include "gui/ControlWidgets.h"
#include "gui/GuiSupport.h"
#include "plc/PLCFormSource.h"

TPLCWindow::TPLCWindow(TPLC* model, QWidget* parent) : QWidget(parent), FModel(model) {
  InitGuiSupport();
  FCanvas = new TCanvas(this);
  FCanvas->move(0, 0);
  FCanvas->SetRoot(model);
  FWidgets = new TControlWidgets(model, FCanvas);
  if (model->AboutBox != nullptr) FAbout = new TAboutWindow(model->AboutBox, this);
  model->AddObserver(this);
  Follow();
}

TPLCWindow::~TPLCWindow() {
  if (FModel != nullptr) FModel->RemoveObserver(this);
}

void TPLCWindow::Follow() {
  if (FModel == nullptr || FFollowing) return;
  FFollowing = true;
  setWindowTitle(ToQString(FModel->Caption()));
  Qt::WindowFlags flags = FModel->BorderStyle() == bsSizeToolWin || FModel->BorderStyle() == bsToolWindow
                              ? Qt::Tool
                              : Qt::Window;
  if (FModel->FormStyle() == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  const Qt::WindowFlags mask = Qt::WindowType_Mask | Qt::WindowStaysOnTopHint;
  if ((windowFlags() & mask) != flags) {
    // Changing the flags of a shown window hides it; the model says whether it is shown.
    setWindowFlags(flags);
  }
  move(FModel->Left(), FModel->Top());
  resize(FModel->Width(), FModel->Height());
  setVisible(FModel->Visible());
  FFollowing = false;
}

void TPLCWindow::ControlChanged(TControl* control) {
  if (control == FModel) Follow();
}

void TPLCWindow::ControlDestroyed(TControl* control) {
  if (control != FModel) return;
  FModel = nullptr;
  FCanvas->SetRoot(nullptr);
}

void TPLCWindow::closeEvent(QCloseEvent* e) {
  if (FModel != nullptr && FModel->Visible()) FModel->Close();
  e->accept();
}

void TPLCWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  // Folded by "Hilde on running", the window is a strip; a user who pulls it open wants the
  // controls, not an empty frame, so the window model takes the height the user gave it.
  if (FFollowing || FModel == nullptr || !FModel->Collapsed()) return;
  if (e->size().height() > FModel->Height() && e->spontaneous()) FModel->SetHeight(e->size().height());
}
