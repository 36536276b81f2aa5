#include "fenrik/Fenrik.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fenrik/BenchmarkReader.h"
#include "support/Assert.h"
#include "support/Error.h"

Point _Pin::location() const {
  const Rect& r = block->rect();
  return {r.ll.x + r.width() * xOffset, r.ll.y + r.height() * yOffset};
}

Fenrik::Fenrik(const std::string& baseName, double whitespacePercent, double gamma) {
  build(readBenchmark(baseName), whitespacePercent, gamma);
}

Fenrik::Fenrik(const BenchmarkDesign& design, double whitespacePercent, double gamma) {
  build(design, whitespacePercent, gamma);
}

void Fenrik::build(const BenchmarkDesign& design, double whitespacePercent, double gamma) {
  gamma_ = gamma >= 1.0 ? gamma : 1.0;
  double blockArea = 0.0;
  for (size_t i = 0; i < design.blocks.size(); ++i) {
    const DesignBlock& d = design.blocks[i];
    auto b = std::make_unique<Block>();
    b->name = d.name;
    b->index = static_cast<int>(i);
    b->position = b->index;
    if (d.soft) {
      double side = std::sqrt(d.area);
      b->set(0.0, 0.0, side, side);
      b->setRealShape(side, side, d.area);
      b->soft = 1;
      b->aspect = 1.0;
      b->minAspect = 1.0 / gamma_;
      b->maxAspect = gamma_;
      if (d.hasAspectRange) {
        b->minAspect = std::max(b->minAspect, d.minAspect);
        b->maxAspect = std::min(b->maxAspect, d.maxAspect);
      }
      if (b->minAspect > b->maxAspect)
        b->minAspect = b->maxAspect = std::sqrt(b->minAspect * b->maxAspect);
    } else {
      b->set(0.0, 0.0, d.width, d.height);
      b->setRealShape(d.width, d.height, d.width * d.height);
      b->soft = 0;
      if (d.width > 0.0 && d.height > 0.0)
        b->aspect = d.height >= d.width ? d.height / d.width : d.width / d.height;
    }
    if (d.placement.given) {
      const Rect& r = b->rect();
      b->set(d.placement.x, d.placement.y, d.placement.x + r.width(), d.placement.y + r.height());
    }
    blockArea += b->getRealArea();
    blocks_.push_back(std::move(b));
  }
  pads_.reserve(design.terminals.size());
  for (const DesignTerminal& t : design.terminals) {
    pads_.push_back({t.name, t.placement.x, t.placement.y});
    if (!t.placement.given) continue;
    minX_ = std::min(minX_, t.placement.x);
    maxX_ = std::max(maxX_, t.placement.x);
    minY_ = std::min(minY_, t.placement.y);
    maxY_ = std::max(maxY_, t.placement.y);
  }
  nets_.reserve(design.nets.size());
  for (const DesignNet& d : design.nets) {
    auto net = std::make_unique<_Net>();
    net->index = static_cast<int>(nets_.size());
    size_t blockPins = 0;
    for (const DesignPin& p : d.pins) blockPins += p.onTerminal ? 0 : 1;
    net->pins.reserve(blockPins);
    for (const DesignPin& p : d.pins) {
      if (p.onTerminal) {
        net->terminals.push_back(&pads_[p.index]);
        continue;
      }
      Block* b = blocks_[p.index].get();
      net->pins.push_back(_Pin{0.5, 0.5, b, net.get()});
      b->pins.push_back(&net->pins.back());
      if (b->nets.empty() || b->nets.back() != net.get()) {
        if (std::find(b->nets.begin(), b->nets.end(), net.get()) == b->nets.end())
          b->nets.push_back(net.get());
      }
    }
    if (net->pins.size() >= 1) net->pairFirst = &net->pins[0];
    if (net->pins.size() >= 2) net->pairSecond = &net->pins[1];
    totalPins_ += static_cast<int>(d.pins.size());
    nets_.push_back(std::move(net));
  }

  totalArea_ = (whitespacePercent / 100.0 + 1.0) * blockArea;
  if (maxX_ >= minX_) {
    outlineWidth_ = maxX_ - minX_;
    outlineHeight_ = maxY_ - minY_;
  }
  if (outlineWidth_ > 0.001) {
    region_ = Rect(0.0, 0.0, outlineWidth_, totalArea_ / outlineWidth_);
  } else {
    double side = totalArea_ > 0.0 ? std::sqrt(totalArea_) : 0.0;
    region_ = Rect(0.0, 0.0, side, side);
  }
  // Fit tests allow for rounding along the longer side, but never more than a
  // millionth of the shorter one: in an outline far longer than high a slack
  // taken from the length alone would let blocks much higher than the region
  // pass for fitting it.
  tolerance_ = std::min(1e-9 * region_.longerSide(), 1e-6 * region_.shorterSide());
  if (!(tolerance_ >= 0.0) || !std::isfinite(tolerance_)) tolerance_ = 0.0;

  working_.clear();
  for (auto& b : blocks_) working_.push_back(b.get());
  sortBlocks();
  workCount_ = 0;
  for (Block* b : working_) workCount_ += b->hasArea() ? 1 : 0;
  netMark_.assign(nets_.size(), 0);
}

