#include "partition/Coarsener.h"

#include <algorithm>
#include <cmath>

#include "support/Assert.h"

namespace partition {
namespace {

// Clusters the vertices of g; returns the number of clusters and fills clusterOf.
int cluster(const Hypergraph& g, const std::int8_t* part, Rng& rng, const CoarsenParams& params,
            std::int64_t maxClusterWeight, std::vector<int>& clusterOf) {
  const int n = g.numVertices();
  clusterOf.assign(n, -1);
  std::vector<std::int64_t> clusterWeight;
  std::vector<std::int8_t> clusterFixed;
  // Rating of each candidate: key v < n is the unclustered vertex v, key n + c the cluster c.
  std::vector<double> rating(2 * n, 0.0);
  std::vector<int> candidates;
  std::vector<int> order(n);
  for (int v = 0; v < n; ++v) order[v] = v;
  rng.shuffle(order);

  for (int v : order) {
    if (clusterOf[v] >= 0) continue;
    candidates.clear();
    for (int e : g.incidentNets(v)) {
      const auto pins = g.netPins(e);
      if (static_cast<int>(pins.size()) > params.largeNetSize) continue;
      const double r = static_cast<double>(g.netWeight[e]) / static_cast<double>(pins.size() - 1);
      for (int u : pins) {
        if (u == v || (part && part[u] != part[v])) continue;
        if (params.pairsOnly && clusterOf[u] >= 0) continue;
        const int key = clusterOf[u] >= 0 ? n + clusterOf[u] : u;
        if (rating[key] == 0.0) candidates.push_back(key);
        rating[key] += r;
      }
    }
    int bestKey = -1;
    double bestRating = 0.0;
    std::int64_t bestWeight = 0;
    for (int key : candidates) {
      const bool isCluster = key >= n;
      const std::int64_t w = isCluster ? clusterWeight[key - n] : g.vertexWeight[key];
      const int fixed = isCluster ? clusterFixed[key - n] : g.fixedPart[key];
      const double r = rating[key];
      rating[key] = 0.0;
      if (w + g.vertexWeight[v] > maxClusterWeight) continue;
      if (fixed >= 0 && g.fixedPart[v] >= 0 && fixed != g.fixedPart[v]) continue;
      if (bestKey < 0 || r > bestRating || (r == bestRating && w < bestWeight)) {
        bestKey = key;
        bestRating = r;
        bestWeight = w;
      }
    }
    int c;
    if (bestKey >= n) {
      c = bestKey - n;
    } else {
      c = static_cast<int>(clusterWeight.size());
      clusterWeight.push_back(0);
      clusterFixed.push_back(-1);
      if (bestKey >= 0) {
        clusterOf[bestKey] = c;
        clusterWeight[c] = g.vertexWeight[bestKey];
        clusterFixed[c] = g.fixedPart[bestKey];
      }
    }
    clusterOf[v] = c;
    clusterWeight[c] += g.vertexWeight[v];
    if (g.fixedPart[v] >= 0) clusterFixed[c] = g.fixedPart[v];
  }
  return static_cast<int>(clusterWeight.size());
}

Hypergraph contract(const Hypergraph& g, const std::vector<int>& clusterOf, int clusters) {
  Hypergraph coarse;
  coarse.vertexWeight.assign(clusters, 0);
  coarse.fixedPart.assign(clusters, -1);
  for (int v = 0; v < g.numVertices(); ++v) {
    const int c = clusterOf[v];
    coarse.vertexWeight[c] += g.vertexWeight[v];
    if (g.isFixed(v)) {
      OSVO_ASSERT(coarse.fixedPart[c] < 0 || coarse.fixedPart[c] == g.fixedPart[v]);
      coarse.fixedPart[c] = g.fixedPart[v];
    }
  }
  NetCollector nets(coarse, g.numNets());
  std::vector<int> mapped;
  for (int e = 0; e < g.numNets(); ++e) {
    mapped.clear();
    for (int v : g.netPins(e)) mapped.push_back(clusterOf[v]);
    nets.add(mapped, g.netWeight[e]);
  }
  nets.finish();
  return coarse;
}

}  // namespace

std::vector<CoarseLevel> coarsen(const Hypergraph& g, const std::vector<std::int8_t>* part,
                                 Rng& rng, const CoarsenParams& params) {
  std::vector<CoarseLevel> levels;
  const std::int64_t maxClusterWeight = static_cast<std::int64_t>(
      std::ceil(params.clusterWeightShare * static_cast<double>(g.totalWeight) / params.coarsenTo));
  std::vector<std::int8_t> levelPart;
  if (part) levelPart = *part;
  const Hypergraph* current = &g;
  while (current->numVertices() > params.coarsenTo) {
    std::vector<int> clusterOf;
    const int clusters = cluster(*current, part ? levelPart.data() : nullptr, rng, params,
                                 maxClusterWeight, clusterOf);
    if (clusters > params.minShrink * current->numVertices()) break;
    CoarseLevel level{contract(*current, clusterOf, clusters), std::move(clusterOf)};
    if (part) {
      std::vector<std::int8_t> coarsePart(clusters);
      for (int v = 0; v < current->numVertices(); ++v) coarsePart[level.coarseOf[v]] = levelPart[v];
      levelPart = std::move(coarsePart);
    }
    levels.push_back(std::move(level));
    current = &levels.back().graph;
  }
  return levels;
}

}  // namespace partition
