#include "floorplan/FenrikBridge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <iostream>
#include <utility>

#include "fenrik/Fenrik.h"
#include "flat/AspectRange.h"
#include "flat/PinGeometry.h"
#include "support/Assert.h"
#include "support/Error.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::DesignMode;

namespace {

// The shortest text that reads back as the same double, so that the block
// sizes Fenrik reads are the database's own to the last bit.
std::string number(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// Appends the parts to `out`.
template <class... Parts>
void append(std::string& out, const Parts&... parts) {
  (out.append(parts), ...);
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
  }
  if (!out) {
    std::string message;
    append(message, "ERROR: ", path, " could not be written\n");
    osvo::fail(message);
  }
}

// Calls visit(pin) for the instance's pins: in, out, then bidirectional.
template <class Visit>
void forEachPin(CktInstance* inst, Visit visit) {
  for (const auto* pins : {&inst->inPins, &inst->outPins, &inst->biPins})
    for (CktPin* pin : *pins) visit(pin);
}

// A net weight the floorplanner can use: an infinite one becomes very heavy,
// one that is not a number the base weight.
double usableWeight(double weight, double fallback) {
  if (std::isnan(weight)) return fallback;
  return std::clamp(weight, -1e9, 1e9);
}

}  // namespace

void DB::getFenrikSolution(int whitespacePercent, bool softBlocks) {
  FenrikBridge(*this).run(whitespacePercent, softBlocks);
}

FenrikBridge::FenrikBridge(DB& db, std::string baseName)
    : db_(db), design_(db.getDesign()), baseName_(std::move(baseName)) {}

void FenrikBridge::run(int whitespacePercent, bool softBlocks) {
  writeExchangeFiles(softBlocks);
  std::unique_ptr<Fenrik> fenrik = readExchangeFiles(whitespacePercent, kFirstGamma);
  initializeNetWeights(*fenrik);
  fenrik->constructFloorplan();
  Solution saved = writeBack(*fenrik);
  fenrik.reset();
  if (db_.timingOn() && design_->mode == DesignMode::WireLength)
    timingRounds(whitespacePercent, std::move(saved), [this] { return db_.updateDelays(0); });
}

void FenrikBridge::timingRounds(int whitespacePercent, Solution saved,
                                const std::function<double()>& evaluate) {
  // Each round builds a new floorplan under net weights from the last static
  // timing and is kept when its cycle time is no worse than the best so far.
  double best = evaluate();
  for (int iteration = 0; iteration < kTimingRounds; ++iteration) {
    std::unique_ptr<Fenrik> fenrik = readExchangeFiles(whitespacePercent, kRoundGamma);
    updateNetWeights(*fenrik, iteration);
    fenrik->constructFloorplan();
    Solution candidate = writeBack(*fenrik);
    std::cout << "Iteration " << iteration << "\n";
    const double value = evaluate();
    if (value <= best) {
      std::cout << "Improvement " << best << " " << value << "\n";
      saved = std::move(candidate);
      best = value;
    } else {
      restore(saved);
      evaluate();
    }
  }
}

