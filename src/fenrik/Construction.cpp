// One cut of the recursive bipartitioning: the min-cut bisection, the search
// for a whitespace split under which both halves fit, the fallback cut, and
// the split of the region.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "fenrik/Fenrik.h"
#include "partition/HMetis.h"
#include "support/Assert.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Integer hyperedge weight of a net: its weight rounded, at least 1 for a net
// of positive weight so that a light net is not lost.
int edgeWeight(double weight) {
  if (!(weight > 0.0)) return 0;
  return static_cast<int>(std::clamp(std::llround(weight), 1LL, 1'000'000LL));
}

}  // namespace

double Fenrik::targetArea(int percent, double area1, double area2, double regionArea) const {
  double s = percent / 100.0;
  return area1 * s + (regionArea - area2) * (1.0 - s);
}

void Fenrik::construction(int lowIndex, int highIndex, const Rect& region) {
  if (highIndex <= lowIndex) {
    if (highIndex == lowIndex) place(lowIndex, region);
    ++processed_;
    return;
  }
  double area1 = 0.0, area2 = 0.0;
  std::vector<Block*> blocks1, blocks2;
  int j = partition(lowIndex, highIndex, area1, area2, blocks1, blocks2);
  update(lowIndex, blocks1, blocks2);
  if (determineSide(lowIndex, highIndex, j, region, area1, area2, 0)) {
    std::swap(blocks1, blocks2);
    std::swap(area1, area2);
    update(lowIndex, blocks1, blocks2);
    j = lowIndex + static_cast<int>(blocks1.size()) - 1;
  }

  const double R = region.area();
  const int pLow = spreadWhitespace_ == 1 ? 0 : 50, pHigh = spreadWhitespace_ == 1 ? 100 : 50;
  std::array<int, 101> known;
  known.fill(-1);
  int lastTried = -1;
  auto feasible = [&](int p) {
    if (known[p] < 0) {
      double a = targetArea(p, area1, area2, R);
      known[p] = checkZDS(blocks1, blocks2, a, R - a, region);
      lastTried = p;
    }
    return known[p] == 1;
  };
  int first = -1;
  for (int p = pLow; p <= pHigh && first < 0; ++p)
    if (feasible(p)) first = p;

  int flip = 0;
  double chosenArea;
  if (first < 0) {
    ++fallbackCuts_;
    flip = ROB_WLCut(blocks1, blocks2, area1, area2, lowIndex, highIndex, region, j, chosenArea);
  } else {
    int last = first;
    for (int p = pHigh; p > first; --p)
      if (feasible(p)) {
        last = p;
        break;
      }
    // The feasible split nearest the middle of the feasible range; the lower
    // one of two equally near.
    int m = (first + last) / 2, chosen = -1;
    for (int d = 0; chosen < 0; ++d) {
      if (m - d >= first && feasible(m - d))
        chosen = m - d;
      else if (m + d <= last && feasible(m + d))
        chosen = m + d;
    }
    if (lastTried != chosen) {
      known[chosen] = -1;
      feasible(chosen);
    }
    chosenArea = targetArea(chosen, area1, area2, R);
    for (Block* b : blocks1) b->lastGood = b->rect();
    for (Block* b : blocks2) b->lastGood = b->rect();
  }

  for (int i = lowIndex; i <= highIndex; ++i) working_[i]->estimatedCentre = {-1.0, -1.0};
  update(lowIndex, blocks1, blocks2);
  j = lowIndex + static_cast<int>(blocks1.size()) - 1;
  OSVO_ASSERT(static_cast<int>(blocks1.size()) == j - lowIndex + 1);
  OSVO_ASSERT(static_cast<int>(blocks2.size()) == highIndex - j);
  bool horizontal = (region.height() >= region.width()) != (flip == 1);
  Rect sub1, sub2;
  splitRegion(region, chosenArea, horizontal, sub1, sub2);
  placeRegion(lowIndex, j, sub1);
  placeRegion(j + 1, highIndex, sub2);
  if (blocks1.size() > 1)
    queue_.push_back({lowIndex, j, sub1});
  else
    place(lowIndex, sub1);
  if (blocks2.size() > 1)
    queue_.push_back({j + 1, highIndex, sub2});
  else
    place(highIndex, sub2);
  ++processed_;
}

