// Net weights from the critical paths, on designs built by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flat/FlatDesign.h"
#include "pipeline/NetIPCWeighting.h"

using namespace CoarsePlacement;

namespace {

TEST(NetIPCWeighting, SumsOverPathsNormalisedByTheSmallest) {
  struct Case {
    size_t nets;
    std::vector<std::vector<size_t>> paths;  // net indices
    std::vector<double> prob;                // as stored: negated
    std::vector<double> expected;
  };
  const Case cases[] = {
      // 0.2 and 0.3 share net 1; net 3 is on no path.
      {4, {{0, 1}, {1, 2}}, {-0.2, -0.3}, {0.4, 1.0, 0.6, 0.0}},
      {2, {{0, 0, 1}, {1}}, {-0.25, -0.25}, {1.0, 1.0}},            // every listing counts
      {3, {{0, 1}, {2}}, {0.0, -0.0}, {0.0, 0.0, 0.0}},             // minimum 0: weights stay 0
      {2, {{0}, {1}}, {20000.0, 9999.0}, {20000.0 / 9999.0, 1.0}},  // the minimum starts at 9999
      {2, {}, {}, {0.0, 0.0}},
      {0, {}, {}, {}},
  };
  for (const Case& c : cases) {
    FlatDesign d;
    for (size_t i = 0; i < c.nets; ++i) {
      d.netList.push_back(new CktNet);
      d.netList.back()->ipcWeight = 7.0;  // stale: must be replaced
    }
    for (const auto& p : c.paths) {
      d.pathList.emplace_back();
      for (size_t i : p) d.pathList.back().push_back(d.netList[i]);
    }
    d.pathProb = c.prob;
    netIPCWeighting(&d);
    ASSERT_EQ(d.netList.size(), c.nets);
    for (size_t i = 0; i < c.nets; ++i) {
      EXPECT_TRUE(std::isfinite(d.netList[i]->ipcWeight));
      EXPECT_DOUBLE_EQ(d.netList[i]->ipcWeight, c.expected[i]) << c.nets << " nets, net " << i;
      EXPECT_EQ(d.netList[i]->weight, 1.0);  // untouched
    }
  }
}

}  // namespace
