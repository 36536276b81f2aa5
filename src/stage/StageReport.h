#pragma once
// Bookkeeping and text of the floorplanning stage: the statistics kept across
// runs, the per-path report of a new best run and the summary.
#include <limits>
#include <ostream>
#include <string>

#include "flat/FlatDesign.h"

// Statistics over the runs of one stage. The minimums start above every
// finite value, so any value a run reports lowers them.
struct RunStatistics {
  static constexpr double kNone = std::numeric_limits<double>::infinity();
  double areaSum = 0;
  double hpwlSum = 0;
  double whitespaceSum = 0;
  double minArea = kNone;
  double minHPWL = kNone;
  double minWhitespace = kNone;
  double minCycle = kNone;
  double bestBIPS = 0;
  double bestWireLength = kNone;
  double successes = 0;
  long long runs = 0;

  // Every run, fitting or not, enters its area, wire length and whitespace.
  void addRun(double area, double hpwl, double whitespace);
  // A fitting run enters its cycle time and BIPS. Returns true when the run
  // matches the best BIPS so far (within 1e-7), ties included.
  bool addSuccess(double cycle, double bips);
  // A fitting run of a design judged by wire length alone enters its wire
  // length. Returns true when the run matches the shortest so far (within
  // 1e-7), ties included.
  bool addWireLengthSuccess(double wireLength);
  // The summary after the last run; the averages divide the sums by the
  // number of runs that entered them. No time is measured: the average time
  // is reported as 0. For a design judged by wire length alone the shortest
  // fitting wire length replaces the cycle time and BIPS lines.
  void printSummary(std::ostream& out, bool wireLengthOnly = false) const;
};

// "BIPS " and the best BIPS, then for every path of the design its total
// latency and, per net, the latency, set-up and clock-to-output time of the
// net's driving pin with the name of its block.
void printBestReport(std::ostream& out, const CoarsePlacement::FlatDesign& design, double bestBIPS);

// BIPS = ipc / cycle / inverseFactor (the inverse factor is 1 for a design
// without the pipeline model). Returns false, leaving `bips` alone, when the
// result is not defined: a cycle time that is not positive, or an inverse
// factor that is not a positive finite number (the factor overflowed).
bool computeBIPS(double ipc, double cycle, double inverseFactor, double& bips);

// Reads the text of option "-annealSeed": a decimal integer from 0 to
// `maxValue`, nothing else around it. Returns false (leaving `seed` alone) for
// anything else.
bool parseAnnealSeed(const std::string& text, long maxValue, long& seed);
