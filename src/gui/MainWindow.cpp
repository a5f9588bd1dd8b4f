#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include "bridge/BridgeControl.h"
#include "gui/Canvas.h"
#include "gui/ControlWidgets.h"
#include "gui/GuiSupport.h"

TMainWindow::TMainWindow(TForm2* model, QWidget* parent) : QWidget(parent), FModel(model) {
  InitGuiSupport();
  setWindowTitle(ToQString(model->Caption()));
  setWindowIcon(QIcon(QStringLiteral(":/icon/torvane.png")));
  FCanvas = new TCanvas(this);
  FCanvas->move(0, 0);
  FCanvas->SetRoot(model);
  FWidgets = new TControlWidgets(model, FCanvas);
  // The panel's frame is drawn over the devices inside it; the mouse must reach them.
  if (QWidget* panel = FWidgets->WidgetFor(model->Panel)) {
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The caption sits in the frame's top line, so the frame encloses the whole designed box
    // and the devices laid out just under the caption stay inside it.
    panel->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid #a0a0a0; border-radius: 3px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 8px; padding: 0px 1px; }"));
  }
  setFixedSize(model->Width(), model->Height());
  model->AddObserver(this);
}

TMainWindow::~TMainWindow() {
  if (FModel != nullptr) FModel->RemoveObserver(this);
}

void TMainWindow::CentreOnScreen() {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (s == nullptr) return;
  const QRect area = s->availableGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void TMainWindow::ControlChanged(TControl* control) {
  if (control != FModel) return;
  setWindowTitle(ToQString(FModel->Caption()));
}

void TMainWindow::ControlDestroyed(TControl* control) {
  if (control != FModel) return;
  FModel = nullptr;
  FCanvas->SetRoot(nullptr);
}

void TMainWindow::closeEvent(QCloseEvent* e) {
  if (CanClose && !CanClose()) {
    e->ignore();
    return;
  }
  e->accept();
  emit Closed();
}
