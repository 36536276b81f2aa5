// Both variants of the pipeline reader on small hand-checked files and on the
// bundled example core.
#include <algorithm>

#include "PipeTestSupport.h"

using namespace CoarsePlacement;
using osvotest::dataPath;

namespace pipetest {
namespace {

size_t portCount(const CktMaster* m) {
  return m->inPorts.size() + m->outPorts.size() + m->biPorts.size();
}

// Indices match positions; every block has one version and a pad location per
// port; every net is a single bit of weight 1 whose first pin is its source,
// filed under its instance's outPins with a port of `driverDir` in outPorts,
// and whose other pins are filed under inPins with ports of `sinkDir` in
// inPorts; every pin is on exactly one net and in the pin pool.
void expectWellFormed(const FlatDesign& d, PortDir driverDir, PortDir sinkDir) {
  size_t pins = 0, pinsOnNets = 0;
  for (size_t i = 0; i < d.masterList.size(); ++i) {
    const CktMaster* m = d.masterList[i];
    const CktInstance* inst = d.instList[i];
    EXPECT_EQ(m->index, static_cast<int>(i));
    EXPECT_EQ(inst->index, static_cast<int>(i));
    EXPECT_EQ(inst->master, m);
    ASSERT_EQ(m->versions.size(), 1u);
    EXPECT_EQ(m->versions[0]->padLocations.size(), portCount(m));
    EXPECT_TRUE(m->biPorts.empty());
    EXPECT_EQ(m->outPorts.size(), inst->outPins.size());
    EXPECT_EQ(m->inPorts.size(), inst->inPins.size());
    pins += inst->inPins.size() + inst->outPins.size();
  }
  for (size_t n = 0; n < d.netList.size(); ++n) {
    const CktNet* net = d.netList[n];
    EXPECT_EQ(net->index, static_cast<int>(n));
    EXPECT_EQ(net->width, 1);
    EXPECT_EQ(net->weight, 1.0);
    ASSERT_FALSE(net->pins.empty());
    EXPECT_EQ(net->source, net->pins[0]);
    EXPECT_EQ(net->pinDelay, std::vector<double>(net->pins.size(), 0.0));
    for (const CktPin* p : net->pins) {
      const bool driver = p == net->pins[0];
      EXPECT_EQ(p->net, net);
      ASSERT_NE(p->inst, nullptr);
      EXPECT_EQ(p->port->dir, driver ? driverDir : sinkDir);
      const auto& filed = driver ? p->inst->outPins : p->inst->inPins;
      EXPECT_EQ(std::count(filed.begin(), filed.end(), p), 1);
      EXPECT_EQ(CktPin::pinPool[static_cast<size_t>(p->id)], p);
    }
    pinsOnNets += net->pins.size();
  }
  EXPECT_EQ(pinsOnNets, pins);
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
  expectWellFormed(*d, OUT_PORT, IN_PORT);

  // mm^2 become um^2, ps become ns.
  const CktVersion* alu = d->masterList[0]->versions[0];
  EXPECT_DOUBLE_EQ(alu->area, 2000000.0);
  EXPECT_DOUBLE_EQ(alu->width, 2000.0);
  EXPECT_DOUBLE_EQ(alu->height, 1000.0);
  EXPECT_DOUBLE_EQ(alu->delay, 1.5007);
  EXPECT_DOUBLE_EQ(alu->tco, 0.12);
  EXPECT_DOUBLE_EQ(alu->tsu, 0.08);
  EXPECT_EQ(alu->type, 1);
  EXPECT_EQ(d->masterList[1]->type, 1);
  std::vector<int> latencies;
  for (const CktMaster* m : d->masterList) latencies.push_back(m->versions[0]->latency);
  EXPECT_EQ(latencies, (std::vector<int>{1, 0, 2}));  // 1500.7, 999 and 2000 ps
  const CktVersion* lsq = d->masterList[2]->versions[0];
  EXPECT_NEAR(lsq->width * lsq->height, lsq->area, 1e-6);
  EXPECT_NEAR(lsq->width / lsq->height, 0.5, 1e-12);
  EXPECT_EQ(instanceName(d->instList[1]), "regfile");

  ASSERT_EQ(d->netList.size(), 3u);
  const CktNet* result = d->netList[0];
  EXPECT_EQ(result->name, "result");
  EXPECT_DOUBLE_EQ(result->ipcWeight, 0.0);
  ASSERT_EQ(result->pins.size(), 3u);
  EXPECT_EQ(result->pins[0]->inst, d->instList[0]);
  EXPECT_DOUBLE_EQ(result->pins[0]->outDelay, 0.12);  // driver's tco
  EXPECT_DOUBLE_EQ(result->pins[0]->inDelay, 0.0);
  EXPECT_DOUBLE_EQ(result->pins[1]->inDelay, 0.04);  // sink's tsu
  EXPECT_DOUBLE_EQ(result->pins[2]->inDelay, 0.06);
  EXPECT_DOUBLE_EQ(result->pins[2]->outDelay, 0.0);
  EXPECT_EQ(result->pins[1]->id, result->pins[0]->id + 1);  // numbered as made
  EXPECT_EQ(result->pins[2]->id, result->pins[0]->id + 2);
  // P = 1: only the driver.
  EXPECT_EQ(d->netList[1]->name, "lonely");
  ASSERT_EQ(d->netList[1]->pins.size(), 1u);
  EXPECT_EQ(d->netList[1]->pins[0]->inst, d->instList[2]);
  EXPECT_EQ(d->instList[0]->outPins.size(), 1u);
  EXPECT_EQ(d->instList[0]->inPins.size(), 1u);
  EXPECT_EQ(d->instList[0]->inPins[0]->net, d->netList[2]);
  EXPECT_TRUE(d->pathList.empty() && d->loopEnd.empty());

  // The top instance and its root master are named after the file and kept out of the lists.
  const CktMaster* root = d->topInst->master;
  EXPECT_EQ(d->topInst->index, -1);
  EXPECT_EQ(instanceName(d->topInst), desc);
  EXPECT_EQ(root->name, desc);
  EXPECT_EQ(root->index, -1);
  EXPECT_EQ(root->type, 0);
  ASSERT_EQ(root->versions.size(), 1u);
  EXPECT_EQ(root->versions[0]->area, 0.0);
  EXPECT_EQ(portCount(root), 0u);
  EXPECT_EQ(std::count(d->masterList.begin(), d->masterList.end(), root), 0);
  EXPECT_EQ(std::count(d->instList.begin(), d->instList.end(), d->topInst), 0);

  // Any "-pipe" other than "1" selects the net variant.
  ReadParam::setOption("-pipe", "0");
  d = parse(desc, cycle);
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
  expectWellFormed(*d, BI_PORT, BI_PORT);

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

  // Each connection gets its own ports.
  const CktNet* fd = d->netList[0];
  ASSERT_EQ(fd->pins.size(), 2u);
  EXPECT_EQ(fd->pins[0]->inst, d->instList[0]);
  EXPECT_EQ(fd->pins[1]->inst, d->instList[1]);
  EXPECT_EQ(d->masterList[1]->outPorts.size(), 3u);
  EXPECT_EQ(d->masterList[1]->inPorts.size(), 2u);
  EXPECT_EQ(d->instList[2]->inPins.size(), 3u);
  EXPECT_EQ(d->instList[3]->outPins.size(), 0u);

  // IPC weights: sums -0.2 -0.2 -0.3 -0.2 -0.1 -0.1 -0.1 over the minimum -0.3.
  const double expected[] = {2.0 / 3, 2.0 / 3, 1.0, 2.0 / 3, 1.0 / 3, 1.0 / 3, 1.0 / 3};
  for (size_t i = 0; i < d->netList.size(); ++i)
    EXPECT_NEAR(d->netList[i]->ipcWeight, expected[i], 1e-12) << d->netList[i]->name;

  // Base latencies follow the clock. At 1 GHz U = T = 954: the first block's
  // 1000 ps leaves 46. At 4 GHz U = T = 204: 1000 % 204 + 300 = 484 -> 3;
  // 500 % 204 = 92 -> 1; 200 -> 1; 300 % 204 = 96 -> 1; 484 + 500 -> 5.
  ReadParam::setOption("-fix_freq", "1");
  EXPECT_EQ(parse(desc, "")->pathBaseLatency, (std::vector<double>{1, 1, 1, 1, 1}));
  ReadParam::setOption("-fix_freq", "4");
  EXPECT_EQ(parse(desc, "")->pathBaseLatency, (std::vector<double>{3, 1, 1, 1, 5}));
}

TEST_F(PipeTest, EmptyAndFreeFormDescriptions) {
  const std::string dir = osvotest::scratchDir("pipe_free_form");
  osvotest::writeFile(dir + "/none.desc", "0\n");
  osvotest::writeFile(dir + "/none.cycle", "0\n");
  auto d = parse(dir + "/none.desc", dir + "/none.cycle");
  EXPECT_TRUE(d->masterList.empty() && d->netList.empty());

  // Line structure is free, and numbers take every ordinary form.
  osvotest::writeFile(dir + "/a.desc", "2 a +4e2 1.0\n 7 -0 1E1\n 2.5e-1 b 0.25 400 -3 12.5 0 0");
  osvotest::writeFile(dir + "/a.cycle", "1 2\nn a\tb");
  d = parse(dir + "/a.desc", dir + "/a.cycle");
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->area, 400e6);
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->tco, 0.01);
  EXPECT_DOUBLE_EQ(d->masterList[0]->versions[0]->tsu, 0.00025);
  EXPECT_EQ(d->netList.size(), 1u);

