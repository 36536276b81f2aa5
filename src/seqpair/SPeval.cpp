#include "seqpair/SPeval.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <utility>

#include "support/Assert.h"

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
// Packings.

void SPeval::evaluate(const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  copyPair(x, y);
  xSize = xEval();
  ySize = yEval();
}

double SPeval::xEval() {
  clearMatch();
  return _lcsCompute(X, Y, widths, match, xLoc, lcsLengths);
}

// Reversing X turns "below" into "before in both sequences", so the vertical
// packing is the same LCS over (reversed X, Y) with the heights.
double SPeval::yEval() {
  reverseX();
  clearMatch();
  return _lcsCompute(reversedX, Y, heights, match, yLoc, lcsLengths);
}

void SPeval::xEvalRev() {
  clearMatch();
  _lcsReverseCompute(X, Y, widths, match, xLocRev, lcsLengths);
}

void SPeval::yEvalRev() {
  reverseX();
  clearMatch();
  _lcsReverseCompute(reversedX, Y, heights, match, yLocRev, lcsLengths);
}

void SPeval::evalSlacks(const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  evaluate(x, y);
  xEvalRev();
  yEvalRev();
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
