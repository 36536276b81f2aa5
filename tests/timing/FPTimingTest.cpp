// Static timing on hand-built designs whose times can be worked out by hand,
// on loops, on a very long and wide design, and on the structural errors that
// end the program.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flat/FlatDesign.h"
#include "timing/FPTiming.h"
#include "timing/TimingDatabase.h"

using namespace CoarsePlacement;

namespace {

// A design under construction and its timing database: every block has its own
// master with one version, every net a wire delay per sink. Block delays are version 0's, and the
// requests for them are counted.
struct Design : TimingDatabase {
  std::unique_ptr<FlatDesign> d = std::make_unique<FlatDesign>();
  CktInstance* chip = d->topInst = block("chip", 0, 0, false);
  long delayCalls = 0;

  FlatDesign* getDesign() const override { return d.get(); }
  double getBlockDelay(CktInstance* inst) override {
    ++delayCalls;
    return inst->master->versions[0]->delay;
  }
  CktInstance* block(const std::string& name, int type, double delay, bool listed = true) {
    auto* inst = new CktInstance;
    inst->master = new CktMaster;
    inst->master->name = name;
    inst->master->type = type;  // 1: sequential
    inst->master->versions.push_back(new CktVersion(inst->master, 0, 1, 1, 1));
    inst->master->versions[0]->delay = delay;
    inst->setExtData("name", new inst_name(name));
    if (listed) {
      inst->index = inst->master->index = static_cast<int>(d->instList.size());
      d->masterList.push_back(inst->master);
      d->instList.push_back(inst);
    }
    return inst;
  }
  // A pin filed under `list`; `delay` goes to its inDelay or outDelay.
  static CktPin* pin(CktInstance* inst, PortDir dir, std::vector<CktPin*>& list,
                     double CktPin::*field = &CktPin::inDelay, double delay = 0) {
    static CktPort ports[3];  // one per direction, shared by every pin
    ports[dir].dir = dir;
    auto* p = new CktPin(&ports[dir], inst);
    p->initId();
    p->*field = delay;
    list.push_back(p);
    return p;
  }
  static CktPin* input(CktInstance* i, double tsu = 0, PortDir dir = IN_PORT) {
    return pin(i, dir, i->inPins, &CktPin::inDelay, tsu);
  }
  static CktPin* output(CktInstance* i, double tco = 0, PortDir dir = OUT_PORT) {
    return pin(i, dir, i->outPins, &CktPin::outDelay, tco);
  }
  CktPin* chipIn() { return input(chip); }
  CktPin* chipOut() { return output(chip); }
  CktNet* net(const std::string& name, CktPin* driver,
              const std::vector<std::pair<CktPin*, double>>& sinks) {
    auto* n = new CktNet;
    n->name = name;
    n->index = static_cast<int>(d->netList.size());
    n->source = driver;
    n->pins = {driver};
    n->pinDelay = {0};
    driver->net = n;
    for (const auto& [p, delay] : sinks) {
      n->pins.push_back(p);
      n->pinDelay.push_back(delay);
      p->net = n;
    }
    d->netList.push_back(n);
    return n;
  }
  double sta(double target = 0, std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    const double cycle = FPTiming().perform_sta(this, target);
    const std::string text = testing::internal::GetCapturedStdout();
    if (printed) *printed = text;
    return cycle;
  }
};

// chip input -1-> A (comb, 2; a second input at 0.25) -2-> S (seq, delay 3, tsu 0.5, tco 1)
//            -0.5-> B (comb, 4) -1.5-> chip output
struct Chain : Design {
  CktInstance *A = block("A", 0, 2), *S = block("S", 1, 3), *B = block("B", 0, 4);
  CktPin *in = chipIn(), *aIn = input(A), *aIn2 = input(A), *aOut = output(A);
  CktPin *sIn = input(S, 0.5), *sOut = output(S, 1), *bIn = input(B), *bOut = output(B);
  CktPin* out = chipOut();
  CktNet *n0 = net("n0", in, {{aIn, 1}, {aIn2, 0.25}}), *n1 = net("n1", aOut, {{sIn, 2}});
  CktNet *n2 = net("n2", sOut, {{bIn, 0.5}}), *n3 = net("n3", bOut, {{out, 1.5}});
};

TEST(FPTiming, ChainOfSequentialAndCombinationalBlocks) {
  Chain c;
  std::string printed;
  EXPECT_DOUBLE_EQ(c.sta(0.0, &printed), 7.0);
  EXPECT_EQ(printed,
            "Finished computing arrival times of signals..\n"
            "Required target cycle time set to 7\n"
            "Finished computing required times...\n"
            "Finished static timing analysis..\n");
  struct Expect {
    CktPin* pin;
    double arr, req, slack;
  };
  for (const Expect& e :
       {Expect{c.in, 0, 1.5, 1.5}, Expect{c.aIn, 1, 2.5, 1.5}, Expect{c.aIn2, 0.25, 2.5, 2.25},
        Expect{c.aOut, 3, 4.5, 1.5}, Expect{c.sIn, 5, 6.5, 1.5}, Expect{c.sOut, 1, 1, 0},
        Expect{c.bIn, 1.5, 1.5, 0}, Expect{c.bOut, 5.5, 5.5, 0}, Expect{c.out, 7, 7, 0}}) {
    SCOPED_TRACE(e.arr);
    EXPECT_DOUBLE_EQ(e.pin->arrTime, e.arr);
    EXPECT_DOUBLE_EQ(e.pin->reqTime, e.req);
    EXPECT_DOUBLE_EQ(e.pin->slack, e.slack);
    EXPECT_TRUE(e.pin->arrDone && e.pin->reqDone);
  }
  EXPECT_DOUBLE_EQ(c.n0->ipcWeight, std::exp2(-1.5 / 7));
  EXPECT_DOUBLE_EQ(c.n1->ipcWeight, std::exp2(-1.5 / 7));
  EXPECT_DOUBLE_EQ(c.n2->ipcWeight, 1.0);  // source slack 0
  EXPECT_DOUBLE_EQ(c.n3->ipcWeight, 1.0);
}

TEST(FPTiming, GivenTargetsClampedSlacksAndFreshReruns) {
  Chain c;
  EXPECT_DOUBLE_EQ(c.sta(10.0), 10.0);
  EXPECT_DOUBLE_EQ(c.sIn->slack, 4.5);  // required 10 - 0.5, arrival 5
  // Below the critical path: required times fall under the arrival times.
  EXPECT_DOUBLE_EQ(c.sta(5.0), 5.0);
  EXPECT_DOUBLE_EQ(c.bIn->reqTime, -0.5);
  for (CktPin* p : {c.in, c.aIn, c.aOut, c.sIn, c.sOut, c.bIn, c.bOut, c.out})
    EXPECT_DOUBLE_EQ(p->slack, 0.0);
  for (CktNet* n : {c.n0, c.n1, c.n2, c.n3}) EXPECT_DOUBLE_EQ(n->ipcWeight, 1.0);

  // A slower B: the next analysis must not reuse the earlier times.
  c.B->master->versions[0]->delay = 10;
  EXPECT_DOUBLE_EQ(c.sta(), 13.0);
  EXPECT_DOUBLE_EQ(c.bIn->reqTime, 1.5);
  // A sequential block's own delay bounds the cycle, and so does set-up plus arrival.
  c.S->master->versions[0]->delay = 20;
  EXPECT_DOUBLE_EQ(c.sta(), 20.0);
  c.S->master->versions[0]->delay = 0;
  c.sIn->inDelay = 30;
  EXPECT_DOUBLE_EQ(c.sta(), 35.0);
}

TEST(FPTiming, CombinationalDesignAndPinsBehindNoEndPoint) {
  Design t;
  CktInstance *A = t.block("A", 0, 2), *C = t.block("C", 0, 3), *D = t.block("D", 0, 5);
  CktPin *in = t.chipIn(), *direct = t.chipOut(), *unconnected = t.chipOut();
  t.net("n0", in, {{Design::input(A), 1}, {direct, 0.25}});
  t.net("n1", Design::output(A), {{t.chipOut(), 1.5}});
  // C's output drives a net of only itself, D's output no net at all, and a
  // second chip input nothing but its own net.
  CktPin *in2 = t.chipIn(), *cIn = Design::input(C), *cOut = Design::output(C);
  CktPin *dIn = Design::input(D), *dOut = Design::output(D), *lonely = t.chipIn();
  t.net("toCD", in2, {{cIn, 1}, {dIn, 2}});
  t.net("fromC", cOut, {});
  t.net("lonely", lonely, {});

  EXPECT_DOUBLE_EQ(t.sta(), 4.5);  // from the chip outputs alone
  EXPECT_DOUBLE_EQ(direct->arrTime, 0.25);
  EXPECT_DOUBLE_EQ(unconnected->arrTime, 0.0);
  EXPECT_DOUBLE_EQ(in->reqTime, 0.0);  // the tighter of its two sinks
  EXPECT_DOUBLE_EQ(direct->slack, 4.25);
  EXPECT_DOUBLE_EQ(cOut->reqTime, 999999.0);
  EXPECT_DOUBLE_EQ(cIn->reqTime, 999999.0 - 3);
  EXPECT_DOUBLE_EQ(dOut->reqTime, 999999.0);
  EXPECT_DOUBLE_EQ(dIn->reqTime, 999999.0 - 5);
  EXPECT_DOUBLE_EQ(in2->reqTime, 999999.0 - 5 - 2);
  EXPECT_DOUBLE_EQ(lonely->reqTime, 9999999.0);  // a start point starts from seven nines
  // No end point lies behind them, so their arrival times are never computed.
  EXPECT_FALSE(cIn->arrDone || lonely->arrDone);
  EXPECT_DOUBLE_EQ(cIn->slack, 999999.0 - 3);
  EXPECT_DOUBLE_EQ(lonely->slack, 9999999.0);
}

TEST(FPTiming, SequentialRingWithDirectedOrBidirectionalPorts) {
  // The path variant of the pipeline reader makes every port bidirectional and
  // files drivers under outPins and sinks under inPins: the pin vector decides.
  for (bool bidirectional : {false, true}) {
    const PortDir inDir = bidirectional ? BI_PORT : IN_PORT;
    const PortDir outDir = bidirectional ? BI_PORT : OUT_PORT;
    Design t;
    CktInstance *A = t.block("A", 1, 5), *B = t.block("B", 1, 3);
    CktPin *aOut = Design::output(A, 0, outDir), *bIn = Design::input(B, 0, inDir);
    CktPin *bOut = Design::output(B, 0, outDir), *aIn = Design::input(A, 0, inDir);
    CktNet *ab = t.net("A_B", aOut, {{bIn, 2}}), *ba = t.net("B_A", bOut, {{aIn, 4}});
    EXPECT_DOUBLE_EQ(t.sta(), 5.0) << bidirectional;
    EXPECT_DOUBLE_EQ(bIn->arrTime, 2);
    EXPECT_DOUBLE_EQ(aIn->arrTime, 4);
    EXPECT_DOUBLE_EQ(aOut->reqTime, 3);
    EXPECT_DOUBLE_EQ(bOut->reqTime, 1);
    EXPECT_DOUBLE_EQ(aIn->slack, 1);
    EXPECT_DOUBLE_EQ(ab->ipcWeight, std::exp2(-3.0 / 5));
    EXPECT_DOUBLE_EQ(ba->ipcWeight, std::exp2(-1.0 / 5));
  }
}

TEST(FPTiming, ZeroCycleGivesFiniteWeights) {
  Design t;
  CktInstance *A = t.block("A", 0, 0), *C = t.block("C", 0, 0);
  CktNet* n0 = t.net("n0", t.chipIn(), {{Design::input(A), 0}});
  CktNet* n1 = t.net("n1", Design::output(A), {{t.chipOut(), 0}});
  CktNet* n2 = t.net("n2", t.chipIn(), {{Design::input(C), 0}});  // C drives nothing
  EXPECT_DOUBLE_EQ(t.sta(), 0.0);
  EXPECT_DOUBLE_EQ(n0->ipcWeight, 1.0);
  EXPECT_DOUBLE_EQ(n1->ipcWeight, 1.0);
  EXPECT_DOUBLE_EQ(n2->ipcWeight, 0.0);
}

TEST(FPTiming, EmptyCircuitAndSelfTestEntry) {
  Design t;
  for (FlatDesign* empty : {new FlatDesign, static_cast<FlatDesign*>(nullptr)}) {
    t.d.reset(empty);
    std::string printed;
    EXPECT_DOUBLE_EQ(t.sta(0.0, &printed), 0.0);
    EXPECT_EQ(printed, "STA: cannot perform timing analysis on empty circuit.\n");
  }
  FPTiming sta;
  testing::internal::CaptureStdout();
  sta.test_sta(&t);  // no design: nothing to do
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  Chain c;
  testing::internal::CaptureStdout();
  sta.test_sta(&c);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind(
                "Testing timing analysis tool...\nEnd of data initialization...\n", 0),
            0u);
  // One zero appended per pin; the existing delays stay in front.
  EXPECT_EQ(c.n1->pinDelay, (std::vector<double>{0, 2, 0, 0}));
  EXPECT_DOUBLE_EQ(sta.targetCycle, 7.0);
}

