#pragma once
// Runs the real osvo binary (or any command) and captures what it printed.
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

}  // namespace osvotest
