// Construction of the database, the version in force and the node accessors.
#include <gtest/gtest.h>

#include <cmath>

#include "FloorplanTestDesign.h"
#include "RunBinary.h"
#include "floorplan/DB.h"

using namespace fptest;

namespace {

std::unique_ptr<DB> makeDB(TestDesign& t, int whitespace = 20, bool timing = false, int cfg = 0,
                           double freq = 1.0) {
  return std::make_unique<DB>(t.get(), whitespace, timing, cfg, freq, 1.0);
}

// The line the constructor prints about the chip outline.
std::string chipLine(const std::string& out) {
  for (const auto& line : osvotest::splitLines(out))
    if (line.rfind("Chip width ", 0) == 0) return line;
  return "";
}

TEST(DBVersionTest, MissingNameEntersVersionZeroAndChipUsesVersionZero) {
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("a", 4, 2);
  t.version(a, 8, 1);
  auto db = makeDB(t);
  ASSERT_EQ(db->configs.size(), 1u);
  EXPECT_DOUBLE_EQ(db->configs[0]->ipc, 1.0);
  // Without an IPC file the one configuration starts empty; summing the block
  // areas looked every block up, which entered its name with version 0.
  EXPECT_EQ(db->configs[0]->versions, (std::map<std::string, int>{{"a", 0}}));

  db->configs[0]->versions.clear();
  db->invalidateVersionCache();
  EXPECT_EQ(db->getVersion(a), a->master->versions[0]);
  EXPECT_EQ(db->getNodeWidth(a), 4);
  EXPECT_EQ(db->configs[0]->versions, (std::map<std::string, int>{{"a", 0}}));

  // The chip instance always uses version 0, whatever a configuration says.
  t.version(t.top(), 99, 99);
  db->configs[0]->versions["chip"] = 1;
  db->invalidateVersionCache();
  EXPECT_EQ(db->getVersion(t.top()), t.top()->master->versions[0]);
}

TEST(DBVersionTest, VersionFollowsTheConfigurationInForce) {
  TestDesign t;
  CktInstance* a = t.block("a", 4, 2);
  CktInstance* b = t.block("b", 3, 3);
  t.version(a, 8, 1);
  t.version(b, 1, 9);
  std::string dir = osvotest::scratchDir("db_version_follows");
  osvotest::writeFile(dir + "/ipc", "{a:0, b:1} 1.5\n{a:1, b:0} 2.5\n");
  resetOptions(dir + "/ipc");
  auto db = makeDB(t);
  ASSERT_EQ(db->configs.size(), 2u);

  EXPECT_EQ(db->getNodeWidth(0), 4);
  EXPECT_EQ(db->getNodeHeight(1), 9);
  // The annealer writes currentConfig directly: the next access follows it.
  db->currentConfig = 1;
  EXPECT_EQ(db->getNodeWidth(0), 8);
  EXPECT_EQ(db->getNodeHeight(b), 3);
  db->currentConfig = 0;
  EXPECT_EQ(db->getNodeWidth(a), 4);

  // Writes go to the version in force.
  db->putNodeWidth(a, 5);
  db->putNodeHeight(1, 7);
  db->setBlockDelay(a, 12.5);
  db->setBlockLatency(a, 3);
  db->setArea(a, 35);
  EXPECT_EQ(a->master->versions[0]->width, 5);
  EXPECT_EQ(b->master->versions[1]->height, 7);
  EXPECT_EQ(db->getBlockDelay(a), 12.5);
  EXPECT_EQ(db->getBlockLatency(a), 3);
  EXPECT_EQ(db->getArea(a), 35);
  EXPECT_EQ(a->master->versions[1]->delay, 0);

  // An entry edited in place is seen once the cache is told so.
  db->configs[0]->versions["a"] = 1;
  db->invalidateVersionCache();
  EXPECT_EQ(db->getNodeWidth(a), 8);
}

TEST(DBOutlineTest, ChipAreaFromBlockAreaAndWhitespace) {
  resetOptions();
  TestDesign t;
  t.block("a", 10, 3);
  t.block("b", 5, 14);
  testing::internal::CaptureStdout();
  auto db = makeDB(t, 44);
  std::string out = testing::internal::GetCapturedStdout();
  // (30 + 70) x 1.44 = 144, a square of side 12.
  CktVersion* chip = t.top()->master->versions[0];
  EXPECT_DOUBLE_EQ(chip->area, 144);
  EXPECT_DOUBLE_EQ(chip->width, 12);
  EXPECT_DOUBLE_EQ(chip->height, 12);
  EXPECT_EQ(chipLine(out), "Chip width 12Chip height 12");
  // The delay model's own lines follow the outline.
  EXPECT_NE(out.find("Set Width and Spacing"), std::string::npos);
  EXPECT_EQ(db->getNodeWidth(t.top()), 12);
  EXPECT_EQ(db->fixFreq, 1.0);
  EXPECT_EQ(db->verRate, 1.0);
  EXPECT_FALSE(db->nodesAreaValid);
}

TEST(DBOutlineTest, OutlineUsesTheGivenConfigurationThenStartsFromTheFirst) {
  TestDesign t;
  CktInstance* a = t.block("a", 2, 2);
  t.version(a, 6, 6);
  std::string dir = osvotest::scratchDir("db_outline_config");
  osvotest::writeFile(dir + "/ipc", "{a:0} 1\n{a:1} 1\n");
  resetOptions(dir + "/ipc");
  testing::internal::CaptureStdout();
  auto db = makeDB(t, 0, false, 1);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(chipLine(out), "Chip width 6Chip height 6");
  EXPECT_EQ(db->currentConfig, 0);
  EXPECT_EQ(db->getNodeWidth(a), 2);
}

TEST(DBOutlineTest, EmptyDesignHasAChipOfSizeZero) {
  resetOptions();
  TestDesign t;
  testing::internal::CaptureStdout();
  auto db = makeDB(t);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(chipLine(out), "Chip width 0Chip height 0");
  EXPECT_EQ(db->getNumNodes(), 0);
  EXPECT_EQ(db->getNodesArea(), 0);
  EXPECT_EQ(db->getAvgHeight(), 0);
  EXPECT_EQ(db->getXSize(), 0);
  EXPECT_EQ(db->getYSize(), 0);
  EXPECT_EQ(db->evalArea(), 0);
  double scratch = 0;
  EXPECT_EQ(db->evalHPWL(scratch), 0);
}

TEST(DBAccessorTest, BoundingBoxesAndNodeLists) {
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("a", 4, 2, 1, 1);
  CktInstance* b = t.block("b", 3, 6, 10, -2);
  auto db = makeDB(t);
  EXPECT_DOUBLE_EQ(db->getXSize(), 12);  // from 1 to 13
  EXPECT_DOUBLE_EQ(db->getYSize(), 6);   // from -2 to 4
  EXPECT_DOUBLE_EQ(db->evalArea(), 72);
  EXPECT_DOUBLE_EQ(db->getNodesArea(), 26);
  EXPECT_TRUE(db->nodesAreaValid);
  EXPECT_DOUBLE_EQ(db->getAvgHeight(), 4);
  EXPECT_EQ(db->getNodeWidths(), (std::vector<double>{4, 3}));
  EXPECT_EQ(db->getNodeHeights(), (std::vector<double>{2, 6}));
  EXPECT_EQ(db->getName(b), "b");
  EXPECT_EQ(db->getNodes(), (std::vector<CktInstance*>{a, b}));

  db->updatePlacement({0, 4}, {0, 0});
  EXPECT_EQ(db->getXLocs(), (std::vector<double>{0, 4}));
  EXPECT_EQ(db->getYLocs(), (std::vector<double>{0, 0}));
  EXPECT_DOUBLE_EQ(db->getXSize(), 7);
  EXPECT_DOUBLE_EQ(db->evalArea(), 42);
}

TEST(DBAccessorTest, UpdateSlacksCopiesOnlyIntoExistingEntries) {
  resetOptions();
  TestDesign t;
  t.block("a", 1, 1);
  auto db = makeDB(t);
  db->updateSlacks({1, 2}, {3, 4});
  EXPECT_TRUE(db->xSlacks.empty());
  EXPECT_TRUE(db->ySlacks.empty());
  db->xSlacks.assign(1, 0);
  db->ySlacks.assign(1, 0);
  db->updateSlacks({1, 2}, {3, 4});
  EXPECT_EQ(db->xSlacks, std::vector<double>{1});
  EXPECT_EQ(db->ySlacks, std::vector<double>{3});
}

TEST(DBDeathTest, PipelineClockOutsideTheFrequencySlotsIsRefused) {
  resetOptions();
  for (double freq : {0.0, -1.0, 10.1, 25.0}) {
    TestDesign t(1);
    t.block("a", 1, 1);
    EXPECT_EXIT(makeDB(t, 20, false, 0, freq), testing::ExitedWithCode(1), "-fix_freq");
  }
  // The edges of the slots are accepted: 0.1 is slot 0 and 10.0 slot 99.
  for (double freq : {0.1, 10.0}) {
    TestDesign t(1);
    t.block("a", 1, 1);
    EXPECT_NE(makeDB(t, 20, false, 0, freq), nullptr);
  }
  // A Verilog design does not use the slots.
  TestDesign t;
  t.block("a", 1, 1);
  EXPECT_NE(makeDB(t, 20, false, 0, 0.0), nullptr);
}

TEST(DBOptionTest, WidthSpaceFileOverridesTheDelayModel) {
  std::string dir = osvotest::scratchDir("db_width_space");
  osvotest::writeFile(dir + "/ws", "0.5 0.25\n");
  resetOptions();
  ReadParam::cmdOption["-readWidthSpace"] = dir + "/ws";
  TestDesign t;
  t.block("a", 1, 1);
  testing::internal::CaptureStdout();
  auto db = makeDB(t);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Override width and spacing"), std::string::npos);
  EXPECT_DOUBLE_EQ(db->delayAid->width[0], 0.5);
  EXPECT_DOUBLE_EQ(db->delayAid->spacing[0], 0.25);
  ReadParam::clear();
}

}  // namespace
