#pragma once
// The pad locations of a master version: one per port of the master.
//
// A design read from a netlist has masters with many ports and many versions
// (every block instance appends its own), and every pad starts at the origin;
// location-system conversions then move all pads of a version together. So the
// list is kept as a count and the one location they all share, and the entries
// are made only when one of them is accessed on its own (operator[], begin(),
// end(), data()). Readers see the same values either way.
#include <cstddef>
#include <vector>

#include "flat/Locations.h"

namespace CoarsePlacement {

class PadLocations {
 public:
  using value_type = PadLocation;
  using iterator = PadLocation*;
  using const_iterator = const PadLocation*;

  PadLocations() = default;

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

  PadLocation& operator[](std::size_t i) { return data()[i]; }
  const PadLocation& operator[](std::size_t i) const { return data()[i]; }
  PadLocation* data() {
    materialize();
    return entries_.data();
  }
  const PadLocation* data() const {
    materialize();
    return entries_.data();
  }
  iterator begin() { return data(); }
  iterator end() { return data() + count_; }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + count_; }

  // `n` entries, all equal to `value`.
  void assign(std::size_t n, const PadLocation& value);
  void resize(std::size_t n);
  void push_back(const PadLocation& value);
  void clear() { assign(0, PadLocation()); }

  // Moves every entry by (dx, dy).
  void shift(double dx, double dy);

  // Whether the entries exist one by one (for tests of the shared form).
  bool materialized() const { return materialized_; }

 private:
  void materialize() const;

  mutable std::vector<PadLocation> entries_;
  // Until materialized: where every entry is.
  double x_ = 0;
  double y_ = 0;
  double z_ = 0;
  std::size_t count_ = 0;
  bool flag_ = false;
  mutable bool materialized_ = false;
};

}  // namespace CoarsePlacement
