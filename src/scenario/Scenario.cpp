#include "scenario/Scenario.h"

#include "scenario/Files.h"
#include "softplc/Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>

namespace scenario {

using softplc::Shown;
using softplc::Tr;

std::string Error::Text() const {
  std::ostringstream s;
  s << Printable(where.file) << ':' << where.line << ':' << where.column << ": " << Printable(Shown(message));
  return s.str();
}

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads a number the way a teacher writes one ("45", "-3", "2.5"); nothing else may follow.
bool ReadNumber(const std::string& text, double& out) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsSpace(text[b])) ++b;
  while (e > b && IsSpace(text[e - 1])) --e;
  if (b == e) return false;
  const std::string t = text.substr(b, e - b);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  // strtod also takes hex and "inf"; a plain decimal is all a scenario needs.
  for (char c : t)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+'))
      return false;
  out = v;
  return true;
}

bool NumericValue(const Value& v, double& out) {
  if (const bool* b = std::get_if<bool>(&v)) {
    out = *b ? 1.0 : 0.0;
    return true;
  }
  if (const double* d = std::get_if<double>(&v)) {
    out = *d;
    return true;
  }
  return ReadNumber(std::get<std::string>(v), out);
}

template <typename T>
bool Compare(CompareOp op, const T& a, const T& b) {
  switch (op) {
    case CompareOp::Eq: return a == b;
    case CompareOp::Ne: return !(a == b);
    case CompareOp::Lt: return a < b;
    case CompareOp::Le: return !(b < a);
    case CompareOp::Gt: return b < a;
    case CompareOp::Ge: return !(a < b);
  }
  return false;
}

class LineParser {
 public:
  LineParser(const std::string& file, int line, const std::string& text,
             std::vector<Error>& errors)
      : FFile(file), FLine(line), FText(text), FErrors(errors) {}

  bool Fail(std::size_t col, const std::string& message) {
    FErrors.push_back({{FFile, FLine, static_cast<int>(col) + 1}, message});
    return false;
  }

