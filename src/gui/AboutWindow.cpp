#include "gui/AboutWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "framework/Form.h"
#include "gui/GuiSupport.h"

namespace {
constexpr int kBannerWidth = 420;
constexpr int kBannerHeight = 96;
}  // namespace

TAboutWindow::TAboutWindow(TForm* model, QWidget* parent) : QDialog(parent), FModel(model) {
  InitGuiSupport();
  // The model keeps its caption in English; it is one of this window's own texts.
  setWindowTitle(model != nullptr ? QCoreApplication::translate("TAboutWindow", model->Caption().c_str())
                                  : tr("About Torvane"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 10);
  FBanner = new QLabel(this);
  FBanner->setPixmap(Banner(kBannerWidth, kBannerHeight));
  FBanner->setFixedSize(kBannerWidth, kBannerHeight);
  layout->addWidget(FBanner);
  FText = new QTextBrowser(this);
  FText->setReadOnly(true);
  FText->setOpenExternalLinks(false);
  FText->setFrameShape(QFrame::NoFrame);
  QFont body(TahomaFamily());
  body.setPointSize(8);
  FText->document()->setDefaultFont(body);
  FText->setHtml(AboutText());
  FText->setFixedHeight(118);
  layout->addWidget(FText);
  FOk = new QPushButton(QStringLiteral("OK"), this);
  FOk->setDefault(true);
  FOk->setFixedWidth(80);
  layout->addWidget(FOk, 0, Qt::AlignHCenter);
  connect(FOk, &QPushButton::clicked, this, [this] {
    if (FModel != nullptr)
      FModel->Close();
    else
      hide();
  });
  setFixedWidth(kBannerWidth);
  if (FModel != nullptr) FModel->AddObserver(this);
  Follow();
}

TAboutWindow::~TAboutWindow() {
  if (FModel != nullptr) FModel->RemoveObserver(this);
}

QString TAboutWindow::AboutText() {
  QString version = QCoreApplication::applicationVersion();
  if (!version.isEmpty()) version.prepend(QLatin1Char(' '));
  return QStringLiteral(
             "<p style=\"margin:0 8px 6px 8px\"><span style=\"font-size:10pt; font-weight:bold\">"
             "Torvane%1</span></p>"
             "<p style=\"margin:0 8px 6px 8px\">%2</p>"
             "<p style=\"margin:0 8px 0 8px\">%3</p>")
      .arg(version.toHtmlEscaped(),
           tr("A trainer for PLC programming: write a control program in STL for the built-in "
              "S7-300-style soft PLC and run it against an animated lift bridge, wired bit by bit "
              "to the PLC's inputs and outputs.")
               .toHtmlEscaped(),
           tr("Free software under the MIT licence. It comes with no warranty of any kind.").toHtmlEscaped());
}

QPixmap TAboutWindow::Banner(int width, int height) {
  QPixmap pm(width, height);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(40, 92, 120));
  sky.setColorAt(1, QColor(128, 223, 223));
  p.fillRect(pm.rect(), sky);
  // Water, two banks and a raised deck between two towers.
  const int water = height * 3 / 4;
  p.fillRect(0, water, width, height - water, QColor(30, 70, 110));
  const QColor steel(60, 60, 60);
  const int right = width - 20;
  const int left = right - 150;
  p.fillRect(left - 40, water - 16, 50, 16, steel);
  p.fillRect(right - 10, water - 16, 50, 16, steel);
  p.fillRect(left, 14, 10, water - 14, steel);
  p.fillRect(right - 10, 14, 10, water - 14, steel);
  p.fillRect(left, 14, right - left, 6, steel);
  p.fillRect(left + 10, water - 46, right - left - 20, 7, QColor(230, 180, 40));
  QPen cable(steel, 1.5);
  p.setPen(cable);
  p.drawLine(left + 14, 20, left + 14, water - 46);
  p.drawLine(right - 14, 20, right - 14, water - 46);
  // The name.
  QFont title(TahomaFamily());
  title.setPixelSize(34);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(16, 8, left - 50, height / 2 + 8), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Torvane"));
  QFont sub(TahomaFamily());
  sub.setPixelSize(12);
  p.setFont(sub);
  p.drawText(QRect(18, height / 2 + 8, left - 50, 20), Qt::AlignLeft | Qt::AlignVCenter,
             tr("PLC programming trainer"));
  return pm;
}

void TAboutWindow::Follow() {
  if (FModel == nullptr) return;
  setVisible(FModel->Visible());
}

void TAboutWindow::ControlChanged(TControl* control) {
  if (control == FModel) Follow();
}

void TAboutWindow::ControlDestroyed(TControl* control) {
  if (control == FModel) FModel = nullptr;
}

void TAboutWindow::closeEvent(QCloseEvent* e) {
  if (FModel != nullptr && FModel->Visible()) FModel->Close();
  e->accept();
}
