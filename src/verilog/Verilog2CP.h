#pragma once
// The whole Verilog input path in one call: a structural netlist is parsed into
// a hierarchical design model, the top module is flattened until only blocks
// remain, the result is converted into a flat design, and the cell library
// completes the blocks' versions and pin times.
#include <memory>
#include <string>

#include "flat/FlatDesign.h"
#include "hdm/Hdm.h"

namespace VERILOG4CPINTERFACE {

class VERILOG2CP_interface {
 public:
  // Builds the flat design of `topModule` in `netlistFile`, completed from the
  // cell library `libraryFile`; the masters named in `specialMastersFile`
  // ("" for none) are dissolved into their parents instead of becoming blocks.
  //
  // `model` holds the hierarchical model while it exists and is empty again
  // when the call returns: only the flat design survives.
  //
  // A netlist that cannot be opened throws osvo::Error (" can not open file "
  // and the name, status kExitUnreadableNetlist); a top module that names no
  // module of the netlist throws osvo::Error with status 1. A syntax error is
  // reported by the parser and the import goes on with what was read before it.
  static std::unique_ptr<CoarsePlacement::FlatDesign> processVerilog(
      std::unique_ptr<hdm::Model>& model, const std::string& netlistFile,
      const std::string& topModule, const std::string& libraryFile,
      const std::string& specialMastersFile);
};

}  // namespace VERILOG4CPINTERFACE
