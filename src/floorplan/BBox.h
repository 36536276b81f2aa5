#pragma once
// Bounding-box accumulator of points.
#include "flat/Locations.h"

class BBox {
 public:
  double minX = 1e306;
  double maxX = -1e306;
  double minY = 1e306;
  double maxY = -1e306;
  bool valid = false;

  void put(const CoarsePlacement::TwoDLoc& p) {
    if (p.x < minX) minX = p.x;
    if (p.x > maxX) maxX = p.x;
    if (p.y < minY) minY = p.y;
    if (p.y > maxY) maxY = p.y;
    valid = true;
  }
  double getXSize() const { return maxX - minX; }
  double getYSize() const { return maxY - minY; }
  double getHPWL() const { return getXSize() + getYSize(); }
  bool isValid() const { return valid; }
  void clear() { *this = BBox(); }
};
