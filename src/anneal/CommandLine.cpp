#include "anneal/CommandLine.h"

#include <climits>
#include <cstdlib>
#include <iostream>

#include "options/ReadParam.h"

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

}  // namespace

Command_Line::Command_Line() {
  reshapable = intOption("-reshapable") != 0;
  outPlotFile = ReadParam::getOption("-outPlotFile");
  if (outPlotFile.empty()) outPlotFile = "out";
  // The name has a fixed bound; a longer value is cut rather than overrunning it.
  if (outPlotFile.size() > kMaxPlotFileName) outPlotFile.resize(kMaxPlotFileName);
  areaWeight = intOption("-areaWeight");
  flSuccess = intOption("-flSuccess");
  plot = true;
  plotHide1 = false;
  plotHide2 = false;
  plotHide3 = false;
  // "-initTemp" is a real option but read as an integer here.
  normTime = intOption("-initTemp");
  coolTime = realOption("-coolTemp");
  startTime = intOption("-initTemp");
  reqdAR = 1.0;
  maxWS = intOption("-whitespace");
  minWL = true;
  timingOn = intOption("-timingOn");
  fixFreq = realOption("-fix_freq");
  verRate = realOption("-ver_rate");
  fenrik = intOption("-fenrik") != 0;
}

void Command_Line::printAnnealerParams() const {
  std::cout << "Annealer Params: \n";
  std::cout << "\tnormalizing Time  " << normTime << '\n';
  std::cout << "\tstart Time        " << startTime << '\n';
  std::cout << "\tcooling Time      " << coolTime << '\n';
  std::cout << "\treqd Aspect Ratio " << reqdAR << " (-9999 means no fixed shape)\n";
  std::cout << "\tminimize WL       " << (minWL ? 1 : 0) << '\n';
  std::cout << "\tmaximum WS        " << maxWS << "% (only for fixed-outline)\n\n";
}