  bool ParseOperand(const std::string& text, std::size_t col, Operand& op) {
    op.text = text;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
      op.kind = OperandKind::Symbol;
      op.name = text.substr(1, text.size() - 2);
      if (op.name.empty()) return Fail(col, Tr(QT_TRANSLATE_NOOP("scenario", "empty symbol name \"\"")));
      return true;
    }
    // A PLC bit: E/I for inputs, A/Q for outputs, byte, point, bit 0-7.
    if (!text.empty()) {
      const char p = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
      const std::size_t dot = text.find('.');
      if ((p == 'E' || p == 'I' || p == 'A' || p == 'Q') && dot != std::string::npos && dot > 1 &&
          std::all_of(text.begin() + 1, text.begin() + static_cast<long>(dot),
                      [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const std::string bitText = text.substr(dot + 1);
        if (bitText.size() != 1 || bitText[0] < '0' || bitText[0] > '7')
          return Fail(col + dot + 1, Tr(QT_TRANSLATE_NOOP("scenario", "bit number must be 0 to 7 in '%1'"), text));
        if (dot > 6) return Fail(col + 1, Tr(QT_TRANSLATE_NOOP("scenario", "byte address too large in '%1'"), text));
        op.kind = OperandKind::Bit;
        op.input = p == 'E' || p == 'I';
        op.byte = std::atoi(text.substr(1, dot - 1).c_str());
        op.bit = bitText[0] - '0';
        return true;
      }
      if (dot != std::string::npos && dot > 0 && dot + 1 < text.size()) {
        op.kind = OperandKind::Property;
        op.name = text.substr(0, dot);
        op.property = text.substr(dot + 1);
        return true;
      }
    }
    return Fail(col, Tr(QT_TRANSLATE_NOOP("scenario", "'%1' is not an operand: write a PLC bit (E124.1, A124.0), a symbol in double quotes (\"FC_D\") or Component.Property (KM1.State)"), text));
  }

  bool ParseValue(const std::string& raw, std::size_t col, Value& v) {
    std::string t = raw;
    while (!t.empty() && IsSpace(t.back())) t.pop_back();
    if (t.empty()) return Fail(col, Tr(QT_TRANSLATE_NOOP("scenario", "missing value after the comparison")));
    if (t.front() == '"') {
      if (t.size() < 2 || t.back() != '"') return Fail(col, Tr(QT_TRANSLATE_NOOP("scenario", "unterminated text %1"), t));
      v = t.substr(1, t.size() - 2);
      return true;
    }
    const std::string l = Lower(t);
    if (l == "true" || l == "on") { v = true; return true; }
    if (l == "false" || l == "off") { v = false; return true; }
    double d = 0;
    if (ReadNumber(t, d)) { v = d; return true; }
    v = t;  // a bare word, e.g. an enumeration value
    return true;
  }

  // COND starting at column `col` of the line.
  bool ParseCondition(const std::string& text, std::size_t col, Condition& c) {
    c.text = text;
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) return Fail(col + i, Tr(QT_TRANSLATE_NOOP("scenario", "unterminated symbol name")));
      i = close + 1;
    } else {
      while (i < text.size() && !IsSpace(text[i]) && std::string("=!<>").find(text[i]) == std::string::npos)
        ++i;
    }
    if (i == start) return Fail(col + start, Tr(QT_TRANSLATE_NOOP("scenario", "missing condition (OPERAND OP VALUE)")));
    if (!ParseOperand(text.substr(start, i - start), col + start, c.operand)) return false;
    while (i < text.size() && IsSpace(text[i])) ++i;
    static const std::pair<const char*, CompareOp> ops[] = {
        {"==", CompareOp::Eq}, {"!=", CompareOp::Ne}, {"<=", CompareOp::Le},
        {">=", CompareOp::Ge}, {"<", CompareOp::Lt},  {">", CompareOp::Gt}};
    bool found = false;
    for (const auto& [t, o] : ops) {
      if (text.compare(i, std::char_traits<char>::length(t), t) == 0) {
        c.op = o;
        i += std::char_traits<char>::length(t);
        found = true;
        break;
      }
    }
    if (!found) return Fail(col + i, Tr(QT_TRANSLATE_NOOP("scenario", "expected one of == != < <= > >= after %1"), c.operand.text));
    while (i < text.size() && IsSpace(text[i])) ++i;
    return ParseValue(text.substr(i), col + i, c.expected);
  }

 private:
  std::string FFile;
  int FLine;
  std::string FText;
  std::vector<Error>& FErrors;
};

// Removes a comment: '#' at the start or after white space, outside double quotes.
std::string StripComment(const std::string& line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (!quoted && line[i] == '#' && (i == 0 || IsSpace(line[i - 1]))) return line.substr(0, i);
  }
  return line;
}

}  // namespace

std::string ValueText(const Value& v) {
  if (const bool* b = std::get_if<bool>(&v)) return *b ? "1" : "0";
  if (const double* d = std::get_if<double>(&v)) {
    char buf[64];
    if (*d == std::floor(*d) && std::fabs(*d) < 1e15)
      std::snprintf(buf, sizeof buf, "%.0f", *d);
    else
      std::snprintf(buf, sizeof buf, "%g", *d);
    return buf;
  }
  return "\"" + std::get<std::string>(v) + "\"";
}

bool Holds(const Condition& c, const Value& actual) {
  double a = 0, e = 0;
  if (NumericValue(actual, a) && NumericValue(c.expected, e)) return Compare(c.op, a, e);
  std::string as = std::holds_alternative<std::string>(actual) ? std::get<std::string>(actual)
                                                                : ValueText(actual);
  std::string es = std::holds_alternative<std::string>(c.expected)
                       ? std::get<std::string>(c.expected)
                       : ValueText(c.expected);
  return Compare(c.op, as, es);
}

