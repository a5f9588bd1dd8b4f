// The scenario host over a real session (embedded CPU, bridge window model, virtual clock):
// mouse steps reach the devices, conditions read what the plant and the PLC see, fault tests
// run through the PLC window, and every wrong name is refused with a message naming it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/PlantHost.h"
#include "app/PlantSession.h"
#include "scenario/Scenario.h"

namespace {

namespace fs = std::filesystem;

// A private folder per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    FPath = fs::temp_directory_path() / ("torvane_host_" + std::string(info->name()));
    fs::remove_all(FPath);
    fs::create_directories(FPath);
  }
  ~TempDir() { fs::remove_all(FPath); }
  std::string Write(const std::string& name, const std::string& text) const {
    const fs::path p = FPath / name;
    std::ofstream(p) << text;
    return p.string();
  }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  fs::path FPath;
};

// SUBIR raises slowly while held; COMIENZO lights the amber lamps.
const char* kProgram = R"(ORGANIZATION_BLOCK OB 1
BEGIN
NETWORK
      U     "SUBIR"
      =     "KM1"
      U     "SUBIR"
      =     "KM4"
      U     "COMIENZO"
      =     "S_AMBAR"
END_ORGANIZATION_BLOCK
)";

class Host : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> messages;
    ASSERT_TRUE(session.LoadProgram(dir.Write("prog.awl", kProgram), messages))
        << (messages.empty() ? "" : messages.front());
  }
  scenario::Value Read(const std::string& operandText) {
    std::vector<scenario::Error> errors;
    const scenario::Script s = scenario::Parse("expect " + operandText + " == 0", "t", errors);
    EXPECT_TRUE(errors.empty()) << operandText;
    scenario::Value v;
    if (s.steps.empty()) return v;
    const std::string problem = host.Read(s.steps[0].condition.operand, v);
    EXPECT_EQ(problem, "") << operandText;
    return v;
  }
  std::string ReadError(const std::string& operandText) {
    std::vector<scenario::Error> errors;
    const scenario::Script s = scenario::Parse("expect " + operandText + " == 0", "t", errors);
    scenario::Value v;
    return s.steps.empty() ? "parse error" : host.Read(s.steps[0].condition.operand, v);
  }
  void Run() {
    ASSERT_EQ(host.SetMode("RUN"), "");
    host.Advance(300);
    ASSERT_EQ(std::get<std::string>(Read("CPU.State")), "RUN");
  }

  TempDir dir;
  TPlantSession session;
  TPlantHost host{session};
};

TEST_F(Host, AHeldButtonReachesTheProgramAndItsAnswerTheContactors) {
  Run();
  ASSERT_EQ(host.Press("SubirBtn"), "");
  // The plant side at once, in every spelling of the bit.
  EXPECT_EQ(std::get<bool>(Read("E124.1")), true);
  EXPECT_EQ(std::get<bool>(Read("I124.1")), true);
  EXPECT_EQ(std::get<bool>(Read("\"SUBIR\"")), true);
  EXPECT_EQ(std::get<bool>(Read("SubirBtn.State")), true);
  // The PLC answers at the next tick.
  EXPECT_EQ(std::get<bool>(Read("A124.0")), false);
  host.Advance(50);
  EXPECT_EQ(std::get<bool>(Read("Q124.0")), true);
  EXPECT_EQ(std::get<bool>(Read("\"KM4\"")), true);
  EXPECT_EQ(std::get<bool>(Read("KM1.State")), true);
  host.Advance(2000);
  EXPECT_EQ(std::get<double>(Read("Motor.Status")), 1.0);
  EXPECT_GE(std::get<double>(Read("Bridge.FrameNumber")), 2.0);
  ASSERT_EQ(host.Release("SubirBtn"), "");
  EXPECT_EQ(std::get<bool>(Read("E124.1")), false);
  host.Advance(50);
  EXPECT_EQ(std::get<bool>(Read("KM1.State")), false);
  EXPECT_EQ(std::get<double>(Read("Motor.Status")), 0.0);
}

