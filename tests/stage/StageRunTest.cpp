// The floorplanning stage end to end: runs of the osvo binary on small pipeline
// designs with reproducible seeds and short schedules. One run of the five-block
// design serves the report checks; a run on a terminal must print the same.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>

#include "RunBinary.h"

using osvotest::readFile;
using osvotest::RunResult;
using osvotest::splitLines;

#ifdef OSVO_BINARY

namespace {

std::vector<std::string> stageArgs(const std::string& desc, std::vector<std::string> extra) {
  std::vector<std::string> args = {"-format", "x",  "-pipe",     "1", "-fix_freq", "2.0",
                                   "-f",      desc, "-numMoves", "1", "-initTemp", "100"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

const std::vector<std::string> kArgs =
    stageArgs("five-paths.desc",
              {"-flSuccess", "2", "-ipcFile", "five-paths.ipc", "-annealSeed", "11", "-seed", "7"});
const std::string kSeedLine = "The random seed for this run is: ";
const std::string kNum = "([0-9.e+-]+)";

std::string stageDir(const std::string& test, const std::vector<std::string>& files) {
  const std::string dir = osvotest::scratchDir("stage_" + test);
  for (const std::string& f : files) {
    osvotest::writeFile(dir + "/" + f, readFile(osvotest::dataPath("stage/" + f)));
  }
  return dir;
}

// The run the report and terminal tests share, made once per process.
const std::string& reportDir() {
  static const std::string dir =
      stageDir(::testing::UnitTest::GetInstance()->current_test_info()->name(),
               {"five-paths.desc", "five-paths.ipc"});
  return dir;
}
const RunResult& reportRun() {
  static const RunResult r = osvotest::runOsvo(kArgs, reportDir());
  return r;
}

std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> v;
  for (double d; in >> d;) v.push_back(d);
  return v;
}

// Whether a packing line (x, y, outline width, outline height) fits its outline.
bool fits(const std::vector<double>& p) {
  return p.size() == 4 && p[0] * p[1] <= p[2] * p[3] + 0.1 && p[0] <= p[2] + 0.1 &&
         p[1] <= p[3] + 0.1;
}

// For numbers printed with six significant digits.
void expectNear6(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, 2e-5 * std::max(1.0, std::fabs(expected))) << what;
}

// Checks the summary that ends the output and returns its numbers: average and
// minimum area, HPWL and whitespace, then the best BIPS.
std::vector<double> summary(const std::vector<std::string>& lines, const std::string& minCycle) {
  std::string tail;
  for (std::size_t i = lines.size() < 8 ? 0 : lines.size() - 8; i < lines.size(); ++i) {
    tail += lines[i] + "\n";
  }
  const std::string n = kNum;
  const std::regex pattern("\nAverage Area: " + n + " Minimum Area: " + n + "\nAverage HPWL: " + n +
                           " Minimum HPWL: " + n + "\nAverage WhiteSpace: " + n +
                           "% Minimum WhiteSpace: " + n + "%\n Minimum Cycle time:" + minCycle +
                           "\nBest BIPS " + n + "\nAverage Time: 0\n OSVO run complete \n");
  std::smatch m;
  EXPECT_TRUE(std::regex_match(tail, m, pattern)) << tail;
  std::vector<double> v;
  for (std::size_t g = 1; g < m.size(); ++g) v.push_back(std::stod(m[g]));
  return v;
}

}  // namespace

