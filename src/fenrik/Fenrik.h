#pragma once
// The fixed-outline floorplanner: places the blocks of a BenchmarkDesign inside
// a fixed chip region by recursive min-cut bipartitioning. Each cut splits the
// region between the two halves and is kept only when both halves still fit
// their sub-regions (look-ahead); a cut whose halves never fit falls back to a
// cut through the last layout that did.
#include <memory>
#include <string>
#include <vector>

#include "fenrik/BenchmarkDesign.h"
#include "fenrik/Block.h"
#include "fenrik/Geometry.h"
#include "fenrik/Netlist.h"
#include "fenrik/RowPacking.h"

class Fenrik {
 public:
  // Reads baseName + ".blocks", ".nets" and ".pl" (osvo::Error on bad input).
  Fenrik(const std::string& baseName, double whitespacePercent, double gamma);
  // Builds the problem from a design already read. `gamma` bounds a soft
  // block's height/width ratio to [1/gamma, gamma] (and to the design's own
  // range where it gives one).
  Fenrik(const BenchmarkDesign& design, double whitespacePercent, double gamma);
  Fenrik(const Fenrik&) = delete;
  Fenrik& operator=(const Fenrik&) = delete;

  int getNumBlocks() const { return static_cast<int>(blocks_.size()); }
  const Rect& getRegion() const { return region_; }
  // Total block area enlarged by the whitespace.
  double getTotalArea() const { return totalArea_; }
  double getOutlineWidth() const { return outlineWidth_; }
  double getOutlineHeight() const { return outlineHeight_; }
  int getTotalPins() const { return totalPins_; }
  // 1 lets each cut search how to share the whitespace between its halves.
  void setWhitespaceSpreading(int flag) { spreadWhitespace_ = flag; }

  // The region of every block in working positions low..high.
  void placeRegion(int low, int high, const Rect& region);
  // Weighted half-perimeter wire length, pins at their offsets.
  double getWirelength() const;
  // Half-perimeter wire length with every pin at its block's centre (weights ignored).
  double getCentreWirelength() const;

  // The whole construction: the top-level feasibility test, then one cut per
  // work-queue entry until every block is placed. Throws osvo::Error
  // "Infeasible at the top level" (status 1) when the blocks do not fit.
  void constructFloorplan();

  // --- the steps of the construction ---
  void sortBlocks();
  static void sortBlocks(std::vector<Block*>& list);
  // One cut of the blocks in working positions lowIndex..highIndex inside `region`.
  void construction(int lowIndex, int highIndex, const Rect& region);
  // Min-cut bisection of the range; returns the last working position of the first half.
  int partition(int lowIndex, int highIndex, double& area1, double& area2,
                std::vector<Block*>& blocks1, std::vector<Block*>& blocks2);
  // 1 when blocks1 fit the part of `region` of area `area1` and blocks2 the rest.
  int checkZDS(const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2, double area1,
               double area2, const Rect& region);
  // 1 when the blocks fit `rect`; each block is then left at a legal place inside it.
  int checkROB(const std::vector<Block*>& blocks, const Rect& rect, bool thorough = false);
  // The fallback cut along a straight line through the blocks' last good layout.
  // Fills both halves, their block areas and j, and the area of the first
  // sub-region in `cutArea`; returns 1 when the cut runs across the usual direction.
  int ROB_WLCut(std::vector<Block*>& blocks1, std::vector<Block*>& blocks2, double& area1,
                double& area2, int lowIndex, int highIndex, const Rect& region, int& j,
                double& cutArea);
  void update(int lowIndex, const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2);
  // Estimated centres: each half at the centre of its sub-region.
  void updateWires(const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2,
                   const Rect& region, double area1, double area2, int flip);
  // True when swapping the halves between the sub-regions shortens their wires.
  bool determineSide(int lowIndex, int highIndex, int j, const Rect& region, double area1,
                     double area2, int direction);
  double getInterWirelength(const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2);
  void place(int index, const Rect& region);
  // Lower-left corner for a w x h block in `region` nearest its nets' other pins.
  Point findGoto(const Block& block, const Rect& region, double w, double h) const;
  void assignPins(Block& block);

  // --- access ---
  const std::vector<std::unique_ptr<Block>>& blocks() const { return blocks_; }  // file order
  Block& block(int index) { return *blocks_[index]; }
  const std::vector<Block*>& workingBlocks() const { return working_; }
  const std::vector<std::unique_ptr<_Net>>& nets() const { return nets_; }
  _Net& net(int index) { return *nets_[index]; }
  const std::vector<Pad>& terminals() const { return pads_; }
  // Queue entries made and processed by the last construction.
  size_t queueLength() const { return queue_.size(); }
  size_t processedCount() const { return processed_; }
  // Cuts that took the fallback in the last construction.
  int fallbackCuts() const { return fallbackCuts_; }

  // Splits `region` across its height (horizontal = true: the first part below)
  // or its width so that the first part has area `area1`.
  static void splitRegion(const Rect& region, double area1, bool horizontal, Rect& first,
                          Rect& second);

 private:
  struct WorkItem {
    int low;
    int high;
    Rect region;
  };

  void build(const BenchmarkDesign& design, double whitespacePercent, double gamma);
  double targetArea(int percent, double area1, double area2, double regionArea) const;
  bool packSide(const std::vector<Block*>& blocks, const Rect& rect, bool thorough);
  // The fit slack of packing `rect`: the region's, but never above a millionth
  // of the rectangle's shorter side, so that a sliver of the region is not
  // taken to hold blocks far higher than itself.
  double fitSlack(const Rect& rect) const;
  void softShape(const Block& block, const Rect& region, double& w, double& h) const;
  Point pinTarget(const _Pin& pin) const;
  Point wirePoint(const Block& block) const;

  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<Block*> working_;
  int workCount_ = 0;  // working positions 0..workCount_-1 hold the blocks with area
  std::vector<std::unique_ptr<_Net>> nets_;
  std::vector<Pad> pads_;
  double totalArea_ = 0.0;
  double minX_ = 1e306, maxX_ = -1e306, minY_ = 1e306, maxY_ = -1e306;
  double outlineWidth_ = 0.0;
  double outlineHeight_ = 0.0;
  Rect region_;
  double gamma_ = 1e7;
  int spreadWhitespace_ = 0;
  int totalPins_ = 0;
  double tolerance_ = 0.0;  // slack of fit tests, relative to the region's size
  std::vector<WorkItem> queue_;
  size_t processed_ = 0;
  int fallbackCuts_ = 0;

  // Scratch of the cut, reused between calls.
  RowPacker packer_;
  std::vector<PackItem> items_;
  std::vector<Rect> packed_;
  std::vector<int> netMark_;
  int markStamp_ = 0;
  std::vector<int> vertexMark_;
};
