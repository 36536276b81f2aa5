// Completing the flat design from the cell library: versions of the masters,
// pin times of the instances.
#include <cmath>
#include <unordered_map>

#include "flatten/HdmInterface.h"
#include "flatten/ReadLibrary.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktMaster;
using CoarsePlacement::CktPin;
using CoarsePlacement::CktVersion;

namespace {

int masterType(ReadLibrary::cellType t) {
  switch (t) {
    case ReadLibrary::FF:
      return 1;
    case ReadLibrary::AL:
      return 3;
    case ReadLibrary::IP:
      return 2;
    default:
      return 0;
  }
}

void writeVersion(CktMaster* master, size_t i, const ReadLibrary::cellVersion& cv) {
  while (master->versions.size() <= i) {
    auto* v = new CktVersion(master, -1, 0, 0, 0);
    v->index = static_cast<int>(master->versions.size());
    master->versions.push_back(v);
  }
  CktVersion* v = master->versions[i];
  if (cv.area > 0) {
    v->area = cv.area;
    v->width = v->height = std::sqrt(cv.area);
  }
  v->delay = cv.delay;
  v->latency = cv.latency;
  v->tsu = cv.inTime;
  v->tco = cv.outTime;
  v->type = cv.type == ReadLibrary::FF ? 1 : 0;
}

}  // namespace

void HDM_interface::importCellLib(const std::string& fileName) {
  if (!design_) return;
  ReadLibrary::Library lib;
  ReadLibrary reader(lib, out_, err_);
  if (!reader.readinCellLIB(design_, fileName)) {
    err_ << "Error in read in library " << fileName << "\n";
    return;
  }
  const ReadLibrary::Cell* firstCell = lib.empty() ? nullptr : lib.begin()->second.get();
  std::unordered_map<std::string, bool> seenMasters;
  for (CktInstance* inst : design_->instList) {
    CktMaster* master = inst->master;
    out_ << master->name << "\n";
    const std::string& name = CoarsePlacement::instanceName(inst);
    auto found = lib.find(name);
    const ReadLibrary::Cell* cell = nullptr;
    if (found != lib.end()) {
      cell = found->second.get();
      if (!cell->versions.empty())
        out_ << cell->versions[0].area << " " << cell->versions[0].delay << "\n";
    } else if (firstCell) {
      // Another block's data is a plain substitute; say so.
      err_ << "Warning: instance " << name << " is not a cell of the library " << fileName
           << "; it receives the data of cell " << firstCell->name << "\n";
      cell = firstCell;
    } else {
      err_ << "Warning: instance " << name << " is not a cell of the library " << fileName
           << ", which has no cells; it keeps no library data\n";
      continue;
    }
    if (cell->versions.empty())
      err_ << "Warning: cell " << cell->name << " of the library " << fileName
           << " has no versions; instance " << name << " keeps no library data\n";

    if (!cell->versions.empty()) {
      const ReadLibrary::cellVersion& v0 = cell->versions[0];
      for (CktPin* pin : inst->inPins) {
        pin->inDelay = v0.inTime;
        pin->outDelay = 0;
      }
      for (CktPin* pin : inst->outPins) {
        pin->inDelay = 0;
        pin->outDelay = v0.outTime;
      }
    }

    bool& seen = seenMasters[master->name];
    size_t offset = 0;
    if (!seen) {
      seen = true;
      out_ << "Old master : " << master->name << "\n";
      if (!cell->versions.empty()) master->type = masterType(cell->versions[0].type);
    } else {
      offset = master->versions.size();
    }
    for (size_t k = 0; k < cell->versions.size(); ++k)
      writeVersion(master, offset + k, cell->versions[k]);
    inst->versionOffset = static_cast<int>(offset);
  }
}
