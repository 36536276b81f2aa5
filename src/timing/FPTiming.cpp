#include "timing/FPTiming.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "support/Assert.h"
#include "support/Error.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::FlatDesign;

namespace {

// Required time of a start point before any sink lowers it, and of a block pin.
constexpr double kStartPointLimit = 9999999.0;
constexpr double kBlockPinLimit = 999999.0;

// The timing role of a pin. The chip instance sees its ports from the inside:
// its input pins drive nets and its output pins are driven.
enum class Kind { ChipInput, ChipOutput, SeqInput, SeqOutput, CombInput, CombOutput, Unknown };

bool isSequential(const CktInstance* inst) {
  return inst->master && inst->master->type == 1;
}

// 0 for an input pin, 1 for an output pin, -1 when neither. The port direction
// decides; a bidirectional port (every port of a path-variant pipeline design)
// takes the side of the pin vector its instance files the pin under.
int sideOf(const CktPin* pin) {
  if (pin->port && pin->port->dir == CoarsePlacement::IN_PORT) return 0;
  if (pin->port && pin->port->dir == CoarsePlacement::OUT_PORT) return 1;
  const CktInstance* inst = pin->inst;
  if (std::find(inst->outPins.begin(), inst->outPins.end(), pin) != inst->outPins.end()) return 1;
  if (std::find(inst->inPins.begin(), inst->inPins.end(), pin) != inst->inPins.end()) return 0;
  return -1;
}

Kind classify(const CktInstance* root, const CktPin* pin) {
  if (!pin->inst) return Kind::Unknown;
  int side = sideOf(pin);
  if (side < 0) return Kind::Unknown;
  bool in = side == 0;
  if (pin->inst == root) return in ? Kind::ChipInput : Kind::ChipOutput;
  if (isSequential(pin->inst)) return in ? Kind::SeqInput : Kind::SeqOutput;
  return in ? Kind::CombInput : Kind::CombOutput;
}

bool isSink(Kind k) {
  return k == Kind::ChipOutput || k == Kind::SeqInput || k == Kind::CombInput;
}

[[noreturn]] void reportLoop(const CktPin* pin) {
  throw osvo::Error("Error: Timing loop through a pin of instance (" +
                    (pin->inst ? CoarsePlacement::instanceName(pin->inst) : std::string()) +
                    ") on net (" + (pin->net ? pin->net->name : std::string()) + ").\n");
}

// A design whose structure static timing cannot work on ends the run.
[[noreturn]] void stop(const std::string& message) {
  throw osvo::Error(message + "\n");
}

[[noreturn]] void missingRoot() {
  throw osvo::Error("Error: root cannot be NULL here.\n", osvo::kExitBadInput, osvo::Stream::Out);
}

}  // namespace

bool FPTiming::onPath(const CktPin* pin) const {
  if (pin->id < 0) return onPathNoId_.count(pin) != 0;
  auto id = static_cast<std::size_t>(pin->id);
  return id < onPathById_.size() && onPathById_[id] != 0;
}

void FPTiming::setOnPath(const CktPin* pin, bool on) {
  if (pin->id < 0) {
    if (on)
      onPathNoId_.insert(pin);
    else
      onPathNoId_.erase(pin);
    return;
  }
  auto id = static_cast<std::size_t>(pin->id);
  if (id >= onPathById_.size()) onPathById_.resize(id + 1, 0);
  onPathById_[id] = on ? 1 : 0;
}

void FPTiming::push(CktPin* pin, int kind) {
  if (onPath(pin)) reportLoop(pin);
  setOnPath(pin, true);
  stack_.push_back(Frame{pin, kind, 0});
}

void FPTiming::pop() {
  setOnPath(stack_.back().pin, false);
  stack_.pop_back();
}

