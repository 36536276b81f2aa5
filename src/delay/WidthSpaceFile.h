#pragma once
// Reader of the width and spacing file (option "-readWidthSpace"): pairs of
// numbers, the wire width and spacing of layer 0, 1, ... in order, separated by
// white space.
#include <istream>
#include <string>
#include <vector>

struct WidthSpace {
  std::vector<double> width;
  std::vector<double> spacing;
};

// Reads at most `layers` pairs. Throws an osvo::Error naming the file (and the
// line) when a word is not a number, a width or spacing is not positive, or no
// pair is there at all. A number without its partner at the end, and pairs
// beyond the last layer, are ignored with a warning on standard error.
WidthSpace readWidthSpace(std::istream& in, const std::string& fileName, int layers);
