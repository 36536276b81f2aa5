#pragma once
// A floorplan of N blocks as a sequence pair: two permutations X and Y of the
// block indices 0..N-1. Block a is left of block b when a precedes b in both
// sequences; a is below b when a follows b in X and precedes it in Y.
#include <vector>

class SeqPair {
 public:
  // X and Y become 0..size-1, each then shuffled (X first, then Y) over the
  // process-wide 48-bit generator (lrand48), so a seed reproduces the pair.
  explicit SeqPair(unsigned size);
  // Copies both sequences; complains on standard output when their lengths differ.
  SeqPair(const std::vector<unsigned>& X, const std::vector<unsigned>& Y);

  std::vector<unsigned>& getX() { return X; }
  std::vector<unsigned>& getY() { return Y; }
  const std::vector<unsigned>& getX() const { return X; }
  const std::vector<unsigned>& getY() const { return Y; }
  void putX(const std::vector<unsigned>& seq) { X = seq; }
  void putY(const std::vector<unsigned>& seq) { Y = seq; }
  unsigned getSize() const { return static_cast<unsigned>(X.size()); }

  void printX() const;
  void printY() const;

 private:
  std::vector<unsigned> X;
  std::vector<unsigned> Y;
};
