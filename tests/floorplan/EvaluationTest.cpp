// Wire length, wire delays, timing weights and the pipeline model.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FloorplanTestDesign.h"
#include "floorplan/DB.h"

using namespace fptest;

namespace {

std::unique_ptr<DB> makeDB(TestDesign& t, bool timing = false, double freq = 1.0) {
  resetOptions();
  return std::make_unique<DB>(t.get(), 20, timing, 0, freq, 1.0);
}

void setLatency(CktInstance* inst, int latency) {
  inst->master->versions[0]->latency = latency;
}

// Blocks of 10 x 10: A at the origin, B 100 to the right, C 200 above A. With
// "-fix_freq" 1.0 the usable cycle U is 954 and a cycle covers 954 / 87 units.
struct PipelineFixture : testing::Test {
  TestDesign t{1};
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* b = t.block("B", 10, 10, 100, 0);
  CktInstance* c = t.block("C", 10, 10, 0, 200);
  void SetUp() override {
    setLatency(a, 500);
    setLatency(b, 1500);
  }
};

TEST_F(PipelineFixture, TwoBlockPathsOfOneLoop) {
  CktNet* ac = t.connect("A_C", a, c);
  CktNet* ab = t.connect("A_B", a, b);
  FlatDesign* d = t.get();
  d->pathList = {{ac}, {ab}};
  d->pathProb = {-0.2, -0.5};  // stored negated, as the reader does
  d->pathBaseLatency = {3, 1};
  d->pathLatency = {0, 0};
  d->loopEnd = {1};
  auto db = makeDB(t);
  double out = 0;
  double result = db->evalHPWL(out);

  // Path A_C: A's latency 500 gives L = 500/954 and tco 500, the path restarts
  // from tco/U; the wire of 200 adds 200 x 87 / 954, so L = 17900/954 = 18.76,
  // the sink's tsu is (19 - L) x 954 = 226 and L becomes 19.
  CktPin* driver = ac->pins[0];
  EXPECT_DOUBLE_EQ(driver->tsu, 0);
  EXPECT_DOUBLE_EQ(driver->latency, 0);
  EXPECT_NEAR(driver->tco, 500, 1e-9);
  EXPECT_NEAR(ac->pins[1]->tsu, 226, 1e-9);
  EXPECT_DOUBLE_EQ(d->pathLatency[0], 19);
  // Path A_B: L = (500 + 8700)/954, tsu 340, total 10.
  EXPECT_NEAR(ab->pins[1]->tsu, 340, 1e-9);
  EXPECT_DOUBLE_EQ(d->pathLatency[1], 10);
  // The loop closes at path 1 with running maximum 19: each cycle beyond the
  // base latency keeps 1 - 0.5 of the IPC, so the factor is 0.5^(19 - 1).
  EXPECT_DOUBLE_EQ(out, 1.0);
  EXPECT_NEAR(result, std::pow(2.0, 18), 1e-6);
  // Each call starts afresh.
  EXPECT_NEAR(db->evalHPWL(out), result, 1e-15);
}

TEST_F(PipelineFixture, LatencyCarriedAlongAThreeBlockPath) {
  CktNet* ab = t.connect("A_B", a, b);
  CktNet* bc = t.connect("B_C", b, c);
  FlatDesign* d = t.get();
  d->pathList = {{ab, bc}};
  d->pathProb = {-0.25};
  d->pathBaseLatency = {40};
  d->pathLatency = {0};
  d->loopEnd = {0};
  auto db = makeDB(t);
  double out = 0;
  double result = db->evalHPWL(out);
  // After the first wire L = 9200/954 (9.64, c = 9). B's driver pin: tsu
  // (10 - L) x 954 = 340; L = 10700/954 = 11.22, latency 11 - 9 = 2, tco 206.
  CktPin* bOut = bc->pins[0];
  EXPECT_NEAR(bOut->tsu, 340, 1e-9);
  EXPECT_DOUBLE_EQ(bOut->latency, 2);
  EXPECT_NEAR(bOut->tco, 206, 1e-9);
  // The wire of 300 ends at L = 36800/954 = 38.57: tsu 406, total 39.
  EXPECT_NEAR(bc->pins[1]->tsu, 406, 1e-9);
  EXPECT_DOUBLE_EQ(d->pathLatency[0], 39);
  // One cycle under the base latency: 0.75^(39 - 40) = 4/3, so the result is 0.75.
  EXPECT_NEAR(result, 0.75, 1e-12);
}

TEST_F(PipelineFixture, NonPositiveFactorBecomesOneHundredth) {
  CktNet* ab = t.connect("A_B", a, b);
  FlatDesign* d = t.get();
  d->pathList = {{ab}};
  d->pathProb = {-2.0};  // 1 - 2 = -1, to an odd power
  d->pathBaseLatency = {9};
  d->pathLatency = {0};
  d->loopEnd = {0};
  auto db = makeDB(t, false, 1.0);
  double out = 0;
  EXPECT_NEAR(db->evalHPWL(out), 100, 1e-9);
}

TEST(WireDelayTest, TableCachesByLengthAndTier) {
  TestDesign t;
  t.block("a", 1, 1);
  auto db = makeDB(t);
  double expected = std::floor(db->delayAid->findDelay(0, 500000.0));
  testing::internal::CaptureStdout();
  double first = db->checkWexaDlyTable(500000.0, 0);
  double second = db->checkWexaDlyTable(500000.0, 0);
  std::string quiet = testing::internal::GetCapturedStdout();
  EXPECT_EQ(first, expected);
  EXPECT_EQ(second, expected);
  EXPECT_EQ(quiet, "");
  EXPECT_EQ(db->wireDelayCache.at(500000.0).at(0), expected);

  // A known length on a new tier computes the delay on layer 2 x tier and says so.
  double tier1 = std::floor(db->delayAid->findDelay(2, 500000.0));
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->checkWexaDlyTable(500000.0, 1), tier1);
  std::string said = testing::internal::GetCapturedStdout();
  std::ostringstream line;
  line << "Length : " << 500000.0 << " Delay : " << db->delayAid->findDelay(2, 500000.0) << "\n";
  EXPECT_EQ(said, line.str());
}

