// The analytical location solver: the weighted median of the pins a block is
// wired to, measured from the block's corner.
#include <gtest/gtest.h>

#include "AnnealTestDesign.h"
#include "anneal/AnalSolve.h"

using namespace fptest;

namespace {

class AnalSolveTest : public AnnealFixture {
 protected:
  TwoDLoc optLoc(int i = 0) {
    build();
    return AnalSolve(db.get()).getOptLoc(i);
  }

  // A 2 x 2 block at (x, y) with a pin at its centre.
  CktPin* centrePinBlock(const std::string& name, double x, double y) {
    return d.pin(d.block(name, 2, 2, x, y), BI_PORT);
  }
};

TEST_F(AnalSolveTest, NegativeCoordinatesAreRaisedToZero) {
  CktPin* a = centrePinBlock("a", 50, 50);
  d.net(a, {centrePinBlock("b", -0.5, 3)});
  EXPECT_TRUE(at(optLoc(), 0, 3));
}

TEST_F(AnalSolveTest, PinsOfTheBlockItselfDoNotCount) {
  // Were a's own pins breakpoints, they would pull the result to (0, 0).
  CktPin* centre = centrePinBlock("a", -100, -100);
  CktPin* corner = d.pin(d.get()->instList[0], BI_PORT);
  corner->offset = ThreeDLoc(0.5, 0.5, 0);  // (2, 2) from the corner
  d.net(centre, {corner, centrePinBlock("b", 4, 6)});
  // Breakpoints 3 and 4 (x), 5 and 6 (y), each of weight 2; total 2.
  EXPECT_TRUE(at(optLoc(), 3, 5));
}

TEST_F(AnalSolveTest, WalksToTheWeightedMedian) {
  CktPin* a1 = centrePinBlock("a", 0, 0);
  CktPin* a2 = d.pin(d.get()->instList[0], BI_PORT);
  d.net(a1, {centrePinBlock("b", 4, 6), centrePinBlock("c", 14, 16)});
  d.net(a2, {centrePinBlock("e", 24, 26)})->weight = 3;
  // Total 4; x breakpoints 4 (2), 14 (2), 24 (6): the sum reaches 4 at 14.
  EXPECT_TRUE(at(optLoc(), 14, 16));
}

TEST_F(AnalSolveTest, OrientationTurnsThePinOffsets) {
  CktInstance* a = d.block("a", 2, 4);
  a->orient = CP::B90;
  CktPin* pa = d.pin(a, BI_PORT);
  pa->offset = ThreeDLoc(0.5, 0, 0);       // turned to (0, 0.5): (1, 4) from the corner
  d.net(pa, {centrePinBlock("b", 9, 9)});  // pin at (10, 10)
  EXPECT_TRUE(at(optLoc(), 9, 6));
}

TEST_F(AnalSolveTest, WeightsAreAddedOnePinAtATime) {
  // Weights 0.1 and 0.05 meet at one breakpoint, 0.15 pulls the other way: the
  // total is 0.30000000000000004; adding each weight twice the shared breakpoint
  // holds 0.3 and falls short, while adding 2w once would stop there.
  CktPin* a1 = centrePinBlock("a", 0, 0);
  CktInstance* a = d.get()->instList[0];
  CktPin* a2 = d.pin(a, BI_PORT);
  CktPin* a3 = d.pin(a, BI_PORT);
  CktPin* b1 = centrePinBlock("b", 4, 6);
  CktPin* b2 = d.pin(d.get()->instList[1], BI_PORT);
  d.net(a1, {b1})->weight = 0.1;
  d.net(a2, {b2})->weight = 0.05;
  d.net(a3, {centrePinBlock("c", 14, 16)})->weight = 0.15;
  EXPECT_TRUE(at(optLoc(), 14, 16));
}

}  // namespace
