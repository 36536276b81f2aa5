// Construction of the floorplan database, the version in force of every block
// and the node accessors.
#include "floorplan/DB.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "support/Assert.h"
#include "support/Error.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktVersion;
using CoarsePlacement::FlatDesign;

DB::DB(FlatDesign* design, const DatabaseParams& params)
    : design_(design), currentConfig_(params.configIdx), ipcFile_(params.ipcFile) {
  OSVO_ASSERT(design_);
  // The pipeline model works in one of 100 frequency slots; refuse a clock that
  // falls outside them before anything is read or printed.
  if (design_->mode == CoarsePlacement::DesignMode::PipelineModel)
    checkPipelineClock(params.fixFreq);

  ipcparser();
  // The configuration left by a previous run belongs to the same IPC file; one
  // that does not exist here falls back to the first configuration.
  if (currentConfig_ < 0 || currentConfig_ >= numConfigs()) currentConfig_ = 0;

  const double chipArea = getNodesArea() * (1.0 + params.whitespace / 100.0);
  const double side = std::sqrt(chipArea);
  if (CktVersion* chip = chipVersion()) {
    chip->area = chipArea;
    chip->width = side;
    chip->height = side;
  }
  std::cout << "Chip width " << side << "Chip height " << side << "\n";

  timingOn_ = params.timingOn;
  fixFreq_ = params.fixFreq;
  verRate_ = params.verRate;
  selectConfig(0);

  delayAid_ = std::make_unique<DelayAid>(5, DelayAid::BISWS, 100.0, 100.0);
  // A width and spacing file the user names replaces the per-layer values that
  // the technology set-up computed.
  if (!params.widthSpaceFile.empty()) delayAid_->overrideWidthSpace(params.widthSpaceFile);
}

DB::DB(FlatDesign* design, int whitespace, bool timingOn, int configIdx, double fixFreq,
       double verRate)
    : DB(design, DatabaseParams{whitespace, timingOn, configIdx, fixFreq, verRate, "", ""}) {}

DB::~DB() = default;

void DB::checkPipelineClock(double freq) {
  // The slot is the integer part of (frequency x 10 - 1); test it as a double so
  // that no out-of-range value is ever converted to an integer.
  const double slot = std::trunc(freq * 10.0 - 1.0);
  if (slot >= 0.0 && slot <= 99.0) return;
  std::ostringstream message;
  message << "Error: option -fix_freq " << freq
          << " cannot be used by the pipeline model: its frequency slot (the integer part of"
             " -fix_freq x 10 - 1) must lie in 0 to 99\n";
  throw osvo::Error(message.str());
}

// --- configurations ---

const Config& DB::config(int i) const {
  OSVO_ASSERT(i >= 0 && i < numConfigs());
  return *configs_[static_cast<std::size_t>(i)];
}

void DB::selectConfig(int i) {
  OSVO_ASSERT(i >= 0 && i < numConfigs());
  currentConfig_ = i;
  invalidateVersionCache();
}

// --- version in force ---

CktVersion* DB::chipVersion() const {
  CktInstance* top = design_->topInst;
  if (!top || !top->master || top->master->versions.empty()) return nullptr;
  return top->master->versions[0];
}

CktVersion* DB::lookupVersion(CktInstance* inst) {
  OSVO_ASSERT(currentConfig_ >= 0 && currentConfig_ < numConfigs());
  int v = configs_[currentConfig_]->versions[CoarsePlacement::instanceName(inst)];
  OSVO_ASSERT(v >= 0 && v < static_cast<int>(inst->master->versions.size()));
  return inst->master->versions[v];
}

void DB::invalidateVersionCache() {
  cachedConfig_ = -1;
  cachedConfigPtr_ = nullptr;
  ++versionEpoch_;
}

