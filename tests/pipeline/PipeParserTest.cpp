// Both variants of the pipeline reader on small hand-checked files.
#include <cmath>

#include "PipeTestSupport.h"

using namespace CoarsePlacement;
using osvotest::dataPath;

namespace pipetest {
namespace {

size_t portCount(const CktMaster* m) {
  return m->inPorts.size() + m->outPorts.size() + m->biPorts.size();
}

// Every pin sits in its net and instance consistently; indices match positions.
void expectConsistent(const FlatDesign& d) {
  for (size_t i = 0; i < d.masterList.size(); ++i) {
    EXPECT_EQ(d.masterList[i]->index, static_cast<int>(i));
    EXPECT_EQ(d.instList[i]->index, static_cast<int>(i));
    EXPECT_EQ(d.instList[i]->master, d.masterList[i]);
    ASSERT_EQ(d.masterList[i]->versions.size(), 1u);
    EXPECT_EQ(d.masterList[i]->versions[0]->padLocations.size(), portCount(d.masterList[i]));
  }
  for (size_t n = 0; n < d.netList.size(); ++n) {
    const CktNet* net = d.netList[n];
    EXPECT_EQ(net->index, static_cast<int>(n));
    ASSERT_FALSE(net->pins.empty());
    EXPECT_EQ(net->source, net->pins[0]);
    EXPECT_EQ(net->pinDelay, std::vector<double>(net->pins.size(), 0.0));
    for (const CktPin* p : net->pins) {
      EXPECT_EQ(p->net, net);
      ASSERT_NE(p->inst, nullptr);
      EXPECT_EQ(CktPin::pinPool[static_cast<size_t>(p->id)], p);
    }
  }
}

TEST_F(PipeTest, NetVariantConvertsUnitsAndPrintsProgress) {
  const std::string desc = dataPath("pipeline/net-small.desc");
  const std::string cycle = dataPath("pipeline/net-small.cycle");
  std::string out;
  auto d = parse(desc, cycle, &out);
  ASSERT_TRUE(d);
  EXPECT_EQ(out, "Opened file " + desc + "\nalu\nregfile\nlsq\nOpening " + cycle + "\n");
  EXPECT_EQ(d->mode, 0);
  ASSERT_EQ(d->masterList.size(), 3u);
  expectConsistent(*d);

  // mm^2 become um^2, ps become ns.
  const CktVersion* alu = d->masterList[0]->versions[0];
  EXPECT_DOUBLE_EQ(alu->area, 2000000.0);
  EXPECT_DOUBLE_EQ(alu->width, 2000.0);
  EXPECT_DOUBLE_EQ(alu->height, 1000.0);
  EXPECT_DOUBLE_EQ(alu->delay, 1.5007);
  EXPECT_EQ(alu->latency, 1);
  EXPECT_DOUBLE_EQ(alu->tco, 0.12);
  EXPECT_DOUBLE_EQ(alu->tsu, 0.08);
  EXPECT_EQ(alu->type, 1);
  EXPECT_EQ(d->masterList[1]->versions[0]->latency, 0);  // 999 ps
  EXPECT_EQ(d->masterList[2]->versions[0]->latency, 2);  // 2000 ps
  const CktVersion* lsq = d->masterList[2]->versions[0];
  EXPECT_NEAR(lsq->width * lsq->height, lsq->area, 1e-6);
  EXPECT_NEAR(lsq->width / lsq->height, 0.5, 1e-12);
  EXPECT_EQ(instanceName(d->instList[1]), "regfile");
  EXPECT_EQ(d->masterList[1]->type, 1);

  ASSERT_EQ(d->netList.size(), 3u);
  const CktNet* result = d->netList[0];
  EXPECT_EQ(result->name, "result");
  EXPECT_EQ(result->width, 1);
  EXPECT_DOUBLE_EQ(result->weight, 1.0);
  EXPECT_DOUBLE_EQ(result->ipcWeight, 0.0);
  ASSERT_EQ(result->pins.size(), 3u);
  EXPECT_EQ(result->pins[0]->inst, d->instList[0]);
  EXPECT_EQ(result->pins[0]->port->dir, OUT_PORT);
  EXPECT_DOUBLE_EQ(result->pins[0]->outDelay, 0.12);  // driver's tco
  EXPECT_DOUBLE_EQ(result->pins[0]->inDelay, 0.0);
  EXPECT_EQ(result->pins[1]->port->dir, IN_PORT);
  EXPECT_DOUBLE_EQ(result->pins[1]->inDelay, 0.04);  // sink's tsu
  EXPECT_DOUBLE_EQ(result->pins[2]->inDelay, 0.06);
  EXPECT_DOUBLE_EQ(result->pins[2]->outDelay, 0.0);
  // Pins are numbered in the order they are made.
  EXPECT_EQ(result->pins[1]->id, result->pins[0]->id + 1);
  EXPECT_EQ(result->pins[2]->id, result->pins[0]->id + 2);

  // P = 1: only the driver.
  EXPECT_EQ(d->netList[1]->name, "lonely");
  ASSERT_EQ(d->netList[1]->pins.size(), 1u);
  EXPECT_EQ(d->netList[1]->pins[0]->inst, d->instList[2]);

  // Drivers under outPins and outPorts, sinks under inPins and inPorts.
  EXPECT_EQ(d->instList[0]->outPins.size(), 1u);
  EXPECT_EQ(d->instList[0]->inPins.size(), 1u);
  EXPECT_EQ(d->masterList[0]->outPorts.size(), 1u);
  EXPECT_EQ(d->masterList[0]->inPorts.size(), 1u);
  EXPECT_TRUE(d->masterList[0]->biPorts.empty());
  EXPECT_EQ(d->instList[0]->inPins[0]->net, d->netList[2]);
  EXPECT_TRUE(d->pathList.empty());
  EXPECT_TRUE(d->loopEnd.empty());
}

TEST_F(PipeTest, TopInstanceAndRootMasterStayOutOfTheLists) {
  const std::string desc = dataPath("pipeline/net-small.desc");
  auto d = parse(desc, dataPath("pipeline/net-small.cycle"));
  ASSERT_TRUE(d && d->topInst && d->topInst->master);
  const CktMaster* root = d->topInst->master;
  EXPECT_EQ(d->topInst->index, -1);
  EXPECT_EQ(instanceName(d->topInst), desc);
  EXPECT_EQ(root->name, desc);
  EXPECT_EQ(root->index, -1);
  EXPECT_EQ(root->type, 0);
  ASSERT_EQ(root->versions.size(), 1u);
  EXPECT_EQ(root->versions[0]->area, 0.0);
  EXPECT_EQ(portCount(root), 0u);
  for (const CktMaster* m : d->masterList) EXPECT_NE(m, root);
  for (const CktInstance* i : d->instList) EXPECT_NE(i, d->topInst);
}

TEST_F(PipeTest, AnyPipeValueOtherThanOneSelectsTheNetVariant) {
  ReadParam::setOption("-pipe", "0");
  auto d = parse(dataPath("pipeline/net-small.desc"), dataPath("pipeline/net-small.cycle"));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->mode, 0);
  EXPECT_EQ(d->netList.size(), 3u);
}

TEST_F(PipeTest, PathVariantBuildsPathsLoopsAndLatencies) {
  usePathVariant("2.0");  // U = 454 ps, T = 454
  const std::string desc = dataPath("pipeline/path-small.desc");
  std::string out;
  auto d = parse(desc, "no-such-cycle-file", &out);  // the cycle file is not read
  ASSERT_TRUE(d);
  EXPECT_EQ(out, "Opened file " + desc + "\nfetch\ndecode\nalu\nwb\n");
  EXPECT_EQ(d->mode, 1);
  expectConsistent(*d);

  // Stored as read: um^2 and ps.
  const CktVersion* fetch = d->masterList[0]->versions[0];
  EXPECT_DOUBLE_EQ(fetch->area, 2.0);
  EXPECT_DOUBLE_EQ(fetch->width, 2.0);
  EXPECT_DOUBLE_EQ(fetch->height, 1.0);
  EXPECT_DOUBLE_EQ(fetch->delay, 1000.0);
  EXPECT_EQ(fetch->latency, 1000);
  EXPECT_EQ(fetch->tsu, 0.0);
  EXPECT_EQ(fetch->tco, 0.0);
  EXPECT_DOUBLE_EQ(d->masterList[1]->versions[0]->delay, 300.9);
  EXPECT_EQ(d->masterList[1]->versions[0]->latency, 300);

  EXPECT_EQ(d->loopEnd, (std::vector<int>{2, 4}));
  ASSERT_EQ(d->pathList.size(), 5u);
  EXPECT_EQ(d->pathProb, (std::vector<double>{-0.2, -0.3, -0.5, -0.2, -0.1}));
  EXPECT_EQ(d->pathLatency, std::vector<double>(5, 0.0));
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
  EXPECT_EQ(d->pathList[4][2], d->netList[6]);
  EXPECT_NE(d->netList[1], d->netList[3]);  // same name, separate nets

  // Each connection gets its own bidirectional ports; drivers under outPins.
  const CktNet* fd = d->netList[0];
  ASSERT_EQ(fd->pins.size(), 2u);
  EXPECT_EQ(fd->pins[0]->inst, d->instList[0]);
  EXPECT_EQ(fd->pins[1]->inst, d->instList[1]);
  EXPECT_EQ(fd->pins[0]->port->dir, BI_PORT);
  EXPECT_EQ(fd->pins[1]->port->dir, BI_PORT);
  EXPECT_EQ(fd->pins[0]->outDelay, 0.0);
  EXPECT_EQ(fd->pins[1]->inDelay, 0.0);
  EXPECT_EQ(d->masterList[1]->outPorts.size(), 3u);
  EXPECT_EQ(d->masterList[1]->inPorts.size(), 2u);
  EXPECT_EQ(d->instList[2]->inPins.size(), 3u);
  EXPECT_EQ(d->instList[3]->outPins.size(), 0u);

  // IPC weights: sums -0.2 -0.2 -0.3 -0.2 -0.1 -0.1 -0.1 over the minimum -0.3.
  const double expected[] = {2.0 / 3, 2.0 / 3, 1.0, 2.0 / 3, 1.0 / 3, 1.0 / 3, 1.0 / 3};
  for (size_t i = 0; i < d->netList.size(); ++i)
    EXPECT_NEAR(d->netList[i]->ipcWeight, expected[i], 1e-12) << d->netList[i]->name;
}

TEST_F(PipeTest, PathBaseLatencyFollowsTheClock) {
  usePathVariant("1.0");  // U = 954 ps, T = 954: the first block's 1000 ps leaves 46
  auto d = parse(dataPath("pipeline/path-small.desc"), "");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->pathBaseLatency, (std::vector<double>{1, 1, 1, 1, 1}));

