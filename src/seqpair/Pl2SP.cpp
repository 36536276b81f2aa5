#include "seqpair/Pl2SP.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <numeric>
#include <utility>

namespace {

// A block stands in a row when its snapped y lies within this of the row's.
constexpr double kRowTolerance = 0.0001;
// A row grid so fine that a block would stand in more than this many rows
// around its own, or with more rows than whole numbers in a double, is not
// used: no block stands in a row then.
constexpr double kMaxRowReach = 1000.0;
constexpr double kMaxRows = 4503599627370496.0;  // 2^52

std::size_t commonSize(const std::vector<double>& a, const std::vector<double>& b,
                       const std::vector<double>& c, const std::vector<double>& d) {
  return std::min({a.size(), b.size(), c.size(), d.size()});
}

bool sameSizes(const std::vector<double>& a, const std::vector<double>& b,
               const std::vector<double>& c, const std::vector<double>& d) {
  return a.size() == b.size() && a.size() == c.size() && a.size() == d.size();
}

void printPair(std::ostream& out, const std::vector<unsigned>& x, const std::vector<unsigned>& y) {
  out << "XSequence Pair\n";
  for (unsigned v : x) out << v << "  ";
  out << "\nYSequence Pair\n";
  for (unsigned v : y) out << v << "  ";
  out << "\n";
}

// Overlap of the intervals [lo_i, lo_i + size_i] and [lo_j, lo_j + size_j]
// with tolerance e on the start and end tests, and whether i is the lower
// (left) one of the two.
struct Overlap {
  double amount = 0.0;
  bool iFirst = false;
};

Overlap overlapOf(double loI, double sizeI, double loJ, double sizeJ, double e) {
  const double hiI = loI + sizeI;
  const double hiJ = loJ + sizeJ;
  // j starts below i's start and ends inside i.
  if (loJ < loI + e && loI + e < hiJ && hiJ < hiI + e) return {hiJ - loI, false};
  // j lies inside i: i is the lower one when j sits in i's upper part.
  if (loJ > loI + e && hiJ < hiI + e) return {sizeJ, hiI - hiJ <= loJ - loI};
  // j starts inside i and ends above it.
  if (loJ > loI + e && loJ + e < hiI && hiJ >= hiI + e) return {hiI - loJ, true};
  // i lies inside j: i is the lower one unless it sits in j's upper part.
  if (loJ <= loI + e && hiJ >= hiI + e) return {sizeI, !(hiJ - hiI <= loI - loJ)};
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------
// Pl2SP

Pl2SP::Pl2SP(const std::vector<double>& xloc, const std::vector<double>& yloc,
             const std::vector<double>& widths, const std::vector<double>& heights, PL2SP_ALGO algo)
    : xloc(xloc), yloc(yloc), widths(widths), heights(heights) {
  if (!sameSizes(xloc, yloc, widths, heights)) {
    std::cout << "ERROR: in Pl2SP. Sizes do not match\n";
    // Reading past the shorter vectors would be undefined; the blocks that
    // have all four values are converted.
    const std::size_t n = commonSize(xloc, yloc, widths, heights);
    this->xloc.resize(n);
    this->yloc.resize(n);
    this->widths.resize(n);
    this->heights.resize(n);
  }
  if (algo == NAIVE_ALGO) naiveAlgo();
  if (algo == TCG_ALGO) TCGAlgo();
}

void Pl2SP::print(std::ostream& out) const {
  printPair(out, X, Y);
}

void Pl2SP::print() const {
  print(std::cout);
}

// Rows of the smallest block height h: every y is snapped to the nearest
// multiple of h, and the rows 0 .. R - 1, R = ceil(top / h) + 1, collect the
// blocks within the tolerance of their height, in index order, then sorted
// stably by x. Y lists the rows bottom to top, X top to bottom, each row left
// to right. A block stands only in the rows near its own, so each block's
// candidate rows are tested instead of every row against every block.
void Pl2SP::naiveAlgo() {
  const std::size_t n = xloc.size();
  X.clear();
  Y.clear();
  if (n > 0) {
    const double h = *std::min_element(heights.begin(), heights.end());
    const double top = *std::max_element(yloc.begin(), yloc.end());
    const double rows = std::ceil(top / h) + 1;
    const double reach = std::ceil(kRowTolerance / std::fabs(h)) + 1;
    const bool usable = std::isfinite(h) && h != 0 && reach <= kMaxRowReach && rows <= kMaxRows;
    std::vector<std::pair<double, unsigned>> standing;  // (row, block)
    for (std::size_t i = 0; i < n; ++i) {
      const double row = std::rint(yloc[i] / h);
      yloc[i] = row * h;
      if (!usable || !(std::fabs(row) <= kMaxRows)) continue;
      for (double r = row - reach; r <= row + reach; ++r)
        if (r >= 0 && r <= rows - 1 && std::fabs(yloc[i] - r * h) <= kRowTolerance)
          standing.emplace_back(r, static_cast<unsigned>(i));
    }
    std::sort(standing.begin(), standing.end());
    std::vector<std::vector<unsigned>> rowBlocks;
    for (std::size_t k = 0; k < standing.size();) {
      std::vector<RowElem> row;
      const double r = standing[k].first;
      for (; k < standing.size() && standing[k].first == r; ++k)
        row.push_back({standing[k].second, xloc[standing[k].second]});
      std::stable_sort(row.begin(), row.end(), less_mag());
      rowBlocks.emplace_back();
      for (const RowElem& e : row) rowBlocks.back().push_back(e.index);
    }
    for (const auto& row : rowBlocks) Y.insert(Y.end(), row.begin(), row.end());
    for (auto row = rowBlocks.rbegin(); row != rowBlocks.rend(); ++row)
      X.insert(X.end(), row->begin(), row->end());
  }
  if (X.size() != n || Y.size() != n)
    std::cout << "ERROR: generated sequence pair of not correct sizes " << X.size() << " & "
              << Y.size() << " vs " << n << "\n";
}

// Relations from overlaps: blocks whose y intervals overlap stand side by
// side (H, left of), blocks whose x intervals overlap one above the other (V,
// below); overlapping blocks take the relation of their smaller overlap.
// Both matrices are closed transitively; a pair related more than once keeps
// one kind at random, a pair not related at all is ordered left to right.
void Pl2SP::TCGAlgo() {
  const std::size_t n = xloc.size();
  X.clear();
  Y.clear();
  if (n == 0) return;
  const double e = std::min(*std::min_element(widths.begin(), widths.end()),
                            *std::min_element(heights.begin(), heights.end())) /
                   100000;
  ConstraintGraph H(n, std::vector<char>(n, 0));
  ConstraintGraph V(n, std::vector<char>(n, 0));
  for (std::size_t i = 0; i < n; ++i) {
    H[i][i] = V[i][i] = 1;
    for (std::size_t j = 0; j < i; ++j) {
      const Overlap y = overlapOf(yloc[i], heights[i], yloc[j], heights[j], e);
      const Overlap x = overlapOf(xloc[i], widths[i], xloc[j], widths[j], e);
      if (y.amount != 0 && x.amount == 0) {
        (xloc[j] < xloc[i] ? H[j][i] : H[i][j]) = 1;
      } else if (x.amount != 0 && y.amount == 0) {
        (yloc[j] < yloc[i] ? V[j][i] : V[i][j]) = 1;
      } else if (x.amount != 0 && y.amount != 0) {
        if (y.amount < x.amount)
          (y.iFirst ? V[i][j] : V[j][i]) = 1;
        else
          (x.iFirst ? H[i][j] : H[j][i]) = 1;
      }
    }
  }
  TCG_DP(H);
  TCG_DP(V);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      if (i == j) continue;
      if (H[i][j] && H[j][i]) std::cout << "ERROR in TCG 1 " << i << "\t" << j << "\n";
      if (V[i][j] && V[j][i]) std::cout << "ERROR in TCG 2 " << i << "\t" << j << "\n";
      const int related = H[i][j] + H[j][i] + V[i][j] + V[j][i];
      if (related > 1) {
        if (std::rand() % 2 == 0) {
          V[i][j] = V[j][i] = 0;
        } else {
          H[i][j] = H[j][i] = 0;
        }
      }
      if (!H[i][j] && !H[j][i] && !V[i][j] && !V[j][i] && xloc[i] < xloc[j]) H[i][j] = 1;
    }
  }
  X.resize(n);
  Y.resize(n);
  std::iota(X.begin(), X.end(), 0u);
  std::iota(Y.begin(), Y.end(), 0u);
  // The relations need not be orders (a random choice above, blocks that
  // overlap); the merge sort stays inside the range whatever they say.
  std::stable_sort(X.begin(), X.end(), SPXRelation(H, V));
  std::stable_sort(Y.begin(), Y.end(), SPYRelation(H, V));
}

