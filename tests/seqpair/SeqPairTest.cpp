// The sequence pair and hand-checked packings of the evaluator.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "seqpair/SPeval.h"
#include "seqpair/SeqPair.h"

namespace {

using Seq = std::vector<unsigned>;
using Vec = std::vector<double>;

TEST(SeqPair, ShuffleFollowsTheLrand48Sequence) {
  // Seed 1 draws 89400484, 976015093, 1792756325, 721524505 for X and
  // 1214379247, 3794415, 402845420, 2126940991 for Y; reduced modulo i+1 they
  // pick positions 0,1,1,0 and 1,0,0,1.
  srand48(1);
  SeqPair sp(5);
  EXPECT_EQ(sp.getX(), (Seq{4, 3, 0, 2, 1}));
  EXPECT_EQ(sp.getY(), (Seq{3, 4, 0, 2, 1}));
  srand48(1);
  SeqPair again(5);
  EXPECT_EQ(again.getX(), sp.getX());
  EXPECT_EQ(again.getY(), sp.getY());
  for (unsigned n : {0u, 1u, 2u, 17u, 100u}) {
    SeqPair p(n);
    Seq x = p.getX(), y = p.getY(), ident(n);
    std::iota(ident.begin(), ident.end(), 0u);
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    EXPECT_EQ(x, ident);
    EXPECT_EQ(y, ident);
  }
}

TEST(SeqPair, MessagesOnStandardOutput) {
  testing::internal::CaptureStdout();
  SeqPair ok(Seq{2, 0, 1}, Seq{1, 2, 0});
  ok.printX();
  ok.printY();
  SeqPair uneven(Seq{0, 1, 2}, Seq{1, 0});  // reported, and kept as given
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "X Seq Pair\n2 0 1 \nY Seq Pair\n1 2 0 \n"
            "ERROR: Input Sequence Pairs of different sizes\n");
  EXPECT_EQ(uneven.getX().size(), 3u);
  EXPECT_EQ(uneven.getY().size(), 2u);
}

TEST(SPeval, OneBlockRowAndColumn) {
  SPeval one({2.5}, {4});
  one.evalSlacks({0}, {0});
  EXPECT_EQ((Vec{one.xLoc[0], one.yLoc[0], one.xSize, one.ySize, one.xSlacks[0], one.ySlacks[0]}),
            (Vec{0, 0, 4, 2.5, 0, 0}));

  // X = Y: one row. Only the tallest block is critical in y; the others may
  // rise by the difference.
  SPeval ev({3, 7, 2, 5}, {1, 2, 3, 4});
  ev.evalSlacks({0, 1, 2, 3}, {0, 1, 2, 3});
  EXPECT_EQ(ev.xLoc, (Vec{0, 1, 3, 6}));
  EXPECT_EQ(ev.yLoc, (Vec{0, 0, 0, 0}));
  EXPECT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{10, 7}));
  EXPECT_EQ(ev.xSlacks, Vec(4, 0.0));
  EXPECT_EQ(ev.yLocRev, (Vec{4, 0, 5, 2}));
  EXPECT_EQ(ev.ySlacks, (Vec{400.0 / 7, 0, 500.0 / 7, 200.0 / 7}));

  // X reversed: one column, block 0 at the bottom and block 3 on top.
  ev.evaluate({3, 2, 1, 0}, {0, 1, 2, 3});
  EXPECT_EQ(ev.yLoc, (Vec{0, 3, 10, 12}));
  EXPECT_EQ(ev.xLoc, (Vec{0, 0, 0, 0}));
  EXPECT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{4, 17}));
  EXPECT_EQ(ev.reversedX, (Seq{0, 1, 2, 3}));

  // A quarter turn twice restores the block.
  ev.changeOrient(1);
  EXPECT_EQ(ev.widths, (Vec{1, 7, 3, 4}));
  EXPECT_EQ(ev.heights, (Vec{3, 2, 2, 5}));
  ev.changeOrient(1);
  EXPECT_EQ(ev.widths, (Vec{1, 2, 3, 4}));
}

TEST(SPeval, EqualChainsDoNotRaiseTheLength) {
  // Block 0 (2 wide) stands above 1 and 2 (1 wide each, side by side); all
  // three are left of 3. Both chains into 3 are 2 long: block 2's chain meets
  // the stored length of block 0's and must leave it as it is.
  SPeval ev({1, 1, 1, 2}, {2, 1, 1, 1});
  ev.evalSlacks({0, 1, 2, 3}, {1, 2, 0, 3});
  EXPECT_EQ(ev.xLoc, (Vec{0, 0, 1, 2}));
  EXPECT_EQ(ev.yLoc, (Vec{1, 0, 0, 0}));
  EXPECT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{3, 2}));
  EXPECT_EQ(ev.xSlacks, Vec(4, 0.0));  // both chains are critical
  EXPECT_EQ(ev.ySlacks, Vec(4, 0.0));
}

