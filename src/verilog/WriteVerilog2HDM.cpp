#include "verilog/WriteVerilog2HDM.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "support/Assert.h"

using hdm::Bus;
using hdm::Inst;
using hdm::Master;
using hdm::MasterVersionRef;
using hdm::Net;
using hdm::NetType;
using hdm::Pin;
using hdm::Port;
using hdm::PortDir;
using hdm::warn;

namespace {

std::string bitName(const std::string& name, int k) {
  std::string s = name;
  s += '[';
  s += std::to_string(k);
  s += ']';
  return s;
}

// Visits msb, ..., lsb (stepping by +1 or -1).
template <class F>
void forEachIndex(int msb, int lsb, F&& visit) {
  const int step = msb >= lsb ? -1 : 1;
  for (int k = msb;; k += step) {
    visit(k);
    if (k == lsb) break;
  }
}

// Drops the contents of a table; one that grew large is released so that
// clearing it again for every later (small) module stays cheap.
template <class Table>
void resetTable(Table& table) {
  if (table.bucket_count() > 1024)
    table = Table();
  else
    table.clear();
}

}  // namespace

int WriteVerilog2HDM::vBus::recordOf(int k) const {
  int offset;
  if (msb >= lsb) {
    if (k > msb || k < lsb) return -1;
    offset = msb - k;
  } else {
    if (k < msb || k > lsb) return -1;
    offset = k - msb;
  }
  return static_cast<size_t>(offset) < bits.size() ? bits[static_cast<size_t>(offset)] : -1;
}

WriteVerilog2HDM::WriteVerilog2HDM(hdm::Model* model) : model_(model) {}

// --- modules and ports -----------------------------------------------------------

int WriteVerilog2HDM::writeModuleHead(const std::string& name,
                                      const std::vector<std::string>& ports) {
  clearModule();
  if (moduleLookup_.count(name)) {
    // The whole body, up to its endmodule, is skipped.
    warn("duplicate module definition " + name);
    skipping_ = true;
    return 1;
  }
  std::cerr << "Parse module " << name << "\n";
  master_ = model_->addMaster(name);
  version_ = master_->addVersion();
  vMLookup::moduleParam& module = moduleLookup_[name];
  int status = 0;
  for (const std::string& port : ports) {
    int position = static_cast<int>(module.params.size());
    if (!module.position.emplace(port, position).second) {
      warn("duplicate port " + port + " in the head of module " + name);
      status = 1;
      continue;
    }
    vMLookup::param p;
    p.name = port;
    p.position = position;
    module.params.push_back(std::move(p));
  }
  module.portsGenerated = module.params.empty();
  params_ = &module;
  return status;
}

int WriteVerilog2HDM::writeInputPort(const std::string& name, int msb, int lsb) {
  return declarePort(name, 0, msb, lsb);
}

int WriteVerilog2HDM::writeOutputPort(const std::string& name, int msb, int lsb) {
  return declarePort(name, 1, msb, lsb);
}

int WriteVerilog2HDM::declarePort(const std::string& name, int direction, int msb, int lsb) {
  if (!inModule()) return 1;
  auto found = params_->position.find(name);
  if (found == params_->position.end()) {
    warn(name + " not found in param list");
    return 1;
  }
  vMLookup::param& p = params_->params[static_cast<size_t>(found->second)];
  int status = 0;
  if (p.declared) {
    warn("redefine port " + name);
    // Once generated, the ports stay as they are: no second set of ports.
    if (params_->portsGenerated) return 1;
    status = 1;
  } else {
    p.declared = true;
    ++params_->declaredCount;
  }
  p.direction = direction;
  p.hasRange = msb >= 0 && lsb >= 0;
  p.msb = p.hasRange ? msb : -1;
  p.lsb = p.hasRange ? lsb : -1;
  if (!params_->portsGenerated &&
      params_->declaredCount == static_cast<int>(params_->params.size()))
    generatePorts(*params_);
  return status;
}

void WriteVerilog2HDM::generatePorts(vMLookup::moduleParam& module) {
  module.portsGenerated = true;
  for (vMLookup::param& p : module.params) {
    p.firstPort = master_->portCount();
    PortDir dir = p.direction == 0 ? hdm::PORT_IN : p.direction == 1 ? hdm::PORT_OUT : hdm::PORT_BI;
    if (!p.hasRange) {
      generatePortBit(p.name, -1, dir, -1);
      continue;
    }
    // A vector already declared as a wire keeps its record.
    int fresh = vectorIndex(p.name) < 0 ? static_cast<int>(vectors_.size()) : -1;
    if (fresh >= 0) vectors_.push_back(vBus{p.name, p.msb, p.lsb, {}});
    forEachIndex(p.msb, p.lsb, [&](int k) { generatePortBit(p.name, k, dir, fresh); });
    if (fresh >= 0) vectorIndex_.emplace(p.name, fresh);
  }
}

