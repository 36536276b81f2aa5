#pragma once
// Reader of pipeline descriptions (input format "x").
//
// A description lists the blocks of a processor pipeline (name, area, aspect
// ratio, delay and, in the net variant, set-up and clock-to-output times),
// followed either by the nets, read from a separate cycle file (net variant), or
// by loops of critical paths through the blocks with their probabilities (path
// variant, option "-pipe" "1"). Every block becomes a master with one version
// and one instance of it.
#include <string>

#include "flat/FlatDesign.h"

// Builds the flat design described by `descriptionFile` (and, in the net
// variant, `cycleFile`). The design is newly allocated and owned by the caller.
// Unreadable input ends the process with status 1 after one line on standard
// error; a block name that matches no block stops it through an assertion.
CoarsePlacement::FlatDesign* pipeParser(std::string descriptionFile, std::string cycleFile);
