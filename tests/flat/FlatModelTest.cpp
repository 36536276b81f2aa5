#include <gtest/gtest.h>

#include "DesignBuilder.h"
#include "flat/FlatDesign.h"

using namespace CoarsePlacement;

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
  // pins, nets and the chip's master outside masterList.
  osvotest::DesignBuilder b;
  const int id = b.connect(b.block("a", 2, 3), b.block("b", 4, 1))->pins[1]->id;
  b.design.reset();
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
