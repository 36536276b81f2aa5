#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "OptionTestSupport.h"
#include "RunBinary.h"
#include "options/CpOption.h"
#include "options/OptionDefaults.h"
#include "options/OptionRange.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

class OptionDefaultsTest : public OptionStoreTest {
 protected:
  OptionDefaults tableDefaults() {
    return OptionDefaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                          &CP_OPTION::defaultOptionMap);
  }
};

TEST_F(OptionDefaultsTest, TableHas109WellFormedRows) {
  ASSERT_EQ(CP_OPTION::getDefaultOptionSize(), 436);
  std::set<std::string> keys;
  for (int i = 0; i < 436; i += 4) {
    for (int j = 0; j < 4; ++j) ASSERT_NE(CP_OPTION::defaultOptions[i + j], nullptr) << i;
    const std::string key = CP_OPTION::defaultOptions[i];
    const std::string type = CP_OPTION::defaultOptions[i + 1];
    EXPECT_TRUE(key.size() > 1 && key[0] == '-') << key;
    EXPECT_TRUE(type == "i" || type == "f" || type == "s") << key;
    keys.insert(key);
    // Every default passes its own range check, or it could never be filled in.
    EXPECT_TRUE(OptionRange::rangeCheck(type, CP_OPTION::defaultOptions[i + 3],
                                        CP_OPTION::defaultOptions[i + 2]))
        << key;
  }
  EXPECT_EQ(keys.size(), 109u);
  EXPECT_EQ(std::string(CP_OPTION::defaultOptions[0]), "-ALcluster");
  EXPECT_EQ(std::string(CP_OPTION::defaultOptions[432]), "-write2gdf");
}

TEST_F(OptionDefaultsTest, MapHoldsTypeAndRange) {
  tableDefaults().setDefaultOptionMap();
  EXPECT_EQ(ReadParam::defaultOptionMap, &CP_OPTION::defaultOptionMap);
  EXPECT_EQ(CP_OPTION::defaultOptionMap.size(), 109u);
  const auto& ws = CP_OPTION::defaultOptionMap.at("-whitespace");
  EXPECT_EQ(ws.first, "i");
  EXPECT_EQ(ws.second, "[0 100]");
  EXPECT_EQ(CP_OPTION::defaultOptionMap.at("-format").second, "v p s b i l f x");
  EXPECT_FALSE(ReadParam::isDefaultOption("-pipe"));
  EXPECT_TRUE(ReadParam::isDefaultOption("-F"));
}

TEST_F(OptionDefaultsTest, DefaultsFillOnlyEmptyOptions) {
  OptionDefaults defaults = tableDefaults();
  defaults.setDefaultOptionMap();
  CaptureStdout();
  CaptureStderr();
  ReadParam::setOption("-numMoves", "0");  // rejected: stays unset
  ReadParam::setOption("-whitespace", "35");
  ReadParam::setOption("-opt", "");  // empty counts as unset
  defaults.setAllDefaultOption();
  GetCapturedStderr();
  const std::string out = GetCapturedStdout();
  EXPECT_EQ(ReadParam::getOption("-numMoves"), "10");
  EXPECT_EQ(ReadParam::getOption("-whitespace"), "35");
  EXPECT_EQ(ReadParam::getOption("-opt"), "WL");
  EXPECT_EQ(ReadParam::getOption("-format"), "v");
  EXPECT_EQ(ReadParam::cmdOption.count("-seed"), 0u);  // no default
  EXPECT_NE(out.find("Set option -numMoves 10\n"), std::string::npos);
  EXPECT_EQ(out.find("Set option -whitespace 20\n"), std::string::npos);
}

TEST_F(OptionDefaultsTest, DumpOfTheTable) {
  const char* const table[] = {"-a", "i", "1", "0 1", "-b", "s", "", ""};
  OptionTypeRangeMap map;
  std::ostringstream out;
  OptionDefaults(table, 8, &map).dumpDefaultOptions(out);
  EXPECT_EQ(out.str(),
            "\n*************\nkey = -a\ntype = i\nval = 1\nrange = 0 1"
            "\n*************\nkey = -b\ntype = s\nval = \nrange = ");
}

TEST_F(OptionDefaultsTest, TableNotInQuadruplesEndsTheRun) {
  const char* const table[] = {"-a", "i", "1", "0 1", "-b", "s"};
  OptionTypeRangeMap map;
  EXPECT_EXIT(OptionDefaults(table, 6, &map).setDefaultOptionMap(), testing::ExitedWithCode(1),
              "Error in the default option initialize array, options does not appear in "
              "quadruple\n\n\\*+\nkey = -a");
  EXPECT_EXIT(OptionDefaults(table, 6, &map).setAllDefaultOption(), testing::ExitedWithCode(1),
              "options does not appear in quadruple");
}

TEST_F(OptionDefaultsTest, OptionFileIsEchoedAndRead) {
  const std::string dir = osvotest::scratchDir("OptionDefaultsTest.Echo");
  // A name with a blank and a single quote is still one word for the shell.
  const std::string file = dir + "/my opt's";
  osvotest::writeFile(file, "-numMoves 7\n");
  ReadParam::cmdOption["-readOptionFile"] = file;
  CaptureStdout();
  tableDefaults().processOptionFile();
  EXPECT_EQ(GetCapturedStdout(),
            "Read in Option file\n------\n-numMoves 7\n---------\nSet option -numMoves 7\n");
  EXPECT_EQ(ReadParam::getOption("-numMoves"), "7");
}

TEST_F(OptionDefaultsTest, OptionFileNameCannotRunCommands) {
  const std::string dir = osvotest::scratchDir("OptionDefaultsTest.Injection");
  const std::string marker = dir + "/pwned";
  for (const std::string& name : {"x; touch " + marker, "$(touch " + marker + ")",
                                  "x' ; touch '" + marker, "`touch " + marker + "`"}) {
    ReadParam::cmdOption["-readOptionFile"] = name;
    CaptureStdout();
    CaptureStderr();
    tableDefaults().processOptionFile();
    const std::string err = GetCapturedStderr();
    GetCapturedStdout();
    EXPECT_NE(err.find("Can not open option file " + name + "\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(marker)) << name;
  }
}

}  // namespace
