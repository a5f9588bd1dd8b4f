#include "app/PlantHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/ButtonControl.h"
#include "i18n/Translations.h"
#include "plc/CPU_Frame.h"
#include "plc/ESModule.h"
#include "softplc/Text.h"

using scenario::Value;

namespace {

// A problem for the scenario's author, in the installed language.
std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("PlantHost", text, args);
}

// Whether the control takes the mouse as the plant window shows it: visible and enabled all
// the way up.
bool TakesMouse(const TControl* c) {
  for (; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

Value FromProperty(const TPropInfo& info, const TPropValue& v) {
  if (const bool* b = std::get_if<bool>(&v)) return *b;
  if (const long long* n = std::get_if<long long>(&v)) {
    // An enumeration reads as its identifier, so a scenario can say SwitchType == Emergency.
    if (info.Type == TPropType::Enum && *n >= 0 && static_cast<std::size_t>(*n) < info.EnumNames.size())
      return std::string(info.EnumNames[static_cast<std::size_t>(*n)]);
    return static_cast<double>(*n);
  }
  if (const double* d = std::get_if<double>(&v)) return *d;
  return std::get<std::string>(v);
}

// State the models keep but do not publish, readable by scenarios all the same.
bool ReadModelState(TComponent* c, const std::string& property, Value& value) {
  if (auto* lamp = dynamic_cast<TSimpleShape*>(c)) {
    if (property == "State") { value = lamp->State; return true; }
  }
  if (auto* motor = dynamic_cast<TMotor*>(c)) {
    if (property == "Status") { value = static_cast<double>(motor->Status); return true; }
  }
  if (auto* relay = dynamic_cast<TRelay*>(c)) {
    if (property == "ACOutState") { value = relay->ACOutState; return true; }
  }
  if (auto* sw = dynamic_cast<TSwitch*>(c)) {
    if (property == "ACOutState") { value = sw->ACOutPin->State; return true; }
  }
  if (auto* button = dynamic_cast<TPushButton*>(c)) {
    if (property == "OutState") { value = button->OutPin->State; return true; }
  }
  if (auto* anim = dynamic_cast<TFrameAnimation*>(c)) {
    if (property == "PlayState") { value = static_cast<double>(anim->PlayState); return true; }
    if (property == "Reverse") { value = anim->Reverse; return true; }
    if (property == "FrameAccumulator") {
      value = static_cast<double>(anim->FrameAccumulator());
      return true;
    }
  }
  if (auto* bridge = dynamic_cast<TBridge*>(c)) {
    if (property == "Elevation") { value = static_cast<double>(bridge->ElevationOut->Value); return true; }
  }
  if (auto* cpu = dynamic_cast<TCPU*>(c)) {
    if (property == "State") {
      // Before the faceplate's first poll the state is asked of the CPU directly.
      std::string state = cpu->LastState();
      if (state.empty() && cpu->Simulator() != nullptr) cpu->Simulator()->ReadCpuState(state);
      value = state;
      return true;
    }
    if (property == "Running") { value = cpu->Running(); return true; }
  }
  if (auto* form = dynamic_cast<TForm2*>(c)) {
    if (property == "Mains") { value = form->MainsOn(); return true; }
    if (property == "Ticks") { value = static_cast<double>(form->Ticks()); return true; }
  }
  return false;
}

}  // namespace

std::uint64_t TPlantHost::PlantTimeMs() const {
  return const_cast<TPlantSession&>(FSession).Clock().Now();
}

void TPlantHost::Advance(std::uint64_t ms) {
  if (!AfterTick) {
    FSession.Clock().Advance(ms);
    return;
  }
  const std::uint64_t target = FSession.Clock().Now() + ms;
  while (FSession.Clock().Now() < target) {
    const std::uint64_t step = std::min<std::uint64_t>(TickMs(), target - FSession.Clock().Now());
    FSession.Clock().Advance(step);
    AfterTick();
  }
}

std::string TPlantHost::SetMode(const std::string& mode) {
  TCPU* cpu = FSession.Form().PLC->Faceplate;
  if (cpu == nullptr) return Tr(QT_TRANSLATE_NOOP("PlantHost", "the PLC window has no CPU"));
  // The selector offers RUN-P, RUN and STOP; a memory reset is asked of the CPU directly.
  if (mode == "MRES") {
    cpu->RequestCpuState(kCpuMres);
    return {};
  }
  TRadioButton* position = mode == "RUN"     ? cpu->RunBtn
                           : mode == "RUN_P" ? cpu->RunPBtn
                           : mode == "STOP"  ? cpu->StopBtn
                                             : nullptr;
  if (position == nullptr) return Tr(QT_TRANSLATE_NOOP("PlantHost", "unknown CPU mode '%1'"), {mode});
  if (position->Checked()) {
    // Already there on the selector; the CPU may have stopped by itself since: ask again.
    cpu->RequestCpuState(mode);
    return {};
  }
  position->Click();
  return {};
}

std::string TPlantHost::FindControl(const std::string& name, TControl*& control) {
  TForm2& form = FSession.Form();
  TComponent* c = name == "Bridge" ? form.Bridge : form.FindComponent(name);
  control = dynamic_cast<TControl*>(c);
  if (c == nullptr) return Tr(QT_TRANSLATE_NOOP("PlantHost", "there is no component '%1' on the plant window"), {name});
  if (control == nullptr) return Tr(QT_TRANSLATE_NOOP("PlantHost", "'%1' is not something to click"), {name});
  return {};
}

std::string TPlantHost::Press(const std::string& component) {
  TControl* c = nullptr;
  if (std::string e = FindControl(component, c); !e.empty()) return e;
  if (!TakesMouse(c)) return Tr(QT_TRANSLATE_NOOP("PlantHost", "'%1' does not take the mouse now (hidden or disabled)"), {component});
  c->MouseDown(mbLeft, ssLeft, c->Width() / 2, c->Height() / 2);
  return {};
}

std::string TPlantHost::Release(const std::string& component) {
  TControl* c = nullptr;
  if (std::string e = FindControl(component, c); !e.empty()) return e;
  if (!TakesMouse(c)) return Tr(QT_TRANSLATE_NOOP("PlantHost", "'%1' does not take the mouse now (hidden or disabled)"), {component});
  // As on screen: a release over the control completes a click before the release itself.
  c->Click();
  c->MouseUp(mbLeft, 0, c->Width() / 2, c->Height() / 2);
  return {};
}

std::string TPlantHost::Click(const std::string& component) {
  if (std::string e = Press(component); !e.empty()) return e;
  return Release(component);
}

std::string TPlantHost::FindTest(const std::string& name, int& index) {
  const TComboBox* list = FSession.Form().PLC->TestCbx;
  std::string known;
  for (int i = 0; i < list->Count(); ++i) {
    const std::string& item = list->Items()[static_cast<std::size_t>(i)];
    if (item == name) {
      index = i;
      return {};
    }
    known += (known.empty() ? "" : ", ") + item;
  }
  return Tr(QT_TRANSLATE_NOOP("PlantHost", "there is no test '%1' (the PLC window offers: %2)"), {name, known});
}

std::string TPlantHost::Execute(const std::string& test) {
  int index = -1;
  if (std::string e = FindTest(test, index); !e.empty()) return e;
  TPLC* plc = FSession.Form().PLC;
  // As a user does it: automatic mode, pick the test, Execute.
  plc->AutoBtn->Click();
  plc->TestCbx->Select(index);
  if (plc->TestCbx->ItemIndex() != index) return Tr(QT_TRANSLATE_NOOP("PlantHost", "the test list did not take '%1'"), {test});
  plc->TestExeBtn->Click();
  return {};
}

std::string TPlantHost::FindModule(bool input, int byteAddress, int bit, TIOModule*& module,
                                   int& index) {
  TPLC* plc = FSession.Form().PLC;
  for (TIOModule* m : {plc->FirstModule, plc->SecondModule}) {
    if (m == nullptr || byteAddress < m->Address || byteAddress >= m->Address + 2) continue;
    module = m;
    index = 8 * (byteAddress - m->Address) + bit;
    return {};
  }
  return Tr(QT_TRANSLATE_NOOP("PlantHost", "%1 is on no I/O module (the modules hold bytes %2 to %3)"),
            {std::string(input ? "E" : "A") + std::to_string(byteAddress) + "." + std::to_string(bit),
             std::to_string(plc->ModuleDir()), std::to_string(plc->ModuleDir() + 3)});
}

std::string TPlantHost::ReadBit(bool input, int byteAddress, int bit, Value& value) {
  TIOModule* m = nullptr;
  int index = 0;
  if (std::string problem = FindModule(input, byteAddress, bit, m, index); !problem.empty())
    return problem;
  value = input ? m->InputState(index) : m->OutputPins[static_cast<std::size_t>(index)]->State;
  return {};
}

std::string TPlantHost::ReadProperty(const std::string& component, const std::string& property,
                                     Value& value) {
  TForm2& form = FSession.Form();
  TComponent* c = component == "Bridge"  ? static_cast<TComponent*>(form.Bridge)
                  : component == "PLC"   ? static_cast<TComponent*>(form.PLC)
                  : component == "CPU"   ? static_cast<TComponent*>(form.PLC->Faceplate)
                  : component == "Form2" ? static_cast<TComponent*>(&form)
                                         : form.FindComponent(component);
  if (c == nullptr) return Tr(QT_TRANSLATE_NOOP("PlantHost", "there is no component '%1' on the plant window"), {component});
  if (ReadModelState(c, property, value)) return {};
  const TPropList props = PublishedProperties(c);
  const TPropInfo* info = FindProperty(props, property);
  if (info == nullptr)
    return Tr(QT_TRANSLATE_NOOP("PlantHost", "'%1' (%2) has no property '%3'"), {component, std::string(c->ClassName()), property});
  value = FromProperty(*info, info->Get(c));
  return {};
}

std::string TPlantHost::Read(const scenario::Operand& operand, Value& value) {
  switch (operand.kind) {
    case scenario::OperandKind::Bit:
      return ReadBit(operand.input, operand.byte, operand.bit, value);
    case scenario::OperandKind::Symbol:
      for (int i = 0; i < 16; ++i) {
        const char* in = TForm2::InputNames[static_cast<std::size_t>(i)];
        const char* out = TForm2::OutputNames[static_cast<std::size_t>(i)];
        if (in != nullptr && operand.name == in) return ReadBit(true, TForm2::kFirstByte + i / 8, i % 8, value);
        if (out != nullptr && operand.name == out) return ReadBit(false, TForm2::kFirstByte + i / 8, i % 8, value);
      }
      return Tr(QT_TRANSLATE_NOOP("PlantHost", "there is no symbol \"%1\" in the bridge's symbol table"), {operand.name});
    case scenario::OperandKind::Property:
      return ReadProperty(operand.name, operand.property, value);
  }
  return Tr(QT_TRANSLATE_NOOP("PlantHost", "unknown operand"));
}

std::string TPlantHost::Check(const scenario::Step& step) {
  using scenario::StepKind;
  switch (step.kind) {
    case StepKind::Press:
    case StepKind::Release:
    case StepKind::Click: {
      TControl* c = nullptr;
      return FindControl(step.argument, c);
    }
    case StepKind::Execute: {
      int index = -1;
      return FindTest(step.argument, index);
    }
    case StepKind::Expect:
    case StepKind::Wait: {
      Value v;
      return Read(step.condition.operand, v);
    }
    case StepKind::Fault:
      return FaultTargetProblem(step.argument, step.faultKind);
    case StepKind::Clear:
      return step.argument == "all" || step.argument == "Motor" || step.argument == "Bridge" ||
                     FindContactor(step.argument) != nullptr
                 ? std::string()
                 : FindInputOnly(step.argument);
    case StepKind::Force:
    case StepKind::Modify:
    case StepKind::Unforce: {
      if (step.kind == StepKind::Unforce && step.argument == "all")
        return FSession.External() ? Tr(QT_TRANSLATE_NOOP("PlantHost", "forcing needs the embedded CPU")) : std::string();
      TWatchOperand op;
      std::uint32_t raw = 0;
      std::string problem =
          CpuOperand(step.argument, step.kind == StepKind::Unforce ? nullptr : &step.value, op, raw);
      if (problem.empty() && step.kind != StepKind::Modify && op.Area != softplc::ByteArea::Input &&
          op.Area != softplc::ByteArea::Output)
        problem = Tr(QT_TRANSLATE_NOOP("PlantHost", "%1: only inputs and outputs can be forced"), {op.Address()});
      if (problem.empty() && step.kind == StepKind::Modify &&
          (op.Kind == TWatchKind::Timer || op.Kind == TWatchKind::Counter))
        problem = Tr(QT_TRANSLATE_NOOP("PlantHost", "%1: timers and counters can be watched, not modified"), {op.Address()});
      return problem;
    }
    case StepKind::Mode:
    case StepKind::Run:
    case StepKind::Reset:
      return {};
  }
  return {};
}

TRelay* TPlantHost::FindContactor(const std::string& name) {
  TForm2& f = FSession.Form();
  return name == "KM1" ? f.KM1 : name == "KM2" ? f.KM2 : name == "KM3" ? f.KM3
                     : name == "KM4" ? f.KM4 : nullptr;
}

std::string TPlantHost::FindInputOnly(const std::string& target) {
  TIOModule* m = nullptr;
  int index = 0;
  return FindInput(target, m, index);
}

std::string TPlantHost::FindInput(const std::string& rawTarget, TIOModule*& module, int& index) {
  // The panel's buttons by their layout names, for faults of the device itself.
  static const std::pair<const char*, const char*> kDevices[] = {
      {"ComienzoBtn", "COMIENZO"}, {"SubirBtn", "SUBIR"}, {"BajarBtn", "BAJAR"},
      {"RearmeBtn", "REARME"},     {"PB_PE", "PARADA_E"}};
  std::string target = rawTarget;
  for (const auto& [device, symbol] : kDevices)
    if (target == device) target = symbol;
  int byteAddress = -1, bit = -1;
  for (int i = 0; i < 16; ++i) {
    const char* in = TForm2::InputNames[static_cast<std::size_t>(i)];
    if (in != nullptr && target == in) {
      byteAddress = TForm2::kFirstByte + i / 8;
      bit = i % 8;
    }
  }
  if (byteAddress < 0) {
    // E124.5 or I124.5
    unsigned b = 0, k = 0;
    char letter = 0, dot = 0, rest = 0;
    if (std::sscanf(target.c_str(), "%c%u%c%u%c", &letter, &b, &dot, &k, &rest) != 4 ||
        (letter != 'E' && letter != 'I' && letter != 'e' && letter != 'i') || dot != '.' || k > 7)
      return Tr(QT_TRANSLATE_NOOP("PlantHost", "'%1' is neither an input of the bridge (FC_C, SUBIR ...) nor an "
                                         "input address (E124.5)"),
                {target});
    byteAddress = static_cast<int>(b);
    bit = static_cast<int>(k);
  }
  return FindModule(true, byteAddress, bit, module, index);
}

std::string TPlantHost::FaultTargetProblem(const std::string& target, const std::string& kind) {
  if (kind == "slow")
    return target == "Motor" ? std::string() : Tr(QT_TRANSLATE_NOOP("PlantHost", "only the Motor can be slow, not '%1'"), {target});
  if (kind == "welded")
    return FindContactor(target) != nullptr
               ? std::string()
               : Tr(QT_TRANSLATE_NOOP("PlantHost", "only a contactor (KM1 to KM4) can weld, not '%1'"), {target});
  if (kind == "jam")
    return target == "Bridge" ? std::string() : Tr(QT_TRANSLATE_NOOP("PlantHost", "only the Bridge can jam, not '%1'"), {target});
  return FindInputOnly(target);
}

std::string TPlantHost::Fault(const std::string& target, const std::string& kind, double value) {
  if (std::string problem = FaultTargetProblem(target, kind); !problem.empty()) return problem;
  FSession.Mark("fault " + target + " " + kind);
  if (kind == "slow") {
    FSession.Form().SetMotorSlowness(value);
    return {};
  }
  if (kind == "welded") {
    FindContactor(target)->SetWelded(true);
    return {};
  }
  if (kind == "jam") {
    FJammed = true;
    return Click("V2AtascoBtn");  // the plant's own button, so the jam shows as it does by hand
  }
  TIOModule* m = nullptr;
  int index = 0;
  FindInput(target, m, index);
  if (kind == "bounce")
    m->SetInputBounce(index, static_cast<int>(std::ceil(value / static_cast<double>(TickMs()))));
  else
    m->SetInputFault(index, value != 0 ? 1 : 0);
  return {};
}

std::string TPlantHost::Clear(const std::string& target) {
  FSession.Mark("clear " + target);
  if (target == "Motor" || target == "all") FSession.Form().SetMotorSlowness(1.0);
  if ((target == "Bridge" || target == "all") && FJammed) {
    FJammed = false;
    if (std::string problem = Click("V2ReparacionBtn"); !problem.empty()) return problem;
  }
  for (const char* name : {"KM1", "KM2", "KM3", "KM4"})
    if (target == name || target == "all") FindContactor(name)->SetWelded(false);
  if (target == "Motor" || target == "Bridge" || FindContactor(target) != nullptr) return {};
  if (target == "all") {
    TPLC* plc = FSession.Form().PLC;
    for (TIOModule* m : {plc->FirstModule, plc->SecondModule})
      if (m != nullptr)
        for (int i = 0; i < 16; ++i) {
          m->SetInputFault(i, -1);
          m->SetInputBounce(i, 0);
        }
    return {};
  }
  TIOModule* m = nullptr;
  int index = 0;
  std::string problem = FindInput(target, m, index);
  if (problem.empty()) {
    m->SetInputFault(index, -1);
    m->SetInputBounce(index, 0);
  }
  return problem;
}

std::string TPlantHost::Reset() {
  FSession.Form().ResetPlant();
  FJammed = false;
  return {};
}

std::string TPlantHost::CpuOperand(const std::string& text, const std::string* value,
                                   TWatchOperand& op, std::uint32_t& raw) {
  if (FSession.External()) return Tr(QT_TRANSLATE_NOOP("PlantHost", "forcing and modifying need the embedded CPU"));
  if (std::string problem = ParseWatchOperand(text, FSession.Plc().Symbols(), op); !problem.empty())
    return problem;
  std::string error;
  if (value != nullptr && !ParseWatchValue(*value, op, raw, error)) return error;
  return {};
}

std::string TPlantHost::Force(const std::string& operand, const std::string& value) {
  TWatchOperand op;
  std::uint32_t raw = 0;
  if (std::string problem = CpuOperand(operand, &value, op, raw); !problem.empty()) return problem;
  FSession.Mark("force " + operand + " " + value);
  return ForceWatchOperand(FSession.Plc().Cpu(), op, raw);
}

std::string TPlantHost::Unforce(const std::string& operand) {
  if (operand == "all") {
    if (FSession.External()) return Tr(QT_TRANSLATE_NOOP("PlantHost", "forcing needs the embedded CPU"));
    FSession.Plc().Cpu().UnforceAll();
    FSession.Mark("unforce all");
    return {};
  }
  TWatchOperand op;
  std::uint32_t raw = 0;
  if (std::string problem = CpuOperand(operand, nullptr, op, raw); !problem.empty()) return problem;
  UnforceWatchOperand(FSession.Plc().Cpu(), op);
  FSession.Mark("unforce " + operand);
  return {};
}

std::string TPlantHost::Modify(const std::string& operand, const std::string& value) {
  TWatchOperand op;
  std::uint32_t raw = 0;
  if (std::string problem = CpuOperand(operand, &value, op, raw); !problem.empty()) return problem;
  return ModifyWatchOperand(FSession.Plc().Cpu(), op, raw);
}

std::string TPlantHost::FailureNote() {
  if (FSession.External()) return {};
  const softplc::Cpu& cpu = FSession.Plc().Cpu();
  if (cpu.Mode() != softplc::CpuMode::Stop) return {};
  // The newest error entry, unless the CPU ran again after it (then this STOP is another one).
  const std::vector<softplc::DiagEntry>& entries = cpu.Diagnostics();
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (e->text.find("-> RUN") != std::string::npos) return {};
    if (e->line <= 0) continue;
    const std::string where = e->file + ":" + std::to_string(e->line) + ":" +
                              std::to_string(std::max(e->column, 1));
    const std::string shown = softplc::Shown(e->text, e->format, e->args);
    if (e->block.empty()) return Tr(QT_TRANSLATE_NOOP("PlantHost", "the CPU stopped: %1: %2"), {where, shown});
    const std::string instruction = e->instruction.empty() ? std::string() : ": " + e->instruction;
    if (e->network > 0)
      return Tr(QT_TRANSLATE_NOOP("PlantHost", "the CPU stopped: %1: %2 (%3, network %4%5)"),
                {where, shown, e->block, std::to_string(e->network), instruction});
    return Tr(QT_TRANSLATE_NOOP("PlantHost", "the CPU stopped: %1: %2 (%3%4)"), {where, shown, e->block, instruction});
  }
  return {};
}
