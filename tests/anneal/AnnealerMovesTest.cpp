#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "AnnealTestDesign.h"
#include "AnnealerTestPeer.h"
#include "RunBinary.h"
#include "anneal/Annealer.h"
#include "floorplan/DB.h"

using namespace annealtest;
using Seq = std::vector<unsigned>;

namespace {

Seq identity(unsigned n) {
  Seq s(n);
  std::iota(s.begin(), s.end(), 0u);
  return s;
}

int draw(int n) {
  return std::rand() % n;
}

// The sequence move written out plainly from its description, drawing from a
// generator seeded with `seed`.
int expectedSequenceMove(unsigned seed, Seq& X, Seq& Y) {
  std::srand(seed);
  const int n = static_cast<int>(X.size());
  const int i = draw(n);
  const int j = draw(n);
  const int s = draw(600);
  if (s < 75) {
    std::swap(X[i], X[j]);
    return 1;
  }
  if (s > 75 && s < 150) {
    std::swap(Y[i], Y[j]);
    return 2;
  }
  if (s > 150 && s < 200) {
    std::swap(X[i], X[j]);
    const int i2 = draw(n);
    const int j2 = draw(n);
    std::swap(Y[i2], Y[j2]);
    return 3;
  }
  if (s > 200 && s < 400) {
    Seq& q = draw(100) <= 49 ? X : Y;
    const unsigned e = q[i];
    q.erase(q.begin() + i);
    q.insert(q.begin() + j, e);
    return 4;
  }
  if (s > 400) {
    const int d = draw((n + 3) / 4);
    const int c = draw(100);
    int k = 0;
    if (c > 49) {
      k = i + d > n - 1 ? i - d : i + d;
    } else {
      k = i - d < 0 ? i + d : i - d;
    }
    std::swap((s <= 499 ? X : Y)[i], (s <= 499 ? X : Y)[k]);
    return 5;
  }
  return -1;
}

// Takes block i out of the sequence and puts it before or after block j.
void putBeside(Seq& s, unsigned i, unsigned j, bool after) {
  s.erase(std::find(s.begin(), s.end(), i));
  auto at = std::find(s.begin(), s.end(), j);
  s.insert(after ? at + 1 : at, i);
}

// The first seed from `from` on whose first draw modulo n is `value`.
unsigned seedWithFirstDraw(int n, int value, unsigned from = 1) {
  for (unsigned k = from;; ++k) {
    std::srand(k);
    if (std::rand() % n == value) return k;
  }
}

class AnnealerMoves : public testing::Test {
 protected:
  void SetUp() override { setOptions(); }

  // n blocks of 10 x 10 named b0, b1, ... in a row.
  void blocks(int n) {
    for (int k = 0; k < n; ++k) {
      std::string name = "b";
      name += std::to_string(k);
      CktInstance* b = d.block(name, 10, 10);
      b->loc = TwoDLoc(10.0 * k, 0);
    }
  }

  Annealer& build() {
    testing::internal::CaptureStdout();
    db = std::make_unique<DB>(d.get(), 20, false, 0, 0.0, 1.0);
    params = std::make_unique<Command_Line>();
    annealer = std::make_unique<Annealer>(params.get(), db.get(), 11);
    testing::internal::GetCapturedStdout();
    return *annealer;
  }

  TestDesign d;
  std::unique_ptr<DB> db;
  std::unique_ptr<Command_Line> params;
  std::unique_ptr<Annealer> annealer;
};

}  // namespace

TEST_F(AnnealerMoves, SequenceMovesFollowTheirDraws) {
  blocks(12);
  Annealer& a = build();
  std::set<int> codes;
  for (unsigned n : {2u, 3u, 7u, 12u}) {
    for (unsigned seed = 1; seed <= 3000; ++seed) {
      Seq X = identity(n);
      Seq Y = identity(n);
      std::reverse(Y.begin(), Y.end());
      Seq ex = X;
      Seq ey = Y;
      const int expected = expectedSequenceMove(seed, ex, ey);
      std::srand(seed);
      const int code = a.makeMove(X, Y);
      ASSERT_EQ(code, expected) << "seed " << seed << " n " << n;
      ASSERT_EQ(X, ex) << "seed " << seed << " n " << n;
      ASSERT_EQ(Y, ey) << "seed " << seed << " n " << n;
      codes.insert(code);
    }
  }
  EXPECT_EQ(codes, (std::set<int>{-1, 1, 2, 3, 4, 5}));
}

