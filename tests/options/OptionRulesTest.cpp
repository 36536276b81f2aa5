#include <gtest/gtest.h>

#include <sstream>

#include "OptionTestSupport.h"
#include "options/CpOption.h"
#include "options/OptionDefaults.h"
#include "options/OptionRules.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

class OptionRulesTest : public OptionStoreTest {
 protected:
  // The start-up sequence without the rules: table, the given options, defaults.
  static void prepare(std::initializer_list<std::pair<std::string, std::string>> options) {
    OptionDefaults defaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                            &CP_OPTION::defaultOptionMap);
    CaptureStdout();
    defaults.setDefaultOptionMap();
    for (const auto& [key, value] : options) ReadParam::setOption(key, value);
    defaults.setAllDefaultOption();
    GetCapturedStdout();
  }
  // Runs the program's rules and returns what they printed on standard output.
  static std::string runRules() {
    CaptureStdout();
    OptionRules(CP_OPTION::rules, CP_OPTION::getRuleSize()).processRules();
    return GetCapturedStdout();
  }
  static std::string opt(const std::string& key) { return ReadParam::getOption(key); }
};

TEST_F(OptionRulesTest, RuleArrayHas24Rules) {
  ASSERT_EQ(CP_OPTION::getRuleSize(), 291);
  int rules = 0;
  for (int i = 0; i < 291; ++i) {
    ASSERT_NE(CP_OPTION::rules[i], nullptr) << i;
    if (std::string(CP_OPTION::rules[i]) == "begin_rule") ++rules;
  }
  EXPECT_EQ(rules, 24);
}

TEST_F(OptionRulesTest, DefaultsOnlyStopsForMissingVerilogFile) {
  prepare({});
  EXPECT_EXIT(runRules(), testing::ExitedWithCode(1), "^please input the verilog filename\n$");
}

TEST_F(OptionRulesTest, DefaultsWithVerilogFile) {
  prepare({{"-f", "cpu.v"}});
  const std::string out = runRules();
  EXPECT_EQ(opt("-sx"), "1");
  EXPECT_EQ(opt("-sy"), "1");
  EXPECT_EQ(opt("-eli"), "60");
  EXPECT_EQ(opt("-c"), "cell.lib");
  EXPECT_EQ(opt("-padmove"), "0");
  EXPECT_EQ(opt("-keepHdm"), "");
  EXPECT_NE(out.find("Rule triggered: option -c overrided with cell.lib\nSet option -c cell.lib\n"),
            std::string::npos);
  EXPECT_EQ(out.find("Reasons: "), std::string::npos);
}

TEST_F(OptionRulesTest, PipelineFormatDemandsNoFileName) {
  prepare({{"-format", "x"}, {"-opt", "EPSILON"}});
  runRules();
  EXPECT_EQ(opt("-c"), "");
  EXPECT_EQ(opt("-eli"), "1000");
  EXPECT_EQ(opt("-sweep"), "1");
}

TEST_F(OptionRulesTest, WeightedSetsSweepOnce) {
  prepare({{"-format", "f"}, {"-opt", "WEIGHTED"}});
  const std::string out = runRules();
  const std::string line = "Rule triggered: option -sweep overrided with 1\n";
  const size_t first = out.find(line);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(out.find(line, first + 1), std::string::npos);
  EXPECT_EQ(opt("-sweep"), "1");
}

TEST_F(OptionRulesTest, InputNamesPerFormat) {
  const std::pair<const char*, const char*> cases[] = {
      {"p", "please input the design name in PROUD format"},
      {"l", "please input the LEF file"},
      {"s", "please input the design name in ISPD format"},
      {"b", "please input the the aux file name in BookShelf format"},
      {"i", "path name required in IDM format"},
  };
  for (const auto& [format, message] : cases) {
    reset();
    prepare({{"-format", format}});
    EXPECT_EXIT(runRules(), testing::ExitedWithCode(1), std::string("^") + message + "\n$")
        << format;
  }
  reset();
  prepare({{"-format", "l"}, {"-lef", "a.lef"}});
  EXPECT_EXIT(runRules(), testing::ExitedWithCode(1), "^please input the DEF file\n$");
  reset();
  prepare({{"-format", "i"}, {"-p", "path"}, {"-padloc", "2"}, {"-write2gdf", "g"}});
  runRules();
  EXPECT_EQ(opt("-keepHdm"), "1");
  EXPECT_EQ(opt("-padfile"), "pad.loc");
}

