#pragma once
// Reader of pipeline descriptions (input format "x").
//
// A description lists the blocks of a processor pipeline (name, area, aspect
// ratio, delay and, in the net variant, set-up and clock-to-output times),
// followed either by the nets, read from a separate cycle file (net variant), or
// by loops of critical paths through the blocks with their probabilities (path
// variant). Every block becomes a master with one version and one instance of
// it.
#include <functional>
#include <istream>
#include <memory>
#include <string>

#include "flat/FlatDesign.h"

// What the reader needs besides its files: the variant (option "-pipe" "1"
// selects the path variant) and, for the path variant, the clock in GHz
// (option "-fix_freq").
struct PipeOptions {
  bool pathVariant = false;
  double clockGHz = 0;
};

// Opens an input of the reader by name; `kind` ("description", "cycle") names
// it in messages. Throws osvo::Error when it cannot be read.
using PipeFileOpener =
    std::function<std::unique_ptr<std::istream>(const std::string& name, const std::string& kind)>;

// Builds the flat design described by `descriptionFile` (and, in the net
// variant, `cycleFile`). Bad input throws an osvo::Error naming the file and the
// line (status 1); nothing half-built survives it.
std::unique_ptr<CoarsePlacement::FlatDesign> pipeParser(const std::string& descriptionFile,
                                                        const std::string& cycleFile,
                                                        const PipeOptions& options);
// The same, with the inputs handed out by `open` instead of the file system.
std::unique_ptr<CoarsePlacement::FlatDesign> pipeParser(const std::string& descriptionFile,
                                                        const std::string& cycleFile,
                                                        const PipeOptions& options,
                                                        const PipeFileOpener& open);

// The clock of the path variant from the text of option "-fix_freq": a decimal
// number f in GHz whose usable cycle 1000 / f - 46 ps holds at least 1 ps.
// Throws the option's error otherwise.
double pipelineClockOption(const std::string& text);
