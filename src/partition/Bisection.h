#pragma once
// One bisection of a hypergraph: the part of every vertex with the running
// part weights, pin counts per net and part, and the cut.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "partition/Hypergraph.h"

namespace partition {

// How good a bisection is, compared lexicographically (smaller is better):
// first the weight by which the heavier part exceeds the bound (0 when the
// bisection is balanced), then the cut, then the weight difference of the parts.
struct Quality {
  std::int64_t excess = 0;
  std::int64_t cut = 0;
  std::int64_t skew = 0;
  auto operator<=>(const Quality&) const = default;
};

class Bisection {
 public:
  // maxPartWeight is the largest weight either part may have.
  Bisection(const Hypergraph& g, std::int64_t maxPartWeight);

  // Sets every vertex's part (0 or 1) and recomputes weights, counts and cut.
  void assign(std::span<const std::int8_t> part);
  // Moves v to the other part.
  void move(int v);

  const Hypergraph& graph() const { return *g_; }
  int side(int v) const { return part_[v]; }
  const std::vector<std::int8_t>& parts() const { return part_; }
  std::int64_t partWeight(int s) const { return weight_[s]; }
  std::int64_t maxPartWeight() const { return maxPartWeight_; }
  int pinsIn(int e, int s) const { return pinCount_[2 * e + s]; }
  std::int64_t cut() const { return cut_; }
  Quality quality() const {
    const std::int64_t heavier = std::max(weight_[0], weight_[1]);
    return {std::max<std::int64_t>(0, heavier - maxPartWeight_), cut_,
            heavier - std::min(weight_[0], weight_[1])};
  }

 private:
  const Hypergraph* g_;
  std::int64_t maxPartWeight_;
  std::vector<std::int8_t> part_;
  std::vector<int> pinCount_;  // 2 per net: pins in part 0, pins in part 1
  std::int64_t weight_[2] = {0, 0};
  std::int64_t cut_ = 0;
};

}  // namespace partition
