#include "anneal/AnalSolve.h"

#include <map>

#include "flat/PinGeometry.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktPin;
using CoarsePlacement::TwoDLoc;

namespace {

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

AnalSolve::AnalSolve(DB* db) : db(db) {}

TwoDLoc AnalSolve::getOptLoc(int i) {
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
      const TwoDLoc d = CoarsePlacement::pinFromCorner(*p, wi, hi);
      for (CktPin* q : p->net->pins) {
        TwoDLoc pos;
        if (q->inst == chip) {
          pos = CoarsePlacement::pinFromCorner(*q, db->getNodeWidth(chip), db->getNodeHeight(chip));
        } else if (q->inst == b) {
          continue;
        } else {
          pos = CoarsePlacement::pinFromCorner(*q, db->getNodeWidth(q->inst),
                                               db->getNodeHeight(q->inst));
          pos.x += q->inst->loc.x;
          pos.y += q->inst->loc.y;
        }
        // w is added twice rather than 2w once: where a key already holds
        // weight the two sums can differ in the last bit.
        double& xw = xBreaks[pos.x - d.x];
        xw += w;
        xw += w;
        double& yw = yBreaks[pos.y - d.y];
        yw += w;
        yw += w;
      }
    }
  }
  if (!hasPins) return TwoDLoc(0, 0);

  TwoDLoc best(weightedMedian(xBreaks, total), weightedMedian(yBreaks, total));
  if (best.x < 0) best.x = 0;
  if (best.y < 0) best.y = 0;
  return best;
}
