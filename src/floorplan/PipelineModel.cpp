#include "floorplan/PipelineModel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "flat/Orientation.h"
#include "flat/PipelineClock.h"
#include "support/Assert.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::FlatDesign;

namespace {

std::size_t netsOnPaths(const FlatDesign& design) {
  std::size_t n = 0;
  for (const auto& path : design.pathList) n += path.size();
  return n;
}

}  // namespace

PipelineModel::PipelineModel(FlatDesign* design, double usablePs)
    : design_(design),
      usable_(usablePs),
      perCycle_(CoarsePlacement::wireUnitsPerCycle(usablePs)),
      netCount_(netsOnPaths(*design)) {
  const auto& paths = design->pathList;
  const auto& ends = design->loopEnd;
  paths_.reserve(paths.size());
  for (std::size_t p = 0; p < paths.size(); ++p) {
    Path path;
    path.begin = steps_.size();
    const auto& nets = paths[p];
    for (std::size_t k = 0; k < nets.size(); ++k) {
      const auto& pins = nets[k]->pins;
      if (pins.empty()) continue;  // nothing to walk
      Step step;
      step.driver = pins[0];
      step.driverSlot = slotOf(pins[0]->inst);
      step.driverBlock = pins[0]->inst != design->topInst;
      if (step.driverBlock) {
        step.blockLatency = pins[0]->inst->master->versions[0]->latency;
        step.blockCycles = step.blockLatency / usablePs;
      }
      if (pins.size() > 1) {
        step.sink = pins[1];
        step.sinkSlot = slotOf(pins[1]->inst);
      }
      step.first = k == 0;
      step.last = k + 1 == nets.size();
      steps_.push_back(step);
    }
    path.end = steps_.size();
    path.closesLoop = std::find(ends.begin(), ends.end(), static_cast<int>(p)) != ends.end();
    paths_.push_back(path);
  }
  versions_.resize(instances_.size(), nullptr);
  frames_.resize(instances_.size());
}

int PipelineModel::slotOf(CktInstance* inst) {
  auto it = std::find(instances_.begin(), instances_.end(), inst);
  if (it == instances_.end()) {
    instances_.push_back(inst);
    return static_cast<int>(instances_.size() - 1);
  }
  return static_cast<int>(it - instances_.begin());
}

bool PipelineModel::matches(const FlatDesign& design) const {
  return &design == design_ && design.pathList.size() == paths_.size() &&
         netsOnPaths(design) == netCount_;
}

namespace {

bool sameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The orientations' turns as coefficients: (1, 0) turns to (ax, ay) and
// (0, 1) to (bx, by). Codes outside 0 to 7 leave the offset at (0, 0).
struct Turn {
  double ax = 0, bx = 0, ay = 0, by = 0;
};

std::array<Turn, 8> turnTable() {
  std::array<Turn, 8> turns{};
  for (int o = 0; o < 8; ++o) {
    double tx = 0, ty = 0;
    CP::translate(o, 1.0, 0.0, tx, ty);
    turns[o].ax = tx;
    turns[o].ay = ty;
    tx = 0;
    ty = 0;
    CP::translate(o, 0.0, 1.0, tx, ty);
    turns[o].bx = tx;
    turns[o].by = ty;
  }
  return turns;
}

const std::array<Turn, 8> kTurns = turnTable();

}  // namespace

void PipelineModel::setFrames() {
  for (std::size_t i = 0; i < instances_.size(); ++i) {
    const CktInstance* inst = instances_[i];
    Frame f;
    const auto code = static_cast<unsigned>(inst->orient);
    if (code < kTurns.size()) {
      const Turn& turn = kTurns[code];
      f.ax = turn.ax;
      f.bx = turn.bx;
      f.ay = turn.ay;
      f.by = turn.by;
    }
    OSVO_ASSERT(versions_[i]);
    f.width = versions_[i]->width;
    f.height = versions_[i]->height;
    // The chip instance spans the chip from the origin. Adding 0 to its pins
    // can at most turn a -0 into +0, which no distance tells apart.
    const bool chip = inst == design_->topInst;
    f.x = chip ? 0.0 : inst->loc.x;
    f.y = chip ? 0.0 : inst->loc.y;
    frames_[i] = f;
  }
}

