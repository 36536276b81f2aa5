#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "seqpair/SPeval.h"

namespace {

using Seq = std::vector<unsigned>;
using Vec = std::vector<double>;

Seq identity(unsigned n) {
  Seq s(n);
  std::iota(s.begin(), s.end(), 0u);
  return s;
}

Seq reversed(unsigned n) {
  Seq s = identity(n);
  return Seq(s.rbegin(), s.rend());
}

TEST(SPeval, OneBlock) {
  SPeval ev({2.5}, {4});
  ev.evalSlacks({0}, {0});
  EXPECT_EQ(ev.xLoc[0], 0);
  EXPECT_EQ(ev.yLoc[0], 0);
  EXPECT_EQ(ev.xSize, 4);
  EXPECT_EQ(ev.ySize, 2.5);
  EXPECT_EQ(ev.xSlacks[0], 0);
  EXPECT_EQ(ev.ySlacks[0], 0);
}

TEST(SPeval, IdenticalSequencesMakeOneRow) {
  SPeval ev({3, 7, 2, 5}, {1, 2, 3, 4});
  ev.evaluate(identity(4), identity(4));
  EXPECT_EQ(ev.xLoc, (Vec{0, 1, 3, 6}));
  EXPECT_EQ(ev.yLoc, (Vec{0, 0, 0, 0}));
  EXPECT_EQ(ev.xSize, 10);
  EXPECT_EQ(ev.ySize, 7);
  EXPECT_EQ(ev.X, identity(4));
  EXPECT_EQ(ev.reversedX, reversed(4));

  // Only the tallest block is critical in y; the others may rise by the difference.
  ev.evalSlacks(identity(4), identity(4));
  EXPECT_EQ(ev.xSlacks, Vec(4, 0.0));
  EXPECT_EQ(ev.yLocRev, (Vec{4, 0, 5, 2}));
  EXPECT_EQ(ev.ySlacks, (Vec{400.0 / 7, 0, 500.0 / 7, 200.0 / 7}));
}

TEST(SPeval, ReversedXMakesOneColumn) {
  SPeval ev({3, 7, 2, 5}, {1, 2, 3, 4});
  ev.evaluate(reversed(4), identity(4));
  EXPECT_EQ(ev.yLoc, (Vec{0, 3, 10, 12}));  // block 0 at the bottom, block 3 on top
  EXPECT_EQ(ev.xLoc, (Vec{0, 0, 0, 0}));
  EXPECT_EQ(ev.xSize, 4);
  EXPECT_EQ(ev.ySize, 17);
}

TEST(SPeval, EqualChainsDoNotRaiseTheLength) {
  // Block 0 (2 wide) stands above 1 and 2 (1 wide each, side by side); all
  // three are left of 3. Both chains into 3 are 2 long: block 2's chain meets
  // the stored length of block 0's and must leave it as it is.
  SPeval ev({1, 1, 1, 2}, {2, 1, 1, 1});
  ev.evalSlacks({0, 1, 2, 3}, {1, 2, 0, 3});
  EXPECT_EQ(ev.xLoc, (Vec{0, 0, 1, 2}));
  EXPECT_EQ(ev.yLoc, (Vec{1, 0, 0, 0}));
  EXPECT_EQ(ev.xSize, 3);
  EXPECT_EQ(ev.ySize, 2);
  EXPECT_EQ(ev.xSlacks, Vec(4, 0.0));  // both chains are critical
  EXPECT_EQ(ev.ySlacks, Vec(4, 0.0));
}

TEST(SPeval, ChangersEditTheSizes) {
  SPeval ev({3, 7}, {1, 2});
  ev.changeOrient(1);
  EXPECT_EQ(ev.widths, (Vec{1, 7}));
  EXPECT_EQ(ev.heights, (Vec{3, 2}));
  ev.evaluate({0, 1}, {0, 1});
  EXPECT_EQ(ev.xSize, 8);
  EXPECT_EQ(ev.ySize, 3);
  ev.changeOrient(1);
  EXPECT_EQ(ev.widths, (Vec{1, 2}));
  EXPECT_EQ(ev.heights, (Vec{3, 7}));

  ev.changeNodeWidth(0, 9);
  ev.changeNodeHeight(1, 0.5);
  ev.evaluate({0, 1}, {0, 1});
  EXPECT_EQ(ev.xSize, 11);
  EXPECT_EQ(ev.ySize, 3);
}

TEST(SPeval, ZeroBlocksPackToSizeZero) {
  SPeval ev({}, {});
  ev.evaluate({}, {});
  EXPECT_EQ(ev.xSize, 0);
  EXPECT_EQ(ev.ySize, 0);
  ev.evalSlacks({}, {});
  ev.evaluateCompact({}, {}, true);
  EXPECT_EQ(ev.ySize, 0);
  ev.evaluateCompact({}, {}, false);
  EXPECT_EQ(ev.xSize, 0);
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(true);
  ev.computeSPFromCG();
  EXPECT_TRUE(ev.X.empty());
}

TEST(SPeval, ZeroSizePackingHasZeroSlacks) {
  // All widths 0: the packing width is 0 and no block can move, instead of 0/0.
  SPeval ev({1, 2}, {0, 0});
  ev.evalSlacks({0, 1}, {0, 1});
  EXPECT_EQ(ev.xSize, 0);
  EXPECT_EQ(ev.xSlacks, (Vec{0, 0}));
  EXPECT_EQ(ev.ySlacks, (Vec{50, 0}));
}

TEST(SPevalDeathTest, PairOfWrongLengthStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  SPeval ev({1, 1, 1}, {1, 1, 1});
  EXPECT_DEATH(ev.evaluate({0, 1}, {0, 1}), "Assertion");
  EXPECT_DEATH(ev.evalSlacks({0, 1, 2}, {0, 1, 2, 3}), "Assertion");
  EXPECT_DEATH(SPeval({1, 1}, {1}), "Assertion");
}

// Block 0 (3 wide) left of 2 (5 tall); 1 above both, narrow and at x = 0, so
// it overlaps 0 in x but not 2.
TEST(SPeval, CompactedVerticalPackingIgnoresBlocksAside) {
  SPeval ev({1, 1, 5}, {3, 1, 1});
  const Seq x{1, 0, 2};
  const Seq y{0, 2, 1};
  ev.evaluate(x, y);
  EXPECT_EQ(ev.yLoc[1], 5);
  EXPECT_EQ(ev.ySize, 6);
  ev.evaluateCompact(x, y, true);
  EXPECT_EQ(ev.xLoc, (Vec{0, 0, 3}));
  EXPECT_EQ(ev.xSize, 4);
  EXPECT_EQ(ev.yLoc, (Vec{0, 1, 0}));
  EXPECT_EQ(ev.ySize, 5);
  EXPECT_EQ(ev.reversedX, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.yEvalCompact(), 5);
}

// The same arrangement turned a quarter: block 2 (5 wide) stands on 0, block
// 1 to the right of both, overlapping 0 in y but not 2.
TEST(SPeval, CompactedHorizontalPackingIgnoresBlocksAside) {
  SPeval ev({3, 1, 1}, {1, 1, 5});
  const Seq x{2, 0, 1};
  const Seq y{0, 2, 1};
  ev.evaluate(x, y);
  EXPECT_EQ(ev.xSize, 6);
  ev.evaluateCompact(x, y, false);
  EXPECT_EQ(ev.yLoc, (Vec{0, 0, 3}));
  EXPECT_EQ(ev.ySize, 4);
  EXPECT_EQ(ev.xLoc, (Vec{0, 1, 0}));
  EXPECT_EQ(ev.xSize, 5);
  EXPECT_EQ(ev.xEvalCompact(), 5);
}

TEST(SPeval, ConstraintGraphsOfThreeBlocks) {
  // 0 left of 1; 0 below 2; 1 below 2.
  SPeval ev({1, 1, 1}, {1, 1, 1});
  ev.evaluate({2, 0, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  const ConstraintGraph h{{1, 1, 0}, {0, 1, 0}, {0, 0, 1}};
  const ConstraintGraph v{{1, 0, 1}, {0, 1, 1}, {0, 0, 1}};
  EXPECT_EQ(ev.horizCG, h);
  EXPECT_EQ(ev.vertCG, v);
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 1, 2}));
}

