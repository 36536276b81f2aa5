#include <gtest/gtest.h>

#include <sstream>

#include "OptionTestSupport.h"
#include "RunBinary.h"
#include "options/CpOption.h"
#include "options/OptionDefaults.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

class ReadParamTest : public OptionStoreTest {
 protected:
  // Loads the real option table so that values are range-checked.
  static void loadTable() {
    OptionDefaults defaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                            &CP_OPTION::defaultOptionMap);
    defaults.setDefaultOptionMap();
  }
};

TEST_F(ReadParamTest, UnsetOptionReadsAsEmptyText) {
  EXPECT_EQ(ReadParam::getOption("-f"), "");
  EXPECT_TRUE(ReadParam::cmdOption.empty());
}

TEST_F(ReadParamTest, IllegalKeysAreNotStored) {
  for (const char* key : {"", "-", "f", "x-"}) {
    CaptureStdout();
    CaptureStderr();
    ReadParam::setOption(key, "1");
    EXPECT_EQ(GetCapturedStderr(), "Illegal option key, val is not set\n") << key;
    EXPECT_EQ(GetCapturedStdout(), "") << key;
  }
  EXPECT_TRUE(ReadParam::cmdOption.empty());
}

TEST_F(ReadParamTest, RangeErrorKeepsPreviousValue) {
  loadTable();
  CaptureStdout();
  ReadParam::setOption("-numMoves", "5");
  CaptureStderr();
  ReadParam::setOption("-numMoves", "0");
  EXPECT_EQ(GetCapturedStderr(),
            "Range error for setting option -numMoves to 0\n"
            "option type = i option range = [1, )\n"
            "option -numMoves is not set\n");
  // The "Set option" line is printed for the rejected attempt too.
  EXPECT_EQ(GetCapturedStdout(), "Set option -numMoves 5\nSet option -numMoves 0\n");
  EXPECT_EQ(ReadParam::getOption("-numMoves"), "5");
}

TEST_F(ReadParamTest, CommandLineKeysPositionalsAndRepeats) {
  loadTable();
  Argv args{"prog", "in.v", "-seed", "-5", "-numMoves", "3", "extra", "-numMoves", "4"};
  CaptureStdout();
  ReadParam::read(args.argc(), args.argv());
  GetCapturedStdout();
  EXPECT_EQ(ReadParam::argument, (std::vector<std::string>{"prog", "in.v", "extra"}));
  EXPECT_EQ(ReadParam::getOption("-seed"), "-5");     // a value may begin with "-"
  EXPECT_EQ(ReadParam::getOption("-numMoves"), "4");  // the last one wins
  EXPECT_EQ(ReadParam::getArgument(1), "in.v");
  CaptureStderr();
  EXPECT_EQ(ReadParam::getArgument(3), "");
  EXPECT_EQ(ReadParam::getArgument(-1), "");
  EXPECT_EQ(GetCapturedStderr(), "argument out of range\nargument out of range\n");
}

TEST_F(ReadParamTest, KeyAtEndOfCommandLine) {
  Argv args{"prog", "-t", "top", "-seed"};
  CaptureStdout();
  CaptureStderr();
  ReadParam::read(args.argc(), args.argv());
  GetCapturedStdout();
  EXPECT_EQ(GetCapturedStderr(),
            "Unexpected end of file encountered!\nOption -seed is not complete\n");
  EXPECT_EQ(ReadParam::getOption("-t"), "top");
  EXPECT_EQ(ReadParam::cmdOption.count("-seed"), 0u);
}

TEST_F(ReadParamTest, OptionFileWordsAndPrecedence) {
  const std::string dir = osvotest::scratchDir("ReadParamTest.OptionFile");
  const std::string file = dir + "/opts";
  osvotest::writeFile(file,
                      "# not a comment: skipped\n"
                      "-numMoves 20 x -\t-whitespace 40\n"
                      "-whitespace 50 -opt  WEIGHTED\n-t\n");
  loadTable();
  CaptureStdout();
  ReadParam::setOption("-opt", "EPSILON");  // as from the command line
  CaptureStderr();
  ReadParam::readOptFile(file);
  const std::string err = GetCapturedStderr();
  GetCapturedStdout();
  EXPECT_EQ(ReadParam::getOption("-numMoves"), "20");
  EXPECT_EQ(ReadParam::getOption("-whitespace"), "40");  // the first one in the file wins
  EXPECT_EQ(ReadParam::getOption("-opt"), "EPSILON");    // the command line wins
  EXPECT_EQ(err, "Unexpected end of file encountered!\nOption -t is not complete\n");
  EXPECT_EQ(ReadParam::cmdOption.count("#"), 0u);
}

TEST_F(ReadParamTest, RejectedFileValueLetsALaterOneThrough) {
  const std::string dir = osvotest::scratchDir("ReadParamTest.Rejected");
  osvotest::writeFile(dir + "/opts", "-whitespace 101 -whitespace 100\n");
  loadTable();
  CaptureStdout();
  CaptureStderr();
  ReadParam::readOptFile(dir + "/opts");
  GetCapturedStderr();
  GetCapturedStdout();
  EXPECT_EQ(ReadParam::getOption("-whitespace"), "100");
}

TEST_F(ReadParamTest, UnreadableOptionFile) {
  CaptureStderr();
  ReadParam::readOptFile("/nonexistent/osvo.opt");
  EXPECT_EQ(GetCapturedStderr(), "Can not open option file /nonexistent/osvo.opt\n");
  EXPECT_TRUE(ReadParam::cmdOption.empty());
}

TEST_F(ReadParamTest, DumpIsInByteOrderAndMarksUnknownKeys) {
  loadTable();
  CaptureStdout();
  for (const char* key : {"-alpha", "-IPcluster", "-F", "-EMAX", "-CRATE", "-ALcluster"}) {
    ReadParam::setOption(key, std::string(key) == "-F" ? "0.5" : "1");
  }
  ReadParam::setOption("-pipe", "p.txt");
  ReadParam::setOption("-Zeta", "");
  GetCapturedStdout();
  std::ostringstream out;
  ReadParam::dumpAllOptions(out);
  EXPECT_EQ(out.str(),
            "==Dump all Options==\n"
            "-ALcluster 1\n-CRATE 1\n-EMAX 1\n-F 0.5\n-IPcluster 1\n"
            "*NON-DEFAULT-OPTION* -Zeta \n"
            "-alpha 1\n"
            "*NON-DEFAULT-OPTION* -pipe p.txt\n"
            "==Dump ends==\n");
}

}  // namespace
