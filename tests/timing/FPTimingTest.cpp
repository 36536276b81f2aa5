// Static timing on small designs whose times can be worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "TimingTestDesign.h"
#include "timing/FPTiming.h"

using namespace timingtest;

namespace {

// chip input -1-> A (comb, 2; a second input at 0.25) -2-> S (seq, delay 3, tsu 0.5, tco 1)
//            -0.5-> B (comb, 4) -1.5-> chip output
struct Chain {
  Chain() {
    A = t.block("A", 0, 2);
    S = t.block("S", 1, 3);
    B = t.block("B", 0, 4);
    in = t.chipIn();
    aIn = TestDesign::input(A);
    aOut = TestDesign::output(A);
    sIn = TestDesign::input(S, 0.5);
    sOut = TestDesign::output(S, 1);
    bIn = TestDesign::input(B);
    bOut = TestDesign::output(B);
    out = t.chipOut();
    aIn2 = TestDesign::input(A);
    n0 = t.net("n0", in, {{aIn, 1}, {aIn2, 0.25}});
    n1 = t.net("n1", aOut, {{sIn, 2}});
    n2 = t.net("n2", sOut, {{bIn, 0.5}});
    n3 = t.net("n3", bOut, {{out, 1.5}});
  }
  TestDesign t;
  CktInstance *A, *S, *B;
  CktPin *in, *aIn, *aIn2, *aOut, *sIn, *sOut, *bIn, *bOut, *out;
  CktNet *n0, *n1, *n2, *n3;
};

double runSta(FlatDesign* d, double target, std::string* printed = nullptr) {
  TestTimingDB db(d);
  FPTiming sta;
  testing::internal::CaptureStdout();
  double cycle = sta.perform_sta(&db, target);
  std::string text = testing::internal::GetCapturedStdout();
  if (printed) *printed = text;
  return cycle;
}

}  // namespace

TEST(FPTiming, ChainOfSequentialAndCombinationalBlocks) {
  Chain c;
  std::string printed;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 0.0, &printed), 7.0);
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
    EXPECT_TRUE(e.pin->arrDone);
    EXPECT_TRUE(e.pin->reqDone);
  }
  EXPECT_DOUBLE_EQ(c.n0->ipcWeight, std::exp2(-1.5 / 7));
  EXPECT_DOUBLE_EQ(c.n1->ipcWeight, std::exp2(-1.5 / 7));
  EXPECT_DOUBLE_EQ(c.n2->ipcWeight, 1.0);  // source slack 0
  EXPECT_DOUBLE_EQ(c.n3->ipcWeight, 1.0);
}

TEST(FPTiming, GivenTargetAndNegativeSlackClampedToZero) {
  Chain c;
  std::string printed;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 10.0, &printed), 10.0);
  EXPECT_NE(printed.find("Required target cycle time set to 10\n"), std::string::npos);
  EXPECT_DOUBLE_EQ(c.out->reqTime, 10);
  EXPECT_DOUBLE_EQ(c.out->slack, 3);
  EXPECT_DOUBLE_EQ(c.sIn->reqTime, 9.5);
  EXPECT_DOUBLE_EQ(c.sIn->slack, 4.5);

  // Below the critical path: required times fall under the arrival times.
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 5.0), 5.0);
  EXPECT_DOUBLE_EQ(c.bIn->reqTime, -0.5);
  EXPECT_DOUBLE_EQ(c.sOut->reqTime, -1.0);
  for (CktPin* p : {c.in, c.aIn, c.aOut, c.sIn, c.sOut, c.bIn, c.bOut, c.out})
    EXPECT_DOUBLE_EQ(p->slack, 0.0);
  for (CktNet* n : {c.n0, c.n1, c.n2, c.n3}) EXPECT_DOUBLE_EQ(n->ipcWeight, 1.0);
}

