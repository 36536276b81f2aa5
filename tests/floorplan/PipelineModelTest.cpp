// The pipeline model against a plain walk over the design's records, through
// every change a run makes between two evaluations, to the last bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "FloorplanTestDesign.h"
#include "flat/PipelineClock.h"

using namespace fptest;

namespace {

// 1 / the IPC factor, every path's latency and the times of the walked pins.
struct Walk {
  double result = 0;
  std::vector<double> latencies;
  std::vector<double> pinTimes;
};

std::vector<CktPin*> walkedPins(const FlatDesign& d) {
  std::vector<CktPin*> pins;
  for (const auto& path : d.pathList)
    for (const CktNet* net : path)
      for (std::size_t j = 0; j < net->pins.size() && j < 2; ++j) pins.push_back(net->pins[j]);
  return pins;
}

Walk readBack(const FlatDesign& d, double result) {
  Walk w;
  w.result = result;
  w.latencies = d.pathLatency;
  for (const CktPin* p : walkedPins(d))
    w.pinTimes.insert(w.pinTimes.end(), {p->tsu, p->latency, p->tco});
  return w;
}

// The model's rules applied record by record, with positions from the database.
Walk plainWalk(DB& db, FlatDesign& d, double ghz) {
  const double usable = CoarsePlacement::usableCyclePs(ghz);
  const double perCycle = CoarsePlacement::wireUnitsPerCycle(usable);
  double factor = 1.0;
  double maxLatency = 0;
  d.pathLatency.resize(d.pathList.size(), 0.0);
  for (std::size_t p = 0; p < d.pathList.size(); ++p) {
    const auto& path = d.pathList[p];
    double L = 0.0;
    double c = 0.0;
    for (std::size_t k = 0; k < path.size(); ++k) {
      const auto& pins = path[k]->pins;
      TwoDLoc from;
      for (std::size_t j = 0; j < pins.size() && j < 2; ++j) {
        CktPin* pin = pins[j];
        if (j == 0) {
          if (pin->inst != d.topInst) {
            pin->tsu = (std::ceil(L) - L) * usable;
            L += pin->inst->master->versions[0]->latency / usable;
            pin->latency = std::floor(L) - c;
            c = std::floor(L);
            pin->tco = (L - std::floor(L)) * usable;
            if (k == 0) {
              L = pin->tco / usable;
              c = 0;
            }
          }
          from = db.pinPosition(pin);
        } else {
          const TwoDLoc to = db.pinPosition(pin);
          L += (std::fabs(to.x - from.x) + std::fabs(to.y - from.y)) / perCycle;
          c = std::floor(L);
          if (k + 1 == path.size()) {
            pin->tsu = (std::ceil(L) - L) * usable;
            L = std::ceil(L);
          }
        }
      }
    }
    d.pathLatency[p] = L;
    maxLatency = std::max(maxLatency, std::trunc(L));
    if (std::find(d.loopEnd.begin(), d.loopEnd.end(), static_cast<int>(p)) != d.loopEnd.end()) {
      factor *= std::pow(1.0 + d.pathProb[p], maxLatency - d.pathBaseLatency[p]);
      maxLatency = 0;
    }
  }
  if (factor <= 0) factor = 0.01;
  return readBack(d, 1.0 / factor);
}

TEST(PipelineModelCache, AgreesWithAPlainWalkThroughEveryKindOfChange) {
  constexpr double kGhz = 2.0;
  TestDesign t(DesignMode::PipelineModel);
  std::mt19937 rng(5);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<>(lo, hi)(rng);
  };
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };

  std::vector<CktInstance*> blocks;
  for (int i = 0; i < 12; ++i) {
    std::string name = "b";
    name += std::to_string(i);
    CktInstance* b = t.block(name, uniform(5, 60), uniform(5, 60));
    b->master->versions[0]->latency = static_cast<int>(uniform(0, 900));
    TestDesign::version(b, uniform(5, 60), uniform(5, 60));  // the other configuration's
    blocks.push_back(b);
  }
  // Paths of one to four nets; chip pins start or end some; nets of one or three pins.
  FlatDesign* d = t.get();
  for (int p = 0; p < 9; ++p) {
    std::vector<CktNet*> path;
    const std::size_t nets = 1 + pick(4);
    for (std::size_t k = 0; k < nets; ++k) {
      CktPin* driver = (p % 4 == 0 && k == 0) ? t.pin(t.top(), OUT_PORT)
                                              : t.pin(blocks[pick(blocks.size())], OUT_PORT);
      std::vector<CktPin*> sinks;
      if (!(p == 5 && k == 0)) sinks.push_back(t.pin(blocks[pick(blocks.size())], IN_PORT));
      if (p == 6) sinks.push_back(t.pin(blocks[pick(blocks.size())], IN_PORT));
      if (p % 4 == 3 && k + 1 == nets) sinks[0] = t.pin(t.top(), IN_PORT);
      path.push_back(t.net(driver, sinks));
    }
    d->pathList.push_back(path);
    d->pathProb.push_back(-uniform(0.01, 0.4));
    d->pathBaseLatency.push_back(static_cast<double>(pick(3)));
  }
  d->loopEnd = {2, 5, 8};

  const std::string dir = testDir();
  std::ostringstream ipc;
  ipc << "{b0:0, b1:0} 1.0\n{b0:1";
  for (int i = 1; i < 12; ++i) ipc << ", b" << i << ":1";
  ipc << "} 1.2\n";
  osvotest::writeFile(dir + "/two.ipc", ipc.str());
  auto db = quietDB(t, DatabaseParams{20, false, 0, kGhz, 1.0, dir + "/two.ipc", ""});
  ASSERT_EQ(db->numConfigs(), 2);

  double out = 0;
  for (int round = 0; round < 400; ++round) {
    CktInstance* b = blocks[pick(blocks.size())];
    switch (round % 9) {
      case 0:
        for (CktInstance* x : blocks) x->loc = TwoDLoc(uniform(0, 300), uniform(0, 300));
        break;
      case 1:
        b->loc = TwoDLoc(uniform(0, 300), uniform(0, 300));
        break;
      case 2:
        b->orient = static_cast<CP::oritType>(pick(8));
        break;
      case 3:
        db->putNodeWidth(b, uniform(5, 60));
        db->putNodeHeight(b, uniform(5, 60));
        break;
      case 4:
        for (CktPin* p : walkedPins(*d))
          p->offset = ThreeDLoc(uniform(-0.5, 0.5), uniform(-0.5, 0.5), 0);
        break;
      case 5:
        db->selectConfig(1 - db->currentConfig());
        break;
      case 6:  // through the database and directly
        if (round % 2)
          db->setBlockLatency(b, static_cast<int>(uniform(0, 900)));
        else
          b->master->versions[0]->latency = static_cast<int>(uniform(0, 900));
        break;
      case 7:
        d->pathProb[pick(d->pathProb.size())] = -uniform(0.01, 0.4);
        d->pathBaseLatency[pick(d->pathBaseLatency.size())] = static_cast<double>(pick(3));
        break;
      case 8:  // nothing changes
        break;
    }
    // Pins a walk does not write keep what they held.
    const double held = -round;
    for (CktPin* p : walkedPins(*d)) p->tsu = p->tco = p->latency = held;
    const Walk expected = plainWalk(*db, *d, kGhz);
    for (CktPin* p : walkedPins(*d)) p->tsu = p->tco = p->latency = held;
    const Walk got = readBack(*d, db->evalHPWL(out));
    ASSERT_EQ(expected.result, got.result) << "round " << round;
    ASSERT_EQ(expected.latencies, got.latencies) << "round " << round;
    ASSERT_EQ(expected.pinTimes, got.pinTimes) << "round " << round;
  }
}

}  // namespace
