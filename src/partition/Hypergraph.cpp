#include "partition/Hypergraph.h"

#include <algorithm>

#include "support/Assert.h"

namespace partition {

NetCollector::NetCollector(Hypergraph& g, int maxNets)
    : g_(g), stamp_(g.numVertices(), -1), maxNets_(maxNets) {
  std::size_t size = 16;
  while (size < 2 * static_cast<std::size_t>(maxNets)) size *= 2;
  table_.assign(size, -1);
  OSVO_ASSERT(g.fixedPart.size() == g.vertexWeight.size());
  g_.netStart.assign(1, 0);
  g_.pins.clear();
  g_.netWeight.clear();
}

void NetCollector::add(std::span<const int> netPins, std::int64_t weight) {
  OSVO_ASSERT(added_ < maxNets_);
  const int id = added_++;
  if (weight <= 0) return;
  buffer_.clear();
  for (int v : netPins) {
    if (stamp_[v] == id) continue;
    stamp_[v] = id;
    buffer_.push_back(v);
  }
  if (buffer_.size() < 2) return;
  std::sort(buffer_.begin(), buffer_.end());
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (int v : buffer_) hash = (hash ^ static_cast<std::uint64_t>(v)) * 0x100000001b3ull;

  const std::size_t mask = table_.size() - 1;
  std::size_t slot = hash & mask;
  for (; table_[slot] >= 0; slot = (slot + 1) & mask) {
    const int e = table_[slot];
    if (netHash_[e] != hash) continue;
    const auto other = g_.netPins(e);
    if (std::equal(other.begin(), other.end(), buffer_.begin(), buffer_.end())) {
      g_.netWeight[e] += weight;
      return;
    }
  }
  table_[slot] = g_.numNets();
  netHash_.push_back(hash);
  g_.pins.insert(g_.pins.end(), buffer_.begin(), buffer_.end());
  g_.netStart.push_back(static_cast<int>(g_.pins.size()));
  g_.netWeight.push_back(weight);
}

void NetCollector::finish() {
  Hypergraph& g = g_;
  const int n = g.numVertices();
  g.vertexStart.assign(n + 1, 0);
  for (int v : g.pins) ++g.vertexStart[v + 1];
  for (int v = 0; v < n; ++v) g.vertexStart[v + 1] += g.vertexStart[v];
  g.vertexNets.resize(g.pins.size());
  std::vector<int> fill(g.vertexStart.begin(), g.vertexStart.end() - 1);
  std::vector<std::int64_t> incident(n, 0);
  for (int e = 0; e < g.numNets(); ++e) {
    for (int v : g.netPins(e)) {
      g.vertexNets[fill[v]++] = e;
      incident[v] += g.netWeight[e];
    }
  }
  g.maxIncidentWeight = n ? *std::max_element(incident.begin(), incident.end()) : 0;
  g.totalWeight = 0;
  for (std::int64_t w : g.vertexWeight) g.totalWeight += w;
}

}  // namespace partition
