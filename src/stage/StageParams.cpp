#include "stage/StageParams.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "options/ReadParam.h"
#include "stage/StageReport.h"
#include "support/Error.h"
#include "support/Numbers.h"

namespace {

// Base-10 integer conversion of an option's text: conversion stops at the
// first character that is not part of the number (so "2.5e4" reads 2), and
// text without a number reads 0. Out-of-range values saturate instead of
// overflowing.
int intOption(const char* key) {
  const std::string text = ReadParam::getOption(key);
  const long v = std::strtol(text.c_str(), nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// Floating-point conversion of an option's text; text without a number reads 0.
double realOption(const char* key) {
  const std::string text = ReadParam::getOption(key);
  return std::strtod(text.c_str(), nullptr);
}

constexpr std::size_t kMaxPlotFileName = 199;

// The clock of option "-fix_freq" where the cycle time is 1 / f: a finite
// positive number whose inverse is finite too.
double requiredClock() {
  const std::string text = ReadParam::getOption("-fix_freq");
  double ghz = 0;
  if (osvo::parseDecimalNumber(text, ghz) && ghz > 0 && std::isfinite(1.0 / ghz)) return ghz;
  const std::string found = text.empty() ? "it is not set" : "found \"" + text + "\"";
  throw osvo::Error(
      "Error: option -fix_freq must be a positive clock frequency in GHz where the cycle time "
      "comes from it (static timing off, or the pipeline model); " +
      found + "\n");
}

}  // namespace

long long stageRunBound(int required) {
  return static_cast<long long>(required > 0 ? required : 1) * kStageRunBoundFactor;
}

StageParams readStageParams(CoarsePlacement::DesignMode mode, bool wireLengthOnly) {
  StageParams p;
  Command_Line& a = p.annealer;
  a.reshapable = intOption("-reshapable") != 0;
  a.outPlotFile = ReadParam::getOption("-outPlotFile");
  if (a.outPlotFile.empty()) a.outPlotFile = "out";
  // The name has a fixed bound; a longer value is cut.
  if (a.outPlotFile.size() > kMaxPlotFileName) a.outPlotFile.resize(kMaxPlotFileName);
  a.areaWeight = intOption("-areaWeight");
  a.flSuccess = intOption("-flSuccess");
  a.numMoves = intOption("-numMoves");
  // "-initTemp" is a real option but read as an integer here.
  a.normTime = intOption("-initTemp");
  a.coolTime = realOption("-coolTemp");
  a.startTime = intOption("-initTemp");
  a.maxWS = intOption("-whitespace");
  // A design without delays has nothing to time.
  a.timingOn = wireLengthOnly ? 0 : intOption("-timingOn");
  const bool clockRequired =
      !wireLengthOnly && (mode == CoarsePlacement::DesignMode::PipelineModel || a.timingOn == 0);
  a.fixFreq = clockRequired ? requiredClock() : realOption("-fix_freq");
  a.verRate = realOption("-ver_rate");
  a.fenrik = intOption("-fenrik") != 0;
  a.fenrikSoftBlocks = ReadParam::getOption("-reshapable") == "1";

  p.ipcFile = ReadParam::getOption("-ipcFile");
  p.widthSpaceFile = ReadParam::getOption("-readWidthSpace");
  p.wireLengthOnly = wireLengthOnly;

  const std::string adapt = ReadParam::getOption("-adaptAreaWeight");
  if (adapt == "0") {
    p.adaptAreaWeight = false;
  } else if (!adapt.empty() && adapt != "1") {
    std::cout.flush();
    std::cerr << "Ignoring -adaptAreaWeight " << adapt
              << ": not 0 or 1; runs that miss the outline raise the area weight" << std::endl;
  }

  const std::string seed = ReadParam::getOption("-annealSeed");
  if (!seed.empty() &&
      !parseAnnealSeed(seed, LONG_MAX - static_cast<long>(stageRunBound(a.flSuccess)),
                       p.annealSeed)) {
    std::cout.flush();
    std::cerr << "Ignoring -annealSeed " << seed
              << ": not a non-negative integer in range; the annealers seed from the clock"
              << std::endl;
  }
  return p;
}
