#include "hdm/HdmVerify.h"

namespace hdm {

namespace {
std::string idText(int high, int low) {
  std::string text = std::to_string(high);
  text += ", ";
  text += std::to_string(low);
  return "id " + text;
}
template <class T>
std::string idText(const T* obj) {
  return idText(obj->id().high, obj->id().low);
}
}  // namespace

std::ostream& verifyHDM::error() {
  ++errors_;
  return out_;
}

std::ostream& verifyHDM::notice() {
  ++notices_;
  return out_;
}

void verifyHDM::verifyModel(const Model* model) {
  if (!model) {
    error() << "Model 0\n";
    return;
  }
  for (const Master* m : model->masters()) verifyMaster(m);
  const MasterVersionRef& top = model->topModule;
  if (top.master && !top.get())
    error() << "Top module " << top.master->name() << " has no version " << top.version << "\n";
}

void verifyHDM::verifyMaster(const Master* master) {
  if (!master) {
    error() << "Master 0\n";
    return;
  }
  out_ << "Verify Master " << master->name() << "\n";
  if (master->name().empty()) error() << "NULL master name for " << idText(master) << "\n";
  int pos = 0;
  for (const Port* p : master->ports()) {
    verifyPort(p);
    if (p->position() != pos)
      error() << "Port " << p->name() << " of master " << master->name() << " at position " << pos
              << " records position " << p->position() << "\n";
    ++pos;
  }
  for (int v = 0; v < master->versionCount(); ++v) {
    MasterVersion* version = master->version(v);
    if (version->master() != master)
      error() << "Version " << v << " of master " << master->name()
              << " does not point back to it\n";
    verifyMasterVersion(version);
  }
}

void verifyHDM::verifyPort(const Port* port) {
  if (!port) {
    error() << "Port 0\n";
    return;
  }
  if (port->name().empty()) error() << "null PORT name for " << idText(port) << "\n";
  if (printDir(port->dir()) == std::string_view("ERROR"))
    error() << "ERROR DIR for port " << port->name() << "\n";
}

void verifyHDM::verifyMasterVersion(MasterVersion* version) {
  if (!version) {
    error() << "MasterVersion 0\n";
    return;
  }
  for (const Inst* i : version->instances()) verifyInst(i, version);
  for (const Net* n : version->nets()) verifyNet(n, version);
  for (const Bus* b : version->buses()) verifyBus(b, version);
  // Every version port's net must be a net of the version carrying the port.
  for (const auto& mv : version->mvPorts()) {
    const Net* net = mv->net();
    if (!net) continue;
    bool listed = false;
    for (const Port* p : net->ports()) listed = listed || p == mv->port();
    if (!version->nets().contains(net) || !listed)
      error() << "Inconsistant port-net pair: port " << mv->port()->name() << " net " << net->name()
              << "\n";
  }
}

void verifyHDM::verifyPin(const Pin* pin, const char* where) {
  if (!pin) {
    error() << "NULL PIN in " << where << "\n";
    return;
  }
  if (!pin->port()) error() << "NULL PORT PTR in " << where << "\n";
  if (!pin->inst()) error() << "NULL INST PTR in " << where << "\n";
}

void verifyHDM::verifyInst(const Inst* inst, MasterVersion* version) {
  if (!inst) {
    error() << "Null instant in version of "
            << (version->master() ? version->master()->name() : "NULL") << "\n";
    return;
  }
  if (inst->name().empty()) error() << "Null instant " << idText(inst) << "\n";
  const Master* master = inst->master();
  if (!master || !inst->masterVersion()) {
    error() << "Inst " << inst->name() << " refers to no master version\n";
    return;
  }
  if (inst->pinCount() != master->portCount())
    error() << "Inst " << inst->name() << " has " << inst->pinCount() << " pins, its master "
            << master->name() << " " << master->portCount() << " ports\n";
  bool fansOut = false;
  int i = 0;
  for (const Pin& pin : inst->pins()) {
    verifyPin(&pin, inst->name().c_str());
    if (pin.inst() != inst)
      error() << "In Inst " << inst->name() << " pin-inst pair inconsistent " << i << "\n";
    if (pin.port() && master->getPortIndex(pin.port()) != i)
      error() << "In Inst " << inst->name() << " pin " << i << " does not stand for port " << i
              << " of " << master->name() << "\n";
    if (const Net* net = pin.net()) {
      if (!version->nets().contains(net))
        error() << "In Inst " << inst->name() << " pin " << i << " net " << net->name()
                << " not in Master Version\n";
      if (pin.port() && pin.port()->dir() == PORT_OUT) fansOut = true;
    }
    ++i;
  }
  if (!fansOut) notice() << "Inst " << inst->name() << " does not fanout\n";
}

void verifyHDM::verifyNet(const Net* net, MasterVersion* version) {
  if (!net) {
    error() << "net 0\n";
    return;
  }
  if (net->name().empty()) error() << "NULL net name for " << idText(net) << "\n";
  if (net->type() == NET_BUS) {
    const Bus* bus = net->bus();
    if (!bus)
      error() << "NULL bus PTR for net " << net->name() << "\n";
    else if (!version->buses().contains(bus))
      error() << "Net " << net->name() << " in BUS " << bus->name() << " not in MasterVersion\n";
    else if (bus->nets().positionOf(net) < 0)
      error() << "Net " << net->name() << " points to BUS " << bus->name()
              << " which does not list it\n";
  } else if (net->bus()) {
    error() << "Net " << net->name() << " of type " << netTypeName(net->type()) << " points to BUS "
            << net->bus()->name() << "\n";
  }
  for (const Pin* pin : net->pins()) {
    if (!pin) {
      error() << "NULL PIN in net " << net->name() << "\n";
      continue;
    }
    if (pin->net() != net)
      error() << "Inconsistant pin-net pair: net " << net->name() << " pin "
              << static_cast<const void*>(pin) << "\n";
    if (!pin->inst() || !version->instances().contains(pin->inst()))
      error() << "In net " << net->name() << " pin in an inst "
              << (pin->inst() ? pin->inst()->name() : "NULL") << " not in MasterVersion\n";
  }
  for (const Port* port : net->ports()) {
    if (!port || version->whichNet(port) != net)
      error() << "Inconsistant port-net pair: net " << net->name() << " port "
              << (port ? port->name() : "NULL") << "\n";
  }
  if (net->pins().empty()) notice() << "Zero pin net discovered: " << net->name() << "\n";
  ++netStat_[net->pins().size()];
}

void verifyHDM::verifyBus(const Bus* bus, MasterVersion* version) {
  if (!bus) {
    error() << "NULL BUS\n";
    return;
  }
  if (bus->name().empty()) error() << "NULL bus name\n";
  if (bus->nets().size() < 2) error() << "Bus " << bus->name() << " has zero ot one net only\n";
  for (const Net* net : bus->nets()) {
    if (!version->nets().contains(net)) {
      error() << "In Bus " << bus->name() << " Net " << net->name() << " can not found\n";
      continue;
    }
    if (net->type() != NET_BUS)
      error() << "In Bus " << bus->name() << " Net " << net->name() << " does not have BUS type ,"
              << netTypeName(net->type()) << " is found\n";
    if (net->bus() != bus)
      error() << "In Bus " << bus->name() << " Net " << net->name() << " bus PTR does not match "
              << static_cast<const void*>(bus) << " PTR in net "
              << static_cast<const void*>(net->bus()) << "\n";
  }
}

void verifyHDM::reportNetStat() {
  out_ << "Output net stats\n";
  for (const auto& [pins, count] : netStat_)
    if (static_cast<long long>(pins) >= threshold_)
      out_ << pins << "-pin net count: " << count << "\n";
}

}  // namespace hdm