TEST_F(Host, AClickIsReadByOneCycleAndThenOver) {
  Run();
  ASSERT_EQ(host.Click("ComienzoBtn"), "");
  host.Advance(50);
  EXPECT_EQ(std::get<bool>(Read("\"S_AMBAR\"")), true);
  host.Advance(50);
  EXPECT_EQ(std::get<bool>(Read("\"S_AMBAR\"")), false);
  // A switch keeps the position a click gives it.
  ASSERT_EQ(host.Click("PB_PE"), "");
  EXPECT_EQ(std::get<bool>(Read("\"PARADA_E\"")), false);
  ASSERT_EQ(host.Click("V2AtascoBtn"), "");
  EXPECT_EQ(std::get<bool>(Read("V2AtascoBtn.Down")), true);
  EXPECT_EQ(std::get<double>(Read("Bridge.PlayState")), static_cast<double>(psJammed));
}

TEST_F(Host, ReadsPublishedAndModelStateInTheirNaturalKinds) {
  EXPECT_EQ(std::get<std::string>(Read("ElevationMeter.Caption")), "   000");
  EXPECT_EQ(std::get<std::string>(Read("PB_PE.SwitchType")), "Emergency");
  EXPECT_EQ(std::get<double>(Read("Bridge.TripTime")), 25000.0);
  EXPECT_EQ(std::get<bool>(Read("MagnetoTermico.State")), true);
  EXPECT_EQ(std::get<bool>(Read("MagnetoTermico.ACOutState")), true);
  EXPECT_EQ(std::get<bool>(Read("S1R.State")), false);
  EXPECT_EQ(std::get<bool>(Read("Form2.Mains")), true);
  EXPECT_EQ(std::get<double>(Read("KM1.Left")), 710.0);
  EXPECT_EQ(std::get<bool>(Read("E125.0")), true);
  // The second module's bytes exist and are idle.
  EXPECT_EQ(std::get<bool>(Read("A127.7")), false);
}

TEST_F(Host, WrongNamesAreRefusedWithAMessageThatNamesThem) {
  EXPECT_NE(ReadError("Nothing.State").find("'Nothing'"), std::string::npos);
  EXPECT_NE(ReadError("KM1.Colour").find("'Colour'"), std::string::npos);
  EXPECT_NE(ReadError("KM1.Colour").find("TRelay"), std::string::npos);
  EXPECT_NE(ReadError("E130.0").find("E130.0 is on no I/O module"), std::string::npos);
  EXPECT_NE(ReadError("\"KM9\"").find("\"KM9\""), std::string::npos);
  EXPECT_NE(host.Press("Nope").find("'Nope'"), std::string::npos);
  // The deck and the timer are on the window but take no clicks.
  EXPECT_NE(host.Click("Bridge").find("does not take the mouse"), std::string::npos);
  EXPECT_NE(host.Click("Timer1").find("not something to click"), std::string::npos);
  const std::string e = host.Execute("Inundación");
  EXPECT_NE(e.find("'Inundación'"), std::string::npos);
  EXPECT_NE(e.find("Fallo térmico, Apagado"), std::string::npos);
}

TEST_F(Host, ChecksAWholeScriptBeforeAnythingMoves) {
  std::vector<scenario::Error> errors;
  const scenario::Script s = scenario::Parse(
      "mode RUN\npress SubirBtn\nclick Bogus\nexecute Apagado\nwait Bogus.State == 1 timeout 1s\n",
      "x.scn", errors);
  ASSERT_TRUE(errors.empty());
  std::vector<int> badLines;
  for (const scenario::Step& step : s.steps)
    if (!host.Check(step).empty()) badLines.push_back(step.where.line);
  EXPECT_EQ(badLines, (std::vector<int>{3, 5}));
  EXPECT_EQ(session.Clock().Now(), 0u);
}

TEST_F(Host, FaultTestsRunThroughThePlcWindow) {
  ASSERT_EQ(host.Execute("Fallo térmico"), "");
  EXPECT_EQ(std::get<bool>(Read("Termico.State")), false);
  EXPECT_EQ(std::get<bool>(Read("\"FE-TERMICO\"")), false);
  ASSERT_EQ(host.Execute("Apagado"), "");
  EXPECT_EQ(std::get<bool>(Read("Form2.Mains")), false);
  EXPECT_EQ(std::get<bool>(Read("MagnetoTermico.ACOutState")), false);
  ASSERT_EQ(host.Execute("Apagado"), "");
  EXPECT_EQ(std::get<bool>(Read("Form2.Mains")), true);
}