int Fenrik::partition(int lowIndex, int highIndex, double& area1, double& area2,
                      std::vector<Block*>& blocks1, std::vector<Block*>& blocks2) {
  const int n = highIndex - lowIndex + 1;
  const Rect& region = working_[lowIndex]->region;
  const bool horizontal = region.height() >= region.width();
  const double L = horizontal ? region.ll.y : region.ll.x;
  const double S = horizontal ? region.height() : region.width();
  auto anchorOf = [&](const Point& p) {
    double c = horizontal ? p.y : p.x;
    if (c <= L + 0.4 * S) return 0;
    if (c >= L + 0.6 * S) return 1;
    return -1;
  };

  // Vertex weights in proportion to block area, scaled to a fixed total so
  // that neither tiny nor huge areas lose the balance or overflow.
  const int nv = n + 2;
  std::vector<int> vwgts(nv, 0), part(nv, -1);
  part[0] = 0;
  part[1] = 1;
  double rangeArea = 0.0;
  for (int i = lowIndex; i <= highIndex; ++i) rangeArea += working_[i]->getRealArea();
  const double scale = rangeArea > 0.0 ? 1e7 / rangeArea : 0.0;
  for (int i = lowIndex; i <= highIndex; ++i)
    vwgts[i - lowIndex + 2] = static_cast<int>(std::llround(working_[i]->getRealArea() * scale));

  std::vector<int> eptr{0}, eind, hewgts;
  if (vertexMark_.size() < static_cast<size_t>(nv)) vertexMark_.assign(nv, 0);
  ++markStamp_;
  const int netStamp = markStamp_;
  int edgeStamp = 0;
  std::vector<int> edge;
  for (int i = lowIndex; i <= highIndex; ++i) {
    for (_Net* net : working_[i]->nets) {
      if (netMark_[net->index] == netStamp) continue;
      netMark_[net->index] = netStamp;
      int w = edgeWeight(net->weight);
      if (w == 0) continue;
      ++edgeStamp;
      edge.clear();
      auto add = [&](int v) {
        if (v >= 0 && vertexMark_[v] != edgeStamp) {
          vertexMark_[v] = edgeStamp;
          edge.push_back(v);
        }
      };
      for (const _Pin& pin : net->pins) {
        int pos = pin.block->position;
        if (pos >= lowIndex && pos <= highIndex)
          add(pos - lowIndex + 2);
        else
          add(anchorOf(pin.block->region.centre()));
      }
      for (const Pad* pad : net->terminals) add(anchorOf({pad->x, pad->y}));
      if (edge.size() < 2) continue;
      eind.insert(eind.end(), edge.begin(), edge.end());
      eptr.push_back(static_cast<int>(eind.size()));
      hewgts.push_back(w);
    }
  }
  // The vertex marks restart per cut; clear them so stamps never collide.
  std::fill(vertexMark_.begin(), vertexMark_.begin() + nv, 0);

  static const int kOptions[9] = {1, 10, 1, 1, 3, 0, 1, -1, 0};
  int edgecut = 0;
  HMETIS_PartRecursive(nv, static_cast<int>(hewgts.size()), vwgts.data(), eptr.data(), eind.data(),
                       hewgts.data(), 2, 10, kOptions, part.data(), &edgecut);

  blocks1.clear();
  blocks2.clear();
  for (int i = lowIndex; i <= highIndex; ++i) {
    Block* b = working_[i];
    bool first = part[i - lowIndex + 2] == 0;
    if (i == highIndex && blocks1.empty()) first = true;
    if (i == highIndex && blocks2.empty()) first = false;
    (first ? blocks1 : blocks2).push_back(b);
  }
  area1 = area2 = 0.0;
  for (Block* b : blocks1) area1 += b->getRealArea();
  for (Block* b : blocks2) area2 += b->getRealArea();
  return lowIndex + static_cast<int>(blocks1.size()) - 1;
}

double Fenrik::fitSlack(const Rect& rect) const {
  return std::min(tolerance_, 1e-6 * std::max(rect.shorterSide(), 0.0));
}

bool Fenrik::packSide(const std::vector<Block*>& blocks, const Rect& rect, bool thorough) {
  if (checkROB(blocks, rect, thorough)) return true;
  bool allSoft = true;
  for (const Block* b : blocks) allSoft = allSoft && b->soft == 1;
  if (!allSoft || blocks.size() < 2) return false;
  if (!packZeroDeadSpace(items_, rect, fitSlack(rect), packed_)) return false;
  for (size_t i = 0; i < blocks.size(); ++i) blocks[i]->set(packed_[i]);
  return true;
}

