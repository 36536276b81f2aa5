#include "hdm/HdmViews.h"

#include <utility>

namespace hdm {

PhyV4Inst* getPhyV4Inst(const Inst* inst) {
  return inst ? dynamic_cast<PhyV4Inst*>(inst->getView(HdmKernelViews::kPhysicalView)) : nullptr;
}

PhyV4Inst* getOrNewPhyV4Inst(Inst* inst) {
  if (!inst) return nullptr;
  if (PhyV4Inst* view = getPhyV4Inst(inst)) return view;
  auto view = std::make_unique<PhyV4Inst>();
  PhyV4Inst* raw = view.get();
  inst->setView(HdmKernelViews::kPhysicalView, std::move(view));
  return raw;
}

PhyV4MVPort* getOrNewPhyV4MVPort(MVPort* mvPort) {
  if (!mvPort) return nullptr;
  auto* found = dynamic_cast<PhyV4MVPort*>(mvPort->getView(HdmKernelViews::kPhysicalView));
  if (found) return found;
  auto view = std::make_unique<PhyV4MVPort>();
  PhyV4MVPort* raw = view.get();
  mvPort->setView(HdmKernelViews::kPhysicalView, std::move(view));
  return raw;
}

void turnByViewOrient(int orient, double& x, double& y) {
  if (orient < 0 || orient > 7) return;
  if (orient >= 4) {
    y = -y;
    orient -= 4;
  }
  for (int k = 0; k < orient; ++k) {  // 90 degrees clockwise each
    double t = x;
    x = y;
    y = -t;
  }
}

namespace {
void pinLocation(const Pin* pin, double& x, double& y) {
  x = y = 0;
  if (!pin || !pin->inst()) return;
  const Inst* inst = pin->inst();
  double px = 0, py = 0;
  if (MasterVersion* v = inst->masterVersion()) {
    if (MVPort* mv = v->mvPort(pin->port())) {
      if (auto* view = dynamic_cast<PhyV4MVPort*>(mv->getView(HdmKernelViews::kPhysicalView))) {
        px = view->x;
        py = view->y;
      }
    }
  }
  const PhyV4Inst* iv = getPhyV4Inst(inst);
  if (iv) turnByViewOrient(iv->orient, px, py);
  x = (iv ? iv->x : 0) + px;
  y = (iv ? iv->y : 0) + py;
}
}  // namespace

double PhyV4MasterVersion::GetPinX(const Pin* pin) {
  double x, y;
  pinLocation(pin, x, y);
  return x;
}

double PhyV4MasterVersion::GetPinY(const Pin* pin) {
  double x, y;
  pinLocation(pin, x, y);
  return y;
}

}  // namespace hdm
