#include <gtest/gtest.h>

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

TEST(Orientation, TextFormsRoundTripAndUnknownsReport) {
  for (int o = 0; o < 8; ++o) EXPECT_EQ(CP::toOrient(CP::toChar(static_cast<CP::oritType>(o))), o);
  EXPECT_EQ(CP::toOrient("F90"), CP::F90);
  testing::internal::CaptureStdout();
  EXPECT_EQ(CP::toOrient("f90"), CP::B0);
  EXPECT_STREQ(CP::toChar(static_cast<CP::oritType>(9)), "B0");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: in converting char* to ORIENT\nERROR: in converting ORIENT to char* \n");
}

namespace {
struct TwoBlockDesign {
  FlatDesign d;
  CktInstance* block;
  TwoBlockDesign(double w, double h, CP::oritType o) {
    auto* root = new CktMaster;
    root->versions.push_back(new CktVersion(root, 0, 100, 100, 10000));
    d.topInst = new CktInstance;
    d.topInst->master = root;
    auto* m = new CktMaster;
    m->inPorts.push_back(new CktPort);
    m->versions.push_back(new CktVersion(m, 0, h, w, w * h));
    d.masterList.push_back(m);
    block = new CktInstance;
    block->master = m;
    block->orient = o;
    block->loc = TwoDLoc(10, 20);
    d.instList.push_back(block);
  }
};
}  // namespace

TEST(LocationSystem, InstanceOffsetsDependOnOrientation) {
  // Unrotated 5x3 block: (ox, oy) = (2, 1); the chip centre moves by (50, 50).
  TwoBlockDesign plain(5, 3, CP::B0);
  plain.d.convert2LocationSystem(LS_CENTER);
  EXPECT_DOUBLE_EQ(plain.block->loc.x, 10 + 50 - 2);
  EXPECT_DOUBLE_EQ(plain.block->loc.y, 20 + 50 - 1);
  EXPECT_EQ(plain.d.prevLocSystem, LS_CORNER);
  // Rotated by 180 degrees: (ox, oy) = (3, 2).
  TwoBlockDesign turned(5, 3, CP::B180);
  turned.d.convert2LocationSystem(LS_CENTER);
  EXPECT_DOUBLE_EQ(turned.block->loc.x, 10 + 50 - 3);
  EXPECT_DOUBLE_EQ(turned.block->loc.y, 20 + 50 - 2);
}

TEST(LocationSystem, ConversionRoundTripsAndSameSystemIsANoOp) {
  TwoBlockDesign t(5, 3, CP::F90);
  t.d.convert2LocationSystem(LS_CORNER);
  EXPECT_EQ(t.d.prevLocSystem, LS_CORNER);
  EXPECT_DOUBLE_EQ(t.block->loc.x, 10);
  t.d.convert2LocationSystem(LS_CENTER);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].x, 2);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].y, 1);
  t.d.convert2LocationSystem(LS_CORNER);
  EXPECT_EQ(t.d.prevLocSystem, LS_CENTER);
  EXPECT_DOUBLE_EQ(t.block->loc.x, 10);
  EXPECT_DOUBLE_EQ(t.block->loc.y, 20);
  EXPECT_DOUBLE_EQ(t.block->master->versions[0]->padLocations[0].x, 0);
}
