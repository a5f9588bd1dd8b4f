// The picture catalogue as the components look it up: every name, its type and natural size,
// and the loader's failure for anything else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "framework/Picture.h"

namespace {

struct TEntry {
  std::string Type, Name;
  int Width, Height;
};

// The catalogue; numbered series are added by Catalogue() below.
const TEntry kNamed[] = {
    {"FRAMES", "RELAY_OFF_AC_OFF", 57, 77},   {"FRAMES", "RELAY_ON_AC_OFF", 57, 77},
    {"FRAMES", "RELAY_OFF_AC_ON", 57, 77},    {"FRAMES", "RELAY_ON_AC_ON", 57, 77},
    {"FRAMES", "VALVE_OFF_FLOW_OFF", 45, 48}, {"FRAMES", "VALVE_ON_FLOW_OFF", 45, 48},
    {"FRAMES", "VALVE_ON_FLOW_ON", 45, 48},   {"FRAMES", "TERMICO_OFF", 68, 70},
    {"FRAMES", "TERMICO_ON", 68, 70},         {"FRAMES", "TERMICO3D_OFF", 71, 92},
    {"FRAMES", "TERMICO3D_ON", 71, 92},       {"FRAMES", "LIMIT_SWITCH_OFF", 11, 70},
    {"FRAMES", "LIMIT_SWITCH_ON", 11, 70},    {"FRAMES", "EMERGEN1_OFF", 107, 107},
    {"FRAMES", "EMERGEN1_ON", 106, 107},      {"FRAMES", "EMERGEN2_OFF", 105, 127},
    {"FRAMES", "EMERGEN2_ON", 91, 114},       {"FRAMES", "WHITE_OFF", 60, 60},
    {"FRAMES", "WHITE_ON", 61, 61},           {"FRAMES", "BLACK_OFF", 60, 60},
    {"FRAMES", "BLACK_ON", 61, 61},           {"FRAMES", "BLUE_OFF", 60, 60},
    {"FRAMES", "BLUE_ON", 61, 61},            {"FRAMES", "RED_OFF", 60, 59},
    {"FRAMES", "RED_ON", 61, 61},             {"FRAMES", "MOTOR_OFF", 93, 62},
    {"FRAMES", "MOTOR_ON", 93, 62},           {"FRAMES", "MOTOR_TRIP", 93, 62},
    {"FRAMES", "MOTOR_OVERHEATED", 93, 62},   {"FRAMES", "BOMB_OFF", 67, 52},
    {"FRAMES", "BOMB_ON", 67, 52},            {"FRAMES", "BOMB_TRIP", 67, 52},
    {"FRAMES", "BOMB_OVERHEATED", 68, 52},
    // our own additions: the plain switch pair, the strip under the bridge, the backdrop live,
    // below an open breaker and without mains
    {"FRAMES", "INTERRUPTOR_OFF", 40, 60},    {"FRAMES", "INTERRUPTOR_ON", 40, 60},
    {"FRAMES", "FRAMES_40", 745, 30},         {"FRAMES", "BACKDROP", 217, 281},
    {"FRAMES", "BACKDROP_OPEN", 217, 281},    {"FRAMES", "BACKDROP_DEAD", 217, 281},
    {"BITMAP", "DETECTOR_OFF", 40, 19},       {"BITMAP", "DETECTOR_ON", 40, 19},
    {"BITMAP", "PHOTOHOR_OFF", 200, 15},      {"BITMAP", "PHOTOHOR_ON", 200, 15},
    {"BITMAP", "PHOTOVER_OFF", 15, 200},      {"BITMAP", "PHOTOVER_ON", 15, 200},
    {"BITMAP", "PROXHOR_OFF", 38, 24},        {"BITMAP", "PROXHOR_ON", 38, 24},
    {"BITMAP", "PROXVER_OFF", 24, 38},        {"BITMAP", "PROXVER_ON", 24, 38},
    {"BITMAP", "LOOP_OFF", 29, 29},           {"BITMAP", "LOOP_ON", 29, 29},
    {"BITMAP", "REEDHOR_OFF", 13, 20},        {"BITMAP", "REEDHOR_ON", 13, 20},
    {"BITMAP", "REEDVER_OFF", 20, 13},        {"BITMAP", "REEDVER_ON", 20, 13},
};

const char* const kGlyphs[] = {"TDEPOSIT", "TDETECTOR", "TMETER", "TMOTOR", "TMOTORVALVE",
                               "TPOSITIONDETECTOR", "TPUSHBUTTON", "TRELAY", "TSWITCH", "TVALVE"};

// A series name the way the components form it: prefix and "%i".
std::string Indexed(const char* prefix, int i) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%i", prefix, i);
  return buf;
}

