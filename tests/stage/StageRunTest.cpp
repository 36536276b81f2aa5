// End-to-end runs of the osvo binary through the floorplanning stage on small
// pipeline designs (path variant), with reproducible annealer seeds and short
// schedules.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "RunBinary.h"

using osvotest::readFile;
using osvotest::RunResult;
using osvotest::splitLines;

namespace {

#ifdef OSVO_BINARY

// Path variant at 2 GHz with a short schedule and two fitting runs.
std::vector<std::string> stageArgs(const std::string& desc, const std::string& annealSeed,
                                   const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"-format",   "x",           "-pipe",     "1",     "-fix_freq",
                                   "2.0",       "-f",          desc,        "-seed", "5",
                                   "-numMoves", "1",           "-initTemp", "100",   "-flSuccess",
                                   "2",         "-annealSeed", annealSeed};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

// A scratch directory holding a copy of the named data files.
std::string stageDir(const std::string& test, const std::vector<std::string>& files) {
  const std::string dir = osvotest::scratchDir("stage_" + test);
  for (const std::string& f : files) {
    osvotest::writeFile(dir + "/" + f, readFile(osvotest::dataPath("stage/" + f)));
  }
  return dir;
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

std::vector<double> numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> v;
  double d;
  while (in >> d) v.push_back(d);
  return v;
}

// The number after `label` in `line`.
double valueAfter(const std::string& line, const std::string& label) {
  const std::size_t at = line.find(label);
  EXPECT_NE(at, std::string::npos) << label << " not in: " << line;
  if (at == std::string::npos) return NAN;
  return std::strtod(line.c_str() + at + label.size(), nullptr);
}

// What one annealing run of the stage printed.
struct RunReport {
  unsigned long seed = 0;
  std::vector<double> target;  // nodes area, chip area, width, height (before annealing)
  double finalWhitespace = 0, finalHPWL = 0;
  std::vector<double> packing;  // x, y, width, height (after annealing)
  std::size_t firstLine = 0;    // index of the seed line
};

const std::string kSeedLine = "The random seed for this run is: ";

std::vector<RunReport> runReports(const std::vector<std::string>& lines) {
  std::vector<RunReport> runs;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (startsWith(lines[i], kSeedLine)) {
      RunReport r;
      r.firstLine = i;
      r.seed = std::stoul(lines[i].substr(kSeedLine.size()));
      if (i >= 2) {
        EXPECT_EQ(numbers(lines[i - 2]).size(), 1u) << "configuration count: " << lines[i - 2];
        r.target = numbers(lines[i - 1]);
      }
      runs.push_back(r);
    } else if (startsWith(lines[i], "Final Area: ") && !runs.empty() && i + 1 < lines.size()) {
      runs.back().finalWhitespace = valueAfter(lines[i], " WhiteSpace ");
      runs.back().finalHPWL = valueAfter(lines[i], " HPWL ");
      runs.back().packing = numbers(lines[i + 1]);
    }
  }
  return runs;
}

bool fits(const RunReport& r) {
  return r.packing.size() == 4 &&
         r.packing[0] * r.packing[1] <= r.packing[2] * r.packing[3] + 0.1 &&
         r.packing[0] <= r.packing[2] + 0.1 && r.packing[1] <= r.packing[3] + 0.1;
}

const std::string* findLine(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& l : lines) {
    if (startsWith(l, prefix)) return &l;
  }
  return nullptr;
}

// Relative comparison for numbers printed with six significant digits.
void expectNear6(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, 2e-5 * std::max(1.0, std::fabs(expected))) << what;
}

struct Rect {
  double x0, y0, x1, y1;
};

// The block rectangles and the chip's top and right edges of a plot script.
void readPlot(const std::string& script, std::vector<Rect>& blocks, double& chipW, double& chipH) {
  const auto lines = splitLines(script);
  std::size_t i = 0;
  while (i < lines.size() && !startsWith(lines[i], "plot '-'")) ++i;
  ASSERT_LT(i, lines.size()) << "no plot command";
  std::vector<std::vector<std::vector<double>>> groups(1);
  for (++i; i < lines.size() && lines[i] != "EOF"; ++i) {
    if (lines[i].empty()) {
      groups.emplace_back();
    } else {
      groups.back().push_back(numbers(lines[i]));
    }
  }
  if (groups.back().empty()) groups.pop_back();
  ASSERT_GE(groups.size(), 2u);
  // The last two groups are the chip's top edge (0 H, W H, 0 H) and right edge.
  const auto& top = groups[groups.size() - 2];
  ASSERT_EQ(top.size(), 3u);
  chipW = top[1][0];
  chipH = top[1][1];
  for (std::size_t g = 0; g + 2 < groups.size(); ++g) {
    const auto& pts = groups[g];
    ASSERT_EQ(pts.size(), 5u) << "rectangle " << g;
    EXPECT_EQ(pts[0], pts[4]) << "rectangle " << g << " is not closed";
    blocks.push_back({pts[0][0], pts[0][1], pts[2][0], pts[2][1]});
  }
}

