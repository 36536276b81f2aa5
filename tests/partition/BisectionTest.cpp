// The bisection against exhaustive enumeration on small hypergraphs, and its
// invariants on larger, tiny and degenerate ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "partition/HMetis.h"
#include "partition/Random.h"

namespace {

struct Problem {
  std::vector<int> weights;
  std::vector<int> eptr{0};
  std::vector<int> eind;
  std::vector<int> netWeights;
  std::vector<int> fixed;  // -1 free, 0 or 1
  int ubfactor = 10;

  int size() const { return static_cast<int>(weights.size()); }
  void addNet(std::vector<int> pins, int weight) {
    eind.insert(eind.end(), pins.begin(), pins.end());
    eptr.push_back(static_cast<int>(eind.size()));
    netWeights.push_back(weight);
  }
};

struct Result {
  std::vector<int> part;
  int edgecut = -1;
};

Result bisect(const Problem& p, int seed = 7, std::vector<int> options = {}) {
  if (options.empty()) options = {1, 10, 1, 1, 3, 0, 1, seed, 0};
  Result r;
  r.part = p.fixed;
  r.part.resize(p.size(), -1);
  HMETIS_PartRecursive(p.size(), static_cast<int>(p.netWeights.size()), p.weights.data(),
                       p.eptr.data(), p.eind.data(), p.netWeights.data(), 2, p.ubfactor,
                       options.data(), r.part.data(), &r.edgecut);
  return r;
}

std::int64_t cutOf(const Problem& p, const std::vector<int>& part) {
  std::int64_t cut = 0;
  for (std::size_t e = 0; e + 1 < p.eptr.size(); ++e) {
    bool in[2] = {false, false};
    for (int i = p.eptr[e]; i < p.eptr[e + 1]; ++i) in[part[p.eind[i]]] = true;
    if (in[0] && in[1]) cut += p.netWeights[e];
  }
  return cut;
}

// How far the heavier part exceeds (50 + ubfactor) % of the total, in units of
// 1/100 of the weight (0 when balanced).
std::int64_t excessOf(const Problem& p, const std::vector<int>& part) {
  std::int64_t w[2] = {0, 0}, total = 0;
  for (int v = 0; v < p.size(); ++v) {
    w[part[v]] += p.weights[v];
    total += p.weights[v];
  }
  return std::max<std::int64_t>(0, 100 * std::max(w[0], w[1]) - (50 + p.ubfactor) * total);
}

// Checks what every result must satisfy: parts 0/1, fixed vertices kept, the
// reported cut being the cut of the returned parts.
void expectSound(const Problem& p, const Result& r) {
  for (int v = 0; v < p.size(); ++v) {
    ASSERT_TRUE(r.part[v] == 0 || r.part[v] == 1) << "vertex " << v;
    if (p.fixed[v] >= 0) {
      ASSERT_EQ(r.part[v], p.fixed[v]) << "fixed vertex " << v;
    }
  }
  EXPECT_EQ(r.edgecut, cutOf(p, r.part));
}

// The lexicographically least (excess, cut) over every bisection that keeps the
// fixed vertices, by Gray-code enumeration of the free ones.
std::pair<std::int64_t, std::int64_t> optimum(const Problem& p) {
  std::vector<int> free, part(p.size());
  for (int v = 0; v < p.size(); ++v) {
    part[v] = std::max(p.fixed[v], 0);
    if (p.fixed[v] < 0) free.push_back(v);
  }
  std::vector<std::uint32_t> masks;
  for (std::size_t e = 0; e + 1 < p.eptr.size(); ++e) {
    std::uint32_t m = 0;
    for (int i = p.eptr[e]; i < p.eptr[e + 1]; ++i) m |= 1u << p.eind[i];
    masks.push_back(m);
  }
  std::int64_t total = 0, w1 = 0;
  std::uint32_t ones = 0;
  for (int v = 0; v < p.size(); ++v) {
    total += p.weights[v];
    if (part[v]) w1 += p.weights[v], ones |= 1u << v;
  }
  const std::uint32_t all = p.size() == 32 ? ~0u : (1u << p.size()) - 1;
  std::pair<std::int64_t, std::int64_t> best{INT64_MAX, INT64_MAX};
  for (std::uint64_t k = 0; k < (1ull << free.size()); ++k) {
    if (k > 0) {  // flip the vertex of the lowest set bit of k
      const int v = free[__builtin_ctzll(k)];
      ones ^= 1u << v;
      w1 += (ones >> v & 1u) ? p.weights[v] : -p.weights[v];
    }
    const std::int64_t heavier = std::max(w1, total - w1);
    const std::int64_t excess =
        std::max<std::int64_t>(0, 100 * heavier - (50 + p.ubfactor) * total);
    std::int64_t cut = 0;
    for (std::size_t e = 0; e < masks.size(); ++e)
      if ((masks[e] & ones) && (masks[e] & ~ones & all)) cut += p.netWeights[e];
    best = std::min(best, {excess, cut});
  }
  return best;
}

Problem randomSmallProblem(partition::Rng& rng) {
  Problem p;
  const int n = rng.below(8) == 0 ? rng.below(4) : 4 + rng.below(13);
  const int weightStyle = rng.below(4);  // unit, small, wide, one heavy vertex
  const int fixedStyle = rng.below(5);   // none, two zero-weight anchors, some, many, all
  for (int v = 0; v < n; ++v) {
    int w = weightStyle == 0 ? 1 : weightStyle == 1 ? 1 + rng.below(4) : rng.below(30);
    if (weightStyle == 3 && v == 0) w = 40;
    p.weights.push_back(w);
    int f = -1;
    if (fixedStyle == 2 && rng.below(6) == 0) f = rng.below(2);
    if (fixedStyle == 3 && rng.below(2) == 0) f = rng.below(2);
    if (fixedStyle == 4) f = rng.below(2);
    p.fixed.push_back(f);
  }
  if (fixedStyle == 1 && n >= 2) {
    p.weights[0] = p.weights[1] = 0;
    p.fixed[0] = 0;
    p.fixed[1] = 1;
  }
  const int nets = n == 0 ? 0 : rng.below(3 * n + 1);
  for (int e = 0; e < nets; ++e) {
    const int size = 1 + (rng.below(3) == 0 ? rng.below(std::min(n, 8)) : rng.below(2) + 1);
    std::vector<int> pins;
    for (int i = 0; i < size; ++i) pins.push_back(rng.below(n));  // repeats happen
    p.addNet(pins, rng.below(10) == 0 ? 0 : 1 + rng.below(5));
  }
  const int ubfactors[] = {1, 5, 10, 10, 10, 20, 45};
  p.ubfactor = ubfactors[rng.below(7)];
  return p;
}

TEST(Bisection, MatchesExhaustiveOptimumOnSmallHypergraphs) {
  partition::Rng rng(20240611);
  int optimal = 0;
  const int kCases = 500;
  for (int c = 0; c < kCases; ++c) {
    const Problem p = randomSmallProblem(rng);
    const Result r = bisect(p, c);
    SCOPED_TRACE(testing::Message() << "case " << c << ", " << p.size() << " vertices");
    ASSERT_NO_FATAL_FAILURE(expectSound(p, r));
    const auto [bestExcess, bestCut] = optimum(p);
    const std::int64_t excess = excessOf(p, r.part);
    if (bestExcess == 0) {
      EXPECT_EQ(excess, 0) << "unbalanced although a balanced bisection exists";
    }
    optimal += excess == bestExcess && r.edgecut == bestCut;
  }
  EXPECT_GE(optimal, kCases * 98 / 100);
}

// Two communities joined by a few nets, with one anchor fixed in each: the
// multilevel path (coarsening, V-cycles) must find the planted cut and keep
// the invariants under every option set.
Problem plantedProblem(int perSide, int crossingNets, partition::Rng& rng) {
  Problem p;
  const int n = 2 * perSide + 2;
  p.weights.assign(n, 0);
  p.fixed.assign(n, -1);
  p.fixed[0] = 0;
  p.fixed[1] = 1;
  for (int v = 2; v < n; ++v) p.weights[v] = 10 + rng.below(90);
  auto member = [&](int side) { return 2 + side * perSide + rng.below(perSide); };
  for (int side = 0; side < 2; ++side) {
    for (int e = 0; e < 4 * perSide; ++e) {
      std::vector<int> pins;
      const int size = 2 + rng.below(3);
      for (int i = 0; i < size; ++i) pins.push_back(member(side));
      p.addNet(pins, 1 + rng.below(3));
    }
    p.addNet({side, member(side), member(side)}, 1);  // the anchor holds its community
  }
  for (int e = 0; e < crossingNets; ++e) p.addNet({member(0), member(1)}, 1);
  p.ubfactor = 10;
  return p;
}

TEST(Bisection, FindsPlantedCutUnderEveryOptionSet) {
  const std::vector<std::vector<int>> optionSets = {
      {1, 10, 1, 1, 3, 0, 1, 5, 0},  // the floorplanner's set
      {1, 2, 5, 1, 0, 0, 1, 5, 0},   // matching in pairs, no V-cycles
      {1, 3, 2, 2, 1, 0, 1, 5, 0},   // one FM pass per level, V-cycles on the result
      {1, 3, 3, 3, 2, 1, 1, 5, 0},   // early-exit FM, V-cycles on every run
  };
  partition::Rng rng(99);
  const Problem p = plantedProblem(300, 6, rng);
  for (const auto& options : optionSets) {
    SCOPED_TRACE(testing::Message() << "coarsening " << options[2] << ", refinement " << options[3]
                                    << ", V-cycles " << options[4]);
    const Result r = bisect(p, 0, options);
    ASSERT_NO_FATAL_FAILURE(expectSound(p, r));
    EXPECT_EQ(excessOf(p, r.part), 0);
    EXPECT_LE(r.edgecut, 6);
  }
}

TEST(Bisection, TinyAndDegenerateInputs) {
  struct Case {
    const char* name;
    Problem problem;
    int cut;
    std::vector<int> part;  // expected when not empty
  };
  auto make = [](std::vector<int> weights, std::vector<int> fixed,
                 std::vector<std::pair<std::vector<int>, int>> nets) {
    Problem p;
    p.weights = std::move(weights);
    p.fixed = std::move(fixed);
    for (auto& [pins, w] : nets) p.addNet(pins, w);
    return p;
  };
  const std::vector<Case> cases = {
      {"two vertices must split", make({1, 1}, {-1, -1}, {{{0, 1}, 4}}), 4, {}},
      {"heavy vertex alone", make({10, 3, 3}, {-1, -1, -1}, {{{0, 1}, 1}, {{1, 2}, 5}}), 1, {}},
      {"all fixed", make({1, 1, 1}, {0, 1, 1}, {{{0, 1}, 2}, {{1, 2}, 1}}), 2, {0, 1, 1}},
      {"zero weights keep everything together",
       make({0, 0, 0, 0}, {0, -1, -1, -1}, {{{0, 1}, 1}, {{1, 2, 3}, 1}}),
       0,
       {0, 0, 0, 0}},
      {"repeated pins never cut", make({1, 1}, {-1, -1}, {{{0, 0, 0}, 9}, {{1, 1}, 9}}), 0, {}},
      {"zero-weight net", make({1, 1}, {-1, -1}, {{{0, 1}, 0}}), 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Result r = bisect(c.problem);
    ASSERT_NO_FATAL_FAILURE(expectSound(c.problem, r));
    EXPECT_EQ(r.edgecut, c.cut);
    if (!c.part.empty()) {
      EXPECT_EQ(r.part, c.part);
    }
  }
}

// Sums beyond int: the part weights and merged net weights must not wrap, and
// a cut that int cannot hold is reported as INT_MAX.
TEST(Bisection, WeightsBeyondIntRange) {
  Problem p;
  p.weights.assign(4, INT_MAX);
  p.fixed.assign(4, -1);
  for (int k = 0; k < 2; ++k) {
    p.addNet({0, 1}, INT_MAX);
    p.addNet({2, 3}, INT_MAX);
  }
  p.addNet({1, 2}, 1);
  Result r = bisect(p);
  ASSERT_NO_FATAL_FAILURE(expectSound(p, r));
  EXPECT_EQ(r.edgecut, 1);

  Problem pair;
  pair.weights = {1, 1};
  pair.fixed = {-1, -1};
  for (int k = 0; k < 3; ++k) pair.addNet({0, 1}, INT_MAX);
  r = bisect(pair);
  EXPECT_NE(r.part[0], r.part[1]);
  EXPECT_EQ(r.edgecut, INT_MAX);
}

TEST(Bisection, SameSeedSameCut) {
  partition::Rng rng(3);
  const Problem p = plantedProblem(120, 40, rng);
  EXPECT_EQ(bisect(p, 11).part, bisect(p, 11).part);

  // Seed -1 takes exactly one draw from the process's 48-bit generator.
  srand48(42);
  const Result first = bisect(p, -1);
  const long next = lrand48();
  srand48(42);
  EXPECT_EQ(bisect(p, -1).part, first.part);
  srand48(42);
  lrand48();
  EXPECT_EQ(lrand48(), next);
}

TEST(Bisection, DefaultOptionsIgnoreThePartArray) {
  Problem p;
  p.weights = {1, 1, 1, 1};
  p.fixed = {1, 1, 1, 1};  // not pre-assignments: options[0] = 0 means defaults
  p.addNet({0, 1}, 5);
  p.addNet({2, 3}, 5);
  p.addNet({1, 2}, 1);
  const Result r = bisect(p, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(r.edgecut, 1);
}

TEST(BisectionDeathTest, BadArgumentsAreInvariants) {
  Problem p;
  p.weights = {1, 1};
  p.fixed = {-1, -1};
  p.addNet({0, 1}, 1);
  int part[2], cut;
  const int good[9] = {1, 1, 1, 1, 0, 0, 0, 1, 0};
  EXPECT_DEATH(HMETIS_PartRecursive(2, 1, p.weights.data(), p.eptr.data(), p.eind.data(),
                                    p.netWeights.data(), 3, 10, good, part, &cut),
               "nparts == 2");
  const int badPin[] = {0, 2};
  EXPECT_DEATH(HMETIS_PartRecursive(2, 1, p.weights.data(), p.eptr.data(), badPin,
                                    p.netWeights.data(), 2, 10, good, part, &cut),
               "eind");
  const int negative[] = {1, -1};
  EXPECT_DEATH(HMETIS_PartRecursive(2, 1, negative, p.eptr.data(), p.eind.data(),
                                    p.netWeights.data(), 2, 10, good, part, &cut),
               "vertexWeight");
}

}  // namespace