bool ParseDuration(const std::string& text, unsigned tickMs, std::uint64_t& ms,
                   std::string* problem) {
  std::size_t i = 0;
  while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
    ++i;
  if (i == 0) return false;
  double number = 0;
  if (!ReadNumber(text.substr(0, i), number) || number < 0) return false;
  const std::string unit = Lower(text.substr(i));
  double factor = 0;
  if (unit == "ms") factor = 1;
  else if (unit == "s") factor = 1000;
  else if (unit == "min") factor = 60000;
  else if (unit == "ticks" || unit == "tick") factor = tickMs;
  else return false;
  // Bounded after the unit: 999999999min is as much too long as 60000000000ms.
  const double total = number * factor;
  if (total > static_cast<double>(kMaxDurationMs)) {
    if (problem != nullptr)
      *problem = Tr(QT_TRANSLATE_NOOP("scenario", "'%1' is longer than the limit of %2 h (%3 s) for one step"), text, std::to_string(kMaxDurationMs / 3600000), std::to_string(kMaxDurationMs / 1000));
    return false;
  }
  ms = static_cast<std::uint64_t>(std::llround(total));
  return true;
}

namespace {

// The message for a duration that does not read.
std::string DurationError(const std::string& text, const std::string& problem) {
  return problem.empty() ? Tr(QT_TRANSLATE_NOOP("scenario", "'%1' is not a duration (write 2.5s, 300ms or 40ticks)"), text) : problem;
}

}  // namespace