TEST_F(AnnealerMoves, OneBlockNeverMovesAndFourBlocksNeverNearSwap) {
  blocks(4);
  Annealer& a = build();
  int nearSwaps = 0;
  for (unsigned seed = 1; seed <= 2000; ++seed) {
    Seq one{0};
    Seq other{0};
    std::srand(seed);
    a.makeMove(one, other);
    EXPECT_EQ(one, Seq{0});
    EXPECT_EQ(other, Seq{0});

    // With four blocks the near-swap distance is drawn from 0..0.
    Seq X = identity(4);
    Seq Y = {3, 1, 0, 2};
    std::srand(seed);
    if (a.makeMove(X, Y) != 5) continue;
    ++nearSwaps;
    EXPECT_EQ(X, identity(4));
    EXPECT_EQ(Y, (Seq{3, 1, 0, 2}));
  }
  EXPECT_GT(nearSwaps, 0);
}

TEST_F(AnnealerMoves, OrientationMoveTurnsAndUndoes) {
  blocks(3);
  d.get()->instList[1]->master->versions[0]->width = 4;  // block 1 is 4 x 10
  Annealer& a = build();
  SPeval& ev = AnnealerTestPeer::evaluator(a);
  CktInstance* b1 = d.get()->instList[1];

  // The draws: the block, then the new orientation.
  for (unsigned seed = 1; seed <= 50; ++seed) {
    std::srand(seed);
    const int node = draw(3);
    const int to = draw(8);
    int gotNode = -1;
    CP::oritType from = CP::B0;
    CP::oritType newOrient = CP::B0;
    std::srand(seed);
    EXPECT_EQ(a.makeMoveOrient(gotNode, from, newOrient), 10);
    EXPECT_EQ(gotNode, node);
    EXPECT_EQ(newOrient, to);
    EXPECT_EQ(from, d.get()->instList[node]->orient);
  }

  // Same parity: nothing changes in the evaluator.
  AnnealerTestPeer::applyOrient(a, 1, CP::B0, CP::B180);
  EXPECT_EQ(ev.widths[1], 4);
  EXPECT_EQ(b1->orient, CP::B180);
  AnnealerTestPeer::rejectOrient(a, 1, CP::B0, CP::B180);
  EXPECT_EQ(b1->orient, CP::B0);

  // A quarter turn exchanges width and height; rejection turns it back.
  AnnealerTestPeer::applyOrient(a, 1, CP::B0, CP::B90);
  EXPECT_EQ(ev.widths[1], 10);
  EXPECT_EQ(ev.heights[1], 4);
  EXPECT_EQ(db->getNodeWidth(1), 4);  // the database follows only on acceptance
  AnnealerTestPeer::rejectOrient(a, 1, CP::B0, CP::B90);
  EXPECT_EQ(ev.widths[1], 4);
  EXPECT_EQ(ev.heights[1], 10);
  EXPECT_EQ(b1->orient, CP::B0);

  AnnealerTestPeer::applyOrient(a, 1, CP::B0, CP::F90);
  AnnealerTestPeer::acceptOrient(a, 1, CP::B0, CP::F90);
  EXPECT_EQ(db->getNodeWidth(1), 10);
  EXPECT_EQ(db->getNodeHeight(1), 4);
  EXPECT_EQ(ev.widths[1], 10);
  EXPECT_EQ(b1->orient, CP::F90);
}

TEST_F(AnnealerMoves, WireLengthMovePicksAmongTheBlocksNearestTheOptimum) {
  // Six 10 x 10 blocks in a row; b0 is wired to b5, so its optimum is b5's
  // corner (50, 0). The pitch is 60 / sqrt(6), two candidates are taken, and
  // the first two blocks within one pitch in index order are b3 and b4.
  blocks(6);
  CktInstance* b0 = d.get()->instList[0];
  CktInstance* b5 = d.get()->instList[5];
  d.net(d.pin(b0, OUT_PORT), {d.pin(b5, IN_PORT)});
  Annealer& a = build();

  std::set<unsigned> partners;
  for (unsigned from = 1; partners.size() < 2 || from < 200;) {
    const unsigned seed = seedWithFirstDraw(6, 0, from);
    from = seed + 1;
    std::srand(seed);
    draw(6);
    const unsigned j = draw(2) == 0 ? 3 : 4;
    const int q = draw(4);
    Seq ex = identity(6);
    Seq ey = identity(6);
    putBeside(ex, 0, j, q >= 2);
    putBeside(ey, 0, j, q == 1 || q == 3);

    Seq X = identity(6);
    Seq Y = identity(6);
    std::srand(seed);
    EXPECT_EQ(a.makeHPWLMove(X, Y), 12);
    EXPECT_EQ(X, ex) << "seed " << seed;
    EXPECT_EQ(Y, ey) << "seed " << seed;
    partners.insert(j);
  }
}