// Lines of a report without the run header (host, date and user).
std::vector<std::string> withoutHeader(const std::string& out) {
  auto lines = splitLines(out);
  lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(3, lines.size()));
  return lines;
}

#endif  // OSVO_BINARY

}  // namespace

#ifdef OSVO_BINARY

TEST(StageRun, ReportsFittingRunsBestPathsAndSummaryArithmetic) {
  const std::string dir = stageDir("report", {"five-paths.desc"});
  const RunResult r = osvotest::runOsvo(stageArgs("five-paths.desc", "11", {}), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "nothing on standard error, no progress on a non-terminal";
  const auto lines = splitLines(r.out);
  const auto runs = runReports(lines);
  ASSERT_GE(runs.size(), 2u);

  std::vector<double> bips;
  double areaSum = 0, hpwlSum = 0, wsSum = 0, minArea = 1e100;
  unsigned fitting = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const RunReport& run = runs[k];
    SCOPED_TRACE("run " + std::to_string(k + 1));
    EXPECT_EQ(run.seed, 11 + k) << "annealer k seeds with -annealSeed + k";
    ASSERT_EQ(run.target.size(), 4u);
    expectNear6(run.target[1], run.target[0] * 1.2, "chip area = nodes area * 1.2");
    expectNear6(run.target[2], std::sqrt(run.target[1]), "target width");
    expectNear6(run.target[3], run.target[2], "square outline");
    ASSERT_EQ(run.packing.size(), 4u);
    const double area = run.packing[0] * run.packing[1];
    areaSum += area;
    minArea = std::min(minArea, area);
    hpwlSum += run.finalHPWL;
    wsSum += run.finalWhitespace;

    // The lines after the packing line: a fitting run reports cycle time and BIPS.
    const std::size_t next = run.firstLine;
    const std::size_t end = k + 1 < runs.size() ? runs[k + 1].firstLine : lines.size();
    const std::string* iteration = nullptr;
    for (std::size_t i = next; i < end; ++i) {
      if (startsWith(lines[i], "Iteration: ")) iteration = &lines[i];
    }
    if (!fits(run)) {
      EXPECT_EQ(iteration, nullptr) << "a run outside the outline is not reported";
      continue;
    }
    ++fitting;
    ASSERT_NE(iteration, nullptr);
    EXPECT_EQ(valueAfter(*iteration, "Iteration: "), k + 1);
    EXPECT_EQ(valueAfter(*iteration, " cycle time: "), 2) << "pipeline cycle is -fix_freq";
    bips.push_back(valueAfter(*iteration, " BIPS: "));
    EXPECT_GT(bips.back(), 0);
  }
  EXPECT_EQ(fitting, 2u);
  EXPECT_TRUE(fits(runs.back())) << "the stage stops at the second fitting run";

  // Averages divide by -flSuccess (2), over every run made.
  const std::string* avgArea = findLine(lines, "Average Area: ");
  ASSERT_NE(avgArea, nullptr);
  expectNear6(valueAfter(*avgArea, "Average Area: "), areaSum / 2, "average area");
  expectNear6(valueAfter(*avgArea, " Minimum Area: "), minArea, "minimum area");
  const std::string* avgHpwl = findLine(lines, "Average HPWL: ");
  ASSERT_NE(avgHpwl, nullptr);
  expectNear6(valueAfter(*avgHpwl, "Average HPWL: "), hpwlSum / 2, "average HPWL");
  const std::string* avgWs = findLine(lines, "Average WhiteSpace: ");
  ASSERT_NE(avgWs, nullptr);
  EXPECT_NEAR(valueAfter(*avgWs, "Average WhiteSpace: "), wsSum / 2, 1e-3);
  EXPECT_NE(avgWs->find("% Minimum WhiteSpace: "), std::string::npos);
  const std::string* best = findLine(lines, "Best BIPS ");
  ASSERT_NE(best, nullptr);
  expectNear6(valueAfter(*best, "Best BIPS "), *std::max_element(bips.begin(), bips.end()),
              "best BIPS");
  ASSERT_NE(findLine(lines, " Minimum Cycle time:2"), nullptr);
  ASSERT_NE(findLine(lines, "Average Time: 0"), nullptr);

  // The summary is the last thing before the completion line.
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[lines.size() - 8], "");
  EXPECT_EQ(lines[lines.size() - 7], *avgArea);
  EXPECT_EQ(lines.back(), " OSVO run complete ");
}

