// The hand-over to the fixed-outline floorplanner: the exchange files, the
// write-back into the design, the timing-driven rounds and their undo, the
// degenerate designs and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "FloorplanTestDesign.h"
#include "fenrik/Fenrik.h"
#include "flat/AspectRange.h"
#include "floorplan/FenrikBridge.h"

using namespace fptest;

namespace {

using Solution = FenrikBridge::Solution;

std::string numbered(std::string prefix, int i) {
  return prefix += std::to_string(i);
}

// n blocks of assorted sizes in a ring, a three-pin net, and a chip input driving block 0.
std::vector<CktInstance*> ring(TestDesign& t, int n) {
  std::vector<CktInstance*> b;
  for (int i = 0; i < n; ++i)
    b.push_back(t.block(numbered("b", i), 10 + (i * 7) % 23, 8 + (i * 5) % 17));
  for (int i = 0; i < n; ++i) t.connect(b[i], b[(i + 1) % n]);
  if (n >= 3) t.net(t.pin(b[0], OUT_PORT), {t.pin(b[n / 2], IN_PORT), t.pin(b[n - 1], IN_PORT)});
  t.net(t.pin(t.top(), IN_PORT), {t.pin(b[0], IN_PORT)});
  return b;
}

class FenrikBridgeTest : public testing::Test {
 protected:
  std::string base() const { return dir + "/osvo"; }
  FenrikBridge bridge(DB& db) const { return FenrikBridge(db, base()); }
  void run(DB& db, int whitespace = 20, bool soft = false) {
    FenrikBridge b = bridge(db);
    printed = capture([&] { b.run(whitespace, soft); });
    if (printed.error) throw *printed.error;
  }

