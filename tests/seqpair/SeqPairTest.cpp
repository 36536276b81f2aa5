// The sequence pair, hand-checked packings of the evaluator, and the tree
// evaluation against the O(N^2) scans.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

#include "seqpair/SPeval.h"
#include "seqpair/SeqPair.h"

namespace {

using Seq = std::vector<unsigned>;
using Vec = std::vector<double>;

bool isPermutation(Seq s) {
  std::sort(s.begin(), s.end());
  for (unsigned i = 0; i < s.size(); ++i)
    if (s[i] != i) return false;
  return true;
}

TEST(SeqPair, ShuffleFollowsTheLrand48SequenceAndUnevenPairsAreReported) {
  srand48(1);
  SeqPair sp(5);
  EXPECT_EQ(sp.getX(), (Seq{4, 3, 0, 2, 1}));
  EXPECT_EQ(sp.getY(), (Seq{3, 4, 0, 2, 1}));

  testing::internal::CaptureStdout();
  SeqPair uneven(Seq{0, 1, 2}, Seq{1, 0});  // reported, and kept as given
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Input Sequence Pairs of different sizes\n");
  EXPECT_EQ(uneven.getY().size(), 2u);
}

TEST(SPeval, OneBlockRowColumnAndEqualChains) {
  SPeval one({2.5}, {4});
  one.evalSlacks({0}, {0});
  EXPECT_EQ((Vec{one.xLoc[0], one.yLoc[0], one.xSize, one.ySize, one.xSlacks[0], one.ySlacks[0]}),
            (Vec{0, 0, 4, 2.5, 0, 0}));

  // X = Y: one row; only the tallest block is critical in y.
  SPeval ev({3, 7, 2, 5}, {1, 2, 3, 4});
  ev.evalSlacks({0, 1, 2, 3}, {0, 1, 2, 3});
  EXPECT_EQ(ev.xLoc, (Vec{0, 1, 3, 6}));
  EXPECT_EQ(ev.yLoc, (Vec{0, 0, 0, 0}));
  EXPECT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{10, 7}));
  EXPECT_EQ(ev.ySlacks, (Vec{400.0 / 7, 0, 500.0 / 7, 200.0 / 7}));
  // X reversed: one column.
  ev.evaluate({3, 2, 1, 0}, {0, 1, 2, 3});
  EXPECT_EQ(ev.yLoc, (Vec{0, 3, 10, 12}));
  EXPECT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{4, 17}));

  // Block 0 (2 wide) stands above 1 and 2 (1 wide each, side by side); all
  // three are left of 3. Both chains into 3 are 2 long: block 2's chain meets
  // the stored length of block 0's and must leave it as it is.
  SPeval eq({1, 1, 1, 2}, {2, 1, 1, 1});
  eq.evalSlacks({0, 1, 2, 3}, {1, 2, 0, 3});
  EXPECT_EQ(eq.xLoc, (Vec{0, 0, 1, 2}));
  EXPECT_EQ((Vec{eq.xSize, eq.ySize}), (Vec{3, 2}));
  EXPECT_EQ(eq.xSlacks, Vec(4, 0.0));  // both chains are critical
}

TEST(SPeval, EmptyZeroSizeAndWrongLengthPairs) {
  SPeval none({}, {});
  none.evalSlacks({}, {});
  none.evaluateCompact({}, {}, true);
  none.evaluateCompact({}, {}, false);
  EXPECT_EQ((Vec{none.xSize, none.ySize}), (Vec{0, 0}));

  // All widths 0: the packing width is 0 and no block can move, instead of 0/0.
  SPeval flat({1, 2}, {0, 0});
  flat.evalSlacks({0, 1}, {0, 1});
  EXPECT_EQ(flat.xSlacks, (Vec{0, 0}));
  EXPECT_EQ(flat.ySlacks, (Vec{50, 0}));

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
  v.evaluateCompact({1, 0, 2}, {0, 2, 1}, true);
  EXPECT_EQ(v.yLoc, (Vec{0, 1, 0}));
  EXPECT_EQ((Vec{v.xSize, v.ySize}), (Vec{4, 5}));
}