  usePathVariant("2.0");
  osvotest::writeFile(dir + "/none-paths.desc", "1 solo 4 1 10\n0\n");
  d = parse(dir + "/none-paths.desc", "");
  EXPECT_EQ(d->masterList.size(), 1u);
  EXPECT_TRUE(d->pathList.empty() && d->loopEnd.empty());
}

TEST_F(PipeTest, ExampleCoreAndTinyDesignParseIntoPlausibleDesigns) {
  const std::string examples = std::string(OSVO_SOURCE_DIR) + "/examples/pipeline/";
  std::vector<std::unique_ptr<FlatDesign>> designs;
  designs.push_back(parse(examples + "core-nets.desc", examples + "osvo-cycle.proc"));
  for (const char* freq : {"1.0", "2.0", "3.0"}) {
    usePathVariant(freq);
    designs.push_back(parse(examples + "core-paths.desc", ""));
  }
  for (const auto& d : designs) {
    // 20 to 40 connected blocks of 0.01 to 20 mm^2 (um^2 in the net variant),
    // aspect 0.5 to 2.
    EXPECT_GE(d->masterList.size(), 20u);
    EXPECT_LE(d->masterList.size(), 40u);
    for (const CktMaster* m : d->masterList) {
      const CktVersion* v = m->versions[0];
      const double mm2 = d->mode == 0 ? v->area / 1e6 : v->area;
      EXPECT_TRUE(mm2 >= 0.01 && mm2 <= 20.0) << m->name << " " << mm2;
      EXPECT_TRUE(v->width / v->height >= 0.5 - 1e-9 && v->width / v->height <= 2.0 + 1e-9)
          << m->name;
      const CktInstance* inst = d->instList[static_cast<size_t>(m->index)];
      EXPECT_FALSE(inst->inPins.empty() && inst->outPins.empty()) << m->name;
    }
    if (d->mode == 0) {
      for (const CktNet* n : d->netList) {
        EXPECT_GE(n->pins.size(), 2u) << n->name;
        EXPECT_TRUE(n->pins[0]->outDelay > 0.0 && n->pins[0]->outDelay < 0.2) << n->name;
      }
      continue;
    }
    ASSERT_FALSE(d->loopEnd.empty());
    EXPECT_EQ(d->loopEnd.back() + 1, static_cast<int>(d->pathList.size()));
    for (double lat : d->pathBaseLatency) EXPECT_TRUE(lat >= 1.0 && lat <= 25.0) << lat;
    double top = 0;
    for (const CktNet* n : d->netList) {
      EXPECT_TRUE(n->ipcWeight >= 0.0 && n->ipcWeight <= 1.0 + 1e-12) << n->name;
      top = std::max(top, n->ipcWeight);
    }
    EXPECT_DOUBLE_EQ(top, 1.0);
  }

  usePathVariant("2.0");
  auto tiny = parse(dataPath("pipeline/tiny-paths.desc"), "");
  EXPECT_EQ(tiny->masterList.size(), 4u);
  EXPECT_EQ(tiny->loopEnd, (std::vector<int>{1, 2}));
  EXPECT_EQ(tiny->pathList.size(), 3u);
  EXPECT_EQ(tiny->netList.size(), 7u);
}

}  // namespace
}  // namespace pipetest