CktVersion* DB::getVersion(CktInstance* inst) {
  if (inst == design_->topInst) {
    CktVersion* chip = chipVersion();
    OSVO_ASSERT(chip);
    return chip;
  }
  size_t idx = static_cast<size_t>(inst->index);
  const auto& list = design_->instList;
  // Only instances of this design, found at their own index, are remembered.
  if (inst->index < 0 || idx >= list.size() || list[idx] != inst) return lookupVersion(inst);
  if (currentConfig_ < 0 || currentConfig_ >= numConfigs())
    return lookupVersion(inst);  // fails its assertion
  const Config* cfg = configs_[currentConfig_].get();
  if (cachedConfig_ != currentConfig_ || cachedConfigPtr_ != cfg ||
      versionCache_.size() != list.size()) {
    versionCache_.assign(list.size(), nullptr);
    cachedConfig_ = currentConfig_;
    cachedConfigPtr_ = cfg;
    ++versionEpoch_;
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
  return getNodeWidth(nodeAt(design_, i));
}
double DB::getNodeHeight(CktInstance* inst) {
  return getVersion(inst)->height;
}
double DB::getNodeHeight(int i) {
  return getNodeHeight(nodeAt(design_, i));
}
void DB::putNodeWidth(CktInstance* inst, double w) {
  getVersion(inst)->width = w;
}
void DB::putNodeWidth(int i, double w) {
  putNodeWidth(nodeAt(design_, i), w);
}
void DB::putNodeHeight(CktInstance* inst, double h) {
  getVersion(inst)->height = h;
}
void DB::putNodeHeight(int i, double h) {
  putNodeHeight(nodeAt(design_, i), h);
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
  return design_->instList;
}
std::vector<CktNet*> DB::getNets() const {
  return design_->netList;
}
int DB::getNumNodes() const {
  return static_cast<int>(design_->instList.size());
}

std::vector<double> DB::getNodeWidths() {
  std::vector<double> out;
  out.reserve(design_->instList.size());
  for (CktInstance* inst : design_->instList) out.push_back(getNodeWidth(inst));
  return out;
}

std::vector<double> DB::getNodeHeights() {
  std::vector<double> out;
  out.reserve(design_->instList.size());
  for (CktInstance* inst : design_->instList) out.push_back(getNodeHeight(inst));
  return out;
}

std::vector<double> DB::getXLocs() const {
  std::vector<double> out;
  out.reserve(design_->instList.size());
  for (CktInstance* inst : design_->instList) out.push_back(inst->loc.x);
  return out;
}

std::vector<double> DB::getYLocs() const {
  std::vector<double> out;
  out.reserve(design_->instList.size());
  for (CktInstance* inst : design_->instList) out.push_back(inst->loc.y);
  return out;
}

double DB::getNodesArea() {
  double sum = 0;
  for (CktInstance* inst : design_->instList) {
    CktVersion* v = getVersion(inst);
    sum += v->width * v->height;
  }
  return sum;
}

double DB::getAvgHeight() {
  // A design without blocks has no average height; report 0 rather than 0/0.
  if (design_->instList.empty()) return 0;
  double sum = 0;
  for (CktInstance* inst : design_->instList) sum += getNodeHeight(inst);
  return sum / static_cast<double>(design_->instList.size());
}

void DB::updatePlacement(const std::vector<double>& x, const std::vector<double>& y) {
  size_t n = std::min({x.size(), y.size(), design_->instList.size()});
  for (size_t i = 0; i < n; ++i) {
    design_->instList[i]->loc.x = x[i];
    design_->instList[i]->loc.y = y[i];
  }
}

void DB::updateSlacks(const std::vector<double>& x, const std::vector<double>& y) {
  size_t n = std::min({xSlacks_.size(), ySlacks_.size(), x.size(), y.size()});
  for (size_t i = 0; i < n; ++i) {
    xSlacks_[i] = x[i];
    ySlacks_[i] = y[i];
  }
}

// --- bounding boxes of the placement ---
// A design without blocks yields an empty box, whose sizes are reported as 0.

double DB::getXSize() {
  BBox box;
  for (CktInstance* inst : design_->instList) {
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x, 0));
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x + getNodeWidth(inst), 0));
  }
  return box.isValid() ? box.getXSize() : 0.0;
}

double DB::getYSize() {
  BBox box;
  for (CktInstance* inst : design_->instList) {
    box.put(CoarsePlacement::TwoDLoc(0, inst->loc.y));
    box.put(CoarsePlacement::TwoDLoc(0, inst->loc.y + getNodeHeight(inst)));
  }
  return box.isValid() ? box.getYSize() : 0.0;
}

double DB::evalArea() {
  BBox box;
  for (CktInstance* inst : design_->instList) {
    box.put(inst->loc);
    box.put(CoarsePlacement::TwoDLoc(inst->loc.x + getNodeWidth(inst),
                                     inst->loc.y + getNodeHeight(inst)));
  }
  return box.isValid() ? box.getXSize() * box.getYSize() : 0.0;
}