TEST(StageRun, ReportsRunsBestPathsAndSummaryArithmetic) {
  const RunResult& r = reportRun();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "nothing on standard error, no progress on a non-terminal";
  const auto lines = splitLines(r.out);
  const std::regex finalLine("Final Area: " + kNum + " WhiteSpace " + kNum + "% AR " + kNum +
                             " HPWL " + kNum);
  const std::regex iterationLine("Iteration: ([0-9]+) cycle time: 0.5 BIPS: " + kNum);
  std::vector<double> bips, packing;
  double areaSum = 0, hpwlSum = 0, wsSum = 0, minArea = 1e100;
  unsigned runs = 0, fitting = 0, reports = 0;
  std::smatch m;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    if (lines[i].starts_with(kSeedLine)) {
      EXPECT_EQ(lines[i], kSeedLine + std::to_string(11 + runs++)) << "-annealSeed + k";
    } else if (std::regex_match(lines[i], m, finalLine)) {
      // Every run enters the sums, fitting or not.
      packing = numbers(lines[++i]);
      ASSERT_EQ(packing.size(), 4u) << lines[i];
      areaSum += packing[0] * packing[1];
      minArea = std::min(minArea, packing[0] * packing[1]);
      wsSum += std::stod(m[2]);
      hpwlSum += std::stod(m[4]);
      fitting += fits(packing);
    } else if (std::regex_match(lines[i], m, iterationLine)) {
      // Only a fitting run reports its cycle time (1 / -fix_freq) and BIPS.
      EXPECT_TRUE(fits(packing)) << "run " << runs << " is outside the outline";
      EXPECT_EQ(m[1], std::to_string(runs));
      bips.push_back(std::stod(m[2]));
      EXPECT_GT(bips.back(), 0);
    } else if (lines[i].starts_with("BIPS ")) {
      // A new best lists its paths; the kept report of this design pins their lines.
      ++reports;
      EXPECT_TRUE(i + 1 < lines.size() && lines[i + 1].starts_with("Path : 1 total latency "));
    }
  }
  EXPECT_GE(runs, 2u);
  EXPECT_EQ(fitting, 2u);
  ASSERT_EQ(bips.size(), 2u) << "every fitting run reports";
  EXPECT_TRUE(fits(packing)) << "the stage stops at the second fitting run";
  EXPECT_GE(reports, 1u);

  // The averages divide the sums by the number of runs made.
  const std::vector<double> s = summary(lines, "0.5");
  ASSERT_EQ(s.size(), 7u);
  expectNear6(s[0], areaSum / runs, "average area");
  expectNear6(s[1], minArea, "minimum area");
  expectNear6(s[2], hpwlSum / runs, "average HPWL");
  EXPECT_NEAR(s[4], wsSum / runs, 1e-3);
  expectNear6(s[6], std::max(bips[0], bips[1]), "best BIPS");

  // The best plot is legal in the last (fitting) outline.
  const std::string script = readFile(reportDir() + "/out");
  EXPECT_TRUE(osvotest::legalPlot(script, 5));
  expectNear6(osvotest::readPlot(script).chipWidth, packing[2], "the plot's chip");
}

TEST(StageRun, OnATerminalProgressIsDrawnAndErasedAndTheSameSeedsGiveTheSameReport) {
  const std::string dir = stageDir("tty", {"five-paths.desc", "five-paths.ipc"});
  std::string command = std::string("exec ") + OSVO_BINARY;
  for (const std::string& a : kArgs) command += " " + a;
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {  // standard error on the terminal, standard output to a file
    if (chdir(dir.c_str()) == 0)
      execl("/bin/sh", "sh", "-c", (command + " >stdout.txt").c_str(), nullptr);
    _exit(127);
  }
  std::string tty;
  char buf[4096];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) {  // EIO once the child is done
    tty.append(buf, static_cast<std::size_t>(n));
  }
  close(master);
  int wstatus = 0;
  ASSERT_EQ(waitpid(pid, &wstatus, 0), pid);
  ASSERT_TRUE(WIFEXITED(wstatus));
  EXPECT_EQ(WEXITSTATUS(wstatus), 0);

  EXPECT_NE(tty.find("\rfloorplan run 1 (at most 20), 0/2 fit, step 1, T "), std::string::npos);
  const std::size_t last = tty.rfind("\rfloorplan run ");
  ASSERT_NE(last, std::string::npos);
  // After the last update the line is blanked.
  const std::size_t erase = tty.find("\r ", last + 1);
  ASSERT_NE(erase, std::string::npos);
  EXPECT_EQ(tty.find_first_not_of(' ', erase + 1), tty.find('\r', erase + 1));

  // Standard output (after host, date and user) and the plot are those without a terminal.
  ASSERT_EQ(reportRun().status, 0) << reportRun().err;
  const auto a = splitLines(readFile(dir + "/stdout.txt")), b = splitLines(reportRun().out);
  ASSERT_GT(a.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(a.begin() + 3, a.end()),
            std::vector<std::string>(b.begin() + 3, b.end()));
  EXPECT_EQ(readFile(dir + "/out"), readFile(reportDir() + "/out"));
}

TEST(StageRun, OutlineThatCannotFitStopsAfterTenTimesTheRequiredRuns) {
  const std::string dir = stageDir("bounded", {"two-squares.desc"});
  const RunResult r = osvotest::runOsvo(
      stageArgs("two-squares.desc", {"-annealSeed", "1", "-whitespace", "0", "-flSuccess", "1"}),
      dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("floorplan: only 0 of 10 runs fit the outline (1 required); giving up"),
            std::string::npos)
      << r.err;
  const auto lines = splitLines(r.out);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.starts_with(kSeedLine); }),
            10);
  EXPECT_FALSE(osvotest::contains(r.out, "\nIteration: "));
  EXPECT_EQ(summary(lines, "inf").size(), 7u);  // no run gave a cycle time
  EXPECT_EQ(lines[lines.size() - 3], "Best BIPS 0");
}

#endif  // OSVO_BINARY