TEST(SPeval, EmptyAndZeroSizePackings) {
  SPeval none({}, {});
  none.evalSlacks({}, {});
  EXPECT_EQ((Vec{none.xSize, none.ySize}), (Vec{0, 0}));
  none.evaluateCompact({}, {}, true);
  none.evaluateCompact({}, {}, false);
  EXPECT_EQ((Vec{none.xSize, none.ySize}), (Vec{0, 0}));
  none.computeConstraintGraphs();
  none.removeRedundantConstraints(true);
  none.computeSPFromCG();
  EXPECT_TRUE(none.X.empty());

  // All widths 0: the packing width is 0 and no block can move, instead of 0/0.
  SPeval flat({1, 2}, {0, 0});
  flat.evalSlacks({0, 1}, {0, 1});
  EXPECT_EQ(flat.xSize, 0);
  EXPECT_EQ(flat.xSlacks, (Vec{0, 0}));
  EXPECT_EQ(flat.ySlacks, (Vec{50, 0}));
}

TEST(SPevalDeathTest, PairOfWrongLengthStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  SPeval ev({1, 1, 1}, {1, 1, 1});
  EXPECT_DEATH(ev.evaluate({0, 1}, {0, 1}), "Assertion");
  EXPECT_DEATH(ev.evalSlacks({0, 1, 2}, {0, 1, 2, 3}), "Assertion");
  EXPECT_DEATH(SPeval({1, 1}, {1}), "Assertion");
}

TEST(SPeval, CompactedPackingIgnoresBlocksAside) {
  // Block 0 (3 wide) left of 2 (5 tall); 1 above both, narrow and at x = 0, so
  // it overlaps 0 in x but not 2: compacted, it sits on 0 instead of above 2.
  SPeval v({1, 1, 5}, {3, 1, 1});
  v.evaluate({1, 0, 2}, {0, 2, 1});
  EXPECT_EQ(v.ySize, 6);
  v.evaluateCompact({1, 0, 2}, {0, 2, 1}, true);
  EXPECT_EQ(v.xLoc, (Vec{0, 0, 3}));
  EXPECT_EQ(v.yLoc, (Vec{0, 1, 0}));
  EXPECT_EQ((Vec{v.xSize, v.ySize}), (Vec{4, 5}));
  EXPECT_EQ(v.yEvalCompact(), 5);

  // The same turned a quarter: compacting in x.
  SPeval h({3, 1, 1}, {1, 1, 5});
  h.evaluate({2, 0, 1}, {0, 2, 1});
  EXPECT_EQ(h.xSize, 6);
  h.evaluateCompact({2, 0, 1}, {0, 2, 1}, false);
  EXPECT_EQ(h.yLoc, (Vec{0, 0, 3}));
  EXPECT_EQ(h.xLoc, (Vec{0, 1, 0}));
  EXPECT_EQ((Vec{h.xSize, h.ySize}), (Vec{5, 4}));
  EXPECT_EQ(h.xEvalCompact(), 5);
}

TEST(SPeval, MovesConstraintsBetweenBlocksApartInTheOtherDimension) {
  SPeval ev({1, 1, 1}, {1, 1, 1});
  // 0 left of 1 and of 2, 1 below 2: unit blocks 0 and 2 do not overlap in
  // y, so their horizontal edge becomes "0 below 2"; 0 and 1 share a row.
  ev.evaluate({0, 2, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(true);
  EXPECT_EQ(ev.horizCG, (ConstraintGraph{{1, 1, 0}, {0, 1, 0}, {0, 0, 1}}));
  EXPECT_EQ(ev.vertCG, (ConstraintGraph{{1, 0, 1}, {0, 1, 1}, {0, 0, 1}}));
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 1, 2}));

  // 0 left of 1, 0 below 2, 1 below 2: 1 and 2 do not overlap in x, so "1
  // below 2" becomes "2 left of 1" (2 starts further left); 0 and 2 share a column.
  ev.evaluate({2, 0, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(false);
  EXPECT_EQ(ev.horizCG, (ConstraintGraph{{1, 1, 0}, {0, 1, 0}, {0, 1, 1}}));
  EXPECT_EQ(ev.vertCG, (ConstraintGraph{{1, 0, 1}, {0, 1, 0}, {0, 0, 1}}));
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 2, 1}));

  // The orders never put a block before itself, though the graphs' diagonals are set.
  EXPECT_FALSE(SPXRelation(ev.horizCG, ev.vertCG)(0, 0));
  EXPECT_FALSE(SPYRelation(ev.horizCG, ev.vertCG)(1, 1));
}

}  // namespace