void FenrikBridge::writeExchangeFiles(bool softBlocks) {
  const auto& insts = design_->instList;
  const auto& nets = design_->netList;
  CktInstance* top = design_->topInst;

  size_t pinCount = 0, terminalCount = 0;
  for (const CktNet* net : nets) {
    pinCount += net->pins.size();
    for (const CktPin* pin : net->pins) terminalCount += top && pin->inst == top ? 1 : 0;
  }

  std::string blocks = "ZEPT blocks 1.0\n\n";
  std::string netText = "ZEPT nets 1.0\n\n";
  std::string pl = "ZEPT pl 1.0\n\n";
  // With soft blocks, a block takes the aspect-ratio range its input states,
  // or 0.1 to 10. A benchmark states which of its blocks are soft: the others
  // keep their shapes.
  std::vector<const CoarsePlacement::AspectRange*> ranges(insts.size(), nullptr);
  size_t softCount = 0;
  for (size_t i = 0; i < insts.size() && softBlocks; ++i) {
    ranges[i] = dynamic_cast<const CoarsePlacement::AspectRange*>(
        insts[i]->getExtData(CoarsePlacement::kAspectRangeKey));
    softCount += ranges[i] || !design_->wireLengthOnly ? 1 : 0;
  }
  const auto isSoft = [&](size_t i) {
    return softBlocks && (ranges[i] || !design_->wireLengthOnly);
  };
  append(blocks, "NumSoftRectangularBlocks : ", std::to_string(softCount), "\n");
  append(blocks, "NumHardRectilinearBlocks : ", std::to_string(insts.size() - softCount), "\n");
  append(blocks, "NumTerminals : ", std::to_string(terminalCount), "\n\n");

  for (size_t i = 0; i < insts.size(); ++i) {
    CktInstance* inst = insts[i];
    const double w = db_.getNodeWidth(inst), h = db_.getNodeHeight(inst);
    if (!(std::isfinite(w) && std::isfinite(h) && w >= 0 && h >= 0 && std::isfinite(w * h))) {
      std::string message;
      append(message, "Error: block ", db_.getName(inst), " has no usable size (", number(w), " x ",
             number(h), "); it cannot be floorplanned\n");
      osvo::fail(message);
    }
    std::string name = "sb";
    name += std::to_string(i);
    if (isSoft(i)) {
      const std::string range =
          ranges[i] ? number(ranges[i]->minAspect) + " " + number(ranges[i]->maxAspect)
                    : std::string("0.1 10.0");
      append(blocks, name, " softrectangular ", number(w * h), " ", range, " \n");
    } else {
      const std::string ws = number(w), hs = number(h);
      append(blocks, name, " hardrectilinear 4 (0, 0) (0, ", hs, ") (", ws, ", ", hs, ") (", ws,
             ", 0)\n");
    }
    append(pl, name, " 0 0\n");
  }
  for (size_t k = 1; k <= terminalCount; ++k) append(blocks, "p", std::to_string(k), " terminal\n");

  // Terminals stand where the chip's pins are: the offset turned by the
  // chip's orientation, from the chip's lower-left corner.
  double chipWidth = 0, chipHeight = 0;
  if (terminalCount > 0) {
    chipWidth = db_.getNodeWidth(top);
    chipHeight = db_.getNodeHeight(top);
  }
  slots_.clear();
  blockPinIndex_.assign(nets.size(), {});
  append(netText, "NumNets : ", std::to_string(nets.size()), "\n");
  append(netText, "NumPins : ", std::to_string(pinCount), "\n");
  size_t terminal = 0;
  for (size_t i = 0; i < nets.size(); ++i) {
    CktNet* net = nets[i];
    net->index = static_cast<int>(i);
    append(netText, "NetDegree : ", std::to_string(net->pins.size()), "\n");
    for (size_t k = 0; k < net->pins.size(); ++k) {
      const CktPin* pin = net->pins[k];
      if (top && pin->inst == top) {
        std::string name = "p";
        name += std::to_string(++terminal);
        append(netText, name, " B\n");
        const CoarsePlacement::TwoDLoc at =
            CoarsePlacement::pinFromCorner(*pin, chipWidth, chipHeight);
        append(pl, name, " ", number(at.x), " ", number(at.y), " : FS\n");
        slots_[pin] = {static_cast<int>(i), -1};
        continue;
      }
      const int block = pin->inst ? pin->inst->index : -1;
      OSVO_ASSERT(block >= 0 && block < static_cast<int>(insts.size()) &&
                  insts[static_cast<size_t>(block)] == pin->inst);
      append(netText, "sb", std::to_string(block), " B\n");
      slots_[pin] = {static_cast<int>(i), static_cast<int>(blockPinIndex_[i].size())};
      blockPinIndex_[i].push_back(static_cast<int>(k));
    }
  }

  writeFile(baseName_ + ".blocks", blocks);
  writeFile(baseName_ + ".nets", netText);
  writeFile(baseName_ + ".pl", pl);
}

std::unique_ptr<Fenrik> FenrikBridge::readExchangeFiles(int whitespacePercent, double gamma) const {
  auto fenrik = std::make_unique<Fenrik>(baseName_, whitespacePercent, gamma);
  OSVO_ASSERT(fenrik->getNumBlocks() == static_cast<int>(design_->instList.size()));
  OSVO_ASSERT(fenrik->nets().size() == design_->netList.size());
  fenrik->setWhitespaceSpreading(1);
  return fenrik;
}