double FPTiming::perform_sta(TimingDatabase* db, double target) {
  FlatDesign* design = db ? db->getDesign() : nullptr;
  root = design ? design->topInst : nullptr;
  if (!root) {
    std::cout << "STA: cannot perform timing analysis on empty circuit." << std::endl;
    return 0;
  }
  initialize_sta(db);
  compute_arr_time(db);
  std::cout << "Finished computing arrival times of signals.." << std::endl;

  double cycle = target;
  if (target == 0.0) {
    cycle = 0;
    for (CktPin* p : root->outPins) cycle = std::max(cycle, p->arrTime);
    for (CktInstance* inst : design->instList) {
      if (!isSequential(inst)) continue;
      cycle = std::max(cycle, db->getBlockDelay(inst));
      for (CktPin* p : inst->inPins) cycle = std::max(cycle, p->inDelay + p->arrTime);
    }
  }
  targetCycle = cycle;
  std::cout << "Required target cycle time set to " << cycle << std::endl;

  compute_req_time(db);
  std::cout << "Finished computing required times..." << std::endl;
  compute_slacks(db);
  netWeighting(db, cycle);
  std::cout << "Finished static timing analysis.." << std::endl;
  return cycle;
}

void FPTiming::initialize_sta(TimingDatabase* db) {
  if (!root) missingRoot();
  auto clear = [](CktInstance* inst) {
    for (CktPin* p : inst->inPins) p->arrDone = p->reqDone = false;
    for (CktPin* p : inst->outPins) p->arrDone = p->reqDone = false;
  };
  clear(root);
  FlatDesign* design = db ? db->getDesign() : nullptr;
  if (design)
    for (CktInstance* inst : design->instList) clear(inst);
}

void FPTiming::compute_arr_time(TimingDatabase* db) {
  // End points: the chip's output pins, then the input pins of the sequential
  // blocks in instance order.
  if (root)
    for (CktPin* p : root->outPins) find_pin_arr_time(db, p);
  for (CktInstance* inst : db->getDesign()->instList) {
    if (!isSequential(inst)) continue;
    for (CktPin* p : inst->inPins) find_pin_arr_time(db, p);
  }
}

void FPTiming::compute_req_time(TimingDatabase* db) {
  // Start points: the chip's input pins, then the output pins of the
  // sequential blocks in instance order.
  if (root)
    for (CktPin* p : root->inPins) find_pin_req_time(db, p);
  for (CktInstance* inst : db->getDesign()->instList) {
    if (!isSequential(inst)) continue;
    for (CktPin* p : inst->outPins) find_pin_req_time(db, p);
  }
}

void FPTiming::compute_slacks(TimingDatabase* db) {
  if (!root) missingRoot();
  auto slacks = [](CktInstance* inst) {
    for (auto* pins : {&inst->inPins, &inst->outPins}) {
      for (CktPin* p : *pins) {
        p->slack = p->reqTime - p->arrTime;
        if (p->slack < 0) p->slack = 0;
      }
    }
  };
  slacks(root);
  for (CktInstance* inst : db->getDesign()->instList) slacks(inst);
}

// Depth-first walk towards the start points with an explicit stack, so that
// the depth of a chain of blocks does not matter. A pin's time is computed
// once all the times it depends on are done; the done flag memoises it.
void FPTiming::find_pin_arr_time(TimingDatabase* db, CktPin* pin) {
  if (pin->arrDone) return;
  stack_.clear();
  push(pin, static_cast<int>(classify(root, pin)));
  while (!stack_.empty()) {
    Frame& f = stack_.back();
    CktPin* p = f.pin;
    auto kind = static_cast<Kind>(f.kind);
    CktPin* wait = nullptr;  // a pin whose time must be computed first

    if (kind == Kind::ChipInput) {
      p->arrTime = 0;
    } else if (kind == Kind::SeqOutput) {
      p->arrTime = p->outDelay;
    } else if (isSink(kind)) {
      CktNet* net = p->net;
      if (!net) {
        // An unconnected input: no signal arrives.
        p->arrTime = 0;
      } else {
        if (f.next == 0) {
          if (!net->source) stop("Error: Net (" + net->name + ") does not have source. ");
          f.next = 1;
          if (!net->source->arrDone) wait = net->source;
        }
        if (!wait) {
          auto at = std::find(net->pins.begin(), net->pins.end(), p);
          if (at == net->pins.end()) stop("Error: cp not found in the connected net.");
          auto k = static_cast<std::size_t>(at - net->pins.begin());
          OSVO_ASSERT(k < net->pinDelay.size());
          p->arrTime = net->source->arrTime + net->pinDelay[k];
        }
      }
    } else if (kind == Kind::CombOutput) {
      const auto& ins = p->inst->inPins;
      while (f.next < ins.size() && !wait) {
        CktPin* q = ins[f.next++];
        if (!q->arrDone) wait = q;
      }
      if (!wait) {
        double latest = 0;
        for (CktPin* q : ins) latest = std::max(latest, q->arrTime);
        p->arrTime = latest + db->getBlockDelay(p->inst);
      }
    } else {
      std::cout.flush();
      std::cerr << "Error: This case should not happen here." << std::endl;
      OSVO_ASSERT(kind != Kind::Unknown);
    }

    if (wait) {
      push(wait, static_cast<int>(classify(root, wait)));  // invalidates f
    } else {
      p->arrDone = true;
      pop();
    }
  }
}