  std::string dir = testDir();
  TestDesign t;
  Printed printed;
};

TEST_F(FenrikBridgeTest, ExchangeFilesHardAndSoft) {
  // Sizes keep every digit (1.1 x 3); a chip pin at (-0.5, 0.25) on a 10 x 8 chip
  // turned by a quarter sits at (0.25 x 10, 0 x 8).
  CktInstance* a = t.block("A", 4, 2);
  CktInstance* b = t.block("B", 1.1, 3);
  CktPin* chipPin = t.pin(t.top(), IN_PORT);
  chipPin->offset = ThreeDLoc(-0.5, 0.25, 0);
  t.net(t.pin(a, OUT_PORT), {t.pin(b, IN_PORT), chipPin});
  t.net(t.pin(b, OUT_PORT), {});
  auto db = quietDB(t);
  db->getVersion(t.top())->width = 10;
  db->getVersion(t.top())->height = 8;
  t.top()->orient = CP::B90;

  bridge(*db).writeExchangeFiles(false);
  EXPECT_EQ(osvotest::readFile(base() + ".blocks"),
            "ZEPT blocks 1.0\n\nNumSoftRectangularBlocks : 0\nNumHardRectilinearBlocks : 2\n"
            "NumTerminals : 1\n\n"
            "sb0 hardrectilinear 4 (0, 0) (0, 2) (4, 2) (4, 0)\n"
            "sb1 hardrectilinear 4 (0, 0) (0, 3) (1.1, 3) (1.1, 0)\n"
            "p1 terminal\n");
  EXPECT_EQ(osvotest::readFile(base() + ".nets"),
            "ZEPT nets 1.0\n\nNumNets : 2\nNumPins : 4\n"
            "NetDegree : 3\nsb0 B\nsb1 B\np1 B\n"
            "NetDegree : 1\nsb1 B\n");
  EXPECT_EQ(osvotest::readFile(base() + ".pl"), "ZEPT pl 1.0\n\nsb0 0 0\nsb1 0 0\np1 2.5 0 : FS\n");

  bridge(*db).writeExchangeFiles(true);
  EXPECT_TRUE(osvotest::contains(osvotest::readFile(base() + ".blocks"),
                                 "sb0 softrectangular 8 0.1 10.0 \n"
                                 "sb1 softrectangular 3.3000000000000003 0.1 10.0 \n"));

  // A benchmark names the soft blocks and their ranges.
  db->getDesign()->wireLengthOnly = true;
  b->setExtData(kAspectRangeKey, new AspectRange(0.5, 2.25));
  bridge(*db).writeExchangeFiles(true);
  EXPECT_EQ(osvotest::readFile(base() + ".blocks"),
            "ZEPT blocks 1.0\n\nNumSoftRectangularBlocks : 1\nNumHardRectilinearBlocks : 1\n"
            "NumTerminals : 1\n\n"
            "sb0 hardrectilinear 4 (0, 0) (0, 2) (4, 2) (4, 0)\n"
            "sb1 softrectangular 3.3000000000000003 0.5 2.25 \n"
            "p1 terminal\n");
}

TEST_F(FenrikBridgeTest, WriteBackPlacesHardAndSoftBlocksLegally) {
  for (bool soft : {false, true}) {
    SCOPED_TRACE(soft ? "soft" : "hard");
    TestDesign d;
    std::vector<CktInstance*> blocks = ring(d, 14);
    std::vector<std::pair<double, double>> sizes;
    for (CktInstance* inst : blocks) {
      inst->orient = CP::B270;  // left by an earlier run
      sizes.push_back({inst->master->versions[0]->width, inst->master->versions[0]->height});
    }
    auto db = quietDB(d);
    FenrikBridge b(*db, base());
    std::unique_ptr<Fenrik> fenrik;
    const Printed p = capture([&] {
      b.writeExchangeFiles(soft);
      fenrik = b.readExchangeFiles(20, FenrikBridge::kFirstGamma);
      b.initializeNetWeights(*fenrik);
      fenrik->constructFloorplan();
      b.writeBack(*fenrik);
    });
    ASSERT_FALSE(p.error) << p.error->what();
    EXPECT_TRUE(legal(*db, 20));
    for (size_t i = 0; i < blocks.size(); ++i) {
      const double w = db->getNodeWidth(blocks[i]), h = db->getNodeHeight(blocks[i]);
      const auto [w0, h0] = sizes[i];
      if (soft) {
        EXPECT_NEAR(w * h, w0 * h0, 1e-9 * w0 * h0);
        EXPECT_TRUE(h / w >= 0.1 - 1e-12 && h / w <= 10 + 1e-9) << h / w;
      } else {
        EXPECT_TRUE((w == w0 && h == h0) || (w == h0 && h == w0)) << w << " x " << h;
      }
      for (const auto* pins : {&blocks[i]->inPins, &blocks[i]->outPins})
        for (CktPin* pin : *pins) {
          const _Pin* placed = b.find_pin(*fenrik, pin, fenrik->block(static_cast<int>(i)));
          ASSERT_NE(placed, nullptr);
          EXPECT_EQ(pin->offset.x, placed->xOffset - 0.5);
          EXPECT_EQ(pin->offset.y, placed->yOffset - 0.5);
        }
    }
  }
}

TEST_F(FenrikBridgeTest, TimingRoundsKeepTheBestAndRestoreTheSavedSolutionExactly) {
  ring(t, 10);
  auto db = quietDB(t, 20, true);
  FenrikBridge b = bridge(*db);
  Solution first;
  const Printed made = capture([&] {
    b.writeExchangeFiles(false);
    auto fenrik = b.readExchangeFiles(20, FenrikBridge::kFirstGamma);
    b.initializeNetWeights(*fenrik);
    fenrik->constructFloorplan();
    first = b.writeBack(*fenrik);
  });
  ASSERT_FALSE(made.error);

  // Scripted cycle times: the baseline, then rounds 0 to 9. A worse round scrambles
  // the design; after the undo it must be exactly as at the best round.
  const std::vector<double> script = {5, 4, 6, 3, 3, 7, 2, 8, 9, 2, 10};
  size_t next = 0;
  double best = 1e300;
  bool undoing = false;
  Solution bestSeen;
  int undos = 0;
  auto evaluate = [&]() -> double {
    Solution now = b.capture();
    if (undoing) {
      EXPECT_EQ(now, bestSeen);
      for (CktInstance* inst : t.get()->instList) EXPECT_EQ(inst->orient, CP::B0);
      undoing = false;
      ++undos;
      return -1;  // ignored
    }
    const double value = script.at(next++);
    if (value <= best) {
      best = value;
      bestSeen = now;
      return value;
    }
    for (CktInstance* inst : t.get()->instList) {
      inst->loc.x += 1000;
      inst->orient = CP::B90;
      db->putNodeWidth(inst, 2 * db->getNodeWidth(inst));
      for (CktPin* pin : inst->inPins) pin->offset.x = 0.3;
    }
    undoing = true;
    return value;
  };
  const Printed p = capture([&] { b.timingRounds(20, first, evaluate); });
  ASSERT_FALSE(p.error) << p.error->what();
  EXPECT_EQ(next, script.size());
  EXPECT_EQ(undos, 5);
  std::ostringstream expected;
  for (int i = 0; i < 10; ++i) {
    expected << "Iteration " << i << "\n";
    const double before = *std::min_element(script.begin(), script.begin() + i + 1);
    if (script[i + 1] <= before)
      expected << "Improvement " << before << " " << script[i + 1] << "\n";
  }
  EXPECT_EQ(p.out, expected.str());
  EXPECT_TRUE(legal(*db, 20));
}

TEST_F(FenrikBridgeTest, RoundsOnlyWithTimingOnAWireLengthDesign) {
  ring(t, 8);
  for (auto [mode, timing] :
       {std::pair(DesignMode::WireLength, true), std::pair(DesignMode::WireLength, false),
        std::pair(DesignMode::PipelineModel, true)}) {
    t.get()->mode = mode;
    auto db = quietDB(t, 20, timing);
    run(*db);
    const bool rounds = mode == DesignMode::WireLength && timing;
    EXPECT_TRUE(rounds ? osvotest::contains(printed.out, "Iteration 9\n") : printed.out.empty())
        << printed.out;
    EXPECT_TRUE(legal(*db, 20));
  }
}

TEST_F(FenrikBridgeTest, NetWeightsAndPinPairs) {
  // Net 0: of the block pins after the first, C has the least delay (3).
  CktInstance* a = t.block("A", 5, 5);
  CktInstance* b = t.block("B", 5, 5);
  CktInstance* c = t.block("C", 5, 5);
  CktNet* n0 =
      t.net(t.pin(t.top(), IN_PORT), {t.pin(a, IN_PORT), t.pin(b, IN_PORT), t.pin(c, IN_PORT)});
  CktNet* n1 = t.net(t.pin(a, OUT_PORT), {t.pin(b, IN_PORT), t.pin(c, IN_PORT)});
  n0->pinDelay = {0, 0, 7, 3};
  n1->pinDelay = {0, 99999, 1e6};
  n0->ipcWeight = 0.7;
  n1->ipcWeight = 0.5;
  auto db = quietDB(t);
  FenrikBridge br = bridge(*db);
  br.writeExchangeFiles(false);
  auto fenrik = br.readExchangeFiles(20, FenrikBridge::kFirstGamma);
  _Net& f0 = fenrik->net(0);
  _Net& f1 = fenrik->net(1);
  br.updateNetWeights(*fenrik, 1);
  EXPECT_EQ(f0.weight, 12.0);  // round(3 x 0.7) + 10
  EXPECT_EQ(f1.weight, 12.0);  // round(1.5) + 10
  EXPECT_EQ(f0.pairFirst, &f0.pins[0]);
  EXPECT_EQ(f0.pairSecond, &f0.pins[2]);
  EXPECT_EQ(f1.pairSecond, &f1.pins[1]);
  // The first weights: 1, or the IPC weight in pipeline mode; the first two block pins.
  br.initializeNetWeights(*fenrik);
  EXPECT_EQ(f0.weight, 1.0);
  EXPECT_EQ(f0.pairSecond, &f0.pins[1]);
  t.get()->mode = DesignMode::PipelineModel;
  br.initializeNetWeights(*fenrik);
  EXPECT_EQ(f0.weight, 0.7);
}

TEST_F(FenrikBridgeTest, DegenerateDesignsGiveLegalFloorplans) {
  struct Case {
    const char* name;
    void (*build)(TestDesign&);
  };
  const Case cases[] = {
      {"blocks without nets",
       [](TestDesign& d) {
         for (int i = 0; i < 6; ++i) d.block(numbered("b", i), 3, 2);
       }},
      {"zero-area blocks",
       [](TestDesign& d) {
         CktInstance* a = d.block("a", 4, 2);
         d.connect(a, d.block("point", 0, 0));
         d.connect(d.block("line", 0, 4), a);
         d.block("b", 4, 2);
       }},
      {"only zero-area blocks",
       [](TestDesign& d) { d.connect(d.block("p", 0, 0), d.block("q", 0, 0)); }},
      {"net of chip pins only",
       [](TestDesign& d) {
         d.block("a", 3, 3);
         d.net(d.pin(d.top(), IN_PORT), {d.pin(d.top(), OUT_PORT)});
       }},
  };
  for (const Case& c : cases) {
    for (bool soft : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (soft ? ", soft" : ", hard"));
      TestDesign d;
      c.build(d);
      auto db = quietDB(d);
      ASSERT_NO_THROW(run(*db, 20, soft));
      EXPECT_TRUE(legal(*db, 20));
    }
  }
}

