// Floorplanning benchmarks end to end: runs of the osvo binary with format
// "b", its refusals of bad input, and the adaptive area weight of the stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "RunBinary.h"
#include "fenrik/BenchmarkReader.h"

using osvotest::readFile;
using osvotest::RunResult;
using osvotest::splitLines;

#ifdef OSVO_BINARY

namespace {

const std::string kSeedLine = "The random seed for this run is: ";

size_t countLines(const std::string& text, const std::string& prefix) {
  const auto lines = splitLines(text);
  return std::count_if(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.starts_with(prefix); });
}

// The numbers after `prefix` on every line that starts with it.
std::vector<double> valuesAfter(const std::string& text, const std::string& prefix) {
  std::vector<double> v;
  for (const std::string& l : splitLines(text))
    if (l.starts_with(prefix)) v.push_back(std::stod(l.substr(prefix.size())));
  return v;
}

// Standard output from the end of the option dump on: what the input and the
// stage printed.
std::string afterDump(const std::string& out) {
  const size_t at = out.find("==Dump ends==\n");
  return at == std::string::npos ? out : out.substr(at);
}

// A directory holding a copy of the design "cache16": one large cache and
// fifteen elongated hard blocks, each with three nets to terminals.
std::string cacheDesignDir(const std::string& name) {
  const std::string dir = osvotest::scratchDir(name);
  for (const char* ext : {".blocks", ".nets", ".pl"}) {
    osvotest::writeFile(dir + "/cache16" + ext,
                        readFile(osvotest::dataPath(std::string("bookshelf/cache16") + ext)));
  }
  return dir;
}

RunResult runCache(const std::string& dir, const char* whitespace, const char* runs,
                   const char* annealSeed, bool adaptive) {
  return osvotest::runOsvo({"-format", "b", "-d", "cache16", "-numMoves", "2", "-initTemp", "3000",
                            "-seed", "1", "-whitespace", whitespace, "-flSuccess", runs,
                            "-annealSeed", annealSeed, "-adaptAreaWeight", adaptive ? "1" : "0"},
                           dir);
}

