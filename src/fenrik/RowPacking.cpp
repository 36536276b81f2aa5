#include "fenrik/RowPacking.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Extent of a soft item across the rows: in a frame whose rows run along x the
// item's height, otherwise its width. Both bounds follow from the item's
// height/width bounds at its fixed area.
void softAcross(const PackItem& item, bool rowsAlongX, double& vMin, double& vMax) {
  if (rowsAlongX) {
    vMin = std::sqrt(item.minAspect * item.area);
    vMax = std::sqrt(item.maxAspect * item.area);
  } else {
    vMin = std::sqrt(item.area / item.maxAspect);
    vMax = std::sqrt(item.area / item.minAspect);
  }
}

// A small deterministic generator, so that a thorough test gives the same
// layout whatever was drawn before it.
double nextUnit(uint64_t& state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return static_cast<double>(state >> 11) * 0x1.0p-53;
}

}  // namespace

bool RowPacker::pack(const std::vector<PackItem>& items, const Rect& rect, double tolerance,
                     bool thorough, std::vector<Rect>& out) {
  tol_ = tolerance;
  const double W = rect.width(), H = rect.height();
  if (!(W >= -tol_ && H >= -tol_)) return false;
  double total = 0.0;
  bool anyHard = false;
  for (const PackItem& it : items) {
    if (it.soft) {
      total += it.area;
      if (it.area <= 0.0) continue;
      double vMin, vMax;
      softAcross(it, true, vMin, vMax);
      if (W <= 0.0 || std::max(vMin, it.area / W) > std::min(vMax, H) + tol_) return false;
    } else {
      anyHard = true;
      total += it.width * it.height;
      bool upright = it.width <= W + tol_ && it.height <= H + tol_;
      bool turned = it.height <= W + tol_ && it.width <= H + tol_;
      if (!upright && !turned) return false;
    }
  }
  if (total > W * H + tol_ * (W + H)) return false;

  const bool primaryAlongX = W <= H;
  bool done = false;
  bool rowsAlongX = primaryAlongX;
  for (int frame = 0; frame < 2 && !done; ++frame) {
    rowsAlongX = frame == 0 ? primaryAlongX : !primaryAlongX;
    double L = rowsAlongX ? W : H, D = rowsAlongX ? H : W;
    for (int policy = 0; policy < (anyHard ? 2 : 1) && !done; ++policy)
      done = attempt(items, L, D, rowsAlongX, policy, nullptr);
  }
  for (int rule = 0; rule < 2 && !done; ++rule) {
    rowsAlongX = true;
    done = attemptSplitting(items, W, H, rule, nullptr);
  }
  if (!done && thorough && anyHard && items.size() <= 120) {
    rowsAlongX = true;
    // About the same time whatever the size: each move costs in proportion to it.
    const int moves = std::min(250'000, 4'000'000 / static_cast<int>(items.size()));
    done = slicing_.pack(items, Rect(0, 0, W, H), tol_, moves, out);
    if (done) {
      placed_.clear();
      for (size_t i = 0; i < items.size(); ++i)
        placed_.push_back(
            {static_cast<int>(i), out[i].ll.x, out[i].ll.y, out[i].width(), out[i].height()});
    }
  }
  if (!done && thorough && anyHard) {
    uint64_t state = 0x9E3779B97F4A7C15ull ^ items.size();
    const int tries = items.size() <= 40 ? 10000 : 400;
    for (int k = 0; k < tries && !done; ++k) {
      if (k % 3 != 0) {
        rowsAlongX = true;
        done = attemptSplitting(items, W, H, k % 2, &state);
        continue;
      }
      rowsAlongX = (k % 2 == 0) == primaryAlongX;
      double L = rowsAlongX ? W : H, D = rowsAlongX ? H : W;
      done = attempt(items, L, D, rowsAlongX, 2, &state);
    }
  }
  if (!done) return false;
  out.assign(items.size(), Rect());
  for (const Placed& p : placed_) {
    if (rowsAlongX)
      out[p.item] =
          Rect(rect.ll.x + p.u, rect.ll.y + p.v, rect.ll.x + p.u + p.du, rect.ll.y + p.v + p.dv);
    else
      out[p.item] =
          Rect(rect.ll.x + p.v, rect.ll.y + p.u, rect.ll.x + p.v + p.dv, rect.ll.y + p.u + p.du);
  }
  return true;
}

// policy 0 lays hard items flat along the row, 1 stands them up, 2 draws the
// orientation and perturbs the order with `noise`.
bool RowPacker::attempt(const std::vector<PackItem>& items, double L, double D, bool rowsAlongX,
                        int policy, uint64_t* noise) {
  placed_.clear();
  shelves_.clear();
  stacks_.clear();
  hard_.clear();
  soft_.clear();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const PackItem& it = items[i];
    if (it.soft) {
      soft_.push_back(i);
      continue;
    }
    double a = std::max(it.width, it.height), b = std::min(it.width, it.height);
    bool flatFits = a <= L + tol_ && b <= D + tol_;
    bool tallFits = b <= L + tol_ && a <= D + tol_;
    if (!flatFits && !tallFits) return false;
    bool flat;
    if (policy == 0)
      flat = flatFits;
    else if (policy == 1)
      flat = !tallFits;
    else
      flat = flatFits && (!tallFits || nextUnit(*noise) < 0.5);
    HardChoice c{i, flat ? a : b, flat ? b : a, 0.0};
    c.key = noise ? c.dv * (0.75 + 0.5 * nextUnit(*noise)) : c.dv;
    hard_.push_back(c);
  }
  std::sort(hard_.begin(), hard_.end(), [](const HardChoice& x, const HardChoice& y) {
    if (x.key != y.key) return x.key > y.key;
    if (x.du != y.du) return x.du > y.du;
    return x.item < y.item;
  });

  double vTop = 0.0;
  for (const HardChoice& c : hard_) {
    int best = -1;
    double bestLeft = kInf;
    for (int s = 0; s < static_cast<int>(stacks_.size()); ++s) {
      const Stack& st = stacks_[s];
      if (c.du <= st.width + tol_ && st.usedV + c.dv <= shelves_[st.shelf].height + tol_ &&
          st.width - c.du < bestLeft) {
        best = s;
        bestLeft = st.width - c.du;
      }
    }
    if (best >= 0) {
      Stack& st = stacks_[best];
      placed_.push_back({c.item, st.u0, shelves_[st.shelf].v0 + st.usedV, c.du, c.dv});
      st.usedV += c.dv;
      continue;
    }
    bool found = false;
    for (int s = 0; s < static_cast<int>(shelves_.size()) && !found; ++s) {
      Shelf& sh = shelves_[s];
      if (c.dv <= sh.height + tol_ && sh.usedU + c.du <= L + tol_) {
        stacks_.push_back({s, sh.usedU, c.du, c.dv});
        placed_.push_back({c.item, sh.usedU, sh.v0, c.du, c.dv});
        sh.usedU += c.du;
        found = true;
      }
    }
    if (found) continue;
    if (vTop + c.dv > D + tol_) return false;
    shelves_.push_back({vTop, c.dv, c.du});
    stacks_.push_back({static_cast<int>(shelves_.size()) - 1, 0.0, c.du, c.dv});
    placed_.push_back({c.item, 0.0, vTop, c.du, c.dv});
    vTop += c.dv;
  }

  // Soft items, largest first, into the room the hard rows leave, then rows of their own.
  std::stable_sort(soft_.begin(), soft_.end(),
                   [&items](int x, int y) { return items[x].area > items[y].area; });
  leftover_.clear();
  for (int i : soft_) {
    const PackItem& it = items[i];
    if (it.area <= 0.0) {
      placed_.push_back({i, 0.0, 0.0, 0.0, 0.0});
      continue;
    }
    double vMin, vMax;
    softAcross(it, rowsAlongX, vMin, vMax);
    bool done = false;
    for (Stack& st : stacks_) {
      const Shelf& sh = shelves_[st.shelf];
      if (st.width <= 0.0) continue;
      double lo = std::max(vMin, it.area / st.width), hi = std::min(vMax, sh.height - st.usedV);
      if (lo <= hi + tol_) {
        placed_.push_back({i, st.u0, sh.v0 + st.usedV, std::min(it.area / lo, st.width), lo});
        st.usedV += lo;
        done = true;
        break;
      }
    }
    for (int s = 0; s < static_cast<int>(shelves_.size()) && !done; ++s) {
      Shelf& sh = shelves_[s];
      double room = L - sh.usedU;
      if (room <= 0.0) continue;
      double lo = std::max(vMin, it.area / room), hi = std::min(vMax, sh.height);
      if (lo <= hi + tol_) {
        double v = std::max(hi, 0.0), u = std::min(it.area / v, room);
        stacks_.push_back({s, sh.usedU, u, v});
        placed_.push_back({i, sh.usedU, sh.v0, u, v});
        sh.usedU += u;
        done = true;
      }
    }
    if (!done) leftover_.push_back(i);
  }
  return packSoftRows(items, L, D, rowsAlongX, vTop);
}

