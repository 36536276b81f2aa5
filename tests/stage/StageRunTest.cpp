// The floorplanning stage end to end: runs of the osvo binary on small pipeline
// designs (path variant) with reproducible annealer seeds and short schedules.
// One run of the five-block design serves the report, plot and gnuplot checks;
// a second run on a terminal must print the same report.
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

// Path variant at 2 GHz, a short schedule, "-annealSeed" and the given design.
std::vector<std::string> stageArgs(const std::string& desc, std::vector<std::string> extra) {
  std::vector<std::string> args = {"-format", "x",  "-pipe",     "1", "-fix_freq", "2.0",
                                   "-f",      desc, "-numMoves", "1", "-initTemp", "100"};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

// Two IPC configurations, two fitting runs required, annealers seeded 11, 12, ...
const std::vector<std::string> kArgs = stageArgs(
    "five-paths.desc", {"-flSuccess", "2", "-ipcFile", "five-paths.ipc", "-annealSeed", "11"});

// A scratch directory holding a copy of the named data files.
std::string stageDir(const std::string& test, const std::vector<std::string>& files) {
  const std::string dir = osvotest::scratchDir("stage_" + test);
  for (const std::string& f : files) {
    osvotest::writeFile(dir + "/" + f, readFile(osvotest::dataPath("stage/" + f)));
  }
  return dir;
}

// The run that the report, plot and terminal tests share, made once per process
// in a directory named after the first test that asks (ctest runs tests apart).
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

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> v;
  for (double d; in >> d;) v.push_back(d);
  return v;
}

// The number after `label` in `line`.
double valueAfter(const std::string& line, const std::string& label) {
  const std::size_t at = line.find(label);
  EXPECT_NE(at, std::string::npos) << label << " not in: " << line;
  return at == std::string::npos ? NAN : std::strtod(line.c_str() + at + label.size(), nullptr);
}

// What one annealing run of the stage printed.
struct RunReport {
  unsigned long seed = 0;
  std::string configs;         // the configuration count line
  std::vector<double> target;  // nodes area, chip area, width, height (before annealing)
  double whitespace = 0, hpwl = 0;
  std::vector<double> packing;  // x, y, width, height (after annealing)
  std::size_t first = 0;        // the index of its seed line

  bool fits() const {
    return packing.size() == 4 && packing[0] * packing[1] <= packing[2] * packing[3] + 0.1 &&
           packing[0] <= packing[2] + 0.1 && packing[1] <= packing[3] + 0.1;
  }
};

std::vector<RunReport> runReports(const std::vector<std::string>& lines) {
  const std::string seedLine = "The random seed for this run is: ";
  std::vector<RunReport> runs;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    if (startsWith(lines[i], seedLine)) {
      runs.emplace_back();
      runs.back().seed = std::stoul(lines[i].substr(seedLine.size()));
      runs.back().configs = lines[i - 2];
      runs.back().target = numbers(lines[i - 1]);
      runs.back().first = i;
    } else if (startsWith(lines[i], "Final Area: ") && !runs.empty() && i + 1 < lines.size()) {
      runs.back().whitespace = valueAfter(lines[i], " WhiteSpace ");
      runs.back().hpwl = valueAfter(lines[i], " HPWL ");
      runs.back().packing = numbers(lines[i + 1]);
    }
  }
  return runs;
}

// Relative comparison for numbers printed with six significant digits.
void expectNear6(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, 2e-5 * std::max(1.0, std::fabs(expected))) << what;
}