int Fenrik::checkZDS(const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2,
                     double area1, double /*area2*/, const Rect& region) {
  Rect sub1, sub2;
  splitRegion(region, area1, region.width() <= region.height(), sub1, sub2);
  return packSide(blocks1, sub1, false) && packSide(blocks2, sub2, false) ? 1 : 0;
}

int Fenrik::checkROB(const std::vector<Block*>& blocks, const Rect& rect, bool thorough) {
  items_.clear();
  for (const Block* b : blocks) {
    PackItem it;
    it.soft = b->soft == 1;
    it.width = b->getRealWidth();
    it.height = b->getRealHeight();
    it.area = b->getRealArea();
    it.minAspect = b->minAspect;
    it.maxAspect = b->maxAspect;
    items_.push_back(it);
  }
  const double slack = fitSlack(rect);
  if (!packer_.pack(items_, rect, slack, thorough, packed_)) return 0;
  // A packing is accepted within the fit slack, which on a large outline
  // exceeds the fixed margin of these checks.
  const double low = 0.1 + slack, high = 0.01 + slack;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const double xloc = packed_[i].ll.x - rect.ll.x, yloc = packed_[i].ll.y - rect.ll.y;
    OSVO_ASSERT(xloc > -low);
    OSVO_ASSERT(yloc > -low);
    OSVO_ASSERT(packed_[i].ll.x < rect.ur.x + high);
    OSVO_ASSERT(packed_[i].ll.y < rect.ur.y + high);
    blocks[i]->set(packed_[i]);
  }
  return 1;
}

int Fenrik::ROB_WLCut(std::vector<Block*>& blocks1, std::vector<Block*>& blocks2, double& area1,
                      double& area2, int lowIndex, int highIndex, const Rect& region, int& j,
                      double& cutArea) {
  OSVO_ASSERT(blocks1.size() + blocks2.size() == static_cast<size_t>(highIndex - lowIndex + 1));
  std::vector<Block*> range(working_.begin() + lowIndex, working_.begin() + highIndex + 1);
  for (Block* b : range) {
    OSVO_ASSERT(b->lastGood.ll.x > region.ll.x - 0.1 - tolerance_);
    OSVO_ASSERT(b->lastGood.ll.y > region.ll.y - 0.1 - tolerance_);
    b->set(b->lastGood);
  }

  // Per net: its pins in the range, and how many of them lie on the first side.
  ++markStamp_;
  std::vector<_Net*> rangeNets;
  std::vector<int> inRange(nets_.size(), 0), onFirst(nets_.size(), 0);
  for (Block* b : range)
    for (_Pin* pin : b->pins) {
      _Net* net = pin->net;
      if (netMark_[net->index] != markStamp_) {
        netMark_[net->index] = markStamp_;
        rangeNets.push_back(net);
      }
      ++inRange[net->index];
    }

  // Every straight line across the region that crosses no block is a
  // candidate; the one cutting the least net weight wins, then the more even.
  const double total = [&] {
    double t = 0.0;
    for (Block* b : range) t += b->getRealArea();
    return t;
  }();
  struct Best {
    double cut = kInf, imbalance = kInf, coordinate = 0.0;
    bool horizontal = false;
    std::vector<Block*> first;
  } best;
  std::vector<Block*> sorted = range;
  for (int axis = 0; axis < 2; ++axis) {
    const bool horizontal = axis == 1;  // a horizontal line cuts along y
    auto lo = [horizontal](const Block* b) {
      return horizontal ? b->lastGood.ll.y : b->lastGood.ll.x;
    };
    auto hi = [horizontal](const Block* b) {
      return horizontal ? b->lastGood.ur.y : b->lastGood.ur.x;
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Block* a, const Block* b) { return lo(a) < lo(b); });
    std::fill(onFirst.begin(), onFirst.end(), 0);
    double cut = 0.0, reach = -kInf, firstArea = 0.0;
    for (size_t k = 0; k + 1 < sorted.size(); ++k) {
      Block* b = sorted[k];
      reach = std::max(reach, hi(b));
      firstArea += b->getRealArea();
      for (_Pin* pin : b->pins) {
        _Net* net = pin->net;
        int c = ++onFirst[net->index];
        double w = std::max(net->weight, 0.0);
        if (c == 1 && inRange[net->index] > 1) cut += w;
        if (c == inRange[net->index] && c > 1) cut -= w;
      }
      if (reach > lo(sorted[k + 1]) + tolerance_) continue;
      double imbalance = std::abs(total - 2.0 * firstArea);
      if (cut < best.cut - 1e-9 || (cut <= best.cut + 1e-9 && imbalance < best.imbalance)) {
        best.cut = cut;
        best.imbalance = imbalance;
        best.horizontal = horizontal;
        best.coordinate = (reach + lo(sorted[k + 1])) / 2.0;
        best.first.assign(sorted.begin(), sorted.begin() + static_cast<long>(k) + 1);
      }
    }
  }
  OSVO_ASSERT(!best.first.empty());

  // Both halves keep the order of the range.
  std::vector<char> onFirstSide(range.size(), 0);
  for (Block* b : best.first) onFirstSide[b->position - lowIndex] = 1;
  blocks1.clear();
  blocks2.clear();
  for (Block* b : range) (onFirstSide[b->position - lowIndex] ? blocks1 : blocks2).push_back(b);
  area1 = area2 = 0.0;
  for (Block* b : blocks1) area1 += b->getRealArea();
  for (Block* b : blocks2) area2 += b->getRealArea();
  j = lowIndex + static_cast<int>(blocks1.size()) - 1;
  if (best.horizontal) {
    double c = std::clamp(best.coordinate, region.ll.y, region.ur.y);
    cutArea = (c - region.ll.y) * region.width();
  } else {
    double c = std::clamp(best.coordinate, region.ll.x, region.ur.x);
    cutArea = (c - region.ll.x) * region.height();
  }
  const bool usual = region.height() >= region.width();
  return best.horizontal != usual ? 1 : 0;
}

