#include <cmath>
#include <iostream>

#include "flat/FlatDesign.h"

namespace CoarsePlacement {

namespace {
bool knownSystem(LocationSystem ls) {
  return ls == LS_CORNER || ls == LS_CENTER;
}
}  // namespace

void getCenter(CktVersion* v, LocationSystem ls, double& x, double& y) {
  if (ls == LS_CORNER) {
    x = 0;
    y = 0;
  } else if (ls == LS_CENTER) {
    x = std::floor(0.5 * v->width);
    y = std::floor(0.5 * v->height);
  }
}

void convertCktVersion(CktVersion* v, LocationSystem from, LocationSystem to) {
  double fx = 0, fy = 0, tx = 0, ty = 0;
  getCenter(v, from, fx, fy);
  getCenter(v, to, tx, ty);
  double dx = tx - fx, dy = ty - fy;
  v->padLocations.shift(dx, dy);
}

void convertCktInstance(CktInstance* inst, const double& dx, const double& dy, LocationSystem from,
                        LocationSystem to) {
  CktVersion* v = inst->master->versions[static_cast<size_t>(inst->versionIdx)];
  double w = v->width, h = v->height;
  double hw = std::floor(w / 2), hh = std::floor(h / 2);
  double tx = 0, ty = 0;
  CP::translate(inst->orient, -hw, -hh, tx, ty);
  double ox = tx < 0 ? hw : w - hw;
  double oy = ty < 0 ? hh : h - hh;
  inst->loc.x += dx;
  inst->loc.y += dy;
  if (from == LS_CENTER && to == LS_CORNER) {
    inst->loc.x += ox;
    inst->loc.y += oy;
  } else {
    inst->loc.x -= ox;
    inst->loc.y -= oy;
  }
  if (!knownSystem(from)) std::cerr << "Unknown LocationSystem\n";
  if (!knownSystem(to)) std::cerr << "Unknown LocationSystem\n";
}

void FlatDesign::convertPortLocations(LocationSystem to) {
  for (CktMaster* m : masterList)
    for (CktVersion* v : m->versions) convertCktVersion(v, locSystem, to);
}

void FlatDesign::convertInstLocations(LocationSystem to) {
  if (!topInst || !topInst->master) return;
  CktVersion* chip = topInst->master->versions[static_cast<size_t>(topInst->versionIdx)];
  double fx = 0, fy = 0, tx = 0, ty = 0;
  getCenter(chip, locSystem, fx, fy);
  getCenter(chip, to, tx, ty);
  double dx = tx - fx, dy = ty - fy;
  for (CktInstance* inst : instList) convertCktInstance(inst, dx, dy, locSystem, to);
}

void FlatDesign::convert2LocationSystem(LocationSystem to) {
  if (to == locSystem) return;
  convertPortLocations(to);
  convertInstLocations(to);
  prevLocSystem = locSystem;
  locSystem = to;
}

}  // namespace CoarsePlacement
