// Reading the command line: what each option sets, and every way it can be wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

bool Parse(const std::vector<std::string>& args, TCommandLine& out, std::string& error) {
  error.clear();
  return ParseCommandLine(args, out, error);
}

TEST(CommandLine, ReadsEveryOptionInBothSpellings) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({"--headless", "--scenario", "a.scn", "--trace=t.vcd", "--screenshot", "shots",
                     "--run", "prog.awl"},
                    o, error))
      << error;
  EXPECT_TRUE(o.Headless);
  EXPECT_TRUE(o.Run);
  EXPECT_EQ(o.Scenario, "a.scn");
  EXPECT_EQ(o.Trace, "t.vcd");
  EXPECT_EQ(o.Screenshot, "shots");
  EXPECT_EQ(o.Programs, std::vector<std::string>{"prog.awl"});
  EXPECT_TRUE(o.Gallery.empty());
}

TEST(CommandLine, NothingGivenOpensTheWindowsWithoutAProgram) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({}, o, error));
  EXPECT_TRUE(o.Programs.empty());
  EXPECT_FALSE(o.Run || o.Headless || o.Help || o.Version);
}

TEST(CommandLine, RefusesWhatItCannotHonour) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const std::vector<Case> cases = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--scenario"}, "--scenario needs a value"},
      {{"--trace="}, "--trace needs a value"},
      {{"symbols.sdf"}, "'symbols.sdf' is a symbol table, but no program was given"},
      {{"--headless", "a.awl"}, "--headless needs --scenario"},
  };
  for (const Case& c : cases) {
    TCommandLine o;
    std::string error;
    EXPECT_FALSE(Parse(c.args, o, error)) << c.args.front();
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

TEST(CommandLine, SourcesAndSymbolTablesAreToldApartByExtension) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({"main.awl", "SYMBOLS.SDF", "blocks.AWL", "dir.seq/prog.awl", "s.asc"}, o,
                    error))
      << error;
  EXPECT_EQ(o.Programs, (std::vector<std::string>{"main.awl", "blocks.AWL", "dir.seq/prog.awl"}));
  EXPECT_EQ(o.SymbolFiles, (std::vector<std::string>{"SYMBOLS.SDF", "s.asc"}));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({"--headless", "--help"}, o, error));
  EXPECT_TRUE(o.Help);
  ASSERT_TRUE(Parse({"-v"}, o, error));
  EXPECT_TRUE(o.Version);
  // Every option the program reads is in the help text.
  for (const char* name : {"--run", "--headless", "--scenario", "--trace", "--screenshot", "--gallery",
                           "--chart"})
    EXPECT_NE(UsageText().find(name), std::string::npos) << name;
}

TEST(CommandLine, AChartIsOfAScenarioRun) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({"--headless", "--scenario", "a.scn", "--chart", "c.svg", "p.awl"}, o, error)) << error;
  EXPECT_EQ(o.Chart, "c.svg");
  EXPECT_FALSE(Parse({"--chart", "c.svg", "p.awl"}, o, error));
  EXPECT_NE(error.find("--chart needs --scenario"), std::string::npos);
}

TEST(CommandLine, ADoubleDashEndsTheOptions) {
  TCommandLine o;
  std::string error;
  ASSERT_TRUE(Parse({"--run", "--", "--odd-name.awl"}, o, error)) << error;
  EXPECT_EQ(o.Programs, std::vector<std::string>{"--odd-name.awl"});
}

}  // namespace
