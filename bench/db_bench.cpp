// Cost of DB::evalHPWL, which the annealer calls on every move: the pipeline
// model on the bundled example core (path variant) and the wire-length cost of
// a synthetic Verilog-style design of 100 blocks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "QuietStdout.h"
#include "floorplan/DB.h"
#include "pipeline/PipeParser.h"

using namespace CoarsePlacement;

namespace {

// Places the blocks row by row in a square-ish band, so that wires have length.
void placeInRows(FlatDesign* d) {
  double total = 0;
  for (CktInstance* inst : d->instList)
    total += inst->master->versions[0]->width * inst->master->versions[0]->height;
  double rowWidth = std::sqrt(total) * 1.2;
  double x = 0, y = 0, rowHeight = 0;
  for (CktInstance* inst : d->instList) {
    CktVersion* v = inst->master->versions[0];
    if (x > 0 && x + v->width > rowWidth) {
      x = 0;
      y += rowHeight;
      rowHeight = 0;
    }
    inst->loc = TwoDLoc(x, y);
    x += v->width;
    rowHeight = std::max(rowHeight, v->height);
  }
}

struct PipelineCase {
  std::unique_ptr<FlatDesign> design;
  std::unique_ptr<DB> db;
};

PipelineCase& pipelineCase() {
  static PipelineCase c = [] {
    PipelineCase pc;
    QuietStdout quiet;
    std::string dir = OSVO_SOURCE_DIR;
    dir.append("/examples/pipeline/");
    pc.design =
        pipeParser(dir + "core-paths.desc", dir + "osvo-cycle.proc", PipeOptions{true, 2.0});
    placeInRows(pc.design.get());
    pc.db = std::make_unique<DB>(pc.design.get(), 20, true, 0, 2.0, 1.0);
    pc.db->assignPins();
    return pc;
  }();
  return c;
}

// 100 blocks, 150 nets of 2 to 5 pins, and 10 nets from chip pins.
struct SyntheticCase {
  std::unique_ptr<FlatDesign> design;
  std::unique_ptr<DB> db;
};

std::string numbered(const char* prefix, size_t i) {
  std::string s = prefix;
  s.append(std::to_string(i));
  return s;
}

CktPin* makePin(CktInstance* inst, PortDir dir) {
  auto* port = new CktPort();
  port->dir = dir;
  (dir == IN_PORT ? inst->master->inPorts : inst->master->outPorts).push_back(port);
  auto* pin = new CktPin(port, inst);
  pin->initId();
  (dir == IN_PORT ? inst->inPins : inst->outPins).push_back(pin);
  return pin;
}

void connect(FlatDesign* d, CktPin* source, const std::vector<CktPin*>& sinks) {
  auto* net = new CktNet();
  net->name = numbered("n", d->netList.size());
  net->index = static_cast<int>(d->netList.size());
  net->source = source;
  net->pins.push_back(source);
  for (CktPin* s : sinks) net->pins.push_back(s);
  for (CktPin* p : net->pins) p->net = net;
  net->pinDelay.assign(net->pins.size(), 0.0);
  d->netList.push_back(net);
}

SyntheticCase& syntheticCase() {
  static SyntheticCase c = [] {
    SyntheticCase sc;
    QuietStdout quiet;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> size(20.0, 200.0);
    std::uniform_real_distribution<double> offset(-0.5, 0.5);
    auto* d = new FlatDesign();
    sc.design.reset(d);
    auto* root = new CktMaster();
    root->versions.push_back(new CktVersion(root, 0, 0, 0, 0));
    d->topInst = new CktInstance();
    d->topInst->master = root;
    constexpr int kBlocks = 100;
    for (int i = 0; i < kBlocks; ++i) {
      auto* m = new CktMaster();
      m->name = numbered("m", static_cast<size_t>(i));
      m->index = i;
      m->type = 1;
      double w = size(rng), h = size(rng);
      m->versions.push_back(new CktVersion(m, 0, h, w, w * h));
      d->masterList.push_back(m);
      auto* inst = new CktInstance();
      inst->index = i;
      inst->master = m;
      inst->orient = static_cast<CP::oritType>(rng() % 8);
      inst->setExtData("name", new inst_name(numbered("b", static_cast<size_t>(i))));
      d->instList.push_back(inst);
    }
    std::uniform_int_distribution<int> pick(0, kBlocks - 1);
    for (int n = 0; n < 150; ++n) {
      CktPin* source = makePin(d->instList[static_cast<size_t>(pick(rng))], OUT_PORT);
      std::vector<CktPin*> sinks;
      int fanout = 1 + static_cast<int>(rng() % 4);
      for (int k = 0; k < fanout; ++k)
        sinks.push_back(makePin(d->instList[static_cast<size_t>(pick(rng))], IN_PORT));
      connect(d, source, sinks);
    }
    for (int n = 0; n < 10; ++n)
      connect(d, makePin(d->topInst, IN_PORT),
              {makePin(d->instList[static_cast<size_t>(pick(rng))], IN_PORT)});
    for (CktInstance* inst : d->instList)
      for (CktPin* p : inst->inPins) p->offset = ThreeDLoc(offset(rng), offset(rng), 0);
    placeInRows(d);
    sc.db = std::make_unique<DB>(d, 20, true, 0, 1.0, 1.0);
    return sc;
  }();
  return c;
}

void BM_EvalHPWL_PipelineExample(benchmark::State& state) {
  DB& db = *pipelineCase().db;
  double out = 0;
  for (auto _ : state) benchmark::DoNotOptimize(db.evalHPWL(out));
  state.counters["paths"] = static_cast<double>(pipelineCase().design->pathList.size());
  state.counters["nets"] = static_cast<double>(pipelineCase().design->netList.size());
}
BENCHMARK(BM_EvalHPWL_PipelineExample);

void BM_EvalHPWL_Synthetic100(benchmark::State& state) {
  DB& db = *syntheticCase().db;
  double out = 0;
  for (auto _ : state) benchmark::DoNotOptimize(db.evalHPWL(out));
  state.counters["nets"] = static_cast<double>(syntheticCase().design->netList.size());
}
BENCHMARK(BM_EvalHPWL_Synthetic100);

// The same with the remembered versions dropped before every call, as after a
// change of configuration: every block is looked up by name once.
void BM_EvalHPWL_Synthetic100_ColdVersions(benchmark::State& state) {
  DB& db = *syntheticCase().db;
  double out = 0;
  for (auto _ : state) {
    db.invalidateVersionCache();
    benchmark::DoNotOptimize(db.evalHPWL(out));
  }
}
BENCHMARK(BM_EvalHPWL_Synthetic100_ColdVersions);

}  // namespace
