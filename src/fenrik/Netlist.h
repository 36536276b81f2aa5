#pragma once
// Nets, pins and terminals of the fixed-outline floorplanner.
#include <string>
#include <vector>

#include "fenrik/Geometry.h"

class Block;
struct _Net;

// A terminal: a fixed point the chip's nets connect to.
struct Pad {
  std::string name;
  double x = 0.0;
  double y = 0.0;
};

// A pin on a block. Offsets are fractions of the block's width and height from
// its lower-left corner (0.5, 0.5 is the centre).
struct _Pin {
  double xOffset = 0.5;
  double yOffset = 0.5;
  Block* block = nullptr;  // borrowed
  _Net* net = nullptr;     // borrowed

  Point location() const;
};

struct _Net {
  int index = 0;                      // position in the floorplanner's net list
  std::vector<_Pin> pins;             // pins on blocks, in file order
  std::vector<const Pad*> terminals;  // borrowed
  double weight = 1.0;
  // The driver-side pin and one chosen sink pin, used to orient pins on their
  // blocks; null until someone chooses them.
  _Pin* pairFirst = nullptr;
  _Pin* pairSecond = nullptr;
};
