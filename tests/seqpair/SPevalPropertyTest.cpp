// Properties of the packing, the slacks and the constraint graphs over many
// random sequence pairs and block sizes, checked against relations derived
// independently of the evaluator.
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
  std::vector<unsigned> px, py;  // position of every block in x and y

  Case(std::mt19937& rng, unsigned n, bool integerSizes) : x(n), px(n), py(n) {
    std::iota(x.begin(), x.end(), 0u);
    y = x;
    std::shuffle(x.begin(), x.end(), rng);
    std::shuffle(y.begin(), y.end(), rng);
    std::uniform_int_distribution<int> whole(1, 20);
    std::uniform_real_distribution<double> real(0.1, 10.0);
    for (unsigned i = 0; i < n; ++i) {
      w.push_back(integerSizes ? whole(rng) : real(rng));
      h.push_back(integerSizes ? whole(rng) : real(rng));
      px[x[i]] = py[y[i]] = i;
    }
  }
  bool left(unsigned a, unsigned b) const { return px[a] < px[b] && py[a] < py[b]; }
  bool below(unsigned a, unsigned b) const { return px[a] > px[b] && py[a] < py[b]; }
};

bool isPermutation(Seq s) {
  std::sort(s.begin(), s.end());
  for (unsigned i = 0; i < s.size(); ++i)
    if (s[i] != i) return false;
  return true;
}

// Checks one dimension: `before(a, b)` says a precedes b, `order` lists every
// block after all blocks before it. The location of a block must be the
// longest chain of sizes before it, and its slack zero exactly when the
// chains before and after it fill the packing (exact for whole sizes only).
template <class Before>
void checkDimension(const Seq& order, const Vec& size, Before before, const Vec& loc,
                    const Vec& locRev, const Vec& slacks, double total, bool exact) {
  const unsigned n = order.size();
  Vec head(n, 0), tail(n, 0);
  for (unsigned k = 0; k < n; ++k)
    for (unsigned l = 0; l < k; ++l)
      if (before(order[l], order[k]))
        head[order[k]] = std::max(head[order[k]], head[order[l]] + size[order[l]]);
  for (unsigned k = n; k-- > 0;)
    for (unsigned l = k + 1; l < n; ++l)
      if (before(order[k], order[l]))
        tail[order[k]] = std::max(tail[order[k]], tail[order[l]] + size[order[l]]);
  ASSERT_EQ(loc, head);
  if (!exact) return;
  bool anyCritical = false;
  for (unsigned b = 0; b < n; ++b) {
    ASSERT_EQ(locRev[b], total - tail[b] - size[b]);  // latest low edge
    ASSERT_GE(slacks[b], 0);
    const bool critical = head[b] + size[b] + tail[b] == total;
    anyCritical = anyCritical || critical;
    ASSERT_EQ(slacks[b] == 0, critical) << "block " << b;
    ASSERT_EQ(slacks[b], (locRev[b] - loc[b]) * 100 / total);
  }
  ASSERT_TRUE(anyCritical);
}

