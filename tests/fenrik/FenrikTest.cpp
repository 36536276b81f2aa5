// The floorplanner on small designs built in place: edge cases, the cut's
// pieces, and random designs that end legal whenever the top level passes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fenrik/Fenrik.h"
#include "fenrik/Legality.h"
#include "support/Error.h"

namespace {

struct Builder {
  BenchmarkDesign d;
  Builder& hard(double w, double h) {
    add(false, w, h, w * h);
    return *this;
  }
  Builder& soft(double area, double lo = 0.0, double hi = 0.0) {
    add(true, std::sqrt(area), std::sqrt(area), area);
    d.blocks.back().hasAspectRange = lo > 0.0;
    d.blocks.back().minAspect = lo;
    d.blocks.back().maxAspect = hi;
    return *this;
  }
  Builder& terminal(double x, double y) {
    std::string name = "p";
    name += std::to_string(d.terminals.size() + 1);
    d.names[name] = {true, static_cast<int>(d.terminals.size())};
    d.terminals.push_back({name, {true, x, y, "", false, 0, 0}});
    return *this;
  }
  // Pins: block indices, terminals as -1 - terminal index.
  Builder& net(std::vector<int> pins) {
    DesignNet n;
    for (int p : pins) n.pins.push_back(DesignPin{p < 0, p < 0 ? -1 - p : p, 'B'});
    d.pinCount += pins.size();
    d.nets.push_back(n);
    return *this;
  }
  void add(bool soft, double w, double h, double area) {
    DesignBlock b;
    b.name = "sb";
    b.name += std::to_string(d.blocks.size());
    b.soft = soft;
    b.width = w;
    b.height = h;
    b.area = area;
    d.names[b.name] = {false, static_cast<int>(d.blocks.size())};
    d.blocks.push_back(b);
  }
};

LegalityReport legal(const Fenrik& f) {
  return checkLegality(f, f.getRegion(), 1e-7 * std::max(1.0, f.getRegion().longerSide()));
}

TEST(Fenrik, RegionAndWirelength) {
  // Without terminals the region is the square of the enlarged area.
  Fenrik square(Builder().hard(10, 20).soft(100).d, 25.0, 1e7);
  EXPECT_DOUBLE_EQ(square.getTotalArea(), 375.0);
  EXPECT_DOUBLE_EQ(square.getRegion().width(), std::sqrt(375.0));
  EXPECT_DOUBLE_EQ(square.getRegion().height(), std::sqrt(375.0));

  // With terminals the region is as wide as their bounding box.
  Builder b;
  b.hard(10, 20).hard(5, 4).terminal(2, 3).terminal(12, 8).terminal(7, 30);
  b.net({0, 1}).net({-1, -2, -3}).net({}).net({1, -2});
  Fenrik f(b.d, 0.0, 1e7);
  EXPECT_EQ(f.getRegion().width(), 10.0);
  EXPECT_EQ(f.getRegion().height(), 22.0);
  EXPECT_EQ(f.getTotalPins(), 7);
  f.block(0).set(0, 0, 10, 20);
  f.block(1).set(20, 30, 25, 34);
  f.net(0).weight = 2.0;
  // Net 0 from the centres (5, 10) and (22.5, 32), twice; the terminal-only
  // net 10 + 27; the empty net nothing; sb1 (22.5, 32) to p2 (12, 8).
  EXPECT_DOUBLE_EQ(f.getWirelength(), 2 * (17.5 + 22) + 37 + (10.5 + 24));
  EXPECT_DOUBLE_EQ(f.getCentreWirelength(), (17.5 + 22) + 37 + (10.5 + 24));
}

TEST(Fenrik, EdgeCasesEndLegalOrRefused) {
  struct Case {
    const char* what;
    Builder design;
    bool feasible;
  };
  Builder pads;
  pads.terminal(0, 0).terminal(30, 30);
  Case cases[] = {
      {"single hard block", Builder().hard(4, 4), true},
      {"single soft block with a terminal", Builder(pads).soft(50, 0.01, 100).net({0, -1}), true},
      {"blocks without nets", Builder().hard(3, 4).hard(4, 3).hard(2, 2).soft(9).soft(5), true},
      {"no terminals", Builder().hard(3, 4).hard(4, 3).soft(12).net({0, 1}).net({1, 2}), true},
      {"zero-area blocks among others",
       Builder().hard(0, 5).hard(6, 6).soft(0).hard(3, 0).net({0, 1}).net({2, 3}), true},
      {"only blocks without area", Builder().hard(0, 0).soft(0).net({0, 1}), true},
      {"a block larger than the outline", Builder(pads).hard(40, 1).hard(1, 1), false},
      {"a line longer than the outline", Builder().hard(0, 10).hard(2, 2), false},
      // Terminals far apart in x only: an outline a billion times longer than
      // high, whose fit slack, taken from its length, once let blocks far
      // higher than the outline pass for fitting it.
      {"an outline far longer than high",
       Builder()
           .terminal(41, 0)
           .terminal(40166666666, 0)
           .soft(400, 0.3, 3)
           .soft(100, 0.1, 10)
           .hard(20, 30)
           .hard(8, 5)
           .net({0, 2, -1})
           .net({1, -2})
           .net({3, 0}),
       false},
      // Beside a block of area 1e20 the small blocks' side of a cut may be a
      // sliver of the outline, far thinner than the outline's fit slack.
      {"small blocks in a sliver of the outline",
       Builder()
           .soft(1e20, 0.5, 2)
           .soft(83, 0.3, 3)
           .soft(72, 0.3, 3)
           .soft(94, 0.3, 3)
           .hard(15, 9)
           .soft(64, 0.3, 3)
           .hard(2.5, 1)
           .soft(77, 0.3, 3)
           .hard(4, 7)
           .soft(30, 0.3, 3)
           .net({6, 9})
           .net({2, 1})
           .net({5, 1})
           .net({7, 5})
           .net({3, 1})
           .net({9, 7})
           .net({7, 8}),
       true},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fenrik f(c.design.d, 10.0, 1e7);
    f.setWhitespaceSpreading(1);
    try {
      f.constructFloorplan();
      EXPECT_TRUE(c.feasible);
      LegalityReport r = legal(f);
      EXPECT_TRUE(r.legal) << r.problem;
      EXPECT_EQ(f.processedCount(), f.queueLength());
    } catch (const osvo::Error& e) {
      EXPECT_FALSE(c.feasible);
      EXPECT_STREQ(e.what(), "Infeasible at the top level\n");
      EXPECT_EQ(e.status(), 1);
    }
  }
}

// A random design: hard and soft blocks of mixed sizes, terminals around a
// square, nets of two to five pins.
BenchmarkDesign randomDesign(std::mt19937& rng, int blocks, double softShare) {
  std::uniform_real_distribution<double> size(1.0, 20.0), unit(0.0, 1.0);
  Builder b;
  for (int i = 0; i < blocks; ++i) {
    if (unit(rng) < softShare)
      b.soft(size(rng) * size(rng), 1.0 / 3.0, 3.0);
    else
      b.hard(size(rng), size(rng));
  }
  int pads = static_cast<int>(rng() % 8);
  for (int k = 0; k < pads; ++k) b.terminal(100 * unit(rng), k % 2 ? 0.0 : 100.0);
  int nets = blocks + static_cast<int>(rng() % (2 * blocks));
  for (int k = 0; k < nets; ++k) {
    std::vector<int> pins;
    int degree = 2 + static_cast<int>(rng() % 4);
    for (int p = 0; p < degree; ++p)
      pins.push_back(pads > 0 && unit(rng) < 0.2 ? -1 - static_cast<int>(rng() % pads)
                                                 : static_cast<int>(rng() % blocks));
    b.net(pins);
  }
  return b.d;
}

TEST(Fenrik, RandomDesignsAreLegalWheneverTheTopLevelPasses) {
  std::mt19937 rng(11);
  int passed = 0, fallbacks = 0;
  for (int trial = 0; trial < 40; ++trial) {
    int blocks = 2 + static_cast<int>(rng() % 30);
    BenchmarkDesign d = randomDesign(rng, blocks, trial % 3 == 0 ? 0.0 : 0.5);
    double whitespace = 15.0 + static_cast<double>(rng() % 30);
    srand48(trial);
    Fenrik f(d, whitespace, 1e7);
    f.setWhitespaceSpreading(trial % 4 == 0 ? 0 : 1);
    try {
      f.constructFloorplan();
    } catch (const osvo::Error&) {
      continue;
    }
    ++passed;
    fallbacks += f.fallbackCuts();
    LegalityReport r = legal(f);
    ASSERT_TRUE(r.legal) << "trial " << trial << ": " << r.problem;
    ASSERT_EQ(f.processedCount(), f.queueLength());
  }
  EXPECT_GT(passed, 25);
  EXPECT_GT(fallbacks, 0);  // the fallback cut was exercised
}

TEST(Fenrik, SameSeedsGiveTheSameFloorplan) {
  std::mt19937 rng(3);
  BenchmarkDesign d = randomDesign(rng, 40, 0.5);
  std::vector<std::vector<double>> runs;
  for (int run = 0; run < 2; ++run) {
    srand48(7);
    Fenrik f(d, 15.0, 1e7);
    f.setWhitespaceSpreading(1);
    f.constructFloorplan();
    std::vector<double> corners;
    for (const auto& b : f.blocks())
      corners.insert(corners.end(), {b->getLl().x, b->getLl().y, b->getUr().x, b->getUr().y});
    runs.push_back(corners);
  }
  EXPECT_EQ(runs[0], runs[1]);
}

TEST(Fenrik, PartitionPropagatesOutsidePinsToTheNearSide) {
  // A tall region is cut horizontally; sb0 pulls to a terminal below it, sb1
  // to one above, sb2 to one in the middle band (which pulls nowhere).
  Builder b;
  b.hard(4, 4).hard(4, 4).hard(4, 4).hard(4, 4);
  b.terminal(5, 0).terminal(5, 100).terminal(5, 50);
  b.net({0, -1}).net({1, -2}).net({2, -3}).net({0, 3});
  Fenrik f(b.d, 0.0, 1e7);
  f.placeRegion(0, 3, Rect(0, 0, 10, 100));
  double area1, area2;
  std::vector<Block*> first, second;
  int j = f.partition(0, 3, area1, area2, first, second);
  EXPECT_EQ(j, static_cast<int>(first.size()) - 1);
  auto contains = [](const std::vector<Block*>& side, int index) {
    for (const Block* blk : side)
      if (blk->index == index) return true;
    return false;
  };
  EXPECT_TRUE(contains(first, 0));
  EXPECT_TRUE(contains(first, 3));  // with sb0, the net between them uncut
  EXPECT_TRUE(contains(second, 1));
  EXPECT_EQ(area1 + area2, 64.0);
}

TEST(Fenrik, PartitionWeightsSurviveTinyAndHugeUnits) {
  // Areas far below one or far above what ten times the area fits in an int,
  // and nets lighter than one half, still balance and still pull.
  for (double side : {0.01, 1e5}) {
    SCOPED_TRACE(side);
    Builder b;
    b.hard(side, side).hard(side, side).hard(side, side).hard(side, side);
    b.net({0, 1}).net({2, 3});
    Fenrik f(b.d, 0.0, 1e7);
    f.net(0).weight = f.net(1).weight = 0.3;
    f.placeRegion(0, 3, f.getRegion());
    double area1, area2;
    std::vector<Block*> first, second;
    f.partition(0, 3, area1, area2, first, second);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(std::abs(first[0]->index - first[1]->index), 1);  // sb0 with sb1, or sb2 with sb3
    EXPECT_EQ(first[0]->index / 2, first[1]->index / 2);
  }
}

TEST(Fenrik, FallbackCutFollowsTheLastGoodLayout) {
  // Four blocks in a 2 x 2 grid; the left column shares two nets, the right
  // column one: the vertical line cuts no net, across the usual direction.
  Builder b;
  b.hard(1, 1).hard(1, 1).hard(1, 1).hard(1, 1);
  b.net({0, 1}).net({0, 1}).net({2, 3});
  Fenrik f(b.d, 0.0, 1e7);
  const Rect region(0, 0, 2, 2);
  f.placeRegion(0, 3, region);
  const double at[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (int i = 0; i < 4; ++i)
    f.block(i).lastGood = Rect(at[i][0], at[i][1], at[i][0] + 1, at[i][1] + 1);
  std::vector<Block*> first(f.workingBlocks().begin(), f.workingBlocks().begin() + 2);
  std::vector<Block*> second(f.workingBlocks().begin() + 2, f.workingBlocks().end());
  double area1, area2, cutArea;
  int j;
  EXPECT_EQ(f.ROB_WLCut(first, second, area1, area2, 0, 3, region, j, cutArea), 1);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0]->index + first[1]->index, 1);  // sb0 and sb1
  EXPECT_EQ(j, 1);
  EXPECT_EQ(cutArea, 2.0);
  EXPECT_EQ(area1, 2.0);
}

