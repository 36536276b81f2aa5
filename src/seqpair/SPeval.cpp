#include "seqpair/SPeval.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <numeric>
#include <tuple>
#include <type_traits>
#include <utility>

#include "support/Assert.h"

namespace {

// The prefix-maximum trees of N positions take bit_width(N) steps per walk and
// 2^steps + 1 entries (see placeBlock).
std::size_t treeLevels(std::size_t n) {
  return static_cast<std::size_t>(std::bit_width(n));
}

std::size_t treeEntries(std::size_t n) {
  return (std::size_t{1} << treeLevels(n)) + 1;
}

}  // namespace

SPeval::SPeval(std::vector<double> heights, std::vector<double> widths)
    : heights(std::move(heights)), widths(std::move(widths)) {
  const std::size_t n = this->heights.size();
  OSVO_ASSERT(this->widths.size() == n);
  X.assign(n, 0);
  Y.assign(n, 0);
  reversedX.assign(n, 0);
  match.assign(n, 0);
  lcsLengths.assign(n, 0.0);
  xLoc.assign(n, 0.0);
  yLoc.assign(n, 0.0);
  xLocRev.assign(n, 0.0);
  yLocRev.assign(n, 0.0);
  xSlacks.assign(n, 0.0);
  ySlacks.assign(n, 0.0);
  horizCG.assign(n, std::vector<char>(n, 0));
  vertCG.assign(n, std::vector<char>(n, 0));
  prefixMax_.assign(2 * treeEntries(n), 0.0);
}

// The sequences always hold N entries, so copying them reuses the members'
// storage. A pair of another length would make the evaluation index outside
// the per-block arrays, hence the check.
void SPeval::copyPair(const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  OSVO_ASSERT(x.size() == heights.size() && y.size() == heights.size());
  X = x;
  Y = y;
}

void SPeval::reverseX() {
  std::reverse_copy(X.begin(), X.end(), reversedX.begin());
}

void SPeval::clearMatch() {
  std::fill(match.begin(), match.end(), 0u);
}

// ---------------------------------------------------------------------------
// Weighted LCS kernels. lengths[j] holds the longest weighted chain ending at
// or before position j of y; it is non-decreasing in j, so a scan that meets a
// value not below the new chain can stop there.

double SPeval::_lcsCompute(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                           const std::vector<double>& weights, std::vector<unsigned>& matchArr,
                           std::vector<double>& loc, std::vector<double>& lengths) {
  const std::size_t n = x.size();
  if (n == 0) return 0.0;  // no blocks: an empty packing
  const unsigned* xs = x.data();
  const unsigned* ys = y.data();
  const double* w = weights.data();
  unsigned* m = matchArr.data();
  double* l = loc.data();
  double* len = lengths.data();
  for (std::size_t i = 0; i < n; ++i) {
    m[ys[i]] = static_cast<unsigned>(i);
    len[i] = 0.0;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned b = xs[i];
    const std::size_t p = m[b];
    const double start = len[p];
    l[b] = start;
    const double t = start + w[b];
    for (std::size_t j = p; j < n && t > len[j]; ++j) len[j] = t;
  }
  return len[n - 1];
}

double SPeval::_lcsReverseCompute(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                                  const std::vector<double>& weights,
                                  std::vector<unsigned>& matchArr, std::vector<double>& loc,
                                  std::vector<double>& lengths) {
  const std::size_t n = x.size();
  if (n == 0) return 0.0;
  const unsigned* xs = x.data();
  const unsigned* ys = y.data();
  const double* w = weights.data();
  unsigned* m = matchArr.data();
  double* l = loc.data();
  double* len = lengths.data();
  for (std::size_t i = 0; i < n; ++i) {
    m[ys[i]] = static_cast<unsigned>(i);
    len[i] = 0.0;
  }
  for (std::size_t i = n; i-- > 0;) {
    const unsigned b = xs[i];
    const std::size_t p = m[b];
    const double start = len[p];
    l[b] = start;
    const double t = start + w[b];
    // Scan p, p-1, ... 0 while the new chain is strictly longer.
    for (std::size_t j = p + 1; j-- > 0 && t > len[j];) len[j] = t;
  }
  return len[0];
}

