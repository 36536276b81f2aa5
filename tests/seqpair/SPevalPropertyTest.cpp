// Properties of the packing over many random sequence pairs and block sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "seqpair/SPeval.h"

namespace {

using Seq = std::vector<unsigned>;
using Vec = std::vector<double>;

struct Case {
  Seq x, y;
  Vec w, h;
};

Case randomCase(std::mt19937& rng, unsigned n, bool integerSizes) {
  Case c;
  c.x.resize(n);
  std::iota(c.x.begin(), c.x.end(), 0u);
  c.y = c.x;
  std::shuffle(c.x.begin(), c.x.end(), rng);
  std::shuffle(c.y.begin(), c.y.end(), rng);
  std::uniform_int_distribution<int> whole(1, 20);
  std::uniform_real_distribution<double> real(0.1, 10.0);
  for (unsigned i = 0; i < n; ++i) {
    c.w.push_back(integerSizes ? whole(rng) : real(rng));
    c.h.push_back(integerSizes ? whole(rng) : real(rng));
  }
  return c;
}

// Relative positions of the pair, derived independently of the evaluator.
struct Relations {
  std::vector<unsigned> px, py;
  explicit Relations(const Case& c) : px(c.x.size()), py(c.y.size()) {
    for (unsigned k = 0; k < c.x.size(); ++k) {
      px[c.x[k]] = k;
      py[c.y[k]] = k;
    }
  }
  bool left(unsigned a, unsigned b) const { return px[a] < px[b] && py[a] < py[b]; }
  bool below(unsigned a, unsigned b) const { return px[a] > px[b] && py[a] < py[b]; }
};

// Longest chain of sizes strictly before (after) every block, by brute force
// over the relation `before(a, b)`; `order` lists the blocks so that a block
// comes after everything before it.
template <class Before>
void chains(const Seq& order, const Vec& size, Before before, Vec& head, Vec& tail) {
  const unsigned n = order.size();
  head.assign(n, 0);
  tail.assign(n, 0);
  for (unsigned k = 0; k < n; ++k)
    for (unsigned l = 0; l < k; ++l)
      if (before(order[l], order[k]))
        head[order[k]] = std::max(head[order[k]], head[order[l]] + size[order[l]]);
  for (unsigned k = n; k-- > 0;)
    for (unsigned l = k + 1; l < n; ++l)
      if (before(order[k], order[l]))
        tail[order[k]] = std::max(tail[order[k]], tail[order[l]] + size[order[l]]);
}

void checkPacking(const Case& c, const SPeval& ev) {
  const unsigned n = c.x.size();
  const Relations rel(c);
  double right = 0, top = 0;
  for (unsigned b = 0; b < n; ++b) {
    ASSERT_GE(ev.xLoc[b], 0);
    ASSERT_GE(ev.yLoc[b], 0);
    right = std::max(right, ev.xLoc[b] + c.w[b]);
    top = std::max(top, ev.yLoc[b] + c.h[b]);
    bool touchesLeft = ev.xLoc[b] == 0;
    bool touchesBelow = ev.yLoc[b] == 0;
    for (unsigned a = 0; a < n; ++a) {
      if (a == b) continue;
      if (rel.left(a, b)) {
        ASSERT_LE(ev.xLoc[a] + c.w[a], ev.xLoc[b]) << a << " left of " << b;
        touchesLeft = touchesLeft || ev.xLoc[a] + c.w[a] == ev.xLoc[b];
      }
      if (rel.below(a, b)) {
        ASSERT_LE(ev.yLoc[a] + c.h[a], ev.yLoc[b]) << a << " below " << b;
        touchesBelow = touchesBelow || ev.yLoc[a] + c.h[a] == ev.yLoc[b];
      }
      // Every two blocks are apart in x or in y.
      const bool apartX = ev.xLoc[a] + c.w[a] <= ev.xLoc[b] || ev.xLoc[b] + c.w[b] <= ev.xLoc[a];
      const bool apartY = ev.yLoc[a] + c.h[a] <= ev.yLoc[b] || ev.yLoc[b] + c.h[b] <= ev.yLoc[a];
      ASSERT_TRUE(apartX || apartY) << a << " overlaps " << b;
    }
    ASSERT_TRUE(touchesLeft) << b;
    ASSERT_TRUE(touchesBelow) << b;
  }
  // The packing is the bounding box of the blocks.
  ASSERT_EQ(ev.xSize, right);
  ASSERT_EQ(ev.ySize, top);
}

TEST(SPevalProperty, RandomPairsPackLegallyAndTightly) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    const unsigned n = 1 + round % 60;
    const Case c = randomCase(rng, n, round % 2 == 0);
    SPeval ev(c.h, c.w);
    ev.evaluate(c.x, c.y);
    SCOPED_TRACE(testing::Message() << "round " << round << " n " << n);
    checkPacking(c, ev);
    EXPECT_EQ(ev.X, c.x);
    EXPECT_EQ(ev.Y, c.y);

