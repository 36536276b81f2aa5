#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "AnnealTestDesign.h"
#include "AnnealerTestPeer.h"
#include "RunBinary.h"
#include "anneal/Annealer.h"
#include "floorplan/DB.h"

using namespace annealtest;

TEST(AnnealerSchedule, CoolingFactorBands) {
  const std::vector<std::pair<double, double>> cases = {
      {30000, 0.85}, {2000, 0.85},  {1999.9, 0.9}, {1500, 0.9}, {1000.1, 0.9},
      {1000, 0.85},  {999.9, 0.95}, {500.1, 0.95}, {500, 0.85}, {499.9, 0.96},
      {200.1, 0.96}, {200, 0.85},   {199.9, 0.8},  {10.1, 0.8}, {10, 0.98},
      {0.11, 0.98},  {0.1, 0.85},   {0.05, 0.85},  {0, 0.85}};
  for (const auto& [T, factor] : cases) EXPECT_EQ(Annealer::coolingFactor(T), factor) << T;
}

TEST(AnnealerSchedule, WeightExponentBands) {
  const std::vector<std::pair<double, int>> cases = {{30000, 1}, {3000, 1}, {2999.9, 2}, {300, 2},
                                                     {299.9, 3}, {30, 3},   {29.9, 4},   {3, 4},
                                                     {2.99, 5},  {0, 5}};
  for (const auto& [T, e] : cases) EXPECT_EQ(Annealer::weightExponent(T), e) << T;
}

TEST(AnnealerSchedule, MovesPerTemperatureAndOutsideArea) {
  EXPECT_EQ(Annealer::movesPerTemperature(30, 10), 932);
  EXPECT_EQ(Annealer::movesPerTemperature(1, 10), 10);
  EXPECT_EQ(Annealer::movesPerTemperature(4, 1), 6);
  EXPECT_EQ(Annealer::outsideArea(9, 10, 10, 10), 0);
  EXPECT_EQ(Annealer::outsideArea(12, 5, 10, 10), 10);
  EXPECT_EQ(Annealer::outsideArea(12, 13, 10, 10), 12 * 13 - 100);
}

namespace {

class AnnealerRun : public testing::Test {
 protected:
  void SetUp() override { setOptions({{"-numMoves", "1"}, {"-initTemp", "100"}}); }

  // Squares of side 10 (and, with `mixed`, a 10 x 20 block in place of two of
  // them), wired in a ring of sequential blocks when `wired`.
  void ring(bool mixed, bool wired = true) {
    std::vector<CktInstance*> b;
    if (mixed) {
      b.push_back(d.block("tall", 10, 20));
    } else {
      b.push_back(d.block("s0", 10, 10));
      b.push_back(d.block("s1", 10, 10));
    }
    b.push_back(d.block("s2", 10, 10));
    b.push_back(d.block("s3", 10, 10));
    if (!wired) return;
    for (std::size_t k = 0; k < b.size(); ++k) d.connect(b[k], b[(k + 1) % b.size()]);
  }

  Annealer& build(long seed, bool timingOn) {
    testing::internal::CaptureStdout();
    db = std::make_unique<DB>(d.get(), 20, timingOn, 0, 0.0, 1.0);
    testing::internal::GetCapturedStdout();
    params = std::make_unique<Command_Line>();
    annealer = std::make_unique<Annealer>(params.get(), db.get(), seed);
    return *annealer;
  }

  std::string run(Annealer& a) {
    testing::internal::CaptureStdout();
    a.go();
    return testing::internal::GetCapturedStdout();
  }

  // Every block inside [0, W] x [0, H], no two overlapping.
  void expectLegalInside(double W, double H) {
    const auto& insts = d.get()->instList;
    for (std::size_t i = 0; i < insts.size(); ++i) {
      const double xi = insts[i]->loc.x;
      const double yi = insts[i]->loc.y;
      const double wi = db->getNodeWidth(insts[i]);
      const double hi = db->getNodeHeight(insts[i]);
      EXPECT_GE(xi, 0);
      EXPECT_GE(yi, 0);
      EXPECT_LE(xi + wi, W + 1e-9);
      EXPECT_LE(yi + hi, H + 1e-9);
      for (std::size_t j = i + 1; j < insts.size(); ++j) {
        const double xj = insts[j]->loc.x;
        const double yj = insts[j]->loc.y;
        const bool apart = xi + wi <= xj || xj + db->getNodeWidth(insts[j]) <= xi ||
                           yi + hi <= yj || yj + db->getNodeHeight(insts[j]) <= yi;
        EXPECT_TRUE(apart) << "blocks " << i << " and " << j << " overlap";
      }
    }
  }

