// The option store, the range checks, the option table and the option file.
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

#include "OptionTestSupport.h"
#include "RunBinary.h"
#include "options/OptionRange.h"

namespace {

TEST(OptionRangeTest, AdmissibleValues) {
  struct Case {
    const char *type, *range;
    std::vector<std::string> admitted, rejected;
  };
  const Case cases[] = {
      {"i", "[0, 100]", {"0", "100"}, {"-1", "101"}},
      {"i", "[0 100]", {"0", "100"}, {"101", "-5"}},  // a blank between the bounds
      {"f", "[0, 1]", {"0.5"}, {"1.0001"}},
      {"f", "(0, )", {"1e-9", "1e300"}, {"0", "nan"}},  // no upper bound
      {"f", "(0, 1)", {"0.99", ""}, {"0", "1"}},        // an empty value passes
      {"i", "(, 5]", {"-100"}, {"6"}},                  // no lower bound
      {"i", "[1, )", {"1", "1.9", ""}, {"0", "0.9"}},   // integers: leading digits
      {"i", "[0, 10]", {"5abc"}, {}},
      {"s", "v p s b i l f x", {"x", "v", ""}, {"q", "v p"}},  // whole words as text
      {"s", "WL WEIGHTED EPSILON", {"WEIGHTED"}, {"wl", "W"}},
      {"i", "0 1 2", {"0", "2"}, {"01"}},
      {"f", "", {"anything"}, {}},
  };
  for (const Case& c : cases) {
    for (const std::string& v : c.admitted)
      EXPECT_TRUE(OptionRange::rangeCheck(c.type, c.range, v)) << c.range << " " << v;
    for (const std::string& v : c.rejected)
      EXPECT_FALSE(OptionRange::rangeCheck(c.type, c.range, v)) << c.range << " " << v;
  }
}

TEST(OptionRangeTest, MalformedIntervalsAndConversions) {
  Printed p = capture([] { EXPECT_TRUE(OptionRange::rangeCheck("s", "[0, 1]", "7")); });
  EXPECT_EQ(p.err,
            "interval range type check must have type interger(i), or floating point(f)\n"
            "skip range check for type = s range = [0, 1] val = 7\n");
  p = capture([] { EXPECT_FALSE(OptionRange::rangeCheck("i", "[0, 5", "3")); });
  EXPECT_EQ(p.err, "] or ) expected in range [0, 5\n");

  EXPECT_EQ(OptionRange::getIntVal("", 7), 7);
  EXPECT_EQ(OptionRange::getIntVal("-12", 7), -12);
  EXPECT_EQ(OptionRange::getIntVal("99999999999999999999", 7), 2147483647);
  EXPECT_DOUBLE_EQ(OptionRange::getDoubleVal("", 0.5), 0.5);
  EXPECT_DOUBLE_EQ(OptionRange::getDoubleVal("2.25", 0.5), 2.25);
  for (const auto& [text, expected] : {std::pair{"", 5}, {"1", 1}, {"0", 0}, {"yes", 5}})
    EXPECT_EQ(OptionRange::getOnOff(text, 5), expected) << text;

  p = capture([] {
    EXPECT_EQ(OptionRange::getRangeIntVal("4", 0, 10, 3), 4);
    EXPECT_EQ(OptionRange::getRangeIntVal("11", 0, 10, 3), 3);
    EXPECT_DOUBLE_EQ(OptionRange::getRangeDoubleVal("0.25", 0, 1, 0.5), 0.25);
    EXPECT_DOUBLE_EQ(OptionRange::getRangeDoubleVal("-0.5", 0, 1, 0.5), 0.5);
  });
  EXPECT_EQ(p.err,
            "val 11 out of range [0, 10], use default 3\n"
            "val -0.5 out of range [0, 1], use default 0.5\n");
}

using ReadParamTest = OptionStoreTest;

TEST_F(ReadParamTest, IllegalKeysAndRangeErrorsStoreNothing) {
  EXPECT_EQ(opt("-f"), "");
  for (const char* key : {"", "-", "f", "x-"}) {
    const Printed p = capture([&] { ReadParam::setOption(key, "1"); });
    EXPECT_EQ(p.err, "Illegal option key, val is not set\n") << key;
    EXPECT_EQ(p.out, "") << key;
  }
  EXPECT_TRUE(ReadParam::cmdOption.empty());

  table().setDefaultOptionMap();
  const Printed p = capture([] {
    ReadParam::setOption("-numMoves", "5");
    ReadParam::setOption("-numMoves", "0");
  });
  // The "Set option" line is printed for the rejected attempt too.
  EXPECT_EQ(p.out, "Set option -numMoves 5\nSet option -numMoves 0\n");
  EXPECT_EQ(p.err,
            "Range error for setting option -numMoves to 0\n"
            "option type = i option range = [1, )\n"
            "option -numMoves is not set\n");
  EXPECT_EQ(opt("-numMoves"), "5");
}

TEST_F(ReadParamTest, CommandLineKeysPositionalsRepeatsAndAKeyAtTheEnd) {
  table().setDefaultOptionMap();
  std::vector<std::string> words{"prog", "in.v",  "-seed",     "-5", "-numMoves",
                                 "3",    "extra", "-numMoves", "4",  "-t"};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  Printed p = capture([&] { ReadParam::read(static_cast<int>(argv.size()), argv.data()); });
  EXPECT_EQ(p.err, "Unexpected end of file encountered!\nOption -t is not complete\n");
  EXPECT_EQ(ReadParam::argument, (std::vector<std::string>{"prog", "in.v", "extra"}));
  EXPECT_EQ(opt("-seed"), "-5");     // a value may begin with "-"
  EXPECT_EQ(opt("-numMoves"), "4");  // the last one wins
  EXPECT_EQ(ReadParam::cmdOption.count("-t"), 0u);
  EXPECT_EQ(ReadParam::getArgument(1), "in.v");
  p = capture([] {
    EXPECT_EQ(ReadParam::getArgument(3), "");
    EXPECT_EQ(ReadParam::getArgument(-1), "");
  });
  EXPECT_EQ(p.err, "argument out of range\nargument out of range\n");
}

TEST_F(ReadParamTest, OptionFileWordsAndPrecedence) {
  const std::string file = osvotest::scratchDir("ReadParamTest.OptionFile") + "/opts";
  osvotest::writeFile(file,
                      "# not a comment: skipped\n"
                      "-numMoves 20 x -\t-whitespace 101 -whitespace 40\n"
                      "-whitespace 50 -opt  WEIGHTED\n-t\n");
  table().setDefaultOptionMap();
  Printed p = capture([&] {
    ReadParam::setOption("-opt", "EPSILON");  // as from the command line
    ReadParam::readOptFile(file);
  });
  EXPECT_EQ(opt("-numMoves"), "20");
  // A rejected value lets a later one through; after that the first one wins.
  EXPECT_EQ(opt("-whitespace"), "40");
  EXPECT_EQ(opt("-opt"), "EPSILON");  // the command line wins
  EXPECT_EQ(ReadParam::cmdOption.count("#"), 0u);
  EXPECT_EQ(p.err,
            "Range error for setting option -whitespace to 101\n"
            "option type = i option range = [0 100]\noption -whitespace is not set\n"
            "Unexpected end of file encountered!\nOption -t is not complete\n");

  reset();
  p = capture([] { ReadParam::readOptFile("/nonexistent/osvo.opt"); });
  EXPECT_EQ(p.err, "Can not open option file /nonexistent/osvo.opt\n");
  EXPECT_TRUE(ReadParam::cmdOption.empty());
}

TEST_F(ReadParamTest, DumpIsInByteOrderAndMarksUnknownKeys) {
  table().setDefaultOptionMap();
  capture([] {
    for (const char* key : {"-alpha", "-IPcluster", "-F", "-EMAX", "-CRATE", "-ALcluster"})
      ReadParam::setOption(key, std::string(key) == "-F" ? "0.5" : "1");
    ReadParam::setOption("-pipe", "p.txt");
    ReadParam::setOption("-Zeta", "");
  });
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

using OptionDefaultsTest = OptionStoreTest;

TEST_F(OptionDefaultsTest, TableHas109WellFormedRowsInTheMap) {
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

  table().setDefaultOptionMap();
  EXPECT_EQ(ReadParam::defaultOptionMap, &CP_OPTION::defaultOptionMap);
  EXPECT_EQ(CP_OPTION::defaultOptionMap.size(), 109u);
  EXPECT_EQ(CP_OPTION::defaultOptionMap.at("-whitespace").first, "i");
  EXPECT_EQ(CP_OPTION::defaultOptionMap.at("-whitespace").second, "[0 100]");
  EXPECT_EQ(CP_OPTION::defaultOptionMap.at("-format").second, "v p s b i l f x");
  EXPECT_FALSE(ReadParam::isDefaultOption("-pipe"));
  EXPECT_TRUE(ReadParam::isDefaultOption("-F"));
}

TEST_F(OptionDefaultsTest, DefaultsFillOnlyEmptyOptions) {
  OptionDefaults defaults = table();
  defaults.setDefaultOptionMap();
  const Printed p = capture([&] {
    ReadParam::setOption("-numMoves", "0");  // rejected: stays unset
    ReadParam::setOption("-whitespace", "35");
    ReadParam::setOption("-opt", "");  // empty counts as unset
    defaults.setAllDefaultOption();
  });
  EXPECT_EQ(opt("-numMoves"), "10");
  EXPECT_EQ(opt("-whitespace"), "35");
  EXPECT_EQ(opt("-opt"), "WL");
  EXPECT_EQ(opt("-format"), "v");
  EXPECT_EQ(ReadParam::cmdOption.count("-seed"), 0u);  // no default
  EXPECT_NE(p.out.find("Set option -numMoves 10\n"), std::string::npos);
  EXPECT_EQ(p.out.find("Set option -whitespace 20\n"), std::string::npos);
}

TEST_F(OptionDefaultsTest, DumpOfTheTableAndTablesNotInQuadruples) {
  const char* const table[] = {"-a", "i", "1", "0 1", "-b", "s", "", ""};
  OptionTypeRangeMap map;
  std::ostringstream out;
  OptionDefaults(table, 8, &map).dumpDefaultOptions(out);
  EXPECT_EQ(out.str(),
            "\n*************\nkey = -a\ntype = i\nval = 1\nrange = 0 1"
            "\n*************\nkey = -b\ntype = s\nval = \nrange = ");
  EXPECT_EXIT(OptionDefaults(table, 6, &map).setDefaultOptionMap(), testing::ExitedWithCode(1),
              "Error in the default option initialize array, options does not appear in "
              "quadruple\n\n\\*+\nkey = -a");
  EXPECT_EXIT(OptionDefaults(table, 6, &map).setAllDefaultOption(), testing::ExitedWithCode(1),
              "options does not appear in quadruple");
}

TEST_F(OptionDefaultsTest, OptionFileIsEchoedAndReadButItsNameRunsNothing) {
  const std::string dir = osvotest::scratchDir("OptionDefaultsTest.OptionFile");
  // A name with a blank and a single quote is still one word for the shell.
  const std::string file = dir + "/my opt's";
  osvotest::writeFile(file, "-numMoves 7\n");
  ReadParam::cmdOption["-readOptionFile"] = file;
  EXPECT_EQ(capture([] { table().processOptionFile(); }).out,
            "Read in Option file\n------\n-numMoves 7\n---------\nSet option -numMoves 7\n");
  EXPECT_EQ(opt("-numMoves"), "7");

  const std::string marker = dir + "/pwned";
  for (const std::string& name : {"x; touch " + marker, "$(touch " + marker + ")",
                                  "x' ; touch '" + marker, "`touch " + marker + "`"}) {
    ReadParam::cmdOption["-readOptionFile"] = name;
    const Printed p = capture([] { table().processOptionFile(); });
    EXPECT_NE(p.err.find("Can not open option file " + name + "\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(marker)) << name;
  }
}

}  // namespace