TEST(WireDelayDeathTest, TierOutOfRangeEndsTheProgram) {
  TestDesign t;
  t.block("a", 1, 1);
  auto db = makeDB(t);
  // Generation 5 has layer indices up to 7: tiers 0 to 3.
  EXPECT_EXIT(db->checkWexaDlyTable(1000.0, 4), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(db->checkWexaDlyTable(1000.0, -1), testing::ExitedWithCode(0), "");
}

// Sequential blocks: A drives B (40 units away after pin placement) and C (990
// units away).
struct DelayFixture : testing::Test {
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* b = t.block("B", 10, 10, 50, 0);
  CktInstance* c = t.block("C", 10, 10, 1000, 0);
  CktNet* ab = t.connect("A_B", a, b);
  CktNet* ac = t.connect("A_C", a, c);
};

TEST_F(DelayFixture, WireDelaysBelowAndAboveOneHundredUnits) {
  auto db = makeDB(t, true);
  testing::internal::CaptureStdout();
  double cycle = db->updateDelays(2);
  testing::internal::GetCapturedStdout();
  // Pins face each other: A's right edge at x 10, B's left edge at 50.
  EXPECT_DOUBLE_EQ(db->pinPosition(ab->pins[0]).x, 10);
  EXPECT_DOUBLE_EQ(db->pinPosition(ab->pins[1]).x, 50);
  EXPECT_EQ(ab->pinDelay, (std::vector<double>{0, 0}));
  // 990 units: floor(9.9) x 100000 into the table, the result in thousandths.
  double wire = std::floor(db->delayAid->findDelay(0, 900000.0)) / 1000.0;
  ASSERT_GT(wire, 0);
  EXPECT_EQ(ac->pinDelay, (std::vector<double>{0, wire}));
  // Only the long wire limits the cycle: its net has slack 0 (weight 1), the
  // other has slack equal to the cycle (weight 0, squared still 0).
  EXPECT_DOUBLE_EQ(cycle, wire);
  EXPECT_DOUBLE_EQ(ac->weight, 1.0);
  EXPECT_DOUBLE_EQ(ab->weight, 0.0);
}

TEST_F(DelayFixture, ZeroCycleLeavesNeutralWeights) {
  c->loc = TwoDLoc(20, 0);  // every wire below 100 units, no block delay
  auto db = makeDB(t, true);
  testing::internal::CaptureStdout();
  double cycle = db->updateDelays(1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(cycle, 0);
  EXPECT_EQ(ab->weight, 1.0);
  EXPECT_EQ(ac->weight, 1.0);
}

TEST_F(DelayFixture, WithTimingOffUpdateDelaysIsTheWireLength) {
  auto db = makeDB(t, false);
  double scratch = 0;
  double wl = db->evalHPWL(scratch);
  EXPECT_DOUBLE_EQ(db->updateDelays(1), wl);
  // Pins stay at the block centres: 50 and 1000 units between centres.
  EXPECT_DOUBLE_EQ(wl, 50 + 1000);
}

TEST(WireLengthTest, ChipNetsAreLeftOutAndWeightsApplyWithTiming) {
  TestDesign t;
  CktInstance* a = t.block("A", 2, 2, 0, 0);
  CktInstance* b = t.block("B", 2, 4, 10, 5);
  CktNet* ab = t.connect("A_B", a, b);
  t.net("in", t.pin(t.top(), IN_PORT), {t.pin(a, IN_PORT)});
  ab->weight = 0.5;
  auto db = makeDB(t, false);
  double out = 7;
  // Centres (1, 1) and (11, 7): 10 + 6.
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 16);
  EXPECT_EQ(out, 7);
  db->timingOn = true;
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 8);
}

TEST(WireLengthTest, PinPositionsTurnWithTheBlockAndUseTheChipOutline) {
  TestDesign t;
  CktInstance* a = t.block("A", 4, 2, 10, 20);
  CktPin* p = t.pin(a, OUT_PORT);
  CktPin* chipPin = t.pin(t.top(), IN_PORT);
  p->offset = ThreeDLoc(0.5, 0.25, 0);
  chipPin->offset = ThreeDLoc(-0.5, 0.5, 0);
  auto db = makeDB(t);  // chip area 8 x 1.2 = 9.6
  double side = std::sqrt(9.6);
  EXPECT_DOUBLE_EQ(db->pinPosition(p).x, 14);
  EXPECT_DOUBLE_EQ(db->pinPosition(p).y, 20 + 0.75 * 2);
  a->orient = CP::B90;  // offset (0.5, 0.25) turns into (-0.25, 0.5)
  EXPECT_DOUBLE_EQ(db->pinPosition(p).x, 10 + 0.25 * 4);
  EXPECT_DOUBLE_EQ(db->pinPosition(p).y, 22);
  EXPECT_DOUBLE_EQ(db->pinPosition(chipPin).x, 0);
  EXPECT_DOUBLE_EQ(db->pinPosition(chipPin).y, side);
}

}  // namespace
