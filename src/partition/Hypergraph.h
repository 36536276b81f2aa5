#pragma once
// The weighted hypergraph the bisection works on, at every level of the
// multilevel hierarchy. Nets are kept clean: distinct pins, at least two of
// them, positive weight, and no two nets with the same pin set (their weights
// are summed), so a net's cut state depends only on its pin counts per part.
#include <cstdint>
#include <span>
#include <vector>

namespace partition {

struct Hypergraph {
  std::vector<std::int64_t> vertexWeight;
  std::vector<std::int8_t> fixedPart;  // -1 free, else the part the vertex must stay in
  std::vector<int> netStart;           // pins of net e: pins[netStart[e] .. netStart[e + 1])
  std::vector<int> pins;
  std::vector<std::int64_t> netWeight;
  std::vector<int> vertexStart;  // nets of vertex v: vertexNets[vertexStart[v] .. [v + 1])
  std::vector<int> vertexNets;
  std::int64_t totalWeight = 0;
  // Largest total weight of the nets on one vertex: bounds every move gain.
  std::int64_t maxIncidentWeight = 0;

  int numVertices() const { return static_cast<int>(vertexWeight.size()); }
  int numNets() const { return static_cast<int>(netWeight.size()); }
  std::span<const int> netPins(int e) const {
    return {pins.data() + netStart[e], pins.data() + netStart[e + 1]};
  }
  std::span<const int> incidentNets(int v) const {
    return {vertexNets.data() + vertexStart[v], vertexNets.data() + vertexStart[v + 1]};
  }
  bool isFixed(int v) const { return fixedPart[v] >= 0; }
};

// Collects the nets of a hypergraph whose vertices are already set: drops
// repeated pins, nets of fewer than two pins and nets of weight zero, and
// merges nets over the same pin set.
class NetCollector {
 public:
  // g's vertex weights and fixed parts must be set; at most maxNets are added.
  NetCollector(Hypergraph& g, int maxNets);
  void add(std::span<const int> netPins, std::int64_t weight);
  // Builds the vertex-to-net incidence and the totals; the collector is spent.
  void finish();

 private:
  Hypergraph& g_;
  std::vector<int> stamp_;  // last net that saw each vertex (drops repeated pins)
  std::vector<int> buffer_;
  // Open-addressing table of the nets kept so far, by a hash of their pins.
  std::vector<int> table_;
  std::vector<std::uint64_t> netHash_;
  int added_ = 0;
  int maxNets_;
};

}  // namespace partition
