// Construction of the floorplan database, the version in force of every block
// and the node accessors.
#include "floorplan/DB.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "options/ReadParam.h"
#include "support/Assert.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktVersion;
using CoarsePlacement::FlatDesign;

DB::DB(FlatDesign* design_, int whitespace, bool timingOn_, int configIdx, double fixFreq_,
       double verRate_)
    : design(design_), currentConfig(configIdx) {
  OSVO_ASSERT(design);
  // The pipeline model works in one of 100 frequency slots; refuse a clock that
  // falls outside them before anything is read or printed.
  if (design->mode == 1) checkPipelineClock(fixFreq_);

  ipcparser();
  // The configuration left by a previous run belongs to the same IPC file; one
  // that does not exist here falls back to the first configuration.
  if (currentConfig < 0 || currentConfig >= static_cast<int>(configs.size())) currentConfig = 0;

  double total = 0;
  for (CktInstance* inst : design->instList) {
    CktVersion* v = getVersion(inst);
    total += v->width * v->height;
  }
  double chipArea = total * (1.0 + whitespace / 100.0);
  double side = std::sqrt(chipArea);
  if (CktVersion* chip = chipVersion()) {
    chip->area = chipArea;
    chip->width = side;
    chip->height = side;
  }
  std::cout << "Chip width " << side << "Chip height " << side << "\n";

  timingOn = timingOn_;
  fixFreq = fixFreq_;
  verRate = verRate_;
  nodesAreaValid = false;
  currentConfig = 0;

  delayAid = std::make_unique<DelayAid>(5, DelayAid::BISWS, 100.0, 100.0);
  // A width and spacing file named on the command line replaces the per-layer
  // values that the technology set-up computed.
  std::string widthSpace = ReadParam::getOption("-readWidthSpace");
  if (!widthSpace.empty()) delayAid->overrideWidthSpace(widthSpace);
}

DB::~DB() = default;

void DB::checkPipelineClock(double freq) const {
  // The slot is the integer part of (frequency x 10 - 1); test it as a double so
  // that no out-of-range value is ever converted to an integer.
  double slot = std::trunc(freq * 10.0 - 1.0);
  if (slot >= 0.0 && slot <= 99.0) return;
  std::cout.flush();
  std::cerr << "Error: option -fix_freq " << freq
            << " cannot be used by the pipeline model: its frequency slot (the integer part of"
               " -fix_freq x 10 - 1) must lie in 0 to 99\n";
  std::exit(1);
}

// --- version in force ---

CktVersion* DB::chipVersion() const {
  CktInstance* top = design->topInst;
  if (!top || !top->master || top->master->versions.empty()) return nullptr;
  return top->master->versions[0];
}

CktVersion* DB::lookupVersion(CktInstance* inst) {
  OSVO_ASSERT(currentConfig >= 0 && currentConfig < static_cast<int>(configs.size()));
  int v = configs[currentConfig]->versions[CoarsePlacement::instanceName(inst)];
  OSVO_ASSERT(v >= 0 && v < static_cast<int>(inst->master->versions.size()));
  return inst->master->versions[v];
}

void DB::invalidateVersionCache() {
  cachedConfig_ = -1;
  cachedConfigPtr_ = nullptr;
}

CktVersion* DB::getVersion(CktInstance* inst) {
  if (inst == design->topInst) {
    CktVersion* chip = chipVersion();
    OSVO_ASSERT(chip);
    return chip;
  }
  size_t idx = static_cast<size_t>(inst->index);
  const auto& list = design->instList;
  // Only instances of this design, found at their own index, are remembered.
  if (inst->index < 0 || idx >= list.size() || list[idx] != inst) return lookupVersion(inst);
  if (currentConfig < 0 || currentConfig >= static_cast<int>(configs.size()))
    return lookupVersion(inst);  // fails its assertion
  const Config* cfg = configs[currentConfig].get();
  if (cachedConfig_ != currentConfig || cachedConfigPtr_ != cfg ||
      versionCache_.size() != list.size()) {
    versionCache_.assign(list.size(), nullptr);
    cachedConfig_ = currentConfig;
    cachedConfigPtr_ = cfg;
  }
  CktVersion*& slot = versionCache_[idx];
  if (!slot) slot = lookupVersion(inst);
  return slot;
}

// --- node accessors ---

static CktInstance* nodeAt(FlatDesign* design, int i) {
  OSVO_ASSERT(i >= 0 && i < static_cast<int>(design->instList.size()));
  return design->instList[static_cast<size_t>(i)];
}

