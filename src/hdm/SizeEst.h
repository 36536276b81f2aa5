#pragma once
// Size estimate of a master from its port count by Rent's rule, summed over
// the hierarchy. The estimate is kept on each master in its "estArea"
// extension.
#include <iostream>

#include "hdm/Hdm.h"

namespace hdm {

namespace structureCommon {
inline constexpr const char* estAreaKey = "estArea";
inline constexpr const char* subcktCount = "subcktCount";

// The estimated size of a master.
class estArea : public HDM_extendible::ext_base {
 public:
  int area = 0;
};

// How many copies of a master's instances flattening has made so far.
class intCount : public HDM_extendible::ext_base {
 public:
  int count = 0;
};
}  // namespace structureCommon

class estHdmSize {
 public:
  // size of a leaf = round(areaPerUnit * (ports / terminalsPerUnit)^exponentTerm)
  // when `useRent` is set, else 1.
  explicit estHdmSize(double exponentTerm = 1.0 / 0.6, double terminalsPerUnit = 4.0,
                      double areaPerUnit = 1.0, bool useRent = false, std::ostream& out = std::cout)
      : exponent_(exponentTerm),
        terminals_(terminalsPerUnit),
        unitArea_(areaPerUnit),
        useRent_(useRent),
        out_(out) {}
  virtual ~estHdmSize() = default;

  // The stored estimate of the master (0 when none), created on first use.
  virtual int getMasterArea(const MasterVersionRef& ref);
  virtual void setMasterArea(const MasterVersionRef& ref, int area);

  // The size of the master: its stored estimate if non-zero, 0 for a master
  // with exactly one port, the leaf size for a version without instances, and
  // otherwise the sum over its instances' masters (stored on the way). A master
  // that contains itself counts 0 at the repeat, with a warning.
  int estMasterSize(const MasterVersionRef& ref);
  // The Rent estimate of a master, not stored.
  int rentsEstimation(const Master* master) const;
  // The master's size and its instances' sizes, framed by lines of "s".
  void showSize(const MasterVersionRef& ref);

 private:
  // A size that needs no descent, or -1.
  long long immediateSize(const MasterVersionRef& ref);

  double exponent_;
  double terminals_;
  double unitArea_;
  bool useRent_;
  std::ostream& out_;
};

}  // namespace hdm
