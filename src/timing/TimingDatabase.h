#pragma once
// What static timing needs from a floorplan database: the design and the delay
// of the version in force of a block. The floorplan database implements it, so
// timing does not depend on the database (which itself runs timing).
#include "flat/FlatDesign.h"

class TimingDatabase {
 public:
  virtual ~TimingDatabase() = default;
  virtual CoarsePlacement::FlatDesign* getDesign() const = 0;
  virtual double getBlockDelay(CoarsePlacement::CktInstance* inst) = 0;
};
