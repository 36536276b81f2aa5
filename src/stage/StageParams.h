#pragma once
// Everything the floorplanning stage takes from the options, read once from
// the option store when the stage starts and handed down to the databases and
// annealers of its runs.
#include <string>

#include "anneal/CommandLine.h"
#include "flat/FlatDesign.h"

struct StageParams {
  Command_Line annealer;       // schedule, cost weights, outline, plot, run count
  std::string ipcFile;         // "-ipcFile"
  std::string widthSpaceFile;  // "-readWidthSpace"
  long annealSeed = -1;        // "-annealSeed": seed of the first annealer; -1: the clock
  // "-adaptAreaWeight" (default 1): after a run misses the outline, the next
  // run weighs the area term kAreaWeightStep points more (at most 100).
  bool adaptAreaWeight = true;
  // The design is judged by wire length alone: no timing, no clock, no BIPS.
  bool wireLengthOnly = false;
};

constexpr int kAreaWeightStep = 10;

// The stage gives up after this many times "-flSuccess" runs.
constexpr long long kStageRunBoundFactor = 10;
// Most runs the stage makes for `required` fitting ones (at least one run).
long long stageRunBound(int required);

// Reads the stage's options for a design of `mode`. Where the cycle time comes
// from "-fix_freq" (timing off, or the pipeline model) it must be a positive
// clock frequency; anything else throws an osvo::Error naming the option. An
// unusable "-annealSeed" or "-adaptAreaWeight" is ignored with a warning. A
// design judged by wire length alone runs with timing off and needs no clock.
StageParams readStageParams(CoarsePlacement::DesignMode mode, bool wireLengthOnly = false);