void WriteVerilog2HDM::generatePortBit(const std::string& name, int k, PortDir dir,
                                       int freshVector) {
  std::string portName = k < 0 ? name : bitName(name, k);
  Port* port = master_->addPort(portName, dir);
  // A bit already used (a wire, or a connection made before the declaration)
  // carries the port on its own net.
  int record = findBit(name, k);
  if (record < 0) {
    record = addRecord("", nullptr);
    if (freshVector >= 0) {
      signals_[static_cast<size_t>(record)].vector = freshVector;
      signals_[static_cast<size_t>(record)].bit = k;
    } else {
      signals_[static_cast<size_t>(record)].name = portName;
      signalIndex_.emplace(portName, record);
      if (k >= 0) looseBitNames_.insert(name);
    }
  }
  if (freshVector >= 0) vectors_[static_cast<size_t>(freshVector)].bits.push_back(record);
  int root = findRoot(record);
  Net* net = signals_[static_cast<size_t>(root)].net;
  if (!net) {
    net = createNet(recordName(root), hdm::NET_NORMAL);
    signals_[static_cast<size_t>(root)].net = net;
  }
  net->addPort(port);
  version_->attachNet2Port(port, net);
}

int WriteVerilog2HDM::writeWire(const std::string& name, int msb, int lsb) {
  if (!inModule()) return 1;
  if (msb < 0 || lsb < 0) {
    if (findBit(name, -1) < 0) signalIndex_.emplace(name, addRecord(name, nullptr));
    return 0;
  }
  if (int known = vectorIndex(name); known >= 0) {
    const vBus& v = vectors_[static_cast<size_t>(known)];
    if (v.bits.size() != static_cast<size_t>(std::abs(msb - lsb)) + 1)
      std::cerr << "Warning!! redefine bus with a different size\n";
    return 1;
  }
  const int index = static_cast<int>(vectors_.size());
  vBus v{name, msb, lsb, {}};
  v.bits.reserve(static_cast<size_t>(std::abs(msb - lsb)) + 1);
  forEachIndex(msb, lsb, [&](int k) {
    int record = findBit(name, k);  // a bit used before the declaration
    if (record < 0) {
      record = addRecord("", nullptr);
      signals_[static_cast<size_t>(record)].vector = index;
      signals_[static_cast<size_t>(record)].bit = k;
    }
    v.bits.push_back(record);
  });
  vectors_.push_back(std::move(v));
  vectorIndex_.emplace(name, index);
  return 0;
}

// --- assignments -------------------------------------------------------------------

int WriteVerilog2HDM::writeAssignment(const std::string& left, const std::string& right,
                                      int leftKind, int rightKind, int rightIsConstant,
                                      int leftIndex, int rightIndex) {
  if (!inModule()) return 1;
  int l = findBit(left, leftKind == 0 ? -1 : leftIndex);
  if (l < 0) {
    warn("Assign error! Can not find " + left);
    return 1;
  }
  if (rightIsConstant) {
    // The value goes to the root, where the tree's net is.
    signals_[static_cast<size_t>(findRoot(l))].value = right == "0" ? 0 : 1;
    return 0;
  }
  int r = findBit(right, rightKind == 0 ? -1 : rightIndex);
  if (r < 0) {
    warn("Assign error! Can not find " + right);
    return 1;
  }
  join(l, r);
  return 0;
}

// --- instances -----------------------------------------------------------------------

int WriteVerilog2HDM::writeInstance(const std::string& masterName, const std::string& name,
                                    std::vector<formalActualList> connections) {
  if (!inModule()) return 1;
  std::cout << masterName << " " << name << "\n";
  Master* master = model_->masters().get(masterName);
  if (!master) {
    warn("module " + masterName + " not found");
    warn("Module " + masterName + " not found");
    return 1;
  }
  if (master == master_) {
    // A module inside itself would make the hierarchy endless.
    warn("module " + masterName + " instantiates itself");
    return 1;
  }
  auto* inst = new Inst(MasterVersionRef{master, 0}, uniqueInstanceName(name));
  inst->defaultName();
  inst->generatePins();
  version_->instances().push_back(inst);

  auto lookup = moduleLookup_.find(masterName);
  if (lookup == moduleLookup_.end()) {
    warn("Module " + masterName + " not found in moduleMap");
    return 1;
  }
  const vMLookup::moduleParam& formals = lookup->second;
  size_t named = 0;
  for (const formalActualList& c : connections) named += c.formal.empty() ? 0 : 1;
  if (named != 0 && named != connections.size()) {
    warn("some formal parameter names are missing " + inst->name());
    return 1;
  }
  if (!formals.portsGenerated) {
    if (!connections.empty())
      warn("module " + masterName + " has no ports: a port of its head is never declared");
    return 1;
  }

  int status = 0;
  std::vector<actualBit>& bits = actualBits_;
  for (size_t i = 0; i < connections.size(); ++i) {
    const formalActualList& c = connections[i];
    const vMLookup::param* formal = nullptr;
    if (named) {
      auto at = formals.position.find(c.formal);
      if (at == formals.position.end()) {
        warn("can not find parameter " + c.formal);
        status = 1;
        continue;
      }
      formal = &formals.params[static_cast<size_t>(at->second)];
    } else if (i < formals.params.size()) {
      formal = &formals.params[i];
    } else {
      warn("instance " + inst->name() + " has more connections than module " + masterName +
           " has ports");
      status = 1;
      break;
    }
    bits.clear();
    expandActuals(c.actuals, bits);
    const int width = formal->width();
    if (static_cast<size_t>(width) != bits.size()) {
      warn("size of formal param " + formal->name + " does not match actual param");
      std::cout << "formal size = " << width << "\n"
                << "actual size = " << bits.size() << "\n";
      status = 1;
      continue;
    }
    OSVO_ASSERT(formal->firstPort >= 0 && formal->firstPort + width <= inst->pinCount());
    for (int k = 0; k < width; ++k) {
      Pin* pin = inst->pin(formal->firstPort + k);
      if (pin->net()) {
        warn("port " + pin->port()->name() + " of instance " + inst->name() +
             " is connected twice");
        status = 1;
        continue;
      }
      connectBit(bits[static_cast<size_t>(k)], pin);
    }
  }
  return status;
}

