#include <gtest/gtest.h>

#include "Capture.h"
#include "HdmBuilder.h"
#include "hdm/HdmTech.h"
#include "hdm/SizeEst.h"

using namespace hdm;
using hdmtest::HdmBuilder;
using hdmtest::PortSpec;

namespace {
std::vector<Pin*> pinsOf(const Net* n) {
  return {n->pins().begin(), n->pins().end()};
}
}  // namespace

TEST(HdmModel, MutateToNewMasterRebindsPinsOnlyForEqualPortCounts) {
  HdmBuilder b;
  Master* top = b.master("top", {});
  Master* and2 = b.master("AND", {{"A", PORT_IN}, {"B", PORT_IN}, {"Y", PORT_OUT}});
  Master* or2 = b.master("OR", {{"P", PORT_IN}, {"Q", PORT_IN}, {"Z", PORT_OUT}});
  Master* inv = b.master("INV", {{"A", PORT_IN}, {"Y", PORT_OUT}});
  Inst* u = b.inst(top, and2, "u");
  Net* y = b.connect(top, u, "Y", "y");

  u->mutate2newMaster(or2);
  EXPECT_EQ(u->master(), or2);
  EXPECT_EQ(u->pin(2)->port()->name(), "Z");
  EXPECT_EQ(u->findPin("Z")->net(), y);
  EXPECT_EQ(u->findPin("Y"), nullptr);

  testing::internal::CaptureStderr();
  u->mutate2newMaster(inv);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "HDM warning! new port list size must be the same as pinList size\n");
  EXPECT_EQ(u->master(), or2);
  EXPECT_EQ(hdmtest::verifyErrors(b.model()), 0);
}

TEST(HdmModel, FatalModelErrorsThrowWithStatusOne) {
  HdmBuilder b;
  Master* top = b.master("top", {});
  Master* cell = b.master("cell", {{"A", PORT_IN}});
  Inst* u = b.inst(top, cell, "u");
  cell->addPort("B", PORT_OUT);  // the instance now has fewer pins than ports
  EXPECT_TRUE(osvotest::throwsError([&] { u->findPin("B"); }, "^\nSomething is wrong!\n$"));
  EXPECT_TRUE(osvotest::throwsError([&] { top->computePortStats(); },
                                    "^\nerror: master top has no ports!\n$"));
  cell->computePortStats();
  EXPECT_EQ(cell->inputCount() * 10 + cell->outputCount(), 11);
}

TEST(HdmModel, NamesPinsAndDestructionKeepReferencesConsistent) {
  HdmBuilder b;
  Master* top = b.master("top", {{"o", PORT_OUT}});
  Master* cell = b.master("cell", {{"A", PORT_IN}, {"Y", PORT_OUT}});
  Inst* u = b.inst(top, cell, "");
  Inst* v = b.inst(top, cell, "v");
  u->defaultName();
  v->defaultName();
  EXPECT_EQ(u->name(),
            "hdmInst_" + std::to_string(u->id().high) + "_" + std::to_string(u->id().low));
  EXPECT_EQ(v->name(), "v");

  Net* n = b.connect(top, u, "Y", "n");
  b.connect(top, v, "A", "n");
  b.connect(top, v, "Y", "o");
  b.connect(top, u, "A", "o");
  ASSERT_EQ(n->pins().size(), 2u);
  // Removing the first pin puts the last one in its place.
  n->removePin(u->findPin("Y"));
  EXPECT_EQ(pinsOf(n), std::vector<Pin*>{v->findPin("A")});
  n->addPin(u->findPin("Y"));

  MasterVersion* body = top->version(0);
  Net* o = body->nets().get("o");
  body->destroyInstance(v);  // its pins leave n and o
  EXPECT_EQ(pinsOf(n), std::vector<Pin*>{u->findPin("Y")});
  body->destroyNet(o);  // the port loses its net, u's pin its net
  EXPECT_EQ(body->whichNet(top->ports().at(0)), nullptr);
  EXPECT_EQ(u->findPin("A")->net(), nullptr);
  EXPECT_EQ(hdmtest::verifyErrors(b.model()), 0);
}

