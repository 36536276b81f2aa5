// Pin placement, wire length, wire delays, timing weights and the pipeline model.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

TEST(PipelineModelTest, TwoBlockPathsOfOneLoop) {
  // Blocks of 10 x 10: A at the origin, B 100 to the right, C 200 above A. With
  // "-fix_freq" 1.0 the usable cycle U is 954 and a cycle covers 954 / 87 units.
  TestDesign t(DesignMode::PipelineModel);
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* b = t.block("B", 10, 10, 100, 0);
  CktInstance* c = t.block("C", 10, 10, 0, 200);
  a->master->versions[0]->latency = 500;
  CktNet* ac = t.connect(a, c, "A_C");
  CktNet* ab = t.connect(a, b, "A_B");
  // Probabilities are stored negated, as the reader does; path 1 closes the loop.
  FlatDesign* d = t.get();
  d->pathList = {{ac}, {ab}};
  d->pathProb = {-0.2, -0.5};
  d->pathBaseLatency = {3, 1};
  d->pathLatency.assign(2, 0);
  d->loopEnd = {1};
  auto db = quietDB(t);
  double out = 0;
  const double result = db->evalHPWL(out);
  EXPECT_EQ(out, 1.0);
  // Path A_C: A's latency 500 gives L = 500/954 and tco 500, the path restarts
  // from tco/U; the wire of 200 adds 200 x 87 / 954, so L = 17900/954 = 18.76,
  // the sink's tsu is (19 - L) x 954 = 226 and L becomes 19.
  EXPECT_NEAR(ac->pins[0]->tco, 500, 1e-9);
  EXPECT_NEAR(ac->pins[1]->tsu, 226, 1e-9);
  EXPECT_DOUBLE_EQ(d->pathLatency[0], 19);
  // Path A_B: L = (500 + 8700)/954, tsu 340, total 10.
  EXPECT_NEAR(ab->pins[1]->tsu, 340, 1e-9);
  EXPECT_DOUBLE_EQ(d->pathLatency[1], 10);
  // The loop closes at path 1 with running maximum 19: each cycle beyond the
  // base latency keeps 1 - 0.5 of the IPC, so the factor is 0.5^(19 - 1).
  EXPECT_NEAR(result, std::pow(2.0, 18), 1e-6);
  // Each call starts afresh.
  EXPECT_NEAR(db->evalHPWL(out), result, 1e-15);
  // A factor of 0 (1 - 1, to a power) becomes 0.01, not a division by zero.
  d->pathProb[1] = -1.0;
  EXPECT_NEAR(db->evalHPWL(out), 100, 1e-9);
}

TEST(WireDelayTest, WireDelaysBelowAndAboveOneHundredUnitsTheirWeightsAndTheTable) {
  // Sequential blocks: A drives B (40 units away after pin placement) and C
  // (990 units away); a chip input drives A.
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* c = t.block("C", 10, 10, 1000, 0);
  CktNet* ab = t.connect(a, t.block("B", 10, 10, 50, 0));
  CktNet* ac = t.connect(a, c);
  t.net(t.pin(t.top(), IN_PORT), {t.pin(a, IN_PORT)});
  // With timing off the result is the wire length between the block centres;
  // the net on the chip does not count.
  EXPECT_DOUBLE_EQ(quietDB(t, 20, false)->updateDelays(1), 50 + 1000);
  auto db = quietDB(t, 20, true);
  testing::internal::CaptureStdout();
  double cycle = db->updateDelays(2);
  testing::internal::GetCapturedStdout();
  // Once the pins face each other, B is 40 units away: no wire delay.
  EXPECT_EQ(ab->pinDelay, (std::vector<double>{0, 0}));
  // 990 units: floor(9.9) x 100000 into the table, the result in thousandths.
  const double tier0 = std::floor(db->delayAid().findDelay(0, 900000.0));
  const double wire = tier0 / 1000.0;
  ASSERT_GT(wire, 0);
  EXPECT_EQ(ac->pinDelay, (std::vector<double>{0, wire}));
  // Only the long wire limits the cycle: its net has slack 0 (weight 1), the
  // other has slack equal to the cycle (weight 0, squared still 0). With
  // timing on the wire length is weighted.
  EXPECT_DOUBLE_EQ(cycle, wire);
  EXPECT_DOUBLE_EQ(ac->weight, 1.0);
  EXPECT_DOUBLE_EQ(ab->weight, 0.0);
  double out = 0;
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 990);
  // The table now holds that length on tier 0; on a new tier it computes the
  // delay on layer 2 x tier and says so. Generation 5 has tiers 0 to 3.
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->checkWexaDlyTable(900000.0, 0), tier0);
  const double tier1 = db->delayAid().findDelay(2, 900000.0);
  EXPECT_EQ(db->checkWexaDlyTable(900000.0, 1), std::floor(tier1));
  std::ostringstream line;
  line << "Length : " << 900000.0 << " Delay : " << tier1 << "\n";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), line.str());
  EXPECT_TRUE(isError(capture([&] { db->checkWexaDlyTable(1000.0, 4); }).error,
                      "^wrong tier value\n$", osvo::kExitBadInput, osvo::Stream::Out));

  // Every wire below 100 units and no block delay: a zero cycle leaves neutral weights.
  c->loc = TwoDLoc(20, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->updateDelays(1), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ab->weight, 1.0);
  EXPECT_EQ(ac->weight, 1.0);
  // A net nothing drives ends the run, as static timing would, not an assertion.
  ab->name = "ab";
  ab->source = nullptr;
  EXPECT_TRUE(isError(capture([&] { db->updateDelays(1); }).error,
                      "^Error: Net \\(ab\\) does not have source\\. \n$"));
}