TEST_F(AnnealerMoves, WireLengthMoveWithoutCandidatesDrawsAnotherBlock) {
  // The database keeps b1 far away, so b0's optimum has no block of the
  // packing near it: the partner is drawn until it differs from b0.
  blocks(2);
  CktInstance* b0 = d.get()->instList[0];
  CktInstance* b1 = d.get()->instList[1];
  d.net(d.pin(b0, OUT_PORT), {d.pin(b1, IN_PORT)});
  b1->loc = TwoDLoc(1000, 1000);
  Annealer& a = build();
  const unsigned seed = seedWithFirstDraw(2, 0);
  std::srand(seed);
  draw(2);
  while (draw(2) != 1) {
  }
  const int q = draw(4);
  const int after = std::rand();

  Seq X = identity(2);
  Seq Y = identity(2);
  std::srand(seed);
  EXPECT_EQ(a.makeHPWLMove(X, Y), 12);
  EXPECT_EQ(std::rand(), after);  // exactly the draws above were made
  EXPECT_EQ(X, q >= 2 ? (Seq{1, 0}) : (Seq{0, 1}));
  EXPECT_EQ(Y, (q == 1 || q == 3) ? (Seq{1, 0}) : (Seq{0, 1}));
}

TEST_F(AnnealerMoves, WireLengthMoveOfOneBlockIsASequenceMove) {
  blocks(1);
  Annealer& a = build();
  for (unsigned seed = 1; seed <= 200; ++seed) {
    Seq ex{0};
    Seq ey{0};
    const int expected = expectedSequenceMove(seed, ex, ey);
    const int after = std::rand();
    Seq X{0};
    Seq Y{0};
    std::srand(seed);
    EXPECT_EQ(a.makeHPWLMove(X, Y), expected);
    EXPECT_EQ(std::rand(), after);
    EXPECT_EQ(X, Seq{0});
  }
}

// ---------------------------------------------------------------------------
// Configuration moves

namespace {

// Three blocks with two versions each, a ring of nets, and two configurations.
class ConfigMoves : public AnnealerMoves {
 protected:
  void SetUp() override {
    AnnealerMoves::SetUp();
    const std::string dir = osvotest::scratchDir("anneal_config_moves");
    const std::string ipc = dir + "/two.ipc";
    osvotest::writeFile(ipc, "{a:0, b:0, c:0} 1.0\n{a:1, b:1, c:0} 1.5\n");
    ReadParam::cmdOption["-ipcFile"] = ipc;

    a = d.block("a", 10, 20);
    b = d.block("b", 8, 8);
    c = d.block("c", 5, 5);
    setVersion(a->master->versions[0], 1.0, 0.1, 0.2, 1);
    setVersion(TestDesign::addVersion(a->master, 12, 15), 2.0, 0.3, 0.4, 0);
    setVersion(b->master->versions[0], 3.0, 0.5, 0.6, 1);
    setVersion(TestDesign::addVersion(b->master, 16, 4), 4.0, 0.7, 0.8, 1);
    setVersion(c->master->versions[0], 5.0, 0.9, 1.1, 1);
    setVersion(TestDesign::addVersion(c->master, 6, 6), 6.0, 1.2, 1.3, 1);
    d.connect(a, b)->weight = 0.7;
    d.connect(b, c)->weight = 0.3;
    d.connect(c, a)->weight = 0.9;
    // Pin times that differ from the versions' set-up and output times, so
    // that an undo must restore them rather than recompute them.
    for (CktInstance* inst : d.get()->instList) {
      for (CktPin* p : inst->inPins) {
        p->inDelay = 0.0125;
        p->outDelay = 0.5;
      }
      for (CktPin* p : inst->outPins) {
        p->inDelay = 0.25;
        p->outDelay = 0.0375;
      }
    }
    a->orient = CP::B270;
  }

  static void setVersion(CktVersion* v, double delay, double tsu, double tco, int type) {
    v->delay = delay;
    v->tsu = tsu;
    v->tco = tco;
    v->type = type;
  }

  // Everything a configuration move may touch, flattened.
  std::vector<double> snapshot(Annealer& an) {
    std::vector<double> s;
    SPeval& ev = AnnealerTestPeer::evaluator(an);
    s.insert(s.end(), ev.widths.begin(), ev.widths.end());
    s.insert(s.end(), ev.heights.begin(), ev.heights.end());
    for (CktMaster* m : d.get()->masterList) {
      s.push_back(m->type);
      for (CktVersion* v : m->versions) {
        for (double x : {v->width, v->height, v->area, v->delay, v->tsu, v->tco}) s.push_back(x);
      }
    }
    for (CktInstance* inst : d.get()->instList) {
      s.push_back(inst->orient);
      s.push_back(inst->versionIdx);
      for (auto* pins : {&inst->inPins, &inst->outPins}) {
        for (CktPin* p : *pins) s.insert(s.end(), {p->inDelay, p->outDelay});
      }
    }
    for (CktNet* n : d.get()->netList) s.push_back(n->weight);
    CktVersion* chip = d.get()->topInst->master->versions[0];
    s.insert(s.end(), {chip->width, chip->height, chip->area});
    s.push_back(db->currentConfig);
    return s;
  }

