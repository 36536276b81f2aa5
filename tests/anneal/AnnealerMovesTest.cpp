// The moves of the annealer and the undo of orientation and configuration moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <set>
#include <tuple>
#include <vector>

#include "AnnealTestDesign.h"

using namespace fptest;
using Seq = std::vector<unsigned>;
using Peer = AnnealerTestPeer;

namespace {

Seq identity(unsigned n) {
  Seq s(n);
  std::iota(s.begin(), s.end(), 0u);
  return s;
}

// The first seed from `from` on whose first draw modulo n is `value`.
unsigned seedWithFirstDraw(int n, int value, unsigned from = 1) {
  for (unsigned k = from;; ++k) {
    std::srand(k);
    if (std::rand() % n == value) return k;
  }
}

class AnnealerMoves : public AnnealFixture {
 protected:
  // n blocks of 10 x 10 named b0, b1, ... in a row.
  void blocks(int n) {
    for (int k = 0; k < n; ++k) d.block(std::to_string(k).insert(0, 1, 'b'), 10, 10, 10.0 * k, 0);
  }
};

}  // namespace

TEST_F(AnnealerMoves, SequenceMovesPermuteAndDegenerateSizesChangeNothing) {
  blocks(12);
  Annealer& a = build();
  std::set<Annealer::Move> codes;
  for (unsigned n : {1u, 4u, 7u}) {
    for (unsigned seed = 1; seed <= 2000; ++seed) {
      Seq X = identity(n), Y(X.rbegin(), X.rend());
      std::srand(seed);
      const Annealer::Move code = a.makeMove(X, Y);
      codes.insert(code);
      Seq sx = X, sy = Y;
      std::sort(sx.begin(), sx.end());
      std::sort(sy.begin(), sy.end());
      ASSERT_TRUE(sx == identity(n) && sy == identity(n)) << "seed " << seed;
      // One block never moves; nor do four under a near swap (distance drawn from 0..0).
      if (n == 1 || (n == 4 && code == Annealer::Move::NearSwap)) {
        ASSERT_EQ(std::tie(X, Y), std::tuple(identity(n), Seq(X.rbegin(), X.rend()))) << seed;
      }
    }
  }
  EXPECT_EQ(codes.size(), 6u);  // None and the five kinds of change
}

TEST_F(AnnealerMoves, OrientationMoveTurnsAndUndoes) {
  blocks(3);
  d.get()->instList[1]->master->versions[0]->width = 4;  // block 1 is 4 x 10
  Annealer& a = build();
  SPeval& ev = Peer::evaluator(a);
  CktInstance* b1 = d.get()->instList[1];

  Peer::orient(a, Peer::kApply, 1, CP::B0, CP::B180);
  EXPECT_EQ(std::pair(ev.widths[1], b1->orient), std::pair(4.0, CP::B180));
  Peer::orient(a, Peer::kReject, 1, CP::B0, CP::B180);
  EXPECT_EQ(b1->orient, CP::B0);
  // A quarter turn exchanges the sides; the database follows only on acceptance.
  Peer::orient(a, Peer::kApply, 1, CP::B0, CP::B90);
  EXPECT_EQ(std::tuple(ev.widths[1], ev.heights[1], db->getNodeWidth(1)), std::tuple(10, 4, 4));
  Peer::orient(a, Peer::kReject, 1, CP::B0, CP::B90);
  EXPECT_EQ(std::tuple(ev.widths[1], ev.heights[1], b1->orient), std::tuple(4, 10, CP::B0));
  Peer::orient(a, Peer::kApply, 1, CP::B0, CP::F90);
  Peer::orient(a, Peer::kAccept, 1, CP::B0, CP::F90);
  EXPECT_EQ(std::tuple(db->getNodeWidth(1), db->getNodeHeight(1), ev.widths[1], b1->orient),
            std::tuple(10, 4, 10, CP::F90));
}

TEST_F(AnnealerMoves, WireLengthMovePutsTheBlockBesideOneNearestItsOptimum) {
  // b0 is wired to b5, so its optimum is (50, 0); the two candidates within one
  // pitch (60 / sqrt(6)) in index order are b3 and b4.
  blocks(6);
  d.connect(d.get()->instList[0], d.get()->instList[5]);
  Annealer& a = build();
  std::set<Seq> placements;
  for (unsigned from = 1; from < 200;) {
    const unsigned seed = seedWithFirstDraw(6, 0, from);  // the move takes b0
    from = seed + 1;
    Seq X = identity(6), Y = identity(6);
    std::srand(seed);
    EXPECT_EQ(a.makeHPWLMove(X, Y), Annealer::Move::HPWL);
    for (const Seq& s : {X, Y}) {
      const std::size_t at = std::find(s.begin(), s.end(), 0u) - s.begin();
      Seq rest = s;
      std::erase(rest, 0u);
      EXPECT_EQ(rest, (Seq{1, 2, 3, 4, 5})) << "seed " << seed;
      auto partner = [&](std::size_t k) { return k < s.size() && (s[k] == 3 || s[k] == 4); };
      EXPECT_TRUE(partner(at - 1) || partner(at + 1)) << "seed " << seed;
    }
    placements.insert(X);
  }
  EXPECT_GE(placements.size(), 3u);  // before and after either partner
}

