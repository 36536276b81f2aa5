// Pin placement: every net's source pin moves to the point of its block that
// faces the net's most critical sink, and every other pin to the point of its
// block closest to that source point.
#include <algorithm>

#include "flat/PinGeometry.h"
#include "floorplan/DB.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;

void DB::translate(Point p, CktPin* pin) {
  CktInstance* inst = pin->inst;
  const CoarsePlacement::ThreeDLoc offset =
      CoarsePlacement::offsetAt(CoarsePlacement::TwoDLoc(p.x, p.y), inst->loc, getNodeWidth(inst),
                                getNodeHeight(inst), inst->orient);
  pin->offset.x = offset.x;
  pin->offset.y = offset.y;
}

namespace {
// Middle of the part of [s, s + sw] that faces [c, c + cw]: the middle of the
// overlap when the two ranges overlap, else the end of the first range that
// faces the second.
double facingMiddle(double s, double sw, double c, double cw) {
  double lo = s < c ? std::min(c, s + sw) : s;
  double hi = s < c + cw ? std::min(c + cw, s + sw) : s;
  return (lo + hi) / 2;
}

double clampInto(double t, double lo, double size) {
  if (t < lo) return lo;
  if (t > lo + size) return lo + size;
  return t;
}
}  // namespace

void DB::assignPins() {
  if (!timingOn_ && design_->mode == CoarsePlacement::DesignMode::WireLength) return;
  CktInstance* top = design_->topInst;

  for (CktNet* net : design_->netList) {
    CktPin* source = net->source;
    if (!source) continue;

    // The most critical sink: the first pin other than the source, replaced by
    // any later one whose slack is clearly smaller.
    CktPin* critical = nullptr;
    for (CktPin* pin : net->pins) {
      if (pin == source) continue;
      if (!critical || pin->slack < critical->slack - 0.0001) critical = pin;
    }

    Point target;
    if (source->inst == top) {
      pinXY(source, target.x, target.y);
    } else {
      if (!critical) continue;  // a net with its source alone has nothing to face
      CktInstance* s = source->inst;
      CktInstance* c = critical->inst;
      target.x = facingMiddle(s->loc.x, getNodeWidth(s), c->loc.x, getNodeWidth(c));
      target.y = facingMiddle(s->loc.y, getNodeHeight(s), c->loc.y, getNodeHeight(c));
      translate(target, source);
    }

    for (CktPin* pin : net->pins) {
      if (pin == source || pin->inst == top) continue;
      CktInstance* q = pin->inst;
      Point point;
      point.x = clampInto(target.x, q->loc.x, getNodeWidth(q));
      point.y = clampInto(target.y, q->loc.y, getNodeHeight(q));
      translate(point, pin);
    }
  }
}
