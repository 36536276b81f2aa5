#include "flat/PadLocations.h"

namespace CoarsePlacement {

void PadLocations::assign(std::size_t n, const PadLocation& value) {
  entries_.clear();
  entries_.shrink_to_fit();
  materialized_ = false;
  count_ = n;
  x_ = value.x;
  y_ = value.y;
  z_ = value.z;
  flag_ = value.flag;
}

void PadLocations::resize(std::size_t n) {
  if (!materialized_ && n > count_) {
    if (count_ == 0)
      assign(n, PadLocation());
    else
      materialize();  // the new entries start at the origin, not where the others are
  }
  if (materialized_) entries_.resize(n);
  count_ = n;
}

void PadLocations::push_back(const PadLocation& value) {
  materialize();
  entries_.push_back(value);
  ++count_;
}

void PadLocations::shift(double dx, double dy) {
  if (!materialized_) {
    x_ += dx;
    y_ += dy;
    return;
  }
  for (PadLocation& p : entries_) {
    p.x += dx;
    p.y += dy;
  }
}

void PadLocations::materialize() const {
  if (materialized_) return;
  PadLocation value;
  value.x = x_;
  value.y = y_;
  value.z = z_;
  value.flag = flag_;
  entries_.assign(count_, value);
  materialized_ = true;
}

}  // namespace CoarsePlacement