TEST(Fenrik, LeafPlacementShapesAndPins) {
  Builder b;
  b.hard(10, 2).soft(100, 0.5, 2).hard(2, 2).hard(1, 1).terminal(0, 0).terminal(100, 0);
  b.net({0, -2}).net({1, 2});
  Fenrik f(b.d, 0.0, 1e7);
  auto slot = [&f](int index) {
    for (const Block* blk : f.workingBlocks())
      if (blk->index == index) return blk->position;
    return -1;
  };
  // The hard block does not fit the tall region unturned; its net pulls it to
  // the right-hand terminal, as far as the region lets it.
  f.place(slot(0), Rect(0, 0, 3, 20));
  EXPECT_EQ(f.block(0).getWidth(), 2.0);
  EXPECT_EQ(f.block(0).getHeight(), 10.0);
  EXPECT_EQ(f.block(0).getLl().x, 1.0);
  EXPECT_EQ(f.block(0).getLl().y, 0.0);
  // A block without nets is centred.
  f.place(slot(3), Rect(40, 0, 50, 10));
  EXPECT_EQ(f.block(3).getLl().x, 44.5);
  EXPECT_EQ(f.block(3).getLl().y, 4.5);
  // sb2 heads for the centre (30, 4) of sb1's region and its pin faces it.
  f.placeRegion(slot(1), slot(1), Rect(10, 0, 50, 8));
  f.place(slot(2), Rect(60, 0, 70, 10));
  EXPECT_EQ(f.block(2).getLl().x, 60.0);
  EXPECT_EQ(f.block(2).getLl().y, 3.0);
  EXPECT_EQ(f.block(2).pins[0]->xOffset, 0.0);
  EXPECT_EQ(f.block(2).pins[0]->yOffset, 0.5);
  // The soft block takes the squarest shape that fits and keeps its bounds,
  // as near sb2 as it can, its pin facing sb2's pin at (60, 4).
  f.place(slot(1), Rect(10, 0, 50, 8));
  EXPECT_DOUBLE_EQ(f.block(1).getWidth(), 12.5);
  EXPECT_DOUBLE_EQ(f.block(1).getHeight(), 8.0);
  EXPECT_EQ(f.block(1).getLl().x, 37.5);
  EXPECT_EQ(f.block(1).pins[0]->xOffset, 1.0);
  EXPECT_EQ(f.block(1).pins[0]->yOffset, 0.5);
  // In a region too low for it, the soft block keeps its aspect-ratio bounds.
  f.place(slot(1), Rect(10, 0, 50, 1));
  EXPECT_DOUBLE_EQ(f.block(1).getHeight() / f.block(1).getWidth(), 0.5);
}

}  // namespace