double DB::getNodeWidth(CktInstance* inst) {
  return getVersion(inst)->width;
}
double DB::getNodeWidth(int i) {
  return getNodeWidth(nodeAt(design, i));
}
double DB::getNodeHeight(CktInstance* inst) {
  return getVersion(inst)->height;
}
double DB::getNodeHeight(int i) {
  return getNodeHeight(nodeAt(design, i));
}
void DB::putNodeWidth(CktInstance* inst, double w) {
  getVersion(inst)->width = w;
}
void DB::putNodeWidth(int i, double w) {
  putNodeWidth(nodeAt(design, i), w);
}
void DB::putNodeHeight(CktInstance* inst, double h) {
  getVersion(inst)->height = h;
}
void DB::putNodeHeight(int i, double h) {
  putNodeHeight(nodeAt(design, i), h);
}
double DB::getArea(CktInstance* inst) {
  return getVersion(inst)->area;
}
void DB::setArea(CktInstance* inst, double a) {
  getVersion(inst)->area = a;
}
double DB::getBlockDelay(CktInstance* inst) {
  return getVersion(inst)->delay;
}
void DB::setBlockDelay(CktInstance* inst, double d) {
  getVersion(inst)->delay = d;
}
int DB::getBlockLatency(CktInstance* inst) {
  return getVersion(inst)->latency;
}
void DB::setBlockLatency(CktInstance* inst, int l) {
  getVersion(inst)->latency = l;
}

std::string DB::getName(CktInstance* inst) const {
  return CoarsePlacement::instanceName(inst);
}
std::vector<CktInstance*> DB::getNodes() const {
  return design->instList;
}
std::vector<CktNet*> DB::getNets() const {
  return design->netList;
}
int DB::getNumNodes() const {
  return static_cast<int>(design->instList.size());
}

std::vector<double> DB::getNodeWidths() {
  std::vector<double> out;
  out.reserve(design->instList.size());
  for (CktInstance* inst : design->instList) out.push_back(getNodeWidth(inst));
  return out;
}

std::vector<double> DB::getNodeHeights() {
  std::vector<double> out;
  out.reserve(design->instList.size());
  for (CktInstance* inst : design->instList) out.push_back(getNodeHeight(inst));
  return out;
}

std::vector<double> DB::getXLocs() const {
  std::vector<double> out;
  out.reserve(design->instList.size());
  for (CktInstance* inst : design->instList) out.push_back(inst->loc.x);
  return out;
}

std::vector<double> DB::getYLocs() const {
  std::vector<double> out;
  out.reserve(design->instList.size());
  for (CktInstance* inst : design->instList) out.push_back(inst->loc.y);
  return out;
}

double DB::getNodesArea() {
  double sum = 0;
  for (CktInstance* inst : design->instList) {
    CktVersion* v = getVersion(inst);
    sum += v->width * v->height;
  }
  nodesArea = sum;
  nodesAreaValid = true;
  return nodesArea;
}

double DB::getAvgHeight() {
  // A design without blocks has no average height; report 0 rather than 0/0.
  if (design->instList.empty()) return 0;
  double sum = 0;
  for (CktInstance* inst : design->instList) sum += getNodeHeight(inst);
  return sum / static_cast<double>(design->instList.size());
}

void DB::updatePlacement(const std::vector<double>& x, const std::vector<double>& y) {
  size_t n = std::min({x.size(), y.size(), design->instList.size()});
  for (size_t i = 0; i < n; ++i) {
    design->instList[i]->loc.x = x[i];
    design->instList[i]->loc.y = y[i];
  }
}

void DB::updateSlacks(const std::vector<double>& x, const std::vector<double>& y) {
  size_t n = std::min({xSlacks.size(), ySlacks.size(), x.size(), y.size()});
  for (size_t i = 0; i < n; ++i) {
    xSlacks[i] = x[i];
    ySlacks[i] = y[i];
  }
}

// --- bounding boxes of the placement ---
// A design without blocks yields an empty box, whose sizes are reported as 0.

double DB::getXSize() {
  BBox box;
  for (CktInstance* inst : design->instList) {
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x, 0));
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x + getNodeWidth(inst), 0));
  }
  return box.isValid() ? box.getXSize() : 0.0;
}

double DB::getYSize() {
  BBox box;
  for (CktInstance* inst : design->instList) {
    box.put(CoarsePlacement::TwoDLoc(0, inst->loc.y));
    box.put(CoarsePlacement::TwoDLoc(0, inst->loc.y + getNodeHeight(inst)));
  }
  return box.isValid() ? box.getYSize() : 0.0;
}

double DB::evalArea() {
  BBox box;
  for (CktInstance* inst : design->instList) {
    box.put(inst->loc);
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x + getNodeWidth(inst),
                                     inst->loc.y + getNodeHeight(inst)));
  }
  return box.isValid() ? box.getXSize() * box.getYSize() : 0.0;
}