TEST(FPTimingDeath, LoopsAreFoundByBothPasses) {
  // blkA and blkB (combinational) feed each other; when blkA's output also
  // drives the chip output the arrival pass meets the loop, else the required pass.
  for (bool observed : {true, false}) {
    Design t;
    CktInstance *A = t.block("blkA", 0, 1), *B = t.block("blkB", 0, 1);
    t.net("feed", t.chipIn(), {{Design::input(A), 0}});
    std::vector<std::pair<CktPin*, double>> sinks{{Design::input(B), 0}};
    if (observed) sinks.push_back({t.chipOut(), 0});
    t.net("a2b", Design::output(A), sinks);
    t.net("b2a", Design::output(B), {{Design::input(A), 0}});
    EXPECT_EXIT(FPTiming().perform_sta(&t, 0.0), testing::ExitedWithCode(1),
                observed ? "Error: Timing loop through a pin of instance \\(blkA\\) on net "
                           "\\(a2b\\)\\."
                         : "Error: Timing loop through a pin of instance \\(blk[AB]\\) on net "
                           "\\((a2b|b2a)\\)");
  }
}

TEST(FPTimingDeath, StructuralErrorsEndWithTheirMessages) {
  Design orphan;
  orphan.net("orphan", Design::output(orphan.block("A", 0, 1)), {{orphan.chipOut(), 0}})->source =
      nullptr;
  EXPECT_EXIT(FPTiming().perform_sta(&orphan, 0.0), testing::ExitedWithCode(0),
              "Error: Net \\(orphan\\) does not have source\\. ");

  Design stray;
  CktPin* out = stray.chipOut();
  out->net = stray.net("n", stray.chipIn(), {{stray.chipOut(), 0}});  // not on the net
  EXPECT_EXIT(FPTiming().perform_sta(&stray, 0.0), testing::ExitedWithCode(0),
              "Error: cp not found in the connected net\\.");

  Design unconnected;
  unconnected.chipIn();
  EXPECT_EXIT(FPTiming().perform_sta(&unconnected, 0.0), testing::ExitedWithCode(0),
              "Error: INPUT pin does not have any connected net\\.");

  FPTiming noRoot;  // these two print on standard output: send it to standard error
  auto toStderr = [](auto step) {
    std::cout.rdbuf(std::cerr.rdbuf());
    step();
  };
  EXPECT_EXIT(toStderr([&] { noRoot.initialize_sta(&unconnected); }), testing::ExitedWithCode(0),
              "Error: root cannot be NULL here\\.");
  EXPECT_EXIT(toStderr([&] { noRoot.compute_slacks(&unconnected); }), testing::ExitedWithCode(0),
              "Error: root cannot be NULL here\\.");

  // A bidirectional pin filed under biPins is neither a driver nor a sink.
  Design t;
  CktInstance* A = t.block("A", 0, 1);
  CktPin* in = t.chipIn();
  t.net("n", Design::pin(A, BI_PORT, A->biPins), {{t.chipOut(), 0}});
  EXPECT_DEATH(FPTiming().perform_sta(&t, 0.0),
               "Error: This case should not happen here\\..*Assertion `kind != Kind::Unknown'");
  t.net("m", in, {{Design::pin(A, BI_PORT, A->biPins), 0}});
  FPTiming sta;
  sta.root = t.chip;
  EXPECT_EXIT(sta.find_pin_req_time(&t, in), testing::ExitedWithCode(0),
              "Error: This case should not happen at all\\.");
}

