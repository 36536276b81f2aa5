#include "stage/ProgressLine.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <sstream>

ProgressLine ProgressLine::onStandardError() {
  return ProgressLine(std::cerr, isatty(STDERR_FILENO) == 1);
}

void ProgressLine::show(const std::string& text) {
  if (!enabled_) return;
  // Standard output first, so its lines are not written over the indicator later.
  std::cout.flush();
  std::string line = "\r" + text;
  if (text.size() < shownWidth_) line.append(shownWidth_ - text.size(), ' ');
  line += "\r";
  out_ << line << std::flush;
  shownWidth_ = text.size();
}

void ProgressLine::erase() {
  if (!enabled_ || shownWidth_ == 0) return;
  std::cout.flush();
  out_ << "\r" << std::string(shownWidth_, ' ') << "\r" << std::flush;
  shownWidth_ = 0;
}

std::string ProgressLine::text(long long run, long long maxRuns, long long fits, int required,
                               int step, double temperature, double bestBIPS) {
  std::ostringstream s;
  s << "floorplan run " << run << " (at most " << maxRuns << "), " << fits << "/" << required
    << " fit, step " << step << ", T " << temperature << ", best BIPS " << bestBIPS;
  return s.str();
}
