#pragma once
// What a scenario drives: the bridge plant of a session. Mouse steps go to the components of
// the plant window by their layout names (SubirBtn, PB_PE, MagnetoTermico, V2AtascoBtn ...),
// fault tests through the PLC window as a user runs them, modes through the CPU faceplate's
// selector; conditions read PLC bits, the bridge's symbols and Component.Property.
#include <functional>
#include <string>

#include "app/PlantSession.h"
#include "plc/WatchOperand.h"
#include "scenario/Scenario.h"

class TPlantHost : public scenario::Host {
 public:
  explicit TPlantHost(TPlantSession& session) : FSession(session) {}

  unsigned TickMs() const override { return TForm2::kTickMs; }
  std::uint64_t PlantTimeMs() const override;
  void Advance(std::uint64_t ms) override;
  std::string SetMode(const std::string& mode) override;
  std::string Press(const std::string& component) override;
  std::string Release(const std::string& component) override;
  std::string Click(const std::string& component) override;
  std::string Execute(const std::string& test) override;
  std::string Read(const scenario::Operand& operand, scenario::Value& value) override;
  std::string Check(const scenario::Step& step) override;
  std::string Fault(const std::string& target, const std::string& kind, double value) override;
  std::string Clear(const std::string& target) override;
  std::string Reset() override;
  // When the embedded CPU is in STOP because of an error: that diagnostics entry with its place.
  std::string FailureNote() override;
  std::string Force(const std::string& operand, const std::string& value) override;
  std::string Unforce(const std::string& operand) override;
  std::string Modify(const std::string& operand, const std::string& value) override;

  // Called after each tick when set: the GUI uses it to show the plant and keep pace with the
  // wall clock. Without it the plant runs as fast as it can.
  std::function<void()> AfterTick;

 private:
  std::string FindControl(const std::string& name, TControl*& control);
  std::string FindTest(const std::string& name, int& index);
  // The I/O module and input index of an input symbol (SUBIR, FC_C) or address (E124.5, I124.5).
  std::string FindInput(const std::string& target, TIOModule*& module, int& index);
  std::string FindInputOnly(const std::string& target);
  // Why TARGET cannot take a fault of KIND (empty when it can): shared by the check before a
  // run and the step itself, so both refuse the same targets with the same words.
  std::string FaultTargetProblem(const std::string& target, const std::string& kind);
  // The I/O module and index of an input (E) or output (A) bit.
  std::string FindModule(bool input, int byteAddress, int bit, TIOModule*& module, int& index);
  TRelay* FindContactor(const std::string& name);
  // A CPU operand and, when value is given, the raw value it takes; refused on an external
  // back end, whose CPU Torvane cannot reach.
  std::string CpuOperand(const std::string& text, const std::string* value, TWatchOperand& op,
                         std::uint32_t& raw);
  std::string ReadBit(bool input, int byteAddress, int bit, scenario::Value& value);
  std::string ReadProperty(const std::string& component, const std::string& property,
                           scenario::Value& value);

  TPlantSession& FSession;
  bool FJammed = false;  // by a fault step, so clear frees only what a fault jammed
};
