// The bucket array and its ordered-set stand-in must hand out vertices in the
// same order: decreasing gain, the latest inserted or updated first.
#include <gtest/gtest.h>

#include <vector>

#include "partition/GainBuckets.h"
#include "partition/Random.h"

namespace {

using partition::GainBuckets;

// Everything findBest yields, in order, by repeatedly taking the best vertex out.
std::vector<int> drain(GainBuckets& q) {
  std::vector<int> order;
  for (int v; (v = q.findBest([](int) { return true; }, 1)) >= 0;) {
    order.push_back(v);
    q.remove(v);
  }
  return order;
}

TEST(GainBuckets, ArrayAndOrderedSetAgree) {
  const int n = 40;
  GainBuckets array, ordered;
  array.reset(n, 8);          // small range: buckets
  ordered.reset(n, 1 << 30);  // huge range: the ordered set
  partition::Rng rng(5);
  for (int v = 0; v < n; ++v) {
    const int gain = rng.below(17) - 8;
    array.insert(v, gain);
    ordered.insert(v, gain);
  }
  for (int k = 0; k < 200; ++k) {
    const int v = rng.below(n);
    if (rng.below(4) == 0) {
      if (array.contains(v)) {
        array.remove(v);
        ordered.remove(v);
      } else {
        array.insert(v, 0);
        ordered.insert(v, 0);
      }
    } else if (array.contains(v)) {
      const int gain = rng.below(17) - 8;
      array.update(v, gain);
      ordered.update(v, gain);
    }
  }
  const std::vector<int> expected = drain(array);
  EXPECT_EQ(drain(ordered), expected);
  EXPECT_TRUE(array.empty());
}

}  // namespace
