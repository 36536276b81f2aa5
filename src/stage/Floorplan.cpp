#include "stage/Floorplan.h"

#include <climits>
#include <cmath>
#include <iostream>
#include <memory>
#include <vector>

#include "anneal/Annealer.h"
#include "anneal/CommandLine.h"
#include "floorplan/DB.h"
#include "options/ReadParam.h"
#include "stage/ProgressLine.h"
#include "stage/StageReport.h"
#include "support/Assert.h"
#include "timing/FPTiming.h"

using CoarsePlacement::FlatDesign;

namespace {

// The outline a run aims at, from the current nodes area.
struct Outline {
  double nodesArea = 0;
  double chipArea = 0;
  double width = 0;
  double height = 0;
};

Outline targetOutline(DB& db, const Command_Line& params) {
  Outline o;
  o.nodesArea = db.getNodesArea();
  o.chipArea = o.nodesArea * (1 + params.maxWS / 100);
  o.width = std::sqrt(o.chipArea * params.reqdAR);
  o.height = o.width / params.reqdAR;
  return o;
}

// Seeds of the stage's annealers: "-annealSeed" plus the annealer's number when
// the option is given, the clock (-1) otherwise.
class AnnealSeeds {
 public:
  explicit AnnealSeeds(unsigned maxRuns) {
    const std::string text = ReadParam::getOption("-annealSeed");
    if (text.empty()) return;
    if (parseAnnealSeed(text, LONG_MAX - static_cast<long>(maxRuns), base_)) {
      fixed_ = true;
    } else {
      std::cout.flush();
      std::cerr << "Ignoring -annealSeed " << text
                << ": not a non-negative integer in range; the annealers seed from the clock"
                << std::endl;
    }
  }
  long forAnnealer(unsigned k) const { return fixed_ ? base_ + static_cast<long>(k) : -1; }

 private:
  bool fixed_ = false;
  long base_ = 0;
};
// BIPS of a fitting run: the IPC of the configuration in force over the cycle
// time, times the pipeline model's IPC factor for a pipeline design. A cycle
// time that is not positive (no timing path, or no "-fix_freq" with timing off)
// or an IPC factor that overflowed leaves BIPS undefined; the run then counts
// with 0 and says so on standard error instead of dividing by zero.
double runBIPS(DB& db, double cycle, bool pipelineMode, unsigned run) {
  OSVO_ASSERT(db.currentConfig >= 0 &&
              static_cast<std::size_t>(db.currentConfig) < db.configs.size());
  double inverseFactor = 1;
  if (pipelineMode) {
    double out = 0;
    inverseFactor = db.evalHPWL(out);
  }
  double bips = 0;
  if (computeBIPS(db.configs[db.currentConfig]->ipc, cycle, inverseFactor, bips)) return bips;
  std::cout.flush();
  std::cerr << "floorplan: run " << run << " has no defined BIPS (cycle time " << cycle;
  if (pipelineMode) std::cerr << ", inverse IPC factor " << inverseFactor;
  std::cerr << "); it counts as 0" << std::endl;
  return 0;
}

}  // namespace

int floorplan(FlatDesign* design) {
  OSVO_ASSERT(design != nullptr);
  if (design->instList.empty()) {
    std::cout.flush();
    std::cerr << "floorplan: the design has no blocks; nothing to floorplan" << std::endl;
    return kStageNoBlocks;
  }

  Command_Line params;
  const int required = params.flSuccess;
  // A run count that never reaches a fit (an outline the blocks cannot tile)
  // must not keep the program busy forever.
  const unsigned maxRuns =
      static_cast<unsigned>(required > 0 ? required : 1) * kStageRunBoundFactor;
  const AnnealSeeds seeds(maxRuns);
  const bool pipelineMode = design->mode == 1;

  RunStatistics stats;
  int startConfig = 0;
  int status = kStageComplete;
  // The databases outlive their runs; they are released when the stage ends.
  std::vector<std::unique_ptr<DB>> databases;
  ProgressLine progress = ProgressLine::onStandardError();

  while (stats.successes < required) {
    if (stats.runs >= maxRuns) {
      progress.erase();
      std::cout.flush();
      std::cerr << "floorplan: only " << stats.successes << " of " << stats.runs
                << " runs fit the outline (" << required << " required); giving up" << std::endl;
      status = kStageRunBoundReached;
      break;
    }
    const unsigned run = stats.runs + 1;
    progress.erase();

    databases.push_back(std::make_unique<DB>(design, static_cast<int>(params.maxWS),
                                             params.timingOn != 0, startConfig, params.fixFreq,
                                             params.verRate));
    DB& db = *databases.back();
    std::cout << db.configs.size() << "\n";
    Outline outline = targetOutline(db, params);
    std::cout << outline.nodesArea << "  " << outline.chipArea << " " << outline.width << " "
              << outline.height << "\n";

    auto annealer = std::make_unique<Annealer>(&params, &db, seeds.forAnnealer(run - 1));
    if (progress.enabled()) {
      annealer->setProgressCallback([&](int tempStep, double temperature) {
        progress.show(ProgressLine::text(run, maxRuns, static_cast<int>(stats.successes), required,
                                         tempStep, temperature, stats.bestBIPS));
      });
    }
    annealer->go();
    progress.erase();
    startConfig = db.currentConfig;

    // Measure the packing against the outline of the versions now in force.
    const double x = db.getXSize();
    const double y = db.getYSize();
    const double area = x * y;
    outline = targetOutline(db, params);
    // Blocks without extent pack into nothing: no whitespace rather than 0 / 0.
    const double whitespace = area > 0 ? 100 * (area - outline.nodesArea) / area : 0;
    double scratch = 0;
    const double hpwl = db.evalHPWL(scratch);
    stats.addRun(area, hpwl, whitespace);
    std::cout << x << " " << y << " " << outline.width << " " << outline.height << "\n";

    const bool fits = params.reqdAR != -9999 && area <= outline.chipArea + 0.1 &&
                      x <= outline.width + 0.1 && y <= outline.height + 0.1;
    if (fits) {
      if (pipelineMode) db.assignPins();
      db.updateDelays(1);

      double cycle = db.fixFreq;
      if (params.timingOn != 0 && !pipelineMode) {
        FPTiming timing;
        cycle = timing.perform_sta(&db, 0.0);
      }
      const double bips = runBIPS(db, cycle, pipelineMode, run);
      const bool best = stats.addSuccess(cycle, bips);

      std::cout << "Configuration" << db.currentConfig << "\n";
      if (params.timingOn != 0 || design->mode != 0) {
        std::cout << "Iteration: " << run << " cycle time: " << cycle << " BIPS: " << bips << "\n";
      } else {
        double out = 0;
        std::cout << "Iteration: " << run << " WL: " << db.evalHPWL(out) << "\n";
      }
      if (best) {
        printBestReport(std::cout, *design, stats.bestBIPS);
        if (params.plot) {
          db.plot(params.outPlotFile.c_str(), area, whitespace, x / y, cycle, hpwl,
                  !params.plotHide1, !params.plotHide2, !params.plotHide3);
        }
      }
    }
    annealer.reset();
  }

  progress.erase();
  stats.printSummary(std::cout, required);
  std::cout.flush();
  return status;
}