TEST(StageRun, NewBestPrintsThePathReportAndAPlotInsideTheOutline) {
  const std::string dir = stageDir("best", {"five-paths.desc"});
  const RunResult r = osvotest::runOsvo(stageArgs("five-paths.desc", "3", {}), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = splitLines(r.out);
  const auto runs = runReports(lines);

  // Every "BIPS " report lists the three paths with the driving block of each net.
  const std::vector<std::vector<std::string>> pathBlocks = {
      {"fetch", "decode", "rename", "execute"}, {"execute", "memory"}, {"decode", "execute"}};
  unsigned reports = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!startsWith(lines[i], "BIPS ")) continue;
    ++reports;
    std::size_t at = i + 1;
    for (std::size_t p = 0; p < pathBlocks.size(); ++p) {
      ASSERT_LT(at, lines.size());
      ASSERT_TRUE(startsWith(lines[at], "Path : " + std::to_string(p + 1) + " total latency "))
          << lines[at];
      const double total = valueAfter(lines[at], " total latency ");
      EXPECT_EQ(total, std::ceil(total)) << "a path ends on a whole cycle";
      EXPECT_GE(total, 1);
      ++at;
      for (const std::string& block : pathBlocks[p]) {
        ASSERT_LT(at, lines.size());
        ASSERT_TRUE(startsWith(lines[at], "Block " + block + " Latency ")) << lines[at];
        const double tsu = valueAfter(lines[at], " Tsu ");
        const double tco = valueAfter(lines[at], " Tco ");
        EXPECT_GE(tsu, 0);
        EXPECT_LE(tsu, 454) << "set-up within one usable cycle (1000/2 - 46)";
        EXPECT_GE(tco, 0);
        EXPECT_LE(tco, 454);
        ++at;
      }
    }
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(lines[at], "OutPut Plot file is out");
  }
  EXPECT_GE(reports, 1u);

  // The plot of the last new best: blocks inside the outline, never overlapping.
  const std::string script = readFile(dir + "/out");
  ASSERT_FALSE(script.empty());
  std::vector<Rect> blocks;
  double chipW = 0, chipH = 0;
  readPlot(script, blocks, chipW, chipH);
  ASSERT_EQ(blocks.size(), 5u);
  const double eps = 1e-6 * chipW;
  for (std::size_t a = 0; a < blocks.size(); ++a) {
    EXPECT_GE(blocks[a].x0, -eps);
    EXPECT_GE(blocks[a].y0, -eps);
    EXPECT_LE(blocks[a].x1, chipW + 0.1 + eps) << "block " << a << " right of the outline";
    EXPECT_LE(blocks[a].y1, chipH + 0.1 + eps) << "block " << a << " above the outline";
    for (std::size_t b = a + 1; b < blocks.size(); ++b) {
      const double ox = std::min(blocks[a].x1, blocks[b].x1) - std::max(blocks[a].x0, blocks[b].x0);
      const double oy = std::min(blocks[a].y1, blocks[b].y1) - std::max(blocks[a].y0, blocks[b].y0);
      EXPECT_FALSE(ox > eps && oy > eps) << "blocks " << a << " and " << b << " overlap";
    }
  }
  // The chip edges are the outline of the fitting runs.
  ASSERT_FALSE(runs.empty());
  expectNear6(chipW, runs.back().packing[2], "chip width in the plot");

  // Real gnuplot renders the script (without its final wait for a key).
  if (access("/usr/bin/gnuplot", X_OK) == 0) {
    std::string copy;
    for (const std::string& l : splitLines(script)) {
      if (!startsWith(l, "pause")) copy += l + "\n";
    }
    osvotest::writeFile(dir + "/plot.gp", copy);
    const RunResult g = osvotest::runProgram(
        "/usr/bin/gnuplot", {"-e", "set terminal dumb; set output 'plot.txt'", "plot.gp"}, dir);
    EXPECT_EQ(g.status, 0) << g.err;
    EXPECT_EQ(g.err.find("rror"), std::string::npos) << g.err;
    EXPECT_FALSE(readFile(dir + "/plot.txt").empty());
  }
}

