// End-to-end runs of "-fenrik 1": the fixed-outline floorplanner places the
// bundled pipeline and Verilog examples legally (checked on the plot script the
// stage writes), repeats itself under the same seeds, runs its timing-driven
// rounds on designs with static timing, and refuses an outline the blocks
// cannot fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::RunResult;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A scratch directory with the files of one of the examples.
std::string exampleDir(const std::string& test, const std::string& example = "pipeline",
                       std::vector<std::string> files = {"core-nets.desc", "core-paths.desc",
                                                         "osvo-cycle.proc"}) {
  const std::string dir = osvotest::scratchDir("e2e.fenrik." + test);
  const std::string examples = std::string(OSVO_SOURCE_DIR) + "/examples/" + example + "/";
  for (const std::string& f : files) std::filesystem::copy_file(examples + f, dir + "/" + f);
  return dir;
}

const std::vector<std::string> kPathVariant = {
    "-format", "x",       "-f", "core-paths.desc", "-pipe", "1",     "-fix_freq",
    "2.0",     "-fenrik", "1",  "-annealSeed",     "3",     "-seed", "1"};

struct Rect {
  double x0, y0, x1, y1;
};

// The blocks and the chip outline of a plot script: the first data set holds
// one closed five-point outline per block, then the chip's top and right edges.
testing::AssertionResult legalPlot(const std::string& script, size_t blockCount) {
  std::istringstream in(script);
  std::string line;
  while (std::getline(in, line) && line.rfind("plot '-'", 0) != 0) {
  }
  std::vector<std::vector<std::pair<double, double>>> groups(1);
  while (std::getline(in, line) && line != "EOF") {
    if (line.empty()) {
      if (!groups.back().empty()) groups.emplace_back();
      continue;
    }
    std::istringstream xy(line);
    double x, y;
    if (!(xy >> x >> y)) return testing::AssertionFailure() << "bad plot line " << line;
    groups.back().push_back({x, y});
  }
  if (groups.back().empty()) groups.pop_back();
  std::vector<Rect> blocks;
  double chipW = 0, chipH = 0;
  for (const auto& g : groups) {
    if (g.size() == 3) {
      chipW = std::max({chipW, g[0].first, g[1].first});
      chipH = std::max({chipH, g[0].second, g[1].second});
      continue;
    }
    if (g.size() != 5) return testing::AssertionFailure() << "a group of " << g.size() << " points";
    blocks.push_back({g[0].first, g[0].second, g[2].first, g[2].second});
  }
  if (blocks.size() != blockCount)
    return testing::AssertionFailure() << blocks.size() << " blocks, not " << blockCount;
  // The script prints six significant digits.
  const double tol = 1e-5 * std::max(chipW, chipH);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Rect& b = blocks[i];
    if (b.x0 < -tol || b.y0 < -tol || b.x1 > chipW + tol || b.y1 > chipH + tol)
      return testing::AssertionFailure() << "block " << i << " outside " << chipW << " x " << chipH;
    for (size_t j = 0; j < i; ++j) {
      const Rect& o = blocks[j];
      if (std::min(b.x1, o.x1) - std::max(b.x0, o.x0) > tol &&
          std::min(b.y1, o.y1) - std::max(b.y0, o.y0) > tol)
        return testing::AssertionFailure() << "blocks " << j << " and " << i << " overlap";
    }
  }
  return testing::AssertionSuccess();
}

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
    // A pipeline design: one construction per run, no timing-driven rounds.
    EXPECT_FALSE(contains(r.out, "Iteration 0\n"));
    EXPECT_FALSE(contains(r.out, "Final Area: "));
    for (const char* ext : {".blocks", ".nets", ".pl"})
      EXPECT_TRUE(std::filesystem::exists(dir + "/osvo" + ext)) << ext;
    plots.push_back(osvotest::readFile(dir + "/out"));
    EXPECT_TRUE(legalPlot(plots.back(), 31));
  }
  EXPECT_EQ(plots[0], plots[1]);
}

TEST(FenrikRun, TimingDrivenRoundsOnADesignWithStaticTiming) {
  // The net variant of the example is a wire-length mode design with timing on.
  const std::string dir = exampleDir("nets");
  const RunResult r = osvotest::runOsvo({"-format", "x", "-f", "core-nets.desc", "-fenrik", "1",
                                         "-flSuccess", "1", "-annealSeed", "3", "-seed", "1"},
                                        dir);
  ASSERT_EQ(r.status, 0) << r.err;
  size_t at = 0;
  for (int i = 0; i < 10; ++i) {
    std::string line = "Iteration ";
    line += std::to_string(i);
    line += "\n";
    at = r.out.find(line, at);
    ASSERT_NE(at, std::string::npos) << i;
  }
  EXPECT_TRUE(contains(r.out, "\nImprovement "));
  EXPECT_TRUE(legalPlot(osvotest::readFile(dir + "/out"), 31));
}

TEST(FenrikRun, VerilogExampleIsLegalWithItsTimingDrivenRounds) {
  const std::string dir =
      exampleDir("verilog", "verilog", {"cpu.v", "cpu.lib", "cpu.ipc", "cpu.special"});
  const RunResult r =
      osvotest::runOsvo({"-f", "cpu.v", "-c", "cpu.lib", "-ipcFile", "cpu.ipc", "-s", "cpu.special",
                         "-fenrik", "1", "-flSuccess", "1", "-annealSeed", "1", "-seed", "1"},
                        dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "\nIteration 9\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "\nImprovement "));
  EXPECT_TRUE(contains(r.out, "BIPS "));
  EXPECT_TRUE(legalPlot(osvotest::readFile(dir + "/out"), 22));
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
