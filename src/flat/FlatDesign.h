#pragma once
// The flat design: the one netlist of blocks, pins and nets that every input
// path builds and the floorplanning stage works on.
#include <vector>

#include "flat/CktRecords.h"

namespace CoarsePlacement {

// The metric a floorplan of the design is judged by: the (timing-weighted)
// wire length of a netlist, or the pipeline performance model of a design read
// as critical paths (pipeline description, path variant).
enum class DesignMode { WireLength = 0, PipelineModel = 1 };

class FlatDesign : public ExtendibleData {
 public:
  FlatDesign() = default;
  // Releases every master, instance and net of the design, the top instance and
  // a root master that is not in masterList.
  ~FlatDesign() override;

  // Converts every stored position to location system `to`.
  void convert2LocationSystem(LocationSystem to);
  void convertPortLocations(LocationSystem to);
  void convertInstLocations(LocationSystem to);

  CktInstance* topInst = nullptr;
  std::vector<CktMaster*> masterList;
  std::vector<CktInstance*> instList;
  std::vector<CktNet*> netList;
  std::vector<std::vector<CktNet*>> pathList;
  std::vector<double> pathProb;
  std::vector<double> pathBaseLatency;
  std::vector<int> loopEnd;
  std::vector<double> pathLatency;
  LocationSystem locSystem = LS_CORNER;
  LocationSystem prevLocSystem = LS_CORNER;
  DesignMode mode = DesignMode::WireLength;
  // A design without delays (a floorplanning benchmark): its floorplans are
  // judged by wire length alone, and that wire length counts the nets to the
  // chip's pins (the terminals on the outline) too.
  bool wireLengthOnly = false;
};

// Reference offset of location system ls for a version.
void getCenter(CktVersion* v, LocationSystem ls, double& x, double& y);
// Shifts a version's pad locations from system `from` to `to`.
void convertCktVersion(CktVersion* v, LocationSystem from, LocationSystem to);
// Moves one instance's loc from system `from` to `to`, plus (dx, dy).
void convertCktInstance(CktInstance* inst, const double& dx, const double& dy, LocationSystem from,
                        LocationSystem to);

}  // namespace CoarsePlacement
