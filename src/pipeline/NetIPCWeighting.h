#pragma once
// Weights the nets of a pipeline design by the critical paths through them.
#include "flat/FlatDesign.h"

// Sets every net's ipcWeight to the sum of the (negated) probabilities of the
// paths that list it, divided by the smallest such sum (at most 9999.0), so the
// nets of the most probable paths weigh 1.0. When that smallest sum is 0 the
// weights are left at 0.
void netIPCWeighting(CoarsePlacement::FlatDesign* design);
