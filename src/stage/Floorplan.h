#pragma once
// The floorplanning stage: repeats whole floorplanning runs (a fresh database,
// a full annealing run) until the required number of runs fit the outline,
// reports every fitting run and ends with averages and best values.
#include "flat/FlatDesign.h"

// Results of the stage, used by the driver as the process exit status.
constexpr int kStageComplete = 0;         // "-flSuccess" runs fit the outline
constexpr int kStageNoBlocks = 1;         // the design has no block to place
constexpr int kStageRunBoundReached = 2;  // gave up after too many runs that did not fit

// The stage gives up after this many times "-flSuccess" runs.
constexpr int kStageRunBoundFactor = 10;

// Runs the whole stage on the design (borrowed). Returns one of the results above.
int floorplan(CoarsePlacement::FlatDesign* design);