// Depth-first walk towards the end points, iterative like the arrival walk.
void FPTiming::find_pin_req_time(TimingDatabase* db, CktPin* pin) {
  if (pin->reqDone) return;
  stack_.clear();
  push(pin, static_cast<int>(classify(root, pin)));
  while (!stack_.empty()) {
    Frame& f = stack_.back();
    CktPin* p = f.pin;
    auto kind = static_cast<Kind>(f.kind);
    CktPin* wait = nullptr;

    if (kind == Kind::ChipInput || kind == Kind::SeqOutput || kind == Kind::CombOutput) {
      // A driver: the tightest requirement over the other pins of its net.
      CktNet* net = p->net;
      if (!net) {
        if (kind != Kind::CombOutput) stop("Error: INPUT pin does not have any connected net.");
        // A block output that drives nothing constrains nothing.
        p->reqTime = kBlockPinLimit;
      } else {
        while (f.next < net->pins.size() && !wait) {
          CktPin* q = net->pins[f.next++];
          if (q != p && !q->reqDone) wait = q;
        }
        if (!wait) {
          double req = kind == Kind::CombOutput ? kBlockPinLimit : kStartPointLimit;
          for (std::size_t k = 0; k < net->pins.size(); ++k) {
            const CktPin* q = net->pins[k];
            if (q == p) continue;
            OSVO_ASSERT(k < net->pinDelay.size());
            req = std::min(req, q->reqTime - net->pinDelay[k]);
          }
          p->reqTime = req;
        }
      }
    } else if (kind == Kind::ChipOutput) {
      p->reqTime = targetCycle;
    } else if (kind == Kind::SeqInput) {
      p->reqTime = targetCycle - p->inDelay;
    } else if (kind == Kind::CombInput) {
      const auto& outs = p->inst->outPins;
      while (f.next < outs.size() && !wait) {
        CktPin* q = outs[f.next++];
        if (!q->reqDone) wait = q;
      }
      if (!wait) {
        double req = kBlockPinLimit;
        for (const CktPin* q : outs) req = std::min(req, q->reqTime);
        p->reqTime = req - db->getBlockDelay(p->inst);
      }
    } else {
      stop("Error: This case should not happen at all.");
    }

    if (wait) {
      push(wait, static_cast<int>(classify(root, wait)));  // invalidates f
    } else {
      p->reqDone = true;
      pop();
    }
  }
}

void FPTiming::netWeighting(TimingDatabase* db, double cycle) {
  for (CktNet* net : db->getDesign()->netList) {
    // A net without a driver has no slack to weight it by: it keeps its weight.
    if (!net->source) continue;
    double slack = net->source->slack;
    if (cycle == 0)
      // A zero cycle time (no delay anywhere): the limit of 2^(-slack/cycle),
      // where a slack of 0 still gives 1.
      net->ipcWeight = slack > 0 ? 0.0 : 1.0;
    else
      net->ipcWeight = std::exp2(-slack / cycle);
  }
}

void FPTiming::test_sta(TimingDatabase* db) {
  FlatDesign* design = db ? db->getDesign() : nullptr;
  if (!design) return;
  std::cout << "Testing timing analysis tool..." << std::endl;
  for (CktNet* net : design->netList)
    net->pinDelay.insert(net->pinDelay.end(), net->pins.size(), 0.0);
  std::cout << "End of data initialization..." << std::endl;
  perform_sta(db, 0.0);
}