TEST(FPTiming, VeryLongChainOfDoubleConnections) {
  // Every block takes the previous output on two inputs (wire delays 0 and
  // 0.5): 2^200000 paths, which only a memoised walk whose depth does not
  // depend on the call stack can analyse.
  constexpr int kBlocks = 200000;
  Design t;
  CktPin *first = t.chipIn(), *driver = first;
  for (int i = 0; i < kBlocks; ++i) {
    CktInstance* inst = t.block("b", 0, 1.0);
    t.net("n", driver, {{Design::input(inst), 0}, {Design::input(inst), 0.5}});
    driver = Design::output(inst);
  }
  CktPin* last = t.chipOut();
  t.net("last", driver, {{last, 0.5}});
  const double expected = kBlocks * 1.5 + 0.5;
  EXPECT_DOUBLE_EQ(t.sta(), expected);
  EXPECT_DOUBLE_EQ(last->arrTime, expected);
  EXPECT_DOUBLE_EQ(first->reqTime, 0.0);
  const CktInstance* middle = t.d->instList[kBlocks / 2];
  EXPECT_DOUBLE_EQ(middle->inPins[0]->slack, 0.5);
  EXPECT_DOUBLE_EQ(middle->inPins[1]->slack, 0.0);
  // Each block's delay is read once for its output and once per input.
  EXPECT_EQ(t.delayCalls, 3L * kBlocks);
}

}  // namespace
