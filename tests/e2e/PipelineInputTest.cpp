// End-to-end runs of format "x": the bundled example read and floorplanned,
// and malformed pipeline inputs refused by the real binary.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::contains;
using osvotest::RunResult;

const std::vector<std::string> kQuick = {"-numMoves",   "1", "-initTemp", "100", "-flSuccess", "1",
                                         "-annealSeed", "3", "-seed",     "1"};

TEST(PipelineInput, NetVariantExampleIsReadAndFloorplanned) {
  const std::string dir = osvotest::scratchDir("e2e.pipeline.nets");
  const std::string examples = std::string(OSVO_SOURCE_DIR) + "/examples/pipeline/";
  for (const char* f : {"core-nets.desc", "osvo-cycle.proc"})
    std::filesystem::copy_file(examples + f, dir + "/" + f);
  std::vector<std::string> args = {"-format", "x", "-f", "core-nets.desc", "-whitespace", "40"};
  args.insert(args.end(), kQuick.begin(), kQuick.end());
  const RunResult r = osvotest::runOsvo(args, dir);
  ASSERT_TRUE(r.status == 0 || r.status == 2) << r.err;
  const size_t opened = r.out.find("Opened file core-nets.desc\nfetch_pc\nbpred\n");
  const size_t cycle = r.out.find("Opening osvo-cycle.proc\n");
  ASSERT_NE(opened, std::string::npos);
  EXPECT_LT(opened, cycle);
  EXPECT_LT(cycle, r.out.find("Chip width "));
  EXPECT_TRUE(contains(r.out, "Best BIPS "));
  EXPECT_TRUE(r.out.ends_with(" OSVO run complete \n"));
}

struct BadInput {
  const char* name;
  const char* description;  // written as the description file
  const char* cycle;        // written as osvo-cycle.proc, or null for none
  std::vector<std::string> extra;
  const char* stderrPart;
};

// One refusal of each reader reaches the driver; the readers' own tests hold the rest.
TEST(PipelineInput, MalformedInputStopsWithAMessage) {
  const char* block = "1\na 1.0 1.0 0 100 10 10\n";
  const std::vector<BadInput> cases = {
      {"missing", nullptr, nullptr, {}, "missing.desc"},
      {"nocycle", block, nullptr, {}, "osvo-cycle.proc"},
      {"unknown",
       block,
       "1\n2 n a ghost\n",
       {},
       "Error: osvo-cycle.proc:2: unknown block \"ghost\"\n"},
      {"endless", nullptr, nullptr, {"-f", "/dev/zero"}, "a word longer than 4096 characters"},
      {"noclock", block, "0\n", {"-timingOn", "0", "-fix_freq", "nan"}, "option -fix_freq must be"},
      {"freq", "1\na 1.0 1.0 100\n1\n1\n1 a 0.5\n", nullptr, {"-pipe", "1"}, "-fix_freq"},
  };
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = osvotest::scratchDir(std::string("e2e.pipeline.") + c.name);
    const std::string desc = std::string(c.name) + ".desc";
    if (c.description) osvotest::writeFile(dir + "/" + desc, c.description);
    if (c.cycle) osvotest::writeFile(dir + "/osvo-cycle.proc", c.cycle);
    std::vector<std::string> args = {"-format", "x", "-f", desc, "-seed", "1"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const RunResult r = osvotest::runOsvo(args, dir);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(contains(r.err, c.stderrPart)) << r.err;
    EXPECT_FALSE(contains(r.out, " OSVO run complete ")) << "no half-built design is floorplanned";
  }
}

}  // namespace
