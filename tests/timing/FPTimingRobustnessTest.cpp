// Static timing on faulty and large designs: loops, very long chains,
// memoisation and the structural errors that end the program.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "TimingTestDesign.h"
#include "timing/FPTiming.h"

using namespace timingtest;

namespace {

// "b" and 7 give "b7".
std::string numbered(const char* prefix, int n) {
  std::string name(prefix);
  name += std::to_string(n);
  return name;
}

double quietSta(TimingDatabase* db, FPTiming& sta, double target = 0.0) {
  testing::internal::CaptureStdout();
  double cycle = sta.perform_sta(db, target);
  testing::internal::GetCapturedStdout();
  return cycle;
}

// Two combinational blocks feeding each other; blkA's output also drives the
// chip output when `observed`.
struct Ring {
  explicit Ring(bool observed) {
    CktInstance* A = t.block("blkA", 0, 1);
    CktInstance* B = t.block("blkB", 0, 1);
    CktPin* in = t.chipIn();
    CktPin* aIn0 = TestDesign::input(A);
    CktPin* aIn1 = TestDesign::input(A);
    CktPin* aOut = TestDesign::output(A);
    CktPin* bIn = TestDesign::input(B);
    CktPin* bOut = TestDesign::output(B);
    t.net("feed", in, {{aIn0, 0}});
    if (observed)
      t.net("a2b", aOut, {{bIn, 0}, {t.chipOut(), 0}});
    else
      t.net("a2b", aOut, {{bIn, 0}});
    t.net("b2a", bOut, {{aIn1, 0}});
  }
  TestDesign t;
};

}  // namespace

TEST(FPTimingDeath, LoopFoundByArrivalPass) {
  Ring r(true);
  TestTimingDB db(r.t.design.get());
  FPTiming sta;
  EXPECT_EXIT(sta.perform_sta(&db, 0.0), testing::ExitedWithCode(1),
              "Error: Timing loop through a pin of instance \\(blkA\\) on net \\(a2b\\)\\.");
}

TEST(FPTimingDeath, LoopFoundByRequiredPass) {
  Ring r(false);
  TestTimingDB db(r.t.design.get());
  FPTiming sta;
  EXPECT_EXIT(sta.perform_sta(&db, 0.0), testing::ExitedWithCode(1),
              "Error: Timing loop through a pin of instance \\(blk[AB]\\) on net \\((a2b|b2a)\\)");
}

TEST(FPTimingDeath, StructuralErrorsEndWithTheirMessages) {
  {
    TestDesign t;
    CktInstance* A = t.block("A", 0, 1);
    CktPin* aOut = TestDesign::output(A);
    CktNet* n = t.net("orphan", aOut, {{t.chipOut(), 0}});
    n->source = nullptr;
    TestTimingDB db(t.design.get());
    FPTiming sta;
    EXPECT_EXIT(sta.perform_sta(&db, 0.0), testing::ExitedWithCode(0),
                "Error: Net \\(orphan\\) does not have source\\. ");
  }
  {
    TestDesign t;
    CktPin* in = t.chipIn();
    CktPin* out = t.chipOut();
    CktNet* n = t.net("n", in, {{t.chipOut(), 0}});
    out->net = n;  // claims the net but is not on it
    TestTimingDB db(t.design.get());
    FPTiming sta;
    EXPECT_EXIT(sta.perform_sta(&db, 0.0), testing::ExitedWithCode(0),
                "Error: cp not found in the connected net\\.");
  }
  {
    TestDesign t;
    t.chipIn();  // connected to nothing
    TestTimingDB db(t.design.get());
    FPTiming sta;
    EXPECT_EXIT(sta.perform_sta(&db, 0.0), testing::ExitedWithCode(0),
                "Error: INPUT pin does not have any connected net\\.");
  }
  {
    TestDesign t;
    TestTimingDB db(t.design.get());
    FPTiming sta;  // root never set
    auto toStderr = [](auto step) {
      std::cout.rdbuf(std::cerr.rdbuf());
      step();
    };
    EXPECT_EXIT(toStderr([&] { sta.initialize_sta(&db); }), testing::ExitedWithCode(0),
                "Error: root cannot be NULL here\\.");
    EXPECT_EXIT(toStderr([&] { sta.compute_slacks(&db); }), testing::ExitedWithCode(0),
                "Error: root cannot be NULL here\\.");
  }
}

TEST(FPTimingDeath, PinOfNoDirection) {
  // A bidirectional pin filed under biPins is neither a driver nor a sink.
  TestDesign t;
  CktInstance* A = t.block("A", 0, 1);
  CktPin* bi = TestDesign::pin(A, TestDesign::port(A->master, BI_PORT), Side::Bi);
  CktPin* in = t.chipIn();
  CktPin* out = t.chipOut();
  t.net("n", bi, {{out, 0}});
  TestTimingDB db(t.design.get());
  FPTiming sta;
  EXPECT_DEATH(sta.perform_sta(&db, 0.0),
               "Error: This case should not happen here\\..*Assertion `kind != Kind::Unknown'");

  t.net("m", in, {{TestDesign::pin(A, TestDesign::port(A->master, BI_PORT), Side::Bi), 0}});
  sta.root = t.design->topInst;
  EXPECT_EXIT(sta.find_pin_req_time(&db, in), testing::ExitedWithCode(0),
              "Error: This case should not happen at all\\.");
}

