#include "flatten/FlattenInstance.h"

#include <algorithm>

#include "hdm/SizeEst.h"

using hdm::Bus;
using hdm::Inst;
using hdm::Net;
using hdm::Pin;
using hdm::Port;

namespace {

bool isConst(hdm::NetType t) {
  return t == hdm::NET_CONST_ZERO || t == hdm::NET_CONST_ONE;
}

template <class T>
void insertSorted(std::vector<T>& v, const T& x) {
  auto it = std::lower_bound(v.begin(), v.end(), x);
  if (it == v.end() || *it != x) v.insert(it, x);
}

// The copy counter of a master, kept on it for the whole run.
int nextCopyNumber(hdm::Master* m) {
  using hdm::structureCommon::intCount;
  auto* counter = dynamic_cast<intCount*>(m->getExtData(hdm::structureCommon::subcktCount));
  if (!counter) {
    auto made = std::make_unique<intCount>();
    counter = made.get();
    m->setExtData(hdm::structureCommon::subcktCount, std::move(made));
  }
  return counter->count++;
}

}  // namespace

bool FlattenInstance::busInstNet::operator<(const busInstNet& other) const {
  size_t a = inside->ports().size(), b = other.inside->ports().size();
  if (a != b) return a < b;
  if (buses != other.buses) return buses < other.buses;
  return insts < other.insts;
}

int FlattenInstance::flattenInstByIndex(const hdm::MasterVersionRef& parent, int position) {
  parent_ = parent.get();
  parentMaster_ = parent.master;
  if (!parent_) {
    hdm::warn("flattening in a missing master version");
    return 0;
  }
  inst_ = parent_->instances().at(position);
  if (!inst_) return 0;
  body_ = inst_->masterVersion();
  if (!body_) {
    hdm::warn("instance " + inst_->name() + " refers to no master version; not flattened");
    return 0;
  }
  if (body_ == parent_) {
    hdm::warn("instance " + inst_->name() + " is an instance of its own module; not flattened");
    return 0;
  }
  position_ = position;

  out_ << inst_->master()->name() << " " << parentMaster_->name() << "\n";
  copyInstances();
  err_ << "flatten an instance of " << inst_->master()->name() << "\n";
  for (Net* n : body_->nets()) {
    if (n->ports().empty())
      generateInstNet(n);
    else
      processPortConnection(n);
  }
  generateOutsideBuses();
  cleanUp();
  return 1;
}

void FlattenInstance::copyInstances() {
  copies_.reserve(static_cast<size_t>(body_->instances().size()));
  for (Inst* s : body_->instances()) {
    hdm::Master* m = s->master();
    std::string name = m ? m->name() : std::string();
    name += '_';
    name += std::to_string(m ? nextCopyNumber(m) : 0);
    auto* copy = new Inst(s->masterRef(), std::move(name));
    copy->generatePins();
    parent_->instances().push_back(copy);
    copies_[s] = copy;
  }
}

std::string FlattenInstance::uniqueNetName(const std::string& base) {
  return parent_->nets().uniqueName(base);
}

std::string FlattenInstance::uniqueBusName(const std::string& base) {
  return parent_->buses().uniqueName(base);
}

void FlattenInstance::insertInstPins(const Net* inside, Net* target) {
  for (const Pin* pin : inside->pins()) {
    auto it = copies_.find(pin->inst());
    if (it == copies_.end()) {
      hdm::warn("Error in insertInstPins");
      continue;
    }
    Pin* made = it->second->pinFor(pin->port());
    if (!made) {
      hdm::warn("New pin not found in insertInstPins");
      continue;
    }
    target->addPin(made);
  }
}

void FlattenInstance::generateInstNet(Net* inside) {
  if (inside->pins().empty()) return;
  std::string base = inside->name();
  base += '_';
  base += std::to_string(position_);
  auto* made = new Net(uniqueNetName(base));
  made->reservePins(inside->pins().size());
  insertInstPins(inside, made);
  if (made->pins().empty() && made->ports().empty()) {
    err_ << "Empty inside net found\n";
    delete made;
    return;
  }
  bool member = inside->type() == hdm::NET_BUS && inside->bus();
  made->setType(member || inside->type() != hdm::NET_BUS ? inside->type() : hdm::NET_NORMAL);
  parent_->nets().push_back(made);
  if (member) processInsideBus(inside, made);
}

void FlattenInstance::processInsideBus(Net* inside, Net* made) {
  Bus*& bus = insideBuses_[inside->bus()];
  if (!bus) {
    const std::string& name = inside->bus()->name();
    if (name.empty())
      err_ << "Warning!! null name bus inserted for inside net " << made->name() << "\n";
    bus = new Bus(uniqueBusName(name));
    parent_->buses().push_back(bus);
    busesMade_.push_back(bus);
  }
  bus->addNet(made);
}

void FlattenInstance::processPortConnection(Net* inside) {
  if (isConst(inside->type())) {
    propagateInsideConst(inside);
    return;
  }
  busInstNet rec;
  rec.inside = inside;
  for (Port* port : inside->ports()) {
    Pin* pin = inst_->pinFor(port);
    if (!pin) {
      hdm::warn("Can not find pin in processOutsideNets");
      continue;
    }
    Net* outside = pin->net();
    if (!outside) continue;
    auto it = std::lower_bound(rec.nets.begin(), rec.nets.end(), outside,
                               [](const Net* a, const Net* b) { return a->id() < b->id(); });
    if (it == rec.nets.end() || *it != outside) rec.nets.insert(it, outside);
    if (outside->type() == hdm::NET_BUS && outside->bus())
      insertSorted(rec.buses, outside->bus()->id());
    if (isConst(outside->type())) setConstNet(rec, outside->type());
  }
  mergePortNets(rec);
  for (const Pin* pin : inside->pins()) {
    auto it = copies_.find(pin->inst());
    if (it != copies_.end()) insertSorted(rec.insts, it->second->id());
  }
  if (!rec.outside)
    generateInstNet(inside);
  else
    insertInstPins(inside, rec.outside);
  if (rec.value == 2 && !rec.buses.empty()) kept_.push_back(std::move(rec));
}