TEST_F(Host, ModesMoveTheSelectorAndTheCpuFollowsAtItsNextPoll) {
  Run();
  ASSERT_EQ(host.SetMode("STOP"), "");
  host.Advance(100);
  EXPECT_EQ(std::get<std::string>(Read("CPU.State")), "STOP");
  EXPECT_EQ(std::get<bool>(Read("CPU.Running")), false);
  ASSERT_EQ(host.SetMode("RUN_P"), "");
  host.Advance(100);
  EXPECT_EQ(std::get<std::string>(Read("CPU.State")), "RUN_P");
  ASSERT_EQ(host.SetMode("MRES"), "");
  host.Advance(100);
  EXPECT_EQ(std::get<std::string>(Read("CPU.State")), "STOP");
  EXPECT_NE(host.SetMode("FAST"), "");
}

TEST_F(Host, APacedRunReportsEveryTick) {
  int ticks = 0;
  host.AfterTick = [&ticks] { ++ticks; };
  host.Advance(1000);
  EXPECT_EQ(ticks, 20);
  EXPECT_EQ(host.PlantTimeMs(), 1000u);
  EXPECT_EQ(session.Form().Ticks(), 20u);
}

TEST_F(Host, TheTraceRecordsEachChangeOnPlantTime) {
  std::string error;
  const std::string path = dir.File("run.vcd");
  ASSERT_TRUE(session.StartTrace(path, error)) << error;
  Run();
  host.Advance(200);  // t = 500
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(500);
  ASSERT_EQ(host.Release("SubirBtn"), "");
  host.Advance(100);
  session.FinishTrace();

  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string vcd = text.str();
  // Find the codes of SUBIR and KM1 in the header.
  auto codeOf = [&vcd](const std::string& name) {
    const std::size_t at = vcd.find(" " + name + " $end");
    if (at == std::string::npos) return std::string();
    const std::size_t start = vcd.rfind(' ', at - 1) + 1;
    return vcd.substr(start, at - start);
  };
  const std::string subir = codeOf("E124_1_SUBIR");
  const std::string km1 = codeOf("A124_0_KM1");
  ASSERT_FALSE(subir.empty());
  ASSERT_FALSE(km1.empty());
  EXPECT_NE(vcd.find(" Elevacion $end"), std::string::npos);
  // The changes of one tick, stamped with its plant time.
  auto block = [&vcd](const std::string& stamp) {
    const std::size_t at = vcd.find("\n#" + stamp + "\n");
    if (at == std::string::npos) return std::string();
    const std::size_t end = vcd.find("\n#", at + 2);
    return vcd.substr(at, end == std::string::npos ? std::string::npos : end - at);
  };
  // Pressed at 500 ms: the tick at 550 ms sends SUBIR and brings KM1 back in the same exchange.
  const std::string on = block("550");
  EXPECT_NE(on.find("\n1" + subir + "\n"), std::string::npos) << vcd;
  EXPECT_NE(on.find("\n1" + km1 + "\n"), std::string::npos) << vcd;
  // Released at 1000 ms: both drop at the next tick.
  const std::string off = block("1050");
  EXPECT_NE(off.find("\n0" + subir + "\n"), std::string::npos) << vcd;
  EXPECT_NE(off.find("\n0" + km1 + "\n"), std::string::npos) << vcd;
  // Nothing in between changed.
  EXPECT_EQ(vcd.find("\n#6"), std::string::npos);
}

TEST(HostLoading, AProgramThatDoesNotCompileIsReportedByPlace) {
  TempDir dir;
  TPlantSession session;
  std::vector<std::string> messages;
  const std::string path =
      dir.Write("bad.awl", "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      FOO   M 1.0\nEND_ORGANIZATION_BLOCK\n");
  EXPECT_FALSE(session.LoadProgram(path, messages));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front().rfind(path + ":4:", 0), 0u) << messages.front();
  messages.clear();
  EXPECT_FALSE(session.LoadProgram(dir.File("missing.awl"), messages));
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.front().find("missing.awl"), std::string::npos);
}

