#include <gtest/gtest.h>

#include <tuple>

#include "DesignBuilder.h"
#include "flat/FlatDesign.h"

using namespace CoarsePlacement;

TEST(Orientation, TranslateGivesTheEightTurns) {
  const double expected[8][2] = {{2, 3},  {-3, 2}, {-2, -3}, {3, -2},
                                 {2, -3}, {3, 2},  {-2, 3},  {-3, -2}};
  for (int o = 0; o < 8; ++o) {
    double x = 0, y = 0;
    CP::translate(o, 2, 3, x, y);
    EXPECT_DOUBLE_EQ(x, expected[o][0]) << "orientation " << o;
    EXPECT_DOUBLE_EQ(y, expected[o][1]) << "orientation " << o;
    // The inverse turns it back.
    double u = 0, v = 0;
    CP::inverseTranslate(o, x, y, u, v);
    EXPECT_EQ(std::pair(u, v), std::pair(2.0, 3.0)) << "orientation " << o;
  }
  double x = 7, y = 9;
  CP::translate(-1, 2, 3, x, y);
  EXPECT_DOUBLE_EQ(x, 7);
  EXPECT_DOUBLE_EQ(y, 9);
}

namespace {
// A 100 x 100 chip holding one w x h block at (10, 20) with one port, turned by o.
struct OneBlock {
  osvotest::DesignBuilder b;
  CktInstance* block;
  OneBlock(double w, double h, CP::oritType o) : block(b.block("blk", w, h, 10, 20)) {
    CktVersion* chip = b.top()->master->versions[0];
    chip->width = chip->height = 100;
    osvotest::DesignBuilder::pin(block, IN_PORT);
    block->master->versions[0]->generatePortLocations();
    block->orient = o;
  }
};
}  // namespace

TEST(LocationSystem, CentreOffsetsFollowTheOrientationAndConversionsRoundTrip) {
  // The offset is half the block as it stands; the chip's centre moves by (50, 50).
  for (auto [orient, ox, oy] : {std::tuple(CP::B0, 2.0, 1.0), std::tuple(CP::B180, 3.0, 2.0)}) {
    OneBlock t(5, 3, orient);
    t.b.get()->convert2LocationSystem(LS_CENTER);
    EXPECT_DOUBLE_EQ(t.block->loc.x, 10 + 50 - ox);
    EXPECT_DOUBLE_EQ(t.block->loc.y, 20 + 50 - oy);
    EXPECT_EQ(t.b.get()->prevLocSystem, LS_CORNER);
  }
  OneBlock t(5, 3, CP::F90);
  FlatDesign& d = *t.b.get();
  d.convert2LocationSystem(LS_CORNER);  // the same system: nothing moves
  EXPECT_DOUBLE_EQ(t.block->loc.x, 10);
  d.convert2LocationSystem(LS_CENTER);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].x, 2);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].y, 1);
  d.convert2LocationSystem(LS_CORNER);
  EXPECT_EQ(d.prevLocSystem, LS_CENTER);
  EXPECT_DOUBLE_EQ(t.block->loc.x, 10);
  EXPECT_DOUBLE_EQ(t.block->loc.y, 20);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].x, 0);
}
