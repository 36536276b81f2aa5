#include "fenrik/BenchmarkDesign.h"

#include <algorithm>
#include <cmath>
#include <limits>

double BenchmarkDesign::totalBlockArea() const {
  double total = 0.0;
  for (const DesignBlock& b : blocks) total += b.area;
  return total;
}

double BenchmarkDesign::squareOutlineSide(double whitespacePercent) const {
  return std::sqrt((1.0 + whitespacePercent / 100.0) * totalBlockArea());
}

void BenchmarkDesign::scaleTerminals(double llx, double lly, double urx, double ury) {
  const double inf = std::numeric_limits<double>::infinity();
  double minX = inf, maxX = -inf, minY = inf, maxY = -inf;
  for (const DesignTerminal& t : terminals) {
    if (!t.placement.given) continue;
    minX = std::min(minX, t.placement.x);
    maxX = std::max(maxX, t.placement.x);
    minY = std::min(minY, t.placement.y);
    maxY = std::max(maxY, t.placement.y);
  }
  auto scale = [](double v, double lo, double hi, double to, double toHi) {
    return hi > lo ? to + (v - lo) / (hi - lo) * (toHi - to) : (to + toHi) / 2.0;
  };
  for (DesignTerminal& t : terminals) {
    if (!t.placement.given) continue;
    t.placement.x = scale(t.placement.x, minX, maxX, llx, urx);
    t.placement.y = scale(t.placement.y, minY, maxY, lly, ury);
  }
}

double BenchmarkDesign::centreWirelength() const {
  double total = 0.0;
  const double inf = std::numeric_limits<double>::infinity();
  for (const DesignNet& net : nets) {
    double minX = inf, maxX = -inf, minY = inf, maxY = -inf;
    for (const DesignPin& pin : net.pins) {
      double x, y;
      if (pin.onTerminal) {
        const DesignPlacement& p = terminals[pin.index].placement;
        if (!p.given) continue;
        x = p.x;
        y = p.y;
      } else {
        const DesignBlock& b = blocks[pin.index];
        const DesignPlacement& p = b.placement;
        if (!p.given) continue;
        x = p.x + (p.hasDims ? p.dimsWidth : b.width) / 2.0;
        y = p.y + (p.hasDims ? p.dimsHeight : b.height) / 2.0;
      }
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
    if (minX <= maxX) total += (maxX - minX) + (maxY - minY);
  }
  return total;
}