TEST(SPeval, MovesConstraintsAndSortsAnyGraphInRange) {
  SPeval ev({1, 1, 1}, {1, 1, 1});
  // 0 left of 1 and of 2, 1 below 2: unit blocks 0 and 2 do not overlap in
  // y, so their horizontal edge becomes "0 below 2"; 0 and 1 share a row.
  ev.evaluate({0, 2, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(true);
  EXPECT_EQ(ev.horizCG, (ConstraintGraph{{1, 1, 0}, {0, 1, 0}, {0, 0, 1}}));
  EXPECT_EQ(ev.vertCG, (ConstraintGraph{{1, 0, 1}, {0, 1, 1}, {0, 0, 1}}));
  // 0 left of 1, 0 below 2, 1 below 2: 1 and 2 do not overlap in x, so "1
  // below 2" becomes "2 left of 1" (2 starts further left).
  ev.evaluate({2, 0, 1}, {0, 1, 2});
  ev.computeConstraintGraphs();
  ev.removeRedundantConstraints(false);
  EXPECT_EQ(ev.horizCG, (ConstraintGraph{{1, 1, 0}, {0, 1, 0}, {0, 1, 1}}));
  EXPECT_EQ(ev.vertCG, (ConstraintGraph{{1, 0, 1}, {0, 1, 0}, {0, 0, 1}}));
  ev.computeSPFromCG();
  EXPECT_EQ(ev.X, (Seq{2, 0, 1}));
  EXPECT_EQ(ev.Y, (Seq{0, 2, 1}));

  // Graphs filled at random (cycles, both directions set) are not orders at
  // all; the rebuild must still return two permutations.
  std::mt19937 rng(99);
  std::bernoulli_distribution coin(0.5);
  for (bool full : {false, true}) {  // full: every block comes "before" every other
    SPeval any(Vec(100, 1.0), Vec(100, 1.0));
    for (auto* g : {&any.horizCG, &any.vertCG})
      for (auto& row : *g)
        for (auto&& bit : row) bit = full || coin(rng);
    any.computeSPFromCG();
    EXPECT_TRUE(isPermutation(any.X) && isPermutation(any.Y)) << full;
  }
}

// The packing as the O(N^2) scans compute it: the reference for the trees.
struct ScanPacking {
  Vec xLoc, yLoc, xRev, yRev, xSlacks, ySlacks;
  double xSize = 0, ySize = 0;
};

ScanPacking scanPacking(SPeval& ev, const Seq& x, const Seq& y) {
  const unsigned n = x.size();
  ScanPacking r;
  Seq match(n), xRev(x.rbegin(), x.rend());
  Vec lengths(n);
  r.xLoc = r.yLoc = r.xRev = r.yRev = r.xSlacks = r.ySlacks = Vec(n);
  r.xSize = ev._lcsCompute(x, y, ev.widths, match, r.xLoc, lengths);
  r.ySize = ev._lcsCompute(xRev, y, ev.heights, match, r.yLoc, lengths);
  ev._lcsReverseCompute(x, y, ev.widths, match, r.xRev, lengths);
  ev._lcsReverseCompute(xRev, y, ev.heights, match, r.yRev, lengths);
  for (unsigned i = 0; i < n; ++i) {
    r.xRev[i] = r.xSize - r.xRev[i] - ev.widths[i];
    r.yRev[i] = r.ySize - r.yRev[i] - ev.heights[i];
    r.xSlacks[i] = r.xSize != 0 ? (r.xRev[i] - r.xLoc[i]) * 100 / r.xSize : 0.0;
    r.ySlacks[i] = r.ySize != 0 ? (r.yRev[i] - r.yLoc[i]) * 100 / r.ySize : 0.0;
  }
  return r;
}

// Every result, bit for bit, on random pairs of 1 to 300 blocks of real, whole,
// equal and zero sizes, changed between pairs as the annealer does.
// OSVO_SPEVAL_PAIRS sets the number of pairs.
TEST(SPevalProperty, TreePackingsEqualTheScans) {
  const char* env = std::getenv("OSVO_SPEVAL_PAIRS");
  const long pairs = env ? std::atol(env) : 3000;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> real(0.0, 50.0);
  std::uniform_int_distribution<int> whole(0, 4);
  std::uniform_int_distribution<unsigned> blocks(1, 300);
  for (long round = 0; round < pairs;) {
    const unsigned n = round < 300 ? static_cast<unsigned>(round + 1) : blocks(rng);
    const int kind = static_cast<int>(round % 4);  // real, whole, equal, with zeros
    auto size = [&] {
      if (kind == 0) return real(rng);
      if (kind == 1) return static_cast<double>(whole(rng));
      return kind == 2 ? 2.5 : rng() % 3 == 0 ? 0.0 : real(rng);
    };
    Vec w(n), h(n);
    for (unsigned i = 0; i < n; ++i) w[i] = size(), h[i] = size();
    SPeval ev(h, w);
    Seq x(n), y(n);
    std::iota(x.begin(), x.end(), 0u);
    y = x;
    for (int again = 0; again < 8 && round < pairs; ++again, ++round) {
      std::shuffle(x.begin(), x.end(), rng);
      std::shuffle(y.begin(), y.end(), rng);
      const unsigned b = rng() % n;
      if (again % 2)
        ev.changeOrient(b);
      else
        ev.changeNodeWidth(b, size());
      const ScanPacking want = scanPacking(ev, x, y);
      const bool slacks = again % 2 == 0;
      slacks ? ev.evalSlacks(x, y) : ev.evaluate(x, y);
      SCOPED_TRACE(testing::Message() << "round " << round << " n " << n << " kind " << kind);
      ASSERT_EQ((Vec{ev.xSize, ev.ySize}), (Vec{want.xSize, want.ySize}));
      ASSERT_EQ(ev.xLoc, want.xLoc);
      ASSERT_EQ(ev.yLoc, want.yLoc);
      if (!slacks) continue;
      ASSERT_EQ(ev.xLocRev, want.xRev);
      ASSERT_EQ(ev.yLocRev, want.yRev);
      ASSERT_EQ(ev.xSlacks, want.xSlacks);
      ASSERT_EQ(ev.ySlacks, want.ySlacks);
    }
  }
}

}  // namespace