// Checks the summary that ends the output (a blank line, six lines and the
// completion line) and returns its numbers: average and minimum area, HPWL and
// whitespace, then the best BIPS.
std::vector<double> summary(const std::vector<std::string>& lines, const std::string& minCycle) {
  std::string tail;
  for (std::size_t i = lines.size() < 8 ? 0 : lines.size() - 8; i < lines.size(); ++i) {
    tail += lines[i] + "\n";
  }
  const std::string n = "([0-9.e+-]+)";
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
  EXPECT_NE(r.out.find("*NON-DEFAULT-OPTION* -annealSeed 11"), std::string::npos);
  const auto lines = splitLines(r.out);
  const auto runs = runReports(lines);
  ASSERT_GE(runs.size(), 2u);

  std::vector<double> bips;
  double areaSum = 0, hpwlSum = 0, wsSum = 0, minArea = 1e100;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const RunReport& run = runs[k];
    SCOPED_TRACE("run " + std::to_string(k + 1));
    EXPECT_EQ(run.seed, 11 + k) << "annealer k seeds with -annealSeed + k";
    EXPECT_EQ(run.configs, "2") << "both configurations of the IPC file";
    ASSERT_EQ(run.target.size(), 4u);
    expectNear6(run.target[1], run.target[0] * 1.2, "chip area = nodes area * 1.2");
    expectNear6(run.target[2], std::sqrt(run.target[1]), "target width");
    expectNear6(run.target[3], run.target[2], "square outline");
    ASSERT_EQ(run.packing.size(), 4u);
    areaSum += run.packing[0] * run.packing[1];
    minArea = std::min(minArea, run.packing[0] * run.packing[1]);
    hpwlSum += run.hpwl;
    wsSum += run.whitespace;

    // A fitting run reports its cycle time and BIPS, one outside the outline nothing.
    const std::string* iteration = nullptr;
    const std::size_t end = k + 1 < runs.size() ? runs[k + 1].first : lines.size();
    for (std::size_t i = run.first; i < end; ++i) {
      if (startsWith(lines[i], "Iteration: ")) iteration = &lines[i];
    }
    if (!run.fits()) {
      EXPECT_EQ(iteration, nullptr) << "a run outside the outline is not reported";
      continue;
    }
    ASSERT_NE(iteration, nullptr);
    EXPECT_EQ(valueAfter(*iteration, "Iteration: "), k + 1);
    EXPECT_EQ(valueAfter(*iteration, " cycle time: "), 2) << "pipeline cycle is -fix_freq";
    bips.push_back(valueAfter(*iteration, " BIPS: "));
    EXPECT_GT(bips.back(), 0);
  }
  ASSERT_EQ(bips.size(), 2u);
  EXPECT_TRUE(runs.back().fits()) << "the stage stops at the second fitting run";

  // Every "BIPS " report lists the three paths with the driving block of each net.
  const std::vector<std::vector<std::string>> pathBlocks = {
      {"fetch", "decode", "rename", "execute"}, {"execute", "memory"}, {"decode", "execute"}};
  const std::string n = "([0-9.e+-]+)";
  unsigned reports = 0;
  for (std::size_t at = 0; at < lines.size(); ++at) {
    if (!startsWith(lines[at], "BIPS ")) continue;
    ++reports;
    std::smatch m;
    for (std::size_t p = 0; p < pathBlocks.size(); ++p) {
      ASSERT_LT(++at + pathBlocks[p].size(), lines.size());
      const std::regex path("Path : " + std::to_string(p + 1) + " total latency " + n);
      ASSERT_TRUE(std::regex_match(lines[at], m, path)) << lines[at];
      EXPECT_EQ(std::stod(m[1]), std::ceil(std::stod(m[1]))) << "a path ends on a whole cycle";
      EXPECT_GE(std::stod(m[1]), 1);
      for (const std::string& block : pathBlocks[p]) {
        const std::regex line("Block " + block + " Latency [0-9]+ Tsu " + n + " Tco " + n);
        ASSERT_TRUE(std::regex_match(lines[++at], m, line)) << lines[at];
        for (int g : {1, 2}) {  // set-up and clock-to-output within one usable cycle
          EXPECT_GE(std::stod(m[g]), 0) << lines[at];
          EXPECT_LE(std::stod(m[g]), 454) << lines[at] << " (1000/2 - 46)";
        }
      }
    }
    EXPECT_EQ(lines[++at], "OutPut Plot file is out");
  }
  EXPECT_GE(reports, 1u);

  // The averages divide the sums over every run made by "-flSuccess" (2).
  const std::vector<double> s = summary(lines, "2");
  ASSERT_EQ(s.size(), 7u);
  expectNear6(s[0], areaSum / 2, "average area");
  expectNear6(s[1], minArea, "minimum area");
  expectNear6(s[2], hpwlSum / 2, "average HPWL");
  EXPECT_NEAR(s[4], wsSum / 2, 1e-3);
  expectNear6(s[6], std::max(bips[0], bips[1]), "best BIPS");
}

