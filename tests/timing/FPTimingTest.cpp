// Static timing on hand-built designs worked out on paper, on loops, on a very
// long chain, and on the structural errors that end the program.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Capture.h"
#include "DesignBuilder.h"
#include "flat/FlatDesign.h"
#include "timing/FPTiming.h"
#include "timing/TimingDatabase.h"

using namespace CoarsePlacement;

namespace {

// A design and its timing database: a block's delay is its version 0's.
struct Design : TimingDatabase {
  osvotest::DesignBuilder b;
  CktInstance* chip = b.top();
  std::string printed;  // by the last analysis

  FlatDesign* getDesign() const override { return b.design.get(); }
  double getBlockDelay(CktInstance* inst) override { return inst->master->versions[0]->delay; }
  CktInstance* block(const std::string& name, int type, double delay) {
    CktInstance* inst = b.block(name, 1, 1);
    inst->master->type = type;  // 1: sequential
    inst->master->versions[0]->delay = delay;
    return inst;
  }
  // An input pin with its set-up time, an output pin with its clock-to-output time.
  static CktPin* in(CktInstance* i, double tsu = 0, PortDir dir = IN_PORT) {
    CktPin* p = osvotest::DesignBuilder::pin(i, dir, IN_PORT);
    p->inDelay = tsu;
    return p;
  }
  static CktPin* out(CktInstance* i, double tco = 0, PortDir dir = OUT_PORT) {
    CktPin* p = osvotest::DesignBuilder::pin(i, dir, OUT_PORT);
    p->outDelay = tco;
    return p;
  }
  CktNet* net(CktPin* driver, const std::vector<std::pair<CktPin*, double>>& sinks,
              const std::string& name = "n") {
    std::vector<CktPin*> pins;
    for (const auto& sink : sinks) pins.push_back(sink.first);
    CktNet* n = b.net(driver, pins, name);
    for (std::size_t k = 0; k < sinks.size(); ++k) n->pinDelay[k + 1] = sinks[k].second;
    return n;
  }
  double sta(double target = 0) {
    double cycle = 0;
    const osvotest::Printed p =
        osvotest::capture([&] { cycle = FPTiming().perform_sta(this, target); });
    printed = p.out;
    if (p.error) throw *p.error;
    return cycle;
  }
};

// chip input -1-> A (comb, 2) -2-> S (seq, delay 3, tsu 0.5, tco 1) -0.5-> B (comb, 4)
// -1.5-> chip output; the chip input also drives a second chip output directly
// (0.25) and C (comb, 3), which drives nothing.
struct Chain : Design {
  CktInstance *A = block("A", 0, 2), *S = block("S", 1, 3), *B = block("B", 0, 4);
  CktInstance* C = block("C", 0, 3);
  CktPin *chipIn = in(chip), *aIn = in(A), *aOut = out(A), *sIn = in(S, 0.5), *sOut = out(S, 1);
  CktPin *bIn = in(B), *bOut = out(B), *chipOut = out(chip), *direct = out(chip), *cIn = in(C);
  CktPin* cOut = out(C);
  CktNet *n0 = net(chipIn, {{aIn, 1}, {direct, 0.25}, {cIn, 0}}), *n1 = net(aOut, {{sIn, 2}});
  CktNet *n2 = net(sOut, {{bIn, 0.5}}), *n3 = net(bOut, {{chipOut, 1.5}});
};

TEST(FPTiming, ChainWorkedOutOnPaper) {
  Chain c;
  EXPECT_DOUBLE_EQ(c.sta(0.0), 7.0);
  struct Expect {
    CktPin* pin;
    double arr, req, slack;
  };
  for (const Expect& e :
       {Expect{c.chipIn, 0, 1.5, 1.5}, Expect{c.aIn, 1, 2.5, 1.5}, Expect{c.aOut, 3, 4.5, 1.5},
        Expect{c.sIn, 5, 6.5, 1.5}, Expect{c.sOut, 1, 1, 0}, Expect{c.bIn, 1.5, 1.5, 0},
        Expect{c.bOut, 5.5, 5.5, 0}, Expect{c.chipOut, 7, 7, 0}, Expect{c.direct, 0.25, 7, 6.75},
        // No end point lies behind C: its input's arrival is never computed.
        Expect{c.cIn, 0, 999999.0 - 3, 999999.0 - 3}, Expect{c.cOut, 0, 999999.0, 999999.0}}) {
    EXPECT_DOUBLE_EQ(e.pin->arrTime, e.arr) << e.req;
    EXPECT_DOUBLE_EQ(e.pin->reqTime, e.req) << e.req;
    EXPECT_DOUBLE_EQ(e.pin->slack, e.slack) << e.req;
  }
  EXPECT_DOUBLE_EQ(c.n2->ipcWeight, 1.0);  // source slack 0

  // A target below the critical path: slack clamped to 0.
  EXPECT_DOUBLE_EQ(c.sta(5.0), 5.0);
  EXPECT_DOUBLE_EQ(c.bIn->reqTime, -0.5);
  for (CktPin* p : {c.chipIn, c.aIn, c.sIn, c.bIn}) EXPECT_DOUBLE_EQ(p->slack, 0.0);
  c.B->master->versions[0]->delay = 10;
  EXPECT_DOUBLE_EQ(c.sta(), 13.0);
}

TEST(FPTiming, BidirectionalRingZeroCycleAndEmptyCircuit) {
  // The path variant files bidirectional drivers under outPins, sinks under inPins.
  Design ring;
  CktInstance *A = ring.block("A", 1, 5), *B = ring.block("B", 1, 3);
  CktPin *aOut = Design::out(A, 0, BI_PORT), *aIn = Design::in(A, 2, BI_PORT);
  ring.net(aOut, {{Design::in(B, 0, BI_PORT), 2}});
  ring.net(Design::out(B, 0, BI_PORT), {{aIn, 4}});
  EXPECT_DOUBLE_EQ(ring.sta(), 6.0);
  EXPECT_DOUBLE_EQ(aIn->arrTime, 4);
  EXPECT_DOUBLE_EQ(aOut->reqTime, 4);

  // A cycle of 0 gives finite weights, not 0/0.
  Design zero;
  CktNet* direct = zero.net(Design::in(zero.chip), {{Design::out(zero.chip), 0}});
  CktNet* idle = zero.net(Design::in(zero.chip), {{Design::in(zero.block("C", 0, 0)), 0}});
  EXPECT_DOUBLE_EQ(zero.sta(), 0.0);
  EXPECT_DOUBLE_EQ(direct->ipcWeight, 1.0);
  EXPECT_DOUBLE_EQ(idle->ipcWeight, 0.0);

  for (FlatDesign* empty : {new FlatDesign, static_cast<FlatDesign*>(nullptr)}) {
    zero.b.design.reset(empty);
    EXPECT_DOUBLE_EQ(zero.sta(), 0.0);
    EXPECT_EQ(zero.printed, "STA: cannot perform timing analysis on empty circuit.\n");
  }
}

TEST(FPTiming, VeryLongChainOfDoubleConnections) {
  // Each block takes the previous output on two inputs: 2^200000 paths, for a
  // memoised walk whose depth does not depend on the call stack.
  constexpr int kBlocks = 200000;
  Design t;
  CktPin *first = Design::in(t.chip), *driver = first;
  for (int i = 0; i < kBlocks; ++i) {
    CktInstance* b = t.block("b", 0, 1.0);
    t.net(driver, {{Design::in(b), 0}, {Design::in(b), 0.5}});
    driver = Design::out(b);
  }
  t.net(driver, {{Design::out(t.chip), 0.5}});
  EXPECT_DOUBLE_EQ(t.sta(), kBlocks * 1.5 + 0.5);
  EXPECT_DOUBLE_EQ(first->reqTime, 0.0);
}

TEST(FPTimingDeathTest, LoopsAndStructuralErrorsEndTheRunWithTheirMessages) {
  // blkA and blkB feed each other; observed at a chip output or not.
  Design loops[2];
  for (int observed : {0, 1}) {
    Design& t = loops[observed];
    CktInstance *A = t.block("blkA", 0, 1), *B = t.block("blkB", 0, 1);
    t.net(Design::in(t.chip), {{Design::in(A), 0}});
    std::vector<std::pair<CktPin*, double>> sinks{{Design::in(B), 0}};
    if (observed) sinks.push_back({Design::out(t.chip), 0});
    t.net(Design::out(A), sinks, "a2b");
    t.net(Design::out(B), {{Design::in(A), 0}}, "b2a");
  }
  Design orphan, stray, unconnected, bi;
  orphan.net(Design::out(orphan.block("A", 0, 1)), {{Design::out(orphan.chip), 0}}, "orphan")
      ->source = nullptr;
  Design::out(stray.chip)->net = stray.net(Design::in(stray.chip), {{Design::out(stray.chip), 0}});
  Design::in(unconnected.chip);
  // A bidirectional pin filed under biPins is neither a driver nor a sink.
  CktInstance* A = bi.block("A", 0, 1);
  bi.net(Design::in(bi.chip), {{osvotest::DesignBuilder::pin(A, BI_PORT), 0}});
  struct Case {
    std::function<void()> step;
    const char* message;
    osvo::Stream stream = osvo::Stream::Err;
  };
  const Case cases[] = {
      {[&] { FPTiming().perform_sta(&loops[1], 0.0); },
       "^Error: Timing loop through a pin of instance \\(blkA\\) on net \\(a2b\\)\\.\n$"},
      {[&] { FPTiming().perform_sta(&loops[0], 0.0); },
       "Error: Timing loop through a pin of instance \\(blk[AB]\\) on net \\((a2b|b2a)\\)"},
      {[&] { FPTiming().perform_sta(&orphan, 0.0); },
       "^Error: Net \\(orphan\\) does not have source\\. \n$"},
      {[&] { FPTiming().perform_sta(&stray, 0.0); },
       "^Error: cp not found in the connected net\\.\n$"},
      {[&] { FPTiming().perform_sta(&unconnected, 0.0); },
       "^Error: INPUT pin does not have any connected net\\.\n$"},
      {[&] { FPTiming().perform_sta(&bi, 0.0); },
       "^Error: This case should not happen at all\\.\n$"},
      {[&] { FPTiming().initialize_sta(&unconnected); }, "^Error: root cannot be NULL here\\.\n$",
       osvo::Stream::Out},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(osvotest::throwsError(c.step, c.message, osvo::kExitBadInput, c.stream));
  bi.net(osvotest::DesignBuilder::pin(A, BI_PORT), {{Design::out(bi.chip), 0}});
  EXPECT_DEATH(FPTiming().perform_sta(&bi, 0.0),
               "Error: This case should not happen here\\..*Assertion `kind != Kind::Unknown'");
}

}  // namespace
