#pragma once
// Checks a finished floorplan: every block placed inside the outline with its
// own shape (a hard block upright or turned, a soft block with its area and
// within its height/width bounds) and no two blocks overlapping.
#include <string>

#include "fenrik/Fenrik.h"

struct LegalityReport {
  bool legal = true;
  std::string problem;  // the first problem found, "" when legal
};

// `tolerance` is the slack allowed on every coordinate, and so on every side
// of a block (areas and aspect ratios also get a small relative slack).
LegalityReport checkLegality(const Fenrik& fenrik, const Rect& outline, double tolerance);
