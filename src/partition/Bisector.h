#pragma once
// Multilevel bisection: coarsen, bisect the coarsest hypergraph from several
// starts, project back level by level with FM refinement, optionally refine
// again by V-cycles, and keep the best of several independent runs.
#include <cstdint>
#include <vector>

#include "partition/Coarsener.h"
#include "partition/FmRefiner.h"
#include "partition/Hypergraph.h"
#include "partition/Random.h"

namespace partition {

enum class VCycles {
  kNone,
  kFinal,       // on the bisection kept after all runs
  kEveryRun,    // on the bisection of every run
  kWhenAsGood,  // on each run's bisection that is at least as good as the best before it
};

struct BisectParams {
  int runs = 10;
  int imbalancePercent = 10;
  // Greedy-growing and random starts on the coarsest level, and on a
  // hypergraph too small to coarsen, where no finer level repairs the start.
  int initialStarts = 2;
  int uncoarsenedStarts = 8;
  int maxVCycles = 2;  // V-cycles stop earlier once one brings no improvement
  VCycles vcycles = VCycles::kFinal;
  CoarsenParams coarsen;
  RefineParams refine;
};

// The largest part weight a bisection of `total` may have with the given imbalance.
std::int64_t maxPartWeight(std::int64_t total, int imbalancePercent);

class Bisector {
 public:
  Bisector(const Hypergraph& g, const BisectParams& params, std::uint64_t seed);
  // Part (0 or 1) of every vertex of the best bisection found.
  std::vector<std::int8_t> run();

 private:
  std::vector<std::int8_t> multilevelRun();
  void initialBisection(Bisection& b);
  // Refines `levels` (finest first, below g_) from the bisection of the coarsest.
  std::vector<std::int8_t> uncoarsen(const std::vector<CoarseLevel>& levels,
                                     std::vector<std::int8_t> coarsePart);
  Quality vcycle(std::vector<std::int8_t>& part, Quality quality);
  Quality evaluate(const std::vector<std::int8_t>& part);

  const Hypergraph& g_;
  BisectParams params_;
  std::int64_t maxPart_;
  Rng rng_;
  FmRefiner refiner_;
};

}  // namespace partition
