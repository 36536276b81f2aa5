#pragma once
// Small hand-built designs and option settings for the annealer tests.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flat/FlatDesign.h"
#include "options/ReadParam.h"

namespace annealtest {

using namespace CoarsePlacement;

class TestDesign {
 public:
  TestDesign() : design(std::make_unique<FlatDesign>()) {
    auto* root = new CktMaster();
    root->name = "chip";
    root->versions.push_back(new CktVersion(root, 0, 0, 0, 0));
    auto* top = new CktInstance();
    top->master = root;
    top->setExtData("name", new inst_name("chip"));
    design->topInst = top;
  }

  // A block: a master of its own whose version 0 has the given size.
  CktInstance* block(const std::string& name, double w, double h, int type = 1) {
    auto* m = new CktMaster();
    m->name = name;
    m->type = type;
    m->index = static_cast<int>(design->masterList.size());
    design->masterList.push_back(m);
    CktVersion* v = addVersion(m, w, h);
    v->type = type;
    auto* inst = new CktInstance();
    inst->index = static_cast<int>(design->instList.size());
    inst->master = m;
    inst->setExtData("name", new inst_name(name));
    design->instList.push_back(inst);
    return inst;
  }

  // Appends a version of the given size to the master.
  static CktVersion* addVersion(CktMaster* m, double w, double h) {
    auto* v = new CktVersion(m, -1, h, w, w * h);
    v->index = static_cast<int>(m->versions.size());
    m->versions.push_back(v);
    return v;
  }

  // A pin at the block centre on a new port of the given direction.
  CktPin* pin(CktInstance* inst, PortDir dir) {
    auto* port = new CktPort();
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
  CktNet* net(CktPin* source, const std::vector<CktPin*>& sinks) {
    auto* n = new CktNet();
    std::string name = std::to_string(design->netList.size());
    name.insert(0, 1, 'n');
    n->name = std::move(name);
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

  // A connection from a new output pin of `from` to a new input pin of `to`.
  CktNet* connect(CktInstance* from, CktInstance* to) {
    return net(pin(from, OUT_PORT), {pin(to, IN_PORT)});
  }

  FlatDesign* get() const { return design.get(); }

  std::unique_ptr<FlatDesign> design;
};

// Empties the option store and enters the given options, plus the table
// defaults of the options the annealer reads unless they are given.
inline void setOptions(const std::map<std::string, std::string>& given = {}) {
  ReadParam::clear();
  const std::map<std::string, std::string> defaults = {
      {"-areaWeight", "30"},  {"-coolTemp", "0.01"},   {"-flSuccess", "10"},
      {"-initTemp", "30000"}, {"-outPlotFile", "out"}, {"-timingOn", "1"},
      {"-ver_rate", "1.0"},   {"-whitespace", "20"},   {"-numMoves", "10"}};
  for (const auto& [key, value] : defaults) ReadParam::cmdOption[key] = value;
  for (const auto& [key, value] : given) ReadParam::cmdOption[key] = value;
}

}  // namespace annealtest
