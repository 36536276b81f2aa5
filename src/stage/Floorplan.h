#pragma once
// The floorplanning stage: repeats whole floorplanning runs (a fresh database,
// a full annealing run) until the required number of runs fit the outline,
// reports every fitting run and ends with averages and best values.
#include "flat/FlatDesign.h"
#include "stage/StageParams.h"

// Runs the whole stage on the design (borrowed) with the stage's options read
// from the option store. Returns osvo::kExitSuccess, or osvo::kExitNoFit when
// it gave up after stageRunBound runs. A design without blocks and unusable
// options or input files throw an osvo::Error.
int floorplan(CoarsePlacement::FlatDesign* design);
// The same with the parameters given.
int floorplan(CoarsePlacement::FlatDesign* design, const StageParams& params);
