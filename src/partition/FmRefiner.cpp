#include "partition/FmRefiner.h"

#include <algorithm>

namespace partition {

void FmRefiner::prepare(const Bisection& b) {
  const Hypergraph& g = b.graph();
  for (GainBuckets& q : buckets_) q.reset(g.numVertices(), g.maxIncidentWeight);
  gain_.assign(g.numVertices(), 0);
  moveSlack_ = 0;
  for (int v = 0; v < g.numVertices(); ++v)
    if (!g.isFixed(v)) moveSlack_ = std::max(moveSlack_, g.vertexWeight[v]);
}

void FmRefiner::queueFree(const Bisection& b, Rng& rng, bool side0, bool side1) {
  const Hypergraph& g = b.graph();
  order_.clear();
  for (int v = 0; v < g.numVertices(); ++v) {
    if (g.isFixed(v) || !(b.side(v) == 0 ? side0 : side1)) continue;
    order_.push_back(v);
  }
  rng.shuffle(order_);
  for (int v : order_) {
    gain_[v] = gainOf(b, v);
    buckets_[b.side(v)].insert(v, gain_[v]);
  }
}

std::int64_t FmRefiner::gainOf(const Bisection& b, int v) const {
  const Hypergraph& g = b.graph();
  const int from = b.side(v);
  std::int64_t gain = 0;
  for (int e : g.incidentNets(v)) {
    if (b.pinsIn(e, from) == 1) gain += g.netWeight[e];      // the net leaves the cut
    if (b.pinsIn(e, 1 - from) == 0) gain -= g.netWeight[e];  // the net enters the cut
  }
  return gain;
}

void FmRefiner::adjust(const Bisection& b, int v, std::int64_t delta) {
  gain_[v] += delta;
  buckets_[b.side(v)].update(v, gain_[v]);
}

void FmRefiner::moveWithGains(Bisection& b, int v) {
  const Hypergraph& g = b.graph();
  const int from = b.side(v);
  // With F pins on the source side and T on the target side before the move,
  // the other source-side pins gain w when T = 0 (the net no longer lies in
  // their part alone) and again when F = 2 (they become the last one); the
  // target-side pins lose w when T = 1 (no longer the only one) and when F = 1
  // (the net comes to lie wholly in their part). Other nets change nothing.
  for (int e : g.incidentNets(v)) {
    const int onSource = b.pinsIn(e, from);
    const int onTarget = b.pinsIn(e, 1 - from);
    const std::int64_t w = g.netWeight[e];
    const std::int64_t sourceDelta = (onTarget == 0 ? w : 0) + (onSource == 2 ? w : 0);
    const std::int64_t targetDelta = -(onTarget == 1 ? w : 0) - (onSource == 1 ? w : 0);
    if (sourceDelta == 0 && targetDelta == 0) continue;
    for (int u : g.netPins(e)) {
      if (!queued(b, u)) continue;
      const std::int64_t delta = b.side(u) == from ? sourceDelta : targetDelta;
      if (delta != 0) adjust(b, u, delta);
    }
  }
  b.move(v);
}

int FmRefiner::pickMove(const Bisection& b, int candidateLimit) const {
  const std::int64_t weight[2] = {b.partWeight(0), b.partWeight(1)};
  // Tentative moves may overshoot the bound by one vertex, so that a tight
  // balance can still be reached by exchanges; the pass keeps the best prefix.
  const std::int64_t bound =
      std::max(std::max(weight[0], weight[1]), b.maxPartWeight() + moveSlack_);
  const std::vector<std::int64_t>& vertexWeight = b.graph().vertexWeight;
  int best = -1;
  for (int s = 0; s < 2; ++s) {
    const int v = buckets_[s].findBest(
        [&](int u) {
          const std::int64_t w = vertexWeight[u];
          return std::max(weight[s] - w, weight[1 - s] + w) <= bound;
        },
        candidateLimit);
    if (v < 0) continue;
    if (best < 0 || gain_[v] > gain_[best] ||
        (gain_[v] == gain_[best] && weight[s] > weight[b.side(best)]))
      best = v;
  }
  return best;
}

bool FmRefiner::pass(Bisection& b, Rng& rng, const RefineParams& params) {
  prepare(b);
  queueFree(b, rng, true, true);
  Quality best = b.quality();
  std::size_t bestLength = 0;
  moves_.clear();
  for (;;) {
    const int v = pickMove(b, params.candidateLimit);
    if (v < 0) break;
    buckets_[b.side(v)].remove(v);
    moveWithGains(b, v);
    moves_.push_back(v);
    const Quality q = b.quality();
    if (q < best) {
      best = q;
      bestLength = moves_.size();
    } else if (params.stallLimit > 0 &&
               moves_.size() - bestLength >= static_cast<std::size_t>(params.stallLimit)) {
      break;
    }
  }
  for (std::size_t i = moves_.size(); i > bestLength; --i) b.move(moves_[i - 1]);
  return bestLength > 0;
}

void FmRefiner::refine(Bisection& b, Rng& rng, const RefineParams& params) {
  for (int p = 0; p < params.maxPasses; ++p)
    if (!pass(b, rng, params)) break;
}

void FmRefiner::grow(Bisection& b, Rng& rng, bool randomStart, int candidateLimit) {
  prepare(b);
  queueFree(b, rng, false, true);
  if (randomStart && !order_.empty()) {
    const int v = order_[rng.below(static_cast<int>(order_.size()))];
    buckets_[1].remove(v);
    moveWithGains(b, v);
  }
  const std::int64_t total = b.graph().totalWeight;
  const std::vector<std::int64_t>& vertexWeight = b.graph().vertexWeight;
  while (2 * b.partWeight(0) < total) {
    const int v = buckets_[1].findBest(
        [&](int u) { return b.partWeight(0) + vertexWeight[u] <= b.maxPartWeight(); },
        candidateLimit);
    if (v < 0) break;
    buckets_[1].remove(v);
    moveWithGains(b, v);
  }
}

}  // namespace partition
