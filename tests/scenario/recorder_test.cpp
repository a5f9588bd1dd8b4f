// The timing chart's recorder: only changes are kept, memory stays bounded over a long run, the
// value at any moment is the last change before it, and the dump replays the same changes.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario/Recorder.h"

namespace {

using scenario::Recorder;

TEST(Recorder, KeepsOnlyChangesAndReadsTheValueAtAnyMoment) {
  Recorder r;
  const int a = r.AddTrace("A124.0_KM1", 1);
  const int w = r.AddTrace("Elevacion", 8);
  for (std::uint64_t t = 0; t <= 1000; t += 50) {
    r.Set(a, t >= 300 && t < 600 ? 1 : 0, t);
    r.Set(w, t / 200, t);
    r.SetNow(t);
  }
  EXPECT_EQ(r.Changes(a).size(), 3u);  // 0 at 0, 1 at 300, 0 at 600
  EXPECT_EQ(r.Changes(w).size(), 6u);
  std::uint64_t v = 99;
  ASSERT_TRUE(r.ValueAt(a, 299, v));
  EXPECT_EQ(v, 0u);
  ASSERT_TRUE(r.ValueAt(a, 300, v));
  EXPECT_EQ(v, 1u);
  ASSERT_TRUE(r.ValueAt(a, 599, v));
  EXPECT_EQ(v, 1u);
  ASSERT_TRUE(r.ValueAt(w, 1000, v));
  EXPECT_EQ(v, 5u);
  EXPECT_EQ(r.Now(), 1000u);
  // Values are cut to the trace's width; a trace added later is unknown before its first value.
  r.Set(w, 0x1FF, 1050);
  ASSERT_TRUE(r.ValueAt(w, 1050, v));
  EXPECT_EQ(v, 0xFFu);
  const int late = r.AddTrace("late", 1);
  r.Set(late, 1, 1100);
  EXPECT_FALSE(r.ValueAt(late, 1099, v));
  EXPECT_FALSE(r.ValueAt(17, 0, v));
}

TEST(Recorder, TenHoursOfABusySignalStayWithinTheBound) {
  constexpr std::size_t kCap = 4096;
  Recorder r(kCap);
  const int busy = r.AddTrace("busy", 1);
  const int quiet = r.AddTrace("quiet", 1);
  const std::uint64_t tenHours = 10ull * 3600 * 1000;
  for (std::uint64_t t = 0; t <= tenHours; t += 50) {
    r.Set(busy, (t / 50) & 1u, t);
    r.Set(quiet, 1, t);
    r.SetNow(t);
  }
  EXPECT_LE(r.Changes(busy).size(), kCap);
  EXPECT_EQ(r.Changes(quiet).size(), 1u);
  EXPECT_LE(r.MemoryBytes(), 2 * kCap * sizeof(Recorder::Change) + 1024);
  // The recent past reads right; the dropped early span is unknown.
  std::uint64_t v = 0;
  ASSERT_TRUE(r.ValueAt(busy, tenHours - 50, v));
  EXPECT_EQ(v, ((tenHours - 50) / 50) & 1u);
  EXPECT_FALSE(r.ValueAt(busy, 1000, v));
  ASSERT_TRUE(r.ValueAt(quiet, 1000, v));
  EXPECT_EQ(v, 1u);
  EXPECT_GT(r.Changes(busy).front().timeMs, tenHours / 2);
}

TEST(Recorder, TheDumpReplaysTheChangesInTimeOrderWithTheMarkersKept) {
  Recorder r;
  const int a = r.AddTrace("E124.1 SUBIR", 1);
  const int b = r.AddTrace("Frame", 4);
  r.Set(a, 0, 100);
  r.Set(b, 3, 100);
  r.Set(a, 1, 250);
  r.Set(b, 5, 400);
  r.Set(a, 0, 400);
  r.Mark(250, "fault FC_C stuck 1");
  r.SetNow(500);
  std::ostringstream out;
  r.WriteVcd(out);
  const std::string vcd = out.str();
  EXPECT_NE(vcd.find("$var wire 1 ! E124_1_SUBIR $end"), std::string::npos) << vcd;
  EXPECT_NE(vcd.find("$var wire 4 \" Frame $end"), std::string::npos);
  EXPECT_NE(vcd.find("#100\n$dumpvars\n0!\nb11 \"\n$end\n#250\n1!\n#400\n0!\nb101 \"\n#500\n"),
            std::string::npos)
      << vcd;
  ASSERT_EQ(r.Markers().size(), 1u);
  EXPECT_EQ(r.Markers()[0].timeMs, 250u);
}

}  // namespace
