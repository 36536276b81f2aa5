#include "bookshelf/BenchmarkRunReport.h"

#include <fstream>
#include <iostream>

#include "fenrik/BenchmarkWriter.h"
#include "floorplan/DB.h"

using CoarsePlacement::CktInstance;

namespace {
// Digits of the coordinates in the placement file: enough that blocks that
// abut in the floorplan still abut when the file is read back.
constexpr int kPlacementDigits = 12;
}  // namespace

const char* benchmarkOrientation(CP::oritType orient) {
  static const char* const kWords[] = {"N", "W", "S", "E", "FS", "FE", "FN", "FW"};
  const int i = static_cast<int>(orient);
  return i >= 0 && i < 8 ? kWords[i] : "N";
}

BenchmarkRunReport::BenchmarkRunReport(BenchmarkDesign bench,
                                       const CoarsePlacement::FlatDesign& design)
    : bench_(std::move(bench)), placed_(bench_), design_(design) {}

void BenchmarkRunReport::update(DB& db) {
  CktInstance* top = design_.topInst;
  placed_.terminals = bench_.terminals;
  placed_.scaleTerminals(0, 0, db.getNodeWidth(top), db.getNodeHeight(top));
  for (size_t i = 0; i < placed_.blocks.size() && i < design_.instList.size(); ++i) {
    CktInstance* inst = design_.instList[i];
    DesignPlacement& p = placed_.blocks[i].placement;
    p.given = true;
    p.x = inst->loc.x;
    p.y = inst->loc.y;
    p.orientation = benchmarkOrientation(inst->orient);
    p.hasDims = true;
    p.dimsWidth = db.getNodeWidth(inst);
    p.dimsHeight = db.getNodeHeight(inst);
  }
}

void BenchmarkRunReport::fittingRun(DB& db, bool best, const std::string& plotFile) {
  update(db);
  std::cout << "Standard HPWL (block centres, terminals on the outline): "
            << placed_.centreWirelength() << "\n";
  if (!best) return;

  const std::string fileName = plotFile + ".pl";
  std::cout << "Benchmark placement file is " << fileName << "\n";
  std::ofstream out(fileName, std::ios::trunc);
  if (out) {
    out.precision(kPlacementDigits);
    writePlFile(
        out, placed_,
        "UCLA pl 1.0\n# the best floorplan; DIMS gives each block's placed width and height");
    out.close();
  }
  if (!out) {
    std::cout.flush();
    std::cerr << "Warning: the placement file " << fileName << " could not be written completely\n";
  }
}
