#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "AnnealTestDesign.h"
#include "anneal/AnalSolve.h"
#include "floorplan/DB.h"

using namespace annealtest;

namespace {

class AnalSolveTest : public testing::Test {
 protected:
  void SetUp() override { setOptions(); }

  // Builds the database once the design is complete.
  AnalSolve& solver() {
    testing::internal::CaptureStdout();
    db = std::make_unique<DB>(d.get(), 20, false, 0, 0.0, 1.0);
    testing::internal::GetCapturedStdout();
    params = std::make_unique<Command_Line>();
    solve = std::make_unique<AnalSolve>(params.get(), db.get());
    return *solve;
  }

  TwoDLoc optLoc(int i) {
    std::vector<double> unused;
    return solver().getOptLoc(i, unused, unused);
  }

  // A 2 x 2 block at (x, y) with a pin at its centre.
  CktPin* centrePinBlock(const std::string& name, double x, double y) {
    CktInstance* b = d.block(name, 2, 2);
    b->loc = TwoDLoc(x, y);
    return d.pin(b, BI_PORT);
  }

  TestDesign d;
  std::unique_ptr<DB> db;
  std::unique_ptr<Command_Line> params;
  std::unique_ptr<AnalSolve> solve;
};

}  // namespace

TEST_F(AnalSolveTest, TwoPinNetPutsThePinsTogether) {
  CktPin* a = centrePinBlock("a", 50, 50);
  CktPin* b = centrePinBlock("b", 4, 6);  // its pin lies at (5, 7)
  d.net(a, {b});
  TwoDLoc loc = optLoc(0);
  EXPECT_DOUBLE_EQ(loc.x, 4);
  EXPECT_DOUBLE_EQ(loc.y, 6);
}

TEST_F(AnalSolveTest, NegativeCoordinatesAreRaisedToZero) {
  CktPin* a = centrePinBlock("a", 50, 50);
  CktPin* b = centrePinBlock("b", -0.5, 3);  // pin at (0.5, 4): corner at (-0.5, 3)
  d.net(a, {b});
  TwoDLoc loc = optLoc(0);
  EXPECT_DOUBLE_EQ(loc.x, 0);
  EXPECT_DOUBLE_EQ(loc.y, 3);
}

TEST_F(AnalSolveTest, PinsOfTheBlockItselfDoNotCount) {
  // Block a far below the origin: were its own pins breakpoints, they would
  // come first in the walk and pull the result to (0, 0).
  CktInstance* a = d.block("a", 2, 2);
  a->loc = TwoDLoc(-100, -100);
  CktPin* centre = d.pin(a, BI_PORT);
  CktPin* corner = d.pin(a, BI_PORT);
  corner->offset = ThreeDLoc(0.5, 0.5, 0);  // (2, 2) from the corner
  CktPin* b = centrePinBlock("b", 4, 6);
  d.net(centre, {corner, b});
  TwoDLoc loc = optLoc(0);
  // Breakpoints 3 and 4 (x), 5 and 6 (y), each of weight 2; total 2.
  EXPECT_DOUBLE_EQ(loc.x, 3);
  EXPECT_DOUBLE_EQ(loc.y, 5);
}

TEST_F(AnalSolveTest, WalksToTheWeightedMedian) {
  CktPin* a1 = centrePinBlock("a", 0, 0);
  CktPin* a2 = d.pin(d.get()->instList[0], BI_PORT);
  CktPin* b = centrePinBlock("b", 4, 6);
  CktPin* c = centrePinBlock("c", 14, 16);
  CktPin* e = centrePinBlock("e", 24, 26);
  d.net(a1, {b, c});
  d.net(a2, {e})->weight = 3;
  // Total 4; x breakpoints 4 (2), 14 (2), 24 (6): the sum reaches 4 at 14.
  TwoDLoc loc = optLoc(0);
  EXPECT_DOUBLE_EQ(loc.x, 14);
  EXPECT_DOUBLE_EQ(loc.y, 16);
}

TEST_F(AnalSolveTest, ChipPinsAreMeasuredFromTheOrigin) {
  CktPin* a = centrePinBlock("a", 0, 0);
  CktPin* chip = d.pin(d.get()->topInst, BI_PORT);
  chip->offset = ThreeDLoc(0.5, 0.5, 0);  // the chip's upper right corner
  d.net(a, {chip});
  TwoDLoc loc = optLoc(0);
  const double side = std::sqrt(4 * 1.2);
  EXPECT_DOUBLE_EQ(loc.x, side - 1);
  EXPECT_DOUBLE_EQ(loc.y, side - 1);
}

TEST_F(AnalSolveTest, OrientationTurnsThePinOffsets) {
  CktInstance* a = d.block("a", 2, 4);
  a->orient = CP::B90;
  CktPin* pa = d.pin(a, BI_PORT);
  pa->offset = ThreeDLoc(0.5, 0, 0);      // turned to (0, 0.5): (1, 4) from the corner
  CktPin* b = centrePinBlock("b", 9, 9);  // pin at (10, 10)
  d.net(pa, {b});
  TwoDLoc loc = optLoc(0);
  EXPECT_DOUBLE_EQ(loc.x, 9);
  EXPECT_DOUBLE_EQ(loc.y, 6);
}

TEST_F(AnalSolveTest, BlocksWithoutBreakpointsGetTheOrigin) {
  CktInstance* lonely = d.block("lonely", 2, 2);
  lonely->loc = TwoDLoc(7, 7);
  CktPin* dangling = centrePinBlock("dangling", 5, 5);
  d.net(dangling, {});     // a net with nothing else on it
  d.pin(lonely, IN_PORT);  // a pin on no net
  AnalSolve& s = solver();
  std::vector<double> unused;
  for (int i : {0, 1}) {
    TwoDLoc loc = s.getOptLoc(i, unused, unused);
    EXPECT_DOUBLE_EQ(loc.x, 0);
    EXPECT_DOUBLE_EQ(loc.y, 0);
  }
}