TEST(HostLoading, AProgramSplitOverFilesRunsWithItsSymbolTableAndReloadsWhole) {
  TempDir dir;
  TPlantSession session;
  TPlantHost host{session};
  // OB1 in one file calls a function of another by its symbolic name; the table names a
  // memory bit and the block, beside the plant's own names.
  const std::string ob1 = dir.Write("main.awl", R"(ORGANIZATION_BLOCK OB 1
BEGIN
NETWORK
      U     "SUBIR"
      =     "Pedido"
      CALL  "Mover"
END_ORGANIZATION_BLOCK
)");
  const std::string fc = dir.Write("mover.awl", R"(FUNCTION "Mover" : VOID
BEGIN
NETWORK
      U     "Pedido"
      =     "KM1"
      =     "KM4"
END_FUNCTION
)");
  const std::string table = dir.Write("symbols.sdf",
                                      "\"Pedido\",\"M  10.0\",\"BOOL\",\"\"\n"
                                      "\"Mover\",\"FC    7\",\"FC    7\",\"\"\n");
  std::vector<std::string> messages;
  ASSERT_TRUE(session.LoadProgram({ob1, fc}, {table}, messages))
      << (messages.empty() ? "" : messages.front());
  ASSERT_EQ(host.SetMode("RUN"), "");
  host.Advance(300);
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(100);
  EXPECT_TRUE(session.Plc().Cpu().MemoryByte(10) & 1);
  EXPECT_TRUE(session.Plc().Cpu().OutputByte(124) & 0x09) << "KM1 and KM4";

  // Reload reads every file again: a clash with the plant's names in the table is refused
  // and the running program stays.
  std::ofstream(table, std::ios::app) << "\"SUBIR\",\"E  0.0\",\"BOOL\",\"\"\n";
  const softplc::LoadResult r = session.Plc().Reload();
  EXPECT_FALSE(r.ok);
  ASSERT_FALSE(r.errors.empty());
  EXPECT_NE(r.errors.front().file.find("symbols.sdf"), std::string::npos) << r.errors.front().file;
  host.Advance(100);
  EXPECT_TRUE(session.Plc().Cpu().OutputByte(124) & 0x01);

  messages.clear();
  EXPECT_FALSE(session.LoadProgram({ob1}, {}, messages)) << "the called block is missing";
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front().rfind(ob1 + ":", 0), 0u) << messages.front();
}

TEST(HostLoading, TheBridgeSymbolsNameEveryConnectedBit) {
  const softplc::SymbolTable symbols = TPlantSession::BridgeSymbols();
  EXPECT_EQ(symbols.size(), 10u + 13u);
  EXPECT_EQ(symbols.at("FE-TERMICO"), "E125.0");
  EXPECT_EQ(symbols.at("REARME"), "E125.1");
  EXPECT_EQ(symbols.at("S_AMBAR"), "A125.6");
  EXPECT_EQ(symbols.at("L_ERROR"), "A124.5");
}

}  // namespace

TEST_F(Host, InputFaultsHoldWhatThePlcReadsUntilCleared) {
  Run();
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(100);
  EXPECT_TRUE(std::get<bool>(Read("A124.0")));
  // A broken wire: the button is still held, but neither the PLC nor its answer see it.
  ASSERT_EQ(host.Fault("SUBIR", "broken", 0), "");
  host.Advance(100);
  EXPECT_FALSE(std::get<bool>(Read("\"SUBIR\"")));
  EXPECT_FALSE(std::get<bool>(Read("A124.0")));
  ASSERT_EQ(host.Clear("E124.1"), "");
  host.Advance(100);
  EXPECT_TRUE(std::get<bool>(Read("A124.0")));

  // Limit switches stuck either way, by symbol or by address; "all" ends every fault.
  ASSERT_TRUE(std::get<bool>(Read("\"FC_A\"")));
  ASSERT_EQ(host.Fault("FC_A", "stuck", 0), "");
  ASSERT_EQ(host.Fault("I124.6", "stuck", 1), "");
  EXPECT_FALSE(std::get<bool>(Read("E124.4")));
  EXPECT_TRUE(std::get<bool>(Read("\"FC_C\"")));
  ASSERT_EQ(host.Clear("all"), "");
  EXPECT_TRUE(std::get<bool>(Read("\"FC_A\"")));
  EXPECT_FALSE(std::get<bool>(Read("\"FC_C\"")));

  EXPECT_NE(host.Fault("KM1", "stuck", 1).find("neither an input"), std::string::npos);
  EXPECT_NE(host.Fault("E200.1", "broken", 0).find("on no I/O module"), std::string::npos);
  EXPECT_NE(host.Clear("E124.9").find("neither an input"), std::string::npos);

  std::vector<scenario::Error> errors;
  scenario::Parse("fault FC_C stuck 2\nfault FC_C\nclear\nfault \"FC_D\" broken\nexpect E124.0 == 0\n",
                  "f.scn", errors);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].Text(), "f.scn:1:12: 'stuck 2' is not a fault (stuck 0, stuck 1, broken, slow 1 to 10, jam, welded, bounce DURATION)");
  EXPECT_EQ(errors[1].where.line, 2);
  EXPECT_EQ(errors[2].where.line, 3);
}

