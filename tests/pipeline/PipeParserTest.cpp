// Both variants of the pipeline reader on small hand-checked files, malformed
// input, and the IPC net weighting.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Capture.h"
#include "RunBinary.h"
#include "flat/FlatDesign.h"
#include "pipeline/NetIPCWeighting.h"
#include "pipeline/PipeParser.h"

using namespace CoarsePlacement;
using osvotest::capture;
using osvotest::dataPath;
using osvotest::isError;
using osvotest::Printed;

namespace {

const PipeOptions kNets;
const PipeOptions kPaths{true, 2.0};  // U = 454 ps, T = 454

// Parses the description "d.desc" and, when given, the cycle file "d.cycle" from memory.
struct Parse {
  Printed printed;
  std::unique_ptr<FlatDesign> design;
};
Parse parseText(const std::string& desc, const std::string* cycle, const PipeOptions& options) {
  std::map<std::string, std::string> files = {{"d.desc", desc}};
  if (cycle) files["d.cycle"] = *cycle;
  auto open = [&](const std::string& name, const std::string& kind) {
    auto at = files.find(name);
    if (at == files.end()) throw osvo::Error("no " + kind + " file " + name + "\n");
    return std::unique_ptr<std::istream>(std::make_unique<std::istringstream>(at->second));
  };
  Parse p;
  p.printed = capture([&] { p.design = pipeParser("d.desc", "d.cycle", options, open); });
  return p;
}
Parse parseNets(const std::string& desc, const std::string& cycle) {
  return parseText(desc, &cycle, kNets);
}
Parse parsePaths(const std::string& desc) {
  return parseText(desc, nullptr, kPaths);
}

// Every net's first pin is its source, filed under outPins with a port of
// `driverDir`, the others under inPins with ports of `sinkDir`.
void expectWellFormed(const FlatDesign& d, PortDir driverDir, PortDir sinkDir) {
  for (const CktNet* net : d.netList) {
    ASSERT_FALSE(net->pins.empty());
    EXPECT_EQ(net->source, net->pins[0]);
    EXPECT_EQ(net->pinDelay, std::vector<double>(net->pins.size(), 0.0));
    for (const CktPin* p : net->pins) {
      const bool driver = p == net->pins[0];
      EXPECT_EQ(p->net, net);
      EXPECT_EQ(p->port->dir, driver ? driverDir : sinkDir);
      const auto& filed = driver ? p->inst->outPins : p->inst->inPins;
      EXPECT_EQ(std::count(filed.begin(), filed.end(), p), 1);
    }
  }
}

TEST(PipeParser, NetVariantConvertsUnits) {
  const std::string desc = dataPath("pipeline/net-small.desc");
  const std::string cycle = dataPath("pipeline/net-small.cycle");
  std::unique_ptr<FlatDesign> d;
  const Printed p = capture([&] { d = pipeParser(desc, cycle, kNets); });
  ASSERT_TRUE(d) << p.err;
  ASSERT_EQ(d->masterList.size(), 3u);
  expectWellFormed(*d, OUT_PORT, IN_PORT);

  // mm^2 become um^2, ps become ns; latencies of 1500.7, 999 and 2000 ps.
  const CktVersion* alu = d->masterList[0]->versions[0];
  EXPECT_EQ((std::vector<double>{alu->area, alu->width, alu->height}),
            (std::vector<double>{2000000.0, 2000.0, 1000.0}));
  EXPECT_DOUBLE_EQ(alu->delay, 1.5007);
  EXPECT_DOUBLE_EQ(alu->tco, 0.12);
  EXPECT_DOUBLE_EQ(alu->tsu, 0.08);
  std::vector<int> latencies;
  for (const CktMaster* m : d->masterList) latencies.push_back(m->versions[0]->latency);
  EXPECT_EQ(latencies, (std::vector<int>{1, 0, 2}));

  ASSERT_EQ(d->netList.size(), 3u);
  const CktNet* result = d->netList[0];
  EXPECT_EQ(result->name, "result");
  ASSERT_EQ(result->pins.size(), 3u);
  EXPECT_EQ(result->pins[0]->inst, d->instList[0]);
  EXPECT_DOUBLE_EQ(result->pins[0]->outDelay, 0.12);  // driver's tco
  EXPECT_DOUBLE_EQ(result->pins[1]->inDelay, 0.04);   // sink's tsu
  EXPECT_EQ(d->netList[1]->pins.size(), 1u);          // P = 1: only the driver
}

TEST(PipeParser, PathVariantBuildsPathsLoopsAndLatencies) {
  const std::string desc = dataPath("pipeline/path-small.desc");
  std::unique_ptr<FlatDesign> d;
  const Printed p = capture([&] { d = pipeParser(desc, "no-such-cycle-file", kPaths); });
  ASSERT_TRUE(d) << p.err;
  expectWellFormed(*d, BI_PORT, BI_PORT);

  // um^2 and ps, as read.
  const CktVersion* fetch = d->masterList[0]->versions[0];
  EXPECT_EQ((std::vector<double>{fetch->area, fetch->width, fetch->height}),
            (std::vector<double>{2.0, 2.0, 1.0}));
  EXPECT_EQ(d->masterList[1]->versions[0]->latency, 300);  // 300.9 ps

  EXPECT_EQ(d->loopEnd, (std::vector<int>{2, 4}));
  EXPECT_EQ(d->pathProb, (std::vector<double>{-0.2, -0.3, -0.5, -0.2, -0.1}));
  // First block modulo T, middle blocks in full, last block not at all:
  // (1000 % 454) + 300 = 392; 500 % 454 = 46; 200; 300; 92 + 300 + 500 = 892.
  EXPECT_EQ(d->pathBaseLatency, (std::vector<double>{1, 1, 1, 1, 2}));

  std::vector<std::string> names;
  for (const CktNet* n : d->netList) names.push_back(n->name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"fetch_decode", "decode_alu", "alu_fetch", "decode_alu",
                                      "fetch_decode", "decode_alu", "alu_wb"}));
  EXPECT_TRUE(d->pathList[2].empty());  // K = 1
  ASSERT_EQ(d->pathList[4].size(), 3u);
  EXPECT_EQ(d->pathList[4][0], d->netList[4]);
  // IPC weights: sums -0.2 -0.2 -0.3 -0.2 -0.1 -0.1 -0.1 over the minimum -0.3.
  EXPECT_DOUBLE_EQ(d->netList[2]->ipcWeight, 1.0);
  EXPECT_DOUBLE_EQ(d->netList[6]->ipcWeight, 1.0 / 3);
}

