#include "driver/InputStage.h"

#include "options/ReadParam.h"
#include "pipeline/PipeParser.h"

std::unique_ptr<CoarsePlacement::FlatDesign> buildDesign(const std::string& format) {
  // The input file names. "-f" names the structural Verilog file for format "v"
  // and the pipeline description for format "x"; the top module, cell library
  // and flat master file are read for every format.
  std::string inputFile;
  if (format == "v" || format == "x") inputFile = ReadParam::getOption("-f");
  const std::string topModule = ReadParam::getOption("-t");
  const std::string libraryFile = ReadParam::getOption("-c");
  const std::string flatMasterFile = ReadParam::getOption("-s");
  (void)topModule;
  (void)libraryFile;
  (void)flatMasterFile;

  // A pipeline description; its cycle file always has the fixed name
  // "osvo-cycle.proc" and is read from the working directory.
  if (format == "x")
    return std::unique_ptr<CoarsePlacement::FlatDesign>(pipeParser(inputFile, "osvo-cycle.proc"));

  // No input path exists for the other formats ("v" Verilog netlist, and "p",
  // "s", "b", "i", "l", "f", which the option table accepts but the program
  // cannot read).
  return nullptr;
}
