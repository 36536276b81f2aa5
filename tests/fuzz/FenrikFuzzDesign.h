#pragma once
// The fixed block file the net and placement fuzzers read first.
#include <sstream>

#include "fenrik/BenchmarkReader.h"

inline BenchmarkDesign fenrikFuzzBlocks() {
  std::istringstream in(
      "ZEPT blocks 1.0\n"
      "NumSoftRectangularBlocks : 2\nNumHardRectilinearBlocks : 2\nNumTerminals : 2\n"
      "sb0 softrectangular 400 0.3 3.0\nsb1 softrectangular 100 0.1 10.0\n"
      "sb2 hardrectilinear 4 (0, 0) (0, 30) (20, 30) (20, 0)\n"
      "sb3 hardrectilinear 4 (0, 0) (0, 5) (8, 5) (8, 0)\n"
      "p1 terminal\np2 terminal\n");
  BenchmarkDesign design;
  readBlockFile(in, "fuzz.blocks", design);
  return design;
}
