// The text that selects and configures the Modbus TCP back end. Parsing is strict: a typo in
// an address would otherwise couple the plant to the wrong registers without a word.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "plc/ModbusPlc.h"
#include "plc/PlcTexts.h"

namespace {

// A decimal number in [lo, hi]: digits only, no sign, no blanks.
bool ParseNumber(std::string_view what, std::string_view text, long lo, long hi, int& out,
                 std::string& error) {
  const bool digits = !text.empty() && text.size() <= 9 &&
                      std::all_of(text.begin(), text.end(),
                                  [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  long v = 0;
  if (digits) v = std::stol(std::string(text));
  if (!digits || v < lo || v > hi) {
    error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "%1 \"%2\" is not a number from %3 to %4"), {what, text, std::to_string(lo), std::to_string(hi)});
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

bool IsHostChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

bool IsIpv6Char(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

bool ParseHostAndPort(std::string_view text, TModbusOptions& o, std::string& error) {
  std::string_view host = text;
  std::string_view port;
  bool hasPort = false;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string_view::npos) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "host \"%1\" has no closing ']'"), {text});
      return false;
    }
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') {
        error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "unexpected \"%1\" after the host \"%2\""), {rest, text.substr(0, close + 1)});
        return false;
      }
      port = rest.substr(1);
      hasPort = true;
    }
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsIpv6Char)) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "host \"%1\" is not an IPv6 address"), {text.substr(0, close + 1)});
      return false;
    }
  } else {
    const auto colon = text.find(':');
    if (colon != std::string_view::npos) {
      if (text.find(':', colon + 1) != std::string_view::npos) {
        error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "host \"%1\": write an IPv6 address in brackets, as in [::1]:502"), {text});
        return false;
      }
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
      hasPort = true;
    }
    if (host.empty()) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "the host is missing (expected HOST[:PORT] first)"));
      return false;
    }
    if (host.size() > 253 || !std::all_of(host.begin(), host.end(), IsHostChar)) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "host \"%1\" is not a host name or address"), {host});
      return false;
    }
  }
  o.Host = std::string(host);
  if (hasPort && !ParseNumber("port", port, 1, 65535, o.Port, error)) return false;
  return true;
}

}  // namespace

std::string TModbusOptions::Peer() const {
  const bool v6 = Host.find(':') != std::string::npos;
  return (v6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
}

bool ParseModbusOptions(std::string_view text, TModbusOptions& options, std::string& error) {
  TModbusOptions o;
  std::vector<std::string_view> items;
  for (std::size_t start = 0;;) {
    const auto comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (!ParseHostAndPort(items.front(), o, error)) return false;

  std::vector<std::string_view> seen;
  for (std::size_t i = 1; i < items.size(); ++i) {
    const std::string_view item = items[i];
    const auto eq = item.find('=');
    if (item.empty() || eq == std::string_view::npos || eq == 0) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "option \"%1\" is not of the form NAME=VALUE"), {item});
      return false;
    }
    const std::string_view key = item.substr(0, eq);
    const std::string_view value = item.substr(eq + 1);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "option \"%1\" is given twice"), {key});
      return false;
    }
    seen.push_back(key);
    bool ok = true;
    if (key == "unit") {
      ok = ParseNumber("unit", value, 0, 255, o.Unit, error);
    } else if (key == "inputs") {
      ok = ParseNumber("inputs", value, 0, 65536 - kModbusImageRegisters, o.Inputs, error);
    } else if (key == "outputs") {
      ok = ParseNumber("outputs", value, 0, 65536 - kModbusImageRegisters, o.Outputs, error);
    } else if (key == "outputs-area") {
      if (value == "holding") {
        o.OutputsArea = TModbusArea::Holding;
      } else if (value == "input") {
        o.OutputsArea = TModbusArea::Input;
      } else {
        error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "outputs-area \"%1\" is neither \"holding\" nor \"input\""), {value});
        ok = false;
      }
    } else if (key == "run-coil") {
      ok = ParseNumber("run-coil", value, 0, 65535, o.RunCoil, error);
    } else if (key == "timeout") {
      ok = ParseNumber("timeout", value, 1, 1000, o.TimeoutMs, error);
    } else if (key == "retry") {
      ok = ParseNumber("retry", value, 100, 60000, o.RetryMs, error);
    } else {
      error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "unknown option \"%1\" (known: unit, inputs, outputs, outputs-area, run-coil, timeout, retry)"), {key});
      ok = false;
    }
    if (!ok) return false;
  }

  // Outputs in the holding area must not share a register with the inputs: the PLC's answer
  // would be overwritten by the next input write.
  if (o.OutputsArea == TModbusArea::Holding && o.Outputs < o.Inputs + kModbusImageRegisters &&
      o.Inputs < o.Outputs + kModbusImageRegisters) {
    error = PlcText("TModbusPlc", QT_TRANSLATE_NOOP("TModbusPlc", "the output registers %1..%2 overlap the input registers %3..%4"), {std::to_string(o.Outputs),
                                std::to_string(o.Outputs + kModbusImageRegisters - 1), std::to_string(o.Inputs),
                                std::to_string(o.Inputs + kModbusImageRegisters - 1)});
    return false;
  }
  options = o;
  return true;
}
