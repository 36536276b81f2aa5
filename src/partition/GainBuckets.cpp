#include "partition/GainBuckets.h"

#include "support/Assert.h"

namespace partition {

void GainBuckets::reset(int numVertices, std::int64_t maxGain) {
  OSVO_ASSERT(maxGain >= 0);
  useArray_ = maxGain <= 16 * static_cast<std::int64_t>(numVertices) + 256;
  offset_ = maxGain;
  if (useArray_) head_.assign(2 * maxGain + 1, -1);
  next_.assign(numVertices, -1);
  prev_.assign(numVertices, -1);
  gain_.assign(numVertices, 0);
  inQueue_.assign(numVertices, 0);
  stamp_.assign(useArray_ ? 0 : numVertices, 0);
  ordered_.clear();
  top_ = -1;
  size_ = 0;
}

void GainBuckets::insert(int v, std::int64_t gain) {
  OSVO_ASSERT(!inQueue_[v] && gain >= -offset_ && gain <= offset_);
  inQueue_[v] = 1;
  gain_[v] = gain;
  ++size_;
  if (!useArray_) {
    stamp_[v] = ++clock_;
    ordered_.insert({{gain, clock_}, v});
    return;
  }
  const int b = bucketOf(gain);
  prev_[v] = -1;
  next_[v] = head_[b];
  if (head_[b] >= 0) prev_[head_[b]] = v;
  head_[b] = v;
  if (b > top_) top_ = b;
}

void GainBuckets::remove(int v) {
  OSVO_ASSERT(inQueue_[v]);
  inQueue_[v] = 0;
  --size_;
  if (!useArray_) {
    ordered_.erase({{gain_[v], stamp_[v]}, v});
    return;
  }
  if (prev_[v] >= 0)
    next_[prev_[v]] = next_[v];
  else
    head_[bucketOf(gain_[v])] = next_[v];
  if (next_[v] >= 0) prev_[next_[v]] = prev_[v];
}

}  // namespace partition
