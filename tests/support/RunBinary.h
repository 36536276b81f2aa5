#pragma once
// Runs the real osvo binary (or any command) and captures what it printed, and
// checks the floorplans it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace osvotest {

struct RunResult {
  int status = -1;  // exit status, or 128 + signal number when killed by a signal
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `program` with `args` in directory `workDir` (created when missing),
// with an empty standard input.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir);

#ifdef OSVO_BINARY
inline RunResult runOsvo(const std::vector<std::string>& args, const std::string& workDir) {
  return runProgram(OSVO_BINARY, args, workDir);
}
#endif

// Path of a file under tests/data.
std::string dataPath(const std::string& name);

// A fresh, empty scratch directory, under the build tree and the running test.
std::string scratchDir(const std::string& name);

// Whole content of a file ("" when it cannot be read).
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

// Lines of a text, without their line ends.
std::vector<std::string> splitLines(const std::string& text);

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The first data set of a gnuplot floorplan script: one closed five-point
// rectangle per block, then the chip's top and right edges of three points.
struct PlotShapes {
  struct Rect {
    double x0, y0, x1, y1;
  };
  std::vector<Rect> blocks;
  double chipWidth = 0, chipHeight = 0;
  int malformed = 0;  // groups that are neither a closed rectangle nor an edge
};
PlotShapes readPlot(const std::string& script);

// Whether the script draws `blockCount` blocks of positive size, each inside
// the chip it draws (up to `slack` beyond it, as the stage's fit test allows)
// and none overlapping another. The script prints six significant digits, so
// abutting blocks may seem to overlap by that rounding.
testing::AssertionResult legalPlot(const std::string& script, size_t blockCount,
                                   double slack = 0.1);

}  // namespace osvotest
