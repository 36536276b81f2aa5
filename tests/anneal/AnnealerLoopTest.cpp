// The annealing schedule and whole runs of the annealer on tiny designs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "AnnealTestDesign.h"
#include "RunBinary.h"

using namespace fptest;

TEST(AnnealerSchedule, BandsAtTheirBoundaries) {
  const std::pair<double, double> cooling[] = {
      {30000, 0.85}, {2000, 0.85},  {1999.9, 0.9}, {1500, 0.9}, {1000.1, 0.9},
      {1000, 0.85},  {999.9, 0.95}, {500.1, 0.95}, {500, 0.85}, {499.9, 0.96},
      {200.1, 0.96}, {200, 0.85},   {199.9, 0.8},  {10.1, 0.8}, {10, 0.98},
      {0.11, 0.98},  {0.1, 0.85},   {0.05, 0.85},  {0, 0.85}};
  for (const auto& [T, factor] : cooling) EXPECT_EQ(Annealer::coolingFactor(T), factor) << T;
  const std::pair<double, int> exponents[] = {{30000, 1}, {3000, 1}, {2999.9, 2}, {300, 2},
                                              {299.9, 3}, {30, 3},   {29.9, 4},   {3, 4},
                                              {2.99, 5},  {0, 5}};
  for (const auto& [T, e] : exponents) EXPECT_EQ(Annealer::weightExponent(T), e) << T;
  EXPECT_EQ(Annealer::movesPerTemperature(30, 10), 932);
  EXPECT_EQ(Annealer::movesPerTemperature(1, 10), 10);
  EXPECT_EQ(Annealer::movesPerTemperature(4, 1), 6);
  EXPECT_EQ(Annealer::outsideArea(9, 10, 10, 10), 0);
  EXPECT_EQ(Annealer::outsideArea(12, 5, 10, 10), 10);
  EXPECT_EQ(Annealer::outsideArea(12, 13, 10, 10), 12 * 13 - 100);
}

namespace {

class AnnealerRun : public AnnealFixture {
 protected:
  void SetUp() override { setOptions({{"-numMoves", "1"}, {"-initTemp", "100"}}); }

  // Squares of side 10 (and, with `mixed`, a 10 x 20 block in place of two of
  // them), wired in a ring of sequential blocks when `wired`.
  void ring(bool mixed, bool wired = true) {
    std::vector<CktInstance*> b;
    if (mixed) b.push_back(d.block("tall", 10, 20));
    for (const char* name : {"s0", "s1", "s2", "s3"})
      if (!mixed || name[1] >= '2') b.push_back(d.block(name, 10, 10));
    for (std::size_t k = 0; wired && k < b.size(); ++k) d.connect(b[k], b[(k + 1) % b.size()]);
  }

  // Starts again from an empty design.
  void fresh() {
    annealer.reset();
    db.reset();
    d = TestDesign();
  }

  std::string run(Annealer& a) {
    testing::internal::CaptureStdout();
    a.go();
    return testing::internal::GetCapturedStdout();
  }

  // Every block inside [0, W] x [0, H], no two overlapping.
  void expectLegalInside(double W, double H) {
    const std::vector<double> x = db->getXLocs(), y = db->getYLocs();
    const std::vector<double> w = db->getNodeWidths(), h = db->getNodeHeights();
    for (std::size_t i = 0; i < x.size(); ++i) {
      EXPECT_TRUE(x[i] >= 0 && y[i] >= 0) << "block " << i;
      EXPECT_TRUE(x[i] + w[i] <= W + 1e-9 && y[i] + h[i] <= H + 1e-9) << "block " << i;
      for (std::size_t j = i + 1; j < x.size(); ++j) {
        EXPECT_TRUE(x[i] + w[i] <= x[j] || x[j] + w[j] <= x[i] || y[i] + h[i] <= y[j] ||
                    y[j] + h[j] <= y[i])
            << "blocks " << i << " and " << j << " overlap";
      }
    }
  }
};

// The final line of a run, among the progress lines of static timing.
std::string finalLine(const std::string& out) {
  for (const std::string& line : osvotest::splitLines(out))
    if (line.starts_with("Final Area: ")) return line;
  return "";
}

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
  EXPECT_EQ(run(a), "Final Area: 2 WhiteSpace 0% AR 0.5 HPWL 0\n");
  EXPECT_EQ(std::rand(), after);
  EXPECT_EQ(db->getNodeWidth(0), 1);
  EXPECT_EQ(db->getNodeHeight(0), 2);
  EXPECT_EQ(d.get()->instList[0]->orient % 2, 1);
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
        fresh();
        ring(mixed, wired);
        Annealer& a = build(seed, wired);
        const std::string line = finalLine(run(a));
        const double side = std::sqrt(400 * 1.2);
        EXPECT_LE(a.getXSize(), side);
        EXPECT_LE(a.getYSize(), side);
        expectLegalInside(side, side);
        // The locations written back are those of the final packing.
        EXPECT_DOUBLE_EQ(db->getXSize(), a.getXSize());
        EXPECT_DOUBLE_EQ(db->getYSize(), a.getYSize());
        EXPECT_EQ(line,
                  "Final Area: 400 WhiteSpace 0% AR 1 HPWL " + line.substr(line.rfind(' ') + 1));
      }
    }
  }
}

