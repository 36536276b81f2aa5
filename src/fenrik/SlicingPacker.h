#pragma once
// Slicing floorplans by simulated annealing over normalised Polish
// expressions, for the thorough feasibility test of a small block set: the
// expression's shape curve (every non-dominated width and height it can take,
// hard blocks upright or turned, soft blocks at a few aspect ratios) is
// evaluated bottom up, and the annealer looks for an expression with a shape
// that fits the rectangle.
#include <cstdint>
#include <vector>

#include "fenrik/Geometry.h"
#include "fenrik/PackItem.h"

class SlicingPacker {
 public:
  // True when a slicing layout of the items fits `rect`; out[i] is then item
  // i's rectangle. Deterministic for given items, rectangle and `moves` budget.
  bool pack(const std::vector<PackItem>& items, const Rect& rect, double tolerance, int moves,
            std::vector<Rect>& out);

 private:
  static constexpr int kH = -1;  // the right operand above the left one
  static constexpr int kV = -2;  // the right operand beside the left one

  struct Shape {
    double w, h;
    int left, right;  // the children's shapes (for a leaf: the item's shape index)
  };
  struct Node {
    int item;          // the item of a leaf, else -1
    int op;            // kH or kV for an inner node
    int left, right;   // child nodes
    int first, count;  // the node's shapes in shapes_
  };

  // Shape curve of the expression; returns the root node and its misfit
  // (0 when some shape fits).
  double evaluate(const std::vector<int>& expr, int& root);
  void combine(Node& node, const Node& a, const Node& b);
  void layout(int node, int shape, double x, double y, std::vector<Rect>& out, const Rect& rect);

  std::vector<std::vector<Shape>> itemShapes_;
  std::vector<Node> nodes_;
  std::vector<Shape> shapes_;
  std::vector<int> stack_;
  std::vector<Shape> scratch_;
  double W_ = 0.0, H_ = 0.0, tol_ = 0.0;
};
