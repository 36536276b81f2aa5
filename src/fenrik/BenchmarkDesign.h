#pragma once
// A block-level floorplanning problem as the three benchmark text files state
// it (.blocks, .nets, .pl): blocks, terminals, nets and the placements the .pl
// file gives. A plain record; the readers fill it, the writers print it and the
// floorplanner is built from it.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct DesignPlacement {
  bool given = false;  // false when the .pl file gives no location
  double x = 0.0;      // lower-left corner of a block, location of a terminal
  double y = 0.0;
  std::string orientation;  // the orientation word, "" when absent
  bool hasDims = false;     // a "DIMS = (w, h)" field gave the shape at this location
  double dimsWidth = 0.0;
  double dimsHeight = 0.0;
};

struct DesignBlock {
  std::string name;
  bool soft = false;
  double width = 0.0;  // hard: the outline; soft: the side of the square of the area
  double height = 0.0;
  double area = 0.0;            // soft: as given; hard: width x height
  bool hasAspectRange = false;  // soft: height/width range given in the file
  double minAspect = 0.0;
  double maxAspect = 0.0;
  DesignPlacement placement;
};

struct DesignTerminal {
  std::string name;
  DesignPlacement placement;
};

struct DesignPin {
  bool onTerminal = false;
  int index = 0;         // into blocks or terminals
  char direction = 'B';  // B, I or O
  bool hasOffset = false;
  bool offsetInPercent = false;  // the offsets were written with a '%' sign
  double xOffset = 0.0;          // as written, from the block centre
  double yOffset = 0.0;
};

struct DesignNet {
  std::string name;  // "" when the file names none
  std::vector<DesignPin> pins;
};

struct BenchmarkDesign {
  std::vector<DesignBlock> blocks;        // file order
  std::vector<DesignTerminal> terminals;  // file order
  std::vector<DesignNet> nets;
  size_t pinCount = 0;

  struct NameRef {
    bool terminal = false;
    int index = 0;
  };
  std::unordered_map<std::string, NameRef> names;  // blocks and terminals share one name space

  double totalBlockArea() const;
  // Side of the square fixed outline with `whitespacePercent` more room than
  // the blocks need: sqrt((1 + whitespace) x total block area).
  double squareOutlineSide(double whitespacePercent) const;
  // Moves the terminals so that their bounding box becomes `outline` (a
  // terminal on the box's edge lands on the outline's edge); a box without
  // extent in one direction puts the terminals on the outline's middle line.
  void scaleTerminals(double llx, double lly, double urx, double ury);
  // Half-perimeter wire length with every block pin at its block's centre and
  // terminals at their locations; blocks at their placements (a DIMS field
  // gives the shape there). Nets without any located pin add nothing.
  double centreWirelength() const;
};
