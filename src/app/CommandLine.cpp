#include "app/CommandLine.h"

#include "i18n/Translations.h"

#include <cctype>
#include <utility>

namespace {

struct TValueOption {
  const char* Name;
  std::string TCommandLine::*Field;
};

constexpr TValueOption kValueOptions[] = {
    {"--scenario", &TCommandLine::Scenario},     {"--trace", &TCommandLine::Trace},
    {"--chart", &TCommandLine::Chart},
    {"--screenshot", &TCommandLine::Screenshot}, {"--gallery", &TCommandLine::Gallery},
    {"--render-module", &TCommandLine::ModuleFigure}, {"--plc", &TCommandLine::Plc},
    {"--exercise", &TCommandLine::Exercise},
};

// Symbol tables are told from sources by the extensions STEP 7 exports them with.
bool IsSymbolTable(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == "sdf" || ext == "seq" || ext == "asc";
}

std::string Tr(const char* text, std::initializer_list<std::string> args = {}) {
  return torvane::Tr("CommandLine", text, args);
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, TCommandLine& out, std::string& error) {
  out = TCommandLine();
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
      (IsSymbolTable(a) ? out.SymbolFiles : out.Programs).push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "-h" || a == "--help") {
      out.Help = true;
      continue;
    }
    if (a == "-v" || a == "--version") {
      out.Version = true;
      continue;
    }
    if (a == "--run") {
      out.Run = true;
      continue;
    }
    if (a == "--headless") {
      out.Headless = true;
      continue;
    }
    if (a == "--check") {
      out.Check = true;
      continue;
    }
    // --name VALUE or --name=VALUE
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    const TValueOption* option = nullptr;
    for (const TValueOption& o : kValueOptions)
      if (name == o.Name) option = &o;
    if (option == nullptr) {
      error = Tr(QT_TRANSLATE_NOOP("CommandLine", "unknown option '%1' (see --help)"), {a});
      return false;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = a.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    if (value.empty()) {
      error = Tr(QT_TRANSLATE_NOOP("CommandLine", "%1 needs a value"), {name});
      return false;
    }
    out.*(option->Field) = std::move(value);
  }
  if (out.Help || out.Version) return true;
  if (!out.Plc.empty() && out.Plc != "embedded" && !out.Programs.empty()) {
    error = Tr(QT_TRANSLATE_NOOP("CommandLine",
                                 "'%1' cannot be loaded into an external PLC (--plc %2): load the "
                                 "program with the PLC's own tools"),
               {out.Programs.front(), out.Plc});
    return false;
  }
  if (out.Programs.empty() && !out.SymbolFiles.empty()) {
    error = Tr(QT_TRANSLATE_NOOP("CommandLine", "'%1' is a symbol table, but no program was given"),
               {out.SymbolFiles.front()});
    return false;
  }
  if (out.Check && out.Programs.empty()) {
    error = Tr(QT_TRANSLATE_NOOP("CommandLine",
                                 "--check needs the program: --check FILE.awl ... [SYMBOLS.sdf]"));
    return false;
  }
  if (!out.Chart.empty() && out.Scenario.empty()) {
    error = Tr(QT_TRANSLATE_NOOP("CommandLine",
                                 "--chart needs --scenario FILE (the chart is of the scenario's run)"));
    return false;
  }
  if (out.Headless && out.Scenario.empty()) {
    error = Tr(QT_TRANSLATE_NOOP("CommandLine",
                                 "--headless needs --scenario FILE (there is nobody to click the plant)"));
    return false;
  }
  return true;
}

std::string UsageText() {
  // One text, so that a translator sees the columns whole and keeps them aligned.
  return Tr(QT_TRANSLATE_NOOP("CommandLine",
         "Usage: torvane [options] [FILE.awl ...] [SYMBOLS.sdf ...]\n"
         "Torvane - a lift-bridge plant for PLC programming practice.\n"
         "\n"
         "Opens the bridge plant and the PLC window with the embedded CPU, and loads FILE.awl\n"
         "(an STL program in German or English mnemonics) into it. Several source files are\n"
         "compiled together; symbol tables exported as .sdf, .seq or .asc are read beside them\n"
         "(without one given, a table with the source's base name is picked up).\n"
         "\n"
         "Options:\n"
         "  --check             compile the program without starting the plant, print every\n"
         "                      error and warning as file:line:col: message and exit: 0 clean,\n"
         "                      2 when it does not compile\n"
         "  --run               put the CPU in RUN once the program is loaded\n"
         "  --scenario FILE     run a scenario against the plant and exit: 0 every expectation\n"
         "                      held, 1 one failed, 2 the program or scenario cannot be loaded\n"
         "  --headless          no window on screen (rendered offscreen); needs --scenario\n"
         "  --trace FILE.vcd    write every PLC input and output bit and the elevation as a\n"
         "                      VCD waveform on plant time\n"
         "  --chart FILE.svg    draw the timing chart of a scenario run (every PLC input and\n"
         "                      output bit, faults and forces marked) as an SVG drawing\n"
         "  --screenshot DIR    save a PNG of every window at the end of the run (without a\n"
         "                      scenario: right after start-up) and exit\n"
         "  --plc SPEC          what plays the PLC: embedded (the default, Torvane's own CPU)\n"
         "                      or modbus:HOST[:PORT][,unit=N][,inputs=ADDR][,outputs=ADDR]\n"
         "                      [,outputs-area=holding|input][,run-coil=ADDR][,timeout=MS]\n"
         "                      [,retry=MS] for an external PLC over Modbus TCP\n"
         "  --exercise DIR      open the exercise in DIR beside the plant: its statement, and\n"
         "                      the scenarios students may see, played on the plant\n"
         "  --gallery FILE.png  render every component and picture on one sheet and exit\n"
         "  --render-module FILE.png\n"
         "                      render the I/O module figure and exit\n"
         "  --lang LANG         the language of windows and messages: en or es (by default\n"
         "                      the desktop's: Spanish for a Spanish locale, else English)\n"
         "  -h, --help          show this help and exit\n"
         "  -v, --version       show the version and exit\n"
         "\n"
         "Exercises:\n"
         "  torvane exercise check DIR   validate an exercise folder and run its solution\n"
         "  torvane grade EXERCISE SUBMISSIONS [--jobs N] [--junit F.xml] [--html F.html]\n"
         "                [--csv F.csv]  grade one program or folder per student\n"
         "  torvane check EXERCISE FILE.awl ...\n"
         "                               run the scenarios students may see\n"));
}
