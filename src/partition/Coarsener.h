#pragma once
// Coarsening for the multilevel bisection: vertices are clustered along heavy
// nets and each cluster becomes one vertex of the next, smaller hypergraph.
// Vertices fixed to different parts never share a cluster, and a cluster with
// a fixed vertex is fixed to that vertex's part. Given a bisection, clusters
// also stay within one part, so the bisection carries over to every level.
#include <cstdint>
#include <vector>

#include "partition/Hypergraph.h"
#include "partition/Random.h"

namespace partition {

struct CoarsenParams {
  int coarsenTo = 25;               // stop at this many vertices or fewer
  bool pairsOnly = false;           // heavy-edge matching instead of first-choice clustering
  int largeNetSize = 64;            // nets with more pins are ignored when rating neighbours
  double minShrink = 0.95;          // stop when a level keeps more than this share of the vertices
  double clusterWeightShare = 1.5;  // clusters weigh at most this times total / coarsenTo
};

struct CoarseLevel {
  Hypergraph graph;
  std::vector<int> coarseOf;  // vertex of the finer level -> vertex of this one
};

// Builds the levels below `g`, finest first; empty when g is small already.
// With `part` set, no cluster mixes the two parts.
std::vector<CoarseLevel> coarsen(const Hypergraph& g, const std::vector<std::int8_t>* part,
                                 Rng& rng, const CoarsenParams& params);

}  // namespace partition