  CktInstance* a = nullptr;
  CktInstance* b = nullptr;
  CktInstance* c = nullptr;
};

}  // namespace

TEST_F(ConfigMoves, RejectedMoveRestoresEverythingExactly) {
  Annealer& an = build();
  ASSERT_EQ(db->configs.size(), 2u);
  const std::vector<double> before = snapshot(an);

  std::srand(seedWithFirstDraw(2, 1));
  AnnealerTestPeer::makeAndApplyConfig(an);
  EXPECT_EQ(AnnealerTestPeer::oldConfig(an), 0);
  EXPECT_EQ(AnnealerTestPeer::newConfig(an), 1);
  EXPECT_EQ(db->currentConfig, 1);

  // The new versions are in the evaluator and on the pins; the chip outline
  // follows the change of block area: (289 - 20) x 1.2.
  SPeval& ev = AnnealerTestPeer::evaluator(an);
  EXPECT_EQ(ev.widths[0], 12);
  EXPECT_EQ(ev.heights[1], 4);
  EXPECT_EQ(ev.widths[2], 5);
  EXPECT_EQ(a->inPins[0]->inDelay, 0.3);
  EXPECT_EQ(a->inPins[0]->outDelay, 0);
  EXPECT_EQ(b->outPins[0]->outDelay, 0.8);
  EXPECT_EQ(b->outPins[0]->inDelay, 0);
  EXPECT_EQ(a->master->type, 0);
  EXPECT_DOUBLE_EQ(AnnealerTestPeer::chipSide(an), std::sqrt(269 * 1.2));
  EXPECT_DOUBLE_EQ(db->getArea(d.get()->topInst), 269 * 1.2);
  d.get()->netList[0]->weight = 0.123;  // as static timing would re-weight

  testing::internal::CaptureStdout();
  AnnealerTestPeer::rejectConfig(an);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "Rejected move from config 0to 1\nArea stays  346.8\n");
  EXPECT_EQ(snapshot(an), before);
}

TEST_F(ConfigMoves, AcceptedMovePutsTheNewVersionsInForce) {
  Annealer& an = build();
  std::srand(seedWithFirstDraw(2, 1));
  AnnealerTestPeer::makeAndApplyConfig(an);
  testing::internal::CaptureStdout();
  AnnealerTestPeer::acceptConfig(an);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Accepted move from config 0to 1\n");
  EXPECT_EQ(db->currentConfig, 1);
  EXPECT_EQ(db->getNodeWidth(0), 12);
  EXPECT_EQ(db->getNodeHeight(1), 4);
  EXPECT_EQ(a->versionIdx, 1);
  EXPECT_EQ(b->versionIdx, 1);
  EXPECT_EQ(c->versionIdx, 0);
  EXPECT_EQ(a->orient, CP::B270);
  EXPECT_DOUBLE_EQ(db->getNodesArea(), 269);
  // The evaluator and the database agree on every block.
  SPeval& ev = AnnealerTestPeer::evaluator(an);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ev.widths[i], db->getNodeWidth(i));
    EXPECT_EQ(ev.heights[i], db->getNodeHeight(i));
  }
}

TEST_F(ConfigMoves, EntriesNamingNoBlockAreSkipped) {
  Annealer& an = build();
  db->configs[1]->versions["ghost"] = 1;
  std::srand(seedWithFirstDraw(2, 1));
  int oldCfg = -1;
  int newCfg = -1;
  std::vector<double> w, h, delays, tcis, tcos;
  std::vector<CP::oritType> oris;
  EXPECT_EQ(an.makeConfigMove(oldCfg, newCfg, w, h, delays, oris, tcis, tcos), 555);
  EXPECT_EQ(newCfg, 1);
  EXPECT_EQ(w, (std::vector<double>{12, 16, 5}));
  EXPECT_EQ(h, (std::vector<double>{15, 4, 5}));
  EXPECT_EQ(delays, (std::vector<double>{2, 4, 5}));
  EXPECT_EQ(tcis, (std::vector<double>{0.3, 0.7, 0.9}));
  EXPECT_EQ(tcos, (std::vector<double>{0.4, 0.8, 1.1}));
  EXPECT_EQ(oris, (std::vector<CP::oritType>{CP::B270, CP::B0, CP::B0}));
}

TEST_F(ConfigMoves, NonEmptyVectorsStopTheProgram) {
  Annealer& an = build();
  int oldCfg = 0;
  int newCfg = 0;
  std::vector<double> w{1}, h, delays, tcis, tcos;
  std::vector<CP::oritType> oris;
  EXPECT_DEATH(an.makeConfigMove(oldCfg, newCfg, w, h, delays, oris, tcis, tcos),
               "newWidths.size\\(\\) *== *0");
}
