#pragma once
// A small window that stands in for the main window until the plant exists: one I/O module at
// byte 124 with the bridge's symbol names. A click on an input label or LED toggles that input;
// a right-click on an output label forces the output with "Set"/"Reset".
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "framework/Form.h"
#include "framework/StaticText.h"
#include "plc/ESModule.h"
#include "signals/Iopin.h"

class TCanvas;

// The demo's window model: the module, sixteen stand-in input devices and a reset button.
class TDemoForm : public TForm {
 public:
  explicit TDemoForm(TComponent* owner);
  std::string_view ClassName() const override { return "TDemoForm"; }

  TIOModule* Module = nullptr;
  TStaticText* ResetButton = nullptr;
  // One stand-in device per input bit; clicking the bit toggles its device.
  std::array<TOutputPin, 16> Inputs;

  void ToggleInput(int index);

 private:
  void InputClicked(TObject* sender);
  void ResetClicked(TObject* sender);
};

// The bridge's symbol names for bytes 124 and 125.
const TSymbolNames& BridgeInputNames();
const TSymbolNames& BridgeOutputNames();

class TDemoWindow : public QWidget {
 public:
  explicit TDemoWindow(QWidget* parent = nullptr);
  ~TDemoWindow() override;
  TDemoForm& Form() { return *FForm; }
  TCanvas& Canvas() { return *FCanvas; }

 private:
  std::unique_ptr<TDemoForm> FForm;
  TCanvas* FCanvas;
};

// Renders a widget to a PNG file, creating the folder; false (with `error` set) on failure.
bool SaveWidgetPng(QWidget& widget, const QString& path, QString& error);
// The documentation figure: a module at 124 with the bridge's names and a few bits lit.
bool RenderModuleFigure(const QString& path, QString& error);