double SPeval::_lcsComputeCompact(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                                  const std::vector<double>& weights,
                                  std::vector<unsigned>& matchArr, std::vector<double>& loc,
                                  std::vector<double>& lengths, const std::vector<double>& otherLoc,
                                  const std::vector<double>& otherWeights) {
  const std::size_t n = x.size();
  if (n == 0) return 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    matchArr[y[i]] = static_cast<unsigned>(i);
    lengths[i] = 0.0;
  }
  double maxLength = -1e100;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned b = x[i];
    const std::size_t p = matchArr[b];
    loc[b] = lengths[p];
    const double t = loc[b] + weights[b];
    const double bLo = otherLoc[b];
    const double bHi = otherLoc[b] + otherWeights[b];
    for (std::size_t j = p; j < n; ++j) {
      const unsigned c = y[j];
      // Only a block overlapping b in the other dimension is constrained by it.
      if (bLo < otherLoc[c] + otherWeights[c] && otherLoc[c] < bHi && t > lengths[j]) {
        lengths[j] = t;
        if (t > maxLength) maxLength = t;
      }
    }
  }
  return maxLength;
}

// ---------------------------------------------------------------------------
// The same packings through a tree of prefix maxima.
//
// After the blocks before b in X have been placed, the scan's lengths[j] is the
// largest end (loc + weight) among the placed blocks at positions 0..j of Y, or
// 0: every raise writes its end into a suffix of the array, and the early stop
// only skips entries already at least as large. So the scan's loc[b] is the
// largest end among the placed blocks before b's position in Y. A Fenwick tree
// over the positions answers that prefix maximum and records a new end in
// O(log N) steps. The ends are the same sums of the same operands and a maximum
// is exact, so the results are identical to the scan's; an end that is not
// above the stored value (including NaN) is not recorded, as in the scan.

void SPeval::locateInY() {
  const std::size_t n = Y.size();
  for (std::size_t i = 0; i < n; ++i) match[Y[i]] = static_cast<unsigned>(i);
}

namespace {

// Walks of a Fenwick tree of prefix maxima over the N positions of Y, with
// 2^L + 1 entries, L = bit_width(N): entry 0 stays 0, entries 1..N - 1 hold
// the maxima that queries read (a query covers the positions before p <= N - 1),
// entries from N on only absorb writes.
//
// Both walks take L steps, so their loops never mispredict, and each step's
// entry is computed from the position alone, so the steps do not wait for one
// another. For the bit mask m = 2^s - 1 the query reads entry p & ~m (the
// usual walk down from p, an entry repeated while bit s of p is clear, then
// entry 0) and the update writes entry (p | m) + 1 (the usual walk up from
// p + 1, with repeats, until past N). A maximum taken twice is the same.
//
// Levels > 0 fixes L at compile time, which unrolls the walks; 0 reads it
// from `levels`.
template <std::size_t Levels>
[[gnu::always_inline]] inline double placeBlock(double* tree, std::size_t levels, std::size_t p,
                                                double weight, double& start) {
  const std::size_t steps = Levels ? Levels : levels;
  // Two partial maxima halve the chain of dependent maxima. Every entry is at
  // least 0 (the entries start at 0 and only grow), so the first entries
  // start the maxima: no comparison with a constant, which the compiler turns
  // into a branch.
  double even = tree[p];
  double odd = tree[p & ~std::size_t{1}];
#pragma GCC unroll 32
  for (std::size_t s = 2; s < steps; s += 2) {
    even = std::max(even, tree[p & ~((std::size_t{1} << s) - 1)]);
    odd = std::max(odd, tree[p & ~((std::size_t{2} << s) - 1)]);
  }
  start = std::max(even, odd);
  const double end = start + weight;
#pragma GCC unroll 32
  for (std::size_t s = 0; s < steps; ++s) {
    double& entry = tree[(p | ((std::size_t{1} << s) - 1)) + 1];
    entry = end > entry ? end : entry;
  }
  return end;
}

// Calls f with std::integral_constant<std::size_t, levels> for the tree sizes
// worth unrolling, else with the constant 0.
template <class F>
decltype(auto) withLevels(std::size_t levels, F&& f) {
  switch (levels) {
#define OSVO_LEVELS_CASE(L) \
  case L:                   \
    return f(std::integral_constant<std::size_t, L>{});
    OSVO_LEVELS_CASE(1)
    OSVO_LEVELS_CASE(2)
    OSVO_LEVELS_CASE(3)
    OSVO_LEVELS_CASE(4)
    OSVO_LEVELS_CASE(5)
    OSVO_LEVELS_CASE(6)
    OSVO_LEVELS_CASE(7)
    OSVO_LEVELS_CASE(8)
    OSVO_LEVELS_CASE(9)
    OSVO_LEVELS_CASE(10)
    OSVO_LEVELS_CASE(11)
    OSVO_LEVELS_CASE(12)
#undef OSVO_LEVELS_CASE
    default:
      return f(std::integral_constant<std::size_t, 0>{});
  }
}

}  // namespace

