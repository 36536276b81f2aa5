#pragma once
// Hand-built flat designs for the timing tests and a database that hands out
// version 0's delay of every block, counting how often each delay is asked for.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flat/FlatDesign.h"
#include "timing/TimingDatabase.h"

namespace timingtest {

using namespace CoarsePlacement;

enum class Side { In, Out, Bi };

class TestDesign {
 public:
  TestDesign() : design(std::make_unique<FlatDesign>()) {
    auto* rootMaster = new CktMaster;
    rootMaster->name = "chip";
    rootMaster->versions.push_back(new CktVersion(rootMaster, 0, 0, 0, 0));
    auto* top = new CktInstance;
    top->master = rootMaster;
    top->setExtData("name", new inst_name("chip"));
    design->topInst = top;
  }

  CktMaster* master(const std::string& name, int type, double delay) {
    auto* m = new CktMaster;
    m->name = name;
    m->type = type;
    m->index = static_cast<int>(design->masterList.size());
    auto* v = new CktVersion(m, -1, 1, 1, 1);
    v->index = 0;
    v->delay = delay;
    v->type = type;
    m->versions.push_back(v);
    design->masterList.push_back(m);
    return m;
  }

  CktInstance* instance(CktMaster* m, const std::string& name) {
    auto* inst = new CktInstance;
    inst->master = m;
    inst->index = static_cast<int>(design->instList.size());
    inst->setExtData("name", new inst_name(name));
    design->instList.push_back(inst);
    return inst;
  }

  // A block with its own master: type 1 is sequential.
  CktInstance* block(const std::string& name, int type, double delay) {
    return instance(master(name, type, delay), name);
  }

  static CktPort* port(CktMaster* m, PortDir dir) {
    auto* p = new CktPort;
    p->dir = dir;
    auto& list = dir == IN_PORT ? m->inPorts : dir == OUT_PORT ? m->outPorts : m->biPorts;
    p->index = static_cast<int>(list.size());
    list.push_back(p);
    return p;
  }

  // A pin of `port` on `inst`, filed under the pin vector of `side`.
  static CktPin* pin(CktInstance* inst, CktPort* port, Side side) {
    auto* p = new CktPin(port, inst);
    p->initId();
    (side == Side::In    ? inst->inPins
     : side == Side::Out ? inst->outPins
                         : inst->biPins)
        .push_back(p);
    return p;
  }

  static CktPin* input(CktInstance* inst, double inDelay = 0, PortDir dir = IN_PORT) {
    CktPin* p = pin(inst, port(inst->master, dir), Side::In);
    p->inDelay = inDelay;
    return p;
  }
  static CktPin* output(CktInstance* inst, double outDelay = 0, PortDir dir = OUT_PORT) {
    CktPin* p = pin(inst, port(inst->master, dir), Side::Out);
    p->outDelay = outDelay;
    return p;
  }
  CktPin* chipIn() { return input(design->topInst); }
  CktPin* chipOut() { return output(design->topInst); }

  // A net from `driver` to the sinks, each with its wire delay.
  CktNet* net(const std::string& name, CktPin* driver,
              const std::vector<std::pair<CktPin*, double>>& sinks) {
    auto* n = new CktNet;
    n->name = name;
    n->index = static_cast<int>(design->netList.size());
    n->source = driver;
    n->pins.push_back(driver);
    n->pinDelay.push_back(0);
    driver->net = n;
    for (const auto& [p, d] : sinks) {
      n->pins.push_back(p);
      n->pinDelay.push_back(d);
      p->net = n;
    }
    design->netList.push_back(n);
    return n;
  }

  std::unique_ptr<FlatDesign> design;
};

class TestTimingDB : public TimingDatabase {
 public:
  explicit TestTimingDB(FlatDesign* d) : design_(d) {}
  FlatDesign* getDesign() const override { return design_; }
  double getBlockDelay(CktInstance* inst) override {
    ++calls[inst];
    ++totalCalls;
    return inst->master->versions[0]->delay;
  }

  std::map<const CktInstance*, int> calls;
  long totalCalls = 0;

 private:
  FlatDesign* design_;
};

}  // namespace timingtest
