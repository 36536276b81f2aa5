#include "flatten/HdmInterface.h"

#include <fstream>

#include "flatten/FlattenInstance.h"
#include "support/Error.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktMaster;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::CktPort;
using CoarsePlacement::CktVersion;

void HDM_interface::setSpecialMasters(const std::string& fileName) {
  if (fileName.empty()) return;
  std::ifstream in(fileName);
  if (!in) {
    err_ << "Can not open special master file " << fileName << "\n";
    return;
  }
  std::string name;
  while (in >> name) {
    if (hdm::Master* m = model_->masters().get(name))
      special_.insert(m);
    else
      err_ << "Master " << name << " can not be found\n";
  }
}

bool HDM_interface::isSpecialMaster(const hdm::Master* master) const {
  return special_.count(master) != 0;
}

void HDM_interface::checkHierarchy(hdm::Master* top) {
  // Depth-first over the versions reachable from the top, with an explicit
  // stack; a version met again while it is open contains itself.
  enum : char { kOpen = 1, kDone = 2 };
  std::unordered_map<const hdm::MasterVersion*, char> state;
  struct Frame {
    hdm::MasterVersion* version;
    hdm::InstSet::iterator next;
  };
  std::vector<Frame> stack;
  hdm::MasterVersion* root = top->version(0);
  stack.push_back({root, root->instances().begin()});
  state[root] = kOpen;
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == f.version->instances().end()) {
      state[f.version] = kDone;
      stack.pop_back();
      continue;
    }
    hdm::MasterVersion* child = (*f.next)->masterVersion();
    ++f.next;
    if (!child) continue;
    char& s = state[child];
    if (s == kDone) continue;
    if (s == kOpen) {
      std::string path;
      bool on = false;
      for (const Frame& g : stack) {
        on = on || g.version == child;
        if (on) path += g.version->master()->name() + " -> ";
      }
      osvo::fail("Error: module " + child->master()->name() + " contains itself (" + path +
                 child->master()->name() + "); the hierarchy cannot be flattened\n");
    }
    s = kOpen;
    stack.push_back({child, child->instances().begin()});
  }
}

void HDM_interface::flattenAll(hdm::Master* top) {
  if (!top || !top->version(0)) osvo::fail("Error: there is no top module to flatten\n");
  checkHierarchy(top);
  hdm::MasterVersion* body = top->version(0);

  // How many instances in the whole model refer to each version; a version
  // whose count drops to 0 while flattening is no longer needed.
  std::unordered_map<const hdm::MasterVersion*, int> refs;
  if (releaseBodies_) {
    for (hdm::Master* m : model_->masters())
      for (int v = 0; v < m->versionCount(); ++v)
        for (const hdm::Inst* i : m->version(v)->instances()) ++refs[i->masterVersion()];
  }
  auto release = [&](hdm::MasterVersion* first) {
    std::vector<hdm::MasterVersion*> todo{first};
    while (!todo.empty()) {
      hdm::MasterVersion* v = todo.back();
      todo.pop_back();
      for (const hdm::Inst* i : v->instances()) {
        hdm::MasterVersion* child = i->masterVersion();
        if (child && --refs[child] == 0 && child != body) todo.push_back(child);
      }
      v->clearBody();
    }
  };

  FlattenInstance flattener(model_, out_, err_);
  int p = 0;
  while (p < body->instances().size()) {
    hdm::Inst* inst = body->instances().at(p);
    hdm::MasterVersion* v = inst->masterVersion();
    bool dissolve = v && (!v->instances().empty() || isSpecialMaster(inst->master()));
    if (!dissolve || !flattener.flattenInstByIndex({top, 0}, p)) {
      ++p;
      continue;
    }
    if (releaseBodies_) {
      for (const hdm::Inst* s : v->instances()) ++refs[s->masterVersion()];  // the copies
      if (--refs[v] == 0 && v != body) release(v);
    }
    if (stepObserver_) stepObserver_();
  }
}

CktMaster* HDM_interface::convertMaster(hdm::Master* master) {
  out_ << "New master " << master->name() << "\n";
  auto* cm = new CktMaster;
  cm->name = master->name();
  cm->type = 0;
  PortMap map{master, {}};
  map.ports.reserve(static_cast<size_t>(master->portCount()));
  for (const hdm::Port* p : master->ports()) {
    auto* cp = new CktPort;
    cp->name = p->name();
    cp->index = p->position();
    switch (p->dir()) {
      case hdm::PORT_IN:
        cp->dir = CoarsePlacement::IN_PORT;
        cm->inPorts.push_back(cp);
        break;
      case hdm::PORT_OUT:
        cp->dir = CoarsePlacement::OUT_PORT;
        cm->outPorts.push_back(cp);
        break;
      default:
        cp->dir = CoarsePlacement::BI_PORT;
        cm->biPorts.push_back(cp);
        break;
    }
    map.ports.push_back(cp);
  }
  for (int v = 0; v < master->versionCount(); ++v) {
    auto* cv = new CktVersion(cm, -1, 0, 0, 0);
    cv->index = v;
    cm->versions.push_back(cv);
  }
  cm->index = static_cast<int>(design_->masterList.size());
  design_->masterList.push_back(cm);
  portMaps_.push_back(std::move(map));
  masters_[cm->name] = cm;
  return cm;
}

