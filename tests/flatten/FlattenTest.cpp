#include <gtest/gtest.h>

#include <sstream>

#include "Capture.h"
#include "Flattening.h"
#include "support/Error.h"

using namespace hdm;
using hdmtest::HdmBuilder;

namespace {

using flattentest::Flattening;

Master* inverter(HdmBuilder& b) {
  return b.master("INV", {{"A", PORT_IN}, {"Y", PORT_OUT}});
}

}  // namespace

TEST(Flatten, CopiesAreNamedByMasterCounterAndInsideNetsByPosition) {
  Flattening f;
  HdmBuilder& b = f.b;
  Master* and2 = b.master("AND", {{"A", PORT_IN}, {"B", PORT_IN}, {"Y", PORT_OUT}});
  Master* inv = inverter(b);
  Master* pair = b.master("pair", {{"a", PORT_IN}, {"y", PORT_OUT}});
  Inst* u1 = b.inst(pair, and2, "u1");
  b.connect(pair, u1, "A", "a");
  b.connect(pair, u1, "B", "a");
  b.connect(pair, u1, "Y", "m");
  Inst* u2 = b.inst(pair, and2, "u2");
  b.connect(pair, u2, "A", "m");
  b.connect(pair, u2, "B", "m");
  b.connect(pair, u2, "Y", "y");

  Master* top = b.master("top", {{"i", PORT_IN}, {"o", PORT_OUT}});
  for (int k = 0; k < 3; ++k) b.connect(top, b.inst(top, inv, hdmtest::numbered("l", k)), "A", "i");
  Inst* p0 = b.inst(top, pair, "p0");
  b.connect(top, p0, "a", "i");
  b.connect(top, p0, "y", "x");
  Inst* p1 = b.inst(top, pair, "p1");
  b.connect(top, p1, "a", "x");
  b.connect(top, p1, "y", "o");

  f.flatten(top);
  EXPECT_EQ(f.steps, 2);
  EXPECT_EQ(f.instNames(top),
            (std::vector<std::string>{"l0", "l1", "l2", "AND_0", "AND_1", "AND_2", "AND_3"}));

  // p0 stood at position 3, and p1 moved there after it: m_3, then m_3_1.
  MasterVersion* body = top->version(0);
  Net* m3 = body->nets().get("m_3");
  Net* m31 = body->nets().get("m_3_1");
  ASSERT_TRUE(m3 && m31);
  InstSet& insts = body->instances();
  EXPECT_EQ(m3->pins().size(), 3u);
  EXPECT_EQ(insts.get("AND_1")->findPin("A")->net(), m3);
  EXPECT_EQ(insts.get("AND_3")->findPin("B")->net(), m31);
  EXPECT_EQ(insts.get("AND_0")->findPin("B")->net()->name(), "i");
  EXPECT_EQ(insts.get("AND_1")->findPin("Y")->net(), insts.get("AND_2")->findPin("A")->net());
  EXPECT_EQ(insts.get("AND_3")->findPin("Y")->net(), body->whichNet(top->ports().at(1)));
  EXPECT_EQ(body->nets().get("x")->pins().size(), 3u);
}

TEST(Flatten, BodiesNoInstanceRefersToAnyMoreAreReleased) {
  for (bool release : {true, false}) {
    Flattening f;
    HdmBuilder& b = f.b;
    Master* inv = inverter(b);
    Master* inner = b.master("inner", {{"a", PORT_IN}});
    b.connect(inner, b.inst(inner, inv, "u"), "A", "a");
    Master* outer = b.master("outer", {{"a", PORT_IN}});
    b.connect(outer, b.inst(outer, inner, "i"), "a", "a");
    Master* kept = b.master("kept", {{"a", PORT_IN}});
    b.connect(kept, b.inst(kept, inv, "u"), "A", "a");
    Master* spare = b.master("spare", {});  // outside the top's hierarchy
    b.inst(spare, kept, "k");
    Master* top = b.master("top", {{"a", PORT_IN}});
    b.connect(top, b.inst(top, outer, "o"), "a", "a");
    b.connect(top, b.inst(top, kept, "k"), "a", "a");

    HDM_interface hi(&b.model(), f.out, f.err);
    hi.setReleaseFlattenedBodies(release);
    hi.flattenAll(top);
    EXPECT_EQ(f.instNames(top), (std::vector<std::string>{"INV_0", "INV_1"}));
    EXPECT_EQ(outer->version(0)->instances().empty(), release);
    EXPECT_EQ(inner->version(0)->nets().empty(), release);
    EXPECT_EQ(inner->version(0)->whichNet(inner->ports().at(0)) == nullptr, release);
    EXPECT_EQ(kept->version(0)->instances().size(), 1);  // spare still holds one
    EXPECT_EQ(inv->version(0)->nets().size(), 2);
    EXPECT_EQ(hdmtest::verifyErrors(b.model()), 0);
  }
}