TEST(StageRun, SameSeedsGiveTheSameReport) {
  const std::string dirA = stageDir("same_a", {"five-paths.desc"});
  const std::string dirB = stageDir("same_b", {"five-paths.desc"});
  const std::string dirC = stageDir("same_c", {"five-paths.desc"});
  const RunResult a = osvotest::runOsvo(stageArgs("five-paths.desc", "21", {}), dirA);
  const RunResult b = osvotest::runOsvo(stageArgs("five-paths.desc", "21", {}), dirB);
  const RunResult c = osvotest::runOsvo(stageArgs("five-paths.desc", "1000", {}), dirC);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(withoutHeader(a.out), withoutHeader(b.out));
  EXPECT_EQ(readFile(dirA + "/out"), readFile(dirB + "/out"));
  EXPECT_NE(a.out.find("*NON-DEFAULT-OPTION* -annealSeed 21"), std::string::npos);
  const auto runsC = runReports(splitLines(c.out));
  ASSERT_FALSE(runsC.empty());
  EXPECT_EQ(runsC.front().seed, 1000u);
}

TEST(StageRun, AnUnusableAnnealSeedFallsBackToTheClockWithAWarning) {
  const std::string dir = stageDir("bad_seed", {"five-paths.desc"});
  const RunResult r = osvotest::runOsvo(stageArgs("five-paths.desc", "-3", {}), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Ignoring -annealSeed -3"), std::string::npos) << r.err;
  const auto runs = runReports(splitLines(r.out));
  ASSERT_GE(runs.size(), 2u);
  EXPECT_GT(runs[1].seed, runs[0].seed) << "clock seeds still differ between annealers";
}

TEST(StageRun, ConfigurationsFromTheIPCFileAreCountedAndReported) {
  const std::string dir = stageDir("ipc", {"five-paths.desc", "five-paths.ipc"});
  const RunResult r =
      osvotest::runOsvo(stageArgs("five-paths.desc", "5", {"-ipcFile", "five-paths.ipc"}), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = splitLines(r.out);
  const auto runs = runReports(lines);
  ASSERT_GE(runs.size(), 2u);
  for (const RunReport& run : runs) EXPECT_EQ(lines[run.firstLine - 2], "2");
  // The configuration in force after a run is the last one a move switched to.
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::size_t end = k + 1 < runs.size() ? runs[k + 1].firstLine : lines.size();
    std::string inForce = "0";
    for (std::size_t i = runs[k].firstLine; i < end; ++i) {
      if (startsWith(lines[i], "Accepted move from config ")) {
        inForce = lines[i].substr(lines[i].rfind("to ") + 3);
      }
      if (startsWith(lines[i], "Configuration")) {
        EXPECT_EQ(lines[i], "Configuration" + inForce);
      }
    }
  }
}

TEST(StageRun, OutlineThatCannotFitStopsAfterTenTimesTheRequiredRuns) {
  const std::string dir = stageDir("bounded", {"two-squares.desc"});
  const RunResult r = osvotest::runOsvo(
      stageArgs("two-squares.desc", "1", {"-whitespace", "0", "-flSuccess", "1"}), dir);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("only 0 of 10 runs fit the outline (1 required)"), std::string::npos)
      << r.err;
  const auto lines = splitLines(r.out);
  const auto runs = runReports(lines);
  EXPECT_EQ(runs.size(), 10u);
  double areaSum = 0;
  for (const RunReport& run : runs) {
    EXPECT_FALSE(fits(run));
    ASSERT_EQ(run.packing.size(), 4u);
    areaSum += run.packing[0] * run.packing[1];
  }
  EXPECT_EQ(findLine(lines, "Iteration: "), nullptr);
  // The sums over all ten runs are divided by "-flSuccess" (1), as usual.
  const std::string* avgArea = findLine(lines, "Average Area: ");
  ASSERT_NE(avgArea, nullptr);
  expectNear6(valueAfter(*avgArea, "Average Area: "), areaSum, "average area");
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[lines.size() - 4], " Minimum Cycle time:1e+100");
  EXPECT_EQ(lines[lines.size() - 3], "Best BIPS 0");
  EXPECT_EQ(lines[lines.size() - 2], "Average Time: 0");
  EXPECT_EQ(lines.back(), " OSVO run complete ");
}

TEST(StageRun, ProgressIndicatorOnATerminalIsDrawnAndErased) {
  const std::string dir = stageDir("tty", {"five-paths.desc"});
  std::vector<std::string> args = stageArgs("five-paths.desc", "11", {});
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
  for (;;) {
    const ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) break;  // EIO once the child has closed the terminal
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
  // Standard output is the same as without a terminal.
  const std::string out = readFile(outFile);
  EXPECT_EQ(out.find('\r'), std::string::npos);
  EXPECT_NE(out.find(" OSVO run complete "), std::string::npos);
}

#else

TEST(StageRun, NeedsTheBinary) {
  GTEST_SKIP() << "the osvo binary is not built";
}

#endif  // OSVO_BINARY