TEST_F(Host, ASlowMotorTakesLongerAndAJamHoldsTheDeckUntilCleared) {
  Run();
  auto frame = [&] { return std::get<double>(Read("Bridge.FrameNumber")); };
  ASSERT_EQ(host.Press("SubirBtn"), "");  // KM1 + KM4: raising slowly while held
  host.Advance(4000);
  const double a = frame();
  host.Advance(4000);
  const double healthy = frame() - a;
  ASSERT_GE(healthy, 4.0);
  ASSERT_EQ(host.Fault("Motor", "slow", 2.0), "");
  const double b = frame();
  host.Advance(4000);
  EXPECT_NEAR(frame() - b, healthy / 2, 1.0);
  EXPECT_EQ(std::get<bool>(Read("SlowMark.Visible")), true) << "the fault is shown on the plant";
  EXPECT_EQ(std::get<std::string>(Read("SlowMark.Caption")), "Slow motor \u00d72");
  ASSERT_EQ(host.Clear("Motor"), "");
  EXPECT_EQ(std::get<bool>(Read("SlowMark.Visible")), false);

  ASSERT_EQ(host.Fault("Bridge", "jam", 0), "");
  const double c = frame();
  host.Advance(3000);
  EXPECT_EQ(frame(), c);
  EXPECT_TRUE(std::get<bool>(Read("A124.0")));  // the motor still pulls
  ASSERT_EQ(host.Clear("all"), "");
  host.Advance(3000);
  EXPECT_GT(frame(), c);

  EXPECT_NE(host.Fault("KM1", "slow", 2.0), "");
  EXPECT_NE(host.Fault("Motor", "jam", 0), "");
}

TEST_F(Host, AResetStepBringsTheDeckDownAndEndsTheFaults) {
  std::vector<scenario::Error> errors;
  scenario::Parse("reset now\n", "t", errors);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].where.column, 7);
  const scenario::Script s = scenario::Parse("reset\nexpect E124.4 == 1\n", "t", errors = {});
  ASSERT_TRUE(errors.empty()) << errors[0].message;
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_EQ(s.steps[0].kind, scenario::StepKind::Reset);
  EXPECT_EQ(host.Check(s.steps[0]), "");

  Run();
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(6000);
  ASSERT_EQ(host.Fault("Bridge", "jam", 0), "");
  ASSERT_EQ(host.Fault("FC_A", "stuck", 0), "");
  ASSERT_EQ(host.Release("SubirBtn"), "");
  ASSERT_GT(std::get<double>(Read("Bridge.FrameNumber")), 4.0);
  ASSERT_EQ(host.Reset(), "");
  host.Advance(50);
  EXPECT_EQ(std::get<double>(Read("Bridge.FrameNumber")), 0.0);
  EXPECT_EQ(std::get<bool>(Read("V2AtascoBtn.Down")), false);
  EXPECT_EQ(std::get<bool>(Read("\"FC_A\"")), true);
  // Raising works again: no jam is left behind.
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(3000);
  EXPECT_GT(std::get<double>(Read("Bridge.FrameNumber")), 2.0);
}

