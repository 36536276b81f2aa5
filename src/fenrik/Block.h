#pragma once
// One rectangular module of the fixed-outline floorplanner: its own shape
// (hard: fixed outline that may turn by 90 degrees; soft: fixed area with a
// bounded aspect ratio), where it sits now, and the region the recursion gives it.
#include <string>
#include <vector>

#include "fenrik/Geometry.h"

struct _Net;
struct _Pin;

class Block {
 public:
  std::string name;
  int index = 0;        // order in the block file
  int position = 0;     // slot in the working block array
  double aspect = 1.0;  // hard: height/width of the outline, inverted when below 1; soft: 1
  int soft = 0;         // 1 = soft rectangular block, 0 = hard block
  int placed = 0;       // 1 once the block has its final shape and location
  Rect region;          // the rectangle the recursion currently assigns to the block
  Rect lastGood;        // the block's rectangle in the last layout that passed a feasibility test
  Point estimatedCentre{-1.0, -1.0};
  double scaledArea = 0.0;
  // Height/width bounds of a soft block's shape.
  double minAspect = 0.0;
  double maxAspect = 0.0;
  std::vector<_Net*> nets;  // distinct nets touching the block (borrowed)
  std::vector<_Pin*> pins;  // the block's pins in file order (borrowed)

  void set(double x1, double y1, double x2, double y2) { rect_ = Rect(x1, y1, x2, y2); }
  void set(const Rect& rect) { rect_ = rect; }
  const Rect& rect() const { return rect_; }
  double getWidth() const { return rect_.width(); }
  double getHeight() const { return rect_.height(); }
  double getArea() const { return rect_.area(); }
  const Point& getLl() const { return rect_.ll; }
  const Point& getUr() const { return rect_.ur; }
  Point centre() const { return rect_.centre(); }

  // The block's own dimensions (for a soft block, its square), independent of where it sits.
  double getRealWidth() const { return realWidth_; }
  double getRealHeight() const { return realHeight_; }
  // Area of the block itself (a soft block keeps it whatever its shape).
  double getRealArea() const { return realArea_; }
  void setRealShape(double width, double height, double area) {
    realWidth_ = width;
    realHeight_ = height;
    realArea_ = area;
  }
  bool hasArea() const { return realArea_ > 0.0; }

 private:
  Rect rect_;
  double realWidth_ = 0.0;
  double realHeight_ = 0.0;
  double realArea_ = 0.0;
};