// The GSRC n10 soft benchmark at 15 % whitespace: every fitting run prints the
// standard wire length, and the best floorplan is a legal placement file whose
// wire length is the best one reported.
TEST(BenchmarkRun, GsrcSoftN10FloorplansAndWritesALegalPlacementFile) {
  const std::string gsrc = OSVO_GSRC_DIR;
  if (gsrc.empty()) GTEST_SKIP() << "GSRC benchmarks not found";
  const std::string bench = gsrc + "/SOFT/n10";
  const std::string dir = osvotest::scratchDir("n10");
  const RunResult r =
      osvotest::runOsvo({"-format", "b", "-d", bench, "-whitespace", "15", "-flSuccess", "2",
                         "-annealSeed", "1", "-seed", "1", "-numMoves", "3"},
                        dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<double> standard =
      valuesAfter(r.out, "Standard HPWL (block centres, terminals on the outline): ");
  ASSERT_EQ(standard.size(), 2u);
  ASSERT_EQ(countLines(r.out, "Iteration: "), 2u);
  const std::vector<double> best = valuesAfter(r.out, "Best fitting WL ");
  ASSERT_EQ(best.size(), 1u);
  EXPECT_NEAR(best[0], std::min(standard[0], standard[1]), 1e-5 * best[0]);
  EXPECT_GE(countLines(r.out, "Benchmark placement file is out.pl"), 1u);

  const std::vector<double> chip = valuesAfter(r.out, "Chip width ");
  ASSERT_FALSE(chip.empty());
  const double side = chip[0];
  const BenchmarkDesign placed =
      readBenchmarkFiles(bench + ".blocks", bench + ".nets", dir + "/out.pl");
  const double tol = 1e-6 * side;
  for (size_t i = 0; i < placed.blocks.size(); ++i) {
    const DesignBlock& b = placed.blocks[i];
    const DesignPlacement& p = b.placement;
    SCOPED_TRACE(b.name);
    ASSERT_TRUE(p.given && p.hasDims);
    EXPECT_NEAR(p.dimsWidth * p.dimsHeight, b.area, 1e-6 * b.area);
    EXPECT_GE(p.x, -tol);
    EXPECT_GE(p.y, -tol);
    EXPECT_LE(p.x + p.dimsWidth, side + tol);
    EXPECT_LE(p.y + p.dimsHeight, side + tol);
    for (size_t j = 0; j < i; ++j) {
      const DesignPlacement& q = placed.blocks[j].placement;
      const double w = std::min(p.x + p.dimsWidth, q.x + q.dimsWidth) - std::max(p.x, q.x);
      const double h = std::min(p.y + p.dimsHeight, q.y + q.dimsHeight) - std::max(p.y, q.y);
      EXPECT_FALSE(w > tol && h > tol) << "overlaps " << placed.blocks[j].name;
    }
  }
  for (const DesignTerminal& t : placed.terminals) {
    const double fromCentre =
        std::max(std::fabs(t.placement.x - side / 2), std::fabs(t.placement.y - side / 2));
    EXPECT_NEAR(fromCentre, side / 2, tol) << t.name;
  }
  EXPECT_NEAR(placed.centreWirelength(), best[0], 1e-5 * best[0]);
}

TEST(BenchmarkRun, MalformedFilesAreRefusedNamingFileAndLine) {
  const std::string dir = cacheDesignDir("malformed");
  osvotest::writeFile(dir + "/cache16.pl", "UCLA pl 1.0\np0 10 0\n");
  RunResult r = osvotest::runOsvo({"-format", "b", "-d", "cache16", "-seed", "1"}, dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cache16.pl:2: no location for terminal \"p1\"\n");
  r = osvotest::runOsvo({"-format", "b", "-d", "none", "-seed", "1"}, dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.ends_with("none.blocks: Error opening file!\n")) << r.out;
}

// Blocks that cannot fit the outline: the area weight climbs to 100 and the
// stage gives up after its bounded number of runs.
TEST(BenchmarkRun, BlocksThatCannotFitEndThroughTheBoundedRetry) {
  const std::string dir = osvotest::scratchDir("nofit");
  osvotest::writeFile(dir + "/t.blocks",
                      "UCSC blocks 1.0\nNumSoftRectangularBlocks : 0\n"
                      "NumHardRectilinearBlocks : 2\nNumTerminals : 0\n"
                      "a hardrectilinear 4 (0, 0) (0, 10) (10, 10) (10, 0)\n"
                      "b hardrectilinear 4 (0, 0) (0, 30) (10, 30) (10, 0)\n");
  osvotest::writeFile(dir + "/t.nets",
                      "UCLA nets 1.0\nNumNets : 1\nNumPins : 2\n"
                      "NetDegree : 2\na B\nb B\n");
  osvotest::writeFile(dir + "/t.pl", "UCLA pl 1.0\n");
  const RunResult r =
      osvotest::runOsvo({"-format", "b", "-d", "t", "-whitespace", "0", "-flSuccess", "1",
                         "-annealSeed", "1", "-seed", "1", "-numMoves", "1", "-initTemp", "100"},
                        dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(countLines(r.out, kSeedLine), 10u);
  std::string raises;
  for (int run = 1, weight = 40; weight <= 100; ++run, weight += 10) {
    raises += "floorplan: run " + std::to_string(run) +
              " missed the outline; the next run uses area weight " + std::to_string(weight) + "\n";
  }
  EXPECT_EQ(r.err,
            raises + "floorplan: only 0 of 10 runs fit the outline (1 required); giving up\n");
  EXPECT_TRUE(r.out.ends_with("Best fitting WL inf\nAverage Time: 0\n OSVO run complete \n"));
}

TEST(BenchmarkRun, RaisedAreaWeightFitsWhereTheFixedWeightMisses) {
  const std::string dir = cacheDesignDir("raise");
  const RunResult f = runCache(dir, "25", "1", "2", false);
  EXPECT_EQ(f.status, 2);
  EXPECT_EQ(f.err, "floorplan: only 0 of 10 runs fit the outline (1 required); giving up\n");

  const RunResult a = runCache(dir, "25", "1", "2", true);
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.err,
            "floorplan: run 1 missed the outline; the next run uses area weight 40\n"
            "floorplan: run 2 missed the outline; the next run uses area weight 50\n");
  EXPECT_EQ(countLines(a.out, kSeedLine), 3u);
  EXPECT_EQ(countLines(a.out, "Iteration: 3 WL: "), 1u);
}

// Runs that fit at once leave the weight alone: the report, the plot and the
// placement file are those of the fixed weight, byte for byte.
TEST(BenchmarkRun, RunsThatFitAtOnceReportAsWithTheFixedWeight) {
  const std::string adaptive = cacheDesignDir("adaptive"), fixed = cacheDesignDir("fixed");
  const RunResult a = runCache(adaptive, "40", "3", "1", true);
  const RunResult f = runCache(fixed, "40", "3", "1", false);
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(countLines(a.out, kSeedLine), 3u);  // every run fits
  EXPECT_EQ(a.err, "");
  EXPECT_EQ(f.err, "");
  EXPECT_EQ(afterDump(a.out), afterDump(f.out));
  EXPECT_EQ(readFile(adaptive + "/out"), readFile(fixed + "/out"));
  EXPECT_EQ(readFile(adaptive + "/out.pl"), readFile(fixed + "/out.pl"));
  EXPECT_FALSE(readFile(adaptive + "/out.pl").empty());
}

}  // namespace

#endif  // OSVO_BINARY
