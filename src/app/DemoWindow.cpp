#include "app/DemoWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSaveFile>
#include <QVBoxLayout>

#include "framework/Form.h"
#include "gui/Canvas.h"

namespace {

int IndexIn(const std::vector<TStaticText*>& labels, const std::vector<TShape*>& leds,
            const TObject* sender) {
  for (std::size_t i = 0; i < labels.size(); ++i)
    if (labels[i] == sender || leds[i] == sender) return static_cast<int>(i);
  return -1;
}

// The plant's captions are standard strings: the text in the installed language, as UTF-8.
std::string Tr(const char* text) { return QCoreApplication::translate("DemoWindow", text).toStdString(); }

}  // namespace

const TSymbolNames& BridgeInputNames() {
  static const TSymbolNames names{"COMIENZO", "SUBIR",      "BAJAR",  "PARADA_E", "FC_A", "FC_B",
                                  "FC_C",     "FC_D",       "FE-TERMICO", "REARME", nullptr, nullptr,
                                  nullptr,    nullptr,      nullptr,  nullptr};
  return names;
}

const TSymbolNames& BridgeOutputNames() {
  static const TSymbolNames names{"KM1",     "KM2",     "KM3",     "KM4",     "L_VALIDAR", "L_ERROR",
                                  nullptr,   nullptr,   "L_FASE0", "L_FASE1", "L_FASE2",   "L_FASE3",
                                  "L_FASE4", nullptr,   "S_AMBAR", "S_ROJO"};
  return names;
}

TDemoForm::TDemoForm(TComponent* owner) : TForm(owner) {
  SetCaption(Tr(QT_TRANSLATE_NOOP("DemoWindow", "Torvane - I/O module")));
  SetBounds(0, 0, 420, 243);

  Module = new TIOModule(this);
  Module->SetAddress(124);
  Module->SetRackLeft(8);
  Module->SetRackTop(8);
  Module->SetParentWindow(this);
  Module->SetInputNames(BridgeInputNames());
  Module->SetOutputNames(BridgeOutputNames());
  // The CPU is not running in the demo, so outputs may be forced.
  Module->SetForcingEnabled(true);

  for (int i = 0; i < 16; ++i) {
    const auto k = static_cast<std::size_t>(i);
    Inputs[k].ConnectTo(Module->InputPin(i));
    Module->InputLabels[k]->OnClick = TNotifyEvent(this, &TDemoForm::InputClicked);
    Module->InputLeds[k]->OnClick = TNotifyEvent(this, &TDemoForm::InputClicked);
  }

  auto* help = new TStaticText(this);
  help->SetAutoSize(false);
  help->SetBounds(192, 8, 220, 120);
  help->SetTransparent(true);
  // "Set" and "Reset" are the names the module's menu shows in every language.
  help->SetCaption(Tr(QT_TRANSLATE_NOOP("DemoWindow",
                                        "Click an input (left) to switch it on or off.\n\n"
                                        "Right-click an output label (right) and choose Set or Reset "
                                        "to force that output.\n\n"
                                        "Hover a label to see its address.")));
  help->SetParent(this);

  ResetButton = new TStaticText(this);
  ResetButton->SetAutoSize(false);
  ResetButton->SetBounds(192, 112, 100, 18);
  ResetButton->SetBorderStyle(sbsSingle);
  ResetButton->SetAlignment(taCenter);
  ResetButton->SetCaption(Tr(QT_TRANSLATE_NOOP("DemoWindow", "Reset outputs")));
  ResetButton->SetHint(Tr(QT_TRANSLATE_NOOP("DemoWindow", "All outputs off")));
  ResetButton->SetShowHint(true);
  ResetButton->OnClick = TNotifyEvent(this, &TDemoForm::ResetClicked);
  ResetButton->SetParent(this);
}

void TDemoForm::ToggleInput(int index) {
  if (index < 0 || index > 15) return;
  TOutputPin& device = Inputs[static_cast<std::size_t>(index)];
  device.SetState(!device.State);
}

void TDemoForm::InputClicked(TObject* sender) {
  ToggleInput(IndexIn(Module->InputLabels, Module->InputLeds, sender));
}

void TDemoForm::ResetClicked(TObject*) { Module->ResetOutputs(); }

TDemoWindow::TDemoWindow(QWidget* parent)
    : QWidget(parent), FForm(std::make_unique<TDemoForm>(nullptr)), FCanvas(new TCanvas(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FCanvas);
  FCanvas->SetRoot(FForm.get());
  FCanvas->setFixedSize(FForm->Width(), FForm->Height());
  setWindowTitle(QString::fromStdString(FForm->Caption()));
  adjustSize();
}

TDemoWindow::~TDemoWindow() {
  // The canvas watches the models; let it go before they do.
  FCanvas->SetRoot(nullptr);
}

bool SaveWidgetPng(QWidget& widget, const QString& path, QString& error) {
  widget.ensurePolished();
  widget.adjustSize();
  const QPixmap pm = widget.grab();
  const QFileInfo info(path);
  // Written beside the target and renamed over it only when complete; the folder must exist.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !pm.save(&file, "PNG") || !file.flush() || !file.commit()) {
    error = QCoreApplication::translate("DemoWindow", "cannot write %1").arg(info.absoluteFilePath());
    return false;
  }
  return true;
}

bool RenderModuleFigure(const QString& path, QString& error) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 168 + 16, 227 + 16);
  auto* module = new TIOModule(&form);
  module->SetAddress(124);
  module->SetRackLeft(8);
  module->SetRackTop(8);
  module->SetParentWindow(&form);
  module->SetInputNames(BridgeInputNames());
  module->SetOutputNames(BridgeOutputNames());
  // The panel at rest with the deck down and "SUBIR" held: PARADA_E and FC_A are on, and a
  // program answering with KM1 and KM4 (raise, slow) plus the red lamps.
  for (int i : {1, 3, 4}) module->InputPins[static_cast<std::size_t>(i)]->SetState(true);
  module->SetOutputByte(0, 0x09);
  module->SetOutputByte(1, 0x80);
  TCanvas canvas;
  canvas.SetRoot(&form);
  const bool ok = SaveWidgetPng(canvas, path, error);
  canvas.SetRoot(nullptr);
  return ok;
}