TEST(SPevalProperty, RandomPairsPackLegallyAtTheLongestChainsWithExactSlacks) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 400; ++round) {
    const unsigned n = 1 + round % 60;
    const bool whole = round % 2 == 0;
    const Case c(rng, n, whole);
    SPeval ev(c.h, c.w);
    ev.evalSlacks(c.x, c.y);
    SCOPED_TRACE(testing::Message() << "round " << round << " n " << n);
    ASSERT_EQ(ev.X, c.x);
    ASSERT_EQ(ev.Y, c.y);
    // Legal: each relation of the pair holds and no two blocks overlap.
    // (Tightness follows from the exact locations checked below.)
    double right = 0, top = 0;
    for (unsigned b = 0; b < n; ++b) {
      right = std::max(right, ev.xLoc[b] + c.w[b]);
      top = std::max(top, ev.yLoc[b] + c.h[b]);
      for (unsigned a = 0; a < n; ++a) {
        ASSERT_TRUE(!c.left(a, b) || ev.xLoc[a] + c.w[a] <= ev.xLoc[b]) << a << " left of " << b;
        ASSERT_TRUE(!c.below(a, b) || ev.yLoc[a] + c.h[a] <= ev.yLoc[b]) << a << " below " << b;
        const bool apartX = ev.xLoc[a] + c.w[a] <= ev.xLoc[b] || ev.xLoc[b] + c.w[b] <= ev.xLoc[a];
        const bool apartY = ev.yLoc[a] + c.h[a] <= ev.yLoc[b] || ev.yLoc[b] + c.h[b] <= ev.yLoc[a];
        ASSERT_TRUE(a == b || apartX || apartY) << a << " overlaps " << b;
      }
    }
    ASSERT_EQ(ev.xSize, right);  // the packing is the bounding box
    ASSERT_EQ(ev.ySize, top);
    checkDimension(
        c.x, c.w, [&](unsigned a, unsigned b) { return c.left(a, b); }, ev.xLoc, ev.xLocRev,
        ev.xSlacks, ev.xSize, whole);
    checkDimension(
        Seq(c.x.rbegin(), c.x.rend()), c.h, [&](unsigned a, unsigned b) { return c.below(a, b); },
        ev.yLoc, ev.yLocRev, ev.ySlacks, ev.ySize, whole);
  }
}

TEST(SPevalProperty, ReusedEvaluatorMatchesAFreshOne) {
  // The annealer evaluates pair after pair with one evaluator and turns blocks
  // in between; no state may leak from one evaluation to the next.
  std::mt19937 rng(5);
  const unsigned n = 40;
  const Case first(rng, n, false);
  Vec w = first.w, h = first.h;
  SPeval reused(h, w);
  for (int round = 0; round < 50; ++round) {
    const Case c(rng, n, false);
    if (round % 3 == 0) {
      reused.changeOrient(round % n);
      std::swap(w[round % n], h[round % n]);
    }
    reused.evalSlacks(c.x, c.y);
    SPeval fresh(h, w);
    fresh.evalSlacks(c.x, c.y);
    ASSERT_EQ(reused.xLoc, fresh.xLoc);
    ASSERT_EQ(reused.yLoc, fresh.yLoc);
    ASSERT_EQ(reused.xSlacks, fresh.xSlacks);
    ASSERT_EQ(reused.ySlacks, fresh.ySlacks);
    ASSERT_EQ(reused.xSize, fresh.xSize);
    ASSERT_EQ(reused.ySize, fresh.ySize);
  }
}

TEST(SPevalProperty, ConstraintGraphsGiveBackThePairAndMovesKeepOneRelation) {
  std::mt19937 rng(31);
  for (int round = 0; round < 200; ++round) {
    const unsigned n = 1 + round % 60;
    const Case c(rng, n, false);
    SPeval ev(c.h, c.w);
    ev.evaluate(c.x, c.y);
    ev.computeConstraintGraphs();
    for (unsigned a = 0; a < n; ++a)
      for (unsigned b = 0; b < n; ++b) {
        ASSERT_EQ(bool(ev.horizCG[a][b]), a == b || c.left(a, b));
        ASSERT_EQ(bool(ev.vertCG[a][b]), a == b || c.below(a, b));
      }
    ev.computeSPFromCG();
    ASSERT_EQ(ev.X, c.x);
    ASSERT_EQ(ev.Y, c.y);

    // Moving constraints can leave cycles in the implied orders; every two
    // blocks still carry exactly one relation, and the rebuilt pair must
    // still be two permutations.
    ev.removeRedundantConstraints(round % 2 == 0);
    for (unsigned a = 0; a < n; ++a)
      for (unsigned b = a + 1; b < n; ++b)
        ASSERT_EQ(ev.horizCG[a][b] + ev.horizCG[b][a] + ev.vertCG[a][b] + ev.vertCG[b][a], 1);
    ev.computeSPFromCG();
    ASSERT_TRUE(isPermutation(ev.X) && isPermutation(ev.Y));
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
      ASSERT_TRUE(isPermutation(ev.X) && isPermutation(ev.Y)) << n << " " << full;
    }
}

}  // namespace
