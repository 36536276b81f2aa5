#pragma once
// Workloads shared by the sequence-pair benchmark and the instruction counter:
// random pairs with random block sizes, the one-swap moves of the annealer's
// pattern, and a plain Fenwick-tree packing as the yardstick.
#include <algorithm>
#include <cstddef>
#include <numeric>
#include <random>
#include <vector>

namespace seqpairbench {

struct Workload {
  std::vector<double> widths, heights;
  std::vector<std::vector<unsigned>> xs, ys;
};

// Enough pairs (about 2^17 entries per sequence) that the branch predictor
// cannot learn the set by heart when it is cycled through.
inline Workload makeWorkload(unsigned n) {
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

struct Swap {
  bool inX;
  unsigned a, b;
};

// The annealer's pattern: each pair differs from the previous one by one swap
// of two blocks in X or in Y.
inline std::vector<Swap> makeSwaps(unsigned n) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<unsigned> pos(0, n - 1);
  std::vector<Swap> swaps(4096);
  for (Swap& s : swaps) s = {rng() % 2 == 0, pos(rng), pos(rng)};
  return swaps;
}

// Reference: a plain Fenwick-tree evaluation of both dimensions, the textbook
// O(n log n) weighted longest common subsequence with a tree of prefix maxima,
// written without tuning. It is the yardstick for BM_Evaluate.
class FenwickReference {
 public:
  explicit FenwickReference(unsigned n) : pos_(n), tree_(n + 1), xLoc(n), yLoc(n) {}

  void evaluate(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                const std::vector<double>& widths, const std::vector<double>& heights) {
    const std::size_t n = x.size();
    for (std::size_t i = 0; i < n; ++i) pos_[y[i]] = static_cast<unsigned>(i);
    xSize = pack(x.begin(), x.end(), widths, xLoc);
    ySize = pack(x.rbegin(), x.rend(), heights, yLoc);
  }

  double xSize = 0, ySize = 0;

 private:
  template <class It>
  double pack(It first, It last, const std::vector<double>& size, std::vector<double>& loc) {
    std::fill(tree_.begin(), tree_.end(), 0.0);
    const std::size_t n = pos_.size();
    for (It it = first; it != last; ++it) {
      const unsigned b = *it;
      double best = 0.0;
      for (std::size_t i = pos_[b]; i > 0; i -= i & (~i + 1)) best = std::max(best, tree_[i]);
      loc[b] = best;
      const double t = best + size[b];
      for (std::size_t i = pos_[b] + 1; i <= n; i += i & (~i + 1)) tree_[i] = std::max(tree_[i], t);
    }
    double best = 0.0;
    for (std::size_t i = n; i > 0; i -= i & (~i + 1)) best = std::max(best, tree_[i]);
    return best;
  }

  std::vector<unsigned> pos_;
  std::vector<double> tree_;

 public:
  std::vector<double> xLoc, yLoc;
};

}  // namespace seqpairbench
