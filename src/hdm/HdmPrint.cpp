#include "hdm/HdmPrint.h"

namespace hdm {

void printModel(const Model* model, std::ostream& out) {
  if (!model) {
    out << "Model 0\n";
    return;
  }
  if (model->tech()) printTech(model->tech(), out);
  for (const Master* m : model->masters()) printMaster(m, out);
}

void printTech(const Tech* tech, std::ostream& out) {
  if (!tech) {
    out << "Tech 0\n";
    return;
  }
  out << "Tech info:\n";
  out << "\tLambda = " << tech->lambda << " number of layers = " << tech->layerCount() << "\n";
  for (int l = 0; l < tech->layerCount(); ++l) {
    out << "\tLayer " << l;
    for (int p = 0; p < Tech::kProperties; ++p) out << " " << tech->layer(l).getProperty(p);
    out << " direction " << tech->layer(l).direction << "\n";
  }
}

void printMaster(const Master* master, std::ostream& out) {
  if (!master) {
    out << "Master 0\n";
    return;
  }
  out << "******************\n";
  out << "Master " << master->name() << "\n";
  out << "Number of ports: " << master->portCount() << "\n";
  for (const Port* p : master->ports()) printPort(p, out);
  out << "------\n";
  for (int v = 0; v < master->versionCount(); ++v) {
    out << "------version " << v << "\n";
    printMasterVersion(master->version(v), out);
  }
}

void printPort(const Port* port, std::ostream& out) {
  if (!port) {
    out << "Port 0\n";
    return;
  }
  out << "Port " << port->name() << " " << printDir(port->dir()) << "\n";
}

void printMasterVersion(const MasterVersion* version, std::ostream& out) {
  if (!version) {
    out << "MasterVersion 0\n";
    return;
  }
  out << "\tNumber of instances: " << version->instances().size() << "\n";
  out << "\tNumber of nets: " << version->nets().size() << "\n";
  for (const Inst* i : version->instances()) printInst(i, out);
  out << "\t------\n";
  for (const Net* n : version->nets()) printNet(n, out);
  out << "\t------\n";
  for (const Bus* b : version->buses()) printBus(b, out);
}

void printInst(const Inst* inst, std::ostream& out) {
  if (!inst) {
    out << "Inst 0\n";
    return;
  }
  const MasterVersionRef& ref = inst->masterRef();
  out << "Inst " << inst->name() << " of " << (ref.master ? ref.master->name() : "NULL")
      << " version " << ref.version << "\n";
  out << "Number of pins: " << inst->pinCount() << "\n";
  for (const Pin& p : inst->pins()) printPin(&p, out);
}

void printPin(const Pin* pin, std::ostream& out) {
  if (!pin) {
    out << "Pin 0\n";
    return;
  }
  out << "pin " << static_cast<const void*>(pin) << " in instance  "
      << (pin->inst() ? pin->inst()->name() : "NULL") << " port "
      << (pin->port() ? pin->port()->name() : "NULL") << " in net "
      << (pin->net() ? pin->net()->name() : "NULL") << "\n";
}

void printNet(const Net* net, std::ostream& out) {
  if (!net) {
    out << "net 0\n";
    return;
  }
  out << "Net " << net->name();
  if (net->type() == NET_BUS) out << " is BUS " << (net->bus() ? net->bus()->name() : "NULL");
  out << "\n";
  for (const Pin* p : net->pins()) printPin(p, out);
  for (const Port* p : net->ports()) printPort(p, out);
}

void printBus(const Bus* bus, std::ostream& out) {
  if (!bus) {
    out << "Bus 0\n";
    return;
  }
  out << "Bus " << bus->name() << "\n";
  for (const Net* n : bus->nets()) out << "\t net " << n->name() << "\n";
  out << "\t\t-----\n";
  for (const Inst* i : bus->instances()) out << "\t Inst " << i->name() << "\n";
}

}  // namespace hdm