// Guillotine rectangle splitting: items, largest first, each go into the free
// rectangle they fill best, at its lower-left corner; the rest of that free
// rectangle is split in two by a straight cut (rule 0: along the shorter
// leftover side, rule 1: the longer).
bool RowPacker::attemptSplitting(const std::vector<PackItem>& items, double W, double H, int rule,
                                 uint64_t* noise) {
  placed_.clear();
  free_.assign(1, Rect(0, 0, W, H));
  order_.resize(items.size());
  std::iota(order_.begin(), order_.end(), 0);
  auto size = [&items](int i) {
    const PackItem& it = items[i];
    return it.soft ? it.area : it.width * it.height;
  };
  std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return size(a) > size(b); });
  if (noise)
    for (size_t k = 1; k < order_.size(); ++k)
      if (nextUnit(*noise) < 0.3) std::swap(order_[k - 1], order_[k]);
  for (int i : order_) {
    const PackItem& it = items[i];
    int best = -1;
    double bestScore = kInf, bestW = 0, bestH = 0;
    for (int f = 0; f < static_cast<int>(free_.size()); ++f) {
      const Rect& fr = free_[f];
      double fw = fr.width(), fh = fr.height();
      auto consider = [&](double w, double h) {
        if (w > fw + tol_ || h > fh + tol_) return;
        double score = std::min(fw - w, fh - h);
        if (noise) score *= 0.8 + 0.4 * nextUnit(*noise);
        if (score < bestScore) {
          bestScore = score;
          best = f;
          bestW = w;
          bestH = h;
        }
      };
      if (it.soft) {
        if (it.area <= 0.0) {
          consider(0.0, 0.0);
          continue;
        }
        double wLo = std::sqrt(it.area / it.maxAspect), wHi = std::sqrt(it.area / it.minAspect);
        if (fh > 0.0) wLo = std::max(wLo, it.area / fh);
        double w = std::min(fw, wHi);
        if (w >= wLo - tol_ && w > 0.0) consider(w, it.area / w);
        double h = std::min(fh, std::sqrt(it.area * it.maxAspect));
        if (h > 0.0 && it.area / h <= fw + tol_ && h >= std::sqrt(it.area * it.minAspect) - tol_)
          consider(it.area / h, h);
      } else {
        consider(it.width, it.height);
        consider(it.height, it.width);
      }
    }
    if (best < 0) return false;
    Rect fr = free_[best];
    free_[best] = free_.back();
    free_.pop_back();
    placed_.push_back({i, fr.ll.x, fr.ll.y, bestW, bestH});
    double restW = fr.width() - bestW, restH = fr.height() - bestH;
    bool splitAcross =
        (restW < restH) == (rule == 0);  // cut along y = ll.y + h across the whole width
    Rect right, top;
    if (splitAcross) {
      right = Rect(fr.ll.x + bestW, fr.ll.y, fr.ur.x, fr.ll.y + bestH);
      top = Rect(fr.ll.x, fr.ll.y + bestH, fr.ur.x, fr.ur.y);
    } else {
      right = Rect(fr.ll.x + bestW, fr.ll.y, fr.ur.x, fr.ur.y);
      top = Rect(fr.ll.x, fr.ll.y + bestH, fr.ll.x + bestW, fr.ur.y);
    }
    if (right.width() > tol_ && right.height() > tol_) free_.push_back(right);
    if (top.width() > tol_ && top.height() > tol_) free_.push_back(top);
  }
  return true;
}