Script Parse(const std::string& text, const std::string& fileName, std::vector<Error>& errors) {
  Script script;
  script.file = fileName;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = StripComment(raw);
    std::size_t b = 0;
    while (b < line.size() && IsSpace(line[b])) ++b;
    std::size_t e = line.size();
    while (e > b && IsSpace(line[e - 1])) --e;
    if (b == e) continue;
    if (errors.size() >= kMaxErrors) {
      errors.push_back({{fileName, lineNo, 1}, Tr(QT_TRANSLATE_NOOP("scenario", "too many errors; stopped reading the scenario"))});
      break;
    }
    LineParser p(fileName, lineNo, line, errors);
    std::size_t kwEnd = b;
    while (kwEnd < e && !IsSpace(line[kwEnd])) ++kwEnd;
    const std::string keyword = Lower(line.substr(b, kwEnd - b));
    std::size_t argStart = kwEnd;
    while (argStart < e && IsSpace(line[argStart])) ++argStart;
    const std::string arg = line.substr(argStart, e - argStart);

    Step step;
    step.where = {fileName, lineNo, static_cast<int>(b) + 1};
    step.text = line.substr(b, e - b);
    step.argument = arg;
    bool ok = true;
    if (keyword == "mode") {
      step.kind = StepKind::Mode;
      std::string m = arg;
      for (char& c : m) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (m == "RUN-P") m = "RUN_P";
      if (m != "RUN" && m != "RUN_P" && m != "STOP" && m != "MRES")
        ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "mode must be RUN, RUN_P, STOP or MRES, not '%1'"), arg));
      step.argument = m;
    } else if (keyword == "run") {
      step.kind = StepKind::Run;
      std::string problem;
      if (!ParseDuration(arg, 50, step.durationMs, &problem))
        ok = p.Fail(argStart, DurationError(arg, problem));
    } else if (keyword == "press" || keyword == "release" || keyword == "click") {
      step.kind = keyword == "press" ? StepKind::Press
                  : keyword == "release" ? StepKind::Release
                                         : StepKind::Click;
      if (arg.empty() || arg.find_first_of(" \t") != std::string::npos)
        ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "%1 needs one component name"), keyword));
    } else if (keyword == "execute") {
      step.kind = StepKind::Execute;
      if (arg.empty()) ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "execute needs the name of a test")));
    } else if (keyword == "expect") {
      step.kind = StepKind::Expect;
      ok = p.ParseCondition(arg, argStart, step.condition);
    } else if (keyword == "wait") {
      step.kind = StepKind::Wait;
      const std::string l = Lower(arg);
      std::size_t t = l.rfind(" timeout ");
      if (t == std::string::npos) {
        ok = p.Fail(e, Tr(QT_TRANSLATE_NOOP("scenario", "wait needs 'timeout DURATION' at the end")));
      } else {
        std::string d = arg.substr(t + 9);
        while (!d.empty() && IsSpace(d.front())) d.erase(d.begin());
        std::string problem;
        if (!ParseDuration(d, 50, step.durationMs, &problem))
          ok = p.Fail(argStart + t + 9, DurationError(d, problem));
        ok = p.ParseCondition(arg.substr(0, t), argStart, step.condition) && ok;
      }
    } else if (keyword == "fault") {
      step.kind = StepKind::Fault;
      std::istringstream words(arg);
      std::string target, kind, level, extra;
      words >> target >> kind >> level >> extra;
      step.argument = target;
      kind = Lower(kind);
      if (target.size() > 2 && target.front() == '"' && target.back() == '"')
        step.argument = target.substr(1, target.size() - 2);
      step.faultKind = kind;
      double factor = 0;
      std::uint64_t bounceMs = 0;
      if (target.empty() || kind.empty())
        ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "fault needs a target and what fails: stuck 0, stuck 1, broken, slow FACTOR, jam, welded or bounce DURATION")));
      else if ((kind == "broken" || kind == "jam" || kind == "welded") && level.empty())
        step.faultValue = 0;
      else if (kind == "stuck" && (level == "0" || level == "1") && extra.empty())
        step.faultValue = level == "1" ? 1 : 0;
      else if (kind == "bounce" && ParseDuration(level, 50, bounceMs) && bounceMs > 0 &&
               bounceMs <= 10000 && extra.empty())
        step.faultValue = static_cast<double>(bounceMs);
      else if (kind == "slow" && ReadNumber(level, factor) && factor >= 1 && factor <= 10 &&
               extra.empty())
        step.faultValue = factor;
      else
        ok = p.Fail(argStart + arg.find_first_not_of(" \t", target.size()),
                    Tr(QT_TRANSLATE_NOOP("scenario", "'%1' is not a fault (stuck 0, stuck 1, broken, slow 1 to 10, jam, welded, bounce DURATION)"), arg.substr(arg.find_first_not_of(" \t", target.size()))));
    } else if (keyword == "clear") {
      step.kind = StepKind::Clear;
      if (arg.size() > 2 && arg.front() == '"' && arg.back() == '"')
        step.argument = arg.substr(1, arg.size() - 2);
      if (arg.empty() || arg.find_first_of(" \t") != std::string::npos)
        ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "clear needs one input, or all")));
    } else if (keyword == "reset") {
      step.kind = StepKind::Reset;
      if (!arg.empty()) ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "reset takes nothing after it")));
    } else if (keyword == "force" || keyword == "modify") {
      step.kind = keyword == "force" ? StepKind::Force : StepKind::Modify;
      // The value is the last word; the operand may hold a space ("E 124.1").
      const std::size_t cut = arg.find_last_of(" \t");
      if (arg.empty() || cut == std::string::npos) {
        ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "%1 needs an operand and a value"), keyword));
      } else {
        step.argument = arg.substr(0, arg.find_last_not_of(" \t", cut) + 1);
        step.value = arg.substr(cut + 1);
      }
    } else if (keyword == "unforce") {
      step.kind = StepKind::Unforce;
      if (arg.empty()) ok = p.Fail(argStart, Tr(QT_TRANSLATE_NOOP("scenario", "unforce needs an operand, or all")));
    } else {
      ok = p.Fail(b, Tr(QT_TRANSLATE_NOOP("scenario", "unknown step '%1' (mode, run, press, release, click, execute, expect, wait, fault, clear, reset, force, unforce, modify)"), line.substr(b, kwEnd - b)));
    }
    if (ok) script.steps.push_back(step);
  }
  // Without a check, any program would pass: an empty file, a folder or a file of comments
  // must not accept a student's program.
  const bool checks = std::any_of(script.steps.begin(), script.steps.end(), [](const Step& st) {
    return st.kind == StepKind::Expect || st.kind == StepKind::Wait;
  });
  if (errors.empty() && !checks)
    errors.push_back({{fileName, lineNo > 0 ? lineNo : 1, 1},
                      Tr(QT_TRANSLATE_NOOP("scenario", "the scenario checks nothing: it has no 'expect' or 'wait' step"))});
  return script;
}

