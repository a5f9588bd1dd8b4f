#pragma once
// Stand-in for the I/O module until the real unit lands from the foundation branch; only what
// the faceplate and the PLC window call.
#include <array>
#include <cstdint>
#include <string>

#include "framework/Shape.h"
#include "signals/Iopin.h"

class TIOModule : public TShape {
 public:
  explicit TIOModule(TComponent* owner);
  std::string_view ClassName() const override { return "TIOModule"; }

  void SetAddress(int a);
  TInputPin* InputPin(int index) const;
  void ConnectOutputPin(int index, TInputPin* receiver);
  void SetInputNames(const char* const* names);
  void SetOutputNames(const char* const* names);
  std::uint8_t InputByte(int j) const;
  void SetOutputByte(int j, std::uint8_t v);
  void ResetOutputs();
  void SetForcingEnabled(bool v) { ForcingEnabled = v; }
  void SetRackLeft(int x);
  void SetRackTop(int y);
  void SetParentWindow(TControl* w) { SetParent(w); }

  bool ForcingEnabled = false;
  int Address = 0;
  int ByteCount = 2;
  std::array<TInputPin*, 16> InputPins{};
  std::array<TOutputPin*, 16> OutputPins{};
  std::array<std::string, 16> InputLabels;
  std::array<std::string, 16> OutputLabels;
  int RackLeft = 0;
  int RackTop = 0;
};
