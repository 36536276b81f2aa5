// The Verilog import after the front-end on arbitrary bytes: whatever the
// parser and the writer build is flattened below its last module (the top of a
// netlist whose modules are defined before use) and converted into a flat
// design, which must then verify clean. Bad input may only end in
// osvo::Error; a crash, another exception or an inconsistent flat design is a
// finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unordered_map>

#include "FuzzSupport.h"
#include "flat/FlatDesign.h"
#include "flatten/HdmInterface.h"
#include "flatten/VerifyCP.h"
#include "hdm/Hdm.h"
#include "support/Error.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace {

const bool silenced = [] {
  osvofuzz::dropOutput();
  return true;
}();

// Narrow ranges and a bounded flattened size: a few lines of nested modules
// may legitimately ask for millions of blocks, which says nothing about the
// import's soundness.
constexpr int kFuzzRangeWidth = 64;
constexpr double kMaxFlatInstances = 20000;

// How many instances flattening `version` would leave (leaves count 1).
double flatSize(const hdm::MasterVersion* version,
                std::unordered_map<const hdm::MasterVersion*, double>& memo) {
  if (!version || version->instances().empty()) return 1;
  auto found = memo.find(version);
  if (found != memo.end()) return found->second;
  double total = 0;
  // Modules are defined before they are used, so the hierarchy has no cycle
  // and the recursion depth is the nesting depth of the text.
  for (const hdm::Inst* inst : version->instances())
    total += inst->masterVersion() && !inst->masterVersion()->instances().empty()
                 ? flatSize(inst->masterVersion(), memo)
                 : 1;
  memo[version] = total;
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  hdm::Model model;
  try {
    {
      VerilogScanner scanner(&in);
      WriteVerilog2HDM writer(&model);
      VerilogParser parser(scanner, writer, "fuzz.v", kFuzzRangeWidth);
      parser.parse();
    }
    hdm::Master* top = nullptr;
    for (hdm::Master* m : model.masters()) top = m;
    if (!top || !top->version(0)) return 0;
    std::unordered_map<const hdm::MasterVersion*, double> memo;
    if (flatSize(top->version(0), memo) > kMaxFlatInstances) return 0;

    model.topModule = {top, 0};
    HDM_interface converter(&model);
    converter.flattenAll(top);
    CoarsePlacement::FlatDesign design;
    converter.setFlatDesign(&design);
    converter.HDM2CP();
    std::ostringstream report;
    if (VerifyCP(&design, report).verify() != 0) std::abort();
  } catch (const osvo::Error&) {
  }
  return 0;
}