TEST(NetIPCWeighting, SumsOverPathsNormalisedByTheSmallest) {
  struct Case {
    size_t nets;
    std::vector<std::vector<size_t>> paths;  // net indices
    std::vector<double> prob;                // as stored: negated
    std::vector<double> expected;
  };
  const Case cases[] = {
      // 0.2 and 0.3 share net 1; net 3 is on no path.
      {4, {{0, 1}, {1, 2}}, {-0.2, -0.3}, {0.4, 1.0, 0.6, 0.0}},
      {2, {{0, 0, 1}, {1}}, {-0.25, -0.25}, {1.0, 1.0}},            // every listing counts
      {3, {{0, 1}, {2}}, {0.0, -0.0}, {0.0, 0.0, 0.0}},             // minimum 0: weights stay 0
      {2, {{0}, {1}}, {20000.0, 9999.0}, {20000.0 / 9999.0, 1.0}},  // the minimum starts at 9999
  };
  for (const Case& c : cases) {
    FlatDesign d;
    for (size_t i = 0; i < c.nets; ++i) {
      d.netList.push_back(new CktNet);
      d.netList.back()->ipcWeight = 7.0;  // stale: must be replaced
    }
    for (const auto& p : c.paths) {
      d.pathList.emplace_back();
      for (size_t i : p) d.pathList.back().push_back(d.netList[i]);
    }
    d.pathProb = c.prob;
    netIPCWeighting(&d);
    for (size_t i = 0; i < c.nets; ++i)
      EXPECT_DOUBLE_EQ(d.netList[i]->ipcWeight, c.expected[i]) << c.nets << " nets, net " << i;
  }
}

