#include "HdmBuilder.h"

#include <sstream>
#include <stdexcept>

#include "hdm/HdmVerify.h"

namespace hdmtest {

std::string bit(const std::string& name, int i) {
  return name + "[" + std::to_string(i) + "]";
}

std::string numbered(const std::string& prefix, int i) {
  std::string text = prefix;
  text += std::to_string(i);
  return text;
}

hdm::Master* HdmBuilder::master(const std::string& name, std::initializer_list<PortSpec> ports) {
  hdm::Master* m = model_.addMaster(name);
  std::vector<hdm::Port*> made;
  for (const PortSpec& p : ports) {
    if (p.width == 0) {
      made.push_back(m->addPort(p.name, p.dir));
    } else {
      for (int i = p.width - 1; i >= 0; --i) made.push_back(m->addPort(bit(p.name, i), p.dir));
    }
  }
  hdm::MasterVersion* v = m->addVersion();
  for (hdm::Port* port : made) {
    auto* n = new hdm::Net(port->name());
    n->addPort(port);
    v->attachNet2Port(port, n);
    v->nets().push_back(n);
  }
  return m;
}

hdm::Inst* HdmBuilder::inst(hdm::Master* parent, hdm::Master* m, const std::string& name) {
  auto* i = new hdm::Inst({m, 0}, name);
  i->generatePins();
  body(parent)->instances().push_back(i);
  return i;
}

hdm::Net* HdmBuilder::net(hdm::Master* parent, const std::string& name) {
  hdm::MasterVersion* v = body(parent);
  if (hdm::Net* n = v->nets().get(name)) return n;
  auto* n = new hdm::Net(name);
  v->nets().push_back(n);
  return n;
}

hdm::Net* HdmBuilder::connect(hdm::Master* parent, hdm::Inst* i, const std::string& portName,
                              const std::string& netName) {
  hdm::Pin* pin = i->findPin(portName);
  if (!pin) throw std::logic_error("no port " + portName + " on " + i->name());
  hdm::Net* n = net(parent, netName);
  n->addPin(pin);
  return n;
}

void HdmBuilder::connectBus(hdm::Master* parent, hdm::Inst* i, const std::string& port,
                            const std::string& net, int width) {
  for (int k = width - 1; k >= 0; --k) connect(parent, i, bit(port, k), bit(net, k));
}

hdm::Bus* HdmBuilder::bus(hdm::Master* parent, const std::string& name,
                          const std::vector<std::string>& nets) {
  auto* b = new hdm::Bus(name);
  for (const std::string& n : nets) b->addNet(net(parent, n));
  body(parent)->buses().push_back(b);
  return b;
}

void HdmBuilder::joinPorts(hdm::Master* parent, const std::string& keptNet,
                           const std::string& mergedNet) {
  hdm::MasterVersion* v = body(parent);
  hdm::Net* kept = v->nets().get(keptNet);
  hdm::Net* merged = v->nets().get(mergedNet);
  for (hdm::Port* p : merged->ports()) {
    kept->addPort(p);
    v->attachNet2Port(p, kept);
  }
  merged->clearPorts();
  kept->takePinsFrom(merged);
  v->destroyNet(merged);
}

int verifyErrors(const hdm::Model& model, std::string* report) {
  std::ostringstream out;
  hdm::verifyHDM verifier(out);
  verifier.verifyModel(&model);
  if (report) *report += out.str();
  return verifier.errorCount();
}

}  // namespace hdmtest
