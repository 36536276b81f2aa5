// Cost of the wire delay model as the floorplan database uses it: generation
// 5, buffered wires with the best of 21 buffer sizes (BISWS), sizes 100 and
// 100, layer 0. Wire lengths are those of millimetre wires in micrometres.
#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

#include "QuietStdout.h"
#include "delay/DelayAid.h"

namespace {

std::unique_ptr<DelayAid> makeModel() {
  QuietStdout quiet;
  return std::make_unique<DelayAid>(5, DelayAid::BISWS, 100.0, 100.0);
}

// Lengths as the database passes them: whole hundreds of micrometres times
// 100000, from 0.1 mm to 20 mm.
std::vector<double> lengths() {
  std::vector<double> v;
  for (int d = 1; d <= 200; ++d) v.push_back(d * 100000.0);
  return v;
}

// A length the model has not seen on a model that has answered before.
void BM_FindDelay_NewLength(benchmark::State& state) {
  auto model = makeModel();
  const std::vector<double> ls = lengths();
  benchmark::DoNotOptimize(model->findDelay(0, 1.5e6));
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model->findDelay(0, ls[k]));
    k = (k + 1) % ls.size();
  }
}
BENCHMARK(BM_FindDelay_NewLength)->Unit(benchmark::kMicrosecond);

// The first question of a fresh model (one per floorplanning run).
void BM_FindDelay_FirstCall(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto model = makeModel();
    state.ResumeTiming();
    benchmark::DoNotOptimize(model->findDelay(0, 2e6));
  }
}
BENCHMARK(BM_FindDelay_FirstCall)->Unit(benchmark::kMicrosecond);

// Building the model: the critical length and wire width of all eight layers.
void BM_DelayAid_Construct(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(makeModel());
}
BENCHMARK(BM_DelayAid_Construct)->Unit(benchmark::kMicrosecond);

}  // namespace
