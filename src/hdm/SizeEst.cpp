#include "hdm/SizeEst.h"

#include <climits>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace hdm {

namespace {
int clampSize(long long v) {
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

structureCommon::estArea* areaExt(Master* m) {
  return dynamic_cast<structureCommon::estArea*>(m->getExtData(structureCommon::estAreaKey));
}
}  // namespace

int estHdmSize::getMasterArea(const MasterVersionRef& ref) {
  if (!ref.master) return 0;
  structureCommon::estArea* ext = areaExt(ref.master);
  if (!ext) {
    ref.master->setExtData(structureCommon::estAreaKey,
                           std::make_unique<structureCommon::estArea>());
    return 0;
  }
  return ext->area;
}

void estHdmSize::setMasterArea(const MasterVersionRef& ref, int area) {
  if (!ref.master) return;
  getMasterArea(ref);
  areaExt(ref.master)->area = area;
}

int estHdmSize::rentsEstimation(const Master* master) const {
  double t = master ? master->portCount() : 0;
  if (t <= 0 || terminals_ <= 0) return 0;
  double size = std::round(unitArea_ * std::exp(exponent_ * std::log(t / terminals_)));
  if (!(size >= 0)) return 0;
  return clampSize(size > static_cast<double>(INT_MAX) ? INT_MAX : static_cast<long long>(size));
}

long long estHdmSize::immediateSize(const MasterVersionRef& ref) {
  if (!ref.master) return 0;
  if (int stored = getMasterArea(ref)) return stored;
  if (ref.master->portCount() == 1) return 0;
  MasterVersion* v = ref.get();
  if (!v || !v->instances().empty()) return -1;
  int size = 1;
  if (useRent_) {
    out_ << "Apply rents rules for " << ref.master->portCount() << " ports master "
         << ref.master->name() << "\n";
    size = rentsEstimation(ref.master);
  }
  setMasterArea(ref, size);
  return size;
}

int estHdmSize::estMasterSize(const MasterVersionRef& root) {
  long long first = immediateSize(root);
  if (first >= 0) return clampSize(first);

  // Depth-first over the hierarchy with an explicit stack, so deep hierarchies
  // cannot exhaust the call stack.
  struct Frame {
    MasterVersionRef ref;
    InstSet::iterator next;
    InstSet::iterator end;
    long long sum;
  };
  std::vector<Frame> stack;
  std::unordered_set<const Master*> open;
  auto push = [&](const MasterVersionRef& ref) {
    MasterVersion* v = ref.get();
    stack.push_back({ref, v->instances().begin(), v->instances().end(), 0});
    open.insert(ref.master);
  };
  push(root);
  long long result = 0;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.end) {
      int size = clampSize(top.sum);
      setMasterArea(top.ref, size);
      open.erase(top.ref.master);
      stack.pop_back();
      if (stack.empty())
        result = size;
      else
        stack.back().sum += size;
      continue;
    }
    const Inst* inst = *top.next;
    ++top.next;
    const MasterVersionRef& child = inst->masterRef();
    if (open.count(child.master)) {
      warn("master " + child.master->name() + " contains itself; its size counts 0 there");
      continue;
    }
    long long size = immediateSize(child);
    if (size >= 0)
      top.sum += size;
    else
      push(child);
  }
  return clampSize(result);
}

void estHdmSize::showSize(const MasterVersionRef& ref) {
  const std::string line(33, 's');
  out_ << line << "\n";
  if (ref.master) {
    out_ << "Master " << ref.master->name() << " size: " << estMasterSize(ref) << "\n";
    if (MasterVersion* v = ref.get()) {
      for (const Inst* inst : v->instances()) {
        const Master* m = inst->master();
        out_ << "\tinst " << inst->name() << " of " << (m ? m->name() : "NULL")
             << " size: " << estMasterSize(inst->masterRef()) << "\n";
      }
    }
  }
  out_ << line << "\n";
}

}  // namespace hdm