TEST(HdmModel, BusRemoveNet) {
  HdmBuilder b;
  Master* top = b.master("top", {});
  Bus* bus = b.bus(top, "d", {"d[2]", "d[1]", "d[0]"});
  Bus* other = b.bus(top, "e", {"e[1]", "e[0]"});
  MasterVersion* body = top->version(0);
  Net* d2 = body->nets().get("d[2]");
  Net* d1 = body->nets().get("d[1]");
  Net* d0 = body->nets().get("d[0]");

  EXPECT_EQ(bus->removeNet(d1, NET_CONST_ONE), 2);
  EXPECT_EQ(d1->type(), NET_CONST_ONE);
  EXPECT_EQ(d1->bus(), nullptr);
  // Leaving one net behind dissolves the bus.
  EXPECT_EQ(bus->removeNet(d2, NET_NORMAL), 0);
  EXPECT_EQ(d0->type(), NET_NORMAL);
  EXPECT_EQ(d0->bus(), nullptr);

  testing::internal::CaptureStderr();
  bus->removeNet(d0, NET_NORMAL);
  Net* e1 = body->nets().get("e[1]");
  bus->nets().push_back(e1);  // listed here, but a member of e
  EXPECT_EQ(bus->removeNet(e1, NET_NORMAL), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "HDM warning! Remove a net with non BUS type from bus\n"
            "HDM warning! Remove a net with BUS PTR pointed to somewhere else\n");
  EXPECT_EQ(e1->bus(), other);
  EXPECT_EQ(other->nets().size(), 2);
}

TEST(HdmTech, LayerTableGrowsOnWriteAndWarnsOnBadReads) {
  Tech t;
  t.setLayerProperty(3, 1, 2.5);
  EXPECT_EQ(t.getLayerProperty(2, 1), 0.0);  // the layers in between start empty
  t.setLayerDirection(5, LAYER_VERTICAL);
  EXPECT_EQ(t.layerCount(), 6);

  testing::internal::CaptureStderr();
  EXPECT_EQ(t.getLayerProperty(0, 5), 0.0);
  EXPECT_EQ(t.getLayerProperty(6, 0), 0.0);
  EXPECT_EQ(t.getLayerDirection(-1), 2);
  t.setLayerProperty(-1, 0, 1.0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "HDM warning! Unknown property in tech\n"
            "HDM warning! layer contains no tech parameters\n"
            "HDM warning! layer contains no tech parameters\n"
            "HDM warning! Negative layer number\n");
  EXPECT_EQ(t.layerCount(), 6);
}

TEST(HdmSizeEstimate, SumsLeavesThroughADeepHierarchyWithoutRecursion) {
  HdmBuilder b;
  Master* leaf = b.master("leaf", {{"a", PORT_IN}, {"y", PORT_OUT}});
  Master* one = b.master("one", {{"a", PORT_IN}});
  Master* below = b.master("m0", {{"a", PORT_IN}, {"y", PORT_OUT}});
  b.inst(below, leaf, "l0");
  b.inst(below, leaf, "l1");
  b.inst(below, one, "o");
  // A chain of 10,000 modules, each holding the one below and a leaf.
  for (int i = 1; i <= 10000; ++i) {
    std::string name = "m";
    name += std::to_string(i);
    Master* m = b.master(name, {{"a", PORT_IN}, {"y", PORT_OUT}});
    b.inst(m, below, "down");
    b.inst(m, leaf, "l");
    below = m;
  }
  estHdmSize est;
  EXPECT_EQ(est.estMasterSize({below, 0}), 2 + 10000);
  EXPECT_EQ(est.getMasterArea({leaf, 0}), 1);
  EXPECT_EQ(est.getMasterArea({one, 0}), 0);

  std::ostringstream out;
  estHdmSize rent(2.0, 1.0, 3.0, true, out);
  Master* wide = b.master("wide", {{"d", PORT_IN, 4}});
  EXPECT_EQ(rent.estMasterSize({wide, 0}), 48);  // 3 * (4 / 1)^2
  EXPECT_EQ(out.str(), "Apply rents rules for 4 ports master wide\n");

  Master* loop = b.master("loop", {{"a", PORT_IN}, {"y", PORT_OUT}});
  b.inst(loop, loop, "self");
  b.inst(loop, leaf, "l");
  testing::internal::CaptureStderr();
  EXPECT_EQ(est.estMasterSize({loop, 0}), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("contains itself"), std::string::npos);
}
