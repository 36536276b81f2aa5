// The stage's parameters, its run bound, its statistics and its guards against
// an undefined BIPS and an unusable "-annealSeed".
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Capture.h"
#include "options/ReadParam.h"
#include "stage/StageParams.h"
#include "stage/StageReport.h"

using CoarsePlacement::DesignMode;
using osvotest::capture;
using osvotest::isError;

TEST(StageReport, BIPSIsUndefinedWithoutAPositiveCycleOrAFiniteIPCFactor) {
  double bips = -1;
  ASSERT_TRUE(computeBIPS(1.5, 0.5, 2.0, bips));  // 2 GHz, the pipeline model's factor of 1/2
  EXPECT_DOUBLE_EQ(bips, 1.5);
  bips = -1;
  for (double cycle : {0.0, -2.0}) EXPECT_FALSE(computeBIPS(1.5, cycle, 1.0, bips));
  for (double inverse : {0.0, double(INFINITY), double(NAN)})
    EXPECT_FALSE(computeBIPS(1.5, 2.0, inverse, bips));
  EXPECT_FALSE(computeBIPS(1.5, 1e-300, 1e-300, bips));  // the quotient itself overflows
  EXPECT_EQ(bips, -1);
}

TEST(StageReport, AnnealSeedAcceptsOnlyPlainNonNegativeIntegersWithinTheBound) {
  long seed = -5;
  EXPECT_TRUE(parseAnnealSeed("100", 100, seed));
  EXPECT_EQ(seed, 100);
  for (const char* bad : {"", "-1", "101", "12abc", " 7", "1.5", "99999999999999999999999"}) {
    seed = 42;
    EXPECT_FALSE(parseAnnealSeed(bad, 100, seed)) << bad;
    EXPECT_EQ(seed, 42) << bad;
  }
}

TEST(StageReport, SummaryAveragesOverTheRunsMadeAndMinimumsStartAboveEverything) {
  RunStatistics stats;
  stats.addRun(10, 100, 50);
  stats.addRun(30, 300, 10);
  stats.addRun(20, 200, 30);
  stats.addSuccess(1e297, 0.5);  // a huge cycle time is still the minimum
  std::ostringstream out;
  stats.printSummary(out);
  EXPECT_EQ(out.str(),
            "\nAverage Area: 20 Minimum Area: 10\nAverage HPWL: 200 Minimum HPWL: 100\n"
            "Average WhiteSpace: 30% Minimum WhiteSpace: 10%\n Minimum Cycle time:1e+297\n"
            "Best BIPS 0.5\nAverage Time: 0\n");
  std::ostringstream none;
  RunStatistics().printSummary(none);
  EXPECT_NE(none.str().find(" Minimum Cycle time:inf\n"), std::string::npos) << none.str();
}

TEST(StageParamsTest, RunBoundAndOptionsReadOnce) {
  // Counted in 64 bits: no wrap to a handful of runs.
  EXPECT_EQ(stageRunBound(429496730), 4294967300LL);
  EXPECT_EQ(stageRunBound(0), 10);

  ReadParam::clear();
  ReadParam::cmdOption = {{"-numMoves", "260000000"}, {"-outPlotFile", std::string(300, 'p')},
                          {"-flSuccess", "3"},        {"-ipcFile", "m.ipc"},
                          {"-annealSeed", "5"},       {"-readWidthSpace", "ws"},
                          {"-timingOn", "1"},         {"-initTemp", "2.5e4"}};
  const StageParams p = readStageParams(DesignMode::WireLength);
  EXPECT_EQ(p.annealer.numMoves, 260000000);
  EXPECT_EQ(p.annealer.outPlotFile, std::string(199, 'p'));  // cut to its bound
  EXPECT_EQ(p.annealer.startTime, 2);                        // read as an integer
  EXPECT_EQ(std::tie(p.ipcFile, p.widthSpaceFile, p.annealSeed),
            std::tuple(std::string("m.ipc"), std::string("ws"), 5L));
  ReadParam::clear();
}

TEST(StageParamsTest, ClockIsRefusedWhereTheCycleTimeComesFromIt) {
  for (const char* bad : {"", "nan", "inf", "0", "-1", "abc", "2GHz", "1e-320"}) {
    for (auto [mode, timing] :
         {std::pair(DesignMode::WireLength, "0"), std::pair(DesignMode::PipelineModel, "1")}) {
      ReadParam::clear();
      ReadParam::cmdOption = {{"-timingOn", timing}, {"-fix_freq", bad}};
      EXPECT_TRUE(isError(capture([&] { readStageParams(mode); }).error,
                          "^Error: option -fix_freq must be a positive clock frequency in GHz"))
          << bad;
    }
  }
  // With static timing on a netlist the clock is not used.
  ReadParam::cmdOption = {{"-timingOn", "1"}, {"-fix_freq", "abc"}};
  EXPECT_FALSE(capture([] { readStageParams(DesignMode::WireLength); }).error);
  ReadParam::cmdOption = {{"-timingOn", "0"}, {"-fix_freq", "0.5"}};
  EXPECT_EQ(readStageParams(DesignMode::WireLength).annealer.fixFreq, 0.5);
  ReadParam::clear();
}
