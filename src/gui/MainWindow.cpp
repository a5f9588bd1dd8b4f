#include "gui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <utility>
#include <QScreen>

#include "bridge/BridgeControl.h"
#include "gui/Canvas.h"
#include "gui/ControlWidgets.h"
#include "gui/GuiSupport.h"
#include "gui/PLCWindow.h"
#include "plc/CPU_Frame.h"

TMainWindow::TMainWindow(TForm2* model, QWidget* parent) : QWidget(parent), FModel(model) {
  InitGuiSupport();
  setWindowTitle(ToQString(model->Caption()));
  setWindowIcon(QIcon(QStringLiteral(":/icon/torvane.png")));
  FMenuBar = new QMenuBar(this);
  QMenu* windows = FWindowsMenu = FMenuBar->addMenu(tr("&Windows"));
  FShowPlc = windows->addAction(tr("&PLC"), this, [this] { ShowPlcWindow(); });
  FShowSimulator =
      windows->addAction(tr("&Simulator"), this, [this] { ShowSimulatorWindow(); });
  QMenu* plant = FMenuBar->addMenu(tr("&Plant"));
  FReset = plant->addAction(tr("&Reset plant"), this, [this] {
    if (FModel != nullptr) FModel->ResetPlant();
  });
  FShowPlc->setEnabled(false);
  FShowSimulator->setEnabled(false);
  FMenuBar->adjustSize();
  const int menuHeight = FMenuBar->sizeHint().height();
  FMenuBar->setGeometry(0, 0, model->Width(), menuHeight);

  FCanvas = new TCanvas(this);
  FCanvas->move(0, menuHeight);
  FCanvas->SetRoot(model);
  FWidgets = new TControlWidgets(model, FCanvas);
  // The panel's frame is drawn over the devices inside it; the mouse must reach them.
  if (QWidget* panel = FWidgets->WidgetFor(model->Panel)) {
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  setFixedSize(model->Width(), menuHeight + model->Height());
  model->AddObserver(this);
}

TMainWindow::~TMainWindow() {
  if (FModel != nullptr) FModel->RemoveObserver(this);
}

QAction* TMainWindow::AddWindowAction(const QString& text, std::function<void()> open) {
  return FWindowsMenu->addAction(text, this, std::move(open));
}

void TMainWindow::AddBottomBar(QWidget* bar) {
  const int top = height();
  bar->setParent(this);
  const int h = bar->sizeHint().height();
  bar->setGeometry(0, top, width(), h);
  setFixedSize(width(), top + h);
  bar->show();
}

void TMainWindow::CentreOnScreen() {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (s == nullptr) return;
  const QRect area = s->availableGeometry();
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void TMainWindow::SetCompanions(TPLCWindow* plc, QWidget* simulator) {
  FPlcWindow = plc;
  FSimulator = simulator;
  FShowPlc->setEnabled(plc != nullptr);
  FShowSimulator->setEnabled(simulator != nullptr);
}

std::vector<QRect> TMainWindow::KeepClear() const {
  std::vector<QRect> out;
  if (FModel == nullptr) return out;
  for (const TControl* c : {static_cast<const TControl*>(FModel->Panel),
                            static_cast<const TControl*>(FModel->Shape1),
                            static_cast<const TControl*>(FModel->Shape2)})
    out.push_back(FCanvas->ControlRect(c).translated(FCanvas->pos()));
  return out;
}

void TMainWindow::ShowPlcWindow() {
  if (FPlcWindow == nullptr) return;
  TPLC* plc = FPlcWindow->Model();
  if (plc == nullptr) return;
  // "Hilde on running" keeps the window folded while the CPU runs: asking for the window means
  // asking to look at a stopped CPU, which also unfolds it.
  TCPU* cpu = plc->Faceplate;
  if (plc->HideOnRunCheckBox->Checked() && cpu != nullptr && !cpu->StopBtn->Checked())
    cpu->StopBtn->Click();
  plc->Show();
  FPlcWindow->raise();
  FPlcWindow->activateWindow();
}

void TMainWindow::ShowSimulatorWindow() {
  if (FSimulator == nullptr) return;
  TPLC* plc = FPlcWindow != nullptr ? FPlcWindow->Model() : nullptr;
  if (plc != nullptr && plc->SimWindow != nullptr) {
    // Unticking "Hide PLCSim" shows it through the PLC window, which keeps the box truthful.
    if (plc->HideCheckBox->Checked() && plc->HideCheckBox->Enabled())
      plc->HideCheckBox->SetChecked(false);
    plc->SimWindow->Show();
  } else {
    FSimulator->show();
  }
  FSimulator->raise();
  FSimulator->activateWindow();
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