void Fenrik::update(int lowIndex, const std::vector<Block*>& blocks1,
                    const std::vector<Block*>& blocks2) {
  int pos = lowIndex;
  for (Block* b : blocks1) {
    working_[pos] = b;
    b->position = pos++;
  }
  for (Block* b : blocks2) {
    working_[pos] = b;
    b->position = pos++;
  }
}

void Fenrik::updateWires(const std::vector<Block*>& blocks1, const std::vector<Block*>& blocks2,
                         const Rect& region, double area1, double /*area2*/, int flip) {
  bool horizontal = (region.height() >= region.width()) != (flip == 1);
  Rect sub1, sub2;
  splitRegion(region, area1, horizontal, sub1, sub2);
  for (Block* b : blocks1) b->estimatedCentre = sub1.centre();
  for (Block* b : blocks2) b->estimatedCentre = sub2.centre();
}

Point Fenrik::wirePoint(const Block& block) const {
  if (block.placed) return block.centre();
  if (block.estimatedCentre.x >= 0.0 || block.estimatedCentre.y >= 0.0)
    return block.estimatedCentre;
  return block.region.centre();
}

double Fenrik::getInterWirelength(const std::vector<Block*>& blocks1,
                                  const std::vector<Block*>& blocks2) {
  ++markStamp_;
  double total = 0.0;
  for (const std::vector<Block*>* side : {&blocks1, &blocks2})
    for (const Block* b : *side)
      for (_Net* net : b->nets) {
        if (netMark_[net->index] == markStamp_) continue;
        netMark_[net->index] = markStamp_;
        double minX = kInf, maxX = -kInf, minY = kInf, maxY = -kInf;
        auto add = [&](const Point& p) {
          minX = std::min(minX, p.x);
          maxX = std::max(maxX, p.x);
          minY = std::min(minY, p.y);
          maxY = std::max(maxY, p.y);
        };
        for (const _Pin& pin : net->pins) add(wirePoint(*pin.block));
        for (const Pad* pad : net->terminals) add({pad->x, pad->y});
        total += ((maxX - minX) + (maxY - minY)) * std::max(net->weight, 0.0);
      }
  return total;
}

bool Fenrik::determineSide(int lowIndex, int highIndex, int j, const Rect& region, double area1,
                           double area2, int direction) {
  std::vector<Block*> blocks1(working_.begin() + lowIndex, working_.begin() + j + 1);
  std::vector<Block*> blocks2(working_.begin() + j + 1, working_.begin() + highIndex + 1);
  const double R = region.area(), total = area1 + area2;
  const double a = total > 0.0 ? R * area1 / total : R / 2.0;
  updateWires(blocks1, blocks2, region, a, R - a, direction);
  double kept = getInterWirelength(blocks1, blocks2);
  updateWires(blocks2, blocks1, region, R - a, a, direction);
  double swapped = getInterWirelength(blocks1, blocks2);
  for (int i = lowIndex; i <= highIndex; ++i) working_[i]->estimatedCentre = {-1.0, -1.0};
  return swapped < kept - 1e-9 * (kept + 1.0);
}
