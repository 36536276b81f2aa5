// Evaluation of a placement: pin positions, wire delays from the interconnect
// model, static timing and timing-driven net weights, the wire-length cost and
// the pipeline performance model.
#include <algorithm>
#include <cmath>
#include <iostream>

#include "flat/PinGeometry.h"
#include "flat/PipelineClock.h"
#include "floorplan/DB.h"
#include "support/Assert.h"
#include "support/Error.h"
#include "timing/FPTiming.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::CktVersion;
using CoarsePlacement::FlatDesign;

void DB::pinXY(const CktPin* pin, double& x, double& y) {
  CktInstance* inst = pin->inst;
  const CktVersion* v = getVersion(inst);
  const CoarsePlacement::TwoDLoc p = CoarsePlacement::pinFromCorner(*pin, v->width, v->height);
  x = p.x;
  y = p.y;
  // The chip instance spans the chip from the origin.
  if (inst != design_->topInst) {
    x += inst->loc.x;
    y += inst->loc.y;
  }
}

CoarsePlacement::TwoDLoc DB::pinPosition(CktPin* pin) {
  CoarsePlacement::TwoDLoc p;
  pinXY(pin, p.x, p.y);
  return p;
}

double DB::updateDelays(int exponent) {
  assignPins();
  if (!timingOn_) {
    double scratch = 0;
    return evalHPWL(scratch);
  }

  for (CktNet* net : design_->netList) {
    CktPin* source = net->source;
    // A net nothing drives has no wire delays to measure: the design is not
    // one static timing can work on, as it would say itself.
    if (!source || !source->inst)
      throw osvo::Error("Error: Net (" + net->name + ") does not have source. \n");
    double sx = 0;
    double sy = 0;
    pinXY(source, sx, sy);
    // One delay per pin, in the order of the pins.
    net->pinDelay.resize(net->pins.size(), 0.0);
    for (size_t k = 0; k < net->pins.size(); ++k) {
      CktPin* pin = net->pins[k];
      if (pin == source) {
        net->pinDelay[k] = 0;
        continue;
      }
      double px = 0;
      double py = 0;
      pinXY(pin, px, py);
      double d = (std::fabs(sx - px) + std::fabs(sy - py)) / 100.0;
      net->pinDelay[k] = d < 1.0 ? 0.0 : checkWexaDlyTable(std::floor(d) * 100000.0, 0) / 1000.0;
    }
  }

  double cycle = FPTiming().perform_sta(this, 0.0);

  for (CktNet* net : design_->netList) {
    if (net->pins.empty()) continue;
    double minSlack = net->pins[0]->slack;
    for (CktPin* pin : net->pins) minSlack = std::min(minSlack, pin->slack);
    // Without a cycle time there is nothing to weigh slacks against: every net
    // keeps the neutral weight.
    double w = cycle != 0.0 ? 1.0 - minSlack / cycle : 1.0;
    if (exponent > 1) w = std::pow(w, exponent);
    net->weight = w;
  }
  return cycle;
}

double DB::checkWexaDlyTable(double length, char tier) {
  const int maxTier = delayAid_->topLayer() / 2;
  if (tier < 0 || tier > maxTier)
    throw osvo::Error("wrong tier value\n", osvo::kExitBadInput, osvo::Stream::Out);
  auto lengthIt = wireDelayCache_.find(length);
  if (lengthIt != wireDelayCache_.end()) {
    auto tierIt = lengthIt->second.find(tier);
    if (tierIt != lengthIt->second.end()) return tierIt->second;
  }
  double d = delayAid_->findDelay(2 * tier, length);
  if (lengthIt != wireDelayCache_.end())
    std::cout << "Length : " << length << " "
              << "Delay : " << d << "\n";
  double stored = std::floor(d);
  wireDelayCache_[length][tier] = stored;
  return stored;
}

double DB::evalHPWL(double& out) {
  if (design_->mode != CoarsePlacement::DesignMode::PipelineModel) return wireLength();
  out = fixFreq_;
  return inverseIpcFactor();
}

double DB::wireLength() {
  // Nets that reach the chip boundary are not part of the wire length, except
  // for a design judged by wire length alone, whose chip pins are the
  // terminals that the standard measure counts.
  CktInstance* top = design_->topInst;
  CktInstance* skipped = design_->wireLengthOnly ? nullptr : top;
  // Every block's corner and size, looked up once per call rather than once
  // per pin: the annealer measures the wire length after every move.
  const auto& insts = design_->instList;
  blockFrames_.resize(insts.size());
  for (size_t i = 0; i < insts.size(); ++i) {
    const CktVersion* v = getVersion(insts[i]);
    blockFrames_[i] = {insts[i]->loc.x, insts[i]->loc.y, v->width, v->height};
  }

  double sum = 0;
  for (CktNet* net : design_->netList) {
    BBox box;
    bool touchesChip = false;
    for (CktPin* pin : net->pins) {
      CktInstance* inst = pin->inst;
      if (inst == skipped) {
        touchesChip = true;
        break;
      }
      CoarsePlacement::TwoDLoc p;
      const size_t idx = static_cast<size_t>(inst->index);
      if (inst != top && inst->index >= 0 && idx < insts.size() && insts[idx] == inst) {
        // As pinXY computes it: the turned offset on the block, plus its corner.
        const BlockFrame& f = blockFrames_[idx];
        p = CoarsePlacement::pinFromCorner(*pin, f.width, f.height);
        p.x += f.x;
        p.y += f.y;
      } else {
        pinXY(pin, p.x, p.y);
      }
      box.put(p);
    }
    if (touchesChip || !box.isValid()) continue;
    sum += timingOn_ ? box.getHPWL() * net->weight : box.getHPWL();
  }
  return sum;
}

// The pipeline model: every critical path is walked block by block; block
// latencies and wire lengths (converted at R length units per cycle) add up to
// the path's latency in cycles, and the extra cycles of the paths of each loop
// scale an IPC factor. The paths are flattened once; every call reads the
// sizes of the versions in force and the placement.
double DB::inverseIpcFactor() {
  if (!pipelineModel_ || !pipelineModel_->matches(*design_)) {
    pipelineModel_ =
        std::make_unique<PipelineModel>(design_, CoarsePlacement::usableCyclePs(fixFreq_));
    pipelineVersionEpoch_ = versionEpoch_ - 1;
  }
  // The versions in force change only with the configuration.
  if (pipelineVersionEpoch_ != versionEpoch_) {
    const auto& instances = pipelineModel_->instances();
    auto& versions = pipelineModel_->versions();
    for (std::size_t i = 0; i < instances.size(); ++i) versions[i] = getVersion(instances[i]);
    pipelineVersionEpoch_ = versionEpoch_;
  }
  return pipelineModel_->inverseIpcFactor();
}
