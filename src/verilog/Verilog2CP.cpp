#include "verilog/Verilog2CP.h"

#include <fstream>

#include "flatten/HdmInterface.h"
#include "support/Error.h"
#include "support/InputFile.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace VERILOG4CPINTERFACE {

namespace {

// Reads the netlist into `model`. A syntax error stops the parse with the
// parser's own messages; what was built before it stays in the model.
void readNetlist(std::ifstream& in, const std::string& netlistFile, hdm::Model* model) {
  VerilogScanner scanner(&in);
  WriteVerilog2HDM writer(model);
  VerilogParser parser(scanner, writer, netlistFile);
  parser.parse();
}

}  // namespace

std::unique_ptr<CoarsePlacement::FlatDesign> VERILOG2CP_interface::processVerilog(
    std::unique_ptr<hdm::Model>& model, const std::string& netlistFile,
    const std::string& topModule, const std::string& libraryFile,
    const std::string& specialMastersFile) {
  std::unique_ptr<CoarsePlacement::FlatDesign> design;
  {
    std::ifstream in;
    if (!osvo::openInputFile(netlistFile, in).empty())
      throw osvo::Error(" can not open file " + netlistFile + "\n", osvo::kExitUnreadableNetlist);

    model = std::make_unique<hdm::Model>();
    // The scanner, the writer's tables and the stream go before flattening
    // starts, so that they do not add to the peak of the copies it makes.
    readNetlist(in, netlistFile, model.get());
  }

  // The converter and its lookup tables live only while the model does.
  {
    HDM_interface converter(model.get());
    hdm::Master* top = model->masters().get(topModule);
    if (!top || !top->version(0))
      throw osvo::Error("Error: top module \"" + topModule + "\" is not a module of the netlist " +
                        netlistFile + "\n");
    model->topModule = {top, 0};
    converter.setSpecialMasters(specialMastersFile);
    converter.flattenAll(top);
    design = std::make_unique<CoarsePlacement::FlatDesign>();
    converter.setFlatDesign(design.get());
    converter.HDM2CP();
  }

  // The library needs only the flat design: the hierarchical model is released
  // first, so the design, the model and the library are never all in memory
  // at once.
  model.reset();
  HDM_interface library(nullptr);
  library.setFlatDesign(design.get());
  library.importCellLib(libraryFile);
  return design;
}

}  // namespace VERILOG4CPINTERFACE
