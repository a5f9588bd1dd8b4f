#pragma once
// The digital I/O module of the PLC rack: two consecutive bytes of the PLC's input image and
// the same two bytes of its output image, sixteen bits each way. Plant devices drive its input
// pins and listen to its output pins; the CPU takes the input bytes and hands the output bytes
// back. On screen it is a dark rectangle with one row per bit: LED, bit number and address (or
// symbol) label for the input on the left, the same mirrored for the output on the right. The
// output labels carry a "Set"/"Reset" menu for forcing outputs while the CPU is stopped.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "framework/Menus.h"
#include "framework/Shape.h"
#include "framework/StaticText.h"
#include "signals/Iopin.h"

// Symbol names for the 16 bits of a module, index 0-15; a null entry counts as empty.
using TSymbolNames = std::array<const char*, 16>;

// "E124.0" for an input bit, "A125.7" for an output bit.
std::string ProcessImageAddress(bool output, int byteAddress, int bit);
// The PLC's word for the byte pair (a, a + 1): byte a in bits 15-8, byte a + 1 in bits 7-0.
constexpr unsigned short ImageWord(unsigned char first, unsigned char second) {
  return static_cast<unsigned short>((first << 8) | second);
}
// Byte j (0: the first, 1: the second) of such a word.
constexpr unsigned char ImageWordByte(unsigned short word, int j) {
  return static_cast<unsigned char>(j == 0 ? word >> 8 : word & 0xFFu);
}

class TIOModule : public TShape {
 public:
  // The child controls and the menu get the module's own owner (the window), so they go with
  // it; a module without an owner owns them itself.
  explicit TIOModule(TComponent* owner);
  ~TIOModule() override;
  std::string_view ClassName() const override { return "TIOModule"; }

  TPopupMenu* ForcingMenu = nullptr;
  TMenuItem* SetItem = nullptr;
  TMenuItem* ResetItem = nullptr;
  bool ForcingEnabled = false;
  int Address = 0;
  int ByteCount = 0;
  int InputByteCount = 0;
  int OutputByteCount = 0;
  // Index = 8 x (byte - Address) + bit. The module owns the pins; they live as long as it does.
  std::array<TInputPin*, 16> InputPins{};
  std::array<TOutputPin*, 16> OutputPins{};
  std::vector<TShape*> InputLeds;
  std::vector<TShape*> OutputLeds;
  std::vector<TStaticText*> InputLabels;
  std::vector<TStaticText*> OutputLabels;
  // Every LED, label and bit number in creation order (six per row, rows 0 to 15).
  std::vector<TControl*> Parts;
  int RackLeft = 0;
  int RackTop = 0;

  // Relabels the module for a new first byte; labels and tooltips show the addresses (names
  // shown before are overwritten). The same address again changes nothing.
  void SetAddress(int address);
  // The input pin of index 0-15, or null.
  TInputPin* InputPin(int index) const;
  // Connects a plant receiver to output index 0-15; a null receiver or a bad index is ignored.
  void ConnectOutputPin(int index, TInputPin* receiver);
  // Symbol names shown on the labels; tooltips keep the addresses. The label half is chosen by
  // the parity of each bit's byte address (even: indices 0-7, odd: 8-15).
  void SetInputNames(const TSymbolNames& names);
  void SetOutputNames(const TSymbolNames& names);

  // Input byte 0 or 1: bit k is the state of input pin 8j + k. Any other byte reads 0.
  unsigned char InputByte(int j) const;
  // A wiring or sensor fault on input index 0-15: the PLC reads `level` (0 or 1) whatever the
  // device does; -1 ends it. The LED shows what the PLC reads, ringed in red while faulty.
  void SetInputFault(int index, int level);
  int InputFault(int index) const;
  // Contact bounce on input index 0-15: for `exchanges` PLC exchanges after each edge of the
  // device, the PLC reads the level alternating, starting with the old one (0: none).
  void SetInputBounce(int index, int exchanges);
  // Called once per exchange, after the inputs were read: the bounce runs on plant time.
  void InputsExchanged();
  // What the PLC reads on input index 0-15: the pin's state unless a fault overrides it.
  bool InputState(int index) const;
  // Drives the eight output pins of byte 0 or 1, lowest bit first. Any other byte is ignored.
  void SetOutputByte(int j, unsigned char value);
  // All sixteen outputs to false, index 0 first.
  void ResetOutputs();
  // Enables or disables the "Set" and "Reset" items.
  void SetForcingEnabled(bool enabled);

  // Move the module and all its parts together.
  void SetRackLeft(int x);
  void SetRackTop(int y);
  // Puts the module and then every part on the window.
  void SetParentWindow(TControl* window);

  // The module is never smaller than its rows need.
  void SetBounds(int left, int top, int width, int height) override;
  void Notification(TComponent* component, TOperation operation) override;

  static constexpr int kMinWidth = 168;
  static constexpr int kMinHeight = 227;
  // Top of row `index` relative to the module's top.
  static constexpr int RowOffset(int index) { return 5 + 13 * index + (index >= 8 ? 8 : 0); }

 private:
  void InputLedChange(bool state, void* sender);
  void OutputLedChange(bool state, void* sender);
  void ForceSet(TObject* sender);
  void ForceReset(TObject* sender);
  void Force(bool state);
  void Reposition();
  void Relabel();
  void SetName(std::vector<TStaticText*>& labels, int byteAddress, int bit, const char* name);
  TShape* MakeLed(TComponent* owner, int left, int top);
  TStaticText* MakeLabel(TComponent* owner, int left, int top, TAlignment alignment,
                         const std::string& text);
  TStaticText* MakeBitNumber(TComponent* owner, int left, int top, int bit);

  std::array<std::unique_ptr<TInputPin>, 16> FInputPins;
  std::array<int, 16> FBounce{};      // exchanges an edge chatters for
  std::array<int, 16> FBounceLeft{};  // of the present edge
  std::array<int, 16> FInputFaults{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  std::array<std::unique_ptr<TOutputPin>, 16> FOutputPins;
};

namespace ESModule {
void Register();
}
