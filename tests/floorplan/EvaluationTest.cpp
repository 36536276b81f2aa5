// Wire length, wire delays, timing weights and the pipeline model.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

// Blocks of 10 x 10: A at the origin, B 100 to the right, C 200 above A. With
// "-fix_freq" 1.0 the usable cycle U is 954 and a cycle covers 954 / 87 units.
struct PipelineFixture : testing::Test {
  TestDesign t{1};
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* b = t.block("B", 10, 10, 100, 0);
  CktInstance* c = t.block("C", 10, 10, 0, 200);
  void SetUp() override {
    resetOptions();
    a->master->versions[0]->latency = 500;
    b->master->versions[0]->latency = 1500;
  }
  // Critical paths with their probabilities (stored negated, as the reader
  // does) and base latencies, and the paths that close a loop.
  double evaluate(const std::vector<std::vector<CktNet*>>& paths, const std::vector<double>& prob,
                  const std::vector<double>& base, const std::vector<int>& loopEnd) {
    FlatDesign* d = t.get();
    d->pathList = paths;
    d->pathProb = prob;
    d->pathBaseLatency = base;
    d->pathLatency.assign(paths.size(), 0);
    d->loopEnd = loopEnd;
    db = quietDB(t);
    double out = 0;
    double result = db->evalHPWL(out);
    EXPECT_EQ(out, 1.0);
    return result;
  }
  std::unique_ptr<DB> db;
};

TEST_F(PipelineFixture, TwoBlockPathsOfOneLoop) {
  CktNet* ac = t.connect(a, c, "A_C");
  CktNet* ab = t.connect(a, b, "A_B");
  double result = evaluate({{ac}, {ab}}, {-0.2, -0.5}, {3, 1}, {1});
  // Path A_C: A's latency 500 gives L = 500/954 and tco 500, the path restarts
  // from tco/U; the wire of 200 adds 200 x 87 / 954, so L = 17900/954 = 18.76,
  // the sink's tsu is (19 - L) x 954 = 226 and L becomes 19.
  CktPin* driver = ac->pins[0];
  EXPECT_DOUBLE_EQ(driver->tsu, 0);
  EXPECT_DOUBLE_EQ(driver->latency, 0);
  EXPECT_NEAR(driver->tco, 500, 1e-9);
  EXPECT_NEAR(ac->pins[1]->tsu, 226, 1e-9);
  EXPECT_DOUBLE_EQ(t.get()->pathLatency[0], 19);
  // Path A_B: L = (500 + 8700)/954, tsu 340, total 10.
  EXPECT_NEAR(ab->pins[1]->tsu, 340, 1e-9);
  EXPECT_DOUBLE_EQ(t.get()->pathLatency[1], 10);
  // The loop closes at path 1 with running maximum 19: each cycle beyond the
  // base latency keeps 1 - 0.5 of the IPC, so the factor is 0.5^(19 - 1).
  EXPECT_NEAR(result, std::pow(2.0, 18), 1e-6);
  // Each call starts afresh.
  double out = 0;
  EXPECT_NEAR(db->evalHPWL(out), result, 1e-15);
}

TEST_F(PipelineFixture, LatencyCarriedAlongAThreeBlockPath) {
  CktNet* ab = t.connect(a, b, "A_B");
  CktNet* bc = t.connect(b, c, "B_C");
  double result = evaluate({{ab, bc}}, {-0.25}, {40}, {0});
  // After the first wire L = 9200/954 (9.64, c = 9). B's driver pin: tsu
  // (10 - L) x 954 = 340; L = 10700/954 = 11.22, latency 11 - 9 = 2, tco 206.
  CktPin* bOut = bc->pins[0];
  EXPECT_NEAR(bOut->tsu, 340, 1e-9);
  EXPECT_DOUBLE_EQ(bOut->latency, 2);
  EXPECT_NEAR(bOut->tco, 206, 1e-9);
  // The wire of 300 ends at L = 36800/954 = 38.57: tsu 406, total 39.
  EXPECT_NEAR(bc->pins[1]->tsu, 406, 1e-9);
  EXPECT_DOUBLE_EQ(t.get()->pathLatency[0], 39);
  // One cycle under the base latency: 0.75^(39 - 40) = 4/3, so the result is 0.75.
  EXPECT_NEAR(result, 0.75, 1e-12);
}

TEST_F(PipelineFixture, NonPositiveFactorBecomesOneHundredth) {
  CktNet* ab = t.connect(a, b);
  // 1 - 2 = -1, to an odd power.
  EXPECT_NEAR(evaluate({{ab}}, {-2.0}, {9}, {0}), 100, 1e-9);
}

TEST(WireDelayDeathTest, TableCachesByLengthAndTierAndRefusesOtherTiers) {
  resetOptions();
  TestDesign t;
  t.block("a", 1, 1);
  auto db = quietDB(t);
  double expected = std::floor(db->delayAid->findDelay(0, 500000.0));
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->checkWexaDlyTable(500000.0, 0), expected);
  EXPECT_EQ(db->checkWexaDlyTable(500000.0, 0), expected);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(db->wireDelayCache.at(500000.0).at(0), expected);

  // A known length on a new tier computes the delay on layer 2 x tier and says so.
  double tier1 = db->delayAid->findDelay(2, 500000.0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->checkWexaDlyTable(500000.0, 1), std::floor(tier1));
  std::ostringstream line;
  line << "Length : " << 500000.0 << " Delay : " << tier1 << "\n";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), line.str());

  // Generation 5 has layer indices up to 7: tiers 0 to 3.
  EXPECT_EXIT(db->checkWexaDlyTable(1000.0, 4), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(db->checkWexaDlyTable(1000.0, -1), testing::ExitedWithCode(0), "");
}

TEST(WireDelayTest, WireDelaysBelowAndAboveOneHundredUnitsAndTheirWeights) {
  // Sequential blocks: A drives B (40 units away after pin placement) and C
  // (990 units away).
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* c = t.block("C", 10, 10, 1000, 0);
  CktNet* ab = t.connect(a, t.block("B", 10, 10, 50, 0));
  CktNet* ac = t.connect(a, c);
  // With timing off the result is the wire length between the block centres.
  EXPECT_DOUBLE_EQ(quietDB(t, 20, false)->updateDelays(1), 50 + 1000);
  auto db = quietDB(t, 20, true);
  testing::internal::CaptureStdout();
  double cycle = db->updateDelays(2);
  testing::internal::GetCapturedStdout();
  // Pins face each other: A's right edge at x 10, B's left edge at 50.
  EXPECT_TRUE(pinAt(*db, ab->pins[0], 10, 5));
  EXPECT_TRUE(pinAt(*db, ab->pins[1], 50, 5));
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

  // Every wire below 100 units and no block delay: a zero cycle leaves neutral weights.
  c->loc = TwoDLoc(20, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->updateDelays(1), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ab->weight, 1.0);
  EXPECT_EQ(ac->weight, 1.0);
}

TEST(WireLengthTest, ChipNetsAreLeftOutAndWeightsApplyWithTiming) {
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("A", 2, 2, 0, 0);
  CktInstance* b = t.block("B", 2, 4, 10, 5);
  t.connect(a, b)->weight = 0.5;
  t.net(t.pin(t.top(), IN_PORT), {t.pin(a, IN_PORT)});
  auto db = quietDB(t);
  double out = 7;
  // Centres (1, 1) and (11, 7): 10 + 6.
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 16);
  EXPECT_EQ(out, 7);
  db->timingOn = true;
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 8);
}

}  // namespace
