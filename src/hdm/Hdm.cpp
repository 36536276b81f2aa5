#include "hdm/Hdm.h"

#include <algorithm>
#include <string>

#include "hdm/HdmTech.h"
#include "support/Error.h"

namespace hdm {

MasterVersion* MasterVersionRef::get() const {
  return master ? master->version(version) : nullptr;
}

// ---- Pin and Inst ----

Pin::~Pin() {
  if (net_) net_->removePin(this);
}

Inst::Inst(MasterVersionRef ref, std::string name) : ref_(ref), name_(std::move(name)) {}

Inst::~Inst() = default;

void Inst::generatePins() {
  pins_.reset();
  pinCount_ = 0;
  if (!ref_.master) return;
  int n = ref_.master->portCount();
  if (n == 0) return;
  pins_ = std::make_unique<Pin[]>(static_cast<size_t>(n));
  pinCount_ = n;
  for (int i = 0; i < n; ++i) {
    Pin& p = pins_[static_cast<size_t>(i)];
    p.inst_ = this;
    p.index_ = i;
  }
}

void Inst::defaultName() {
  if (!name_.empty()) return;
  name_ = "hdmInst_" + std::to_string(id().high) + "_" + std::to_string(id().low);
}

Pin* Inst::pinFor(const Port* port) const {
  if (!ref_.master || !port) return nullptr;
  int pos = ref_.master->getPortIndex(port);
  if (pos < 0) return nullptr;
  if (pos >= pinCount_) osvo::fail("\nSomething is wrong!\n");
  return &pins_[static_cast<size_t>(pos)];
}

Pin* Inst::findPin(std::string_view portName) const {
  if (!ref_.master) return nullptr;
  return pinFor(ref_.master->ports().get(portName));
}

void Inst::mutate2newMaster(Master* master) {
  if (!master || master->portCount() != pinCount_) {
    warn("new port list size must be the same as pinList size");
    return;
  }
  ref_.master = master;  // pin i now stands for the new master's port i
}

// ---- Net ----

Net::~Net() {
  for (Pin* p : pins_.view()) {
    p->net_ = nullptr;
    p->netPos_ = -1;
  }
  if (bus_) bus_->unlist(this);
}

void Net::addPin(Pin* pin) {
  if (!pin || pin->net_ == this) return;
  if (pin->net_) pin->net_->removePin(pin);
  pin->net_ = this;
  pin->netPos_ = static_cast<int>(pins_.size());
  pins_.push_back(pin);
}

void Net::removePin(Pin* pin) {
  if (!pin || pin->net_ != this) return;
  size_t pos = static_cast<size_t>(pin->netPos_);
  Pin* last = pins_.back();
  pins_[pos] = last;
  last->netPos_ = static_cast<int>(pos);
  pins_.pop_back();
  pin->net_ = nullptr;
  pin->netPos_ = -1;
}

void Net::takePinsFrom(Net* other) {
  if (!other || other == this) return;
  pins_.reserve(pins_.size() + other->pins_.size());
  for (Pin* p : other->pins_.view()) {
    p->net_ = this;
    p->netPos_ = static_cast<int>(pins_.size());
    pins_.push_back(p);
  }
  other->pins_.clear();
}

// ---- Bus ----

Bus::~Bus() {
  for (Net* n : nets_) {
    if (n->bus_ != this) continue;
    n->bus_ = nullptr;
    if (n->type_ == NET_BUS) n->type_ = NET_NORMAL;
  }
}

void Bus::unlist(Net* net) {
  int pos = nets_.getIndex(net->name());
  if (pos >= 0 && nets_.at(pos) == net)
    nets_.erase(pos);
  else
    nets_.eraseObject(net);
}

void Bus::addNet(Net* net) {
  if (!net) return;
  if (net->bus_ && net->bus_ != this) net->bus_->unlist(net);
  net->type_ = NET_BUS;
  if (net->bus_ == this) return;
  net->bus_ = this;
  nets_.push_back(net);
}

int Bus::removeNet(Net* net, NetType newType) {
  if (!net) return nets_.size();
  if (net->type_ != NET_BUS) warn("Remove a net with non BUS type from bus");
  if (net->bus_ == this) {
    unlist(net);
    net->type_ = newType;
    net->bus_ = nullptr;
    if (nets_.size() == 1) {
      Net* last = *nets_.begin();
      unlist(last);
      if (last->bus_ == this) {
        last->bus_ = nullptr;
        last->type_ = NET_NORMAL;
      }
    }
  } else {
    if (net->bus_) warn("Remove a net with BUS PTR pointed to somewhere else");
    int pos = nets_.getIndex(net->name());
    if (pos >= 0) nets_.erase(pos);
  }
  return nets_.size();
}

std::vector<Inst*> Bus::instances() const {
  std::vector<Inst*> out;
  if (nets_.empty()) return out;
  const Net* first = *nets_.begin();
  out.reserve(first->pins().size());
  for (const Pin* p : first->pins()) out.push_back(p->inst());
  return out;
}

// ---- MasterVersion ----

MasterVersion::MasterVersion(Master* master) : master_(master) {
  if (master_) buildPortList(0);
}

MasterVersion::~MasterVersion() {
  clearBody();
}

void MasterVersion::clearBody() {
  std::vector<Inst*> insts(instances_.begin(), instances_.end());
  std::vector<Net*> nets(nets_.begin(), nets_.end());
  std::vector<Bus*> buses(buses_.begin(), buses_.end());
  instances_.clear();
  nets_.clear();
  buses_.clear();
  for (auto& mv : mvPorts_) mv->setNet(nullptr);
  // Everything goes, so the cross references are cut wholesale first: no pin
  // leaves its net one by one, no net leaves its bus.
  for (Inst* i : insts) {
    for (Pin& p : i->pins()) {
      p.net_ = nullptr;
      p.netPos_ = -1;
    }
  }
  for (Net* n : nets) {
    n->pins_.clear();
    n->bus_ = nullptr;
  }
  for (Bus* b : buses) {
    b->nets().clear();
    delete b;
  }
  for (Inst* i : insts) delete i;
  for (Net* n : nets) delete n;
}

int MasterVersion::index() const {
  return master_ ? master_->versionIndex(this) : -1;
}

const std::vector<std::unique_ptr<MVPort>>& MasterVersion::mvPorts() {
  if (master_ && static_cast<int>(mvPorts_.size()) < master_->portCount())
    buildPortList(static_cast<int>(mvPorts_.size()));
  return mvPorts_;
}

void MasterVersion::buildPortList(int from) {
  if (!master_) return;
  int start = std::max(from, static_cast<int>(mvPorts_.size()));
  for (int i = start; i < master_->portCount(); ++i)
    mvPorts_.push_back(std::make_unique<MVPort>(master_->ports().at(i)));
}

MVPort* MasterVersion::mvPort(const Port* port) {
  int pos = master_ ? master_->getPortIndex(port) : -1;
  if (pos < 0) return nullptr;
  if (pos >= static_cast<int>(mvPorts_.size())) buildPortList(static_cast<int>(mvPorts_.size()));
  return mvPorts_[static_cast<size_t>(pos)].get();
}

Net* MasterVersion::whichNet(const Port* port) {
  MVPort* mv = mvPort(port);
  return mv ? mv->net() : nullptr;
}

void MasterVersion::attachNet2Port(Port* port, Net* net) {
  MVPort* mv = mvPort(port);
  if (!mv) {
    warn("null port in whichNet");
    return;
  }
  mv->setNet(net);
}

void MasterVersion::destroyInstance(Inst* inst) {
  if (!inst) return;
  instances_.eraseObject(inst);
  delete inst;
}

void MasterVersion::destroyNet(Net* net) {
  if (!net) return;
  nets_.eraseObject(net);
  for (Port* port : net->ports()) {
    MVPort* mv = mvPort(port);
    if (mv && mv->net() == net) mv->setNet(nullptr);
  }
  delete net;
}

void MasterVersion::destroyBus(Bus* bus) {
  if (!bus) return;
  buses_.eraseObject(bus);
  delete bus;
}

// ---- Master ----

Master::~Master() {
  versions_.clear();
  for (Port* p : ports_) delete p;
}

Port* Master::addPort(std::string name, PortDir dir) {
  auto* port = new Port(std::move(name), dir);
  ports_.push_back(port);
  return port;
}

int Master::getPortIndex(const Port* port) const {
  return ports_.contains(port) ? port->position() : -1;
}

MasterVersion* Master::version(int i) const {
  if (i < 0 || i >= versionCount()) return nullptr;
  return versions_[static_cast<size_t>(i)].get();
}

MasterVersion* Master::addVersion() {
  versions_.push_back(std::make_unique<MasterVersion>(this));
  return versions_.back().get();
}

int Master::versionIndex(const MasterVersion* v) const {
  for (size_t i = 0; i < versions_.size(); ++i)
    if (versions_[i].get() == v) return static_cast<int>(i);
  return -1;
}

void Master::computePortStats() {
  if (ports_.empty()) osvo::fail("\nerror: master " + name_ + " has no ports!\n");
  inputs_ = outputs_ = bis_ = 0;
  for (const Port* p : ports_) {
    if (p->dir() == PORT_IN)
      ++inputs_;
    else if (p->dir() == PORT_OUT)
      ++outputs_;
    else
      ++bis_;
  }
}

// ---- Model ----

Model::Model() = default;

Model::~Model() {
  for (Master* m : masters_) delete m;
}

Master* Model::addMaster(std::string name) {
  auto* master = new Master(std::move(name));
  masters_.push_back(master);
  return master;
}

void Model::setTech(std::unique_ptr<Tech> tech) {
  tech_ = std::move(tech);
}

}  // namespace hdm