  TestDesign d;
  std::unique_ptr<DB> db;
  std::unique_ptr<Command_Line> params;
  std::unique_ptr<Annealer> annealer;
};

}  // namespace

TEST_F(AnnealerRun, FirstMoveIsAcceptedWithoutADraw) {
  // One 2 x 1 block, one temperature step of one move. The seed makes that
  // move a quarter turn: the only draws are the move kind, the block and the
  // orientation; acceptance needs none.
  setOptions({{"-numMoves", "1"}, {"-initTemp", "1"}, {"-coolTemp", "0.99"}});
  d.block("only", 2, 1);
  unsigned seed = 1;
  int after = 0;
  for (;; ++seed) {
    std::srand(seed);
    const int r = std::rand() % 1000;
    std::rand();
    const int orient = std::rand() % 8;
    after = std::rand();
    if (r >= 300 && r < 500 && orient % 2 == 1) break;
  }
  Annealer& a = build(seed, false);
  const std::string out = run(a);
  EXPECT_EQ(std::rand(), after);
  EXPECT_EQ(out, "Final Area: 2 WhiteSpace 0% AR 0.5 HPWL 0\n");
  EXPECT_EQ(db->getNodeWidth(0), 1);
  EXPECT_EQ(db->getNodeHeight(0), 2);
  EXPECT_EQ(d.get()->instList[0]->orient % 2, 1);
}

// The final line of a run, among the progress lines of static timing.
std::string finalLine(const std::string& out) {
  for (const std::string& line : osvotest::splitLines(out)) {
    if (line.starts_with("Final Area: ")) return line;
  }
  return "";
}

TEST_F(AnnealerRun, TinyDesignsReachALegalPackingInsideTheOutline) {
  // Blocks that tile a 20 x 20 square. The relative wire-length term of a
  // tiny ring outweighs the outline penalty, so the wired designs weigh area
  // alone; the unwired ones use the default weights.
  for (bool wired : {false, true}) {
    for (bool mixed : {false, true}) {
      for (long seed : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message()
                     << "wired " << wired << " mixed " << mixed << " seed " << seed);
        setOptions(
            {{"-numMoves", "1"}, {"-initTemp", "100"}, {"-areaWeight", wired ? "100" : "30"}});
        annealer.reset();
        db.reset();
        d = TestDesign();
        ring(mixed, wired);
        Annealer& a = build(seed, wired);
        const std::string out = run(a);
        const double side = std::sqrt(400 * 1.2);
        EXPECT_LE(a.getXSize(), side);
        EXPECT_LE(a.getYSize(), side);
        expectLegalInside(side, side);
        // The locations written back are those of the final packing.
        EXPECT_DOUBLE_EQ(db->getXSize(), a.getXSize());
        EXPECT_DOUBLE_EQ(db->getYSize(), a.getYSize());
        EXPECT_EQ(finalLine(out), "Final Area: 400 WhiteSpace 0% AR 1 HPWL " +
                                      finalLine(out).substr(finalLine(out).rfind(' ') + 1));
      }
    }
  }
}

