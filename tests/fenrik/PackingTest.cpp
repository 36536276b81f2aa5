// The feasibility packers: hand-checked fits and misfits, and on random item
// sets every layout they accept keeps the shapes, stays inside its rectangle,
// has no overlap and can be cut apart by straight lines (which the fallback
// cut relies on).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fenrik/RowPacking.h"
#include "fenrik/SlicingPacker.h"

namespace {

PackItem hard(double w, double h) {
  return {false, w, h, w * h, 0, 0};
}
PackItem soft(double area, double lo, double hi) {
  return {true, 0, 0, area, lo, hi};
}

// True when the rectangles can be separated by a straight cut crossing none of
// them, and each side again, down to single rectangles.
bool guillotine(std::vector<Rect> rects) {
  if (rects.size() <= 1) return true;
  const double eps = 1e-9;
  for (int axis = 0; axis < 2; ++axis) {
    auto lo = [axis](const Rect& r) { return axis ? r.ll.y : r.ll.x; };
    auto hi = [axis](const Rect& r) { return axis ? r.ur.y : r.ur.x; };
    std::sort(rects.begin(), rects.end(),
              [&](const Rect& a, const Rect& b) { return lo(a) < lo(b); });
    double reach = -1e300;
    for (size_t k = 0; k + 1 < rects.size(); ++k) {
      reach = std::max(reach, hi(rects[k]));
      if (reach <= lo(rects[k + 1]) + eps)
        return guillotine({rects.begin(), rects.begin() + static_cast<long>(k) + 1}) &&
               guillotine({rects.begin() + static_cast<long>(k) + 1, rects.end()});
    }
  }
  return false;
}

// Empty when the layout is sound, else what is wrong.
std::string problems(const std::vector<PackItem>& items, const Rect& rect,
                     const std::vector<Rect>& out) {
  const double eps = 1e-7;
  if (out.size() != items.size()) return "wrong count";
  for (size_t i = 0; i < items.size(); ++i) {
    const Rect& r = out[i];
    double w = r.width(), h = r.height();
    if (r.ll.x < rect.ll.x - eps || r.ll.y < rect.ll.y - eps || r.ur.x > rect.ur.x + eps ||
        r.ur.y > rect.ur.y + eps)
      return "item " + std::to_string(i) + " outside";
    if (items[i].soft) {
      if (std::abs(w * h - items[i].area) > 1e-6 * items[i].area) return "soft area changed";
      if (h < w * items[i].minAspect * (1 - 1e-9) || h > w * items[i].maxAspect * (1 + 1e-9))
        return "soft shape out of bounds";
    } else {
      bool upright = std::abs(w - items[i].width) < eps && std::abs(h - items[i].height) < eps;
      bool turned = std::abs(w - items[i].height) < eps && std::abs(h - items[i].width) < eps;
      if (!upright && !turned) return "hard shape changed";
    }
    for (size_t k = 0; k < i; ++k) {
      double dx = std::min(r.ur.x, out[k].ur.x) - std::max(r.ll.x, out[k].ll.x);
      double dy = std::min(r.ur.y, out[k].ur.y) - std::max(r.ll.y, out[k].ll.y);
      if (dx > eps && dy > eps) return "overlap";
    }
  }
  if (!guillotine(out)) return "not guillotine";
  return "";
}

TEST(RowPacker, HandCheckedFitsAndMisfits) {
  struct Case {
    const char* what;
    std::vector<PackItem> items;
    Rect rect;
    bool fits;
  } cases[] = {
      {"four unit squares fill a 2 x 2",
       {hard(1, 1), hard(1, 1), hard(1, 1), hard(1, 1)},
       Rect(5, 5, 7, 7),
       true},
      {"five do not",
       {hard(1, 1), hard(1, 1), hard(1, 1), hard(1, 1), hard(1, 1)},
       Rect(0, 0, 2, 2),
       false},
      {"a block that fits only turned", {hard(1, 6)}, Rect(0, 0, 7, 2), true},
      {"a block that fits neither way", {hard(3, 6)}, Rect(0, 0, 7, 2), false},
      {"short blocks stack within a row",
       {hard(4, 4), hard(2, 2), hard(2, 2)},
       Rect(0, 0, 6, 4),
       true},
      {"soft blocks fill a rectangle exactly",
       {soft(1, .25, 4), soft(1, .25, 4), soft(1, .25, 4), soft(1, .25, 4), soft(2, .25, 4),
        soft(2, .25, 4)},
       Rect(0, 0, 2, 4),
       true},
      {"a soft block too flat for its bounds", {soft(4, 0.5, 2)}, Rect(0, 0, 8, 1), false},
      {"mixed: soft fills beside a hard block",
       {hard(3, 3), soft(3, 1.0 / 3, 3)},
       Rect(0, 0, 4, 3),
       true},
      {"an empty set", {}, Rect(0, 0, 1, 1), true},
  };
  RowPacker packer;
  for (const Case& c : cases) {
    std::vector<Rect> out;
    bool fits = packer.pack(c.items, c.rect, 1e-9, false, out);
    EXPECT_EQ(fits, c.fits) << c.what;
    if (fits) {
      EXPECT_EQ(problems(c.items, c.rect, out), "") << c.what;
    }
  }
}

// Sound layouts are checked on random sets with the row packer's.
TEST(ZeroDeadSpace, CellsKeepTheSoftBoundsAndHardBlocksAreRefused) {
  std::vector<Rect> out;
  // Cells of 1 x 2 and 1 x 1 in a 1 x 3 strip: the larger cell breaks square bounds.
  EXPECT_FALSE(packZeroDeadSpace({soft(2, 1, 1), soft(1, 1, 1)}, Rect(0, 0, 1, 3), 1e-9, out));
  EXPECT_TRUE(packZeroDeadSpace({soft(2, .5, 2), soft(1, 1, 1)}, Rect(0, 0, 1, 3), 1e-9, out));
  EXPECT_FALSE(packZeroDeadSpace({hard(1, 1)}, Rect(0, 0, 1, 1), 1e-9, out));
}

TEST(SlicingPacker, FindsTightSlicingLayouts) {
  SlicingPacker packer;
  std::vector<Rect> out;
  // A standing block beside two lying ones fills 3 x 2 exactly.
  std::vector<PackItem> items = {hard(2, 1), hard(1, 2), hard(2, 1)};
  ASSERT_TRUE(packer.pack(items, Rect(1, 1, 4, 3), 1e-9, 20000, out));
  EXPECT_EQ(problems(items, Rect(1, 1, 4, 3), out), "");
  EXPECT_FALSE(packer.pack(items, Rect(0, 0, 2.9, 2), 1e-9, 20000, out));

  // Random hard and soft sets with room to spare.
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> size(0.5, 10.0);
  int fitted = 0;
  for (int trial = 0; trial < 40; ++trial) {
    items.clear();
    double area = 0.0;
    for (int i = 0, n = 2 + static_cast<int>(rng() % 15); i < n; ++i) {
      items.push_back(i % 3 ? hard(size(rng), size(rng)) : soft(size(rng) * size(rng), 0.5, 2));
      area += items.back().area;
    }
    double side = std::sqrt(1.3 * area);
    Rect rect(0, 0, side, side);
    if (packer.pack(items, rect, 1e-9, 20000, out)) {
      ++fitted;
      ASSERT_EQ(problems(items, rect, out), "") << "trial " << trial;
    }
  }
  EXPECT_GT(fitted, 30);
}

TEST(RowPacker, RandomLayoutsAreSound) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> size(0.5, 10.0), unit(0.0, 1.0);
  RowPacker packer;
  int fitted = 0, zdsFitted = 0;
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<PackItem> items;
    int n = 1 + static_cast<int>(rng() % 30);
    double area = 0.0;
    bool allSoft = trial % 2 == 0;
    for (int i = 0; i < n; ++i) {
      if (allSoft || unit(rng) < 0.4)
        items.push_back(soft(size(rng) * size(rng), 1.0 / 3.0, 3.0));
      else
        items.push_back(hard(size(rng), size(rng)));
      area += items.back().area;
    }
    double aspect = 0.3 + 3 * unit(rng), scaled = area * (1.0 + 0.4 * unit(rng));
    double w = std::sqrt(scaled * aspect), h = scaled / w;
    Rect rect(3, 7, 3 + w, 7 + h);
    std::vector<Rect> out;
    if (packer.pack(items, rect, 1e-9, false, out)) {
      ++fitted;
      ASSERT_EQ(problems(items, rect, out), "") << "trial " << trial;
    }
    if (allSoft && packZeroDeadSpace(items, rect, 1e-9, out)) {
      ++zdsFitted;
      ASSERT_EQ(problems(items, rect, out), "") << "zero dead space, trial " << trial;
    }
  }
  EXPECT_GT(fitted, 150);
  EXPECT_GT(zdsFitted, 20);
}

}  // namespace
