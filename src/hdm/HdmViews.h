#pragma once
// Physical views: placement data that a model object may carry in its
// physical view slot. Orientations are stored in the view's own numbering:
// 0 to 3 turn the object by 0, 90, 180 and 270 degrees clockwise; 4 to 7
// mirror it (y negated) first.
#include "hdm/Hdm.h"

namespace hdm {

// Placement of an instance: its lower-left corner and orientation.
class PhyV4Inst : public HdmBaseView {
 public:
  double x = 0;
  double y = 0;
  int orient = 0;
};

// Location of a version port relative to its version's lower-left corner.
class PhyV4MVPort : public HdmBaseView {
 public:
  double x = 0;
  double y = 0;
};

// Outline of a master version.
class PhyV4MasterVersion : public HdmBaseView {
 public:
  double width = 0;
  double height = 0;

  // Coordinates of `pin` in the version that holds its instance: the
  // instance's location plus the port's location, turned by the instance's
  // orientation. Missing views count as zero.
  static double GetPinX(const Pin* pin);
  static double GetPinY(const Pin* pin);
};

// The physical view of an object's view slot, or none.
PhyV4Inst* getPhyV4Inst(const Inst* inst);
// The physical view of `inst`, created at (0, 0) with orientation 0 when absent.
PhyV4Inst* getOrNewPhyV4Inst(Inst* inst);
// The physical view of `mvPort`, created at (0, 0) when absent.
PhyV4MVPort* getOrNewPhyV4MVPort(MVPort* mvPort);

// Turns (x, y) by a view orientation.
void turnByViewOrient(int orient, double& x, double& y);

}  // namespace hdm
