#include "anneal/AnalSolve.h"

#include <map>

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktPin;
using CoarsePlacement::TwoDLoc;

namespace {

// Position of a pin from its instance's lower-left corner: the stored offset
// (relative to the centre, in units of the block size) turned by the
// instance's orientation and scaled by the given width and height.
TwoDLoc pinFromCorner(const CktPin* pin, double width, double height) {
  double tx = 0;
  double ty = 0;
  CP::translate(pin->inst->orient, pin->offset.x, pin->offset.y, tx, ty);
  return TwoDLoc((tx + 0.5) * width, (ty + 0.5) * height);
}

// The first key at which the accumulated weight reaches `total`; 0 when the
// walk never gets there (no breakpoint at all, or too little weight on them).
double weightedMedian(const std::map<double, double>& breakpoints, double total) {
  double sum = 0;
  for (const auto& [key, weight] : breakpoints) {
    sum += weight;
    if (sum >= total) return key;
  }
  return 0;
}

}  // namespace

AnalSolve::AnalSolve(Command_Line* params, DB* db) : params(params), db(db) {}

TwoDLoc AnalSolve::getOptLoc(int i, std::vector<double>& /*xLocs*/,
                             std::vector<double>& /*yLocs*/) {
  const CoarsePlacement::FlatDesign* design = db->getDesign();
  CktInstance* b = design->instList[i];
  CktInstance* chip = design->topInst;
  const double wi = db->getNodeWidth(i);
  const double hi = db->getNodeHeight(i);

  std::map<double, double> xBreaks;
  std::map<double, double> yBreaks;
  double total = 0;
  bool hasPins = false;

  for (const std::vector<CktPin*>* pins : {&b->inPins, &b->outPins, &b->biPins}) {
    for (CktPin* p : *pins) {
      hasPins = true;
      if (!p->net) continue;  // an unconnected pin pulls nowhere
      const double w = p->net->weight;
      total += w;
      const TwoDLoc d = pinFromCorner(p, wi, hi);
      for (CktPin* q : p->net->pins) {
        TwoDLoc pos;
        if (q->inst == chip) {
          pos = pinFromCorner(q, db->getNodeWidth(chip), db->getNodeHeight(chip));
        } else if (q->inst == b) {
          continue;
        } else {
          pos = pinFromCorner(q, db->getNodeWidth(q->inst), db->getNodeHeight(q->inst));
          pos.x += q->inst->loc.x;
          pos.y += q->inst->loc.y;
        }
        xBreaks[pos.x - d.x] += 2 * w;
        yBreaks[pos.y - d.y] += 2 * w;
      }
    }
  }
  if (!hasPins) return TwoDLoc(0, 0);

  TwoDLoc best(weightedMedian(xBreaks, total), weightedMedian(yBreaks, total));
  if (best.x < 0) best.x = 0;
  if (best.y < 0) best.y = 0;
  return best;
}
