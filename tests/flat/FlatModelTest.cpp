#include <gtest/gtest.h>

#include "flat/FlatDesign.h"

using namespace CoarsePlacement;

namespace {

// A master with one version and one instance of it, appended to the design.
CktInstance* addBlock(FlatDesign& d, const std::string& name, double w, double h) {
  auto* m = new CktMaster;
  m->name = name;
  m->index = static_cast<int>(d.masterList.size());
  d.masterList.push_back(m);
  auto* v = new CktVersion(m, -1, h, w, w * h);
  v->index = 0;
  m->versions.push_back(v);
  auto* inst = new CktInstance;
  inst->master = m;
  inst->index = static_cast<int>(d.instList.size());
  inst->setExtData("name", new inst_name(name));
  d.instList.push_back(inst);
  return inst;
}

}  // namespace

TEST(FlatModel, ExtensionDataIsLookedUpByContentAndReplaced) {
  CktInstance inst;
  std::string key = "name";  // a different pointer with the same content
  inst.setExtData("name", new inst_name("alu"));
  ASSERT_NE(inst.getExtData(key.c_str()), nullptr);
  inst.setExtData("name", new inst_name("fpu"));
  EXPECT_EQ(instanceName(&inst), "fpu");
}

TEST(FlatModel, DesignReleasesEverythingItOwns) {
  // Runs clean under the leak checker: masters, versions, ports, instances,
  // pins, nets and a root master outside masterList.
  auto* d = new FlatDesign;
  auto* root = new CktMaster;
  root->versions.push_back(new CktVersion(root, -1, 0, 0, 0));
  d->topInst = new CktInstance;
  d->topInst->master = root;
  CktInstance* a = addBlock(*d, "a", 2, 3);
  CktInstance* b = addBlock(*d, "b", 4, 1);
  auto* out = new CktPort;
  out->dir = OUT_PORT;
  a->master->outPorts.push_back(out);
  auto* in = new CktPort;
  in->dir = IN_PORT;
  b->master->inPorts.push_back(in);
  auto* net = new CktNet;
  auto* pa = new CktPin(out, a);
  pa->initId();
  a->outPins.push_back(pa);
  auto* pb = new CktPin(in, b);
  pb->initId();
  b->inPins.push_back(pb);
  net->pins = {pa, pb};
  net->source = pa;
  pa->net = pb->net = net;
  d->netList.push_back(net);
  int id = pb->id;
  delete d;
  EXPECT_EQ(CktPin::pinPool[static_cast<size_t>(id)], nullptr);
}

TEST(FlatModel, PadLocationsStayOneSharedLocationUntilAnEntryIsTouched) {
  auto* m = new CktMaster;
  m->inPorts = {new CktPort, new CktPort};
  m->outPorts = {new CktPort};
  auto* v = new CktVersion(m, -1, 4, 4, 16);
  m->versions.push_back(v);
  PadLocations& pads = v->padLocations;
  ASSERT_EQ(pads.size(), 3u);
  pads.shift(2, 1);
  pads.shift(1, 0);
  EXPECT_FALSE(pads.materialized());
  EXPECT_EQ(pads.size(), 3u);
  const PadLocations& seen = pads;
  EXPECT_DOUBLE_EQ(seen[2].x, 3);
  EXPECT_DOUBLE_EQ(seen[2].y, 1);
  EXPECT_TRUE(pads.materialized());
  pads[0].x = 10;  // one entry on its own
  pads.shift(1, 1);
  EXPECT_DOUBLE_EQ(pads[0].x, 11);
  EXPECT_DOUBLE_EQ(pads[1].x, 4);
  EXPECT_DOUBLE_EQ(pads[1].y, 2);

  // Growing a shared list keeps the old entries where they were and puts the
  // new ones at the origin.
  PadLocations grown;
  grown.assign(2, PadLocation());
  grown.shift(5, 5);
  grown.resize(3);
  std::vector<double> xs;
  for (const PadLocation& p : grown) xs.push_back(p.x);
  EXPECT_EQ(xs, (std::vector<double>{5, 5, 0}));
  delete m;
}
