#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "scenario/Scenario.h"

using namespace scenario;

namespace {

Script ParseOk(const std::string& text) {
  std::vector<Error> errors;
  Script s = Parse(text, "t.scn", errors);
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().Text());
  return s;
}

std::vector<std::string> ParseErrors(const std::string& text) {
  std::vector<Error> errors;
  Parse(text, "t.scn", errors);
  std::vector<std::string> out;
  for (const Error& e : errors) out.push_back(e.Text());
  return out;
}

// A tiny plant: one input bit that a button drives and one output that follows it after a
// delay, so waits, timeouts and clicks have something real to observe.
class FakeHost : public Host {
 public:
  std::uint64_t now = 0;
  bool button = false;
  std::uint64_t pressedAt = 0;
  std::vector<std::string> log;

  std::uint64_t PlantTimeMs() const override { return now; }
  void Advance(std::uint64_t ms) override {
    log.push_back("advance " + std::to_string(ms));
    now += ms;
  }
  bool Output() const { return button && now - pressedAt >= 1000; }
  std::string SetMode(const std::string& m) override {
    log.push_back("mode " + m);
    return "";
  }
  std::string Press(const std::string& c) override {
    log.push_back("press " + c);
    button = true;
    pressedAt = now;
    return "";
  }
  std::string Release(const std::string& c) override {
    log.push_back("release " + c);
    button = false;
    return "";
  }
  std::string Click(const std::string& c) override {
    log.push_back("click " + c);
    return "";
  }
  std::string Execute(const std::string& t) override {
    log.push_back("execute " + t);
    return "";
  }
  std::string Read(const Operand& op, Value& v) override {
    if (op.kind == OperandKind::Bit && op.input) v = button;
    else if (op.kind == OperandKind::Bit) v = Output();
    else if (op.kind == OperandKind::Property && op.property == "Caption") v = std::string("   045");
    else v = 0.0;
    return "";
  }
  std::string Check(const Step& s) override {
    if ((s.kind == StepKind::Press || s.kind == StepKind::Click) && s.argument != "Btn")
      return "no component named '" + s.argument + "'";
    return "";
  }
};

}  // namespace

TEST(ScenarioParse, ReadsEveryStepKindWithItsArguments) {
  Script s = ParseOk(
      "# a comment\n"
      "mode run-p\n"
      "run 2.5s   # trailing comment\n"
      "run 40ticks\n"
      "press SubirBtn\n"
      "execute Fallo térmico\n"
      "expect A124.0 == 1\n"
      "wait \"FC_D\" >= 1 timeout 300ms\n"
      "expect ElevationMeter.Caption==45\n");
  ASSERT_EQ(s.steps.size(), 8u);
  EXPECT_EQ(s.steps[0].argument, "RUN_P");
  EXPECT_EQ(s.steps[1].durationMs, 2500u);
  EXPECT_EQ(s.steps[2].durationMs, 2000u);
  EXPECT_EQ(s.steps[3].kind, StepKind::Press);
  EXPECT_EQ(s.steps[4].argument, "Fallo térmico");
  const Condition& c = s.steps[5].condition;
  EXPECT_EQ(c.operand.kind, OperandKind::Bit);
  EXPECT_FALSE(c.operand.input);
  EXPECT_EQ(c.operand.byte, 124);
  EXPECT_EQ(c.operand.bit, 0);
  const Step& w = s.steps[6];
  EXPECT_EQ(w.condition.operand.kind, OperandKind::Symbol);
  EXPECT_EQ(w.condition.operand.name, "FC_D");
  EXPECT_EQ(w.condition.op, CompareOp::Ge);
  EXPECT_EQ(w.durationMs, 300u);
  EXPECT_EQ(s.steps[7].condition.operand.name, "ElevationMeter");
  EXPECT_EQ(s.steps[7].condition.operand.property, "Caption");
  EXPECT_EQ(s.steps[7].where.line, 9);
}

TEST(ScenarioParse, EnglishBitNamesMeanTheSameBits) {
  Script s = ParseOk("expect I124.1 == 1\nexpect Q125.7 != 0\n");
  EXPECT_TRUE(s.steps[0].condition.operand.input);
  EXPECT_EQ(s.steps[0].condition.operand.bit, 1);
  EXPECT_FALSE(s.steps[1].condition.operand.input);
  EXPECT_EQ(s.steps[1].condition.operand.byte, 125);
}

TEST(ScenarioParse, ReportsEveryMistakeWithItsPlace) {
  const auto errors = ParseErrors(
      "run 2 seconds\n"
      "jump Btn\n"
      "expect A124.8 == 1\n"
      "wait A124.0 == 1\n"
      "mode FAST\n"
      "expect A124.0 1\n");
  ASSERT_EQ(errors.size(), 6u);
  EXPECT_EQ(errors[0], "t.scn:1:5: '2 seconds' is not a duration (write 2.5s, 300ms or 40ticks)");
  EXPECT_NE(errors[1].find("t.scn:2:1: unknown step 'jump'"), std::string::npos);
  EXPECT_NE(errors[2].find("t.scn:3:13: bit number must be 0 to 7"), std::string::npos);
  EXPECT_NE(errors[3].find("t.scn:4:"), std::string::npos);
  EXPECT_NE(errors[3].find("timeout"), std::string::npos);
  EXPECT_NE(errors[4].find("t.scn:5:6: mode must be"), std::string::npos);
  EXPECT_NE(errors[5].find("t.scn:6:15: expected one of"), std::string::npos);
}