  ReadParam::setOption("-fix_freq", "4");  // U = 204 ps, T = 204
  d = parse(dataPath("pipeline/path-small.desc"), "");
  ASSERT_TRUE(d);
  // 1000 % 204 + 300 = 484 -> 3; 500 % 204 = 92 -> 1; 200 -> 1; 300 % 204 = 96 -> 1;
  // 484 + 500 -> 5.
  EXPECT_EQ(d->pathBaseLatency, (std::vector<double>{3, 1, 1, 1, 5}));
}

TEST_F(PipeTest, EmptyDescriptionsGiveEmptyDesigns) {
  const std::string dir = osvotest::scratchDir("pipe_empty");
  osvotest::writeFile(dir + "/none.desc", "0\n");
  osvotest::writeFile(dir + "/none.cycle", "0\n");
  auto d = parse(dir + "/none.desc", dir + "/none.cycle");
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->masterList.empty());
  EXPECT_TRUE(d->netList.empty());

  usePathVariant("2.0");
  osvotest::writeFile(dir + "/none-paths.desc", "1 solo 4 1 10\n0\n");
  d = parse(dir + "/none-paths.desc", "");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->masterList.size(), 1u);
  EXPECT_TRUE(d->pathList.empty());
  EXPECT_TRUE(d->loopEnd.empty());
}

TEST_F(PipeTest, LineStructureAndNumberFormsAreFree) {
  const std::string dir = osvotest::scratchDir("pipe_free_form");
  osvotest::writeFile(dir + "/a.desc", "2 a +4e2 1.0\n 7 -0 1E1\n 2.5e-1 b 0.25 400 -3 12.5 0 0");
  osvotest::writeFile(dir + "/a.cycle", "1 2\nn a\tb");
  auto d = parse(dir + "/a.desc", dir + "/a.cycle");
  ASSERT_TRUE(d);
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->area, 400e6);
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->tco, 0.01);
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->tsu, 0.00025);
  EXPECT_EQ(d->netList.size(), 1u);
}

}  // namespace
}  // namespace pipetest