TEST(FPTiming, CycleFromSequentialBlockDelayAndFreshOnEveryRun) {
  Chain c;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 0.0), 7.0);
  // Slower B: the second analysis must not reuse the first one's times.
  c.B->master->versions[0]->delay = 10;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 0.0), 13.0);
  EXPECT_DOUBLE_EQ(c.bOut->arrTime, 11.5);
  EXPECT_DOUBLE_EQ(c.bIn->reqTime, 1.5);
  // A sequential block's own delay bounds the cycle too.
  c.S->master->versions[0]->delay = 20;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 0.0), 20.0);
  // And so does set-up plus arrival at its input.
  c.S->master->versions[0]->delay = 0;
  c.sIn->inDelay = 30;
  EXPECT_DOUBLE_EQ(runSta(c.t.design.get(), 0.0), 35.0);
}

TEST(FPTiming, ChipInputToChipOutputWithoutSequentialBlocks) {
  TestDesign t;
  CktInstance* A = t.block("A", 0, 2);
  CktPin* in = t.chipIn();
  CktPin* aIn = TestDesign::input(A);
  CktPin* aOut = TestDesign::output(A);
  CktPin* out = t.chipOut();
  CktPin* direct = t.chipOut();
  CktPin* unconnected = t.chipOut();
  t.net("n0", in, {{aIn, 1}, {direct, 0.25}});
  t.net("n1", aOut, {{out, 1.5}});

  EXPECT_DOUBLE_EQ(runSta(t.design.get(), 0.0), 4.5);
  EXPECT_DOUBLE_EQ(direct->arrTime, 0.25);
  EXPECT_DOUBLE_EQ(unconnected->arrTime, 0.0);
  // The chip input's requirement is the tighter of its two sinks.
  EXPECT_DOUBLE_EQ(in->reqTime, 0.0);
  EXPECT_DOUBLE_EQ(direct->slack, 4.25);
  EXPECT_DOUBLE_EQ(aOut->slack, 0.0);
}

TEST(FPTiming, CombinationalBlockDrivingNothing) {
  TestDesign t;
  CktInstance* C = t.block("C", 0, 3);
  CktInstance* D = t.block("D", 0, 5);
  CktPin* in = t.chipIn();
  CktPin* cIn = TestDesign::input(C);
  CktPin* cOut = TestDesign::output(C);  // net with only its driver
  CktPin* dIn = TestDesign::input(D);
  CktPin* dOut = TestDesign::output(D);  // no net at all
  t.net("toC", in, {{cIn, 1}, {dIn, 2}});
  t.net("fromC", cOut, {});
  // A separate chip path sets the cycle.
  CktPin* in2 = t.chipIn();
  CktPin* out2 = t.chipOut();
  t.net("through", in2, {{out2, 4}});

  EXPECT_DOUBLE_EQ(runSta(t.design.get(), 0.0), 4.0);
  EXPECT_DOUBLE_EQ(cOut->reqTime, 999999.0);
  EXPECT_DOUBLE_EQ(cIn->reqTime, 999999.0 - 3);
  EXPECT_DOUBLE_EQ(dOut->reqTime, 999999.0);
  EXPECT_DOUBLE_EQ(dIn->reqTime, 999999.0 - 5);
  EXPECT_DOUBLE_EQ(in->reqTime, 999999.0 - 5 - 2);
  EXPECT_DOUBLE_EQ(in2->reqTime, 0.0);
  // No end point lies behind C, so its arrival times are never computed.
  EXPECT_FALSE(cIn->arrDone);
  EXPECT_DOUBLE_EQ(cIn->slack, 999999.0 - 3);
}

TEST(FPTiming, StartPointWithoutSinksKeepsSevenNines) {
  TestDesign t;
  CktInstance* S = t.block("S", 1, 2);
  CktPin* sOut = TestDesign::output(S, 1);
  t.net("alone", sOut, {});
  EXPECT_DOUBLE_EQ(runSta(t.design.get(), 0.0), 2.0);
  EXPECT_DOUBLE_EQ(sOut->reqTime, 9999999.0);
  // Nothing ends behind it, so its arrival time is never computed.
  EXPECT_FALSE(sOut->arrDone);
  EXPECT_DOUBLE_EQ(sOut->slack, 9999999.0);
}

// The path variant of the pipeline reader makes every port bidirectional and
// files drivers under outPins and sinks under inPins: the pin vector decides.
class PortDirections : public testing::TestWithParam<bool> {};