CktInstance* HDM_interface::convertInstance(const hdm::Inst* inst) {
  hdm::Master* master = inst->master();
  auto found = masters_.find(master->name());
  CktMaster* cm = found != masters_.end() ? found->second : convertMaster(master);
  auto* ci = new CktInstance;
  ci->setExtData("name", new CoarsePlacement::inst_name(inst->name()));
  ci->master = cm;
  ci->versionIdx = inst->masterRef().version;
  insts_[inst] = ci;
  return ci;
}

CktInstance* HDM_interface::getCktInst(const hdm::Inst* inst) {
  if (!inst) {
    err_ << "Empty inst in getCktInst\n";
    return nullptr;
  }
  auto it = insts_.find(inst);
  return it == insts_.end() ? nullptr : it->second;
}

CktPort* HDM_interface::getCktPort(CktInstance* inst, const hdm::Port* port) {
  if (!inst) {
    err_ << "empty CktInst in getCktPort\n";
    return nullptr;
  }
  if (!port) {
    err_ << "null port pointer in getCktPort\n";
    return nullptr;
  }
  int index = inst->master ? inst->master->index : -1;
  if (index < 0 || index >= static_cast<int>(portMaps_.size())) return nullptr;
  const PortMap& map = portMaps_[static_cast<size_t>(index)];
  int pos = map.master->getPortIndex(port);  // -1 for a port of another master
  if (pos < 0 || pos >= static_cast<int>(map.ports.size())) return nullptr;
  return map.ports[static_cast<size_t>(pos)];
}

CktPin* HDM_interface::generateCktPin(CktInstance* inst, const hdm::Port* port) {
  CktPort* cp = getCktPort(inst, port);
  if (!cp) return nullptr;
  std::vector<CktPin*>* list = nullptr;
  switch (cp->dir) {
    case CoarsePlacement::IN_PORT:
      list = &inst->inPins;
      break;
    case CoarsePlacement::OUT_PORT:
      list = &inst->outPins;
      break;
    case CoarsePlacement::BI_PORT:
      list = &inst->biPins;
      break;
    default:
      err_ << "Unknown Port direction\n";
      return nullptr;
  }
  auto* pin = new CktPin(cp, inst);
  pin->initId();
  list->push_back(pin);
  return pin;
}

void HDM_interface::convertNet(const hdm::Net* net, int width) {
  if (net->name() == "clock" || net->name() == "pj_clk_out") return;
  const auto& ports = net->ports();
  const auto& pins = net->pins();
  CktInstance* chip = design_->topInst;
  if (ports.size() == 1 && pins.empty()) {
    generateCktPin(chip, ports[0]);
    return;
  }
  if (ports.empty() && pins.size() <= 1) return;

  auto* cn = new CktNet;
  cn->name = net->name();
  cn->width = width;
  cn->index = static_cast<int>(design_->netList.size());
  cn->weight = 1.0;
  design_->netList.push_back(cn);
  auto join = [cn](CktPin* pin) {
    pin->net = cn;
    cn->pins.push_back(pin);
    cn->pinDelay.push_back(0);
  };
  // The driver: the last instance output pin; failing that the pin of a chip
  // input port; failing that the pin of a chip output port.
  CktPin* instOut = nullptr;
  CktPin* chipIn = nullptr;
  CktPin* chipOut = nullptr;
  cn->pins.reserve(ports.size() + pins.size());
  for (const hdm::Port* port : ports) {
    CktPin* pin = generateCktPin(chip, port);
    if (!pin) continue;
    join(pin);
    if (port->dir() == hdm::PORT_OUT) chipOut = pin;
    if (port->dir() == hdm::PORT_IN && !chipIn) chipIn = pin;
  }
  for (const hdm::Pin* hp : pins) {
    CktPin* pin = generateCktPin(getCktInst(hp->inst()), hp->port());
    if (!pin) continue;
    join(pin);
    if (hp->port()->dir() == hdm::PORT_OUT) instOut = pin;
  }
  cn->source = instOut ? instOut : chipIn ? chipIn : chipOut;
  if (cn->pins.empty())
    err_ << "Zero pin net discovered for " << cn->name << "\nHDM port size = " << ports.size()
         << " HDM pin size = " << pins.size() << "\n";
}

void HDM_interface::HDM2CP() {
  if (!design_) osvo::fail("Error: no flat design to fill\n");
  const hdm::MasterVersionRef& top = model_->topModule;
  hdm::MasterVersion* body = top.get();
  if (!body) osvo::fail("Error: there is no top module to convert\n");

  {
    // The chip instance stands for the top module itself.
    hdm::Inst chip(top, "");
    chip.generatePins();
    chip.defaultName();
    CktInstance* ci = convertInstance(&chip);
    ci->index = -1;
    design_->topInst = ci;
    insts_.erase(&chip);
  }

  design_->instList.reserve(static_cast<size_t>(body->instances().size()));
  for (const hdm::Inst* inst : body->instances()) {
    CktInstance* ci = convertInstance(inst);
    ci->index = static_cast<int>(design_->instList.size());
    design_->instList.push_back(ci);
  }
  out_ << " instance created\n";
  for (const hdm::Net* net : body->nets())
    if (net->type() == hdm::NET_NORMAL) convertNet(net, 1);
  out_ << " nets created\n";
  for (const hdm::Bus* bus : body->buses())
    if (!bus->nets().empty()) convertNet(*bus->nets().begin(), bus->nets().size());
  out_ << " buses created\n";
}
