// The text that selects the PLC back end: what it accepts, where each value lands, and the
// message for each way of getting it wrong.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "plc/EmbeddedPlc.h"
#include "plc/ModbusPlc.h"
#include "plc/SimulatorFactory.h"

namespace {

TModbusOptions Parsed(const std::string& text) {
  TModbusOptions o;
  std::string error;
  EXPECT_TRUE(ParseModbusOptions(text, o, error)) << text << ": " << error;
  return o;
}

std::string ErrorOf(const std::string& text) {
  TModbusOptions o;
  o.Host = "untouched";
  std::string error;
  EXPECT_FALSE(ParseModbusOptions(text, o, error)) << text;
  EXPECT_EQ(o.Host, "untouched") << "a failed parse changed the options: " << text;
  return error;
}

TEST(ModbusOptions, AHostAloneTakesTheDefaults) {
  const TModbusOptions o = Parsed("plc.local");
  EXPECT_EQ(o.Host, "plc.local");
  EXPECT_EQ(o.Port, 502);
  EXPECT_EQ(o.Unit, 1);
  EXPECT_EQ(o.Inputs, 0);
  EXPECT_EQ(o.Outputs, 16);
  EXPECT_EQ(o.OutputsArea, TModbusArea::Holding);
  EXPECT_EQ(o.RunCoil, -1);
  EXPECT_EQ(o.TimeoutMs, 100);
  EXPECT_EQ(o.RetryMs, 1000);
  EXPECT_EQ(o.Peer(), "plc.local:502");
}

TEST(ModbusOptions, EveryOptionLandsInItsField) {
  const TModbusOptions o = Parsed(
      "192.168.0.10:1502,unit=0,inputs=100,outputs=65534,outputs-area=input,run-coil=65535,"
      "timeout=250,retry=60000");
  EXPECT_EQ(o.Host, "192.168.0.10");
  EXPECT_EQ(o.Port, 1502);
  EXPECT_EQ(o.Unit, 0);
  EXPECT_EQ(o.Inputs, 100);
  EXPECT_EQ(o.Outputs, 65534);
  EXPECT_EQ(o.OutputsArea, TModbusArea::Input);
  EXPECT_EQ(o.RunCoil, 65535);
  EXPECT_EQ(o.TimeoutMs, 250);
  EXPECT_EQ(o.RetryMs, 60000);
  // Options may come in any order; "holding" is accepted explicitly too.
  const TModbusOptions p = Parsed("h,outputs-area=holding,unit=255,outputs=2,inputs=0");
  EXPECT_EQ(p.Unit, 255);
  EXPECT_EQ(p.Outputs, 2);
  EXPECT_EQ(p.OutputsArea, TModbusArea::Holding);
}

TEST(ModbusOptions, Ipv6AddressesGoInBrackets) {
  TModbusOptions o = Parsed("[::1]:1502,unit=3");
  EXPECT_EQ(o.Host, "::1");
  EXPECT_EQ(o.Port, 1502);
  EXPECT_EQ(o.Unit, 3);
  EXPECT_EQ(o.Peer(), "[::1]:1502");
  o = Parsed("[fe80::1]");
  EXPECT_EQ(o.Host, "fe80::1");
  EXPECT_EQ(o.Port, 502);
}

TEST(ModbusOptions, EachMistakeIsNamed) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "the host is missing"},
      {":502", "the host is missing"},
      {",unit=1", "the host is missing"},
      {"plc:", "port \"\" is not a number from 1 to 65535"},
      {"plc:0", "port \"0\" is not a number from 1 to 65535"},
      {"plc:65536", "port \"65536\" is not a number from 1 to 65535"},
      {"plc:50a", "port \"50a\""},
      {"plc:+502", "port \"+502\""},
      {"plc:99999999999999999999", "port \"99999999999999999999\""},
      {"::1", "write an IPv6 address in brackets"},
      {"[::1", "has no closing ']'"},
      {"[]:502", "is not an IPv6 address"},
      {"[plc]:502", "is not an IPv6 address"},
      {"[::1]502", "unexpected \"502\" after the host \"[::1]\""},
      {"pl c", "host \"pl c\" is not a host name or address"},
      {"plc/x", "host \"plc/x\""},
      {"plc,", "option \"\" is not of the form NAME=VALUE"},
      {"plc,unit", "option \"unit\" is not of the form NAME=VALUE"},
      {"plc,=3", "option \"=3\" is not of the form NAME=VALUE"},
      {"plc,unit=256", "unit \"256\" is not a number from 0 to 255"},
      {"plc,unit=-1", "unit \"-1\""},
      {"plc,unit=", "unit \"\""},
      {"plc,unit=1,unit=2", "option \"unit\" is given twice"},
      {"plc,inputs=65535", "inputs \"65535\" is not a number from 0 to 65534"},
      {"plc,outputs=70000", "outputs \"70000\" is not a number from 0 to 65534"},
      {"plc,outputs-area=coils", "outputs-area \"coils\" is neither \"holding\" nor \"input\""},
      {"plc,outputs-area=Holding", "outputs-area \"Holding\""},
      {"plc,run-coil=65536", "run-coil \"65536\" is not a number from 0 to 65535"},
      {"plc,timeout=0", "timeout \"0\" is not a number from 1 to 1000"},
      {"plc,timeout=1001", "timeout \"1001\""},
      {"plc,retry=99", "retry \"99\" is not a number from 100 to 60000"},
      {"plc,slave=1", "unknown option \"slave\" (known: unit, inputs, outputs, outputs-area, "
                      "run-coil, timeout, retry)"},
      {"plc,Unit=1", "unknown option \"Unit\""},
      {"plc,inputs=10,outputs=11", "the output registers 11..12 overlap the input registers 10..11"},
      {"plc,inputs=10,outputs=9", "the output registers 9..10 overlap the input registers 10..11"},
      {"plc,outputs=0", "the output registers 0..1 overlap the input registers 0..1"},
  };
  for (const auto& [text, expected] : cases) {
    const std::string error = ErrorOf(text);
    EXPECT_NE(error.find(expected), std::string::npos)
        << "for \"" << text << "\" the message was: " << error;
  }
}