TEST_F(Host, WeldedContactorsKeepTheDeckMovingAfterTheirCoilsDrop) {
  Run();
  auto frame = [&] { return std::get<double>(Read("Bridge.FrameNumber")); };
  ASSERT_EQ(host.Fault("KM1", "welded", 0), "");
  ASSERT_EQ(host.Fault("KM4", "welded", 0), "");
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(2000);
  ASSERT_EQ(host.Release("SubirBtn"), "");  // the PLC drops KM1 and KM4
  host.Advance(200);
  EXPECT_FALSE(std::get<bool>(Read("A124.0")));
  const double a = frame();
  host.Advance(4000);
  EXPECT_GT(frame(), a);  // the welded contacts still feed the motor
  ASSERT_EQ(host.Clear("KM1"), "");
  host.Advance(200);
  const double b = frame();
  host.Advance(4000);
  EXPECT_EQ(frame(), b);
  EXPECT_NE(host.Fault("Motor", "welded", 0), "");
}

TEST_F(Host, ABouncingButtonChattersForItsTimeOnPressAndRelease) {
  Run();
  ASSERT_EQ(host.Fault("SubirBtn", "bounce", 120), "");  // three 50 ms exchanges
  ASSERT_EQ(host.Press("SubirBtn"), "");
  std::string seen;  // what the program answers on KM1, one tick at a time
  for (int i = 0; i < 5; ++i) {
    host.Advance(50);
    seen += std::get<bool>(Read("A124.0")) ? '1' : '0';
  }
  EXPECT_EQ(seen, "01011");
  ASSERT_EQ(host.Release("SubirBtn"), "");
  seen.clear();
  for (int i = 0; i < 5; ++i) {
    host.Advance(50);
    seen += std::get<bool>(Read("A124.0")) ? '1' : '0';
  }
  EXPECT_EQ(seen, "10100");
  ASSERT_EQ(host.Clear("SubirBtn"), "");
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(50);
  EXPECT_TRUE(std::get<bool>(Read("A124.0")));
}

namespace {

TEST_F(Host, ForcesHoldWhatTheProgramAndThePlantSeeUntilUnforced) {
  Run();
  softplc::Cpu& cpu = session.Plc().Cpu();
  // A forced input: the program answers although nobody pressed the button.
  ASSERT_EQ(host.Force("\"SUBIR\"", "1"), "");
  host.Advance(50);
  EXPECT_FALSE(std::get<bool>(Read("E124.1")));  // the plant's own side is untouched
  EXPECT_TRUE(std::get<bool>(Read("KM1.State")));
  EXPECT_TRUE(cpu.HasForces());
  // A forced output: the plant follows the force, not the program.
  ASSERT_EQ(host.Force("A124.0", "FALSE"), "");
  host.Advance(50);
  EXPECT_FALSE(std::get<bool>(Read("KM1.State")));
  EXPECT_TRUE(std::get<bool>(Read("KM4.State")));
  // Through STOP and RUN the forces stay.
  ASSERT_EQ(host.SetMode("STOP"), "");
  host.Advance(300);
  Run();
  host.Advance(50);
  EXPECT_TRUE(std::get<bool>(Read("KM4.State")));
  EXPECT_FALSE(std::get<bool>(Read("KM1.State")));
  ASSERT_EQ(host.Unforce("KM1"), "");
  host.Advance(50);
  EXPECT_TRUE(std::get<bool>(Read("KM1.State")));
  ASSERT_EQ(host.Unforce("all"), "");
  host.Advance(50);
  EXPECT_FALSE(std::get<bool>(Read("KM1.State")));
  EXPECT_FALSE(cpu.HasForces());
  // A memory reset ends them too.
  ASSERT_EQ(host.Force("QB 125", "B#16#C0"), "");
  ASSERT_EQ(host.SetMode("MRES"), "");
  host.Advance(300);
  EXPECT_FALSE(cpu.HasForces());
}

TEST_F(Host, ModifyWritesOnceAndWrongOperandsAreRefusedBeforeTheRun) {
  Run();
  ASSERT_EQ(host.Modify("MW 10", "W#16#1234"), "");
  EXPECT_EQ(session.Plc().Cpu().MemoryByte(10), 0);  // not before the next cycle
  host.Advance(50);
  EXPECT_EQ(session.Plc().Cpu().MemoryByte(10), 0x12);
  EXPECT_NE(host.Force("MW 10", "1").find("only inputs and outputs"), std::string::npos);
  EXPECT_NE(host.Modify("T 1", "1").find("watched, not modified"), std::string::npos);
  EXPECT_NE(host.Force("\"NADA\"", "1").find("no symbol"), std::string::npos);
  EXPECT_NE(host.Force("E124.1", "7").find("no value for the bit"), std::string::npos);

  std::vector<scenario::Error> errors;
  const scenario::Script s = scenario::Parse(
      "force E 124.1 TRUE\nmodify MD 4 T#2S\nunforce all\nforce SUBIR\nmodify\nunforce\n"
      "force MW 2 1\nexpect E124.0 == 0\n",
      "f.scn", errors);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].Text(), "f.scn:4:7: force needs an operand and a value");
  EXPECT_EQ(errors[2].where.line, 6);
  ASSERT_EQ(s.steps.size(), 5u);
  EXPECT_EQ(s.steps[0].argument, "E 124.1");
  EXPECT_EQ(s.steps[0].value, "TRUE");
  EXPECT_EQ(s.steps[1].kind, scenario::StepKind::Modify);
  EXPECT_EQ(host.Check(s.steps[0]), "");
  EXPECT_EQ(host.Check(s.steps[1]), "");
  EXPECT_EQ(host.Check(s.steps[2]), "");
  EXPECT_NE(host.Check(s.steps[3]), "");  // MW 2 cannot be forced
}

}  // namespace