const std::string kBlocks = "2\nalu 1 1 0 100 10 5\nlsq 1 1 0 100 10 5\n";
const std::string kPathBlocks = "2\nalu 1 1 100\nlsq 1 1 100\n";

TEST(PipeParser, MalformedInputNamesTheFileTheLineAndTheField) {
  struct Case {
    std::string desc;
    const char* cycle;  // null: the path variant
    std::string error;
  };
  const std::string wide = "1e8 100", tall = "1e-8 100";
  const Case cases[] = {
      {"two\n", "", "^Error: d.desc:1: expected the number of blocks [^\n]*, found \"two\"\n$"},
      {"1\nalu 1.2.3 1 0 100 10 5\n", "",
       "^Error: d.desc:2: expected the area of block \"alu\" \\(a number\\), found \"1.2.3\"\n$"},
      {"1\nalu 1e400 1 0 100 10 5\n", "",
       "^Error: d.desc:2: the area of block \"alu\" is too large: \"1e400\"\n$"},
      {"2\nalu 1 1 0 100 10\n", "",
       "^Error: d.desc:2: expected the set-up time of block \"alu\" \\(a number\\), "
       "found the end of the file\n$"},
      {kBlocks, "2\n2 n alu lsq\n2 m lsq\n",
       "^Error: d.cycle:3: expected sink block 1 of net \"m\", found the end of the file\n$"},
      {kPathBlocks + "1 1\n2 alu lsq\n", nullptr,
       "^Error: d.desc:5: expected the probability of path 1 of 1 \\(a number\\), "
       "found the end of the file\n$"},
      {kBlocks, "1\n0 n alu\n",
       "expected the pin count of net 1 of 1 \\(at least 1\\), found \"0\""},
      {"3\nalu 1 1 0 1 1 1\nlsq 1 1 0 1 1 1\nalu 2 1 0 1 1 1\n", "",
       "^Error: d.desc:4: block \"alu\" is named twice: on line 2 and on line 4\n$"},
      {kBlocks, "1\n3 n alu lsq\nLsq\n", "^Error: d.cycle:3: unknown block \"Lsq\"\n$"},
      {kBlocks, "2\n3 n alu lsq\n2 m alu lsq\n", "^Error: d.cycle:3: unknown block \"2\"\n$"},
      {kPathBlocks + "1 1\n2 alu ghost 0.5\n", nullptr,
       "^Error: d.desc:5: unknown block \"ghost\"\n$"},
      {"1\nalu 0 1 0 100 10 5\n", "", "^Error: d.desc:2: block \"alu\" has a non-positive area"},
      {"1\nalu 1 -2 0 100 10 5\n", "", "block \"alu\" has a non-positive aspect ratio"},
      {"1\nalu 1 1 0 -100 10 5\n", "", "^Error: d.desc:2: block \"alu\" has a negative delay"},
      {"1\nalu 1 1 0 100 -1 5\n", "", "block \"alu\" has a negative clock-to-output time"},
      {"1\nalu 1 1 0 100 1 -5\n", "", "block \"alu\" has a negative set-up time"},
      {"1\nalu 1 1 0 100 1 3e9\n", "", "block \"alu\" has a set-up time too large"},
      {"1\nrf 5 1 3e9\n0\n", nullptr, "block \"rf\" has a delay too large"},
      {"1\nrf 1e303 1 0 1 1 1\n", "", "block \"rf\" has an area too large"},
      {"1\nrf 1e300 1e10 0 1 1 1\n", "",
       "block \"rf\" gets a width of inf and a height of 0; sizes must be positive and finite"},
      {"1\nrf 1e-200 1e-200 0 1 1 1\n", "", "block \"rf\" gets a width of 0 and a height of inf"},
      {"2\nw 1e300 " + wide + "\nt 1e300 " + tall + "\n0\n", nullptr,
       "the blocks are too large together"},
      {kPathBlocks + "1 1\n2 alu lsq 1.5\n", nullptr,
       "^Error: d.desc:5: path 1 of 1 has the probability 1.5; probabilities lie in \\[0, 1\\]\n$"},
      {kPathBlocks + "1 1\n1 alu -0.1\n", nullptr, "path 1 of 1 has the probability -0.1"},
      {"1\n" + std::string(5000, 'x'), "", "^Error: d.desc:2: a word longer than 4096 characters"},
  };
  for (const Case& c : cases) {
    std::string cycle = c.cycle ? c.cycle : "";
    const Parse p = parseText(c.desc, c.cycle ? &cycle : nullptr, c.cycle ? kNets : kPaths);
    EXPECT_TRUE(isError(p.printed.error, c.error)) << c.desc;
    EXPECT_FALSE(p.design);
  }
}

