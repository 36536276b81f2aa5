// A benchmark placement file on arbitrary bytes, after fixed block and net
// files, converted to a flat design: every chip pin must sit on or inside the
// outline, whatever the terminals' coordinates.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FenrikFuzzDesign.h"
#include "bookshelf/BenchmarkFlatDesign.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const BenchmarkDesign blocksAndNets = [] {
    BenchmarkDesign d = fenrikFuzzBlocks();
    std::istringstream nets(
        "UCLA nets 1.0\nNumNets : 2\nNumPins : 5\n"
        "NetDegree : 3\nsb0 B\nsb2 I\np1 O\nNetDegree : 2\nsb1 B\np2 B\n");
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
  const auto flat = benchmarkFlatDesign(design, "fuzz");
  for (const auto* pins :
       {&flat->topInst->inPins, &flat->topInst->outPins, &flat->topInst->biPins}) {
    for (const auto* pin : *pins) {
      if (!(std::fabs(pin->offset.x) <= 0.5 && std::fabs(pin->offset.y) <= 0.5)) __builtin_trap();
    }
  }
  return 0;
}