TEST_F(AnnealerMoves, RejectedConfigurationMoveRestoresEverythingAndAcceptedOnePutsItInForce) {
  const std::string ipc = testDir() + "/two.ipc";
  osvotest::writeFile(ipc, "{a:0, b:0, c:0} 1.0\n{a:1, b:1, c:0} 1.5\n");
  CktInstance* a = d.block("a", 10, 20);
  CktInstance* b = d.block("b", 8, 8);
  CktInstance* c = d.block("c", 5, 5);
  auto set = [](CktVersion* v, double delay, double tsu, double tco, int type) {
    std::tie(v->delay, v->tsu, v->tco, v->type) = std::tuple(delay, tsu, tco, type);
  };
  set(a->master->versions[0], 1.0, 0.1, 0.2, 1);
  set(d.version(a, 12, 15), 2.0, 0.3, 0.4, 0);
  set(b->master->versions[0], 3.0, 0.5, 0.6, 1);
  set(d.version(b, 16, 4), 4.0, 0.7, 0.8, 1);
  set(c->master->versions[0], 5.0, 0.9, 1.1, 1);
  set(d.version(c, 6, 6), 6.0, 1.2, 1.3, 1);
  d.connect(a, b)->weight = 0.7;
  d.connect(b, c)->weight = 0.3;
  d.connect(c, a)->weight = 0.9;
  // Pin times unlike the versions', so that an undo must restore, not recompute them.
  for (CktInstance* inst : d.get()->instList) {
    for (CktPin* p : inst->inPins) std::tie(p->inDelay, p->outDelay) = std::pair(0.0125, 0.5);
    for (CktPin* p : inst->outPins) std::tie(p->inDelay, p->outDelay) = std::pair(0.25, 0.0375);
  }
  a->orient = CP::B270;
  Annealer& an = build(11, false, ipc);
  SPeval& ev = Peer::evaluator(an);
  auto snapshot = [&] {
    std::vector<double> s(ev.widths.begin(), ev.widths.end());
    s.insert(s.end(), ev.heights.begin(), ev.heights.end());
    for (CktMaster* m : d.get()->masterList) {
      s.push_back(m->type);
      for (CktVersion* v : m->versions)
        s.insert(s.end(), {v->width, v->height, v->area, v->delay, v->tsu, v->tco});
    }
    for (CktInstance* inst : d.get()->instList) {
      s.insert(s.end(), {double(inst->orient), double(inst->versionIdx)});
      for (auto* pins : {&inst->inPins, &inst->outPins})
        for (CktPin* p : *pins) s.insert(s.end(), {p->inDelay, p->outDelay});
    }
    for (CktNet* n : d.get()->netList) s.push_back(n->weight);
    CktVersion* chip = d.top()->master->versions[0];
    s.insert(s.end(), {chip->width, chip->height, chip->area, double(db->currentConfig())});
    return s;
  };
  const std::vector<double> before = snapshot();
  const unsigned seed = seedWithFirstDraw(2, 1);
  std::srand(seed);
  auto& move = Peer::makeAndApplyConfig(an);
  EXPECT_EQ(std::tuple(move.oldCfg, move.newCfg, db->currentConfig()), std::tuple(0, 1, 1));
  using V = std::vector<double>;
  EXPECT_EQ(std::tie(move.newWidths, move.newHeights, move.newDelays),
            std::tuple(V{12, 16, 5}, V{15, 4, 5}, V{2, 4, 5}));
  // The new versions are in the evaluator and on the pins; the outline is (289 - 20) x 1.2.
  EXPECT_EQ(std::tie(ev.widths, ev.heights), std::tie(move.newWidths, move.newHeights));
  EXPECT_EQ(std::pair(a->inPins[0]->inDelay, a->inPins[0]->outDelay), std::pair(0.3, 0.0));
  EXPECT_EQ(std::pair(b->outPins[0]->inDelay, b->outPins[0]->outDelay), std::pair(0.0, 0.8));
  EXPECT_DOUBLE_EQ(move.chipSide, std::sqrt(269 * 1.2));
  EXPECT_DOUBLE_EQ(db->getArea(d.top()), 269 * 1.2);
  d.get()->netList[0]->weight = 0.123;  // as static timing would re-weight

  EXPECT_EQ(capture([&] { Peer::rejectConfig(an); }).out,
            "Rejected move from config 0to 1\nArea stays  346.8\n");
  EXPECT_EQ(snapshot(), before);

  std::srand(seed);
  Peer::makeAndApplyConfig(an);
  EXPECT_EQ(capture([&] { Peer::acceptConfig(an); }).out, "Accepted move from config 0to 1\n");
  EXPECT_EQ(db->currentConfig(), 1);
  EXPECT_EQ(std::tuple(db->getNodeWidths(), db->getNodeHeights()),
            std::tuple(V{12, 16, 5}, V{15, 4, 5}));
  EXPECT_EQ((std::vector{a->versionIdx, b->versionIdx, c->versionIdx}), (std::vector{1, 1, 0}));
  EXPECT_EQ(std::tie(ev.widths, ev.heights), std::tuple(db->getNodeWidths(), db->getNodeHeights()));

  EXPECT_DEATH(an.makeConfigMove(move), "newWidths.size\\(\\) *== *0");
}
