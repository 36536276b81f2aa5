// The option store, the range checks, the option table, the option file and
// the option rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Capture.h"
#include "RunBinary.h"
#include "options/CpOption.h"
#include "options/OptionDefaults.h"
#include "options/OptionRange.h"
#include "options/OptionRules.h"
#include "options/ReadParam.h"

namespace {

using osvotest::capture;
using osvotest::isError;
using osvotest::Printed;
using osvotest::throwsError;

// Every test starts from an empty, process-wide store with no option table.
class OptionStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    ReadParam::clear();
    ReadParam::defaultOptionMap = nullptr;
  }
  static OptionDefaults table() {
    return OptionDefaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                          &CP_OPTION::defaultOptionMap);
  }
  static std::string opt(const std::string& key) { return ReadParam::getOption(key); }
};

TEST(OptionRangeTest, AdmissibleValues) {
  struct Case {
    const char *type, *range;
    std::vector<std::string> admitted, rejected;
  };
  const Case cases[] = {
      {"i", "[0, 100]", {"0", "100"}, {"-1", "101"}},
      {"i", "[0 100]", {"0", "100", "20"}, {"101", "-5", "20abc", "2e1"}},  // a blank between
      {"f", "(0, )", {"1e-9", "1e300"}, {"0", "nan"}},                      // no upper bound
      {"f", "(0, 1)", {"0.99", ""}, {"0", "1"}},                            // an empty value passes
      {"i", "(, 5]", {"-100"}, {"6"}},                                      // no lower bound
      {"i", "[1, )", {"1", "+7", ""}, {"0", "-3"}},
      // A value that is not wholly a number of the type fails like one out of range.
      {"i", "[0, 1]", {"1"}, {"abc", "0.5", "1x", " 1", "0x1"}},
      {"f", "(0, )", {"2.5e4", "7"}, {"abc", "20abc", "inf", "1e400", "0x10"}},
      {"s", "v p s b i l f x", {"x", "v", ""}, {"q", "v p"}},  // whole words as text
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

TEST(OptionRangeTest, MalformedIntervals) {
  Printed p = capture([] { EXPECT_TRUE(OptionRange::rangeCheck("s", "[0, 1]", "7")); });
  EXPECT_EQ(p.err,
            "interval range type check must have type interger(i), or floating point(f)\n"
            "skip range check for type = s range = [0, 1] val = 7\n");
  p = capture([] { EXPECT_FALSE(OptionRange::rangeCheck("i", "[0, 5", "3")); });
  EXPECT_EQ(p.err, "] or ) expected in range [0, 5\n");
}

using ReadParamTest = OptionStoreTest;

TEST_F(ReadParamTest, IllegalKeysAndRangeErrorsStoreNothing) {
  for (const char* key : {"", "-", "f"}) {
    const Printed p = capture([&] { ReadParam::setOption(key, "1"); });
    EXPECT_EQ(p.err, "Illegal option key, val is not set\n") << key;
    EXPECT_EQ(p.out, "") << key;
  }
  EXPECT_TRUE(ReadParam::cmdOption.empty());
}

TEST_F(ReadParamTest, CommandLineKeysPositionalsRepeatsAndAKeyAtTheEnd) {
  table().setDefaultOptionMap();
  std::vector<std::string> words{"prog", "in.v",  "-seed",     "-5", "-numMoves",
                                 "3",    "extra", "-numMoves", "4",  "-t"};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  Printed p = capture([&] { ReadParam::read(static_cast<int>(argv.size()), argv.data()); });
  EXPECT_EQ(p.err, "Option -t is not complete: the command line ends before its value\n");
  EXPECT_EQ(ReadParam::argument, (std::vector<std::string>{"prog", "in.v", "extra"}));
  EXPECT_EQ(opt("-seed"), "-5");     // a value may begin with "-"
  EXPECT_EQ(opt("-numMoves"), "4");  // the last one wins
  EXPECT_EQ(ReadParam::cmdOption.count("-t"), 0u);
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
  const Printed p = capture([&] {
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
            "Option -t is not complete: option file " +
                file + " ends before its value\n");

  // Endless input: a word beyond the limit is refused with its line.
  std::istringstream endless("-numMoves 3\n\n-t " + std::string(5000, 'x'));
  EXPECT_TRUE(throwsError([&] { ReadParam::readOptStream(endless, "big"); },
                          "^Error: big:3: a word longer than 4096 characters\n$"));
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

TEST_F(OptionDefaultsTest, EveryDefaultPassesItsOwnRange) {
  const char* const* t = CP_OPTION::defaultOptions;
  for (int i = 0; i + 3 < CP_OPTION::getDefaultOptionSize(); i += 4)
    EXPECT_TRUE(OptionRange::rangeCheck(t[i + 1], t[i + 3], t[i + 2])) << t[i];
}

TEST_F(OptionDefaultsTest, RejectedValuesStayUnsetAndDefaultsFillOnlyEmptyOptions) {
  OptionDefaults defaults = table();
  defaults.setDefaultOptionMap();
  Printed p = capture([] {
    ReadParam::setOption("-numMoves", "0");
    ReadParam::setOption("-whitespace", "35");
    ReadParam::setOption("-opt", "");  // empty counts as unset
  });
  // The "Set option" line is printed for the rejected attempt too.
  EXPECT_EQ(p.out, "Set option -numMoves 0\nSet option -whitespace 35\nSet option -opt \n");
  EXPECT_EQ(p.err,
            "Range error for setting option -numMoves to 0\n"
            "option type = i option range = [1, )\n"
            "option -numMoves is not set\n");
  EXPECT_EQ(ReadParam::cmdOption.count("-numMoves"), 0u);
  capture([&] { defaults.setAllDefaultOption(); });
  EXPECT_EQ(opt("-numMoves"), "10");
  EXPECT_EQ(opt("-whitespace"), "35");
  EXPECT_EQ(opt("-opt"), "WL");
  EXPECT_EQ(ReadParam::cmdOption.count("-seed"), 0u);  // no default
}

TEST_F(OptionDefaultsTest, TablesNotInQuadruplesAreRefused) {
  const char* const table[] = {"-a", "i", "1", "0 1", "-b", "s"};
  OptionTypeRangeMap map;
  EXPECT_TRUE(throwsError([&] { OptionDefaults(table, 6, &map).setDefaultOptionMap(); },
                          "^Error in the default option initialize array, options does not appear "
                          "in quadruple\n\n\\*+\nkey = -a"));
  EXPECT_TRUE(throwsError([&] { OptionDefaults(table, 6, &map).setAllDefaultOption(); },
                          "options does not appear in quadruple"));
}

TEST_F(OptionDefaultsTest, OptionFileIsEchoedAndReadButItsNameRunsNothing) {
  const std::string dir = osvotest::scratchDir("OptionDefaultsTest.OptionFile");
  // A blank and a single quote in the name.
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

  // A directory or an endless device is refused before the shell copies it out.
  for (const std::string& name : {dir, std::string("/dev/zero")}) {
    ReadParam::cmdOption["-readOptionFile"] = name;
    const Printed p = capture([] { table().processOptionFile(); });
    EXPECT_TRUE(isError(p.error,
                        "^Error: option file " + name + " is (a directory|not a regular file)\n$"));
    EXPECT_EQ(p.out, "");
  }
}

using Options = std::vector<std::pair<std::string, std::string>>;

class OptionRulesTest : public OptionStoreTest {
 protected:
  static void prepare(const Options& options) {
    reset();
    capture([&] {
      OptionDefaults defaults = table();
      defaults.setDefaultOptionMap();
      for (const auto& [key, value] : options) ReadParam::setOption(key, value);
      defaults.setAllDefaultOption();
    });
  }
  static Printed runRules() {
    return capture([] { OptionRules(CP_OPTION::rules, CP_OPTION::getRuleSize()).processRules(); });
  }
};

TEST_F(OptionRulesTest, MissingInputsStopTheRun) {
  const std::pair<Options, const char*> cases[] = {
      {{}, "please input the verilog filename"},  // the defaults only
      {{{"-format", "p"}}, "please input the design name in PROUD format"},
      {{{"-format", "l"}}, "please input the LEF file"},
      {{{"-format", "l"}, {"-lef", "a.lef"}}, "please input the DEF file"},
      {{{"-format", "s"}}, "please input the design name in ISPD format"},
      {{{"-format", "b"}}, "please input the the aux file name in BookShelf format"},
      {{{"-format", "i"}}, "path name required in IDM format"},
      {{{"-format", "f"}, {"-width", "10"}}, "-width and -height must be set at the same time"},
  };
  for (const auto& [options, message] : cases) {
    prepare(options);
    EXPECT_TRUE(isError(runRules().error, std::string("^") + message + "\n$")) << message;
  }
}

TEST_F(OptionRulesTest, RulesFillDependentOptions) {
  const std::pair<Options, Options> cases[] = {
      // A value the user gave is kept.
      {{{"-format", "f"}, {"-auto", "2"}, {"-stopST2", "7"}, {"-netWeightFile", "w"}},
       {{"-stopST1", "0.01"}, {"-stopST2", "7"}, {"-useNetWeight", "1"}}},
      // An outline empties the scale factors.
      {{{"-format", "f"}, {"-width", "10"}, {"-height", "20"}, {"-sx", "3"}},
       {{"-sx", ""}, {"-sy", ""}}},
  };
  for (const auto& [options, expected] : cases) {
    prepare(options);
    runRules();
    for (const auto& [key, value] : expected) EXPECT_EQ(opt(key), value) << key;
  }
  EXPECT_EQ(ReadParam::cmdOption.count("-sx"), 1u);  // stored as the empty text
}

TEST_F(OptionRulesTest, TriggeredAndRejectedSetsAreReported) {
  // Rule 12 sets -sweep; rule 17 then finds it set and does nothing.
  prepare({{"-format", "f"}, {"-opt", "WEIGHTED"}});
  const std::string out = runRules().out;
  const std::string line = "Rule triggered: option -sweep overrided with 1\nSet option -sweep 1\n";
  ASSERT_NE(out.find(line), std::string::npos);
  EXPECT_EQ(out.find(line, out.find(line) + 1), std::string::npos);
  EXPECT_EQ(out.find("Reasons: "), std::string::npos);

  prepare({{"-format", "f"}, {"-showReason", "1"}, {"-netWeightFile", "w"}});
  EXPECT_NE(runRules().out.find("Rule triggered: option -useNetWeight overrided with 1\n"
                                "Reasons: \"eq\", \"-netWeightFile\", \"\"\n"
                                "  \"nil\"\n"
                                "  \"set\", \"-useNetWeight\", \"1\"\n"
                                "Set option -useNetWeight 1\n"),
            std::string::npos);

  // A set that fails its range check is reported and not stored; the rules go on.
  prepare({{"-format", "f"}});
  const char* const rejected[] = {"begin_rule", "set",   "-numMoves", "0",       "end_rule",
                                  "begin_rule", "print", "done",      "end_rule"};
  const Printed p = capture([&] { OptionRules(rejected, 9).processRules(); });
  EXPECT_NE(p.err.find("option -numMoves is not set\n"), std::string::npos);
  EXPECT_EQ(p.out.substr(p.out.size() - 4), "done");
  EXPECT_EQ(opt("-numMoves"), "10");
}

TEST_F(OptionRulesTest, MalformedRulesEndTheRun) {
  const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
      {{"nil", "end_rule"}, "^begin_rule expected in rules\nnil is read instead\n$"},
      {{"begin_rule", "nil", "nil"}, "^end_rule expected in rules\nnil is read instead\n$"},
      {{"begin_rule", "eq", "-a", "", "eq", "-b", "", "bogus"},
       "^Unrecognize key word is expected in rules\nDump current parsed rule:\n"
       "\"eq\", \"-a\", \"\"\n  \"eq\", \"-b\", \"\"\n    \"bogus\"\n$"},
      // A rule cut short is reported instead of reading past the array.
      {{"begin_rule", "eq", "-a", ""}, "Unrecognize key word"},
  };
  for (const auto& [tokens, message] : cases) {
    OptionRules rules(tokens.data(), static_cast<int>(tokens.size()));
    EXPECT_TRUE(throwsError([&] { rules.processRules(); }, message));
  }
}

}  // namespace
