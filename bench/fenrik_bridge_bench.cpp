// One "-fenrik 1" run of the floorplanning stage without the stage around it:
// a fresh database over the bundled example core and the hand-over to the
// fixed-outline floorplanner (files written and read back, construction,
// write-back). The net variant runs with static timing, so it adds the ten
// timing-driven rounds; without timing, and for the path variant (a pipeline
// design), one construction.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "QuietStdout.h"
#include "floorplan/DB.h"
#include "floorplan/FenrikBridge.h"
#include "pipeline/PipeParser.h"

using namespace CoarsePlacement;

namespace {

std::unique_ptr<FlatDesign> exampleDesign(bool pathVariant) {
  QuietStdout quiet;
  std::string dir = OSVO_SOURCE_DIR;
  dir.append("/examples/pipeline/");
  return pipeParser(dir + (pathVariant ? "core-paths.desc" : "core-nets.desc"),
                    dir + "osvo-cycle.proc", PipeOptions{pathVariant, 2.0});
}

std::string exchangeBase() {
  const auto dir = std::filesystem::temp_directory_path() / "osvo-fenrik-bridge-bench";
  std::filesystem::create_directories(dir);
  return (dir / "osvo").string();
}

// range(0): 1 for the path variant; range(1): 1 for timing on.
void BM_FenrikRun(benchmark::State& state) {
  const bool pathVariant = state.range(0) == 1, timing = state.range(1) == 1;
  std::unique_ptr<FlatDesign> design = exampleDesign(pathVariant);
  const std::string base = exchangeBase();
  long seed = 1;
  for (auto _ : state) {
    QuietStdout quiet;
    srand48(seed++);
    DB db(design.get(), 20, timing, 0, 2.0, 1.0);
    FenrikBridge(db, base).run(20, false);
  }
  state.counters["blocks"] = static_cast<double>(design->instList.size());
}
BENCHMARK(BM_FenrikRun)
    ->ArgNames({"paths", "timing"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