// What the command line shows of a CPU: its state from the very start, the error that stopped
// it beside a failed check, and the compiler's warnings.
TEST(HostReporting, StateFromTheStartStopCauseAndWarnings) {
  TempDir dir;
  TPlantSession session;
  TPlantHost host(session);
  std::vector<std::string> messages;
  // COMIENZO leads to an area-length error on line 12; ENT draws a warning on line 8.
  ASSERT_TRUE(session.LoadProgram(
      dir.Write("stops.awl", "ORGANIZATION_BLOCK OB 1\nBEGIN\nNETWORK\n      U     \"COMIENZO\"\n"
                             "      SPB   bad\n      L     2\n      T     MW 0\n      ENT\n"
                             "      BEA\nbad:  L     P#9000.0\n      T     MD 4\n      L     MW [MD 4]\n"
                             "END_ORGANIZATION_BLOCK\n"),
      messages));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind(dir.File("stops.awl") + ":8:", 0), 0u) << messages[0];
  EXPECT_NE(messages[0].find("warning: "), std::string::npos) << messages[0];

  scenario::Value state;
  std::vector<scenario::Error> errors;
  const scenario::Script read = scenario::Parse("expect CPU.State == STOP\n", "t", errors);
  ASSERT_EQ(host.Read(read.steps[0].condition.operand, state), "");
  EXPECT_EQ(std::get<std::string>(state), "STOP");

  const scenario::Script s = scenario::Parse(
      "mode RUN\nrun 300ms\nexpect A124.0 == 1\npress ComienzoBtn\nrun 300ms\nexpect A124.0 == 1\n",
      "t", errors);
  ASSERT_TRUE(errors.empty());
  std::ostringstream out;
  scenario::Run(s, host, out);
  const std::string text = out.str();
  // Running, a failed check is only that; in STOP it says where the CPU stopped.
  const std::size_t first = text.find("FAILED");
  const std::size_t second = text.find("FAILED", first + 1);
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_EQ(text.substr(first, second - first).find("the CPU stopped"), std::string::npos) << text;
  EXPECT_NE(text.find("the CPU stopped: " + dir.File("stops.awl") + ":12:7: area length error", second),
            std::string::npos) << text;
  EXPECT_NE(text.find("(OB 1, network 1: L     MW [MD 4])", second), std::string::npos) << text;
}

