// Net weights from the critical paths, on designs built by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "flat/FlatDesign.h"
#include "pipeline/NetIPCWeighting.h"

using namespace CoarsePlacement;

namespace {

// A design with `nets` nets and the given paths (net indices) and stored
// (already negated) probabilities.
std::unique_ptr<FlatDesign> design(size_t nets, const std::vector<std::vector<size_t>>& paths,
                                   const std::vector<double>& prob) {
  auto d = std::make_unique<FlatDesign>();
  for (size_t i = 0; i < nets; ++i) {
    auto* n = new CktNet;
    n->index = static_cast<int>(i);
    d->netList.push_back(n);
  }
  for (const auto& p : paths) {
    std::vector<CktNet*> list;
    for (size_t i : p) list.push_back(d->netList[i]);
    d->pathList.push_back(list);
  }
  d->pathProb = prob;
  return d;
}

std::vector<double> weights(const FlatDesign& d) {
  std::vector<double> w;
  for (const CktNet* n : d.netList) w.push_back(n->ipcWeight);
  return w;
}

TEST(NetIPCWeighting, SharedNetOfTheMostProbablePathsWeighsOne) {
  // Probabilities 0.2 and 0.3 share net 1; net 0 is only on the first path,
  // net 2 only on the second, net 3 on none (and starts with a stale weight).
  auto d = design(4, {{0, 1}, {1, 2}}, {-0.2, -0.3});
  d->netList[3]->ipcWeight = 7.0;
  netIPCWeighting(d.get());
  const auto w = weights(*d);
  EXPECT_DOUBLE_EQ(w[0], 0.4);
  EXPECT_DOUBLE_EQ(w[1], 1.0);
  EXPECT_DOUBLE_EQ(w[2], 0.6);
  EXPECT_EQ(w[3], 0.0);
  for (const CktNet* n : d->netList) EXPECT_EQ(n->weight, 1.0);  // untouched
}

TEST(NetIPCWeighting, RepeatedListingsCountEachTime) {
  auto d = design(2, {{0, 0, 1}, {1}}, {-0.25, -0.25});
  netIPCWeighting(d.get());
  EXPECT_DOUBLE_EQ(d->netList[0]->ipcWeight, 1.0);  // -0.5 / -0.5
  EXPECT_DOUBLE_EQ(d->netList[1]->ipcWeight, 1.0);
}

TEST(NetIPCWeighting, ZeroMinimumLeavesEveryWeightAtZero) {
  auto d = design(3, {{0, 1}, {2}}, {0.0, -0.0});
  d->netList[2]->ipcWeight = 3.0;
  netIPCWeighting(d.get());
  for (double w : weights(*d)) {
    EXPECT_TRUE(std::isfinite(w));
    EXPECT_EQ(w, 0.0);
  }
}

TEST(NetIPCWeighting, LargeSumsAreDividedByTheStartingMinimum) {
  auto d = design(2, {{0}, {1}}, {20000.0, 9999.0});
  netIPCWeighting(d.get());
  EXPECT_DOUBLE_EQ(d->netList[0]->ipcWeight, 20000.0 / 9999.0);
  EXPECT_DOUBLE_EQ(d->netList[1]->ipcWeight, 1.0);
}

TEST(NetIPCWeighting, DesignsWithoutNetsOrPathsAreLeftAlone) {
  auto empty = design(0, {}, {});
  netIPCWeighting(empty.get());
  EXPECT_TRUE(empty->netList.empty());

  // Nets but no paths: every sum is 0, so every weight is 0.
  auto noPaths = design(2, {}, {});
  noPaths->netList[0]->ipcWeight = 0.5;
  netIPCWeighting(noPaths.get());
  EXPECT_EQ(weights(*noPaths), (std::vector<double>{0.0, 0.0}));
}

}  // namespace