TEST_F(OptionRulesTest, OutlineNeedsBothSides) {
  prepare({{"-format", "f"}, {"-width", "10"}, {"-height", "20"}, {"-sx", "3"}});
  runRules();
  EXPECT_EQ(opt("-sx"), "");
  EXPECT_EQ(opt("-sy"), "");
  EXPECT_EQ(ReadParam::cmdOption.count("-sx"), 1u);  // stored as the empty text

  reset();
  prepare({{"-format", "f"}, {"-width", "10"}});
  EXPECT_EXIT(runRules(), testing::ExitedWithCode(1),
              "^-width and -height must be set at the same time\n$");
  reset();
  prepare({{"-format", "f"}, {"-height", "10"}});
  EXPECT_EXIT(runRules(), testing::ExitedWithCode(1), "must be set at the same time");
}

TEST_F(OptionRulesTest, AutoStopCriteriaAndNetWeights) {
  prepare({{"-format", "f"}, {"-auto", "2"}, {"-stopST2", "7"}, {"-netWeightFile", "w"}});
  runRules();
  EXPECT_EQ(opt("-stopST1"), "0.01");
  EXPECT_EQ(opt("-stopST2"), "7");
  EXPECT_EQ(opt("-stopST3"), "0.5");
  EXPECT_EQ(opt("-useNetWeight"), "1");
}

TEST_F(OptionRulesTest, ShowReasonPrintsTheRecordedRule) {
  prepare({{"-format", "f"}, {"-showReason", "1"}, {"-netWeightFile", "w"}});
  const std::string out = runRules();
  EXPECT_NE(out.find("Rule triggered: option -useNetWeight overrided with 1\n"
                     "Reasons: \"eq\", \"-netWeightFile\", \"\"\n"
                     "  \"nil\"\n"
                     "  \"set\", \"-useNetWeight\", \"1\"\n"
                     "Set option -useNetWeight 1\n"),
            std::string::npos);
}

TEST_F(OptionRulesTest, RejectedSetIsReportedAndRulesGoOn) {
  const char* const tokens[] = {"begin_rule", "set",   "-numMoves", "0",       "end_rule",
                                "begin_rule", "print", "done",      "end_rule"};
  prepare({{"-format", "f"}});
  CaptureStdout();
  CaptureStderr();
  OptionRules(tokens, 9).processRules();
  EXPECT_NE(GetCapturedStderr().find("option -numMoves is not set\n"), std::string::npos);
  const std::string out = GetCapturedStdout();
  EXPECT_EQ(out.substr(out.size() - 4), "done");
  EXPECT_EQ(opt("-numMoves"), "10");
}

TEST_F(OptionRulesTest, SkippedBranchesAreConsumedNotRun) {
  const char* const tokens[] = {"begin_rule", "eq",    "-k",       "",           "print", "A",
                                "exit",       "never", "end_rule", "begin_rule", "eq",    "-k",
                                "x",          "exit",  "never",    "eq",         "-j",    "",
                                "print",      "B",     "nil",      "end_rule"};
  CaptureStdout();
  OptionRules(tokens, 22).processRules();
  EXPECT_EQ(GetCapturedStdout(), "AB");
}

TEST_F(OptionRulesTest, MalformedRulesEndTheRun) {
  const char* const noBegin[] = {"nil", "end_rule"};
  EXPECT_EXIT(OptionRules(noBegin, 2).processRules(), testing::ExitedWithCode(1),
              "^begin_rule expected in rules\nnil is read instead\n$");
  const char* const noEnd[] = {"begin_rule", "nil", "nil"};
  EXPECT_EXIT(OptionRules(noEnd, 3).processRules(), testing::ExitedWithCode(1),
              "^end_rule expected in rules\nnil is read instead\n$");
  const char* const unknown[] = {"begin_rule", "eq", "-a", "", "bogus", "nil", "end_rule"};
  EXPECT_EXIT(OptionRules(unknown, 7).processRules(), testing::ExitedWithCode(1),
              "^Unrecognize key word is expected in rules\nDump current parsed rule:\n"
              "\"eq\", \"-a\", \"\"\n  \"bogus\"\n$");
  // A rule cut short is reported instead of reading past the array.
  const char* const truncated[] = {"begin_rule", "eq", "-a", ""};
  EXPECT_EXIT(OptionRules(truncated, 4).processRules(), testing::ExitedWithCode(1),
              "Unrecognize key word");
}

TEST_F(OptionRulesTest, DumpOfNestedRule) {
  const char* const tokens[] = {"begin_rule", "eq", "-a", "",    "eq",  "-b",      "",
                                "set",        "-c", "1",  "nil", "nil", "end_rule"};
  CaptureStdout();
  OptionRules rules(tokens, 13);
  rules.processRules();
  GetCapturedStdout();
  std::ostringstream out;
  rules.dumpCurrentParsedRule(out);
  EXPECT_EQ(out.str(),
            "\"eq\", \"-a\", \"\"\n  \"eq\", \"-b\", \"\"\n    \"set\", \"-c\", \"1\"\n"
            "    \"nil\"\n  \"nil\"\n");
  EXPECT_EQ(opt("-c"), "1");
}

}  // namespace
