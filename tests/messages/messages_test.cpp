// The CPU's, the scenarios' and the grading's messages in Spanish: templates translated, their
// arguments (numbers, addresses, messages within messages) in the right places, and English
// untouched when no translation is installed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <sstream>

#include "grading/Grader.h"
#include "i18n/Messages.h"
#include "i18n/Translations.h"
#include "scenario/Scenario.h"
#include "softplc/SoftPlc.h"
#include "softplc/Text.h"

namespace {

// Spanish for the length of a test, English again afterwards.
struct TSpanish {
  TSpanish() {
    EXPECT_TRUE(torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("es")));
    torvane::InstallMessageTranslator();
  }
  ~TSpanish() {
    torvane::InstallTranslations(*QCoreApplication::instance(), QStringLiteral("en"));
    softplc::SetMessageTranslator(nullptr);
  }
};

const char* const kBadProgram =
    "      U     M 4096.0\n"
    "      UX    E 0.0\n"
    "      L\n"
    "      SPA   M 1.0\n";

std::vector<std::string> Shown(const std::vector<softplc::Message>& messages) {
  std::vector<std::string> out;
  for (const softplc::Message& m : messages) out.push_back(softplc::Shown(m.text, m.format, m.args));
  return out;
}

TEST(Messages, LoadErrorsInSpanishKeepTheirArguments) {
  softplc::Cpu cpu;
  const softplc::LoadResult r = cpu.Load({{"bad.awl", kBadProgram}}, {});
  const std::vector<std::string> english = {
      "address 'M 4096.0' is out of range (this area has bytes 0 to 4095)",
      "unknown instruction 'UX'; did you mean 'U'?",
      "'L' needs an operand: a byte such as MB 10, a word such as MW 10, a double word such as "
      "MD 10, a constant, a timer such as T 1, a counter such as Z 1, STW or DBNO, DBLG, DINO or "
      "DILG",
      "'SPA' needs a jump label"};
  // Without a translation the texts are the English ones, whichever way they are asked for.
  EXPECT_EQ(Shown(r.errors), english);
  std::vector<std::string> texts;
  for (const softplc::Message& m : r.errors) texts.push_back(m.text);
  EXPECT_EQ(texts, english);

  TSpanish spanish;
  EXPECT_EQ(Shown(r.errors),
            (std::vector<std::string>{
                "la dirección 'M 4096.0' está fuera de rango (esta área tiene los bytes 0 a 4095)",
                "instrucción desconocida 'UX'; ¿quería decir 'U'?",
                "'L' necesita un operando: un byte como MB 10, una palabra como MW 10, una palabra "
                "doble como MD 10, una constante, un temporizador como T 1, un contador como Z 1, "
                "STW o DBNO, DBLG, DINO o DILG",
                "'SPA' necesita una meta de salto"}));
  // The texts themselves stay English: they are what tools and tests read.
  EXPECT_EQ(r.errors[0].text, english[0]);
  // A load made while Spanish is on gives the same.
  softplc::Cpu again;
  EXPECT_EQ(Shown(again.Load({{"bad.awl", kBadProgram}}, {}).errors), Shown(r.errors));
}

TEST(Messages, DiagnosticsInSpanish) {
  softplc::Cpu cpu;
  ASSERT_TRUE(cpu.Load({{"stop.awl", "      CALL  SFC 46\n"}}, {}).ok);
  cpu.SetMode(softplc::CpuMode::Run);
  cpu.RunCycle(10);
  TSpanish spanish;
  std::vector<std::string> shown;
  for (const softplc::DiagEntry& d : cpu.Diagnostics())
    shown.push_back(softplc::Shown(d.text, d.format, d.args));
  EXPECT_EQ(shown, (std::vector<std::string>{"nuevo programa cargado",
                                             "cambio de modo STOP -> RUN: rearranque completo",
                                             "STOP solicitado por SFC 46 STP; CPU en STOP"}));
  EXPECT_EQ(cpu.Diagnostics().back().text, "STOP requested by SFC 46 STP; CPU in STOP");
}

// A plant whose every operand reads 0.
class TZeroHost : public scenario::Host {
 public:
  std::uint64_t PlantTimeMs() const override { return Now; }
  void Advance(std::uint64_t ms) override { Now += ms; }
  std::string SetMode(const std::string&) override { return {}; }
  std::string Press(const std::string&) override { return {}; }
  std::string Release(const std::string&) override { return {}; }
  std::string Click(const std::string&) override { return {}; }
  std::string Execute(const std::string&) override { return {}; }
  std::string Read(const scenario::Operand&, scenario::Value& v) override {
    v = 0.0;
    return {};
  }
  std::string Check(const scenario::Step&) override { return {}; }
  std::uint64_t Now = 0;
};

TEST(Messages, ScenarioReportAndErrorsInSpanish) {
  TSpanish spanish;
  std::vector<scenario::Error> errors;
  const scenario::Script script =
      scenario::Parse("run 1s\nexpect A124.0 == 1\n", "t.scn", errors);
  ASSERT_TRUE(errors.empty());
  TZeroHost host;
  std::ostringstream out;
  scenario::Run(script, host, out);
  EXPECT_EQ(out.str(),
            "[    1.000 s] run 1s\n"
            "[    1.000 s] expect A124.0 == 1: FALLO (A124.0 vale 0)\n"
            "0 correctos, 1 fallidos\n");

  scenario::Parse("mode FAST\nexpect A124.0 == 1\n", "t.scn", errors);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].Text(), "t.scn:1:6: el modo debe ser RUN, RUN_P, STOP o MRES, no 'FAST'");

  // The grading speaks it too, while its machine words stay English.
  EXPECT_EQ(grading::StatusText(grading::Status::TimedOut), "tiempo agotado");
  EXPECT_STREQ(grading::StatusWord(grading::Status::TimedOut), "timed out");
}

}  // namespace
