// The placement-file reader on arbitrary bytes, after fixed block and net
// files. A placement that reads is floorplanned as well: the terminals fix the
// outline, so odd locations make odd outlines, and the result must be legal
// or refused.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FenrikFuzzDesign.h"
#include "fenrik/Fenrik.h"
#include "fenrik/Legality.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const BenchmarkDesign blocksAndNets = [] {
    BenchmarkDesign d = fenrikFuzzBlocks();
    std::istringstream nets(
        "ZEPT nets 1.0\nNumNets : 3\nNumPins : 7\n"
        "NetDegree : 3\nsb0 B\nsb2 B\np1 B\nNetDegree : 2\nsb1 B\np2 B\n"
        "NetDegree : 2\nsb3 B\nsb0 B\n");
    readNetsFile(nets, "fuzz.nets", d);
    return d;
  }();
  BenchmarkDesign design = blocksAndNets;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    readPlFile(in, "fuzz.pl", design);
  } catch (const osvo::Error&) {
    return 0;
  }
  Fenrik fenrik(design, 15.0, 1e7);
  fenrik.setWhitespaceSpreading(1);
  try {
    fenrik.constructFloorplan();
  } catch (const osvo::Error&) {
    return 0;
  }
  const Rect& region = fenrik.getRegion();
  if (!checkLegality(fenrik, region, 1e-7 * region.longerSide()).legal) __builtin_trap();
  return 0;
}
