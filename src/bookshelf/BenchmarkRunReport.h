#pragma once
// What a fitting run of a floorplanning benchmark adds to the stage's report:
// the benchmark's standard half-perimeter wire length (every block pin at its
// block's centre, the terminals on the outline) on a line of its own, and, for
// the best run, the floorplan as a benchmark placement file beside the plot.
#include <ostream>
#include <string>

#include "fenrik/BenchmarkDesign.h"
#include "flat/FlatDesign.h"
#include "stage/RunObserver.h"

class BenchmarkRunReport : public RunObserver {
 public:
  // `design` is the flat design converted from `bench` (block i is instance
  // i); it is borrowed and must outlive the report.
  BenchmarkRunReport(BenchmarkDesign bench, const CoarsePlacement::FlatDesign& design);

  // Prints "Standard HPWL (block centres, terminals on the outline): L"; when
  // `best`, writes plotFile + ".pl" and names it on a line of its own. A file
  // that cannot be written is reported on standard error; the run goes on.
  void fittingRun(DB& db, bool best, const std::string& plotFile) override;

  // The run's floorplan as the benchmark states it: block lower-left corners,
  // orientations and placed shapes (DIMS), terminals stretched from their
  // bounding box onto the chip outline.
  const BenchmarkDesign& placed() const { return placed_; }
  // Brings placed() up to the floorplan `db` holds.
  void update(DB& db);

 private:
  BenchmarkDesign bench_;   // as read
  BenchmarkDesign placed_;  // the latest floorplan
  const CoarsePlacement::FlatDesign& design_;
};

// The benchmark word of an orientation: N, W, S, E for the turns by 0, 90,
// 180 and 270 degrees counter-clockwise, FS, FE, FN, FW for their mirror
// images (y negated first).
const char* benchmarkOrientation(CP::oritType orient);
