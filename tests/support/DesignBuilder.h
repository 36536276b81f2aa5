#pragma once
// Small hand-built flat designs for the tests: blocks with their versions,
// pins, nets, and a chip instance.
#include <memory>
#include <string>
#include <vector>

#include "flat/FlatDesign.h"

namespace osvotest {

using namespace CoarsePlacement;

class DesignBuilder {
 public:
  explicit DesignBuilder(DesignMode mode = DesignMode::WireLength)
      : design(std::make_unique<FlatDesign>()) {
    design->mode = mode;
    design->topInst = instance("chip", 0, 0, 0, 0);
  }

  // A block: a master of its own (type 1, sequential) whose version 0 is
  // w x h, one instance of it at (x, y).
  CktInstance* block(const std::string& name, double w, double h, double x = 0, double y = 0) {
    CktInstance* inst = instance(name, w, h, x, y);
    inst->master->type = inst->master->versions[0]->type = 1;
    inst->master->index = static_cast<int>(design->masterList.size());
    inst->index = static_cast<int>(design->instList.size());
    design->masterList.push_back(inst->master);
    design->instList.push_back(inst);
    return inst;
  }

  // Appends a version of w x h to the instance's master.
  static CktVersion* version(CktInstance* inst, double w, double h) {
    auto& versions = inst->master->versions;
    versions.push_back(
        new CktVersion(inst->master, static_cast<int>(versions.size()), h, w, w * h));
    return versions.back();
  }

  // A pin (at the block centre) of a new port of direction `dir`, filed under
  // the instance's pins of `filed` (by default the port's direction).
  static CktPin* pin(CktInstance* inst, PortDir dir, PortDir filed, const std::string& port = "") {
    CktMaster* m = inst->master;
    auto& ports = dir == IN_PORT ? m->inPorts : dir == OUT_PORT ? m->outPorts : m->biPorts;
    auto* p = new CktPort();
    p->name = port;
    p->dir = dir;
    p->index = static_cast<int>(ports.size());
    ports.push_back(p);
    auto* pin = new CktPin(p, inst);
    pin->initId();
    (filed == IN_PORT    ? inst->inPins
     : filed == OUT_PORT ? inst->outPins
                         : inst->biPins)
        .push_back(pin);
    return pin;
  }
  static CktPin* pin(CktInstance* inst, PortDir dir, const std::string& port = "") {
    return pin(inst, dir, dir, port);
  }

  // A net driven by `source` into `sinks`, with zero wire delays.
  CktNet* net(CktPin* source, const std::vector<CktPin*>& sinks, const std::string& name = "") {
    auto* n = new CktNet();
    n->index = static_cast<int>(design->netList.size());
    n->name = name;
    n->source = source;
    n->pins.push_back(source);
    n->pins.insert(n->pins.end(), sinks.begin(), sinks.end());
    for (CktPin* p : n->pins) p->net = n;
    n->pinDelay.assign(n->pins.size(), 0.0);
    design->netList.push_back(n);
    return n;
  }

  // A net from a new output pin of `from` to a new input pin of `to`.
  CktNet* connect(CktInstance* from, CktInstance* to, const std::string& name = "") {
    return net(pin(from, OUT_PORT), {pin(to, IN_PORT)}, name);
  }

  CktInstance* top() const { return design->topInst; }
  FlatDesign* get() const { return design.get(); }

  std::unique_ptr<FlatDesign> design;

 private:
  static CktInstance* instance(const std::string& name, double w, double h, double x, double y) {
    auto* inst = new CktInstance();
    inst->master = new CktMaster();
    inst->master->name = name;
    inst->loc = TwoDLoc(x, y);
    inst->setExtData("name", new inst_name(name));
    version(inst, w, h);
    return inst;
  }
};

}  // namespace osvotest
