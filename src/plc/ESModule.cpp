#include "plc/ESModule.h"

TIOModule::TIOModule(TComponent* owner) : TShape(owner) {
  SetBounds(0, 0, 168, 227);
  for (auto& p : InputPins) p = new TInputPin;
  for (auto& p : OutputPins) p = new TOutputPin;
}

void TIOModule::SetAddress(int a) {
  if (a == Address) return;
  Address = a;
  for (int i = 0; i < 16; ++i) {
    const std::string tail = std::to_string(i < 8 ? a : a + 1) + "." + std::to_string(i % 8);
    InputLabels[static_cast<std::size_t>(i)] = "E" + tail;
    OutputLabels[static_cast<std::size_t>(i)] = "A" + tail;
  }
}

TInputPin* TIOModule::InputPin(int index) const {
  return index >= 0 && index < 16 ? InputPins[static_cast<std::size_t>(index)] : nullptr;
}

void TIOModule::ConnectOutputPin(int index, TInputPin* receiver) {
  if (index >= 0 && index < 16 && receiver != nullptr)
    OutputPins[static_cast<std::size_t>(index)]->ConnectTo(receiver);
}

void TIOModule::SetInputNames(const char* const* names) {
  for (std::size_t i = 0; i < 16; ++i) InputLabels[i] = names[i] ? names[i] : "";
}

void TIOModule::SetOutputNames(const char* const* names) {
  for (std::size_t i = 0; i < 16; ++i) OutputLabels[i] = names[i] ? names[i] : "";
}

std::uint8_t TIOModule::InputByte(int j) const {
  unsigned v = 0;
  for (int k = 0; k < 8; ++k)
    if (InputPins[static_cast<std::size_t>(8 * j + k)]->State) v |= 1u << k;
  return static_cast<std::uint8_t>(v);
}

void TIOModule::SetOutputByte(int j, std::uint8_t v) {
  for (int k = 0; k < 8; ++k)
    OutputPins[static_cast<std::size_t>(8 * j + k)]->SetState(((v >> k) & 1u) != 0);
}

void TIOModule::ResetOutputs() {
  for (auto* p : OutputPins) p->SetState(false);
}

void TIOModule::SetRackLeft(int x) {
  RackLeft = x;
  SetLeft(x);
}

void TIOModule::SetRackTop(int y) {
  RackTop = y;
  SetTop(y);
}
