#include "flatten/ExportInstLoc.h"

#include <algorithm>

#include "hdm/HdmViews.h"

int exportInstLoc::cnvtOrit(int orient) {
  static const int kView[8] = {0, 3, 2, 1, 4, 7, 6, 5};
  return orient >= 0 && orient < 8 ? kView[orient] : 0;
}

void exportInstLoc::writeInstLoc(hdm::Model* model, CoarsePlacement::FlatDesign* design) {
  hdm::MasterVersion* top = model ? model->topModule.get() : nullptr;
  if (!top || !design) return;
  design->convert2LocationSystem(system_);
  int count = std::min(top->instances().size(), static_cast<int>(design->instList.size()));
  if (count != top->instances().size() || count != static_cast<int>(design->instList.size()))
    hdm::warn("the top module has " + std::to_string(top->instances().size()) +
              " instances, the flat design " + std::to_string(design->instList.size()) +
              "; only the first " + std::to_string(count) + " are exported");
  int i = 0;
  for (hdm::Inst* inst : top->instances()) {
    if (i == count) break;
    const CoarsePlacement::CktInstance* flat = design->instList[static_cast<size_t>(i++)];
    hdm::PhyV4Inst* view = hdm::getOrNewPhyV4Inst(inst);
    view->x = flat->loc.x;
    view->y = flat->loc.y;
    view->orient = cnvtOrit(flat->orient);
  }
}

void exportInstLoc::writeBackPortLoc2Hdm(hdm::Model* model, CoarsePlacement::FlatDesign* design) {
  hdm::MasterVersion* top = model ? model->topModule.get() : nullptr;
  if (!top || !design || !design->topInst || !design->topInst->master) return;
  const auto& masterVersions = design->topInst->master->versions;
  if (masterVersions.empty()) return;
  design->convert2LocationSystem(system_);
  const auto& pads = masterVersions[0]->padLocations;
  const auto& mvPorts = top->mvPorts();
  size_t count = std::min(pads.size(), mvPorts.size());
  for (size_t i = 0; i < count; ++i) {
    hdm::PhyV4MVPort* view = hdm::getOrNewPhyV4MVPort(mvPorts[i].get());
    view->x = pads[i].x;
    view->y = pads[i].y;
  }
}
