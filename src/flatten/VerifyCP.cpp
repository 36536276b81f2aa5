#include "flatten/VerifyCP.h"

#include <map>
#include <unordered_set>

using namespace CoarsePlacement;

std::ostream& VerifyCP::problem() {
  ++problems_;
  return err_;
}

int VerifyCP::verify() {
  problems_ = 0;
  verifyMasters();
  err_ << "---------------------\n";
  verifyInstances();
  err_ << "---------------------\n";
  verifyNets();
  return problems_;
}

void VerifyCP::verifyMasters() {
  err_ << "Verify CP master\n";
  for (size_t m = 0; m < design_->masterList.size(); ++m) {
    const CktMaster* master = design_->masterList[m];
    if (master->index != static_cast<int>(m))
      problem() << "Master " << master->name << " at position " << m << " has index "
                << master->index << "\n";
    const std::vector<CktPort*>* lists[3] = {&master->inPorts, &master->outPorts, &master->biPorts};
    for (int dir = 0; dir < 3; ++dir) {
      for (const CktPort* port : *lists[dir]) {
        if (port->dir != dir)
          problem() << "Mismatch DIR for Port " << port->name << " index " << port->index << " dir "
                    << port->dir << "\n";
      }
    }
  }
}

void VerifyCP::verifyInstances() {
  err_ << "Verify CP instance\n";
  const int netCount = static_cast<int>(design_->netList.size());
  for (size_t i = 0; i < design_->instList.size(); ++i) {
    const CktInstance* inst = design_->instList[i];
    if (inst->index != static_cast<int>(i))
      problem() << "Instance at position " << i << " has index " << inst->index << "\n";
    std::unordered_set<int> ids;
    bool duplicated = false;
    const std::vector<CktPin*>* lists[3] = {&inst->inPins, &inst->outPins, &inst->biPins};
    for (int dir = 0; dir < 3; ++dir) {
      for (const CktPin* pin : *lists[dir]) {
        if (pin->inst != inst)
          problem() << "Mismatch instance pointer for pin " << pin->id << " instance " << i << "\n";
        if (!pin->port)
          problem() << "null port ptr for pin " << pin->id << "\n";
        else if (pin->port->dir != dir)
          problem() << "Inconsistent pin direction for pin " << pin->id << "\n";
        if (!pin->net)
          problem() << "null net ptr for pin " << pin->id << "\n";
        else if (pin->net->index < 0 || pin->net->index >= netCount)
          problem() << "invalid net id for pin " << pin->id << " net id " << pin->net->index
                    << "\n";
        if (!ids.insert(pin->id).second) duplicated = true;
      }
    }
    if (duplicated)
      problem() << "Some pin duplication in instance " << i << " of " << inst->master->name << "\n";
  }
}

void VerifyCP::verifyNets() {
  err_ << "Verify CP net\n";
  std::map<size_t, int> byPins;
  for (size_t i = 0; i < design_->netList.size(); ++i) {
    const CktNet* net = design_->netList[i];
    if (net->index != static_cast<int>(i))
      problem() << "net with mismatch index " << net->name << " id " << net->index
                << " index = " << i << "\n";
    std::unordered_set<const CktPin*> seen;
    for (const CktPin* pin : net->pins) {
      if (pin->net != net)
        problem() << "Net pin does not point back to net " << net->name << " pin id " << pin->id
                  << "\n";
      if (!seen.insert(pin).second)
        problem() << "Duplicate pins in net " << net->name << " pin id " << pin->id << "\n";
    }
    if (net->width < 1) problem() << "net width too small " << net->name << "\n";
    if (net->pinDelay.size() != net->pins.size())
      problem() << "net " << net->name << " has " << net->pinDelay.size() << " pin delays for "
                << net->pins.size() << " pins\n";
    if (net->source && !seen.count(net->source))
      problem() << "net " << net->name << " has a source that is not one of its pins\n";
    ++byPins[net->pins.size()];
  }
  err_ << "Verify Complete\n";
  err_ << "Output net stats\n";
  for (const auto& [pins, count] : byPins) err_ << pins << "-pin net count: " << count << "\n";
}
