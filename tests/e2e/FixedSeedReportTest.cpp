// Reports of fixed seeds, kept: the annealer, the sequence-pair evaluation and
// the pipeline model must reproduce them line for line. The header (host, date,
// user, command line), the echo of every option and the progress lines of
// static timing are left out of the comparison.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunBinary.h"

namespace {

using osvotest::RunResult;

bool kept(const std::string& line) {
  for (const char* skipped : {"Set option", "Finished ", "Required target cycle"})
    if (line.starts_with(skipped)) return false;
  return true;
}

struct KeptReport {
  const char* name;
  std::vector<std::string> files;  // copied from their folder into the run's folder
  std::vector<std::string> args;   // after the path variant's quick options
  const char* expected;            // under tests/data
};

class FixedSeedReport : public testing::TestWithParam<KeptReport> {};

TEST_P(FixedSeedReport, IsReproducedLineForLine) {
  const KeptReport& k = GetParam();
  const std::string dir = osvotest::scratchDir(std::string("e2e.kept.") + k.name);
  for (const std::string& f : k.files)
    std::filesystem::copy_file(std::string(OSVO_SOURCE_DIR) + "/" + f,
                               dir + "/" + std::filesystem::path(f).filename().string());
  // The path variant at 2 GHz on a short schedule.
  std::vector<std::string> args = {"-format", "x",         "-pipe", "1",         "-fix_freq",
                                   "2.0",     "-numMoves", "1",     "-initTemp", "1000"};
  args.insert(args.end(), k.args.begin(), k.args.end());
  const RunResult r = osvotest::runOsvo(args, dir);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = osvotest::splitLines(r.out);
  ASSERT_GT(lines.size(), 4u);
  lines.erase(lines.begin(), lines.begin() + 4);
  std::erase_if(lines, [](const std::string& l) { return !kept(l); });
  const std::vector<std::string> expected =
      osvotest::splitLines(osvotest::readFile(osvotest::dataPath(k.expected)));
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    ASSERT_EQ(lines[i], expected[i]) << "report line " << i + 1 << " of the compared lines";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FixedSeedReport,
    testing::Values(
        // The bundled example: the pipeline model and every move but the configuration move.
        KeptReport{"example",
                   {"examples/pipeline/core-paths.desc", "examples/pipeline/osvo-cycle.proc"},
                   {"-f", "core-paths.desc", "-flSuccess", "2", "-annealSeed", "3", "-seed", "1"},
                   "pipeline/core-paths.quick.report"},
        // Two configurations: configuration moves accepted and rejected.
        KeptReport{"configurations",
                   {"tests/data/stage/five-paths.desc", "tests/data/stage/five-paths.ipc"},
                   {"-f", "five-paths.desc", "-flSuccess", "2", "-ipcFile", "five-paths.ipc",
                    "-annealSeed", "11", "-seed", "7"},
                   "stage/five-paths.quick.report"}),
    [](const testing::TestParamInfo<KeptReport>& info) { return info.param.name; });

}  // namespace
