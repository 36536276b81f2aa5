#pragma once
// Feasibility packings of a block set in a rectangle. Both packers produce
// guillotine layouts: every layout they return can be cut by a straight line
// across its rectangle that crosses no block, and so can each side of the cut.
#include <cstdint>
#include <vector>

#include "fenrik/Geometry.h"
#include "fenrik/PackItem.h"
#include "fenrik/SlicingPacker.h"

// Row packing: rows whose length is bounded by one side of the rectangle,
// stacked along the other. A hard item sits flat or upright in a row, or on top
// of another item in the row; a soft item takes the shape its row asks for.
class RowPacker {
 public:
  // True when the items fit `rect`; out[i] is then item i's rectangle. Fit
  // tests allow `tolerance` of overlap. `thorough` adds randomised orders and
  // orientations for a hard case (meant for a test that is run once).
  bool pack(const std::vector<PackItem>& items, const Rect& rect, double tolerance, bool thorough,
            std::vector<Rect>& out);

 private:
  struct Placed {
    int item;
    double u, v, du, dv;  // position and extent along and across the rows
  };
  struct Shelf {
    double v0, height, usedU;
  };
  struct Stack {
    int shelf;
    double u0, width, usedV;
  };
  struct HardChoice {
    int item;
    double du, dv;
    double key;
  };

  // One attempt in the frame where rows run along u (length L) and stack along v (depth D).
  bool attempt(const std::vector<PackItem>& items, double L, double D, bool rowsAlongX, int policy,
               uint64_t* noise);
  // One attempt of guillotine rectangle splitting in a W x H rectangle.
  bool attemptSplitting(const std::vector<PackItem>& items, double W, double H, int rule,
                        uint64_t* noise);
  bool packSoftRows(const std::vector<PackItem>& items, double L, double D, bool rowsAlongX,
                    double& vTop);

  double tol_ = 0.0;
  std::vector<Placed> placed_;
  std::vector<Shelf> shelves_;
  std::vector<Stack> stacks_;
  std::vector<HardChoice> hard_;
  std::vector<int> soft_;
  std::vector<int> leftover_;
  std::vector<Rect> free_;
  std::vector<int> order_;
  SlicingPacker slicing_;
};

// Zero-dead-space slicing layout of soft items: the rectangle is cut
// recursively into one cell per item with area in proportion to the item's,
// each cell's height/width within the item's bounds; the item keeps its own
// area and takes its cell's shape. True when such a layout is found.
bool packZeroDeadSpace(const std::vector<PackItem>& items, const Rect& rect, double tolerance,
                       std::vector<Rect>& out);