TEST(FPTiming, VeryLongChainDoesNotExhaustTheStack) {
  constexpr int kBlocks = 200000;
  TestDesign t;
  CktMaster* m = t.master("buf", 0, 1.0);
  CktPort* pi = TestDesign::port(m, IN_PORT);
  CktPort* po = TestDesign::port(m, OUT_PORT);
  CktPin* first = t.chipIn();
  CktPin* driver = first;
  for (int i = 0; i < kBlocks; ++i) {
    CktInstance* inst = t.instance(m, numbered("b", i));
    CktPin* in = TestDesign::pin(inst, pi, Side::In);
    t.net(numbered("n", i), driver, {{in, 0.5}});
    driver = TestDesign::pin(inst, po, Side::Out);
  }
  CktPin* last = t.chipOut();
  t.net("last", driver, {{last, 0.5}});

  TestTimingDB db(t.design.get());
  FPTiming sta;
  double expected = kBlocks * 1.0 + (kBlocks + 1) * 0.5;
  EXPECT_DOUBLE_EQ(quietSta(&db, sta), expected);
  EXPECT_DOUBLE_EQ(last->arrTime, expected);
  EXPECT_DOUBLE_EQ(first->reqTime, 0.0);
  EXPECT_DOUBLE_EQ(t.design->instList[kBlocks / 2]->outPins[0]->slack, 0.0);
  EXPECT_EQ(db.totalCalls, 2L * kBlocks);  // one output and one input per block
}

namespace {

// A ladder of `stages` pairs of combinational blocks L (delay 1) and R (delay
// 2), each feeding both blocks of the next stage: 2^stages paths, which only a
// memoised analysis can walk.
struct Ladder {
  explicit Ladder(int stages) {
    CktPin* in = t.chipIn();
    std::vector<std::pair<CktPin*, double>> toL, toR;
    for (int s = 0; s < stages; ++s) {
      CktInstance* L = t.block(numbered("L", s), 0, 1);
      CktInstance* R = t.block(numbered("R", s), 0, 2);
      std::vector<std::pair<CktPin*, double>> fromL, fromR;
      for (CktInstance* b : {L, R}) {
        fromL.push_back({TestDesign::input(b), 0});
        fromR.push_back({TestDesign::input(b), 0});
      }
      if (s == 0) {
        std::vector<std::pair<CktPin*, double>> all(fromL);
        all.insert(all.end(), fromR.begin(), fromR.end());
        t.net("in", in, all);
      } else {
        t.net(numbered("l", s), lOut, fromL);
        t.net(numbered("r", s), rOut, fromR);
      }
      lOut = TestDesign::output(L);
      rOut = TestDesign::output(R);
    }
    t.net("lastL", lOut, {{t.chipOut(), 0}});
    t.net("lastR", rOut, {{t.chipOut(), 0}});
  }
  TestDesign t;
  CktPin* lOut = nullptr;
  CktPin* rOut = nullptr;
};

}  // namespace

TEST(FPTiming, MemoisationComputesEveryPinOnce) {
  constexpr int kStages = 60;
  Ladder l(kStages);
  TestTimingDB db(l.t.design.get());
  FPTiming sta;
  EXPECT_DOUBLE_EQ(quietSta(&db, sta), 2.0 * kStages);
  // Each block's delay is read once for its output and once per input.
  EXPECT_EQ(db.totalCalls, 6L * kStages);
  for (const auto& [inst, n] : db.calls) EXPECT_EQ(n, 3) << instanceName(inst);
  EXPECT_DOUBLE_EQ(l.lOut->slack, 1.0);
  EXPECT_DOUBLE_EQ(l.rOut->slack, 0.0);
}

TEST(FPTiming, ResultsDoNotDependOnWhereTheWalkStarts) {
  Ladder l(12);
  FlatDesign* d = l.t.design.get();
  TestTimingDB db(d);
  FPTiming sta;
  double cycle = quietSta(&db, sta);
  std::vector<CktPin*> pins;
  for (CktInstance* inst : d->instList) {
    pins.insert(pins.end(), inst->inPins.begin(), inst->inPins.end());
    pins.insert(pins.end(), inst->outPins.begin(), inst->outPins.end());
  }
  std::vector<std::pair<double, double>> reference;
  for (CktPin* p : pins) reference.push_back({p->arrTime, p->reqTime});

  FPTiming again;
  again.root = d->topInst;
  again.targetCycle = cycle;
  for (CktPin* p : pins) p->arrTime = p->reqTime = -7;
  again.initialize_sta(&db);
  // Start in the middle of the ladder, then run the ordinary passes.
  CktPin* middle = d->instList[11]->outPins[0];
  again.find_pin_arr_time(&db, middle);
  again.find_pin_req_time(&db, d->instList[5]->inPins[1]);
  again.compute_arr_time(&db);
  again.compute_req_time(&db);
  for (std::size_t i = 0; i < pins.size(); ++i) {
    EXPECT_DOUBLE_EQ(pins[i]->arrTime, reference[i].first) << i;
    EXPECT_DOUBLE_EQ(pins[i]->reqTime, reference[i].second) << i;
  }
}