TEST(SPeval, MovesHorizontalEdgesBetweenBlocksApartInY) {
  // 0 left of 1 and of 2, 1 below 2: unit blocks 0 and 2 do not overlap in y,
  // so their horizontal edge becomes "0 below 2".
  SPeval ev({1, 1, 1}, {1, 1, 1});
  ev.evaluate({0, 2, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(true);
  EXPECT_FALSE(ev.horizCG[0][2]);
  EXPECT_TRUE(ev.vertCG[0][2]);
  EXPECT_TRUE(ev.horizCG[0][1]);  // 0 and 1 share a row: kept
  EXPECT_TRUE(ev.vertCG[1][2]);
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 1, 2}));
}

TEST(SPeval, MovesVerticalEdgesBetweenBlocksApartInX) {
  // 0 left of 1, 0 below 2, 1 below 2; 1 and 2 do not overlap in x, so the
  // edge "1 below 2" becomes "2 left of 1" (2 starts further left).
  SPeval ev({1, 1, 1}, {1, 1, 1});
  ev.evaluate({2, 0, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(false);
  EXPECT_FALSE(ev.vertCG[1][2]);
  EXPECT_TRUE(ev.horizCG[2][1]);
  EXPECT_TRUE(ev.vertCG[0][2]);  // 0 and 2 share a column: kept
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 2, 1}));
}

TEST(SPeval, RelationsNeverOrderABlockBeforeItself) {
  SPeval ev({1, 1}, {1, 1});
  ev.evaluate({0, 1}, {0, 1});
  ev.computeConstraintGraphs();  // sets the diagonals
  SPXRelation rx(ev.horizCG, ev.vertCG);
  SPYRelation ry(ev.horizCG, ev.vertCG);
  EXPECT_FALSE(rx(0, 0));
  EXPECT_FALSE(ry(1, 1));
  EXPECT_TRUE(rx(0, 1));
  EXPECT_FALSE(rx(1, 0));
}

}  // namespace