TEST(StageRun, BestPlotLiesInsideTheOutlineWithoutOverlapAndRendersInGnuplot) {
  ASSERT_EQ(reportRun().status, 0) << reportRun().err;
  const auto runs = runReports(splitLines(reportRun().out));
  ASSERT_FALSE(runs.empty());
  const std::string script = readFile(reportDir() + "/out");
  const auto lines = splitLines(script);

  // The groups of points after the plot command: one closed rectangle per
  // block, then the chip's top edge (0 H, W H, 0 H) and right edge.
  auto i = std::find_if(lines.begin(), lines.end(),
                        [](const std::string& l) { return startsWith(l, "plot '-'"); });
  ASSERT_NE(i, lines.end()) << "no plot command";
  std::vector<std::vector<std::vector<double>>> groups(1);
  for (++i; i != lines.end() && *i != "EOF"; ++i) {
    if (i->empty()) {
      groups.emplace_back();
    } else {
      groups.back().push_back(numbers(*i));
    }
  }
  if (groups.back().empty()) groups.pop_back();
  ASSERT_EQ(groups.size(), 7u) << "five blocks and two chip edges";
  ASSERT_EQ(groups[5].size(), 3u);
  const double chipW = groups[5][1][0], chipH = groups[5][1][1];
  expectNear6(chipW, runs.back().packing[2], "chip width is the outline of the fitting runs");
  const double eps = 1e-6 * chipW;
  for (std::size_t a = 0; a < 5; ++a) {
    const auto& pa = groups[a];
    ASSERT_EQ(pa.size(), 5u) << "rectangle " << a;
    EXPECT_EQ(pa[0], pa[4]) << "rectangle " << a << " is not closed";
    EXPECT_GE(pa[0][0], -eps);
    EXPECT_GE(pa[0][1], -eps);
    EXPECT_LE(pa[2][0], chipW + 0.1 + eps) << "block " << a << " right of the outline";
    EXPECT_LE(pa[2][1], chipH + 0.1 + eps) << "block " << a << " above the outline";
    for (std::size_t b = 0; b < a; ++b) {
      const auto& pb = groups[b];
      const double ox = std::min(pa[2][0], pb[2][0]) - std::max(pa[0][0], pb[0][0]);
      const double oy = std::min(pa[2][1], pb[2][1]) - std::max(pa[0][1], pb[0][1]);
      EXPECT_FALSE(ox > eps && oy > eps) << "blocks " << a << " and " << b << " overlap";
    }
  }

  // Real gnuplot renders the script (without its final wait for a key).
  if (access("/usr/bin/gnuplot", X_OK) != 0) GTEST_SKIP() << "gnuplot is not installed";
  std::string copy;
  for (const std::string& l : lines) {
    if (!startsWith(l, "pause")) copy += l + "\n";
  }
  osvotest::writeFile(reportDir() + "/plot.gp", copy);
  const RunResult g = osvotest::runProgram(
      "/usr/bin/gnuplot", {"-e", "set terminal dumb; set output 'plot.txt'", "plot.gp"},
      reportDir());
  EXPECT_EQ(g.status, 0) << g.err;
  EXPECT_EQ(g.err.find("rror"), std::string::npos) << g.err;
  EXPECT_FALSE(readFile(reportDir() + "/plot.txt").empty());
}

TEST(StageRun, OnATerminalProgressIsDrawnAndErasedAndTheSameSeedsGiveTheSameReport) {
  const std::string dir = stageDir("tty", {"five-paths.desc", "five-paths.ipc"});
  std::vector<std::string> args = kArgs;
  args.insert(args.begin(), OSVO_BINARY);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string outFile = dir + "/stdout.txt";

  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // Standard error stays on the terminal; standard output goes to a file.
    const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, 1) < 0 || chdir(dir.c_str()) != 0) _exit(127);
    execv(argv[0], argv.data());
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
  // After the last update the line is blanked: carriage return, blanks, carriage return.
  const std::size_t erase = tty.find("\r ", last + 1);
  ASSERT_NE(erase, std::string::npos);
  EXPECT_EQ(tty.find_first_not_of(' ', erase + 1), tty.find('\r', erase + 1));

  // Standard output and the plot are those of the same seeds without a terminal.
  ASSERT_EQ(reportRun().status, 0) << reportRun().err;
  auto tail = [](const std::string& out) {  // without the header: host, date and user
    auto lines = splitLines(out);
    return std::vector<std::string>(lines.begin() + std::min<std::size_t>(3, lines.size()),
                                    lines.end());
  };
  EXPECT_EQ(tail(readFile(outFile)), tail(reportRun().out));
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
  const auto runs = runReports(lines);
  EXPECT_EQ(runs.size(), 10u);
  double areaSum = 0;
  for (const RunReport& run : runs) {
    EXPECT_FALSE(run.fits());
    ASSERT_EQ(run.packing.size(), 4u);
    areaSum += run.packing[0] * run.packing[1];
  }
  for (const std::string& l : lines) EXPECT_FALSE(startsWith(l, "Iteration: ")) << l;
  // The sums over all ten runs are divided by "-flSuccess" (1), as usual.
  const std::vector<double> s = summary(lines, "1e\\+100");
  ASSERT_EQ(s.size(), 7u);
  expectNear6(s[0], areaSum, "average area");
  EXPECT_EQ(lines[lines.size() - 3], "Best BIPS 0");
}

#endif  // OSVO_BINARY