// Rows of the leftover soft items in order of decreasing area: a row takes the
// next items while one row height keeps every item's shape within bounds and
// the items fill no more than the row's length.
bool RowPacker::packSoftRows(const std::vector<PackItem>& items, double L, double D,
                             bool rowsAlongX, double& vTop) {
  size_t k = 0;
  while (k < leftover_.size()) {
    const PackItem& first = items[leftover_[k]];
    double area = first.area, minVMax, maxVMin;
    softAcross(first, rowsAlongX, maxVMin, minVMax);
    if (area / L > minVMax + tol_) return false;
    size_t e = k + 1;
    for (; e < leftover_.size(); ++e) {
      const PackItem& it = items[leftover_[e]];
      double vMin, vMax;
      softAcross(it, rowsAlongX, vMin, vMax);
      double nextArea = area + it.area, nextMinVMax = std::min(minVMax, vMax);
      double nextMaxVMin = std::max(maxVMin, vMin);
      if (nextArea / L > nextMinVMax || nextMaxVMin > nextMinVMax) break;
      area = nextArea;
      minVMax = nextMinVMax;
      maxVMin = nextMaxVMin;
    }
    double h = std::max(area / L, maxVMin);
    if (vTop + h > D + tol_) return false;
    double u = 0.0;
    for (size_t t = k; t < e; ++t) {
      const PackItem& it = items[leftover_[t]];
      double vMin, vMax;
      softAcross(it, rowsAlongX, vMin, vMax);
      double v = std::min(h, vMax), du = it.area / v;
      placed_.push_back({leftover_[t], u, vTop, du, v});
      u += du;
    }
    vTop += h;
    k = e;
  }
  return true;
}