TEST_F(FenrikBridgeTest, RefusalsNameTheirCause) {
  {
    TestDesign d;
    d.block("long", 100, 1);
    auto db = quietDB(d);
    EXPECT_TRUE(osvotest::throwsError([&] { bridge(*db).run(20, false); },
                                      "^Infeasible at the top level\n$"));
  }
  {
    TestDesign d;
    d.block("a", 1, 1);
    auto db = quietDB(d);
    osvotest::writeFile(dir + "/plain", "");
    FenrikBridge b(*db, dir + "/plain/osvo");
    EXPECT_TRUE(osvotest::throwsError([&] { b.run(20, false); },
                                      "^ERROR: .*/plain/osvo\\.blocks could not be written\n$"));
  }
  {
    TestDesign d;
    d.block("bad", std::nan(""), 1);
    auto db = quietDB(d);
    EXPECT_TRUE(osvotest::throwsError([&] { bridge(*db).run(20, false); },
                                      "^Error: block bad has no usable size"));
  }
  // A pin whose net does not list it.
  {
    TestDesign d;
    CktInstance* a = d.block("a", 2, 1);
    CktNet* n = d.connect(a, d.block("b", 2, 1));
    d.pin(a, IN_PORT)->net = n;
    auto db = quietDB(d);
    EXPECT_TRUE(
        osvotest::throwsError([&] { bridge(*db).run(20, false); }, "^Not supposed to happen \n$"));
  }
}

}  // namespace
