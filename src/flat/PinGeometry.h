#pragma once
// Where a pin sits on its block. A pin's offset is relative to the block's
// centre, in units of the block's width and height, in the block's own
// orientation; turned by the orientation it gives the pin's position.
#include "flat/CktRecords.h"

namespace CoarsePlacement {

// Position of `pin` measured from the lower-left corner of its block, for a
// block of `width` by `height` (the sizes of the version in force).
inline TwoDLoc pinFromCorner(const CktPin& pin, double width, double height) {
  double tx = 0;
  double ty = 0;
  CP::translate(pin.inst->orient, pin.offset.x, pin.offset.y, tx, ty);
  return TwoDLoc((0.5 + tx) * width, (0.5 + ty) * height);
}

// The offset, clamped to the block, at which a pin of a block at `corner`
// (lower-left), `width` by `height` and turned by `orient`, lies at `point`:
// the inverse of pinFromCorner. A block without extent in one direction keeps
// its pins on its centre line.
inline ThreeDLoc offsetAt(TwoDLoc point, TwoDLoc corner, double width, double height,
                          CP::oritType orient) {
  const double u = width != 0.0 ? (point.x - corner.x) / width - 0.5 : 0.0;
  const double v = height != 0.0 ? (point.y - corner.y) / height - 0.5 : 0.0;
  double ox = 0;
  double oy = 0;
  CP::inverseTranslate(orient, u, v, ox, oy);
  auto clamp = [](double a) { return a < -0.5 ? -0.5 : (a > 0.5 ? 0.5 : a); };
  return ThreeDLoc(clamp(ox), clamp(oy), 0);
}

}  // namespace CoarsePlacement
