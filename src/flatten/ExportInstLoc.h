#pragma once
// Writes placed locations and orientations of the flat instances back into
// physical views of the hierarchical model.
#include "flat/FlatDesign.h"
#include "hdm/Hdm.h"

class exportInstLoc {
 public:
  // Positions are exported in location system `system`.
  explicit exportInstLoc(CoarsePlacement::LocationSystem system = CoarsePlacement::LS_CORNER)
      : system_(system) {}

  // Instance i of the top module's version takes the location and orientation
  // of flat instance i.
  void writeInstLoc(hdm::Model* model, CoarsePlacement::FlatDesign* design);
  // Version port i of the top module's version takes the location of the chip
  // master's pad location i.
  void writeBackPortLoc2Hdm(hdm::Model* model, CoarsePlacement::FlatDesign* design);

  // Flat orientation value to the view's numbering; 0 for values outside 0 to 7.
  static int cnvtOrit(int orient);

 private:
  CoarsePlacement::LocationSystem system_;
};
