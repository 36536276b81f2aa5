// Cost of one sequence-pair evaluation, the annealer's innermost step, on
// random pairs with random block sizes. The pairs are made before timing and
// used in turn, so the timed loop holds the evaluation alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "seqpair/SPeval.h"

namespace {

struct Workload {
  std::vector<double> widths, heights;
  std::vector<std::vector<unsigned>> xs, ys;
};

// Enough pairs (about 2^17 entries per sequence) that the branch predictor
// cannot learn the set by heart when it is cycled through.
Workload makeWorkload(unsigned n) {
  const unsigned kPairs = std::max(64u, (1u << 17) / std::max(n, 1u));
  std::mt19937 rng(1000 + n);
  std::uniform_real_distribution<double> size(1.0, 10.0);
  Workload w;
  for (unsigned i = 0; i < n; ++i) {
    w.widths.push_back(size(rng));
    w.heights.push_back(size(rng));
  }
  std::vector<unsigned> seq(n);
  std::iota(seq.begin(), seq.end(), 0u);
  for (unsigned k = 0; k < kPairs; ++k) {
    std::shuffle(seq.begin(), seq.end(), rng);
    w.xs.push_back(seq);
    std::shuffle(seq.begin(), seq.end(), rng);
    w.ys.push_back(seq);
  }
  return w;
}

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
  struct Swap {
    bool inX;
    unsigned a, b;
  };
  std::mt19937 rng(7);
  std::uniform_int_distribution<unsigned> pos(0, n - 1);
  std::vector<Swap> swaps(4096);
  for (Swap& s : swaps) s = {rng() % 2 == 0, pos(rng), pos(rng)};
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

BENCHMARK(BM_Evaluate)->Arg(10)->Arg(30)->Arg(100)->Arg(300);
BENCHMARK(BM_EvalSlacks)->Arg(10)->Arg(30)->Arg(100)->Arg(300);
BENCHMARK(BM_EvaluateAfterSwap)->Arg(10)->Arg(30)->Arg(100)->Arg(300);

}  // namespace