std::vector<TEntry> Catalogue() {
  std::vector<TEntry> all(std::begin(kNamed), std::end(kNamed));
  for (const char* g : kGlyphs) all.push_back({"BITMAP", g, 24, 24});
  for (int i = 0; i < 40; ++i) all.push_back({"FRAMES", Indexed("FRAMES_", i), 517, 517});
  for (int i = 0; i < 10; ++i) all.push_back({"FRAMES", Indexed("MMOTORVALVE_", i), 91, 53});
  return all;
}

std::string FailureOf(std::string_view type, std::string_view name) {
  try {
    TPicture::Load(type, name);
  } catch (const EResNotFound& e) {
    return e.what();
  }
  return "(found)";
}

TEST(PictureCatalogue, EveryNameResolvesWithItsTypeAndNaturalSize) {
  for (const TEntry& e : Catalogue()) {
    SCOPED_TRACE(e.Name);
    TPicture p;
    ASSERT_NO_THROW(p = TPicture::Load(e.Type, e.Name));
    EXPECT_EQ(p.Name(), e.Name);
    EXPECT_EQ(p.Type(), e.Type);
    EXPECT_EQ(p.Width(), e.Width);
    EXPECT_EQ(p.Height(), e.Height);
    EXPECT_EQ(p.Resource()->Format, e.Type == "FRAMES" ? "svg" : "png");
    EXPECT_GT(p.Resource()->Size, 100u) << "no empty or truncated drawing";
  }
}

TEST(PictureCatalogue, CarriesNoPictureOutsideTheCatalogue) {
  std::set<std::pair<std::string, std::string>> expected;
  for (const TEntry& e : Catalogue()) expected.insert({e.Type, e.Name});
  std::set<std::pair<std::string, std::string>> carried;
  for (const TPictureResource& r : PictureResources()) {
    EXPECT_TRUE(carried.insert({std::string(r.Type), std::string(r.Name)}).second)
        << "carried twice: " << r.Name;
    EXPECT_TRUE(expected.count({std::string(r.Type), std::string(r.Name)}))
        << "not in the catalogue: " << r.Type << " " << r.Name;
  }
  EXPECT_EQ(carried.size(), expected.size());
}

TEST(PictureCatalogue, MissingNamesFailWithTheLoadersMessage) {
  EXPECT_EQ(FailureOf("FRAMES", "RELAY_ON_AC_OFFF"), "Resource RELAY_ON_AC_OFFF not found");
  EXPECT_EQ(FailureOf("FRAMES", "relay_on_ac_on"), "Resource relay_on_ac_on not found")
      << "names are looked up exactly as given";
  EXPECT_EQ(FailureOf("FRAMES", ""), "Resource  not found");
  // A name exists only under its own type.
  EXPECT_EQ(FailureOf("BITMAP", "RELAY_ON_AC_ON"), "Resource RELAY_ON_AC_ON not found");
  EXPECT_EQ(FailureOf("FRAMES", "DETECTOR_ON"), "Resource DETECTOR_ON not found");
}

TEST(PictureCatalogue, SeriesIndexesHaveNoLeadingZeros) {
  EXPECT_EQ(TPicture::LoadFrame("MMOTORVALVE_9").Name(), "MMOTORVALVE_9");
  EXPECT_EQ(FailureOf("FRAMES", "MMOTORVALVE_09"), "Resource MMOTORVALVE_09 not found");
  EXPECT_EQ(FailureOf("FRAMES", "FRAMES_00"), "Resource FRAMES_00 not found");
  EXPECT_EQ(FailureOf("FRAMES", "MMOTORVALVE_10"), "Resource MMOTORVALVE_10 not found");
  // FRAMES_40 is the strip under the bridge: present, but not a deck position.
  EXPECT_NE(TPicture::LoadFrame("FRAMES_40").Width(), TPicture::LoadFrame("FRAMES_39").Width());
  EXPECT_EQ(FailureOf("FRAMES", "FRAMES_41"), "Resource FRAMES_41 not found");
}

}  // namespace