TEST(PipeParser, TextAfterTheDeclaredRecordsIsReportedWithItsLine) {
  Parse p = parseNets(kBlocks, "1\n2 n alu lsq\n2 m lsq alu\n");
  ASSERT_TRUE(p.design) << p.printed.err;
  EXPECT_EQ(p.design->netList.size(), 1u);
  EXPECT_EQ(p.printed.err,
            "Warning: d.cycle:3: text after the last of the 1 declared nets is ignored\n");
  p = parseNets(kBlocks + "extra\n", "0\n");
  EXPECT_EQ(p.printed.err,
            "Warning: d.desc:4: text after the last of the 2 declared blocks is ignored\n");
  p = parsePaths(kPathBlocks + "1 1\n1 alu 0.5\n\n1 ghost 0.5\n");
  ASSERT_TRUE(p.design) << p.printed.err;
  EXPECT_EQ(p.printed.err,
            "Warning: d.desc:7: text after the last of the 1 declared paths is ignored\n");
}

TEST(PipeParser, UnreadableFilesAndUnusableClocks) {
  const std::string dir = osvotest::scratchDir("PipeParser.files");
  Printed p = capture([&] { pipeParser(dir + "/x.desc", "", kNets); });
  EXPECT_TRUE(isError(p.error,
                      "^Error: cannot read description file \"[^\"]*/x.desc\": it does "
                      "not exist\n$"));
  p = capture([&] { pipeParser(dir, "", kNets); });
  EXPECT_TRUE(
      isError(p.error, "^Error: cannot read description file \"[^\"]*\": it is a directory"));
  p = capture([&] { pipeParser(dataPath("pipeline/net-small.desc"), dir, kNets); });
  EXPECT_TRUE(isError(p.error, "^Error: cannot read cycle file \"[^\"]*\": it is a directory"));

  // "-fix_freq" must leave a usable cycle 1000 / f - 46 after truncation.
  EXPECT_TRUE(isError(capture([] { pipelineClockOption(""); }).error,
                      "^Error: option -fix_freq must be [^\n]*; it is not set\n$"));
  for (const char* bad : {"abc", "0", "21.3", "30", "2GHz", "nan"}) {
    EXPECT_TRUE(isError(capture([&] { pipelineClockOption(bad); }).error,
                        std::string("option -fix_freq must be .*found \"") + bad + "\""))
        << bad;
  }
  EXPECT_DOUBLE_EQ(pipelineClockOption("2.0"), 2.0);
  EXPECT_TRUE(isError(
      parseText(kPathBlocks + "1 1\n1 alu 0.5\n", nullptr, PipeOptions{true, 0}).printed.error,
      "option -fix_freq must be .*found 0"));
}

}  // namespace
