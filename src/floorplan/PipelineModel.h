#pragma once
// The pipeline performance model over a design's critical paths, flattened
// once: which pins each path walks and which paths close a loop are taken from
// the design when the model is built; everything else (block locations, sizes,
// orientations, pin offsets, latencies, the paths' probabilities) is read on
// every evaluation. The arithmetic is that of a walk over the design's own records,
// operation for operation, so the results are the same to the last bit.
#include <cstddef>
#include <vector>

#include "flat/FlatDesign.h"

class PipelineModel {
 public:
  // Flattens the paths of `design` for a usable cycle of `usablePs` ps.
  PipelineModel(CoarsePlacement::FlatDesign* design, double usablePs);

  // True while the design still has the paths the model was built from (same
  // number of paths and of nets on them).
  bool matches(const CoarsePlacement::FlatDesign& design) const;

  // The instances whose pins the paths walk (the chip instance among them when
  // a path starts or ends on it). Before an evaluation the caller sets
  // `versions()[i]` to the version in force of instance i; the sizes are read
  // from it on every evaluation.
  const std::vector<CoarsePlacement::CktInstance*>& instances() const { return instances_; }
  std::vector<const CoarsePlacement::CktVersion*>& versions() { return versions_; }

  // Walks every path: sets the pins' set-up time, latency and clock-to-output
  // time and the design's path latencies, and returns 1 / the IPC factor that
  // the loops' extra cycles leave.
  double inverseIpcFactor();

 private:
  // Where the pins of one instance lie in this evaluation: a pin at offset
  // (ox, oy) is at ((0.5 + ax ox + bx oy) w + x, (0.5 + ay ox + by oy) h + y).
  // The coefficients are 0 or +-1, so the products and sums are those of the
  // orientation's exact turn of the offset.
  struct Frame {
    double ax = 0, bx = 0, ay = 0, by = 0;
    double width = 0, height = 0;
    double x = 0, y = 0;
  };
  // One net of a path: its driver (first pin) and first sink (second pin).
  struct Step {
    CoarsePlacement::CktPin* driver = nullptr;
    CoarsePlacement::CktPin* sink = nullptr;  // null when the net has one pin
    int driverSlot = 0;
    int sinkSlot = 0;
    bool driverBlock = false;  // the driver is on a block (not the chip)
    bool first = false;        // the path's first net
    bool last = false;         // the path's last net
    int blockLatency = 0;      // the driver block's latency (version 0 of its master)
    double blockCycles = 0;    // that latency / the usable cycle
    // What the last walk measured, wrote and reached after this step.
    double wireCycles = 0;  // the wire from driver to sink, in cycles
    double driverTsu = 0;
    double driverLatency = 0;
    double driverTco = 0;
    double sinkTsu = 0;
    double latencyAfter = 0;
    double cycleAfter = 0;
  };
  struct Path {
    std::size_t begin = 0;  // steps [begin, end)
    std::size_t end = 0;
    bool closesLoop = false;
    // The latency of the last walk. A walk is a function of the wires' lengths
    // alone: from the first wire that measures differently on, it is resumed
    // from what the steps before it kept.
    bool walked = false;
    double latency = 0;
    // The last factor computed for this loop, its base and its exponent.
    bool powKnown = false;
    double powBase = 0;
    double powExponent = 0;
    double powValue = 0;
  };

  int slotOf(CoarsePlacement::CktInstance* inst);
  void setFrames();
  // Measures the path's wires; returns the first step whose wire measures
  // differently from the last walk (`path.end` when none does).
  std::size_t measureWires(Path& path);
  // Walks the path from step `from` on, keeping the pin times in the steps
  // and writing them to the pins.
  void walk(Path& path, std::size_t from);
  // Writes the pin times the steps before `end` hold.
  void writePinTimes(const Path& path, std::size_t end) const;

  CoarsePlacement::FlatDesign* design_;  // borrowed
  double usable_;
  double perCycle_;
  std::size_t netCount_ = 0;
  std::vector<CoarsePlacement::CktInstance*> instances_;
  std::vector<const CoarsePlacement::CktVersion*> versions_;
  std::vector<Frame> frames_;
  std::vector<Step> steps_;
  std::vector<Path> paths_;
};
