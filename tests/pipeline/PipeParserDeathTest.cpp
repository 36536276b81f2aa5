// Malformed input: every case ends the process with one line on standard error
// (status 1), or, for an unknown block, through the lookup assertion.
#include "PipeTestSupport.h"

using osvotest::dataPath;
using osvotest::scratchDir;
using osvotest::writeFile;
using ::testing::ExitedWithCode;

namespace pipetest {
namespace {

class PipeDeathTest : public PipeTest {
 protected:
  void SetUp() override {
    PipeTest::SetUp();
    dir_ = scratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  // Writes a description (and a cycle file) and returns the description's path.
  std::string files(const std::string& desc, const std::string& cycle = "") {
    writeFile(dir_ + "/d.desc", desc);
    writeFile(dir_ + "/d.cycle", cycle);
    return dir_ + "/d.desc";
  }
  std::string cycle() const { return dir_ + "/d.cycle"; }

  static void parseQuietly(const std::string& desc, const std::string& cycle) {
    delete pipeParser(desc, cycle);
  }

  std::string dir_;
};

const char kBlocks[] = "2\nalu 1 1 0 100 10 5\nlsq 1 1 0 100 10 5\n";
const char kPathBlocks[] = "2\nalu 1 1 100\nlsq 1 1 100\n";

TEST_F(PipeDeathTest, UnopenableFilesAreNamed) {
  EXPECT_EXIT(parseQuietly(dir_ + "/missing.desc", cycle()), ExitedWithCode(1),
              "^Error: cannot open description file \"[^\"]*/missing.desc\"\n$");
  const std::string desc = files(kBlocks);
  EXPECT_EXIT(parseQuietly(desc, dir_ + "/missing.cycle"), ExitedWithCode(1),
              "^Error: cannot open cycle file \"[^\"]*/missing.cycle\"\n$");
}

TEST_F(PipeDeathTest, UnreadableNumbersInTheBlockSection) {
  EXPECT_EXIT(parseQuietly(files("two\n"), cycle()), ExitedWithCode(1),
              "^Error: [^\n]*d.desc: expected the number of blocks [^\n]*, found \"two\"\n$");
  EXPECT_EXIT(parseQuietly(files(""), cycle()), ExitedWithCode(1),
              "expected the number of blocks.*found the end of the file");
  EXPECT_EXIT(parseQuietly(files("-1\n"), cycle()), ExitedWithCode(1),
              "expected the number of blocks.*found \"-1\"");
  EXPECT_EXIT(parseQuietly(files("1\nalu 1.2.3 1 0 100 10 5\n"), cycle()), ExitedWithCode(1),
              "expected the area of block \"alu\" \\(a number\\), found \"1.2.3\"");
  EXPECT_EXIT(parseQuietly(files("1\nalu 1 nan 0 100 10 5\n"), cycle()), ExitedWithCode(1),
              "expected the aspect ratio of block \"alu\"");
  EXPECT_EXIT(parseQuietly(files("1\nalu 1 1 0.5 100 10 5\n"), cycle()), ExitedWithCode(1),
              "expected the integer field after the aspect ratio of block \"alu\"");
  EXPECT_EXIT(parseQuietly(files("1\nalu 1 1 0 100 10 5x\n"), cycle()), ExitedWithCode(1),
              "expected the set-up time of block \"alu\" \\(a number\\), found \"5x\"");
}

TEST_F(PipeDeathTest, RecordsCutShortByTheEndOfTheFile) {
  EXPECT_EXIT(parseQuietly(files("2\nalu 1 1 0 100 10\n"), cycle()), ExitedWithCode(1),
              "^Error: [^\n]*d.desc: expected the set-up time of block \"alu\" \\(a number\\), "
              "found the end of the file\n$");
  EXPECT_EXIT(parseQuietly(files("2\nalu 1 1 0 100 10 5\n"), cycle()), ExitedWithCode(1),
              "expected the name of block 2 of 2, found the end of the file");
  EXPECT_EXIT(parseQuietly(files(kBlocks, "2\n2 n alu lsq\n2 m lsq\n"), cycle()), ExitedWithCode(1),
              "^Error: [^\n]*d.cycle: expected sink block 1 of net \"m\", found the end of the "
              "file\n$");
  EXPECT_EXIT(parseQuietly(files(kBlocks, "3\n2 n alu lsq\n"), cycle()), ExitedWithCode(1),
              "d.cycle: expected the pin count of net 2 of 3.*end of the file");
  EXPECT_EXIT(parseQuietly(files(kBlocks, ""), cycle()), ExitedWithCode(1),
              "d.cycle: expected the number of nets");
  EXPECT_EXIT(parseQuietly(files(kBlocks, "1\n0 n alu\n"), cycle()), ExitedWithCode(1),
              "expected the pin count of net 1 of 1 \\(at least 1\\), found \"0\"");
}

TEST_F(PipeDeathTest, NonPositiveAreasAndAspectRatiosNameTheBlock) {
  EXPECT_EXIT(parseQuietly(files("1\nalu 0 1 0 100 10 5\n"), cycle()), ExitedWithCode(1),
              "^Error: [^\n]*d.desc: block \"alu\" has a non-positive area[^\n]*\n$");
  EXPECT_EXIT(parseQuietly(files("1\nalu 1 -2 0 100 10 5\n"), cycle()), ExitedWithCode(1),
              "block \"alu\" has a non-positive aspect ratio");
  usePathVariant("2.0");
  EXPECT_EXIT(parseQuietly(files("1\nrf -5 1 100\n0\n"), ""), ExitedWithCode(1),
              "block \"rf\" has a non-positive area");
  EXPECT_EXIT(parseQuietly(files("1\nrf 5 0 100\n0\n"), ""), ExitedWithCode(1),
              "block \"rf\" has a non-positive aspect ratio");
  EXPECT_EXIT(parseQuietly(files("1\nrf 5 1 3e9\n0\n"), ""), ExitedWithCode(1),
              "block \"rf\" has a delay too large");
}

TEST_F(PipeDeathTest, UnknownBlocksStopThroughTheLookupAssertion) {
  const char kAssert[] = "f < fd->masterList\\.size\\(\\)";
  EXPECT_DEATH(parseQuietly(files(kBlocks, "1\n2 n ghost lsq\n"), cycle()),
               std::string("d.cycle: unknown block \"ghost\"(.|\n)*") + kAssert);
  EXPECT_DEATH(parseQuietly(files(kBlocks, "1\n3 n alu lsq Lsq\n"), cycle()),
               std::string("d.cycle: unknown block \"Lsq\"(.|\n)*") + kAssert);
  usePathVariant("2.0");
  EXPECT_DEATH(parseQuietly(files(std::string(kPathBlocks) + "1 1\n2 alu ghost 0.5\n"), ""),
               std::string("d.desc: unknown block \"ghost\"(.|\n)*") + kAssert);
}

TEST_F(PipeDeathTest, PathRecordsAreChecked) {
  usePathVariant("2.0");
  const std::string blocks = kPathBlocks;
  EXPECT_EXIT(parseQuietly(files(blocks + "1 0\n"), ""), ExitedWithCode(1),
              "expected the number of paths of loop 1 \\(a positive integer\\), found \"0\"");
  EXPECT_EXIT(parseQuietly(files(blocks + "2 1\n"), ""), ExitedWithCode(1),
              "expected the number of paths of loop 2.*end of the file");
  EXPECT_EXIT(parseQuietly(files(blocks + "1 1\n0 alu 0.5\n"), ""), ExitedWithCode(1),
              "expected the block count of path 1 of 1 \\(at least 1\\), found \"0\"");
  EXPECT_EXIT(parseQuietly(files(blocks + "1 1\n2 alu lsq\n"), ""), ExitedWithCode(1),
              "^Error: [^\n]*d.desc: expected the probability of path 1 of 1 \\(a number\\), "
              "found the end of the file\n$");
  EXPECT_EXIT(parseQuietly(files(blocks + "1 2\n2 alu lsq 0.5\n3 lsq alu\n"), ""),
              ExitedWithCode(1), "expected block 3 of path 2 of 2, found the end of the file");
}

TEST_F(PipeDeathTest, ClockFrequencyMustLeaveAUsableCycle) {
  const std::string desc = files(std::string(kPathBlocks) + "1 1\n2 alu lsq 0.5\n");
  ReadParam::setOption("-pipe", "1");
  EXPECT_EXIT(parseQuietly(desc, ""), ExitedWithCode(1),
              "^Error: option -fix_freq must be [^\n]*; it is not set\n$");
  for (const char* bad : {"0", "-1", "abc", "2GHz", "21.3", "30", "1e-9"}) {
    ReadParam::setOption("-fix_freq", bad);
    EXPECT_EXIT(parseQuietly(desc, ""), ExitedWithCode(1),
                std::string("option -fix_freq must be .*found \"") + bad + "\"")
        << bad;
  }
}

}  // namespace
}  // namespace pipetest
