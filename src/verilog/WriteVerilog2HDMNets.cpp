// The writer's signal records: lookup, the union-find of equivalent signals
// with its net merging, constants and bus generation.
#include <algorithm>

#include "verilog/WriteVerilog2HDM.h"

using hdm::Bus;
using hdm::Net;
using hdm::Pin;
using hdm::Port;
using hdm::warn;

int WriteVerilog2HDM::addRecord(std::string name, Net* net) {
  const int index = static_cast<int>(signals_.size());
  vNet record;
  record.name = std::move(name);
  record.parent = index;
  record.net = net;
  signals_.push_back(std::move(record));
  return index;
}

std::string WriteVerilog2HDM::recordName(int record) const {
  const vNet& s = signals_[static_cast<size_t>(record)];
  if (!s.name.empty() || s.vector < 0) return s.name;
  std::string name = vectors_[static_cast<size_t>(s.vector)].name;
  name += '[';
  name += std::to_string(s.bit);
  name += ']';
  return name;
}

int WriteVerilog2HDM::vectorIndex(const std::string& name) const {
  auto found = vectorIndex_.find(name);
  return found == vectorIndex_.end() ? -1 : found->second;
}

int WriteVerilog2HDM::findBit(const std::string& name, int index) const {
  if (index < 0) {
    auto found = signalIndex_.find(name);
    return found == signalIndex_.end() ? -1 : found->second;
  }
  if (int v = vectorIndex(name); v >= 0) {
    int record = vectors_[static_cast<size_t>(v)].recordOf(index);
    if (record >= 0) return record;
  }
  // Bits outside any declared range exist only when a connection named them.
  if (!looseBitNames_.count(name)) return -1;
  std::string bit = name;
  bit += '[';
  bit += std::to_string(index);
  bit += ']';
  auto found = signalIndex_.find(bit);
  return found == signalIndex_.end() ? -1 : found->second;
}

int WriteVerilog2HDM::findRoot(int record) {
  int root = record;
  while (signals_[static_cast<size_t>(root)].parent != root)
    root = signals_[static_cast<size_t>(root)].parent;
  // Path compression, without recursion.
  while (record != root) {
    int next = signals_[static_cast<size_t>(record)].parent;
    signals_[static_cast<size_t>(record)].parent = root;
    record = next;
  }
  return root;
}

void WriteVerilog2HDM::join(int a, int b) {
  const int ra = findRoot(a);
  const int rb = findRoot(b);
  if (ra == rb) return;
  // The record declared first stays the root.
  if (ra < rb)
    assignEqvId(rb, ra);
  else
    assignEqvId(ra, rb);
}

void WriteVerilog2HDM::assignEqvId(int child, int root) {
  vNet& c = signals_[static_cast<size_t>(child)];
  vNet& r = signals_[static_cast<size_t>(root)];
  c.parent = root;
  if (c.net) {
    if (!r.net)
      r.net = c.net;
    else
      mergeNet(c.net, r.net);
    c.net = nullptr;
  }
  if (c.value != r.value) {
    if (r.value == kNotConstant)
      r.value = c.value;
    else if (c.value != kNotConstant)
      warn("merge two different consatnt nets");
  }
}

void WriteVerilog2HDM::mergeNet(Net* from, Net* into) {
  for (Port* port : from->ports()) {
    version_->attachNet2Port(port, into);
    into->addPort(port);
  }
  from->clearPorts();
  into->takePinsFrom(from);
  version_->destroyNet(from);
}

void WriteVerilog2HDM::applyConstants() {
  for (const vNet& s : signals_) {
    if (s.value == kNotConstant || !s.net) continue;
    s.net->setType(s.value == 0 ? hdm::NET_CONST_ZERO : hdm::NET_CONST_ONE);
  }
}

void WriteVerilog2HDM::generateBuses(const vBus& vector) {
  std::vector<int> roots;
  roots.reserve(vector.bits.size());
  for (int bit : vector.bits) roots.push_back(findRoot(bit));
  std::sort(roots.begin(), roots.end());
  roots.erase(std::unique(roots.begin(), roots.end()), roots.end());

  std::vector<busSig> sigs;
  for (int root : roots) {
    const vNet& s = signals_[static_cast<size_t>(root)];
    if (s.value != kNotConstant || !s.net || s.net->type() != hdm::NET_NORMAL) continue;
    busSig sig{s.net, static_cast<int>(s.net->ports().size()), {}};
    sig.insts.reserve(s.net->pins().size());
    for (const Pin* pin : s.net->pins()) sig.insts.push_back(pin->inst()->id());
    std::sort(sig.insts.begin(), sig.insts.end());
    sig.insts.erase(std::unique(sig.insts.begin(), sig.insts.end()), sig.insts.end());
    sigs.push_back(std::move(sig));
  }
  std::stable_sort(sigs.begin(), sigs.end(), [](const busSig& a, const busSig& b) {
    if (a.portCount != b.portCount) return a.portCount < b.portCount;
    return a.insts < b.insts;
  });

  // Nets alike in port count and instances form one bus; a lone net stays out.
  int clash = 1;
  for (size_t first = 0; first < sigs.size();) {
    size_t end = first + 1;
    while (end < sigs.size() && sigs[end].portCount == sigs[first].portCount &&
           sigs[end].insts == sigs[first].insts)
      ++end;
    if (end - first >= 2) {
      std::string name = vector.name;
      while (version_->buses().get(name)) name = vector.name + "_" + std::to_string(clash++);
      auto* bus = new Bus(std::move(name));
      version_->buses().push_back(bus);
      for (size_t k = first; k < end; ++k) bus->addNet(sigs[k].net);
    }
    first = end;
  }
}