bool packZeroDeadSpace(const std::vector<PackItem>& items, const Rect& rect, double tolerance,
                       std::vector<Rect>& out) {
  const size_t n = items.size();
  if (n == 0) return true;
  double total = 0.0;
  for (const PackItem& it : items) {
    if (!it.soft || !(it.area > 0.0)) return false;
    total += it.area;
  }
  if (!(rect.width() > 0.0 && rect.height() > 0.0)) return false;
  if (total > rect.area() + tolerance * (rect.width() + rect.height())) return false;
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&items](int x, int y) { return items[x].area > items[y].area; });
  std::vector<double> prefix(n + 1, 0.0);
  for (size_t k = 0; k < n; ++k) prefix[k + 1] = prefix[k] + items[order[k]].area;

  // How far a cell of w x h is from suiting what it holds: 0 for a single item
  // within its bounds, a large value when outside them, otherwise the
  // elongation of the cell.
  auto cellCost = [&items](double w, double h, int single) {
    if (!(w > 0.0 && h > 0.0)) return kInf;
    double aspect = h / w;
    if (single < 0) return std::abs(std::log(aspect));
    const PackItem& it = items[single];
    if (aspect >= it.minAspect * (1 - 1e-9) && aspect <= it.maxAspect * (1 + 1e-9)) return 0.0;
    return 1e6 + std::abs(std::log(aspect));
  };
  out.assign(n, Rect());
  std::function<bool(size_t, size_t, const Rect&)> slice = [&](size_t l, size_t r,
                                                               const Rect& cell) -> bool {
    double w = cell.width(), h = cell.height();
    if (r - l == 1) {
      int i = order[l];
      if (cellCost(w, h, i) != 0.0) return false;
      double f = std::min(1.0, std::sqrt(items[i].area / (w * h)));
      out[i] = Rect(cell.ll.x, cell.ll.y, cell.ll.x + w * f, cell.ll.y + h * f);
      return true;
    }
    bool horizontal = h >= w;
    double range = prefix[r] - prefix[l];
    size_t bestK = l + 1;
    double bestCost = kInf;
    for (size_t k = l + 1; k < r; ++k) {
      double f = (prefix[k] - prefix[l]) / range;
      double c1 = horizontal ? cellCost(w, h * f, k - l == 1 ? order[l] : -1)
                             : cellCost(w * f, h, k - l == 1 ? order[l] : -1);
      double c2 = horizontal ? cellCost(w, h * (1 - f), r - k == 1 ? order[k] : -1)
                             : cellCost(w * (1 - f), h, r - k == 1 ? order[k] : -1);
      double cost = std::max(c1, c2);
      if (cost < bestCost) {
        bestCost = cost;
        bestK = k;
      }
    }
    if (bestCost >= 1e6) return false;
    double f = (prefix[bestK] - prefix[l]) / range;
    Rect first = cell, second = cell;
    if (horizontal) {
      first.ur.y = second.ll.y = cell.ll.y + h * f;
    } else {
      first.ur.x = second.ll.x = cell.ll.x + w * f;
    }
    return slice(l, bestK, first) && slice(bestK, r, second);
  };
  return slice(0, n, rect);
}
