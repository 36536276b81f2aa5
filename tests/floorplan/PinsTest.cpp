// Pin placement and the conversion of a point into a pin offset.
#include <gtest/gtest.h>

#include <cmath>

#include "FloorplanTestDesign.h"
#include "floorplan/DB.h"

using namespace fptest;

namespace {

std::unique_ptr<DB> makeDB(TestDesign& t, bool timing = true) {
  resetOptions();
  return std::make_unique<DB>(t.get(), 20, timing, 0, 1.0, 1.0);
}

const CP::oritType kAllOrients[] = {CP::B0, CP::B90, CP::B180, CP::B270,
                                    CP::F0, CP::F90, CP::F180, CP::F270};

TEST(TranslateTest, RoundTripForEveryOrientation) {
  TestDesign t;
  CktInstance* a = t.block("A", 6, 2, 3, 4);
  CktPin* p = t.pin(a, OUT_PORT);
  auto db = makeDB(t);
  const Point points[] = {{3, 4}, {9, 6}, {4.5, 4.5}, {8, 5.5}, {6, 5}, {3, 6}, {9, 4.25}};
  for (CP::oritType o : kAllOrients) {
    a->orient = o;
    for (const Point& q : points) {
      db->translate(q, p);
      EXPECT_LE(std::abs(p->offset.x), 0.5);
      EXPECT_LE(std::abs(p->offset.y), 0.5);
      TwoDLoc back = db->pinPosition(p);
      EXPECT_NEAR(back.x, q.x, 1e-12) << "orientation " << o << " point " << q.x << "," << q.y;
      EXPECT_NEAR(back.y, q.y, 1e-12) << "orientation " << o << " point " << q.x << "," << q.y;
    }
  }
}

TEST(TranslateTest, PointOutsideTheBlockIsClampedToItsBoundary) {
  TestDesign t;
  CktInstance* a = t.block("A", 4, 4, 0, 0);
  CktPin* p = t.pin(a, OUT_PORT);
  auto db = makeDB(t);
  for (CP::oritType o : kAllOrients) {
    a->orient = o;
    db->translate(Point{100, 3}, p);  // far right, at three quarters of the height
    TwoDLoc at = db->pinPosition(p);
    EXPECT_DOUBLE_EQ(at.x, 4) << "orientation " << o;
    EXPECT_DOUBLE_EQ(at.y, 3) << "orientation " << o;
    db->translate(Point{-7, -9}, p);
    at = db->pinPosition(p);
    EXPECT_DOUBLE_EQ(at.x, 0) << "orientation " << o;
    EXPECT_DOUBLE_EQ(at.y, 0) << "orientation " << o;
  }
  a->orient = CP::B0;
  db->translate(Point{100, 3}, p);
  EXPECT_DOUBLE_EQ(p->offset.x, 0.5);
  EXPECT_DOUBLE_EQ(p->offset.y, 0.25);
}

// Source block A (10 x 10 at the origin) and sinks around it.
struct AssignFixture : testing::Test {
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* right = t.block("R", 10, 10, 20, 5);
  CktInstance* above = t.block("U", 4, 6, -2, 30);
  CktPin* src = t.pin(a, OUT_PORT);
  CktPin* toRight = t.pin(right, IN_PORT);
  CktPin* toAbove = t.pin(above, IN_PORT);
  CktNet* n = t.net("n", src, {toRight, toAbove});
};

TEST_F(AssignFixture, SinkToTheRightPutsTheSourceOnTheRightEdgeForEveryOrientation) {
  auto db = makeDB(t);
  for (CP::oritType o : kAllOrients) {
    a->orient = o;
    right->orient = kAllOrients[(o + 3) % 8];
    db->assignPins();
    // Equal slacks: the first sink is the critical one. The y overlap is 5..10.
    TwoDLoc s = db->pinPosition(src);
    EXPECT_DOUBLE_EQ(s.x, 10) << "orientation " << o;
    EXPECT_DOUBLE_EQ(s.y, 7.5) << "orientation " << o;
    // Every sink goes to the point of its block closest to the source point.
    TwoDLoc r = db->pinPosition(toRight);
    EXPECT_DOUBLE_EQ(r.x, 20);
    EXPECT_DOUBLE_EQ(r.y, 7.5);
    TwoDLoc u = db->pinPosition(toAbove);
    EXPECT_DOUBLE_EQ(u.x, 2);
    EXPECT_DOUBLE_EQ(u.y, 30);
  }
}

TEST_F(AssignFixture, ClearlySmallerSlackChoosesTheCriticalSink) {
  auto db = makeDB(t);
  toRight->slack = 5;
  toAbove->slack = 5 - 0.00005;  // within the tolerance: still the first sink
  db->assignPins();
  EXPECT_DOUBLE_EQ(db->pinPosition(src).x, 10);
  toAbove->slack = 4;
  db->assignPins();
  // The x ranges 0..10 and -2..2 overlap in 0..2; A's top edge faces U.
  TwoDLoc s = db->pinPosition(src);
  EXPECT_DOUBLE_EQ(s.x, 1);
  EXPECT_DOUBLE_EQ(s.y, 10);
  EXPECT_DOUBLE_EQ(db->pinPosition(toRight).x, 20);
  EXPECT_DOUBLE_EQ(db->pinPosition(toRight).y, 10);
}

TEST_F(AssignFixture, SinkListedBeforeTheSourceIsStillASink) {
  // A net whose first pin is not the source: the second pin is the first sink.
  n->pins = {toAbove, src, toRight};
  auto db = makeDB(t);
  db->assignPins();
  EXPECT_DOUBLE_EQ(db->pinPosition(src).y, 10);
}

TEST_F(AssignFixture, NothingMovesWithTimingOffInAVerilogDesign) {
  auto db = makeDB(t, false);
  db->assignPins();
  EXPECT_EQ(src->offset.x, 0);
  EXPECT_EQ(src->offset.y, 0);
  // A pipeline design places pins even with timing off.
  t.get()->mode = 1;
  db->assignPins();
  EXPECT_DOUBLE_EQ(db->pinPosition(src).x, 10);
}

TEST(AssignChipTest, ChipSourceStaysAndSinksFaceIt) {
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 40, 40);
  CktPin* in = t.pin(t.top(), IN_PORT);
  CktPin* out = t.pin(t.top(), OUT_PORT);
  CktPin* sink = t.pin(a, IN_PORT);
  in->offset = ThreeDLoc(-0.5, 0, 0);
  out->offset = ThreeDLoc(0.3, 0.5, 0);
  t.net("in", in, {sink, out});
  auto db = makeDB(t);  // chip: 100 x 1.2 = 120
  double side = std::sqrt(120.0);
  db->assignPins();
  EXPECT_EQ(in->offset.x, -0.5);
  EXPECT_EQ(out->offset.x, 0.3);
  EXPECT_EQ(out->offset.y, 0.5);
  // The source sits at (0, side / 2); the sink's closest point is on A's left
  // edge, at the bottom since side / 2 < 40.
  TwoDLoc s = db->pinPosition(sink);
  EXPECT_DOUBLE_EQ(s.x, 40);
  EXPECT_DOUBLE_EQ(s.y, 40);
  EXPECT_LT(side / 2, 40);
}

}  // namespace
