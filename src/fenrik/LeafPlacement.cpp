// Placement of a single block in its final region, and its pins.
#include <algorithm>
#include <cmath>
#include <limits>

#include "fenrik/Fenrik.h"

// The squarest shape of a soft block that fits `region` and keeps its
// height/width within bounds.
void Fenrik::softShape(const Block& block, const Rect& region, double& w, double& h) const {
  const double a = block.getRealArea();
  if (!(a > 0.0)) {
    w = h = 0.0;
    return;
  }
  const double W = region.width(), H = region.height();
  const double widest = std::sqrt(a / block.minAspect);
  double lo = std::sqrt(a / block.maxAspect);
  if (H > 0.0) lo = std::max(lo, a / H);
  double hi = std::min(W, widest);
  // When the region cannot hold the block (it passed a fit test only within
  // tolerance), the block keeps its own bounds and, where they allow, the
  // region's height.
  w = lo <= hi ? std::clamp(std::sqrt(a), lo, hi) : std::min(lo, widest);
  h = a / w;
}

void Fenrik::place(int index, const Rect& region) {
  Block& b = *working_[index];
  double w, h;
  if (b.soft == 1) {
    softShape(b, region, w, h);
  } else {
    w = b.getRealWidth();
    h = b.getRealHeight();
    if (!(w <= region.width() + tolerance_ && h <= region.height() + tolerance_)) std::swap(w, h);
  }
  Point ll;
  if (b.nets.empty()) {
    Point c = region.centre();
    ll = {c.x - w / 2.0, c.y - h / 2.0};
  } else {
    ll = findGoto(b, region, w, h);
  }
  b.set(ll.x, ll.y, ll.x + w, ll.y + h);
  b.placed = 1;
  b.region = b.rect();
  assignPins(b);
}

namespace {

// The values at ranks n/2 - 1 and n/2 of the multiset in which each value
// appears `count` times, averaged: the median of an even-sized list.
double weightedMiddle(std::vector<std::pair<double, long long>>& values) {
  std::sort(values.begin(), values.end());
  long long total = 0;
  for (const auto& v : values) total += v.second;
  long long lowRank = total / 2 - 1, highRank = total / 2, seen = 0;
  double low = values.front().first, high = values.back().first;
  bool lowFound = false;
  for (const auto& v : values) {
    seen += v.second;
    if (!lowFound && seen > lowRank) {
      low = v.first;
      lowFound = true;
    }
    if (seen > highRank) {
      high = v.first;
      break;
    }
  }
  return (low + high) / 2.0;
}

}  // namespace

// Each net pulls the block towards the box of its other pins (their regions'
// centres and its terminals): both edges of the box, its weight times. The
// target centre is the median of those edges in x and in y.
Point Fenrik::findGoto(const Block& block, const Rect& region, double w, double h) const {
  std::vector<std::pair<double, long long>> xs, ys;
  const double inf = std::numeric_limits<double>::infinity();
  for (const _Net* net : block.nets) {
    double minX = inf, maxX = -inf, minY = inf, maxY = -inf;
    auto add = [&](const Point& p) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    };
    for (const _Pin& pin : net->pins)
      if (pin.block != &block) add(pin.block->region.centre());
    for (const Pad* pad : net->terminals) add({pad->x, pad->y});
    if (minX > maxX) continue;  // the net reaches nothing but this block
    long long times = std::max(1LL, std::llround(std::min(net->weight, 1e12)));
    xs.push_back({minX, times});
    xs.push_back({maxX, times});
    ys.push_back({minY, times});
    ys.push_back({maxY, times});
  }
  Point target = region.centre();
  if (!xs.empty()) target = {weightedMiddle(xs), weightedMiddle(ys)};
  Point ll{target.x - w / 2.0, target.y - h / 2.0};
  ll.x = std::max(region.ll.x, std::min(ll.x, region.ur.x - w));
  ll.y = std::max(region.ll.y, std::min(ll.y, region.ur.y - h));
  return ll;
}

Point Fenrik::pinTarget(const _Pin& pin) const {
  if (pin.block->placed) return pin.location();
  return pin.block->region.centre();
}

void Fenrik::assignPins(Block& block) {
  const Rect& r = block.rect();
  for (_Pin* pin : block.pins) {
    const _Net* net = pin->net;
    const _Pin* other = pin == net->pairFirst ? net->pairSecond : net->pairFirst;
    if (!other || other == pin) continue;
    Point t = pinTarget(*other);
    auto offset = [](double target, double lo, double hi) {
      if (target < lo) return 0.0;
      if (target > hi) return 1.0;
      return hi > lo ? (target - lo) / (hi - lo) : 0.5;
    };
    pin->xOffset = offset(t.x, r.ll.x, r.ur.x);
    pin->yOffset = offset(t.y, r.ll.y, r.ur.y);
  }
}