namespace {

TEST_F(Host, AStepIsExactlyOneTickAndAPausedPlantMovesNothing) {
  std::vector<std::string> messages;
  // SUBIR starts a 1 s on-delay timer whose output lights S_AMBAR.
  ASSERT_TRUE(session.LoadProgram(dir.Write("t.awl", R"(ORGANIZATION_BLOCK OB 1
BEGIN
      U     "SUBIR"
      L     S5T#1S
      SE    T 1
      U     T 1
      =     "S_AMBAR"
END_ORGANIZATION_BLOCK
)"), messages));
  Run();
  TForm2& form = session.Form();
  const softplc::Cpu& cpu = session.Plc().Cpu();
  // Nothing advances the clock here but the steps: that is a paused plant.
  ASSERT_EQ(host.Press("SubirBtn"), "");
  EXPECT_EQ(cpu.InputByte(124) & 0x02, 0);  // taken at the next tick, not before
  const std::uint64_t ticks = form.Ticks(), cycles = cpu.CycleCount(), t0 = session.Clock().Now();
  session.StepTick();
  EXPECT_EQ(form.Ticks(), ticks + 1);
  EXPECT_EQ(cpu.CycleCount(), cycles + 1);
  EXPECT_LE(session.Clock().Now() - t0, TForm2::kTickMs);
  EXPECT_EQ(cpu.InputByte(124) & 0x02, 0x02);
  EXPECT_EQ(cpu.Timer(1).units, 100);  // started in this cycle
  const std::uint64_t started = session.Clock().Now();
  for (int i = 0; i < 19; ++i) session.StepTick();
  EXPECT_EQ(session.Clock().Now() - started, 19u * TForm2::kTickMs);
  EXPECT_EQ(cpu.Timer(1).units, 5);  // 950 ms of plant time, in 10 ms units
  EXPECT_FALSE(std::get<bool>(Read("S1A.State")));
  session.StepTick();
  EXPECT_TRUE(std::get<bool>(Read("S1A.State")));
  EXPECT_EQ(cpu.CycleCount(), cycles + 21);
}

TEST_F(Host, TheChartRecordsTheIoBitsAndMarksFaultsAndForces) {
  Run();
  scenario::Recorder& chart = session.Chart();
  ASSERT_EQ(chart.Traces(), 32);
  EXPECT_EQ(chart.Name(1), "E124.1 SUBIR");
  EXPECT_EQ(chart.Name(16), "A124.0 KM1");
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(100);
  const std::uint64_t pressed = session.Clock().Now();
  ASSERT_EQ(host.Release("SubirBtn"), "");
  host.Advance(100);
  std::uint64_t v = 0;
  ASSERT_TRUE(chart.ValueAt(16, pressed, v));
  EXPECT_EQ(v, 1u);
  ASSERT_TRUE(chart.ValueAt(16, session.Clock().Now(), v));
  EXPECT_EQ(v, 0u);
  EXPECT_EQ(chart.Now(), session.Clock().Now());
  ASSERT_EQ(host.Fault("FC_C", "stuck", 1), "");
  ASSERT_EQ(host.Force("KM1", "1"), "");
  ASSERT_EQ(host.Execute(TForm2::kThermalTest), "");
  // Chosen CPU operands join the chart, bits and words alike, recorded from then on.
  ASSERT_EQ(session.AddChartOperand("\"SUBIR\""), "");
  ASSERT_EQ(session.AddChartOperand("AW 124"), "");
  EXPECT_NE(session.AddChartOperand("MX 1"), "");
  ASSERT_EQ(chart.Traces(), 34);
  EXPECT_EQ(chart.Name(32), "E 124.1 SUBIR");
  EXPECT_EQ(chart.Width(33), 16);
  ASSERT_EQ(host.Force("AW 124", "W#16#8001"), "");
  host.Advance(50);
  const softplc::Cpu& cpu = session.Plc().Cpu();
  ASSERT_TRUE(chart.ValueAt(33, session.Clock().Now(), v));
  EXPECT_EQ(v, 0x8001u);
  ASSERT_EQ(host.Press("SubirBtn"), "");
  host.Advance(50);
  ASSERT_TRUE(chart.ValueAt(32, session.Clock().Now(), v));
  EXPECT_EQ(v, 1u);
  EXPECT_EQ(v, (cpu.InputByte(124) >> 1) & 1u);
  ASSERT_EQ(host.Unforce("all"), "");
  ASSERT_EQ(chart.Markers().size(), 5u);
  EXPECT_EQ(chart.Markers()[0].text, "fault FC_C stuck");
  EXPECT_EQ(chart.Markers()[1].text, "force KM1 1");
  EXPECT_EQ(chart.Markers()[2].text, std::string("test ") + TForm2::kThermalTest);
  EXPECT_EQ(chart.Markers()[3].text, "force AW 124 W#16#8001");
  EXPECT_EQ(chart.Markers()[4].text, "unforce all");
}

}  // namespace
