#include "stage/StageReport.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;
using CoarsePlacement::FlatDesign;

void RunStatistics::addRun(double area, double hpwl, double whitespace) {
  ++runs;
  areaSum += area;
  hpwlSum += hpwl;
  whitespaceSum += whitespace;
  if (area < minArea) minArea = area;
  if (hpwl < minHPWL) minHPWL = hpwl;
  if (whitespace < minWhitespace) minWhitespace = whitespace;
}

bool RunStatistics::addSuccess(double cycle, double bips) {
  successes += 1;
  if (cycle < minCycle) minCycle = cycle;
  if (bips > bestBIPS) bestBIPS = bips;
  return std::fabs(bestBIPS - bips) < 1e-7;
}

bool RunStatistics::addWireLengthSuccess(double wireLength) {
  successes += 1;
  if (wireLength < bestWireLength) bestWireLength = wireLength;
  return std::fabs(bestWireLength - wireLength) < 1e-7;
}

void RunStatistics::printSummary(std::ostream& out, bool wireLengthOnly) const {
  const double n = runs > 0 ? static_cast<double>(runs) : 1.0;
  out << "\n";
  out << "Average Area: " << areaSum / n << " Minimum Area: " << minArea << "\n";
  out << "Average HPWL: " << hpwlSum / n << " Minimum HPWL: " << minHPWL << "\n";
  out << "Average WhiteSpace: " << whitespaceSum / n << "%"
      << " Minimum WhiteSpace: " << minWhitespace << "%"
      << "\n";
  if (wireLengthOnly) {
    out << "Best fitting WL " << bestWireLength << "\n";
  } else {
    out << " Minimum Cycle time:" << minCycle << "\n";
    out << "Best BIPS " << bestBIPS << "\n";
  }
  out << "Average Time: " << 0 << "\n";
}

namespace {

// The block a net's driving pin belongs to, looked up in instList by the
// instance's index. A pin on the chip (index -1) names the chip itself.
const CktInstance* blockOf(const FlatDesign& design, const CktPin* pin) {
  const CktInstance* inst = pin->inst;
  if (inst != nullptr && inst->index >= 0 &&
      static_cast<std::size_t>(inst->index) < design.instList.size()) {
    return design.instList[inst->index];
  }
  return inst;
}

}  // namespace

void printBestReport(std::ostream& out, const FlatDesign& design, double bestBIPS) {
  out << "BIPS " << bestBIPS << "\n";
  for (std::size_t i = 0; i < design.pathList.size(); ++i) {
    const double latency = i < design.pathLatency.size() ? design.pathLatency[i] : 0.0;
    out << "Path : " << i + 1 << " total latency " << latency << "\n";
    for (const CktNet* net : design.pathList[i]) {
      if (net == nullptr || net->pins.empty()) continue;
      const CktPin* pin = net->pins.front();
      const CktInstance* block = blockOf(design, pin);
      const std::string name = block != nullptr ? CoarsePlacement::instanceName(block) : "";
      out << "Block " << name << " Latency " << pin->latency << " Tsu " << pin->tsu << " Tco "
          << pin->tco << "\n";
    }
  }
}

bool computeBIPS(double ipc, double cycle, double inverseFactor, double& bips) {
  if (!(cycle > 0) || !(inverseFactor > 0) || !std::isfinite(inverseFactor)) return false;
  const double value = ipc / cycle / inverseFactor;
  if (!std::isfinite(value)) return false;
  bips = value;
  return true;
}

bool parseAnnealSeed(const std::string& text, long maxValue, long& seed) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno == ERANGE || *end != '\0' || value > maxValue) return false;
  seed = value;
  return true;
}
