// Malformed input: every case ends the process with one line on standard error
// naming the file (status 1), or, for an unknown block, through the lookup assertion.
#include "PipeTestSupport.h"

using ::testing::ExitedWithCode;

namespace pipetest {
namespace {

class PipeDeathTest : public PipeTest {
 protected:
  void SetUp() override {
    PipeTest::SetUp();
    dir_ = osvotest::scratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  // Parses a description (and, for the net variant, a cycle file) written for the case.
  void parseText(const std::string& desc, const std::string& cycle, bool pathVariant) {
    osvotest::writeFile(dir_ + "/d.desc", desc);
    osvotest::writeFile(dir_ + "/d.cycle", cycle);
    delete pipeParser(dir_ + "/d.desc", pathVariant ? "" : dir_ + "/d.cycle");
  }
  std::string dir_;
};

const std::string kBlocks = "2\nalu 1 1 0 100 10 5\nlsq 1 1 0 100 10 5\n";
const std::string kPathBlocks = "2\nalu 1 1 100\nlsq 1 1 100\n";

TEST_F(PipeDeathTest, MalformedFilesNameTheFileAndTheField) {
  EXPECT_EXIT(delete pipeParser(dir_ + "/missing.desc", dir_ + "/d.cycle"), ExitedWithCode(1),
              "^Error: cannot open description file \"[^\"]*/missing.desc\"\n$");
  osvotest::writeFile(dir_ + "/d.desc", kBlocks);
  EXPECT_EXIT(delete pipeParser(dir_ + "/d.desc", dir_ + "/missing.cycle"), ExitedWithCode(1),
              "^Error: cannot open cycle file \"[^\"]*/missing.cycle\"\n$");

  struct Case {
    std::string desc, cycle;
    bool pathVariant;
    std::string error;
  };
  const Case cases[] = {
      {"two\n", "", false,
       "^Error: [^\n]*d.desc: expected the number of blocks [^\n]*, found \"two\"\n$"},
      {"", "", false, "expected the number of blocks.*found the end of the file"},
      {"-1\n", "", false, "expected the number of blocks.*found \"-1\""},
      {"1\nalu 1.2.3 1 0 100 10 5\n", "", false,
       "expected the area of block \"alu\" \\(a number\\), found \"1.2.3\""},
      {"1\nalu 1 nan 0 100 10 5\n", "", false, "expected the aspect ratio of block \"alu\""},
      {"1\nalu 1 1 0.5 100 10 5\n", "", false,
       "expected the integer field after the aspect ratio of block \"alu\""},
      {"1\nalu 1 1 0 100 10 5x\n", "", false,
       "expected the set-up time of block \"alu\" \\(a number\\), found \"5x\""},
      // Records cut short by the end of the file.
      {"2\nalu 1 1 0 100 10\n", "", false,
       "^Error: [^\n]*d.desc: expected the set-up time of block \"alu\" \\(a number\\), "
       "found the end of the file\n$"},
      {"2\nalu 1 1 0 100 10 5\n", "", false,
       "expected the name of block 2 of 2, found the end of the file"},
      {kBlocks, "2\n2 n alu lsq\n2 m lsq\n", false,
       "^Error: [^\n]*d.cycle: expected sink block 1 of net \"m\", found the end of the file\n$"},
      {kBlocks, "3\n2 n alu lsq\n", false,
       "d.cycle: expected the pin count of net 2 of 3.*end of the file"},
      {kBlocks, "", false, "d.cycle: expected the number of nets"},
      {kBlocks, "1\n0 n alu\n", false,
       "expected the pin count of net 1 of 1 \\(at least 1\\), found \"0\""},
      // Sizes and delays that give no usable block.
      {"1\nalu 0 1 0 100 10 5\n", "", false,
       "^Error: [^\n]*d.desc: block \"alu\" has a non-positive area[^\n]*\n$"},
      {"1\nalu 1 -2 0 100 10 5\n", "", false, "block \"alu\" has a non-positive aspect ratio"},
      {"1\nrf -5 1 100\n0\n", "", true, "block \"rf\" has a non-positive area"},
      {"1\nrf 5 0 100\n0\n", "", true, "block \"rf\" has a non-positive aspect ratio"},
      {"1\nrf 5 1 3e9\n0\n", "", true, "block \"rf\" has a delay too large"},
      // Path records.
      {kPathBlocks + "1 0\n", "", true,
       "expected the number of paths of loop 1 \\(a positive integer\\), found \"0\""},
      {kPathBlocks + "2 1\n", "", true, "expected the number of paths of loop 2.*end of the file"},
      {kPathBlocks + "1 1\n0 alu 0.5\n", "", true,
       "expected the block count of path 1 of 1 \\(at least 1\\), found \"0\""},
      {kPathBlocks + "1 1\n2 alu lsq\n", "", true,
       "^Error: [^\n]*d.desc: expected the probability of path 1 of 1 \\(a number\\), "
       "found the end of the file\n$"},
      {kPathBlocks + "1 2\n2 alu lsq 0.5\n3 lsq alu\n", "", true,
       "expected block 3 of path 2 of 2, found the end of the file"},
  };
  for (const Case& c : cases) {
    if (c.pathVariant) usePathVariant("2.0");
    EXPECT_EXIT(parseText(c.desc, c.cycle, c.pathVariant), ExitedWithCode(1), c.error) << c.desc;
    ReadParam::clear();
  }
}

TEST_F(PipeDeathTest, UnknownBlocksStopThroughTheLookupAssertion) {
  const std::string assertion = "(.|\n)*f < fd->masterList\\.size\\(\\)";
  EXPECT_DEATH(parseText(kBlocks, "1\n2 n ghost lsq\n", false),
               "d.cycle: unknown block \"ghost\"" + assertion);
  EXPECT_DEATH(parseText(kBlocks, "1\n3 n alu lsq Lsq\n", false),
               "d.cycle: unknown block \"Lsq\"" + assertion);
  usePathVariant("2.0");
  EXPECT_DEATH(parseText(kPathBlocks + "1 1\n2 alu ghost 0.5\n", "", true),
               "d.desc: unknown block \"ghost\"" + assertion);
}

TEST_F(PipeDeathTest, ClockFrequencyMustLeaveAUsableCycle) {
  ReadParam::setOption("-pipe", "1");
  const std::string paths = kPathBlocks + "1 1\n2 alu lsq 0.5\n";
  EXPECT_EXIT(parseText(paths, "", true), ExitedWithCode(1),
              "^Error: option -fix_freq must be [^\n]*; it is not set\n$");
  for (const char* bad : {"0", "-1", "abc", "2GHz", "21.3", "30", "1e-9"}) {
    ReadParam::setOption("-fix_freq", bad);
    EXPECT_EXIT(parseText(paths, "", true), ExitedWithCode(1),
                std::string("option -fix_freq must be .*found \"") + bad + "\"")
        << bad;
  }
}

}  // namespace
}  // namespace pipetest