    // Each location is the longest chain before the block.
    const Relations rel(c);
    Vec head, tail;
    chains(
        c.x, c.w, [&](unsigned a, unsigned b) { return rel.left(a, b); }, head, tail);
    ASSERT_EQ(ev.xLoc, head);
    Seq revX(c.x.rbegin(), c.x.rend());
    chains(
        revX, c.h, [&](unsigned a, unsigned b) { return rel.below(a, b); }, head, tail);
    ASSERT_EQ(ev.yLoc, head);
  }
}

TEST(SPevalProperty, SlacksAreZeroExactlyOnCriticalChains) {
  // Whole-numbered sizes keep every sum exact, so "critical" is exact too.
  std::mt19937 rng(77);
  for (int round = 0; round < 300; ++round) {
    const unsigned n = 1 + round % 60;
    const Case c = randomCase(rng, n, true);
    SPeval ev(c.h, c.w);
    ev.evalSlacks(c.x, c.y);
    SCOPED_TRACE(testing::Message() << "round " << round << " n " << n);
    checkPacking(c, ev);

    const Relations rel(c);
    Vec head, tail;
    chains(
        c.x, c.w, [&](unsigned a, unsigned b) { return rel.left(a, b); }, head, tail);
    bool anyCritical = false;
    for (unsigned b = 0; b < n; ++b) {
      ASSERT_EQ(ev.xLocRev[b], ev.xSize - tail[b] - c.w[b]);  // latest left edge
      ASSERT_GE(ev.xSlacks[b], 0);
      const bool critical = head[b] + c.w[b] + tail[b] == ev.xSize;
      anyCritical = anyCritical || critical;
      ASSERT_EQ(ev.xSlacks[b] == 0, critical) << "block " << b;
      ASSERT_EQ(ev.xSlacks[b], (ev.xLocRev[b] - ev.xLoc[b]) * 100 / ev.xSize);
    }
    ASSERT_TRUE(anyCritical);

    Seq revX(c.x.rbegin(), c.x.rend());
    chains(
        revX, c.h, [&](unsigned a, unsigned b) { return rel.below(a, b); }, head, tail);
    anyCritical = false;
    for (unsigned b = 0; b < n; ++b) {
      ASSERT_EQ(ev.yLocRev[b], ev.ySize - tail[b] - c.h[b]);
      ASSERT_GE(ev.ySlacks[b], 0);
      const bool critical = head[b] + c.h[b] + tail[b] == ev.ySize;
      anyCritical = anyCritical || critical;
      ASSERT_EQ(ev.ySlacks[b] == 0, critical) << "block " << b;
    }
    ASSERT_TRUE(anyCritical);
  }
}

