// End-to-end runs of "-fenrik 1" on the bundled examples: legal plots, the same
// floorplan under the same seeds, the timing-driven rounds, and an outline the
// blocks cannot fit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::contains;
using osvotest::RunResult;

// A scratch directory with the files of one of the examples.
std::string exampleDir(const std::string& test, const std::string& example = "pipeline",
                       std::vector<std::string> files = {"core-paths.desc", "osvo-cycle.proc"}) {
  const std::string dir = osvotest::scratchDir("e2e.fenrik." + test);
  const std::string examples = std::string(OSVO_SOURCE_DIR) + "/examples/" + example + "/";
  for (const std::string& f : files) std::filesystem::copy_file(examples + f, dir + "/" + f);
  return dir;
}

const std::vector<std::string> kPathVariant = {
    "-format", "x",       "-f", "core-paths.desc", "-pipe", "1",     "-fix_freq",
    "2.0",     "-fenrik", "1",  "-annealSeed",     "3",     "-seed", "1"};

TEST(FenrikRun, PipelineExampleIsLegalAndRepeatsUnderTheSameSeeds) {
  std::vector<std::string> args = kPathVariant;
  args.insert(args.end(), {"-flSuccess", "3"});
  std::vector<std::string> plots;
  for (const char* name : {"paths", "paths-again"}) {
    const std::string dir = exampleDir(name);
    const RunResult r = osvotest::runOsvo(args, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.ends_with(" OSVO run complete \n"));
    // A pipeline design: no timing-driven rounds.
    EXPECT_FALSE(contains(r.out, "Iteration 0\n"));
    EXPECT_FALSE(contains(r.out, "Final Area: "));
    for (const char* ext : {".blocks", ".nets", ".pl"})
      EXPECT_TRUE(std::filesystem::exists(dir + "/osvo" + ext)) << ext;
    plots.push_back(osvotest::readFile(dir + "/out"));
    EXPECT_TRUE(osvotest::legalPlot(plots.back(), 31));
  }
  EXPECT_EQ(plots[0], plots[1]);
}

TEST(FenrikRun, VerilogExampleIsLegalWithItsTimingDrivenRounds) {
  const std::string dir =
      exampleDir("verilog", "verilog", {"cpu.v", "cpu.lib", "cpu.ipc", "cpu.special"});
  const RunResult r =
      osvotest::runOsvo({"-f", "cpu.v", "-c", "cpu.lib", "-ipcFile", "cpu.ipc", "-s", "cpu.special",
                         "-fenrik", "1", "-flSuccess", "1", "-annealSeed", "1", "-seed", "1"},
                        dir);
  ASSERT_EQ(r.status, 0) << r.err;
  // Every block is a cell of the library and the feed-through is dissolved.
  EXPECT_FALSE(contains(r.err, "Warning") || contains(r.err, "HDM warning")) << r.err;
  EXPECT_TRUE(contains(r.err, "flatten an instance of feed\n"));
  EXPECT_TRUE(contains(r.out, "\nIteration 9\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "\nImprovement "));
  EXPECT_TRUE(contains(r.out, "BIPS "));
  EXPECT_TRUE(osvotest::legalPlot(osvotest::readFile(dir + "/out"), 22));
}

TEST(FenrikRun, AnOutlineTheHardBlocksCannotFitEndsTheRun) {
  std::vector<std::string> args = kPathVariant;
  args.insert(args.end(), {"-whitespace", "0"});
  const RunResult r = osvotest::runOsvo(args, exampleDir("tight"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Infeasible at the top level\n");
  EXPECT_FALSE(contains(r.out, " OSVO run complete "));
}

}  // namespace