void FlattenInstance::propagateInsideConst(Net* inside) {
  for (Port* port : inside->ports()) {
    Pin* pin = inst_->pinFor(port);
    if (!pin) {
      hdm::warn("Can not find pin in processOutsideNets");
      return;
    }
    Net* outside = pin->net();
    if (!outside) continue;
    if (outside->bus()) leaveBus(outside, inside->type());
    outside->setType(inside->type());
  }
}

void FlattenInstance::setConstNet(busInstNet& rec, hdm::NetType type) {
  int value = type == hdm::NET_CONST_ZERO ? 0 : 1;
  if (rec.value != 2 && rec.value != value) hdm::warn("merge const zero and const one nets!");
  rec.value = value;
}

Net* FlattenInstance::resolve(Net* net) {
  Net* root = net;
  for (auto it = mergedInto_.find(root); it != mergedInto_.end(); it = mergedInto_.find(root))
    root = it->second;
  while (net != root) {  // shorten the chain for later lookups
    Net*& next = mergedInto_[net];
    Net* up = next;
    next = root;
    net = up;
  }
  return root;
}

void FlattenInstance::mergePortNets(busInstNet& rec) {
  if (rec.nets.empty()) return;
  rec.outside = resolve(rec.nets.front());
  for (size_t k = 1; k < rec.nets.size(); ++k) {
    Net* other = resolve(rec.nets[k]);
    if (other != rec.outside) mergeNet(rec.outside, other);
  }
}

void FlattenInstance::mergeNet(Net* keep, Net* gone) {
  for (Port* port : gone->ports()) {
    parent_->attachNet2Port(port, keep);
    keep->addPort(port);
  }
  gone->clearPorts();
  keep->takePinsFrom(gone);
  if (gone->bus()) leaveBus(gone, hdm::NET_NORMAL);
  mergedInto_[gone] = keep;
  markNet(gone);
}

void FlattenInstance::leaveBus(Net* net, hdm::NetType newType) {
  Bus* bus = net->bus();
  if (!bus) {
    if (net->type() == hdm::NET_BUS) hdm::warn("Null bus ptr");
    net->setType(newType);
    return;
  }
  if (bus->removeNet(net, newType) == 0) markBus(bus);
}

void FlattenInstance::generateOutsideBuses() {
  for (busInstNet& rec : kept_) rec.outside = resolve(rec.outside);
  std::stable_sort(kept_.begin(), kept_.end());
  for (size_t start = 0; start < kept_.size();) {
    size_t end = start + 1;
    while (end < kept_.size() && !(kept_[start] < kept_[end])) ++end;
    std::vector<Net*> nets;
    std::unordered_set<Net*> seen;
    for (size_t k = start; k < end; ++k)
      if (seen.insert(kept_[k].outside).second) nets.push_back(kept_[k].outside);
    if (nets.size() >= 2)
      createBus(nets);
    else if (nets[0]->bus() || nets[0]->type() == hdm::NET_BUS)
      leaveBus(nets[0], hdm::NET_NORMAL);
    start = end;
  }
}

void FlattenInstance::createBus(const std::vector<Net*>& nets) {
  auto* bus = new Bus(uniqueBusName(nets.front()->name() + "_bus"));
  for (Net* n : nets) {
    if (n->bus() || n->type() == hdm::NET_BUS) leaveBus(n, hdm::NET_NORMAL);
    bus->addNet(n);
  }
  parent_->buses().push_back(bus);
  busesMade_.push_back(bus);
}

void FlattenInstance::markNet(Net* net) {
  if (netMarks_.insert(net).second) netsToDelete_.push_back(net);
}

void FlattenInstance::markBus(Bus* bus) {
  if (busMarks_.insert(bus).second) busesToDelete_.push_back(bus);
}

void FlattenInstance::cleanUp() {
  kept_.clear();
  for (Pin& pin : inst_->pins()) {
    Net* net = pin.net();
    if (!net) continue;
    net->removePin(&pin);
    if (net->pins().empty() && net->ports().empty()) markNet(net);
  }
  // Nets about to go leave their buses first, so no bus keeps a dead member.
  for (Net* net : netsToDelete_)
    if (net->bus()) leaveBus(net, hdm::NET_NORMAL);
  // A bus made here that ends with fewer than two nets is no group: dissolve it.
  for (Bus* bus : busesMade_) {
    if (busMarks_.count(bus) || bus->nets().size() >= 2) continue;
    if (!bus->nets().empty()) leaveBus(*bus->nets().begin(), hdm::NET_NORMAL);
    markBus(bus);
  }
  for (Bus* bus : busesToDelete_) {
    for (Net* net : bus->nets()) {
      if (net->bus() == bus && net->type() == hdm::NET_BUS)
        err_ << "Inconsistant net " << net->name() << " bus " << bus->name() << "\n";
    }
    parent_->destroyBus(bus);
  }
  for (Net* net : netsToDelete_) parent_->destroyNet(net);
  parent_->destroyInstance(inst_);

  copies_.clear();
  insideBuses_.clear();
  mergedInto_.clear();
  netsToDelete_.clear();
  netMarks_.clear();
  busesToDelete_.clear();
  busMarks_.clear();
  busesMade_.clear();
  inst_ = nullptr;
  body_ = nullptr;
}