void Pl2SP::TCG_DP(ConstraintGraph& graph) {
  const std::size_t n = graph.size();
  const ConstraintGraph edges = graph;
  for (auto& row : graph) std::fill(row.begin(), row.end(), 0);
  std::vector<int> visitNumber(n, -1);
  visitCount = 0;
  for (std::size_t v = 0; v < n; ++v)
    if (visitNumber[v] < 0) TCGDfs(static_cast<unsigned>(v), edges, graph, visitNumber);
}

// Depth-first visit from root with an explicit stack (a deep chain of blocks
// would otherwise exhaust the call stack). Every block reached along an edge
// is set in the visited block's row, and, once it has been visited itself, its
// whole reach joins the row.
void Pl2SP::TCGDfs(unsigned root, const ConstraintGraph& edges, ConstraintGraph& reach,
                   std::vector<int>& visitNumber) {
  const std::size_t n = edges.size();
  struct Frame {
    unsigned v;
    std::size_t next;
  };
  std::vector<Frame> stack{{root, 0}};
  visitNumber[root] = visitCount++;
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == n) {
      const unsigned done = f.v;
      stack.pop_back();
      if (!stack.empty()) {
        std::vector<char>& row = reach[stack.back().v];
        const std::vector<char>& add = reach[done];
        for (std::size_t k = 0; k < n; ++k) row[k] = row[k] | add[k];
      }
      continue;
    }
    const std::size_t w = f.next++;
    if (!edges[f.v][w]) continue;
    reach[f.v][w] = 1;
    if (visitNumber[w] < 0) {
      visitNumber[w] = visitCount++;
      stack.push_back({static_cast<unsigned>(w), 0});
      continue;  // its reach joins when its visit ends
    }
    std::vector<char>& row = reach[f.v];
    const std::vector<char>& add = reach[w];
    for (std::size_t k = 0; k < n; ++k) row[k] = row[k] | add[k];
  }
}

// ---------------------------------------------------------------------------
// Pl2SP_new

Pl2SP_new::Pl2SP_new(const std::vector<double>& xloc, const std::vector<double>& yloc,
                     const std::vector<double>& widths, const std::vector<double>& heights)
    : xloc(xloc), yloc(yloc), widths(widths), heights(heights) {
  if (!sameSizes(xloc, yloc, widths, heights))
    std::cout << "ERROR: in Pl2SP_new. Sizes do not match\n";
  X.resize(xloc.size());
  std::iota(X.begin(), X.end(), 0u);
  Y = X;
}

void Pl2SP_new::print(std::ostream& out) const {
  printPair(out, X, Y);
}

void Pl2SP_new::print() const {
  print(std::cout);
}
