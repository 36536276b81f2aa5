#include "fenrik/Legality.h"

#include <algorithm>
#include <cmath>
#include <vector>

LegalityReport checkLegality(const Fenrik& fenrik, const Rect& outline, double tolerance) {
  LegalityReport report;
  auto fail = [&report](const std::string& problem) {
    report.legal = false;
    report.problem = problem;
    return report;
  };
  const double relative = 1e-6;
  std::vector<const Block*> blocks;
  for (const auto& owned : fenrik.blocks()) {
    const Block& b = *owned;
    const Rect& r = b.rect();
    if (!b.placed) return fail(b.name + " is not placed");
    if (!(r.ll.x >= outline.ll.x - tolerance && r.ll.y >= outline.ll.y - tolerance &&
          r.ur.x <= outline.ur.x + tolerance && r.ur.y <= outline.ur.y + tolerance))
      return fail(b.name + " lies outside the outline");
    double w = r.width(), h = r.height();
    if (b.soft == 1) {
      double a = b.getRealArea();
      if (std::abs(w * h - a) > relative * a + tolerance * tolerance)
        return fail(b.name + " does not keep its area");
      // Each side is known only within the coordinate slack: far from the
      // origin the coordinates keep fewer digits of a block's width than its
      // shape has.
      if (a > 0.0 && (h + tolerance < (w - tolerance) * b.minAspect * (1 - relative) ||
                      h - tolerance > (w + tolerance) * b.maxAspect * (1 + relative)))
        return fail(b.name + " has an aspect ratio out of bounds");
    } else {
      double rw = b.getRealWidth(), rh = b.getRealHeight();
      bool upright = std::abs(w - rw) <= tolerance && std::abs(h - rh) <= tolerance;
      bool turned = std::abs(w - rh) <= tolerance && std::abs(h - rw) <= tolerance;
      if (!upright && !turned) return fail(b.name + " does not keep its outline");
    }
    blocks.push_back(&b);
  }
  std::sort(blocks.begin(), blocks.end(),
            [](const Block* a, const Block* b) { return a->getLl().x < b->getLl().x; });
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Rect& a = blocks[i]->rect();
    for (size_t k = i + 1; k < blocks.size(); ++k) {
      const Rect& b = blocks[k]->rect();
      if (b.ll.x >= a.ur.x - tolerance) break;
      double dx = std::min(a.ur.x, b.ur.x) - std::max(a.ll.x, b.ll.x);
      double dy = std::min(a.ur.y, b.ur.y) - std::max(a.ll.y, b.ll.y);
      if (dx > tolerance && dy > tolerance)
        return fail(blocks[i]->name + " overlaps " + blocks[k]->name);
    }
  }
  return report;
}
