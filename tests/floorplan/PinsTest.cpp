// Pin placement and the conversion of a point into a pin offset.
#include <gtest/gtest.h>

#include <cmath>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

const CP::oritType kAllOrients[] = {CP::B0, CP::B90, CP::B180, CP::B270,
                                    CP::F0, CP::F90, CP::F180, CP::F270};

TEST(TranslateTest, RoundTripAndClampingForEveryOrientation) {
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("A", 6, 2, 3, 4);
  CktPin* p = t.pin(a, OUT_PORT);
  auto db = quietDB(t, 20, true);
  const Point points[] = {{3, 4}, {9, 6}, {4.5, 4.5}, {8, 5.5}, {6, 5}, {3, 6}, {9, 4.25}};
  for (CP::oritType o : kAllOrients) {
    SCOPED_TRACE(testing::Message() << "orientation " << o);
    a->orient = o;
    for (const Point& q : points) {
      db->translate(q, p);
      EXPECT_LE(std::abs(p->offset.x), 0.5);
      EXPECT_LE(std::abs(p->offset.y), 0.5);
      TwoDLoc back = db->pinPosition(p);
      EXPECT_NEAR(back.x, q.x, 1e-12) << "point " << q.x << "," << q.y;
      EXPECT_NEAR(back.y, q.y, 1e-12) << "point " << q.x << "," << q.y;
    }
    // A point outside the block is clamped to its boundary.
    db->translate(Point{100, 5.5}, p);  // far right, at three quarters of the height
    EXPECT_TRUE(pinAt(*db, p, 9, 5.5));
    db->translate(Point{-7, -9}, p);
    EXPECT_TRUE(pinAt(*db, p, 3, 4));
  }
  a->orient = CP::B0;
  db->translate(Point{100, 5.5}, p);
  EXPECT_DOUBLE_EQ(p->offset.x, 0.5);
  EXPECT_DOUBLE_EQ(p->offset.y, 0.25);
}

// Source block A (10 x 10 at the origin) and sinks around it.
struct AssignFixture : testing::Test {
  void SetUp() override { resetOptions(); }
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 0, 0);
  CktInstance* right = t.block("R", 10, 10, 20, 5);
  CktInstance* above = t.block("U", 4, 6, -2, 30);
  CktPin* src = t.pin(a, OUT_PORT);
  CktPin* toRight = t.pin(right, IN_PORT);
  CktPin* toAbove = t.pin(above, IN_PORT);
  CktNet* n = t.net(src, {toRight, toAbove});
};

TEST_F(AssignFixture, SinkToTheRightPutsTheSourceOnTheRightEdgeForEveryOrientation) {
  // With timing off a Verilog design keeps its pins; a pipeline design does not.
  auto db = quietDB(t, 20, false);
  db->assignPins();
  EXPECT_TRUE(pinAt(*db, src, 5, 5));
  t.get()->mode = 1;
  for (CP::oritType o : kAllOrients) {
    SCOPED_TRACE(testing::Message() << "orientation " << o);
    a->orient = o;
    right->orient = kAllOrients[(o + 3) % 8];
    db->assignPins();
    // Equal slacks: the first sink is the critical one. The y overlap is 5..10.
    EXPECT_TRUE(pinAt(*db, src, 10, 7.5));
    // Every sink goes to the point of its block closest to the source point.
    EXPECT_TRUE(pinAt(*db, toRight, 20, 7.5));
    EXPECT_TRUE(pinAt(*db, toAbove, 2, 30));
  }
}

TEST_F(AssignFixture, ClearlySmallerSlackChoosesTheCriticalSink) {
  auto db = quietDB(t, 20, true);
  toRight->slack = 5;
  toAbove->slack = 5 - 0.00005;  // within the tolerance: still the first sink
  db->assignPins();
  EXPECT_TRUE(pinAt(*db, src, 10, 7.5));
  toAbove->slack = 4;
  db->assignPins();
  // The x ranges 0..10 and -2..2 overlap in 0..2; A's top edge faces U.
  EXPECT_TRUE(pinAt(*db, src, 1, 10));
  EXPECT_TRUE(pinAt(*db, toRight, 20, 10));

  // A net whose first pin is not the source: the second pin is the first sink.
  toAbove->slack = toRight->slack;
  n->pins = {toAbove, src, toRight};
  db->assignPins();
  EXPECT_TRUE(pinAt(*db, src, 1, 10));
}

TEST(AssignChipTest, ChipSourceStaysAndSinksFaceIt) {
  resetOptions();
  TestDesign t;
  CktInstance* a = t.block("A", 10, 10, 40, 40);
  CktPin* in = t.pin(t.top(), IN_PORT);
  CktPin* out = t.pin(t.top(), OUT_PORT);
  CktPin* sink = t.pin(a, IN_PORT);
  in->offset = ThreeDLoc(-0.5, 0, 0);
  out->offset = ThreeDLoc(0.3, 0.5, 0);
  t.net(in, {sink, out});
  auto db = quietDB(t, 20, true);  // chip: 100 x 1.2 = 120
  db->assignPins();
  // Chip pins keep their places on the outline, measured from the origin: the
  // source sits at (0, side / 2), and the sink's closest point is on A's left
  // edge, at the bottom since side / 2 < 40.
  const double side = std::sqrt(120.0);
  EXPECT_TRUE(pinAt(*db, in, 0, side / 2));
  EXPECT_TRUE(pinAt(*db, out, 0.8 * side, side));
  EXPECT_TRUE(pinAt(*db, sink, 40, 40));
}

}  // namespace