std::size_t PipelineModel::measureWires(Path& path) {
  std::size_t changed = path.walked ? path.end : path.begin;
  for (std::size_t s = path.begin; s < path.end; ++s) {
    Step& step = steps_[s];
    if (step.driverBlock) {
      const int latency = step.driver->inst->master->versions[0]->latency;
      if (latency != step.blockLatency) {
        step.blockLatency = latency;
        step.blockCycles = latency / usable_;
        if (changed == path.end) changed = s;
      }
    }
    if (!step.sink) continue;
    const auto driverSlot = static_cast<std::size_t>(step.driverSlot);
    const auto sinkSlot = static_cast<std::size_t>(step.sinkSlot);
    const double aox = step.driver->offset.x;
    const double aoy = step.driver->offset.y;
    const double box = step.sink->offset.x;
    const double boy = step.sink->offset.y;
    const Frame& a = frames_[driverSlot];
    const Frame& b = frames_[sinkSlot];
    const double x0 = (0.5 + (a.ax * aox + a.bx * aoy)) * a.width + a.x;
    const double y0 = (0.5 + (a.ay * aox + a.by * aoy)) * a.height + a.y;
    const double x1 = (0.5 + (b.ax * box + b.bx * boy)) * b.width + b.x;
    const double y1 = (0.5 + (b.ay * box + b.by * boy)) * b.height + b.y;
    const double cycles = (std::fabs(x1 - x0) + std::fabs(y1 - y0)) / perCycle_;
    if (changed == path.end && !sameBits(cycles, step.wireCycles)) changed = s;
    step.wireCycles = cycles;
  }
  return changed;
}

void PipelineModel::walk(Path& path, std::size_t from) {
  const double usable = usable_;
  double L = 0.0;
  double c = 0.0;
  if (from > path.begin) {
    L = steps_[from - 1].latencyAfter;
    c = steps_[from - 1].cycleAfter;
  }
  for (std::size_t s = from; s < path.end; ++s) {
    Step& step = steps_[s];
    if (step.driverBlock) {
      step.driverTsu = (std::ceil(L) - L) * usable;
      L += step.blockCycles;
      step.driverLatency = std::floor(L) - c;
      c = std::floor(L);
      step.driverTco = (L - std::floor(L)) * usable;
      step.driver->tsu = step.driverTsu;
      step.driver->latency = step.driverLatency;
      step.driver->tco = step.driverTco;
      if (step.first) {
        L = step.driverTco / usable;
        c = 0;
      }
    }
    if (step.sink) {
      L += step.wireCycles;
      c = std::floor(L);
      if (step.last) {
        step.sinkTsu = (std::ceil(L) - L) * usable;
        step.sink->tsu = step.sinkTsu;
        L = std::ceil(L);
      }
    }
    step.latencyAfter = L;
    step.cycleAfter = c;
  }
  path.latency = L;
  path.walked = true;
}

void PipelineModel::writePinTimes(const Path& path, std::size_t end) const {
  for (std::size_t s = path.begin; s < end; ++s) {
    const Step& step = steps_[s];
    if (step.driverBlock) {
      step.driver->tsu = step.driverTsu;
      step.driver->latency = step.driverLatency;
      step.driver->tco = step.driverTco;
    }
    if (step.sink && step.last) step.sink->tsu = step.sinkTsu;
  }
}

double PipelineModel::inverseIpcFactor() {
  OSVO_ASSERT(design_->pathProb.size() >= paths_.size());
  OSVO_ASSERT(design_->pathBaseLatency.size() >= paths_.size());
  setFrames();
  double factor = 1.0;    // IPC factor of the frequency slot
  double maxLatency = 0;  // running maximum over the loop's paths
  if (design_->pathLatency.size() < paths_.size()) design_->pathLatency.resize(paths_.size(), 0.0);

  for (std::size_t p = 0; p < paths_.size(); ++p) {
    Path& path = paths_[p];
    const std::size_t changed = measureWires(path);
    // The pin times are written on every call, walked or not: they are the
    // design's, and anything may have changed them since. A walk writes those
    // of the steps it takes, in the same order.
    if (changed < path.end || !path.walked) {
      writePinTimes(path, changed);
      walk(path, changed);
    } else {
      writePinTimes(path, path.end);
    }
    const double L = path.latency;
    design_->pathLatency[p] = L;
    maxLatency = std::max(maxLatency, std::trunc(L));
    if (path.closesLoop) {
      // pathProb holds the probability negated, so 1 + pathProb is 1 - v: each
      // cycle beyond the base latency keeps a share 1 - v of the IPC. The
      // factor of a loop mostly changes with its maximum latency alone.
      const double keep = 1.0 + design_->pathProb[p];
      const double exponent = maxLatency - design_->pathBaseLatency[p];
      if (!path.powKnown || !sameBits(path.powBase, keep) ||
          !sameBits(path.powExponent, exponent)) {
        path.powValue = std::pow(keep, exponent);
        path.powBase = keep;
        path.powExponent = exponent;
        path.powKnown = true;
      }
      factor *= path.powValue;
      maxLatency = 0;
    }
  }
  if (factor <= 0) factor = 0.01;
  return 1.0 / factor;
}