void FenrikBridge::initializeNetWeights(Fenrik& fenrik) const {
  const bool wireLengthMode = design_->mode == DesignMode::WireLength;
  for (size_t i = 0; i < design_->netList.size(); ++i) {
    _Net& net = fenrik.net(static_cast<int>(i));
    net.weight = wireLengthMode ? 1.0 : usableWeight(design_->netList[i]->ipcWeight, 0.0);
    net.pairFirst = net.pins.size() >= 1 ? &net.pins[0] : nullptr;
    net.pairSecond = net.pins.size() >= 2 ? &net.pins[1] : nullptr;
  }
}

void FenrikBridge::updateNetWeights(Fenrik& fenrik, int iteration) const {
  for (size_t i = 0; i < design_->netList.size(); ++i) {
    const CktNet* flat = design_->netList[i];
    _Net& net = fenrik.net(static_cast<int>(i));
    net.weight = usableWeight(std::round((iteration + 2.0) * flat->ipcWeight) + 10.0, 10.0);
    if (net.pins.empty()) continue;
    net.pairFirst = &net.pins[0];
    // The sink with the smallest wire delay; without any below 99999 the
    // second block pin stays the partner.
    double least = 99999.0;
    for (size_t b = 1; b < net.pins.size(); ++b) {
      const size_t k = static_cast<size_t>(blockPinIndex_[i][b]);
      const double delay = k < flat->pinDelay.size() ? flat->pinDelay[k] : 99999.0;
      if (delay < least) {
        least = delay;
        net.pairSecond = &net.pins[b];
      }
    }
  }
}

_Pin* FenrikBridge::find_pin(Fenrik& fenrik, const CktPin* pin, const Block& block) const {
  const auto slot = slots_.find(pin);
  if (slot == slots_.end() || slot->second.blockPin < 0) return nullptr;
  if (static_cast<size_t>(slot->second.net) >= fenrik.nets().size()) return nullptr;
  _Net& net = fenrik.net(slot->second.net);
  const size_t b = static_cast<size_t>(slot->second.blockPin);
  if (b >= net.pins.size() || net.pins[b].block != &block) return nullptr;
  return &net.pins[b];
}

FenrikBridge::Solution FenrikBridge::writeBack(Fenrik& fenrik) {
  for (const auto& owned : fenrik.blocks()) {
    const Block& block = *owned;
    CktInstance* inst = design_->instList[static_cast<size_t>(block.index)];
    double w = block.getWidth(), h = block.getHeight();
    if (block.soft == 0) {
      // A hard block keeps its own sides, upright or turned.
      const double rw = block.getRealWidth(), rh = block.getRealHeight();
      const bool turned = std::abs(w - rh) + std::abs(h - rw) < std::abs(w - rw) + std::abs(h - rh);
      w = turned ? rh : rw;
      h = turned ? rw : rh;
    }
    inst->orient = CP::B0;
    inst->loc.x = block.getLl().x;
    inst->loc.y = block.getLl().y;
    db_.putNodeWidth(inst, w);
    db_.putNodeHeight(inst, h);
    forEachPin(inst, [&](CktPin* pin) {
      // A pin on no net has nothing to face and keeps its offset.
      if (pin->net) {
        const _Pin* placed = find_pin(fenrik, pin, block);
        if (!placed) osvo::fail("Not supposed to happen \n");
        pin->offset.x = placed->xOffset - 0.5;
        pin->offset.y = placed->yOffset - 0.5;
      }
    });
  }
  return capture();
}

template <class Visit>
void FenrikBridge::forEachSolutionValue(Visit visit) {
  if (CktInstance* top = design_->topInst) {
    forEachPin(top, [&](CktPin* pin) {
      visit(pin->offset.x);
      visit(pin->offset.y);
    });
  }
  for (CktInstance* inst : design_->instList) {
    CoarsePlacement::CktVersion* version = db_.getVersion(inst);
    visit(inst->loc.x);
    visit(inst->loc.y);
    visit(version->width);
    visit(version->height);
    forEachPin(inst, [&](CktPin* pin) {
      visit(pin->offset.x);
      visit(pin->offset.y);
    });
  }
}

FenrikBridge::Solution FenrikBridge::capture() {
  Solution solution;
  forEachSolutionValue([&](double& value) { solution.push_back(value); });
  return solution;
}

void FenrikBridge::restore(const Solution& solution) {
  size_t next = 0;
  forEachSolutionValue([&](double& value) {
    OSVO_ASSERT(next < solution.size());
    value = solution[next++];
  });
  OSVO_ASSERT(next == solution.size());
  for (CktInstance* inst : design_->instList) inst->orient = CP::B0;
}