TEST(Flatten, PortsJoinedInsideMergeTheOutsideNets) {
  Flattening f;
  HdmBuilder& b = f.b;
  Master* inv = inverter(b);
  Master* thru = b.master("thru", {{"a", PORT_IN}, {"y", PORT_OUT}});
  b.joinPorts(thru, "a", "y");  // assign y = a
  Master* top = b.master("top", {{"o", PORT_OUT}});
  Net* n1 = b.connect(top, b.inst(top, inv, "drv"), "Y", "n1");
  Inst* t = b.inst(top, thru, "t");
  b.connect(top, t, "a", "n1");
  b.connect(top, t, "y", "o");
  b.connect(top, b.inst(top, inv, "snk"), "A", "o");

  Net* o = top->version(0)->nets().get("o");
  // The outside net with the smaller id survives; the other is merged into it.
  Net* kept = n1->id() < o->id() ? n1 : o;
  std::string gone = kept == n1 ? "o" : "n1";
  f.flatten(top, "thru\n");
  EXPECT_EQ(f.steps, 1);
  MasterVersion* body = top->version(0);
  EXPECT_EQ(f.instNames(top), (std::vector<std::string>{"drv", "snk"}));
  EXPECT_EQ(body->nets().get(gone), nullptr);
  EXPECT_EQ(body->whichNet(top->ports().at(0)), kept);
  EXPECT_EQ(body->instances().get("snk")->findPin("A")->net(), kept);
  EXPECT_EQ(body->instances().get("drv")->findPin("Y")->net(), kept);
  EXPECT_EQ(kept->pins().size(), 2u);
}

TEST(Flatten, ConstantsAreCarriedOutwardAndOutOfBuses) {
  Flattening f;
  HdmBuilder& b = f.b;
  Master* tie = b.master("tie", {{"y", PORT_OUT, 2}});
  tie->version(0)->nets().get("y[0]")->setType(NET_CONST_ONE);
  Master* sink = b.master("SNK", {{"d", PORT_IN, 2}});
  Master* top = b.master("top", {});
  b.connectBus(top, b.inst(top, tie, "t"), "y", "d", 2);
  b.connectBus(top, b.inst(top, sink, "s"), "d", "d", 2);
  b.bus(top, "d", {"d[1]", "d[0]"});

  f.flatten(top, "tie");
  MasterVersion* body = top->version(0);
  EXPECT_EQ(body->nets().get("d[0]")->type(), NET_CONST_ONE);
  EXPECT_EQ(body->nets().get("d[1]")->type(), NET_NORMAL);
  EXPECT_EQ(body->nets().get("d[1]")->bus(), nullptr);
  EXPECT_TRUE(body->buses().empty());
}

TEST(Flatten, UnconnectedPortTurnsTheInsideNetIntoAParentNet) {
  Flattening f;
  HdmBuilder& b = f.b;
  Master* inv = inverter(b);
  Master* h = b.master("h", {{"a", PORT_IN}});
  b.connect(h, b.inst(h, inv, "u"), "A", "a");
  b.connect(h, b.inst(h, inv, "v"), "A", "a");
  Master* top = b.master("top", {});
  b.inst(top, h, "x");

  f.flatten(top);
  Net* a0 = top->version(0)->nets().get("a_0");
  ASSERT_NE(a0, nullptr);
  EXPECT_EQ(a0->pins().size(), 2u);
  EXPECT_TRUE(a0->ports().empty());
}

TEST(Flatten, HierarchyThatContainsItselfIsRefused) {
  HdmBuilder b;
  Master* inv = inverter(b);
  Master* a = b.master("a", {{"x", PORT_IN}});
  Master* c = b.master("c", {{"x", PORT_IN}});
  b.inst(a, c, "down");
  b.inst(c, inv, "leaf");
  b.inst(c, a, "up");
  Master* top = b.master("top", {});
  b.inst(top, a, "u");
  HDM_interface hi(&b.model());
  EXPECT_TRUE(osvotest::throwsError(
      [&] { hi.flattenAll(top); },
      "^Error: module a contains itself \\(a -> c -> a\\); the hierarchy cannot be flattened\n$"));
  EXPECT_THROW(hi.flattenAll(nullptr), osvo::Error);
}
