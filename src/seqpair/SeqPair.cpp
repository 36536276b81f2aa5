#include "seqpair/SeqPair.h"

#include <cstdlib>
#include <iostream>
#include <numeric>
#include <utility>

namespace {

// The classic random shuffle: position i (from 1 on) is exchanged with a
// position drawn from 0..i by the next value of lrand48.
void shuffle48(std::vector<unsigned>& seq) {
  for (std::size_t i = 1; i < seq.size(); ++i) {
    const std::size_t r = static_cast<std::size_t>(lrand48()) % (i + 1);
    std::swap(seq[i], seq[r]);
  }
}

void printSeq(const char* title, const std::vector<unsigned>& seq) {
  std::cout << title << '\n';
  for (unsigned v : seq) std::cout << v << ' ';
  std::cout << '\n';
}

}  // namespace

SeqPair::SeqPair(unsigned size) : X(size), Y(size) {
  std::iota(X.begin(), X.end(), 0u);
  std::iota(Y.begin(), Y.end(), 0u);
  shuffle48(X);
  shuffle48(Y);
}

SeqPair::SeqPair(const std::vector<unsigned>& X, const std::vector<unsigned>& Y) : X(X), Y(Y) {
  if (X.size() != Y.size()) std::cout << "ERROR: Input Sequence Pairs of different sizes\n";
}

void SeqPair::printX() const {
  printSeq("X Seq Pair", X);
}

void SeqPair::printY() const {
  printSeq("Y Seq Pair", Y);
}
