// Both variants of the pipeline reader on small hand-checked files, the bundled
// example core, malformed input, and the IPC net weighting.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "RunBinary.h"
#include "flat/FlatDesign.h"
#include "options/ReadParam.h"
#include "pipeline/NetIPCWeighting.h"
#include "pipeline/PipeParser.h"

using namespace CoarsePlacement;
using osvotest::dataPath;
using ::testing::ExitedWithCode;

namespace {

class PipeTest : public ::testing::Test {
 protected:
  void SetUp() override { ReadParam::clear(); }
  void TearDown() override { ReadParam::clear(); }

  // Selects the path variant at the given clock frequency (GHz).
  static void usePathVariant(const std::string& freq) {
    ReadParam::setOption("-pipe", "1");
    ReadParam::setOption("-fix_freq", freq);
  }
  // Parses and keeps what the reader printed on standard output in `printed`.
  std::unique_ptr<FlatDesign> parse(const std::string& desc, const std::string& cycle) {
    ::testing::internal::CaptureStdout();
    std::unique_ptr<FlatDesign> d(pipeParser(desc, cycle));
    printed = ::testing::internal::GetCapturedStdout();
    return d;
  }
  std::string printed;
};

// Every net's first pin is its driver and source, filed under its instance's
// outPins with a port of `driverDir`; the other pins are filed under inPins
// with ports of `sinkDir`; one wire delay entry per pin.
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

TEST_F(PipeTest, NetVariantConvertsUnits) {
  const std::string desc = dataPath("pipeline/net-small.desc");
  const std::string cycle = dataPath("pipeline/net-small.cycle");
  auto d = parse(desc, cycle);
  EXPECT_EQ(printed, "Opened file " + desc + "\nalu\nregfile\nlsq\nOpening " + cycle + "\n");
  EXPECT_EQ(d->mode, 0);
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
  // The top instance is named after the file.
  EXPECT_EQ(instanceName(d->topInst), desc);
}

TEST_F(PipeTest, PathVariantBuildsPathsLoopsAndLatencies) {
  usePathVariant("2.0");  // U = 454 ps, T = 454
  const std::string desc = dataPath("pipeline/path-small.desc");
  auto d = parse(desc, "no-such-cycle-file");  // the cycle file is not read
  EXPECT_EQ(printed, "Opened file " + desc + "\nfetch\ndecode\nalu\nwb\n");
  EXPECT_EQ(d->mode, 1);
  expectWellFormed(*d, BI_PORT, BI_PORT);

  // Stored as read: um^2 and ps.
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

TEST_F(PipeTest, ExampleCoreParsesInBothVariants) {
  const std::string examples = std::string(OSVO_SOURCE_DIR) + "/examples/pipeline/";
  auto nets = parse(examples + "core-nets.desc", examples + "osvo-cycle.proc");
  usePathVariant("2.0");
  auto paths = parse(examples + "core-paths.desc", "");
  for (const auto* d : {nets.get(), paths.get()}) {
    EXPECT_GE(d->masterList.size(), 20u);
    EXPECT_LE(d->masterList.size(), 40u);
  }
  ASSERT_FALSE(paths->loopEnd.empty());
  EXPECT_EQ(paths->loopEnd.back() + 1, static_cast<int>(paths->pathList.size()));
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
      {0, {}, {}, {}},
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

// Malformed input: every case ends the process with one line on standard error
// naming the file (status 1), or, for an unknown block, through the lookup assertion.
class PipeDeathTest : public PipeTest {
 protected:
  // Parses a description (and, for the net variant, a cycle file) written for the case.
  static void parseText(const std::string& desc, const std::string& cycle, bool pathVariant) {
    const std::string dir = osvotest::scratchDir("PipeDeathTest");
    osvotest::writeFile(dir + "/d.desc", desc);
    osvotest::writeFile(dir + "/d.cycle", cycle);
    delete pipeParser(dir + "/d.desc", pathVariant ? "" : dir + "/d.cycle");
  }
};

const std::string kBlocks = "2\nalu 1 1 0 100 10 5\nlsq 1 1 0 100 10 5\n";
const std::string kPathBlocks = "2\nalu 1 1 100\nlsq 1 1 100\n";

TEST_F(PipeDeathTest, MalformedFilesNameTheFileAndTheField) {
  const std::string missing = osvotest::scratchDir("PipeDeathTest.missing");
  EXPECT_EXIT(delete pipeParser(missing + "/x.desc", ""), ExitedWithCode(1),
              "^Error: cannot open description file \"[^\"]*/x.desc\"\n$");
  EXPECT_EXIT(delete pipeParser(dataPath("pipeline/net-small.desc"), missing + "/x.cycle"),
              ExitedWithCode(1), "^Error: cannot open cycle file \"[^\"]*/x.cycle\"\n$");

  struct Case {
    std::string desc, cycle;
    bool pathVariant;
    std::string error;
  };
  const Case cases[] = {
      {"two\n", "", false,
       "^Error: [^\n]*d.desc: expected the number of blocks [^\n]*, found \"two\"\n$"},
      {"1\nalu 1.2.3 1 0 100 10 5\n", "", false,
       "expected the area of block \"alu\" \\(a number\\), found \"1.2.3\""},
      // Records cut short by the end of the file.
      {"2\nalu 1 1 0 100 10\n", "", false,
       "^Error: [^\n]*d.desc: expected the set-up time of block \"alu\" \\(a number\\), "
       "found the end of the file\n$"},
      {kBlocks, "2\n2 n alu lsq\n2 m lsq\n", false,
       "^Error: [^\n]*d.cycle: expected sink block 1 of net \"m\", found the end of the file\n$"},
      {kPathBlocks + "1 1\n2 alu lsq\n", "", true,
       "^Error: [^\n]*d.desc: expected the probability of path 1 of 1 \\(a number\\), "
       "found the end of the file\n$"},
      {kBlocks, "1\n0 n alu\n", false,
       "expected the pin count of net 1 of 1 \\(at least 1\\), found \"0\""},
      // Sizes and delays that give no usable block.
      {"1\nalu 0 1 0 100 10 5\n", "", false,
       "^Error: [^\n]*d.desc: block \"alu\" has a non-positive area[^\n]*\n$"},
      {"1\nalu 1 -2 0 100 10 5\n", "", false, "block \"alu\" has a non-positive aspect ratio"},
      {"1\nrf 5 1 3e9\n0\n", "", true, "block \"rf\" has a delay too large"},
  };
  for (const Case& c : cases) {
    if (c.pathVariant) usePathVariant("2.0");
    EXPECT_EXIT(parseText(c.desc, c.cycle, c.pathVariant), ExitedWithCode(1), c.error) << c.desc;
    ReadParam::clear();
  }
}

TEST_F(PipeDeathTest, UnknownBlocksAndUnusableClockFrequencies) {
  const std::string assertion = "(.|\n)*f < fd->masterList\\.size\\(\\)";
  EXPECT_DEATH(parseText(kBlocks, "1\n3 n alu lsq Lsq\n", false),
               "d.cycle: unknown block \"Lsq\"" + assertion);
  ReadParam::setOption("-pipe", "1");
  const std::string paths = kPathBlocks + "1 1\n2 alu lsq 0.5\n";
  EXPECT_EXIT(parseText(paths, "", true), ExitedWithCode(1),
              "^Error: option -fix_freq must be [^\n]*; it is not set\n$");
  // Not a number, not positive, or a usable cycle time U = 1000 / f - 46 of
  // which nothing is left after truncation.
  for (const char* bad : {"abc", "0", "21.3", "30"}) {
    ReadParam::setOption("-fix_freq", bad);
    EXPECT_EXIT(parseText(paths, "", true), ExitedWithCode(1),
                std::string("option -fix_freq must be .*found \"") + bad + "\"")
        << bad;
  }
  ReadParam::setOption("-fix_freq", "2.0");
  EXPECT_DEATH(parseText(kPathBlocks + "1 1\n2 alu ghost 0.5\n", "", true),
               "d.desc: unknown block \"ghost\"" + assertion);
}

}  // namespace
