// End-to-end runs of the real osvo binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::contains;
using osvotest::RunResult;

RunResult run(const std::string& test, const std::vector<std::string>& args) {
  return osvotest::runOsvo(args, osvotest::scratchDir("e2e." + test));
}

// The run header: hostname, date and user, then the echo of the command line.
void expectHeader(const RunResult& r, const std::vector<std::string>& args) {
  const auto lines = osvotest::splitLines(r.out);
  ASSERT_GE(lines.size(), 5u);
  std::string echo = OSVO_BINARY;
  for (const auto& a : args) echo += " " + a;
  EXPECT_EQ(lines[3], echo);
  EXPECT_EQ(lines[4], "read command line");
}

TEST(EndToEnd, DefaultsOnlyStopsForMissingVerilogFile) {
  const RunResult r = run("defaults", {});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "please input the verilog filename\n");
  expectHeader(r, {});
  EXPECT_TRUE(contains(r.out, "fill unset default options\n"));
  EXPECT_TRUE(r.out.ends_with("-whitespace 20\nStart rule checking \n"));
  EXPECT_FALSE(contains(r.out, "seed: "));
}

TEST(EndToEnd, UnsupportedFormatStopsAfterTheDump) {
  const std::vector<std::string> args = {"-format", "f", "-seed", "42"};
  const RunResult r = run("format", args);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "osvo: input format \"f\" is not supported\n");
  expectHeader(r, args);
  EXPECT_TRUE(contains(r.out,
                       "seed: 42\nfile format: f\ntopModule: cpu\nLibrary file: \n"
                       "flat Master file: \n==Dump all Options==\n-ALcluster 1\n-F 0.1\n"));
  EXPECT_TRUE(r.out.ends_with("-whitespace 20\n==Dump ends==\n"));
  EXPECT_FALSE(contains(r.out, " OSVO run complete "));
}

TEST(EndToEnd, OptionFileIsEchoedAndLosesToTheCommandLine) {
  const std::string dir = osvotest::scratchDir("e2e.optfile");
  osvotest::writeFile(dir + "/run.opt",
                      "-format f\n-numMoves 30\n-whitespace 40\n-whitespace 50\n-pipe p.txt\n");
  const RunResult r =
      osvotest::runOsvo({"-readOptionFile", "run.opt", "-numMoves", "20", "-seed", "3"}, dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "osvo: input format \"f\" is not supported\n");
  EXPECT_TRUE(contains(r.out, "read option file\nRead in Option file\n"));
  EXPECT_TRUE(contains(r.out, "\n-numMoves 20\n"));
  EXPECT_TRUE(contains(r.out, "\n-whitespace 40\n"));
  EXPECT_TRUE(contains(r.out, "\n*NON-DEFAULT-OPTION* -pipe p.txt\n"));
}

}  // namespace