TEST(ModbusOptions, NeighbouringRegistersAndInputAreaOutputsDoNotOverlap) {
  EXPECT_EQ(Parsed("plc,inputs=10,outputs=12").Outputs, 12);
  EXPECT_EQ(Parsed("plc,inputs=10,outputs=8").Outputs, 8);
  // Input registers are another table: the same numbers are fine there.
  EXPECT_EQ(Parsed("plc,inputs=10,outputs=10,outputs-area=input").Outputs, 10);
}

TEST(SimulatorFactory, ChoosesTheBackEndByItsText) {
  std::string error = "stale";
  auto embedded = CreateSimulatorBackEnd("embedded", error);
  ASSERT_NE(embedded, nullptr);
  EXPECT_TRUE(error.empty());
  EXPECT_NE(dynamic_cast<TEmbeddedPlc*>(embedded.get()), nullptr);
  auto byDefault = CreateSimulatorBackEnd("", error);
  ASSERT_NE(byDefault, nullptr);
  EXPECT_EQ(byDefault->Name(), "embedded");

  auto modbus = CreateSimulatorBackEnd("modbus:10.0.0.5,unit=4,outputs=40", error);
  ASSERT_NE(modbus, nullptr) << error;
  auto* plc = dynamic_cast<TModbusPlc*>(modbus.get());
  ASSERT_NE(plc, nullptr);
  EXPECT_EQ(plc->Name(), "Modbus TCP (10.0.0.5:502)");
  EXPECT_EQ(plc->Options().Unit, 4);
  EXPECT_EQ(plc->Options().Outputs, 40);
  // Creating it connects nothing: there is a window model, and no error yet.
  EXPECT_NE(plc->FindWindow(), nullptr);
  EXPECT_TRUE(plc->LastError().empty());
}

TEST(SimulatorFactory, UnknownOrMalformedTextsAreRefusedWithTheTextQuoted) {
  std::string error;
  EXPECT_EQ(CreateSimulatorBackEnd("Embedded", error), nullptr);
  EXPECT_EQ(error.rfind("PLC back end \"Embedded\" is not known (expected \"embedded\" or "
                        "\"modbus:HOST[:PORT]",
                        0),
            0u)
      << error;
  EXPECT_EQ(CreateSimulatorBackEnd("modbus", error), nullptr);
  EXPECT_NE(error.find("\"modbus\" is not known"), std::string::npos) << error;
  EXPECT_EQ(CreateSimulatorBackEnd("modbus:", error), nullptr);
  EXPECT_EQ(error, "PLC back end \"modbus:\": the host is missing (expected HOST[:PORT] first)");
  EXPECT_EQ(CreateSimulatorBackEnd("modbus:plc,unit=x", error), nullptr);
  EXPECT_EQ(error, "PLC back end \"modbus:plc,unit=x\": unit \"x\" is not a number from 0 to 255");
}

}  // namespace
