#pragma once
// Conversion of an existing placement (lower-left corner, width and height of
// every block) into a sequence pair that reproduces the blocks' relative
// positions, so that a floorplanner can start from a given placement.
//
// Two algorithms: a row-based one for placements whose blocks stand in rows of
// the smallest block height (naiveAlgo), and one that derives left-of and
// below relations from the blocks' overlaps, closes them transitively and
// sorts the blocks by them (TCGAlgo).
#include <ostream>
#include <vector>

#include "seqpair/SPeval.h"

enum PL2SP_ALGO : int { NAIVE_ALGO = 0, TCG_ALGO = 1 };

// A block of a row: its index and its x location.
struct RowElem {
  unsigned index = 0;
  double xloc = 0.0;
};

// Orders the blocks of a row from left to right.
struct less_mag {
  bool operator()(const RowElem& a, const RowElem& b) const { return a.xloc < b.xloc; }
};

class Pl2SP {
 public:
  // Copies the four vectors and runs the algorithm: NAIVE_ALGO or TCG_ALGO;
  // any other value leaves both sequences empty. Vectors of different lengths
  // are reported on standard output; the blocks that have all four values
  // are converted.
  Pl2SP(const std::vector<double>& xloc, const std::vector<double>& yloc,
        const std::vector<double>& widths, const std::vector<double>& heights, PL2SP_ALGO algo);

  const std::vector<unsigned>& getX() const { return X; }
  const std::vector<unsigned>& getY() const { return Y; }
  // "XSequence Pair", the entries of X, "YSequence Pair", the entries of Y.
  void print(std::ostream& out) const;
  void print() const;

 private:
  void naiveAlgo();
  void TCGAlgo();
  // Replaces the matrix by its transitive closure (depth-first, from every
  // block not yet visited in index order).
  void TCG_DP(ConstraintGraph& graph);
  void TCGDfs(unsigned root, const ConstraintGraph& edges, ConstraintGraph& reach,
              std::vector<int>& visitNumber);

  std::vector<double> xloc;
  std::vector<double> yloc;
  std::vector<double> widths;
  std::vector<double> heights;
  std::vector<unsigned> X;
  std::vector<unsigned> Y;
  int visitCount = 0;  // visit numbers of the closure's depth-first search
};

// Takes the same placement and yields the pair in index order: X and Y are
// both 0, 1, ..., N - 1 (N the number of x locations).
class Pl2SP_new {
 public:
  Pl2SP_new(const std::vector<double>& xloc, const std::vector<double>& yloc,
            const std::vector<double>& widths, const std::vector<double>& heights);

  const std::vector<unsigned>& getX() const { return X; }
  const std::vector<unsigned>& getY() const { return Y; }
  void print(std::ostream& out) const;
  void print() const;

 private:
  std::vector<double> xloc;
  std::vector<double> yloc;
  std::vector<double> widths;
  std::vector<double> heights;
  std::vector<unsigned> X;
  std::vector<unsigned> Y;
};
