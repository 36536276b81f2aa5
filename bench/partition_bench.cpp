// One bisection as the fixed-outline floorplanner asks for it (two zero-weight
// anchors fixed to the two parts, block weights ten times the area, ten runs
// with V-cycles) on synthetic netlists shaped like the GSRC ones: the 300-block
// case has 1,893 nets of 3.5 pins on average, mostly short-range, and about a
// tenth of the nets reach a terminal that is propagated to an anchor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "partition/HMetis.h"

namespace {

struct Netlist {
  int vertices = 0;
  std::vector<int> weights, eptr{0}, eind, netWeights;
};

Netlist makeNetlist(int blocks, int nets, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::lognormal_distribution<double> area(7.5, 1.0);
  Netlist n;
  n.vertices = blocks + 2;
  n.weights = {0, 0};
  std::vector<double> x(blocks), y(blocks);
  for (int b = 0; b < blocks; ++b) {
    n.weights.push_back(static_cast<int>(std::lround(10 * std::min(area(rng), 40000.0))));
    x[b] = unit(rng);
    y[b] = unit(rng);
  }
  const int degrees[] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 5, 6, 8, 12};
  std::vector<int> byDistance(blocks);
  for (int e = 0; e < nets; ++e) {
    const int centre = static_cast<int>(unit(rng) * blocks);
    const int degree = degrees[static_cast<int>(unit(rng) * 20)];
    // The other pins come from the 4 x degree blocks nearest the centre.
    for (int b = 0; b < blocks; ++b) byDistance[b] = b;
    const int near = std::min(blocks, 4 * degree);
    std::partial_sort(byDistance.begin(), byDistance.begin() + near, byDistance.end(),
                      [&](int a, int b) {
                        return std::hypot(x[a] - x[centre], y[a] - y[centre]) <
                               std::hypot(x[b] - x[centre], y[b] - y[centre]);
                      });
    n.eind.push_back(centre + 2);
    for (int p = 1; p < degree; ++p)
      n.eind.push_back(byDistance[static_cast<int>(unit(rng) * near)] + 2);
    if (unit(rng) < 0.1) {
      const double t = unit(rng);
      if (t <= 0.4) n.eind.push_back(0);
      if (t >= 0.6) n.eind.push_back(1);
    }
    n.eptr.push_back(static_cast<int>(n.eind.size()));
    n.netWeights.push_back(1);
  }
  return n;
}

void BM_Bisect(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  const Netlist n = makeNetlist(blocks, static_cast<int>(state.range(1)), 300);
  int seed = 1;
  int cut = 0;
  std::vector<int> part(n.vertices);
  for (auto _ : state) {
    std::fill(part.begin(), part.end(), -1);
    part[0] = 0;
    part[1] = 1;
    const int options[9] = {1, 10, 1, 1, 3, 0, 1, seed++, 0};
    HMETIS_PartRecursive(n.vertices, static_cast<int>(n.netWeights.size()), n.weights.data(),
                         n.eptr.data(), n.eind.data(), n.netWeights.data(), 2, 10, options,
                         part.data(), &cut);
    benchmark::DoNotOptimize(cut);
  }
  state.counters["cut"] = cut;
}

}  // namespace

BENCHMARK(BM_Bisect)
    ->Args({10, 60})
    ->Args({50, 310})
    ->Args({300, 1893})
    ->Args({1000, 6300})
    ->Unit(benchmark::kMillisecond);
