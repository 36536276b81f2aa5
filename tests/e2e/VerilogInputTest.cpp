// End-to-end runs of format "v": Verilog netlists imported, floorplanned and
// plotted by the real binary, and the refusals of the import.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::contains;
using osvotest::RunResult;

// Few moves, one fitting run, fixed seeds, an outline easy to meet.
const std::vector<std::string> kQuick = {
    "-numMoves", "1",     "-initTemp", "100",         "-flSuccess", "1",           "-annealSeed",
    "3",         "-seed", "1",         "-whitespace", "60",         "-areaWeight", "90"};

std::vector<std::string> withQuick(std::vector<std::string> args) {
  args.insert(args.end(), kQuick.begin(), kQuick.end());
  return args;
}

// A scratch directory holding copies of `files` (paths), under their own names.
std::string dirWith(const std::string& name, const std::vector<std::string>& files) {
  const std::string dir = osvotest::scratchDir("e2e.verilog." + name);
  for (const std::string& f : files)
    std::filesystem::copy_file(f, dir + "/" + std::filesystem::path(f).filename().string());
  return dir;
}

std::string smallCore(const char* ext) {
  return osvotest::dataPath(std::string("verilog/small-core") + ext);
}
// Standard output without the host, date and user lines of the header.
std::string withoutHeader(const std::string& out) {
  size_t at = 0;
  for (int i = 0; i < 3 && at != std::string::npos; ++i) at = out.find('\n', at) + 1;
  return out.substr(at);
}

TEST(VerilogInput, SmallCoreIsImportedFloorplannedAndReproducible) {
  const std::vector<std::string> args = withQuick({"-f", "small-core.v", "-c", "small-core.lib"});
  const std::string dir = dirWith("small", {smallCore(".v"), smallCore(".lib")});
  const RunResult r = osvotest::runOsvo(args, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(
      r.err.ends_with("Parser complete\nflatten an instance of frontend\n"
                      "flatten an instance of backend\n"))
      << r.err;
  // Conversion, then the library: each block's master, area and delay.
  EXPECT_TRUE(contains(r.out,
                       "New master rob\n instance created\n nets created\n buses created\n"
                       "fetch\n120000 0.3\nOld master : fetch\nicache\n1.1e+06 0.42\n"
                       "Old master : icache\ndecode\n"));
  EXPECT_TRUE(contains(r.out, "\nrob\n420000 0.34\nOld master : rob\nChip width "));
  EXPECT_TRUE(contains(r.out, "\nConfiguration0\nIteration: 1 cycle time: 0."));
  EXPECT_TRUE(contains(r.out, "\nBest BIPS "));
  EXPECT_TRUE(r.out.ends_with(" OSVO run complete \n"));
  EXPECT_TRUE(osvotest::legalPlot(osvotest::readFile(dir + "/out"), 9));

  const std::string again = dirWith("small.again", {smallCore(".v"), smallCore(".lib")});
  const RunResult s = osvotest::runOsvo(args, again);
  EXPECT_EQ(withoutHeader(s.out), withoutHeader(r.out));
  EXPECT_EQ(osvotest::readFile(again + "/out"), osvotest::readFile(dir + "/out"));
}

TEST(VerilogInput, SyntaxErrorInTheLastModuleKeepsWhatWasRead) {
  const std::string dir = osvotest::scratchDir("e2e.verilog.syntax");
  osvotest::writeFile(dir + "/cut.v",
                      "module blk(a, y, clock);\n  input [7:0] a;\n  output [7:0] y;\n"
                      "  input clock;\nendmodule\n"
                      "module top(d, q, clock);\n  input [7:0] d;\n  output [7:0] q;\n"
                      "  input clock;\n  wire [7:0] m1, m2, m3;\n"
                      "  blk first(d, m1, clock);\n  blk second(m1, m2, clock);\n"
                      "  blk third(m2, m3, clock);\n  blk fourth(m3, q, clock);\n"
                      "  blk fifth(q d, clock);\nendmodule\n");
  std::string lib = "5\nfirst 1\nsecond 1\nthird 1\nfourth 1\nfifth 1\n";
  for (const char* cell : {"first", "second", "third", "fourth", "fifth"})
    lib += std::string(cell) + " v 0 seq 10000 1 0.3 0.05 0.1\n";
  osvotest::writeFile(dir + "/cut.lib", lib);
  const RunResult r =
      osvotest::runOsvo(withQuick({"-f", "cut.v", "-t", "top", "-c", "cut.lib"}), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.err, "read d but , is expected\nParse stopped in file cut.v at line 15\n"))
      << r.err;
  EXPECT_TRUE(r.out.ends_with(" OSVO run complete \n"));
  EXPECT_TRUE(osvotest::legalPlot(osvotest::readFile(dir + "/out"), 4));
}

struct Refusal {
  const char* name;
  std::vector<std::string> args;  // after the small core's netlist and library
  const char* library;            // written as bad.lib and named by -c, or null
  int status;
  const char* stderrEnd;
};

TEST(VerilogInput, RefusedInputsEndTheRunWithTheirStatus) {
  const std::vector<Refusal> cases = {
      {"missing", {"-f", "missing.v"}, nullptr, 255, " can not open file missing.v\n"},
      {"directory", {"-f", "."}, nullptr, 255, " can not open file .\n"},
      {"top",
       {"-t", "core"},
       nullptr,
       1,
       "Error: top module \"core\" is not a module of the netlist small-core.v\n"},
      {"count",
       {},
       "nine\n",
       1,
       "Error: cell library bad.lib: the number of cells \"nine\" is not a whole number of 0 or "
       "more\n"},
      {"undeclared",
       {},
       "1\nfetch_0 1\nghost v 0 seq 1 1 1 1 1\n",
       1,
       "ghostModule does not exist\n"},
      {"short", {}, "1\nfetch_0 1\nfetch_0 v 0 seq 100 1\n", 1, "is missing\n"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir =
        dirWith(std::string("refused.") + c.name, {smallCore(".v"), smallCore(".lib")});
    std::vector<std::string> args = {"-f", "small-core.v", "-c", "small-core.lib", "-seed", "1"};
    if (c.library) {
      osvotest::writeFile(dir + "/bad.lib", c.library);
      args.insert(args.end(), {"-c", "bad.lib"});
    }
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult r = osvotest::runOsvo(args, dir);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(r.err.ends_with(c.stderrEnd)) << r.err;
    EXPECT_FALSE(contains(r.out, " OSVO run complete "));
  }
}

}  // namespace
