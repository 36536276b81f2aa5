// Pin placement: every net's source pin moves to the point of its block that
// faces the net's most critical sink, and every other pin to the point of its
// block closest to that source point.
#include <algorithm>

#include "floorplan/DB.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;

void DB::translate(Point p, CktPin* pin) {
  CktInstance* inst = pin->inst;
  double w = getNodeWidth(inst);
  double h = getNodeHeight(inst);
  // A block without extent in one direction keeps its pins on its centre line.
  double u = w != 0.0 ? (p.x - inst->loc.x) / w - 0.5 : 0.0;
  double v = h != 0.0 ? (p.y - inst->loc.y) / h - 0.5 : 0.0;
  int o = inst->orient;
  // The offset is the point turned back by the block's orientation, so that the
  // pin position (which turns the offset with CP::translate) gives the point
  // again. A mirrored orientation is its own inverse; a rotation is undone by
  // the opposite rotation.
  double ox = 0;
  double oy = 0;
  if (o > 3) {
    CP::translate(o, u, v, ox, oy);
  } else {
    switch (o) {
      case 0:
        ox = u;
        oy = v;
        break;
      case 1:
        ox = v;
        oy = -u;
        break;
      case 2:
        ox = -u;
        oy = -v;
        break;
      case 3:
        ox = -v;
        oy = u;
        break;
      default:
        break;
    }
  }
  pin->offset.x = std::clamp(ox, -0.5, 0.5);
  pin->offset.y = std::clamp(oy, -0.5, 0.5);
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
  if (!timingOn && design->mode == 0) return;
  CktInstance* top = design->topInst;

  for (CktNet* net : design->netList) {
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