void Fenrik::sortBlocks() {
  sortBlocks(working_);
  for (size_t i = 0; i < working_.size(); ++i) working_[i]->position = static_cast<int>(i);
}

// Decreasing area truncated to an integer, equal keys in their previous order;
// blocks without area come last.
void Fenrik::sortBlocks(std::vector<Block*>& list) {
  std::stable_sort(list.begin(), list.end(), [](const Block* a, const Block* b) {
    if (a->hasArea() != b->hasArea()) return a->hasArea();
    return std::trunc(a->getRealArea()) > std::trunc(b->getRealArea());
  });
  for (size_t i = 0; i < list.size(); ++i) list[i]->position = static_cast<int>(i);
}

void Fenrik::placeRegion(int low, int high, const Rect& region) {
  for (int i = low; i <= high; ++i) working_[i]->region = region;
}

void Fenrik::splitRegion(const Rect& region, double area1, bool horizontal, Rect& first,
                         Rect& second) {
  first = second = region;
  if (horizontal) {
    double w = region.width();
    double cut = w > 0.0 ? region.ll.y + area1 / w : region.ll.y;
    cut = std::clamp(cut, region.ll.y, std::max(region.ll.y, region.ur.y));
    first.ur.y = second.ll.y = cut;
  } else {
    double h = region.height();
    double cut = h > 0.0 ? region.ll.x + area1 / h : region.ll.x;
    cut = std::clamp(cut, region.ll.x, std::max(region.ll.x, region.ur.x));
    first.ur.x = second.ll.x = cut;
  }
}

namespace {

struct Box {
  double minX = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  void add(const Point& p) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  bool empty() const { return minX > maxX; }
  double halfPerimeter() const { return empty() ? 0.0 : (maxX - minX) + (maxY - minY); }
};

}  // namespace

double Fenrik::getWirelength() const {
  double total = 0.0;
  for (const auto& net : nets_) {
    Box box;
    for (const _Pin& pin : net->pins) box.add(pin.location());
    for (const Pad* pad : net->terminals) box.add({pad->x, pad->y});
    total += box.halfPerimeter() * net->weight;
  }
  return total;
}

double Fenrik::getCentreWirelength() const {
  double total = 0.0;
  for (const auto& net : nets_) {
    Box box;
    for (const _Pin& pin : net->pins) box.add(pin.block->centre());
    for (const Pad* pad : net->terminals) box.add({pad->x, pad->y});
    total += box.halfPerimeter();
  }
  return total;
}

void Fenrik::constructFloorplan() {
  queue_.clear();
  processed_ = 0;
  fallbackCuts_ = 0;
  const int n = getNumBlocks();
  for (auto& b : blocks_) b->placed = 0;
  if (n > 0) placeRegion(0, n - 1, region_);
  std::vector<Block*> all(working_.begin(), working_.begin() + workCount_);
  bool feasible = checkROB(all, region_, true) == 1;
  // A block without area overlaps nothing; it only has to fit the region.
  for (int i = workCount_; i < n && feasible; ++i) {
    const Block& b = *working_[i];
    double w = b.getRealWidth(), h = b.getRealHeight(), W = region_.width(), H = region_.height();
    feasible = (w <= W + tolerance_ && h <= H + tolerance_) ||
               (h <= W + tolerance_ && w <= H + tolerance_);
  }
  if (!feasible) osvo::fail("Infeasible at the top level\n");
  for (Block* b : all) b->lastGood = b->rect();
  if (workCount_ > 0) {
    queue_.push_back({0, workCount_ - 1, region_});
    construction(0, workCount_ - 1, region_);
    while (processed_ < queue_.size()) {
      WorkItem item = queue_[processed_];
      construction(item.low, item.high, item.region);
    }
  }
  for (int i = workCount_; i < n; ++i) place(i, region_);
}
