// The bundled example core and the tiny test design parse into sensible designs.
#include <algorithm>

#include "PipeTestSupport.h"

using namespace CoarsePlacement;

namespace pipetest {
namespace {

const std::string kExamples = std::string(OSVO_SOURCE_DIR) + "/examples/pipeline/";

// Plausible blocks: 20 to 40 of them, 0.01 to 20 mm^2, aspect 0.5 to 2.
void expectPlausibleBlocks(const FlatDesign& d, double umPerFileUnit2) {
  EXPECT_GE(d.masterList.size(), 20u);
  EXPECT_LE(d.masterList.size(), 40u);
  for (const CktMaster* m : d.masterList) {
    const CktVersion* v = m->versions[0];
    const double mm2 = v->area / umPerFileUnit2;
    EXPECT_GE(mm2, 0.01) << m->name;
    EXPECT_LE(mm2, 20.0) << m->name;
    EXPECT_GE(v->width / v->height, 0.5 - 1e-9) << m->name;
    EXPECT_LE(v->width / v->height, 2.0 + 1e-9) << m->name;
    // Every block is connected.
    const CktInstance* inst = d.instList[static_cast<size_t>(m->index)];
    EXPECT_FALSE(inst->inPins.empty() && inst->outPins.empty()) << m->name;
  }
}

TEST_F(PipeTest, ExampleCoreNetVariant) {
  auto d = parse(kExamples + "core-nets.desc", kExamples + "osvo-cycle.proc");
  ASSERT_TRUE(d);
  expectPlausibleBlocks(*d, 1e6);
  EXPECT_GE(d->netList.size(), d->masterList.size());
  for (const CktNet* n : d->netList) {
    EXPECT_GE(n->pins.size(), 2u) << n->name;
    EXPECT_GT(n->pins[0]->outDelay, 0.0) << n->name;  // tco in ns
    EXPECT_LT(n->pins[0]->outDelay, 0.2) << n->name;
  }
}

TEST_F(PipeTest, ExampleCorePathVariantAcrossClockFrequencies) {
  for (const char* freq : {"1.0", "2.0", "3.0"}) {
    usePathVariant(freq);
    auto d = parse(kExamples + "core-paths.desc", "");
    ASSERT_TRUE(d);
    expectPlausibleBlocks(*d, 1.0);  // areas in mm^2, stored unchanged
    ASSERT_FALSE(d->loopEnd.empty());
    EXPECT_EQ(d->loopEnd.back() + 1, static_cast<int>(d->pathList.size()));
    for (double lat : d->pathBaseLatency) {
      EXPECT_GE(lat, 1.0) << freq;
      EXPECT_LE(lat, 25.0) << freq;
    }
    double top = 0;
    for (const CktNet* n : d->netList) {
      EXPECT_GE(n->ipcWeight, 0.0);
      EXPECT_LE(n->ipcWeight, 1.0 + 1e-12);
      top = std::max(top, n->ipcWeight);
    }
    EXPECT_DOUBLE_EQ(top, 1.0);
  }
}

TEST_F(PipeTest, TinyPathDesignForEndToEndRuns) {
  usePathVariant("2.0");
  auto d = parse(osvotest::dataPath("pipeline/tiny-paths.desc"), "");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->masterList.size(), 4u);
  EXPECT_EQ(d->loopEnd, (std::vector<int>{1, 2}));
  EXPECT_EQ(d->pathList.size(), 3u);
  EXPECT_EQ(d->netList.size(), 7u);
}

}  // namespace
}  // namespace pipetest
