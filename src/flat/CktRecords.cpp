#include "flat/CktRecords.h"

namespace CoarsePlacement {

std::vector<CktPin*> CktPin::pinPool;

CktVersion::CktVersion(CktMaster* m, int idx, double h, double w, double a)
    : master(m), index(idx), height(h), width(w), area(a) {
  generatePortLocations();
}

void CktVersion::generatePortLocations() {
  if (!master) return;
  padLocations.assign(master->inPorts.size() + master->outPorts.size() + master->biPorts.size(),
                      PadLocation());
}

CktMaster::~CktMaster() {
  for (CktVersion* v : versions) delete v;
  for (CktPort* p : inPorts) delete p;
  for (CktPort* p : outPorts) delete p;
  for (CktPort* p : biPorts) delete p;
}

void CktPin::initId() {
  id = static_cast<int>(pinPool.size());
  pinPool.push_back(this);
}

CktPin::~CktPin() {
  // The id is not handed out again: ids stay unique for the whole process.
  if (id >= 0 && static_cast<size_t>(id) < pinPool.size() &&
      pinPool[static_cast<size_t>(id)] == this)
    pinPool[static_cast<size_t>(id)] = nullptr;
}

CktInstance::~CktInstance() {
  for (CktPin* p : inPins) delete p;
  for (CktPin* p : outPins) delete p;
  for (CktPin* p : biPins) delete p;
}

const std::string& instanceName(const CktInstance* inst) {
  static const std::string empty;
  auto* rec = dynamic_cast<inst_name*>(inst->getExtData("name"));
  return rec ? rec->name : empty;
}

}  // namespace CoarsePlacement
