#include "fenrik/SlicingPacker.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kMaxCurve = 24;  // shapes kept per node

uint64_t nextBits(uint64_t& state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}
double unitDraw(uint64_t& state) {
  return static_cast<double>(nextBits(state) >> 11) * 0x1.0p-53;
}

bool isOperator(int token) {
  return token < 0;
}

}  // namespace

void SlicingPacker::combine(Node& node, const Node& a, const Node& b) {
  // Both curves run by increasing width and decreasing height; the combined
  // curve is merged the same way and keeps only non-dominated shapes.
  scratch_.clear();
  if (node.op == kV) {
    // Side by side: widths add, the taller height counts. Walk the heights down.
    size_t i = 0, j = 0;
    while (i < static_cast<size_t>(a.count) && j < static_cast<size_t>(b.count)) {
      const Shape& sa = shapes_[a.first + i];
      const Shape& sb = shapes_[b.first + j];
      scratch_.push_back({sa.w + sb.w, std::max(sa.h, sb.h), a.first + static_cast<int>(i),
                          b.first + static_cast<int>(j)});
      if (sa.h > sb.h)
        ++i;
      else if (sb.h > sa.h)
        ++j;
      else {
        ++i;
        ++j;
      }
    }
  } else {
    // Stacked: heights add, the wider width counts. Walk the widths up from the widest.
    int i = a.count - 1, j = b.count - 1;
    while (i >= 0 && j >= 0) {
      const Shape& sa = shapes_[a.first + i];
      const Shape& sb = shapes_[b.first + j];
      scratch_.push_back({std::max(sa.w, sb.w), sa.h + sb.h, a.first + i, b.first + j});
      if (sa.w > sb.w)
        --i;
      else if (sb.w > sa.w)
        --j;
      else {
        --i;
        --j;
      }
    }
    std::reverse(scratch_.begin(), scratch_.end());
  }
  // Keep the non-dominated shapes by increasing width (so decreasing height).
  std::sort(scratch_.begin(), scratch_.end(),
            [](const Shape& x, const Shape& y) { return x.w != y.w ? x.w < y.w : x.h < y.h; });
  size_t kept = 0;
  for (const Shape& s : scratch_)
    if (kept == 0 || s.h < scratch_[kept - 1].h) scratch_[kept++] = s;
  scratch_.resize(kept);
  if (scratch_.size() > kMaxCurve) {
    // Thin out evenly, keeping both ends.
    std::vector<Shape> thin;
    for (size_t k = 0; k < kMaxCurve; ++k)
      thin.push_back(scratch_[k * (scratch_.size() - 1) / (kMaxCurve - 1)]);
    scratch_ = thin;
  }
  node.first = static_cast<int>(shapes_.size());
  node.count = static_cast<int>(scratch_.size());
  shapes_.insert(shapes_.end(), scratch_.begin(), scratch_.end());
}

double SlicingPacker::evaluate(const std::vector<int>& expr, int& root) {
  nodes_.clear();
  shapes_.clear();
  stack_.clear();
  for (int token : expr) {
    Node node{-1, 0, -1, -1, 0, 0};
    if (!isOperator(token)) {
      node.item = token;
      node.first = static_cast<int>(shapes_.size());
      for (const Shape& s : itemShapes_[token]) shapes_.push_back(s);
      node.count = static_cast<int>(itemShapes_[token].size());
    } else {
      node.op = token;
      node.right = stack_.back();
      stack_.pop_back();
      node.left = stack_.back();
      stack_.pop_back();
      combine(node, nodes_[node.left], nodes_[node.right]);
    }
    nodes_.push_back(node);
    stack_.push_back(static_cast<int>(nodes_.size()) - 1);
  }
  root = stack_.back();
  double best = std::numeric_limits<double>::infinity();
  const Node& r = nodes_[root];
  for (int k = 0; k < r.count; ++k) {
    const Shape& s = shapes_[r.first + k];
    double misfit = std::max(0.0, s.w - W_ - tol_) / W_ + std::max(0.0, s.h - H_ - tol_) / H_;
    best = std::min(best, misfit);
  }
  return best;
}

void SlicingPacker::layout(int node, int shape, double x, double y, std::vector<Rect>& out,
                           const Rect& rect) {
  const Node& n = nodes_[node];
  const Shape& s = shapes_[shape];
  if (n.item >= 0) {
    out[n.item] = Rect(rect.ll.x + x, rect.ll.y + y, rect.ll.x + x + s.w, rect.ll.y + y + s.h);
    return;
  }
  const Shape& left = shapes_[s.left];
  layout(n.left, s.left, x, y, out, rect);
  if (n.op == kV)
    layout(n.right, s.right, x + left.w, y, out, rect);
  else
    layout(n.right, s.right, x, y + left.h, out, rect);
}

