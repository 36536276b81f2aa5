#pragma once
// Fiduccia-Mattheyses gain buckets: the free vertices of one side, ordered by
// the gain of moving them across. Vertices of equal gain form a list, the one
// inserted or updated last first. When the gain range is large against the
// number of vertices (heavy net weights) an ordered set stands in for the
// bucket array, with the same order, so that neither memory nor the walk over
// empty buckets grows with the weights.
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace partition {

class GainBuckets {
 public:
  // Prepares for vertices 0..numVertices-1 with gains in [-maxGain, maxGain].
  void reset(int numVertices, std::int64_t maxGain);
  void insert(int v, std::int64_t gain);
  void remove(int v);
  void update(int v, std::int64_t gain) {
    remove(v);
    insert(v, gain);
  }
  bool contains(int v) const { return inQueue_[v] != 0; }
  bool empty() const { return size_ == 0; }

  // The first vertex, in decreasing gain, that `accept` takes among the first
  // `limit` vertices; -1 when none.
  template <class Accept>
  int findBest(Accept accept, int limit) const;

 private:
  int bucketOf(std::int64_t gain) const { return static_cast<int>(gain + offset_); }

  bool useArray_ = true;
  std::int64_t offset_ = 0;
  std::vector<int> head_;  // first vertex of each bucket, -1 when empty
  std::vector<int> next_, prev_;
  std::vector<std::int64_t> gain_;
  std::vector<char> inQueue_;
  mutable int top_ = -1;  // no bucket above this one holds a vertex
  int size_ = 0;
  // Fallback for large gains: (gain, insertion stamp) descending, then vertex.
  std::set<std::pair<std::pair<std::int64_t, std::int64_t>, int>> ordered_;
  std::vector<std::int64_t> stamp_;
  std::int64_t clock_ = 0;
};

template <class Accept>
int GainBuckets::findBest(Accept accept, int limit) const {
  if (size_ == 0) return -1;
  if (!useArray_) {
    for (auto it = ordered_.rbegin(); it != ordered_.rend() && limit > 0; ++it, --limit)
      if (accept(it->second)) return it->second;
    return -1;
  }
  while (head_[top_] < 0) --top_;
  for (int b = top_; b >= 0 && limit > 0; --b) {
    for (int v = head_[b]; v >= 0 && limit > 0; v = next_[v], --limit)
      if (accept(v)) return v;
  }
  return -1;
}

}  // namespace partition