namespace {

std::string Stamp(std::uint64_t ms) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "[%9.3f s] ", static_cast<double>(ms) / 1000.0);
  return buf;
}

}  // namespace

Outcome Run(const Script& script, Host& host, std::ostream& out) {
  Outcome o;
  for (const Step& s : script.steps) {
    const std::string problem = host.Check(s);
    if (problem.empty()) continue;
    if (o.errors.size() >= kMaxErrors) {
      o.errors.push_back({s.where, Tr(QT_TRANSLATE_NOOP("scenario", "too many errors; stopped checking the scenario"))});
      break;
    }
    o.errors.push_back({s.where, problem});
  }
  if (!o.errors.empty()) {
    for (const Error& e : o.errors) out << e.Text() << '\n';
    return o;
  }

  auto check = [&](const Step& s) {
    Value actual;
    const std::string problem = host.Read(s.condition.operand, actual);
    if (!problem.empty()) {
      o.errors.push_back({s.where, problem});
      return false;
    }
    return Holds(s.condition, actual);
  };

  for (const Step& s : script.steps) {
    std::string result;
    switch (s.kind) {
      case StepKind::Mode: result = host.SetMode(s.argument); break;
      case StepKind::Run: host.Advance(s.durationMs); break;
      case StepKind::Press: result = host.Press(s.argument); break;
      case StepKind::Release: result = host.Release(s.argument); break;
      case StepKind::Click: result = host.Click(s.argument); break;
      case StepKind::Execute: result = host.Execute(s.argument); break;
      case StepKind::Fault: result = host.Fault(s.argument, s.faultKind, s.faultValue); break;
      case StepKind::Clear: result = host.Clear(s.argument); break;
      case StepKind::Force: result = host.Force(s.argument, s.value); break;
      case StepKind::Unforce: result = host.Unforce(s.argument); break;
      case StepKind::Modify: result = host.Modify(s.argument, s.value); break;
      case StepKind::Reset: result = host.Reset(); break;
      case StepKind::Expect:
      case StepKind::Wait: break;
    }
    if (!result.empty()) {
      o.errors.push_back({s.where, result});
      out << Stamp(host.PlantTimeMs()) << Printable(s.text) << ": "
          << Printable(Shown(Tr(QT_TRANSLATE_NOOP("scenario", "ERROR %1"), result))) << '\n';
      ++o.failed;
      continue;
    }
    if (s.kind == StepKind::Expect || s.kind == StepKind::Wait) {
      const std::uint64_t start = host.PlantTimeMs();
      bool held = check(s);
      if (s.kind == StepKind::Wait) {
        while (!held && host.PlantTimeMs() - start < s.durationMs) {
          host.Advance(host.TickMs());
          held = check(s);
        }
      }
      Value actual;
      host.Read(s.condition.operand, actual);
      out << Stamp(host.PlantTimeMs()) << Printable(s.text) << ": ";
      if (held) {
        out << Shown(Tr(QT_TRANSLATE_NOOP("scenario", "ok"))) << '\n';
        ++o.passed;
      } else {
        out << Printable(Shown(Tr(QT_TRANSLATE_NOOP("scenario", "FAILED (%1 is %2)"),
                                  s.condition.operand.text, ValueText(actual))))
            << '\n';
        if (const std::string note = host.FailureNote(); !note.empty())
          out << "    " << Printable(Shown(note)) << '\n';
        ++o.failed;
      }
    } else {
      out << Stamp(host.PlantTimeMs()) << Printable(s.text) << '\n';
    }
  }
  out << Shown(Tr(QT_TRANSLATE_NOOP("scenario", "%1 passed, %2 failed"), o.passed, o.failed)) << '\n';
  return o;
}

int ExitCode(const Outcome& o) {
  if (o.passed == 0 && o.failed == 0 && !o.errors.empty()) return 2;
  return o.failed == 0 && o.errors.empty() ? 0 : 1;
}

}  // namespace scenario
