#include <gtest/gtest.h>

#include <sstream>

#include "scenario/Vcd.h"

using scenario::VcdWriter;

TEST(Vcd, WritesHeaderInitialValuesAndOnlyChanges) {
  VcdWriter w;
  const int bit = w.AddSignal("E124.0 COMIENZO", 1);
  const int elev = w.AddSignal("FE-TERMICO", 8);
  std::ostringstream out;
  w.Set(bit, 1);
  w.Start(out, 0);
  w.Sample(50);  // nothing changed: no time stamp
  w.Set(elev, 45);
  w.Set(bit, 1);
  w.Sample(100);
  w.Set(elev, 300);  // wider than 8 bits: masked to 44
  w.Sample(150);
  EXPECT_EQ(out.str(),
            "$version Torvane plant trace $end\n$timescale 1 ms $end\n$scope module plant $end\n"
            "$var wire 1 ! E124_0_COMIENZO $end\n$var wire 8 \" FE_TERMICO $end\n"
            "$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n1!\nb0 \"\n$end\n"
            "#100\nb101101 \"\n#150\nb101100 \"\n");
}

TEST(Vcd, CodesStayUniqueBeyondOneCharacter) {
  VcdWriter w;
  for (int i = 0; i < 200; ++i) w.AddSignal("s" + std::to_string(i), 1);
  std::ostringstream out;
  w.Start(out, 0);
  const std::string text = out.str();
  // Signal 94 is the first with a two-character code.
  EXPECT_NE(text.find("$var wire 1 !\" s94 $end"), std::string::npos);
  EXPECT_NE(text.find("$var wire 1 ! s0 $end"), std::string::npos);
}
