#pragma once
// The choice of input path: builds the flat design for the chosen input format.
#include <memory>
#include <string>

#include "flat/FlatDesign.h"
#include "hdm/Hdm.h"

// The input options, read once from the option store.
struct InputOptions {
  std::string format;          // "-format"
  std::string inputFile;       // "-f": the Verilog netlist ("v") or the pipeline description ("x")
  std::string designName;      // "-d": the benchmark's files ("b")
  std::string topModule;       // "-t"
  std::string libraryFile;     // "-c"
  std::string flatMasterFile;  // "-s"
  bool pipePaths = false;      // "-pipe" "1": the path variant of the pipeline description
  std::string clockText;       // "-fix_freq", checked by the input path that needs it
};

// The input options of the store.
InputOptions readInputOptions();

// The flat design built from the input files the options name. A format
// without an input path in this build, and bad input, throw an osvo::Error.
// `model`, when given, is the caller's slot for the hierarchical model of the
// Verilog path; the import releases the model itself and leaves it empty.
std::unique_ptr<CoarsePlacement::FlatDesign> buildDesign(
    const InputOptions& options, std::unique_ptr<hdm::Model>* model = nullptr);