TEST_F(AnnealerRun, ConfigurationMovesKeepEvaluatorAndDatabaseInStep) {
  const std::string ipc = testDir() + "/cfg.ipc";
  osvotest::writeFile(ipc, "{s0:0, s1:0, s2:0, s3:0} 1.0\n{s0:1, s1:1, s2:0, s3:1} 1.3\n");
  ReadParam::cmdOption["-ipcFile"] = ipc;
  ring(false);
  for (CktInstance* inst : d.get()->instList) {
    CktVersion* v = d.version(inst, 5, 16);
    v->delay = 2;
    v->tco = 0.5;
  }
  Annealer& a = build(4, true);
  const std::vector<std::string> lines = osvotest::splitLines(run(a));
  // Every configuration move is reported; a rejected one with the area kept.
  const std::regex accepted("Accepted move from config [01]to [01]");
  const std::regex rejected("Rejected move from config [01]to [01]");
  int configLines = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (std::regex_match(lines[k], accepted)) ++configLines;
    if (!std::regex_match(lines[k], rejected)) continue;
    ++configLines;
    ASSERT_LT(k + 1, lines.size());
    EXPECT_TRUE(lines[++k].starts_with("Area stays  ")) << lines[k];
  }
  EXPECT_GT(configLines, 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().starts_with("Final Area: ")) << lines.back();
  SPeval& ev = AnnealerTestPeer::evaluator(a);
  EXPECT_EQ(ev.widths, db->getNodeWidths());
  EXPECT_EQ(ev.heights, db->getNodeHeights());
}

TEST_F(AnnealerRun, ProgressIsReportedOncePerTemperatureStep) {
  ring(true);
  Annealer& a = build(9, false);
  std::vector<std::pair<int, double>> steps;
  a.setProgressCallback([&](int step, double T) { steps.emplace_back(step, T); });
  run(a);
  // The schedule from 100 down to the stop temperature 0.01.
  std::vector<std::pair<int, double>> expected;
  for (double T = 100; T > 0.01;) {
    T *= Annealer::coolingFactor(T);
    expected.emplace_back(static_cast<int>(expected.size()) + 1, T);
  }
  EXPECT_EQ(steps, expected);
}

TEST_F(AnnealerRun, SeedsComeFromTheStageOrFromAnAdvancingClock) {
  d.block("only", 3, 3);
  build();
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

TEST_F(AnnealerRun, DegenerateDesignsAndTheFixedOutlineRequest) {
  // A database without blocks is refused on standard error.
  Annealer& none = build(3, false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(run(none), "");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("no blocks"), std::string::npos);
  EXPECT_EQ(std::pair(none.getXSize(), none.getYSize()), std::pair(0.0, 0.0));

  // Blocks without extent report zero whitespace and aspect ratio, not 0/0.
  d.block("point", 0, 0);
  d.block("line", 0, 0);
  EXPECT_EQ(run(build(6, false)), "Final Area: 0 WhiteSpace 0% AR 0 HPWL 0\n");

  // A fixed-outline request falls back to annealing, saying so once.
  setOptions({{"-numMoves", "1"}, {"-initTemp", "10"}, {"-fenrik", "1"}});
  fresh();
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