template <bool Backward, bool Mirror>
double SPeval::treePack(const std::vector<double>& weights, std::vector<double>& loc) {
  const std::size_t n = X.size();
  if (n == 0) return 0.0;
  const std::size_t levels = treeLevels(n);
  double* tree = prefixMax_.data();
  std::fill(tree, tree + n, 0.0);
  return withLevels(levels, [&](auto fixed) {
    double longest = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      const unsigned b = Backward ? X[n - 1 - k] : X[k];
      const std::size_t p = Mirror ? n - 1 - match[b] : match[b];
      longest = std::max(longest, placeBlock<fixed()>(tree, levels, p, weights[b], loc[b]));
    }
    return longest;
  });
}

// Two packings at once, one over X from its start and one from its end: two
// independent chains of work for the processor to overlap.
template <bool Mirror>
std::pair<double, double> SPeval::treePackBoth(const std::vector<double>& forwardWeights,
                                               std::vector<double>& forwardLoc,
                                               const std::vector<double>& backwardWeights,
                                               std::vector<double>& backwardLoc) {
  const std::size_t n = X.size();
  if (n == 0) return {0.0, 0.0};
  const std::size_t levels = treeLevels(n);
  double* forward = prefixMax_.data();
  double* backward = forward + treeEntries(n);
  std::fill(forward, forward + n, 0.0);
  std::fill(backward, backward + n, 0.0);
  const unsigned* xs = X.data();
  const unsigned* pos = match.data();
  const double* fw = forwardWeights.data();
  const double* bw = backwardWeights.data();
  double* fl = forwardLoc.data();
  double* bl = backwardLoc.data();
  return withLevels(levels, [&](auto fixed) {
    double forwardLongest = 0.0, backwardLongest = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      const unsigned f = xs[k];
      const unsigned b = xs[n - 1 - k];
      const std::size_t fp = Mirror ? n - 1 - pos[f] : pos[f];
      const std::size_t bp = Mirror ? n - 1 - pos[b] : pos[b];
      forwardLongest =
          std::max(forwardLongest, placeBlock<fixed()>(forward, levels, fp, fw[f], fl[f]));
      backwardLongest =
          std::max(backwardLongest, placeBlock<fixed()>(backward, levels, bp, bw[b], bl[b]));
    }
    return std::pair<double, double>(forwardLongest, backwardLongest);
  });
}

// ---------------------------------------------------------------------------
// Packings.

void SPeval::evaluate(const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  copyPair(x, y);
  locateInY();
  reverseX();  // as yEval leaves it
  std::tie(xSize, ySize) = treePackBoth<false>(widths, xLoc, heights, yLoc);
}

double SPeval::xEval() {
  locateInY();
  return treePack<false, false>(widths, xLoc);
}

// Reversing X turns "below" into "before in both sequences", so the vertical
// packing is the same LCS over (reversed X, Y) with the heights.
double SPeval::yEval() {
  reverseX();
  locateInY();
  return treePack<true, false>(heights, yLoc);
}

// The reverse packings are the same LCS from the far ends of both sequences.
void SPeval::xEvalRev() {
  locateInY();
  treePack<true, true>(widths, xLocRev);
}

void SPeval::yEvalRev() {
  reverseX();
  locateInY();
  treePack<false, true>(heights, yLocRev);
}

void SPeval::evalSlacks(const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  evaluate(x, y);
  // evaluate has located the blocks in Y and reversed X already.
  treePackBoth<true>(heights, yLocRev, widths, xLocRev);
  slacksFromReversePackings();
}

void SPeval::slacksFromReversePackings() {
  const std::size_t n = heights.size();
  for (std::size_t i = 0; i < n; ++i) {
    // Latest position that keeps the packing size, then the room to move as
    // a percentage of the packing size. A packing of size 0 (every block of
    // that size 0) leaves no room: its slacks are 0 rather than 0/0.
    xLocRev[i] = xSize - xLocRev[i] - widths[i];
    yLocRev[i] = ySize - yLocRev[i] - heights[i];
    xSlacks[i] = xSize != 0 ? (xLocRev[i] - xLoc[i]) * 100 / xSize : 0.0;
    ySlacks[i] = ySize != 0 ? (yLocRev[i] - yLoc[i]) * 100 / ySize : 0.0;
  }
}

