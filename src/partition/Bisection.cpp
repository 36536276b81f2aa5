#include "partition/Bisection.h"

#include "support/Assert.h"

namespace partition {

Bisection::Bisection(const Hypergraph& g, std::int64_t maxPartWeight)
    : g_(&g), maxPartWeight_(maxPartWeight), part_(g.numVertices(), 0) {}

void Bisection::assign(std::span<const std::int8_t> part) {
  const Hypergraph& g = *g_;
  OSVO_ASSERT(static_cast<int>(part.size()) == g.numVertices());
  part_.assign(part.begin(), part.end());
  weight_[0] = weight_[1] = 0;
  for (int v = 0; v < g.numVertices(); ++v) {
    OSVO_ASSERT(part_[v] == 0 || part_[v] == 1);
    OSVO_ASSERT(!g.isFixed(v) || g.fixedPart[v] == part_[v]);
    weight_[part_[v]] += g.vertexWeight[v];
  }
  pinCount_.assign(2 * g.numNets(), 0);
  cut_ = 0;
  for (int e = 0; e < g.numNets(); ++e) {
    for (int v : g.netPins(e)) ++pinCount_[2 * e + part_[v]];
    if (pinCount_[2 * e] > 0 && pinCount_[2 * e + 1] > 0) cut_ += g.netWeight[e];
  }
}

void Bisection::move(int v) {
  const Hypergraph& g = *g_;
  const int from = part_[v];
  const int to = 1 - from;
  for (int e : g.incidentNets(v)) {
    int* count = &pinCount_[2 * e];
    if (count[to] == 0) cut_ += g.netWeight[e];
    --count[from];
    ++count[to];
    if (count[from] == 0) cut_ -= g.netWeight[e];
  }
  weight_[from] -= g.vertexWeight[v];
  weight_[to] += g.vertexWeight[v];
  part_[v] = static_cast<std::int8_t>(to);
}

}  // namespace partition
