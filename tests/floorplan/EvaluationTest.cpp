// Pin placement, wire length, wire delays, timing weights and the pipeline model.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

TEST(PipelineModelTest, TwoBlockPathsOfOneLoop) {
  // At 1 GHz the usable cycle is 954 ps and a cycle covers 954 / 87 units.
  TestDesign t(DesignMode::PipelineModel);
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktNet* ac = t.connect(a, t.block("C", 10, 10, 0, 200));
  CktNet* ab = t.connect(a, t.block("B", 10, 10, 100, 0));
  a->master->versions[0]->latency = 500;
  FlatDesign* d = t.get();
  d->pathList = {{ac}, {ab}};
  d->pathProb = {-0.2, -0.5};  // stored negated, as the reader does
  d->pathBaseLatency = {3, 1};
  d->pathLatency.assign(2, 0);
  d->loopEnd = {1};
  auto db = quietDB(t);
  double out = 0;
  // A_C: (500 + 200 x 87) / 954 = 18.76 cycles, rounded up with tsu 226; A_B: 10.
  EXPECT_NEAR(db->evalHPWL(out), std::pow(2.0, 19 - 1), 1e-6);
  EXPECT_EQ(out, 1.0);
  EXPECT_NEAR(ac->pins[1]->tsu, 226, 1e-9);
  EXPECT_EQ(d->pathLatency, (std::vector<double>{19, 10}));
  // A factor of 0 becomes 0.01, not a division by zero.
  d->pathProb[1] = -1.0;
  EXPECT_NEAR(db->evalHPWL(out), 100, 1e-9);
}

TEST(WireDelayTest, WireDelaysBelowAndAboveOneHundredUnitsTheirWeightsAndTheTable) {
  // A drives B (40 units away once the pins face each other) and C (990 away).
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* c = t.block("C", 10, 10, 1000, 0);
  CktNet* ab = t.connect(a, t.block("B", 10, 10, 50, 0));
  CktNet* ac = t.connect(a, c);
  t.net(t.pin(t.top(), IN_PORT), {t.pin(a, IN_PORT)});
  // Timing off: the wire length between block centres, without the chip's net.
  EXPECT_DOUBLE_EQ(quietDB(t, 20, false)->updateDelays(1), 50 + 1000);
  auto db = quietDB(t, 20, true);
  testing::internal::CaptureStdout();
  double cycle = db->updateDelays(2);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ab->pinDelay, (std::vector<double>{0, 0}));
  // 990 units: floor(9.9) x 100000 into the table, in thousandths.
  const double tier0 = std::floor(db->delayAid().findDelay(0, 900000.0));
  const double wire = tier0 / 1000.0;
  ASSERT_GT(wire, 0);
  EXPECT_EQ(ac->pinDelay, (std::vector<double>{0, wire}));
  // The long wire has slack 0 (weight 1), the other the whole cycle (weight 0).
  EXPECT_DOUBLE_EQ(cycle, wire);
  EXPECT_DOUBLE_EQ(ac->weight, 1.0);
  EXPECT_DOUBLE_EQ(ab->weight, 0.0);
  double out = 0;
  EXPECT_DOUBLE_EQ(db->evalHPWL(out), 990);
  // A new tier computes the delay on layer 2 x tier and says so; there are 4 tiers.
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->checkWexaDlyTable(900000.0, 0), tier0);
  const double tier1 = db->delayAid().findDelay(2, 900000.0);
  EXPECT_EQ(db->checkWexaDlyTable(900000.0, 1), std::floor(tier1));
  std::ostringstream line;
  line << "Length : " << 900000.0 << " Delay : " << tier1 << "\n";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), line.str());
  EXPECT_TRUE(isError(capture([&] { db->checkWexaDlyTable(1000.0, 4); }).error,
                      "^wrong tier value\n$", osvo::kExitBadInput, osvo::Stream::Out));

  // A zero cycle leaves neutral weights.
  c->loc = TwoDLoc(20, 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(db->updateDelays(1), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ab->weight, 1.0);
  EXPECT_EQ(ac->weight, 1.0);
  ab->name = "ab";
  ab->source = nullptr;
  EXPECT_TRUE(isError(capture([&] { db->updateDelays(1); }).error,
                      "^Error: Net \\(ab\\) does not have source\\. \n$"));
}

const CP::oritType kAllOrients[] = {CP::B0, CP::B90, CP::B180, CP::B270,
                                    CP::F0, CP::F90, CP::F180, CP::F270};

TEST(PinsTest, TranslateAndAssignForEveryOrientation) {
  // A (10 x 5 at the origin) drives R to its right and U above.
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
    // translate inverts the pin position and clamps to the block's boundary.
    db->translate(Point{2.5, 1.5}, src);
    EXPECT_TRUE(at(db->pinPosition(src), 2.5, 1.5));
    db->translate(Point{100, 3.75}, src);
    EXPECT_TRUE(at(db->pinPosition(src), 10, 3.75));
    db->translate(Point{-7, -9}, src);
    EXPECT_TRUE(at(db->pinPosition(src), 0, 0));
    db->assignPins();
    // Equal slacks: the first sink is critical; the y overlap is 2..5.
    EXPECT_TRUE(at(db->pinPosition(src), 10, 3.5));
    EXPECT_TRUE(at(db->pinPosition(toRight), 20, 3.5));
    EXPECT_TRUE(at(db->pinPosition(toAbove), 2, 30));
  }
  toRight->slack = 5;
  toAbove->slack = 5 - 0.00005;  // within the tolerance: still the first sink
  db->assignPins();
  EXPECT_TRUE(at(db->pinPosition(src), 10, 3.5));
  toAbove->slack = 4;
  db->assignPins();
  // U is critical: the x overlap 0..2 on A's top edge.
  EXPECT_TRUE(at(db->pinPosition(src), 1, 5));
  // The first sink is the first pin that is not the source.
  toAbove->slack = toRight->slack;
  n->pins = {toAbove, src, toRight};
  db->assignPins();
  EXPECT_TRUE(at(db->pinPosition(src), 1, 5));
}

}  // namespace
