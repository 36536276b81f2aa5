#pragma once
// Points in the plane and in space, and a pad location with a flag.

namespace CoarsePlacement {

class TwoDLoc {
 public:
  TwoDLoc() = default;
  TwoDLoc(double x_, double y_) : x(x_), y(y_) {}
  virtual ~TwoDLoc() = default;
  double x = 0;
  double y = 0;
};

class ThreeDLoc : public TwoDLoc {
 public:
  ThreeDLoc() = default;
  ThreeDLoc(double x_, double y_, double z_) : TwoDLoc(x_, y_), z(z_) {}
  double z = 0;
};

class PadLocation : public ThreeDLoc {
 public:
  bool flag = false;
};

enum PortDir { IN_PORT = 0, OUT_PORT = 1, BI_PORT = 2 };

// 0: a block's reference point is its lower-left corner; 1: its centre, rounded
// down to whole units.
enum LocationSystem { LS_CORNER = 0, LS_CENTER = 1 };

}  // namespace CoarsePlacement