TEST(ScenarioParse, AScenarioThatChecksNothingIsRefused) {
  for (const char* text : {"", "# only a comment\n\n", "mode RUN\nrun 2s\npress SubirBtn\n"}) {
    const auto errors = ParseErrors(text);
    ASSERT_EQ(errors.size(), 1u) << text;
    EXPECT_NE(errors[0].find("checks nothing"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[0].rfind("t.scn:", 0), 0u) << errors[0];
  }
  EXPECT_TRUE(ParseErrors("run 1s\nwait A124.0 == 1 timeout 2s\n").empty());
}

TEST(ScenarioCompare, NumbersBooleansAndCaptions) {
  Condition c;
  c.op = CompareOp::Eq;
  c.expected = 45.0;
  EXPECT_TRUE(Holds(c, std::string("   045")));
  EXPECT_FALSE(Holds(c, std::string("   046")));
  c.expected = 1.0;
  EXPECT_TRUE(Holds(c, true));
  c.op = CompareOp::Lt;
  EXPECT_TRUE(Holds(c, false));
  c.op = CompareOp::Ne;
  c.expected = std::string("Running");
  EXPECT_TRUE(Holds(c, std::string("Stopped")));
  EXPECT_FALSE(Holds(c, std::string("Running")));
}

TEST(ScenarioRun, WaitsTickByTickAndCountsChecks) {
  Script s = ParseOk(
      "press Btn\n"
      "expect E124.0 == 1\n"
      "expect A124.0 == 1\n"             // fails: the output needs a second
      "wait A124.0 == 1 timeout 2s\n"    // holds after 20 ticks
      "expect Meter.Caption == 45\n");
  FakeHost host;
  std::ostringstream out;
  Outcome o = scenario::Run(s, host, out);
  EXPECT_EQ(o.passed, 3);
  EXPECT_EQ(o.failed, 1);
  EXPECT_EQ(host.now, 1000u);
  EXPECT_EQ(ExitCode(o), 1);
  const std::string text = out.str();
  EXPECT_NE(text.find("[    1.000 s] wait A124.0 == 1 timeout 2s: ok"), std::string::npos) << text;
  EXPECT_NE(text.find("expect A124.0 == 1: FAILED (A124.0 is 0)"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 19), "3 passed, 1 failed\n");
}

TEST(ScenarioRun, WaitFailsAtItsTimeout) {
  Script s = ParseOk("wait A124.0 == 1 timeout 300ms\n");
  FakeHost host;
  std::ostringstream out;
  Outcome o = scenario::Run(s, host, out);
  EXPECT_EQ(o.failed, 1);
  EXPECT_EQ(host.now, 300u);
}

TEST(ScenarioRun, UnknownComponentStopsBeforeThePlantMoves) {
  Script s = ParseOk("run 1s\nclick Nope\nexpect A124.0 == 0\n");
  FakeHost host;
  std::ostringstream out;
  Outcome o = scenario::Run(s, host, out);
  EXPECT_TRUE(host.log.empty());
  ASSERT_EQ(o.errors.size(), 1u);
  EXPECT_EQ(o.errors[0].Text(), "t.scn:2:1: no component named 'Nope'");
  EXPECT_EQ(ExitCode(o), 2);
}

TEST(ScenarioParse, DurationsAreBoundedAfterTheirUnit) {
  struct Case {
    const char* line;
    bool accepted;
  };
  const Case cases[] = {
      {"run 1440min", true},          {"run 86400000ms", true},
      {"run 1441min", false},         {"run 999999999min", false},
      {"run 1000000000s", false},     {"run 86400001ms", false},
      {"run 2000000ticks", false},
      {"wait A124.0 == 1 timeout 999999999min", false},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> errors = ParseErrors(std::string(c.line) + "\nexpect E124.0 == 0\n");
    if (c.accepted) {
      EXPECT_TRUE(errors.empty()) << c.line << ": " << (errors.empty() ? "" : errors[0]);
    } else {
      ASSERT_EQ(errors.size(), 1u) << c.line;
      EXPECT_NE(errors[0].find("limit of 24 h (86400 s)"), std::string::npos) << errors[0];
    }
  }
}

TEST(ScenarioParse, ErrorsAreCappedAndWhatTheFileHoldsIsEscaped) {
  std::string typos;
  for (int i = 0; i < 100000; ++i) typos += "presss Btn\n";
  const std::vector<std::string> errors = ParseErrors(typos);
  ASSERT_EQ(errors.size(), kMaxErrors + 1);
  EXPECT_NE(errors.back().find("too many errors"), std::string::npos) << errors.back();

  // A terminal command hidden in a file reaches the terminal as text; UTF-8 letters stay.
  const std::vector<std::string> shown = ParseErrors("\x1b]0;\xc3\xa9t\xc3\xa9\x07\x9b" "2J x\n");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown[0].find_first_of("\x1b\x07\x9b"), std::string::npos) << shown[0];
  EXPECT_NE(shown[0].find("'\\x1B]0;\xc3\xa9t\xc3\xa9\\x07\\x9B2J'"), std::string::npos) << shown[0];
}
