#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>

#include "stage/ProgressLine.h"
#include "stage/StageReport.h"

using namespace CoarsePlacement;

namespace {

CktInstance* addBlock(FlatDesign& d, const std::string& name) {
  auto* m = new CktMaster;
  m->name = name;
  m->index = static_cast<int>(d.masterList.size());
  d.masterList.push_back(m);
  auto* v = new CktVersion(m, -1, 1, 1, 1);
  v->index = 0;
  m->versions.push_back(v);
  auto* inst = new CktInstance;
  inst->master = m;
  inst->index = static_cast<int>(d.instList.size());
  inst->setExtData("name", new inst_name(name));
  d.instList.push_back(inst);
  return inst;
}

// A two-pin net from `from` to `to`; the driver pin carries the given report values.
CktNet* connect(FlatDesign& d, CktInstance* from, CktInstance* to, double latency, double tsu,
                double tco) {
  auto* net = new CktNet;
  net->index = static_cast<int>(d.netList.size());
  auto* out = new CktPin(nullptr, from);
  from->outPins.push_back(out);
  auto* in = new CktPin(nullptr, to);
  to->inPins.push_back(in);
  out->latency = latency;
  out->tsu = tsu;
  out->tco = tco;
  out->net = in->net = net;
  net->pins = {out, in};
  net->pinDelay = {0, 0};
  net->source = out;
  d.netList.push_back(net);
  return net;
}

}  // namespace

TEST(RunStatistics, SummaryAveragesOverTheRequiredCountAndKeepsMinimums) {
  RunStatistics s;
  s.addRun(120, 40, 20);
  s.addRun(100, 60, 10);
  s.addRun(150, 30, 25);  // a run that did not fit still counts in the sums
  EXPECT_EQ(s.runs, 3u);
  EXPECT_TRUE(s.addSuccess(0.5, 0));  // a BIPS of 0 ties the starting best of 0
  std::ostringstream out;
  s.printSummary(out, 2);
  EXPECT_EQ(out.str(),
            "\n"
            "Average Area: 185 Minimum Area: 100\n"
            "Average HPWL: 65 Minimum HPWL: 30\n"
            "Average WhiteSpace: 27.5% Minimum WhiteSpace: 10%\n"
            " Minimum Cycle time:0.5\n"
            "Best BIPS 0\n"
            "Average Time: 0\n");
}

TEST(RunStatistics, BestBIPSIsRaisedAndTiesWithinTolerancePrintAgain) {
  RunStatistics s;
  EXPECT_TRUE(s.addSuccess(2.0, 1.5));
  EXPECT_FALSE(s.addSuccess(1.0, 1.2));        // worse: no report, but lower cycle kept
  EXPECT_TRUE(s.addSuccess(3.0, 1.5 + 5e-8));  // within 1e-7 of the best: a tie
  EXPECT_TRUE(s.addSuccess(3.0, 1.7));
  EXPECT_DOUBLE_EQ(s.bestBIPS, 1.7);
  EXPECT_DOUBLE_EQ(s.minCycle, 1.0);
  EXPECT_DOUBLE_EQ(s.successes, 4);
}

TEST(BestReport, ListsEveryPathWithTheDriverPinOfEachNet) {
  FlatDesign d;
  CktInstance* a = addBlock(d, "fetch");
  CktInstance* b = addBlock(d, "decode");
  CktInstance* c = addBlock(d, "exec");
  CktNet* ab = connect(d, a, b, 1, 0.25, 120.5);
  CktNet* bc = connect(d, b, c, 2, 3, 4);
  CktNet* ca = connect(d, c, a, 0, 1e-7, 454);
  d.pathList = {{ab, bc}, {ca}, {}};
  d.pathLatency = {3, 7.5, 0};

  std::ostringstream out;
  printBestReport(out, d, 0.875);
  EXPECT_EQ(out.str(),
            "BIPS 0.875\n"
            "Path : 1 total latency 3\n"
            "Block fetch Latency 1 Tsu 0.25 Tco 120.5\n"
            "Block decode Latency 2 Tsu 3 Tco 4\n"
            "Path : 2 total latency 7.5\n"
            "Block exec Latency 0 Tsu 1e-07 Tco 454\n"
            "Path : 3 total latency 0\n");
}

TEST(BestReport, NetsWithoutPinsAreSkippedAndMissingLatenciesReadAsZero) {
  FlatDesign d;
  auto* empty = new CktNet;
  d.netList.push_back(empty);
  d.pathList = {{empty}};
  std::ostringstream out;
  printBestReport(out, d, 1);
  EXPECT_EQ(out.str(), "BIPS 1\nPath : 1 total latency 0\n");
}

TEST(BIPS, IsUndefinedWithoutAPositiveCycleOrAFiniteIPCFactor) {
  double bips = -1;
  ASSERT_TRUE(computeBIPS(1.5, 2.0, 1.0, bips));
  EXPECT_DOUBLE_EQ(bips, 0.75);
  ASSERT_TRUE(computeBIPS(1.5, 2.0, 0.5, bips));  // the pipeline model's factor of 2
  EXPECT_DOUBLE_EQ(bips, 1.5);
  bips = -1;
  EXPECT_FALSE(computeBIPS(1.5, 0.0, 1.0, bips));  // no timing path / no "-fix_freq"
  EXPECT_FALSE(computeBIPS(1.5, -2.0, 1.0, bips));
  EXPECT_FALSE(computeBIPS(1.5, 2.0, 0.0, bips));  // the IPC factor overflowed
  EXPECT_FALSE(computeBIPS(1.5, 2.0, INFINITY, bips));
  EXPECT_FALSE(computeBIPS(1.5, 2.0, NAN, bips));
  EXPECT_FALSE(computeBIPS(1.5, 1e-300, 1e-300, bips));  // the quotient itself overflows
  EXPECT_EQ(bips, -1);
}

TEST(AnnealSeed, AcceptsOnlyPlainNonNegativeIntegersWithinTheBound) {
  long seed = -5;
  EXPECT_TRUE(parseAnnealSeed("0", 100, seed));
  EXPECT_EQ(seed, 0);
  EXPECT_TRUE(parseAnnealSeed("100", 100, seed));
  EXPECT_EQ(seed, 100);
  for (const char* bad :
       {"", "-1", "101", "12abc", " 7", "7 ", "1.5", "+3", "99999999999999999999999"}) {
    seed = 42;
    EXPECT_FALSE(parseAnnealSeed(bad, 100, seed)) << bad;
    EXPECT_EQ(seed, 42) << bad;
  }
  EXPECT_TRUE(parseAnnealSeed("9223372036854775000", LONG_MAX - 100, seed));
}

TEST(ProgressLine, WritesNothingWhenDisabled) {
  std::ostringstream out;
  {
    ProgressLine p(out, false);
    p.show("run 1");
    p.erase();
  }
  EXPECT_EQ(out.str(), "");
}

TEST(ProgressLine, RewritesInPlaceAndBlanksWhatWasShown) {
  std::ostringstream out;
  {
    ProgressLine p(out, true);
    p.erase();  // nothing shown yet: nothing written
    p.show("abcdef");
    p.show("xy");  // shorter text: the rest of the old one is blanked
    p.erase();     // only the two characters still visible need blanking
    p.erase();     // already blank: nothing written
    p.show("z");
  }  // the destructor erases what is left
  EXPECT_EQ(out.str(), "\rabcdef\r\rxy    \r\r  \r\rz\r\r \r");
}
