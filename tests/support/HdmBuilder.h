#pragma once
// Builds hierarchical design models in tests the way the Verilog writer does:
// every master gets version 0, and every port a net of the same name in it
// that carries the port.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "hdm/Hdm.h"

namespace hdmtest {

struct PortSpec {
  std::string name;
  hdm::PortDir dir;
  int width = 0;  // 0: one bit; n: bits name[n-1] down to name[0]
};

// "name[i]" for a bit of a vector.
std::string bit(const std::string& name, int i);
// "prefix" followed by the number.
std::string numbered(const std::string& prefix, int i);

class HdmBuilder {
 public:
  HdmBuilder() = default;

  hdm::Model& model() { return model_; }

  // A master with its ports (vectors expanded, most significant bit first) and
  // version 0 holding one port net per port bit.
  hdm::Master* master(const std::string& name, std::initializer_list<PortSpec> ports);
  static hdm::MasterVersion* body(hdm::Master* m) { return m->version(0); }

  // An instance of `m` (version 0) appended to `parent`'s version 0.
  hdm::Inst* inst(hdm::Master* parent, hdm::Master* m, const std::string& name);
  // The net named `name` of `parent`'s version 0, created when missing.
  hdm::Net* net(hdm::Master* parent, const std::string& name);
  // Joins the pin of `i` for port `portName` to the net `netName` of `parent`.
  hdm::Net* connect(hdm::Master* parent, hdm::Inst* i, const std::string& portName,
                    const std::string& netName);
  // Joins bit k of the vector port to bit k of the vector net, for every bit.
  void connectBus(hdm::Master* parent, hdm::Inst* i, const std::string& port,
                  const std::string& net, int width);
  // Groups the named nets of `parent` into a new bus.
  hdm::Bus* bus(hdm::Master* parent, const std::string& name, const std::vector<std::string>& nets);
  // Makes `netName` carry the port `portName` of `parent` as well (an assign
  // between two port nets).
  void joinPorts(hdm::Master* parent, const std::string& keptNet, const std::string& mergedNet);

  // Sets the model's top module to version 0 of `m`.
  void setTop(hdm::Master* m) { model_.topModule = {m, 0}; }

 private:
  hdm::Model model_;
};

// Runs verifyHDM over the whole model and returns its error count; the report
// is appended to `report` when given.
int verifyErrors(const hdm::Model& model, std::string* report = nullptr);

}  // namespace hdmtest