TEST_F(AnnealerRun, ConfigurationMovesKeepEvaluatorAndDatabaseInStep) {
  const std::string ipc = osvotest::scratchDir("anneal_loop_configs") + "/cfg.ipc";
  osvotest::writeFile(ipc, "{s0:0, s1:0, s2:0, s3:0} 1.0\n{s0:1, s1:1, s2:0, s3:1} 1.3\n");
  ReadParam::cmdOption["-ipcFile"] = ipc;
  ring(false);
  for (CktInstance* inst : d.get()->instList) {
    CktVersion* v = TestDesign::addVersion(inst->master, 5, 16);
    v->delay = 2;
    v->tco = 0.5;
  }
  Annealer& a = build(4, true);
  const std::string out = run(a);

  int configLines = 0;
  const std::vector<std::string> lines = osvotest::splitLines(out);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (std::regex_match(lines[k], std::regex("Accepted move from config [01]to [01]"))) {
      ++configLines;
    } else if (std::regex_match(lines[k], std::regex("Rejected move from config [01]to [01]"))) {
      ++configLines;
      ASSERT_LT(k + 1, lines.size());
      EXPECT_TRUE(lines[k + 1].starts_with("Area stays  ")) << lines[k + 1];
      ++k;
    }
  }
  EXPECT_GT(configLines, 0);
  EXPECT_NE(finalLine(out), "");
  SPeval& ev = AnnealerTestPeer::evaluator(a);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ev.widths[i], db->getNodeWidth(i));
    EXPECT_EQ(ev.heights[i], db->getNodeHeight(i));
  }
}

TEST_F(AnnealerRun, ProgressIsReportedOncePerTemperatureStep) {
  ring(true);
  Annealer& a = build(9, false);
  std::vector<std::pair<int, double>> steps;
  a.setProgressCallback([&](int step, double T) { steps.emplace_back(step, T); });
  run(a);
  // The schedule from 100 down to the stop temperature 0.01.
  std::vector<double> expected;
  for (double T = 100; T > 0.01;) {
    T *= Annealer::coolingFactor(T);
    expected.push_back(T);
  }
  ASSERT_EQ(steps.size(), expected.size());
  for (std::size_t k = 0; k < steps.size(); ++k) {
    EXPECT_EQ(steps[k].first, static_cast<int>(k) + 1);
    EXPECT_DOUBLE_EQ(steps[k].second, expected[k]);
  }
}

TEST_F(AnnealerRun, SeedsComeFromTheStageOrFromAnAdvancingClock) {
  d.block("only", 3, 3);
  testing::internal::CaptureStdout();
  db = std::make_unique<DB>(d.get(), 20, false, 0, 0.0, 1.0);
  params = std::make_unique<Command_Line>();
  testing::internal::GetCapturedStdout();

  testing::internal::CaptureStdout();
  Annealer fixed(params.get(), db.get(), 42);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "The random seed for this run is: 42\n");
  EXPECT_EQ(fixed.getSeed(), 42);
  const int next = std::rand();
  std::srand(42);
  EXPECT_EQ(std::rand(), next);

  // Clock seeds never repeat or go back, even within one second or after a
  // reproducible seed ahead of the clock.
  testing::internal::CaptureStdout();
  Annealer first(params.get(), db.get());
  Annealer second(params.get(), db.get());
  Annealer ahead(params.get(), db.get(), 4000000000L);
  Annealer third(params.get(), db.get());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_GT(second.getSeed(), first.getSeed());
  EXPECT_EQ(third.getSeed(), 4000000001L);
  EXPECT_NE(out.find("The random seed for this run is: 4000000001\n"), std::string::npos);
}

TEST_F(AnnealerRun, DatabaseWithoutBlocksIsRefused) {
  Annealer& a = build(3, false);
  testing::internal::CaptureStderr();
  const std::string out = run(a);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("no blocks"), std::string::npos);
  EXPECT_EQ(a.getXSize(), 0);
  EXPECT_EQ(a.getYSize(), 0);
}

TEST_F(AnnealerRun, FixedOutlineRequestFallsBackToAnnealing) {
  setOptions({{"-numMoves", "1"}, {"-initTemp", "10"}, {"-fenrik", "1"}});
  ring(true);
  Annealer& a = build(5, false);
  ASSERT_TRUE(params->fenrik);
  testing::internal::CaptureStderr();
  const std::string out = run(a);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(osvotest::splitLines(err).size(), 1u);
  EXPECT_NE(err.find("not available"), std::string::npos);
  EXPECT_TRUE(out.starts_with("Final Area: ")) << out;
}

TEST_F(AnnealerRun, BlocksWithoutExtentReportZeroes) {
  d.block("point", 0, 0);
  d.block("line", 0, 0);
  Annealer& a = build(6, false);
  EXPECT_EQ(run(a), "Final Area: 0 WhiteSpace 0% AR 0 HPWL 0\n");
}