void SPeval::evaluateCompact(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                             bool compactY) {
  copyPair(x, y);
  if (compactY) {
    xSize = xEval();
    ySize = yEvalCompact();
  } else {
    ySize = yEval();
    xSize = xEvalCompact();
  }
}

double SPeval::xEvalCompact() {
  clearMatch();
  return _lcsComputeCompact(X, Y, widths, match, xLoc, lcsLengths, yLoc, heights);
}

double SPeval::yEvalCompact() {
  reverseX();
  clearMatch();
  return _lcsComputeCompact(reversedX, Y, heights, match, yLoc, lcsLengths, xLoc, widths);
}

// ---------------------------------------------------------------------------
// Block sizes.

void SPeval::changeWidths(const std::vector<double>& w) {
  OSVO_ASSERT(w.size() == widths.size());
  widths = w;
}

void SPeval::changeHeights(const std::vector<double>& h) {
  OSVO_ASSERT(h.size() == heights.size());
  heights = h;
}

void SPeval::changeOrient(unsigned i) {
  std::swap(heights[i], widths[i]);
}

// ---------------------------------------------------------------------------
// Constraint graphs.

void SPeval::computeConstraintGraphs() {
  const std::size_t n = heights.size();
  std::vector<std::size_t> posX(n, 0);
  std::vector<std::size_t> posY(n, 0);
  for (std::size_t k = 0; k < n; ++k) {
    posX[X[k]] = k;
    posY[Y[k]] = k;
  }
  for (std::size_t i = 0; i < n; ++i) {
    std::vector<char>& hRow = horizCG[i];
    std::vector<char>& vRow = vertCG[i];
    for (std::size_t j = 0; j < n; ++j) {
      if (i == j) {
        hRow[j] = 1;
        vRow[j] = 1;
        continue;
      }
      // i before j in both sequences: i left of j. i after j in X and before
      // it in Y: i below j. The mirrored cases are set from row j.
      hRow[j] = posX[i] < posX[j] && posY[i] < posY[j];
      vRow[j] = posX[i] > posX[j] && posY[i] < posY[j];
    }
  }
}

void SPeval::removeRedundantConstraints(bool inY) {
  const std::size_t n = heights.size();
  // The dimension in which overlap is tested, and the graph whose edges may move.
  const std::vector<double>& lo = inY ? yLoc : xLoc;
  const std::vector<double>& size = inY ? heights : widths;
  ConstraintGraph& from = inY ? horizCG : vertCG;
  ConstraintGraph& to = inY ? vertCG : horizCG;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      if (i == j || !from[i][j]) continue;
      const double loI = lo[i];
      const double hiI = lo[i] + size[i];
      const double loJ = lo[j];
      const double hiJ = lo[j] + size[j];
      if (loI < hiJ && loJ < hiI) continue;  // they overlap: the edge is needed
      from[i][j] = 0;
      if (loJ <= loI)
        to[j][i] = 1;
      else
        to[i][j] = 1;
    }
  }
}

// The relations are strict total orders when the graphs come from a sequence
// pair, and then any sort yields the same sequences. After constraints have
// been moved they may contain cycles; std::sort can then run outside the
// range, whereas the merge sort stays inside it whatever the comparator says.
void SPeval::computeSPFromCG() {
  std::iota(X.begin(), X.end(), 0u);
  std::iota(Y.begin(), Y.end(), 0u);
  std::stable_sort(X.begin(), X.end(), SPXRelation(horizCG, vertCG));
  std::stable_sort(Y.begin(), Y.end(), SPYRelation(horizCG, vertCG));
}

// A block is never ordered before itself, although the graphs' diagonals are set.
bool SPXRelation::operator()(unsigned i, unsigned j) const {
  if (i == j) return false;
  if (horizCG[i][j]) return true;
  if (horizCG[j][i]) return false;
  if (vertCG[j][i]) return true;  // i above j
  if (vertCG[i][j]) return false;
  return i < j;
}

bool SPYRelation::operator()(unsigned i, unsigned j) const {
  if (i == j) return false;
  if (horizCG[i][j]) return true;
  if (horizCG[j][i]) return false;
  if (vertCG[j][i]) return false;
  if (vertCG[i][j]) return true;  // i below j
  return i < j;
}