bool SlicingPacker::pack(const std::vector<PackItem>& items, const Rect& rect, double tolerance,
                         int moves, std::vector<Rect>& out) {
  const int n = static_cast<int>(items.size());
  W_ = rect.width();
  H_ = rect.height();
  tol_ = tolerance;
  if (n == 0) return true;
  if (!(W_ > 0.0 && H_ > 0.0)) return false;
  itemShapes_.assign(n, {});
  for (int i = 0; i < n; ++i) {
    const PackItem& it = items[i];
    auto& curve = itemShapes_[i];
    if (!it.soft) {
      double a = std::min(it.width, it.height), b = std::max(it.width, it.height);
      curve.push_back({a, b, i, 0});
      if (b > a) curve.push_back({b, a, i, 1});
    } else {
      const int samples = 7;
      for (int k = samples - 1; k >= 0; --k) {  // by increasing width
        double aspect =
            it.minAspect * std::pow(it.maxAspect / it.minAspect, k / double(samples - 1));
        curve.push_back({std::sqrt(it.area / aspect), std::sqrt(it.area * aspect), i, k});
      }
    }
  }
  // Several short anneals from the same start, each with its own draws.
  std::vector<int> start{0};
  for (int i = 1; i < n; ++i) {
    start.push_back(i);
    start.push_back(i % 2 ? kH : kV);
  }
  const int restarts = 8, budget = std::max(1, moves / restarts);
  std::vector<int> best;
  double bestCost = std::numeric_limits<double>::infinity();
  for (int run = 0; run < restarts && bestCost > 0.0; ++run) {
    uint64_t state = 0x2545F4914F6CDD1Dull ^ (static_cast<uint64_t>(n) << 8) ^
                     static_cast<uint64_t>(run + 1) * 0x9E3779B97F4A7C15ull;
    std::vector<int> expr = start;
    int root;
    double cost = evaluate(expr, root);
    if (cost < bestCost) {
      bestCost = cost;
      best = expr;
    }
    double temperature = 0.05;
    const double cooling = std::pow(1e-3, 1.0 / budget);
    std::vector<int> trial;
    for (int m = 0; m < budget && bestCost > 0.0 && n >= 2; ++m) {
      temperature *= cooling;
      trial = expr;
      const int len = static_cast<int>(trial.size());
      int kind = static_cast<int>(nextBits(state) % 3);
      if (kind == 0) {
        // Swap two operands next to each other in operand order.
        int pos = static_cast<int>(nextBits(state) % len);
        while (isOperator(trial[pos])) pos = (pos + 1) % len;
        int next = pos + 1;
        while (next < len && isOperator(trial[next])) ++next;
        if (next >= len) continue;
        std::swap(trial[pos], trial[next]);
      } else if (kind == 1) {
        // Complement a chain of operators.
        int pos = static_cast<int>(nextBits(state) % len);
        if (!isOperator(trial[pos])) continue;
        while (pos > 0 && isOperator(trial[pos - 1])) --pos;
        for (int k = pos; k < len && isOperator(trial[k]); ++k) trial[k] = trial[k] == kH ? kV : kH;
      } else {
        // Swap an operand with the operator next to it, keeping the expression
        // valid (every prefix has more operands than operators) and normalised
        // (no two equal operators in a row).
        int pos = static_cast<int>(nextBits(state) % (len - 1));
        if (isOperator(trial[pos]) == isOperator(trial[pos + 1])) continue;
        std::swap(trial[pos], trial[pos + 1]);
        int operands = 0;
        bool valid = true;
        for (int k = 0; k < len && valid; ++k) {
          operands += isOperator(trial[k]) ? -1 : 1;
          valid = operands >= 1 && !(k > 0 && isOperator(trial[k]) && trial[k] == trial[k - 1]);
        }
        if (!valid) continue;
      }
      int trialRoot;
      double trialCost = evaluate(trial, trialRoot);
      if (trialCost <= cost || unitDraw(state) < std::exp((cost - trialCost) / temperature)) {
        expr.swap(trial);
        cost = trialCost;
        if (cost < bestCost) {
          bestCost = cost;
          best = expr;
        }
      }
    }
  }
  int root;
  if (bestCost > 0.0) return false;
  evaluate(best, root);
  const Node& r = nodes_[root];
  int chosen = -1;
  for (int k = 0; k < r.count && chosen < 0; ++k) {
    const Shape& s = shapes_[r.first + k];
    if (s.w <= W_ + tol_ && s.h <= H_ + tol_) chosen = r.first + k;
  }
  if (chosen < 0) return false;
  out.assign(n, Rect());
  layout(root, chosen, 0.0, 0.0, out, rect);
  return true;
}