TEST_P(PortDirections, TwoSequentialBlocksInARing) {
  bool bidirectional = GetParam();
  PortDir inDir = bidirectional ? BI_PORT : IN_PORT;
  PortDir outDir = bidirectional ? BI_PORT : OUT_PORT;
  TestDesign t;
  CktInstance* A = t.block("A", 1, 5);
  CktInstance* B = t.block("B", 1, 3);
  CktPin* aOut = TestDesign::output(A, 0, outDir);
  CktPin* bIn = TestDesign::input(B, 0, inDir);
  CktPin* bOut = TestDesign::output(B, 0, outDir);
  CktPin* aIn = TestDesign::input(A, 0, inDir);
  CktNet* ab = t.net("A_B", aOut, {{bIn, 2}});
  CktNet* ba = t.net("B_A", bOut, {{aIn, 4}});

  EXPECT_DOUBLE_EQ(runSta(t.design.get(), 0.0), 5.0);
  EXPECT_DOUBLE_EQ(bIn->arrTime, 2);
  EXPECT_DOUBLE_EQ(aIn->arrTime, 4);
  EXPECT_DOUBLE_EQ(aOut->reqTime, 3);
  EXPECT_DOUBLE_EQ(bOut->reqTime, 1);
  EXPECT_DOUBLE_EQ(aOut->slack, 3);
  EXPECT_DOUBLE_EQ(aIn->slack, 1);
  EXPECT_DOUBLE_EQ(ab->ipcWeight, std::exp2(-3.0 / 5));
  EXPECT_DOUBLE_EQ(ba->ipcWeight, std::exp2(-1.0 / 5));
}

INSTANTIATE_TEST_SUITE_P(FPTiming, PortDirections, testing::Bool());

TEST(FPTiming, ZeroCycleGivesFiniteWeights) {
  TestDesign t;
  CktInstance* A = t.block("A", 0, 0);
  CktPin* in = t.chipIn();
  CktPin* aIn = TestDesign::input(A);
  CktPin* aOut = TestDesign::output(A);
  CktPin* out = t.chipOut();
  CktNet* n0 = t.net("n0", in, {{aIn, 0}});
  CktNet* n1 = t.net("n1", aOut, {{out, 0}});
  // A block that drives nothing leaves its source a large slack.
  CktInstance* C = t.block("C", 0, 0);
  CktNet* n2 = t.net("n2", t.chipIn(), {{TestDesign::input(C), 0}});
  EXPECT_DOUBLE_EQ(runSta(t.design.get(), 0.0), 0.0);
  EXPECT_DOUBLE_EQ(n2->ipcWeight, 0.0);
  EXPECT_DOUBLE_EQ(n0->ipcWeight, 1.0);
  EXPECT_DOUBLE_EQ(n1->ipcWeight, 1.0);
}

TEST(FPTiming, EmptyCircuit) {
  FlatDesign empty;
  std::string printed;
  EXPECT_DOUBLE_EQ(runSta(&empty, 0.0, &printed), 0.0);
  EXPECT_EQ(printed, "STA: cannot perform timing analysis on empty circuit.\n");
  EXPECT_DOUBLE_EQ(runSta(nullptr, 0.0, &printed), 0.0);
  EXPECT_EQ(printed, "STA: cannot perform timing analysis on empty circuit.\n");
}

TEST(FPTiming, SelfTestEntry) {
  TestTimingDB none(nullptr);
  FPTiming sta;
  testing::internal::CaptureStdout();
  sta.test_sta(&none);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  Chain c;
  TestTimingDB db(c.t.design.get());
  testing::internal::CaptureStdout();
  sta.test_sta(&db);
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.rfind("Testing timing analysis tool...\nEnd of data initialization...\n"
                          "Finished computing arrival times of signals..\n",
                          0),
            0u);
  // One zero appended per pin; the existing delays stay in front.
  ASSERT_EQ(c.n1->pinDelay.size(), 4u);
  EXPECT_DOUBLE_EQ(c.n1->pinDelay[1], 2);
  EXPECT_DOUBLE_EQ(c.n1->pinDelay[3], 0);
  EXPECT_DOUBLE_EQ(sta.targetCycle, 7.0);
}
