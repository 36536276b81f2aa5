#include "RunBinary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace osvotest {

namespace {
std::string slurpFd(int fd) {
  std::string text;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
  return text;
}
}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir) {
  std::filesystem::create_directories(workDir);
  std::string outPath = workDir + "/.stdout.capture";
  std::string errPath = workDir + "/.stderr.capture";
  RunResult result;
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(workDir.c_str()) != 0) _exit(126);
    int in = open("/dev/null", O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    result.status = 128 + WTERMSIG(status);
  int outFd = open(outPath.c_str(), O_RDONLY);
  int errFd = open(errPath.c_str(), O_RDONLY);
  if (outFd >= 0) {
    result.out = slurpFd(outFd);
    close(outFd);
  }
  if (errFd >= 0) {
    result.err = slurpFd(errFd);
    close(errFd);
  }
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return result;
}

std::string dataPath(const std::string& name) {
  return std::string(OSVO_TEST_DATA_DIR) + "/" + name;
}

std::string scratchDir(const std::string& name) {
  // Every test runs in a process of its own, several at a time: scratch
  // directories live under the running test's name so they never collide.
  std::string owner = "no-test";
  if (const auto* info = testing::UnitTest::GetInstance()->current_test_info())
    owner = std::string(info->test_suite_name()) + "." + info->name();
  std::string dir = std::filesystem::current_path().string() + "/scratch/" + owner + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

PlotShapes readPlot(const std::string& script) {
  PlotShapes s;
  std::istringstream in(script);
  std::string line;
  while (std::getline(in, line) && !line.starts_with("plot '-'")) {
  }
  std::vector<std::pair<double, double>> group;
  auto flush = [&] {
    if (group.size() == 5 && group[0] == group[4]) {
      const auto [lx, hx] = std::minmax({group[0].first, group[1].first, group[2].first});
      const auto [ly, hy] = std::minmax({group[0].second, group[1].second, group[2].second});
      s.blocks.push_back({lx, ly, hx, hy});
    } else if (group.size() == 3) {
      s.chipWidth = std::max(s.chipWidth, group[1].first);
      s.chipHeight = std::max(s.chipHeight, group[1].second);
    } else if (!group.empty()) {
      ++s.malformed;
    }
    group.clear();
  };
  while (std::getline(in, line) && line != "EOF") {
    std::istringstream point(line);
    double x = 0, y = 0;
    if (point >> x >> y)
      group.emplace_back(x, y);
    else if (line.empty())
      flush();
    else
      ++s.malformed;
  }
  flush();
  return s;
}

testing::AssertionResult legalPlot(const std::string& script, size_t blockCount, double slack) {
  const PlotShapes s = readPlot(script);
  if (s.malformed) return testing::AssertionFailure() << s.malformed << " malformed point groups";
  if (s.blocks.size() != blockCount)
    return testing::AssertionFailure() << s.blocks.size() << " blocks, not " << blockCount;
  const double w = s.chipWidth, h = s.chipHeight;
  if (!(w > 0 && h > 0)) return testing::AssertionFailure() << "no chip outline";
  const double tol = 1e-5 * std::max(w, h);
  for (size_t i = 0; i < s.blocks.size(); ++i) {
    const PlotShapes::Rect& a = s.blocks[i];
    if (!(a.x1 > a.x0 && a.y1 > a.y0))
      return testing::AssertionFailure() << "block " << i << " is empty";
    if (a.x0 < -tol || a.y0 < -tol || a.x1 > w + slack + tol || a.y1 > h + slack + tol)
      return testing::AssertionFailure() << "block " << i << " leaves the chip " << w << " x " << h;
    for (size_t j = 0; j < i; ++j) {
      const PlotShapes::Rect& b = s.blocks[j];
      if (std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > tol &&
          std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > tol)
        return testing::AssertionFailure() << "blocks " << j << " and " << i << " overlap";
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace osvotest
