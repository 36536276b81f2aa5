#pragma once
// Bookkeeping and text of the floorplanning stage: the statistics kept across
// runs, the per-path report of a new best run and the summary.
#include <ostream>
#include <string>

#include "flat/FlatDesign.h"

// Statistics over the runs of one stage.
struct RunStatistics {
  double areaSum = 0;
  double hpwlSum = 0;
  double whitespaceSum = 0;
  double minArea = 1e100;
  double minHPWL = 1e100;
  double minWhitespace = 1e100;
  double minCycle = 1e100;
  double bestBIPS = 0;
  double timeSum = 0;  // nothing adds to it; the summary reports it as the average time
  double successes = 0;
  unsigned runs = 0;

  // Every run, fitting or not, enters its area, wire length and whitespace.
  void addRun(double area, double hpwl, double whitespace);
  // A fitting run enters its cycle time and BIPS. Returns true when the run
  // matches the best BIPS so far (within 1e-7), ties included.
  bool addSuccess(double cycle, double bips);
  // The summary after the last run; the averages divide the sums over all runs
  // by `required` (the "-flSuccess" count).
  void printSummary(std::ostream& out, int required) const;
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