TEST(SPevalProperty, ReusedEvaluatorMatchesAFreshOne) {
  // The annealer evaluates pair after pair with one evaluator and changes
  // block shapes in between; no state may leak from one evaluation to the next.
  std::mt19937 rng(5);
  const unsigned n = 40;
  Case first = randomCase(rng, n, false);
  SPeval reused(first.h, first.w);
  for (int round = 0; round < 50; ++round) {
    Case c = randomCase(rng, n, false);
    c.w = reused.widths;
    c.h = reused.heights;
    if (round % 3 == 0) {
      reused.changeOrient(round % n);
      std::swap(c.w[round % n], c.h[round % n]);
    }
    reused.evalSlacks(c.x, c.y);
    SPeval fresh(c.h, c.w);
    fresh.evalSlacks(c.x, c.y);
    ASSERT_EQ(reused.xLoc, fresh.xLoc);
    ASSERT_EQ(reused.yLoc, fresh.yLoc);
    ASSERT_EQ(reused.xSlacks, fresh.xSlacks);
    ASSERT_EQ(reused.ySlacks, fresh.ySlacks);
    ASSERT_EQ(reused.xSize, fresh.xSize);
    ASSERT_EQ(reused.ySize, fresh.ySize);
  }
}

TEST(SPevalProperty, ConstraintGraphsGiveBackThePair) {
  std::mt19937 rng(31);
  for (int round = 0; round < 200; ++round) {
    const unsigned n = 1 + round % 50;
    const Case c = randomCase(rng, n, false);
    SPeval ev(c.h, c.w);
    ev.evaluate(c.x, c.y);
    ev.computeConstraintGraphs();
    const Relations rel(c);
    for (unsigned a = 0; a < n; ++a)
      for (unsigned b = 0; b < n; ++b) {
        ASSERT_EQ(bool(ev.horizCG[a][b]), a == b || rel.left(a, b));
        ASSERT_EQ(bool(ev.vertCG[a][b]), a == b || rel.below(a, b));
      }
    ev.computeSPFromCG();
    ASSERT_EQ(ev.X, c.x);
    ASSERT_EQ(ev.Y, c.y);
  }
}

TEST(SPevalProperty, MovedConstraintsStillGiveAPermutationPair) {
  // Moving constraints can leave cycles in the implied orders; rebuilding the
  // pair must still give two permutations, and a pair whose relations agree
  // with the graphs wherever the graphs are acyclic.
  std::mt19937 rng(8);
  for (int round = 0; round < 100; ++round) {
    const unsigned n = 2 + round % 60;
    const Case c = randomCase(rng, n, false);
    SPeval ev(c.h, c.w);
    ev.evaluate(c.x, c.y);
    ev.computeConstraintGraphs();
    ev.removeRedundantConstraints(round % 2 == 0);
    // Every pair of blocks still carries exactly one relation.
    for (unsigned a = 0; a < n; ++a)
      for (unsigned b = a + 1; b < n; ++b)
        ASSERT_EQ(ev.horizCG[a][b] + ev.horizCG[b][a] + ev.vertCG[a][b] + ev.vertCG[b][a], 1);
    ev.computeSPFromCG();
    Seq sx = ev.X, sy = ev.Y;
    std::sort(sx.begin(), sx.end());
    std::sort(sy.begin(), sy.end());
    Seq ident(n);
    std::iota(ident.begin(), ident.end(), 0u);
    ASSERT_EQ(sx, ident);
    ASSERT_EQ(sy, ident);
  }
}

TEST(SPevalProperty, SortingArbitraryGraphsStaysInRange) {
  // Graphs filled at random (cycles, both directions set, diagonals set) are
  // not orders at all; the rebuild must still return two permutations.
  std::mt19937 rng(99);
  std::bernoulli_distribution coin(0.5);
  for (unsigned n : {17u, 40u, 100u})
    for (bool full : {false, true}) {  // full: every block comes "before" every other
      SPeval ev(Vec(n, 1.0), Vec(n, 1.0));
      for (unsigned a = 0; a < n; ++a)
        for (unsigned b = 0; b < n; ++b) {
          ev.horizCG[a][b] = full || coin(rng);
          ev.vertCG[a][b] = full || coin(rng);
        }
      ev.computeSPFromCG();
      Seq sx = ev.X, sy = ev.Y;
      std::sort(sx.begin(), sx.end());
      std::sort(sy.begin(), sy.end());
      for (unsigned i = 0; i < n; ++i) {
        ASSERT_EQ(sx[i], i);
        ASSERT_EQ(sy[i], i);
      }
    }
}

}  // namespace
