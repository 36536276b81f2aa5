#pragma once
// Points and axis-parallel rectangles of the fixed-outline floorplanner.
#include <algorithm>

#include "support/Point.h"

struct Rect {
  Point ll;  // lower-left corner
  Point ur;  // upper-right corner

  Rect() = default;
  Rect(double x1, double y1, double x2, double y2) : ll{x1, y1}, ur{x2, y2} {}

  double width() const { return ur.x - ll.x; }
  double height() const { return ur.y - ll.y; }
  double area() const { return width() * height(); }
  Point centre() const { return {(ll.x + ur.x) / 2.0, (ll.y + ur.y) / 2.0}; }
  double longerSide() const { return std::max(width(), height()); }
  double shorterSide() const { return std::min(width(), height()); }
};
