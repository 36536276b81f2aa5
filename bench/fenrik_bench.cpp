// Speed of the fixed-outline floorplanner's parts on the GSRC n300 benchmark:
// one bisection of its netlist (300 vertices, 1,893 nets) with the options the
// floorplanner uses (one run and ten), and the whole construction at 10 % whitespace.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fenrik/BenchmarkReader.h"
#include "fenrik/Fenrik.h"
#include "partition/HMetis.h"

namespace {

const BenchmarkDesign* load(const std::string& name) {
  static std::vector<std::pair<std::string, BenchmarkDesign>> cache;
  for (auto& [n, d] : cache)
    if (n == name) return &d;
  std::string dir = OSVO_GSRC_DIR;
  if (dir.empty()) return nullptr;
  cache.emplace_back(name, readBenchmark(dir + "/" + name));
  return &cache.back().second;
}

void BM_BisectN300Netlist(benchmark::State& state) {
  const BenchmarkDesign* d = load("HARD/n300");
  if (!d) {
    state.SkipWithError("no GSRC benchmarks");
    return;
  }
  std::vector<int> vwgts, eptr{0}, eind, hewgts;
  for (const DesignBlock& b : d->blocks) vwgts.push_back(static_cast<int>(10 * b.area + 0.5));
  for (const DesignNet& net : d->nets) {
    std::vector<int> seen;
    for (const DesignPin& p : net.pins)
      if (!p.onTerminal && std::find(seen.begin(), seen.end(), p.index) == seen.end())
        seen.push_back(p.index);
    eind.insert(eind.end(), seen.begin(), seen.end());
    eptr.push_back(static_cast<int>(eind.size()));
    hewgts.push_back(1);
  }
  const int options[9] = {1, static_cast<int>(state.range(0)), 1, 1, 3, 0, 0, -1, 0};
  std::vector<int> part(vwgts.size());
  int cut = 0;
  srand48(1);
  for (auto _ : state) {
    std::fill(part.begin(), part.end(), -1);
    HMETIS_PartRecursive(static_cast<int>(vwgts.size()), static_cast<int>(hewgts.size()),
                         vwgts.data(), eptr.data(), eind.data(), hewgts.data(), 2, 10, options,
                         part.data(), &cut);
  }
  state.counters["vertices"] = static_cast<double>(vwgts.size());
  state.counters["nets"] = static_cast<double>(hewgts.size());
  state.counters["cut"] = cut;
}
// The argument is the number of runs (the floorplanner asks for 10).
BENCHMARK(BM_BisectN300Netlist)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ConstructN300(benchmark::State& state, const char* variant) {
  const BenchmarkDesign* source = load(std::string(variant) + "/n300");
  if (!source) {
    state.SkipWithError("no GSRC benchmarks");
    return;
  }
  BenchmarkDesign d = *source;
  const double side = d.squareOutlineSide(10.0);
  d.scaleTerminals(0.0, 0.0, side, side);
  double wirelength = 0.0;
  srand48(1);
  for (auto _ : state) {
    Fenrik fenrik(d, 10.0, 1e7);
    fenrik.setWhitespaceSpreading(1);
    fenrik.constructFloorplan();
    wirelength = fenrik.getCentreWirelength();
  }
  state.counters["HPWL"] = wirelength;
}
BENCHMARK_CAPTURE(BM_ConstructN300, soft, "SOFT")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConstructN300, hard, "HARD")->Unit(benchmark::kMillisecond);

}  // namespace