std::string WriteVerilog2HDM::uniqueInstanceName(const std::string& name) {
  if (name.empty() || !version_->instances().get(name)) return name;
  int& suffix = instanceSuffix_[name];
  std::string unique;
  do {
    unique = name + "_" + std::to_string(++suffix);
  } while (version_->instances().get(unique));
  return unique;
}

void WriteVerilog2HDM::expandActuals(const std::vector<arrayVar>& actuals,
                                     std::vector<actualBit>& bits) const {
  for (const arrayVar& a : actuals) {
    if (a.constant) {
      bits.push_back(actualBit{-1, a.name, -1, true});
    } else if (a.first < 0 && a.second < 0) {
      // A known bit, all bits of a known vector, or a new signal.
      if (int record = findBit(a.name, -1); record >= 0) {
        bits.push_back(actualBit{record, {}, -1, false});
      } else if (int v = vectorIndex(a.name); v >= 0) {
        for (int bit : vectors_[static_cast<size_t>(v)].bits)
          bits.push_back(actualBit{bit, {}, -1, false});
      } else {
        bits.push_back(actualBit{-1, a.name, -1, false});
      }
    } else {
      forEachIndex(a.first, a.second, [&](int k) {
        int record = findBit(a.name, k);
        bits.push_back(record >= 0 ? actualBit{record, {}, -1, false}
                                   : actualBit{-1, a.name, k, false});
      });
    }
  }
}

void WriteVerilog2HDM::connectBit(const actualBit& bit, Pin* pin) {
  int record = bit.record;
  if (record < 0) {
    // Constants are keyed apart from names: no name begins with an apostrophe.
    std::string name = bit.index < 0 ? bit.name : bitName(bit.name, bit.index);
    std::string key = bit.constant ? "'" + name : name;
    auto found = signalIndex_.find(key);
    if (found != signalIndex_.end()) {
      record = found->second;
    } else {
      record = addRecord(name, nullptr);
      signalIndex_.emplace(std::move(key), record);
      if (bit.index >= 0) looseBitNames_.insert(bit.name);
    }
  }
  const int root = findRoot(record);
  Net* net = signals_[static_cast<size_t>(root)].net;
  if (!net) {
    NetType type = hdm::NET_NORMAL;
    if (bit.constant) {
      if (bit.name == "0") {
        type = hdm::NET_CONST_ZERO;
      } else if (bit.name == "1") {
        type = hdm::NET_CONST_ONE;
      } else {
        std::cerr << "Unknown binary constant " << bit.name << " found\n";
      }
    }
    net = createNet(recordName(root), type);
    signals_[static_cast<size_t>(root)].net = net;
  }
  net->addPin(pin);
}

Net* WriteVerilog2HDM::createNet(const std::string& name, NetType type) {
  // The names are tracked here rather than through the version's name index,
  // which would otherwise be built (and kept) for every module.
  const std::string base = name.empty() ? std::string("net") : name;
  std::string unique = base;
  if (netNames_.count(unique)) {
    int& suffix = netSuffix_[base];
    do {
      unique = base + "_" + std::to_string(++suffix);
    } while (netNames_.count(unique));
  }
  netNames_.insert(unique);
  auto* net = new Net(std::move(unique), type);
  version_->nets().push_back(net);
  return net;
}

// --- end of a module -----------------------------------------------------------------

int WriteVerilog2HDM::endModule() {
  if (!inModule()) {
    const bool skipped = skipping_;  // the end of a duplicate definition
    clearModule();
    return skipped ? 0 : 1;
  }
  applyConstants();
  for (const vBus& v : vectors_) generateBuses(v);
  clearModule();
  return 0;
}

void WriteVerilog2HDM::clearModule() {
  master_ = nullptr;
  version_ = nullptr;
  params_ = nullptr;
  skipping_ = false;
  signals_.clear();
  vectors_.clear();
  resetTable(signalIndex_);
  resetTable(looseBitNames_);
  resetTable(vectorIndex_);
  resetTable(instanceSuffix_);
  resetTable(netSuffix_);
  resetTable(netNames_);
}
