#include "stage/Floorplan.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>
#include <vector>

#include "anneal/Annealer.h"
#include "anneal/CommandLine.h"
#include "floorplan/DB.h"
#include "stage/ProgressLine.h"
#include "stage/RunObserver.h"
#include "stage/StageReport.h"
#include "support/Assert.h"
#include "support/Error.h"
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

// BIPS of a fitting run: the IPC of the configuration in force over the cycle
// time, times the pipeline model's IPC factor for a pipeline design. A cycle
// time that is not positive (no timing path)
// or an IPC factor that overflowed leaves BIPS undefined; the run then counts
// with 0 and says so on standard error instead of dividing by zero.
double runBIPS(DB& db, double cycle, bool pipelineMode, long long run) {
  const double inverseFactor = pipelineMode ? db.inverseIpcFactor() : 1.0;
  double bips = 0;
  if (computeBIPS(db.currentIpc(), cycle, inverseFactor, bips)) return bips;
  std::cout.flush();
  std::cerr << "floorplan: run " << run << " has no defined BIPS (cycle time " << cycle;
  if (pipelineMode) std::cerr << ", inverse IPC factor " << inverseFactor;
  std::cerr << "); it counts as 0" << std::endl;
  return 0;
}

void requireBlocks(const FlatDesign* design) {
  OSVO_ASSERT(design != nullptr);
  if (design->instList.empty())
    throw osvo::Error("floorplan: the design has no blocks; nothing to floorplan\n");
}

}  // namespace

int floorplan(FlatDesign* design) {
  requireBlocks(design);
  return floorplan(design, readStageParams(design->mode, design->wireLengthOnly));
}

int floorplan(FlatDesign* design, const StageParams& stage) {
  requireBlocks(design);
  const Command_Line& params = stage.annealer;
  const int required = params.flSuccess;
  // A run count that never reaches a fit (an outline the blocks cannot tile)
  // must not keep the program busy forever.
  const long long maxRuns = stageRunBound(required);
  const bool pipelineMode = design->mode == CoarsePlacement::DesignMode::PipelineModel;
  // Where static timing does not give the cycle time, the clock does.
  const bool cycleFromClock = params.timingOn == 0 || pipelineMode;
  // A design judged by wire length alone has no cycle time and no BIPS: its
  // best run is the one with the shortest wire length.
  const bool wireLengthOnly = stage.wireLengthOnly;
  auto* observer = dynamic_cast<RunObserver*>(design->getExtData(kRunObserverKey));

  RunStatistics stats;
  int startConfig = 0;
  int status = osvo::kExitSuccess;
  // The databases outlive their runs; they are released when the stage ends.
  std::vector<std::unique_ptr<DB>> databases;
  ProgressLine progress = ProgressLine::onStandardError();
  // The annealers share one copy of the parameters.
  Command_Line annealerParams = params;

  while (stats.successes < required) {
    if (stats.runs >= maxRuns) {
      progress.erase();
      std::cout.flush();
      std::cerr << "floorplan: only " << stats.successes << " of " << stats.runs
                << " runs fit the outline (" << required << " required); giving up" << std::endl;
      status = osvo::kExitNoFit;
      break;
    }
    const long long run = stats.runs + 1;
    progress.erase();

    DatabaseParams dbParams;
    dbParams.whitespace = static_cast<int>(params.maxWS);
    dbParams.timingOn = params.timingOn != 0;
    dbParams.configIdx = startConfig;
    dbParams.fixFreq = params.fixFreq;
    dbParams.verRate = params.verRate;
    dbParams.ipcFile = stage.ipcFile;
    dbParams.widthSpaceFile = stage.widthSpaceFile;
    databases.push_back(std::make_unique<DB>(design, dbParams));
    DB& db = *databases.back();
    std::cout << db.numConfigs() << "\n";
    Outline outline = targetOutline(db, params);
    std::cout << outline.nodesArea << "  " << outline.chipArea << " " << outline.width << " "
              << outline.height << "\n";

    const long seed = stage.annealSeed >= 0 ? stage.annealSeed + static_cast<long>(run - 1) : -1;
    auto annealer = std::make_unique<Annealer>(&annealerParams, &db, seed);
    if (progress.enabled()) {
      annealer->setProgressCallback([&](int tempStep, double temperature) {
        progress.show(ProgressLine::text(run, maxRuns, static_cast<long long>(stats.successes),
                                         required, tempStep, temperature, stats.bestBIPS));
      });
    }
    annealer->go();
    progress.erase();
    startConfig = db.currentConfig();

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

      bool best = false;
      // No clock: the plot's title shows 0 GHz.
      double cycle = std::numeric_limits<double>::infinity();
      if (wireLengthOnly) {
        const double wl = db.wireLength();
        best = stats.addWireLengthSuccess(wl);
        std::cout << "Configuration" << db.currentConfig() << "\n";
        std::cout << "Iteration: " << run << " WL: " << wl << "\n";
      } else {
        // The clock is a frequency in GHz: its cycle time is 1 / f ns.
        if (cycleFromClock) {
          cycle = 1.0 / db.fixFreq();
        } else {
          FPTiming timing;
          cycle = timing.perform_sta(&db, 0.0);
        }
        const double bips = runBIPS(db, cycle, pipelineMode, run);
        best = stats.addSuccess(cycle, bips);

        std::cout << "Configuration" << db.currentConfig() << "\n";
        if (params.timingOn != 0 || pipelineMode) {
          std::cout << "Iteration: " << run << " cycle time: " << cycle << " BIPS: " << bips
                    << "\n";
        } else {
          std::cout << "Iteration: " << run << " WL: " << db.wireLength() << "\n";
        }
      }
      if (best) {
        if (!wireLengthOnly) printBestReport(std::cout, *design, stats.bestBIPS);
        // Without timing every net would count as critical: a design judged by
        // wire length alone is drawn without nets and labels.
        if (params.plot) {
          db.plot(params.outPlotFile.c_str(), area, whitespace, x / y, cycle,
                  !params.plotHide2 && !wireLengthOnly, !params.plotHide3 && !wireLengthOnly);
        }
      }
      if (observer) observer->fittingRun(db, best, params.outPlotFile);
    } else if (stage.adaptAreaWeight && !params.fenrik && annealerParams.areaWeight < 100 &&
               stats.runs < maxRuns) {
      // The outline penalty lost against the wire length: weigh it more in the
      // next run. (The fixed-outline floorplanner has no area weight.)
      annealerParams.areaWeight = std::min(100, annealerParams.areaWeight + kAreaWeightStep);
      std::cout.flush();
      std::cerr << "floorplan: run " << run << " missed the outline; the next run uses area weight "
                << annealerParams.areaWeight << std::endl;
    }
    annealer.reset();
  }

  progress.erase();
  stats.printSummary(std::cout, wireLengthOnly);
  std::cout.flush();
  return status;
}
