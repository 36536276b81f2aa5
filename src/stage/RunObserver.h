#pragma once
// Extra output of a design's fitting runs, for input formats that have
// measures and files of their own. The input path attaches one to the design
// under kRunObserverKey; the stage calls it after the lines of every run that
// fits the outline.
#include <string>

#include "flat/ExtendibleData.h"

class DB;

inline constexpr const char* kRunObserverKey = "runObserver";

class RunObserver : public CoarsePlacement::ExtendibleData::ext_base {
 public:
  // `db` holds the run's floorplan; `best` is set when the run is the best so
  // far, and `plotFile` names the plot written for it then.
  virtual void fittingRun(DB& db, bool best, const std::string& plotFile) = 0;
};
