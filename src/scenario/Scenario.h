#pragma once
// Scenarios: small line-based scripts that drive the plant and check it, so a teacher can test
// a student's program without a screen.
//
//   # comment
//   mode RUN                       moves the CPU's mode selector (RUN, RUN_P, STOP, MRES)
//   run 2.5s                       lets plant time pass (also 300ms, 40ticks)
//   press SubirBtn                 mouse down on a component of the plant window
//   release SubirBtn               mouse up
//   click MagnetoTermico           mouse down and up with no tick between
//   execute Fallo térmico          runs a fault test of the PLC window by name
//   expect A124.0 == 1             checks a condition now
//   wait "FC_D" == 1 timeout 30s   runs tick by tick until the condition holds
//   fault FC_C stuck 1             an input (symbol or E124.5) reads 1 (or 0) whatever happens
//   fault E124.5 broken            a broken wire: the input reads 0
//   fault Motor slow 1.5           travel times x 1.5
//   fault Bridge jam               the deck jams where it is (as "Sim. Atasco")
//   fault SubirBtn bounce 100ms    the contact chatters that long on press and release
//   fault KM1 welded               the contactor's contact stays closed when its coil drops
//   clear FC_C                     ends the faults on that target; "clear all" ends every fault
//   reset                          puts the plant back as it started (deck down, no faults)
//   force "SUBIR" 1                holds a CPU input or output (E124.1, AW124 ...) at a value
//   unforce "SUBIR"                ends that force; "unforce all" ends every force
//   modify MW10 5                  writes a CPU operand once, at the next cycle control point
//
// A condition is OPERAND OP VALUE with OP one of == != < <= > >=; the operand is a PLC bit
// (E124.1, A124.0, or I124.1, Q124.0), a symbol in double quotes, or Component.Property.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

namespace scenario {

struct Location {
  std::string file;
  int line = 0;
  int column = 0;
};

struct Error {
  Location where;
  std::string message;       // plain, or made by softplc::Tr to be shown in the user's language
  std::string Text() const;  // "file:line:col: message", the message as softplc::Shown gives it
};

using Value = std::variant<bool, double, std::string>;
std::string ValueText(const Value& v);

enum class OperandKind { Bit, Symbol, Property };

struct Operand {
  OperandKind kind = OperandKind::Bit;
  bool input = true;  // for Bit: E/I (true) or A/Q (false)
  int byte = 0;
  int bit = 0;
  std::string name;       // symbol name, or component name
  std::string property;   // for Property
  std::string text;       // as written
};

enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Condition {
  Operand operand;
  CompareOp op = CompareOp::Eq;
  Value expected;
  std::string text;  // as written
};

// Compares an actual value with the expected one. Numbers and booleans compare numerically
// (true is 1); a text compares numerically when both sides read as numbers (a meter caption
// "   045" equals 45), otherwise as text (only == and != then make sense).
bool Holds(const Condition& c, const Value& actual);

enum class StepKind { Mode, Run, Press, Release, Click, Execute, Expect, Wait, Fault, Clear, Force,
                      Unforce, Modify, Reset };

struct Step {
  StepKind kind = StepKind::Run;
  Location where;
  std::string argument;      // mode name, component name or test name
  std::uint64_t durationMs = 0;  // run, and the timeout of wait
  Condition condition;       // expect, wait
  std::string text;          // the line as written (trimmed)
  std::string faultKind;     // fault: stuck, broken, slow, jam, welded or bounce
  double faultValue = 0;     // the level of stuck (broken is 0), the factor of slow, ms of bounce
  std::string value;         // force, modify: the value as written (TRUE, 1, W#16#1F, S5T#2S ...)
};

struct Script {
  std::string file;
  std::vector<Step> steps;
};

// Parses a scenario. Every error is collected with its place; the script is usable only when
// `errors` comes back empty.
Script Parse(const std::string& text, const std::string& fileName, std::vector<Error>& errors);

// The longest plant time one step may ask for (a run, the timeout of a wait).
constexpr std::uint64_t kMaxDurationMs = 24ull * 3600 * 1000;
// The most errors reported for one scenario; a file of garbage gives a screenful, not a flood.
constexpr std::size_t kMaxErrors = 200;

// Parses "2.5s", "300ms", "1.5min", "40ticks" (tickMs per tick) up to kMaxDurationMs. Returns
// false for anything else, with the reason in problem when it is given.
bool ParseDuration(const std::string& text, unsigned tickMs, std::uint64_t& ms,
                   std::string* problem = nullptr);

// What a scenario drives. The plant side implements it; every operation returns an empty text
// on success or a message saying what is wrong (an unknown component, say).
class Host {
 public:
  virtual ~Host() = default;
  virtual unsigned TickMs() const { return 50; }
  virtual std::uint64_t PlantTimeMs() const = 0;
  // Runs the plant for ms of plant time (a whole number of ticks).
  virtual void Advance(std::uint64_t ms) = 0;
  virtual std::string SetMode(const std::string& mode) = 0;
  virtual std::string Press(const std::string& component) = 0;
  virtual std::string Release(const std::string& component) = 0;
  virtual std::string Click(const std::string& component) = 0;
  virtual std::string Execute(const std::string& test) = 0;
  virtual std::string Read(const Operand& operand, Value& value) = 0;
  // Starts a fault: an input (a symbol without quotes, or E124.5) stuck at value or broken, a
  // slow motor (travel times x value), a jammed deck. Clear ends the faults of a target ("all":
  // every fault). A plant without faults refuses them.
  virtual std::string Fault(const std::string& /*target*/, const std::string& /*kind*/,
                            double /*value*/) {
    return "this plant cannot simulate faults";
  }
  virtual std::string Clear(const std::string& /*target*/) {
    return "this plant cannot simulate faults";
  }
  // The plant back as it started: deck down, every fault cleared, power restored.
  virtual std::string Reset() { return "this plant cannot be reset"; }
  // CPU operands from outside the program, as a variable table does it: a force holds an input
  // or output at a value until unforced ("all": every force), a modification writes once at
  // the next cycle control point. A plant without a CPU of its own refuses them.
  virtual std::string Force(const std::string& /*operand*/, const std::string& /*value*/) {
    return "this plant cannot force CPU operands";
  }
  virtual std::string Unforce(const std::string& /*operand*/) {
    return "this plant cannot force CPU operands";
  }
  virtual std::string Modify(const std::string& /*operand*/, const std::string& /*value*/) {
    return "this plant cannot modify CPU operands";
  }
  // Checks a step before anything runs (names, properties, symbols), so a typo is reported
  // with its place before the plant moves.
  virtual std::string Check(const Step& step) = 0;
  // What a failed check should add, e.g. why the CPU stopped; empty when there is nothing.
  virtual std::string FailureNote() { return {}; }
};

struct Outcome {
  int passed = 0;
  int failed = 0;
  std::vector<Error> errors;  // load errors (nothing ran) or a step the host refused
};

// Checks every step against the host, then runs them in order, printing one line per step with
// the plant time and ending with "N passed, M failed".
Outcome Run(const Script& script, Host& host, std::ostream& out);

// Exit code for the command line: 0 all held, 1 a check failed, 2 the scenario could not run.
int ExitCode(const Outcome& o);

}  // namespace scenario
