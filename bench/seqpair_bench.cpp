// Cost of one sequence-pair evaluation, the annealer's innermost step, on
// random pairs with random block sizes. The pairs are made before timing and
// used in turn, so the timed loop holds the evaluation alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "seqpair/SPeval.h"
#include "seqpair_workload.h"

namespace {

using namespace seqpairbench;

void BM_Evaluate(benchmark::State& state) {
  const Workload w = makeWorkload(static_cast<unsigned>(state.range(0)));
  SPeval ev(w.heights, w.widths);
  std::size_t k = 0;
  for (auto _ : state) {
    ev.evaluate(w.xs[k], w.ys[k]);
    benchmark::DoNotOptimize(ev.xSize);
    benchmark::DoNotOptimize(ev.ySize);
    k = (k + 1) % w.xs.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EvalSlacks(benchmark::State& state) {
  const Workload w = makeWorkload(static_cast<unsigned>(state.range(0)));
  SPeval ev(w.heights, w.widths);
  std::size_t k = 0;
  for (auto _ : state) {
    ev.evalSlacks(w.xs[k], w.ys[k]);
    benchmark::DoNotOptimize(ev.xSlacks.data());
    benchmark::DoNotOptimize(ev.ySlacks.data());
    k = (k + 1) % w.xs.size();
  }
  state.SetItemsProcessed(state.iterations());
}

// The annealer's pattern: each pair differs from the previous one by one swap
// of two blocks in X or in Y. The swaps are drawn before timing.
void BM_EvaluateAfterSwap(benchmark::State& state) {
  const unsigned n = static_cast<unsigned>(state.range(0));
  const Workload w = makeWorkload(n);
  std::vector<unsigned> x = w.xs[0], y = w.ys[0];
  const std::vector<Swap> swaps = makeSwaps(n);
  SPeval ev(w.heights, w.widths);
  std::size_t k = 0;
  for (auto _ : state) {
    const Swap& s = swaps[k];
    std::vector<unsigned>& seq = s.inX ? x : y;
    std::swap(seq[s.a], seq[s.b]);
    ev.evaluate(x, y);
    benchmark::DoNotOptimize(ev.xSize);
    benchmark::DoNotOptimize(ev.ySize);
    k = (k + 1) % swaps.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_FenwickReference(benchmark::State& state) {
  const Workload w = makeWorkload(static_cast<unsigned>(state.range(0)));
  FenwickReference ref(static_cast<unsigned>(state.range(0)));
  std::size_t k = 0;
  for (auto _ : state) {
    ref.evaluate(w.xs[k], w.ys[k], w.widths, w.heights);
    benchmark::DoNotOptimize(ref.xSize);
    benchmark::DoNotOptimize(ref.ySize);
    k = (k + 1) % w.xs.size();
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Evaluate)->Arg(10)->Arg(30)->Arg(100)->Arg(300);
BENCHMARK(BM_FenwickReference)->Arg(10)->Arg(30)->Arg(100)->Arg(300);
BENCHMARK(BM_EvalSlacks)->Arg(10)->Arg(30)->Arg(100)->Arg(300);
BENCHMARK(BM_EvaluateAfterSwap)->Arg(10)->Arg(30)->Arg(100)->Arg(300);

}  // namespace
