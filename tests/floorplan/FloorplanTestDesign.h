#pragma once
// Small hand-built flat designs for the floorplan database tests.
#include <memory>
#include <string>
#include <vector>

#include "flat/FlatDesign.h"
#include "options/ReadParam.h"

namespace fptest {

using namespace CoarsePlacement;

class TestDesign {
 public:
  explicit TestDesign(int mode = 0) : design(std::make_unique<FlatDesign>()) {
    design->mode = mode;
    auto* root = new CktMaster();
    root->name = "chip";
    root->versions.push_back(new CktVersion(root, 0, 0, 0, 0));
    auto* top = new CktInstance();
    top->master = root;
    top->setExtData("name", new inst_name("chip"));
    design->topInst = top;
  }

  // A block: a master of its own with version 0 of the given size, one instance
  // of it at (x, y).
  CktInstance* block(const std::string& name, double w, double h, double x = 0, double y = 0,
                     int type = 1) {
    auto* m = new CktMaster();
    m->name = name;
    m->type = type;
    m->index = static_cast<int>(design->masterList.size());
    auto* v = new CktVersion(m, -1, h, w, w * h);
    v->index = 0;
    v->type = type;
    m->versions.push_back(v);
    design->masterList.push_back(m);
    auto* inst = new CktInstance();
    inst->index = static_cast<int>(design->instList.size());
    inst->master = m;
    inst->loc = TwoDLoc(x, y);
    inst->setExtData("name", new inst_name(name));
    design->instList.push_back(inst);
    return inst;
  }

  // Appends a version to the instance's master.
  CktVersion* version(CktInstance* inst, double w, double h) {
    auto* v = new CktVersion(inst->master, -1, h, w, w * h);
    v->index = static_cast<int>(inst->master->versions.size());
    inst->master->versions.push_back(v);
    return v;
  }

  // A pin of a new port of the given direction on the instance.
  CktPin* pin(CktInstance* inst, PortDir dir, const std::string& portName = "") {
    auto* port = new CktPort();
    port->name = portName;
    port->dir = dir;
    auto& ports = dir == IN_PORT    ? inst->master->inPorts
                  : dir == OUT_PORT ? inst->master->outPorts
                                    : inst->master->biPorts;
    port->index = static_cast<int>(ports.size());
    ports.push_back(port);
    auto* p = new CktPin(port, inst);
    p->initId();
    auto& pins = dir == IN_PORT ? inst->inPins : dir == OUT_PORT ? inst->outPins : inst->biPins;
    pins.push_back(p);
    return p;
  }

  // A net driven by `source` into `sinks`.
  CktNet* net(const std::string& name, CktPin* source, const std::vector<CktPin*>& sinks) {
    auto* n = new CktNet();
    n->name = name;
    n->index = static_cast<int>(design->netList.size());
    n->source = source;
    n->pins.push_back(source);
    source->net = n;
    for (CktPin* s : sinks) {
      n->pins.push_back(s);
      s->net = n;
    }
    n->pinDelay.assign(n->pins.size(), 0.0);
    design->netList.push_back(n);
    return n;
  }

  // A connection from an output pin of `from` to an input pin of `to`.
  CktNet* connect(const std::string& name, CktInstance* from, CktInstance* to) {
    return net(name, pin(from, OUT_PORT), {pin(to, IN_PORT)});
  }

  CktInstance* top() const { return design->topInst; }
  FlatDesign* get() const { return design.get(); }

  std::unique_ptr<FlatDesign> design;
};

// Resets the option store to the few options the database reads.
inline void resetOptions(const std::string& ipcFile = "") {
  ReadParam::clear();
  if (!ipcFile.empty()) ReadParam::cmdOption["-ipcFile"] = ipcFile;
}

}  // namespace fptest