const CP::oritType kAllOrients[] = {CP::B0, CP::B90, CP::B180, CP::B270,
                                    CP::F0, CP::F90, CP::F180, CP::F270};

TEST(PinsTest, TranslateAndAssignForEveryOrientation) {
  // Source block A (10 x 5 at the origin), a sink R to its right and a sink U above.
  TestDesign t;
  CktInstance* a = t.block("A", 10, 5, 0, 0);
  CktInstance* right = t.block("R", 10, 10, 20, 2);
  CktPin* src = t.pin(a, OUT_PORT);
  CktPin* toRight = t.pin(right, IN_PORT);
  CktPin* toAbove = t.pin(t.block("U", 4, 6, -2, 30), IN_PORT);
  CktNet* n = t.net(src, {toRight, toAbove});
  // With timing off a Verilog design keeps its pins; a pipeline design does not.
  auto db = quietDB(t, 20, false);
  db->assignPins();
  EXPECT_TRUE(at(db->pinPosition(src), 5, 2.5));
  t.get()->mode = DesignMode::PipelineModel;
  for (CP::oritType o : kAllOrients) {
    SCOPED_TRACE(testing::Message() << "orientation " << o);
    a->orient = o;
    right->orient = kAllOrients[(o + 3) % 8];
    // translate is the inverse of the pin position; a point outside the block
    // is clamped to its boundary.
    db->translate(Point{2.5, 1.5}, src);
    EXPECT_TRUE(at(db->pinPosition(src), 2.5, 1.5));
    db->translate(Point{100, 3.75}, src);  // far right, at three quarters of the height
    EXPECT_TRUE(at(db->pinPosition(src), 10, 3.75));
    db->translate(Point{-7, -9}, src);
    EXPECT_TRUE(at(db->pinPosition(src), 0, 0));
    db->assignPins();
    // Equal slacks: the first sink is the critical one. The y overlap is 2..5.
    EXPECT_TRUE(at(db->pinPosition(src), 10, 3.5));
    // Every sink goes to the point of its block closest to the source point.
    EXPECT_TRUE(at(db->pinPosition(toRight), 20, 3.5));
    EXPECT_TRUE(at(db->pinPosition(toAbove), 2, 30));
  }
  toRight->slack = 5;
  toAbove->slack = 5 - 0.00005;  // within the tolerance: still the first sink
  db->assignPins();
  EXPECT_TRUE(at(db->pinPosition(src), 10, 3.5));
  toAbove->slack = 4;
  db->assignPins();
  // The x ranges 0..10 and -2..2 overlap in 0..2; A's top edge faces U.
  EXPECT_TRUE(at(db->pinPosition(src), 1, 5));
  // Equal slacks on a net whose first pin is not the source: the second pin is
  // the first sink.
  toAbove->slack = toRight->slack;
  n->pins = {toAbove, src, toRight};
  db->assignPins();
  EXPECT_TRUE(at(db->pinPosition(src), 1, 5));
}

}  // namespace
