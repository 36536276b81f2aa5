#include "driver/InputStage.h"

#include "bookshelf/BenchmarkFlatDesign.h"
#include "options/ReadParam.h"
#include "pipeline/PipeParser.h"
#include "support/Error.h"
#include "verilog/Verilog2CP.h"

namespace {

// Format "x": a pipeline description; its cycle file always has the fixed name
// "osvo-cycle.proc" and is read from the working directory.
std::unique_ptr<CoarsePlacement::FlatDesign> buildPipelineDesign(const InputOptions& options) {
  PipeOptions pipe;
  pipe.pathVariant = options.pipePaths;
  if (pipe.pathVariant) pipe.clockGHz = pipelineClockOption(options.clockText);
  return pipeParser(options.inputFile, "osvo-cycle.proc", pipe);
}

// Format "v": a structural Verilog netlist, its top module, the cell library
// and the special masters file.
std::unique_ptr<CoarsePlacement::FlatDesign> buildVerilogDesign(const InputOptions& options,
                                                                std::unique_ptr<hdm::Model>* slot) {
  std::unique_ptr<hdm::Model> own;
  return VERILOG4CPINTERFACE::VERILOG2CP_interface::processVerilog(
      slot ? *slot : own, options.inputFile, options.topModule, options.libraryFile,
      options.flatMasterFile);
}

}  // namespace

InputOptions readInputOptions() {
  InputOptions o;
  o.format = ReadParam::getOption("-format");
  // "-f" names the structural Verilog file for format "v" and the pipeline
  // description for format "x"; the top module, cell library and flat master
  // file are read for every format.
  if (o.format == "v" || o.format == "x") o.inputFile = ReadParam::getOption("-f");
  if (o.format == "b") o.designName = ReadParam::getOption("-d");
  o.topModule = ReadParam::getOption("-t");
  o.libraryFile = ReadParam::getOption("-c");
  o.flatMasterFile = ReadParam::getOption("-s");
  o.pipePaths = ReadParam::getOption("-pipe") == "1";
  o.clockText = ReadParam::getOption("-fix_freq");
  return o;
}

std::unique_ptr<CoarsePlacement::FlatDesign> buildDesign(const InputOptions& options,
                                                         std::unique_ptr<hdm::Model>* model) {
  // One branch per input format that has an input path.
  if (options.format == "v") return buildVerilogDesign(options, model);
  if (options.format == "x") return buildPipelineDesign(options);
  // Format "b": a floorplanning benchmark (NAME.blocks/.nets/.pl or NAME.aux).
  if (options.format == "b") return buildBenchmarkDesign(options.designName);

  // No input path exists for the other formats ("p", "s", "i", "l", "f",
  // which the option table accepts but the program cannot read).
  throw osvo::Error("osvo: input format \"" + options.format + "\" is not supported\n");
}
