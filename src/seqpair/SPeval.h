#pragma once
// Evaluation of a sequence pair into a packing: the lower-left corner of every
// block, the packing's width and height, and the slack of every block. Also
// converts between a sequence pair and horizontal/vertical constraint graphs.
//
// All members are public: the annealer reads the result arrays directly after
// every evaluation. Every working array is sized once at construction, so an
// evaluation allocates nothing.
//
// The packings are computed with trees of prefix maxima in O(N log N); they
// give exactly the locations, sizes and slacks of the O(N^2) scans
// (_lcsCompute, _lcsReverseCompute), which remain for reference.
#include <cstddef>
#include <utility>
#include <vector>

// N x N boolean matrix, graph[a][b] != 0 meaning an edge from a to b.
using ConstraintGraph = std::vector<std::vector<char>>;

class SPeval {
 public:
  // N is the number of heights; widths must have as many entries.
  SPeval(std::vector<double> heights, std::vector<double> widths);

  // Packs the pair: afterwards xLoc, yLoc, xSize and ySize describe the packing.
  // Both sequences must hold N entries; a pair of zero blocks packs to size 0.
  void evaluate(const std::vector<unsigned>& x, const std::vector<unsigned>& y);
  double xEval();
  double yEval();
  // As evaluate, then the reverse packings and the slack of every block
  // (percent of the packing size; 0 on a critical chain).
  void evalSlacks(const std::vector<unsigned>& x, const std::vector<unsigned>& y);
  void xEvalRev();
  void yEvalRev();
  // Packs one dimension normally and compacts the other (y when compactY is
  // set, x otherwise), ignoring blocks that do not overlap in the first one.
  void evaluateCompact(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                       bool compactY);
  double xEvalCompact();
  double yEvalCompact();

  void changeWidths(const std::vector<double>& w);
  void changeHeights(const std::vector<double>& h);
  void changeNodeWidth(unsigned i, double w) { widths[i] = w; }
  void changeNodeHeight(unsigned i, double h) { heights[i] = h; }
  // A quarter turn of block i: its width and height are exchanged.
  void changeOrient(unsigned i);

  void computeConstraintGraphs();
  void removeRedundantConstraints(bool inY);
  void computeSPFromCG();

  // Weighted longest common subsequence over (x, y): loc[b] receives the
  // longest chain before block b; returns the longest chain overall.
  double _lcsCompute(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                     const std::vector<double>& weights, std::vector<unsigned>& matchArr,
                     std::vector<double>& loc, std::vector<double>& lengths);
  // The same from the far end: loc[b] receives the longest chain after block b.
  double _lcsReverseCompute(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                            const std::vector<double>& weights, std::vector<unsigned>& matchArr,
                            std::vector<double>& loc, std::vector<double>& lengths);
  // Forward LCS where only blocks overlapping in the other dimension constrain.
  double _lcsComputeCompact(const std::vector<unsigned>& x, const std::vector<unsigned>& y,
                            const std::vector<double>& weights, std::vector<unsigned>& matchArr,
                            std::vector<double>& loc, std::vector<double>& lengths,
                            const std::vector<double>& otherLoc,
                            const std::vector<double>& otherWeights);

  std::vector<double> heights;
  std::vector<double> widths;
  std::vector<unsigned> X;
  std::vector<unsigned> Y;
  std::vector<unsigned> reversedX;
  std::vector<unsigned> match;
  std::vector<double> lcsLengths;
  std::vector<double> xLoc;
  std::vector<double> yLoc;
  double xSize = 0;
  double ySize = 0;
  std::vector<double> xLocRev;
  std::vector<double> yLocRev;
  std::vector<double> xSlacks;
  std::vector<double> ySlacks;
  ConstraintGraph horizCG;  // horizCG[a][b]: a is left of b
  ConstraintGraph vertCG;   // vertCG[a][b]: a is below b

 private:
  void copyPair(const std::vector<unsigned>& x, const std::vector<unsigned>& y);
  void reverseX();
  void clearMatch();

  // match[b] = position of block b in Y, for the tree packings.
  void locateInY();
  // Weighted LCS over X (from its end when Backward) against Y (read from its
  // end when Mirror) through the tree, with match holding the positions in Y.
  template <bool Backward, bool Mirror>
  double treePack(const std::vector<double>& weights, std::vector<double>& loc);
  // The packings over X from its start and from its end at once; their sizes.
  template <bool Mirror>
  std::pair<double, double> treePackBoth(const std::vector<double>& forwardWeights,
                                         std::vector<double>& forwardLoc,
                                         const std::vector<double>& backwardWeights,
                                         std::vector<double>& backwardLoc);
  void slacksFromReversePackings();

  // Two Fenwick trees of prefix maxima over the positions of Y (see placeBlock).
  std::vector<double> prefixMax_;
};

// Order of blocks in X implied by the constraint graphs: i precedes j when i is
// left of j or above j; unrelated blocks keep index order.
class SPXRelation {
 public:
  SPXRelation(const ConstraintGraph& horizCG, const ConstraintGraph& vertCG)
      : horizCG(horizCG), vertCG(vertCG) {}
  bool operator()(unsigned i, unsigned j) const;

 private:
  const ConstraintGraph& horizCG;
  const ConstraintGraph& vertCG;
};

// Order of blocks in Y implied by the constraint graphs: i precedes j when i is
// left of j or below j; unrelated blocks keep index order.
class SPYRelation {
 public:
  SPYRelation(const ConstraintGraph& horizCG, const ConstraintGraph& vertCG)
      : horizCG(horizCG), vertCG(vertCG) {}
  bool operator()(unsigned i, unsigned j) const;

 private:
  const ConstraintGraph& horizCG;
  const ConstraintGraph& vertCG;
};
