#include "partition/Bisector.h"

#include "support/Assert.h"

namespace partition {

std::int64_t maxPartWeight(std::int64_t total, int imbalancePercent) {
  // floor((50 + b) % of total), exact and without overflow.
  const std::int64_t share = 50 + imbalancePercent;
  return share * (total / 100) + share * (total % 100) / 100;
}

Bisector::Bisector(const Hypergraph& g, const BisectParams& params, std::uint64_t seed)
    : g_(g),
      params_(params),
      maxPart_(maxPartWeight(g.totalWeight, params.imbalancePercent)),
      rng_(seed) {
  OSVO_ASSERT(params.runs >= 1 && params.initialStarts >= 1 && params.uncoarsenedStarts >= 1);
}

Quality Bisector::evaluate(const std::vector<std::int8_t>& part) {
  Bisection b(g_, maxPart_);
  b.assign(part);
  return b.quality();
}

void Bisector::initialBisection(Bisection& b) {
  const Hypergraph& g = b.graph();
  const int starts = &g == &g_ ? params_.uncoarsenedStarts : params_.initialStarts;
  std::vector<std::int8_t> start(g.numVertices()), best;
  Quality bestQuality;
  bool found = false;
  std::vector<int> order;
  for (int s = 0; s < starts; ++s) {
    for (int v = 0; v < g.numVertices(); ++v) start[v] = g.isFixed(v) ? g.fixedPart[v] : 1;
    b.assign(start);
    if (s % 4 == 3) {
      // A random start: free vertices in random order fill part 0 up to half the weight.
      order.clear();
      for (int v = 0; v < g.numVertices(); ++v)
        if (!g.isFixed(v)) order.push_back(v);
      rng_.shuffle(order);
      for (int v : order)
        if (2 * (b.partWeight(0) + g.vertexWeight[v]) <= g.totalWeight + g.vertexWeight[v])
          b.move(v);
    } else {
      refiner_.grow(b, rng_, s > 0, params_.refine.candidateLimit);
    }
    refiner_.refine(b, rng_, params_.refine);
    if (!found || b.quality() < bestQuality) {
      best = b.parts();
      bestQuality = b.quality();
      found = true;
    }
  }
  b.assign(best);
}

std::vector<std::int8_t> Bisector::uncoarsen(const std::vector<CoarseLevel>& levels,
                                             std::vector<std::int8_t> coarsePart) {
  for (std::size_t i = levels.size(); i-- > 0;) {
    const Hypergraph& finer = i == 0 ? g_ : levels[i - 1].graph;
    std::vector<std::int8_t> finePart(finer.numVertices());
    for (int v = 0; v < finer.numVertices(); ++v) finePart[v] = coarsePart[levels[i].coarseOf[v]];
    Bisection b(finer, maxPart_);
    b.assign(finePart);
    refiner_.refine(b, rng_, params_.refine);
    coarsePart = b.parts();
  }
  return coarsePart;
}

std::vector<std::int8_t> Bisector::multilevelRun() {
  const std::vector<CoarseLevel> levels = coarsen(g_, nullptr, rng_, params_.coarsen);
  Bisection coarsest(levels.empty() ? g_ : levels.back().graph, maxPart_);
  initialBisection(coarsest);
  return uncoarsen(levels, coarsest.parts());
}

Quality Bisector::vcycle(std::vector<std::int8_t>& part, Quality quality) {
  for (int cycle = 0; cycle < params_.maxVCycles; ++cycle) {
    const std::vector<CoarseLevel> levels = coarsen(g_, &part, rng_, params_.coarsen);
    std::vector<std::int8_t> coarsePart = part;
    for (const CoarseLevel& level : levels) {
      std::vector<std::int8_t> next(level.graph.numVertices());
      for (std::size_t v = 0; v < coarsePart.size(); ++v) next[level.coarseOf[v]] = coarsePart[v];
      coarsePart = std::move(next);
    }
    Bisection coarsest(levels.empty() ? g_ : levels.back().graph, maxPart_);
    coarsest.assign(coarsePart);
    refiner_.refine(coarsest, rng_, params_.refine);
    std::vector<std::int8_t> refined = uncoarsen(levels, coarsest.parts());
    const Quality q = evaluate(refined);
    if (!(q < quality)) break;
    part = std::move(refined);
    quality = q;
  }
  return quality;
}

std::vector<std::int8_t> Bisector::run() {
  std::vector<std::int8_t> best;
  Quality bestQuality;
  bool found = false;
  for (int r = 0; r < params_.runs; ++r) {
    std::vector<std::int8_t> part = multilevelRun();
    Quality q = evaluate(part);
    if (params_.vcycles == VCycles::kEveryRun ||
        (params_.vcycles == VCycles::kWhenAsGood && (!found || !(bestQuality < q))))
      q = vcycle(part, q);
    if (!found || q < bestQuality) {
      best = std::move(part);
      bestQuality = q;
      found = true;
    }
  }
  if (params_.vcycles == VCycles::kFinal) vcycle(best, bestQuality);
  return best;
}

}  // namespace partition
