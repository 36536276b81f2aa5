// The annealing schedule and whole runs of the annealer on tiny designs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "AnnealTestDesign.h"

using namespace fptest;

TEST(AnnealerSchedule, BandBoundariesAndMoveCounts) {
  for (double T : {2000.0, 1000.0, 500.0, 200.0, 0.1}) EXPECT_EQ(Annealer::coolingFactor(T), 0.85);
  EXPECT_EQ(Annealer::movesPerTemperature(31, 260000000), 25319528058LL);
  EXPECT_EQ(Annealer::outsideArea(9, 10, 10, 10), 0);
  EXPECT_EQ(Annealer::outsideArea(12, 13, 10, 10), 12 * 13 - 100);
}

namespace {

class AnnealerRun : public AnnealFixture {
 protected:
  void SetUp() override { schedule(1, 100); }
  void schedule(int moves, double start, double stop = 0.01) {
    params.numMoves = moves;
    params.normTime = params.startTime = start;
    params.coolTime = stop;
  }

  std::string run(Annealer& a) {
    testing::internal::CaptureStdout();
    a.go();
    return testing::internal::GetCapturedStdout();
  }
};

}  // namespace

TEST_F(AnnealerRun, TinyDesignsReachALegalPackingInsideTheOutline) {
  // Blocks that tile a 20 x 20 square, in a ring or not. A tiny ring's relative
  // wire length outweighs the outline penalty, so the wired design weighs area alone.
  for (bool wired : {false, true}) {
    for (long seed : {1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << "wired " << wired << " seed " << seed);
      params.areaWeight = wired ? 100 : 30;
      annealer.reset();
      db.reset();
      d = TestDesign();
      CktInstance* b[] = {d.block("tall", 10, 20), d.block("s0", 10, 10), d.block("s1", 10, 10)};
      for (int k = 0; wired && k < 3; ++k) d.connect(b[k], b[(k + 1) % 3]);
      Annealer& a = build(seed, wired);
      const std::vector<std::string> lines = osvotest::splitLines(run(a));
      ASSERT_FALSE(lines.empty());
      EXPECT_TRUE(lines.back().starts_with("Final Area: 400 WhiteSpace 0% AR 1 HPWL "));
      // The locations written back are those of the final packing.
      EXPECT_EQ(std::pair(db->getXSize(), db->getYSize()), std::pair(a.getXSize(), a.getYSize()));
      EXPECT_TRUE(legal(*db, 20, true));
    }
  }
}

TEST_F(AnnealerRun, SeedsComeFromTheStageOrFromAnAdvancingClock) {
  d.block("only", 3, 3);
  build();
  testing::internal::CaptureStdout();
  Annealer fixed(&params, db.get(), 42);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "The random seed for this run is: 42\n");
  const int next = std::rand();
  std::srand(42);
  EXPECT_EQ(std::rand(), next);

  // Clock seeds never repeat or go back, even after a given seed ahead of the clock.
  testing::internal::CaptureStdout();
  Annealer first(&params, db.get());
  Annealer second(&params, db.get());
  Annealer ahead(&params, db.get(), 4000000000L);
  Annealer third(&params, db.get());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_GT(second.getSeed(), first.getSeed());
  EXPECT_EQ(third.getSeed(), 4000000001L);
  EXPECT_NE(out.find("The random seed for this run is: 4000000001\n"), std::string::npos);
}

TEST_F(AnnealerRun, DegenerateDesignsAndTheFixedOutlineRequest) {
  Annealer& none = build(3, false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(none), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Annealer: the database has no blocks; nothing to floorplan\n");
  EXPECT_EQ(std::pair(none.getXSize(), none.getYSize()), std::pair(0.0, 0.0));

  // Blocks without extent: zero whitespace and aspect ratio, not 0/0.
  d.block("point", 0, 0);
  d.block("line", 0, 0);
  EXPECT_EQ(run(build(6, false)), "Final Area: 0 WhiteSpace 0% AR 0 HPWL 0\n");

  // A fixed-outline request hands the run to Fenrik, which places the blocks.
  params.fenrik = true;
  d.get()->instList[0]->loc = TwoDLoc(3, 4);
  Annealer& a = build(5, false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(a), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(d.get()->instList[0]->loc.x, 0);
  EXPECT_EQ(d.get()->instList[0]->loc.y, 0);
}
