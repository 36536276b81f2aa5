#pragma once
// Fiduccia-Mattheyses refinement of a bisection, and the greedy growing of an
// initial bisection, both driven by gain buckets. Fixed vertices never move.
#include <cstdint>
#include <vector>

#include "partition/Bisection.h"
#include "partition/GainBuckets.h"
#include "partition/Random.h"

namespace partition {

struct RefineParams {
  int maxPasses = 8;
  // A pass stops after this many moves without a better bisection; 0 never.
  int stallLimit = 15;
  // How many vertices, in decreasing gain, are tried for a move that keeps
  // the balance before a side is given up for this move.
  int candidateLimit = 64;
};

class FmRefiner {
 public:
  // Passes of tentative moves, each vertex moving at most once per pass and
  // the pass rolled back to its best prefix, until a pass finds nothing
  // better. A move may not push a part above the bound plus the heaviest free
  // vertex (nor, while the bisection is less balanced than that, above the
  // heavier part's weight). The result is never worse.
  void refine(Bisection& b, Rng& rng, const RefineParams& params);

  // Greedy growing: from part 1, moves the vertex whose move adds least to the
  // cut into part 0 (after a random first vertex when randomStart is set)
  // until part 0 holds half of the weight or no free vertex fits.
  void grow(Bisection& b, Rng& rng, bool randomStart, int candidateLimit);

 private:
  void prepare(const Bisection& b);
  // Queues the free vertices on the given sides in random order.
  void queueFree(const Bisection& b, Rng& rng, bool side0, bool side1);
  std::int64_t gainOf(const Bisection& b, int v) const;
  bool queued(const Bisection& b, int v) const { return buckets_[b.side(v)].contains(v); }
  void adjust(const Bisection& b, int v, std::int64_t delta);
  // Moves a vertex already taken out of its bucket and updates its neighbours' gains.
  void moveWithGains(Bisection& b, int v);
  int pickMove(const Bisection& b, int candidateLimit) const;
  bool pass(Bisection& b, Rng& rng, const RefineParams& params);

  GainBuckets buckets_[2];
  std::vector<std::int64_t> gain_;
  std::int64_t moveSlack_ = 0;  // heaviest free vertex
  std::vector<int> order_;
  std::vector<int> moves_;
};

}  // namespace partition
