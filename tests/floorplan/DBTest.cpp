// Construction of the database, the version in force and the placement extent.
#include <gtest/gtest.h>

#include <algorithm>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

// Builds the database and returns the line it prints about the chip outline.
std::string chipLine(TestDesign& t, std::unique_ptr<DB>& db, int whitespace, int config = 0) {
  testing::internal::CaptureStdout();
  db = std::make_unique<DB>(t.get(), whitespace, false, config, 1.0, 1.0);
  const std::vector<std::string> lines =
      osvotest::splitLines(testing::internal::GetCapturedStdout());
  auto line = std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("Chip width ", 0) == 0; });
  if (line == lines.end()) return "";
  // The delay model's own lines follow the outline.
  EXPECT_TRUE(line + 1 != lines.end() && line[1] == "Set Width and Spacing: ");
  return *line;
}

TEST(DBTest, ChipOutlineFromBlockAreaWhitespaceAndConfiguration) {
  resetOptions();
  std::unique_ptr<DB> db;
  TestDesign t;
  t.block("a", 10, 3);
  t.block("b", 5, 14);
  // (30 + 70) x 1.44 = 144, a square of side 12.
  EXPECT_EQ(chipLine(t, db, 44), "Chip width 12Chip height 12");
  EXPECT_DOUBLE_EQ(t.top()->master->versions[0]->area, 144);
  EXPECT_DOUBLE_EQ(db->getNodeWidth(t.top()), 12);
  EXPECT_DOUBLE_EQ(db->getNodeHeight(t.top()), 12);
  // Without an IPC file there is one configuration of IPC 1; summing the areas
  // entered every block with version 0.
  ASSERT_EQ(db->configs.size(), 1u);
  EXPECT_DOUBLE_EQ(db->configs[0]->ipc, 1.0);
  EXPECT_EQ(db->configs[0]->versions, (std::map<std::string, int>{{"a", 0}, {"b", 0}}));

  // The outline uses the configuration asked for; the run then starts from the first.
  TestDesign u;
  CktInstance* a = u.block("a", 2, 2);
  u.version(a, 6, 6);
  std::string ipc = testDir() + "/ipc";
  osvotest::writeFile(ipc, "{a:0} 1\n{a:1} 1\n");
  resetOptions(ipc);
  EXPECT_EQ(chipLine(u, db, 0, 1), "Chip width 6Chip height 6");
  EXPECT_EQ(db->currentConfig, 0);
  EXPECT_EQ(db->getNodeWidth(a), 2);

  // A design without blocks has a chip of size 0 and an empty extent, not 0/0.
  resetOptions();
  TestDesign empty;
  EXPECT_EQ(chipLine(empty, db, 20), "Chip width 0Chip height 0");
  EXPECT_EQ(db->getAvgHeight(), 0);
  EXPECT_EQ((std::vector{db->getXSize(), db->getYSize(), db->evalArea()}), std::vector(3, 0.0));
  double scratch = 0;
  EXPECT_EQ(db->evalHPWL(scratch), 0);
}

TEST(DBTest, VersionFollowsTheConfigurationInForce) {
  TestDesign t;
  CktInstance* a = t.block("a", 4, 2);
  CktInstance* b = t.block("b", 3, 3);
  t.version(a, 8, 1);
  t.version(b, 1, 9);
  std::string ipc = testDir() + "/ipc";
  osvotest::writeFile(ipc, "{a:0, b:1} 1.5\n{a:1, b:0} 2.5\n");
  resetOptions(ipc);
  auto db = quietDB(t);
  EXPECT_EQ(db->getNodeWidth(0), 4);
  EXPECT_EQ(db->getNodeHeight(1), 9);
  // The annealer writes currentConfig directly: the next access follows it.
  db->currentConfig = 1;
  EXPECT_EQ(db->getNodeWidth(0), 8);
  EXPECT_EQ(db->getNodeHeight(b), 3);
  db->currentConfig = 0;
  EXPECT_EQ(db->getNodeWidth(a), 4);
  // An entry edited in place is seen once the cache is told so; a name that is
  // missing is entered with version 0.
  db->configs[0]->versions["a"] = 1;
  db->invalidateVersionCache();
  EXPECT_EQ(db->getNodeWidth(a), 8);
  db->configs[0]->versions.erase("a");
  db->invalidateVersionCache();
  EXPECT_EQ(db->getVersion(a), a->master->versions[0]);
  EXPECT_EQ(db->configs[0]->versions.at("a"), 0);
  // The chip instance always uses version 0, whatever a configuration says.
  t.version(t.top(), 99, 99);
  db->configs[0]->versions["chip"] = 1;
  db->invalidateVersionCache();
  EXPECT_EQ(db->getVersion(t.top()), t.top()->master->versions[0]);
}

bool builds(int mode, double freq) {
  TestDesign t(mode);
  t.block("a", 1, 1);
  return quietDB(t, 20, false, 0, freq) != nullptr;
}

TEST(DBDeathTest, PipelineClockOutsideTheFrequencySlotsIsRefused) {
  resetOptions();
  for (double freq : {0.0, -1.0, 10.1, 25.0})
    EXPECT_EXIT(builds(1, freq), testing::ExitedWithCode(1), "-fix_freq") << freq;
  // Slot 0 is 0.1 and slot 99 is 10.0; a Verilog design does not use the slots.
  EXPECT_TRUE(builds(1, 0.1) && builds(1, 10.0) && builds(0, 0.0));
}

TEST(DBTest, WidthSpaceFileOverridesTheDelayModel) {
  std::string ws = testDir() + "/ws";
  osvotest::writeFile(ws, "0.5 0.25\n");
  resetOptions();
  ReadParam::cmdOption["-readWidthSpace"] = ws;
  TestDesign t;
  auto db = quietDB(t);
  EXPECT_DOUBLE_EQ(db->delayAid->width[0], 0.5);
  EXPECT_DOUBLE_EQ(db->delayAid->spacing[0], 0.25);
  ReadParam::clear();
}

}  // namespace
