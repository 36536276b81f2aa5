// The option rules: the program's own rule array over completed option stores,
// and the interpreter on small token arrays.
#include <sstream>
#include <utility>
#include <vector>

#include "OptionTestSupport.h"
#include "options/OptionRules.h"

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

class OptionRulesTest : public OptionStoreTest {
 protected:
  // The start-up sequence without the rules: table, the given options, defaults.
  static void prepare(const Options& options) {
    reset();
    capture([&] {
      OptionDefaults defaults = table();
      defaults.setDefaultOptionMap();
      for (const auto& [key, value] : options) ReadParam::setOption(key, value);
      defaults.setAllDefaultOption();
    });
  }
  // Runs the program's rules and returns what they printed on standard output.
  static std::string runRules() {
    testing::internal::CaptureStdout();
    OptionRules(CP_OPTION::rules, CP_OPTION::getRuleSize()).processRules();
    return testing::internal::GetCapturedStdout();
  }
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
      {{{"-format", "f"}, {"-height", "10"}}, "-width and -height must be set at the same time"},
  };
  for (const auto& [options, message] : cases) {
    prepare(options);
    EXPECT_EXIT(runRules(), testing::ExitedWithCode(1), std::string("^") + message + "\n$")
        << message;
  }
}

TEST_F(OptionRulesTest, RulesFillDependentOptions) {
  const std::pair<Options, Options> cases[] = {
      {{{"-f", "cpu.v"}},
       {{"-sx", "1"},
        {"-sy", "1"},
        {"-eli", "60"},
        {"-c", "cell.lib"},
        {"-padmove", "0"},
        {"-keepHdm", ""}}},
      // No file name is demanded for the pipeline format.
      {{{"-format", "x"}, {"-opt", "EPSILON"}}, {{"-c", ""}, {"-eli", "1000"}, {"-sweep", "1"}}},
      {{{"-format", "i"}, {"-p", "path"}, {"-padloc", "2"}, {"-write2gdf", "g"}},
       {{"-keepHdm", "1"}, {"-padfile", "pad.loc"}}},
      {{{"-format", "f"}, {"-auto", "2"}, {"-stopST2", "7"}, {"-netWeightFile", "w"}},
       {{"-stopST1", "0.01"}, {"-stopST2", "7"}, {"-stopST3", "0.5"}, {"-useNetWeight", "1"}}},
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

TEST_F(OptionRulesTest, TriggeredSetsAreReported) {
  prepare({{"-f", "cpu.v"}});
  std::string out = runRules();
  EXPECT_NE(out.find("Rule triggered: option -c overrided with cell.lib\nSet option -c cell.lib\n"),
            std::string::npos);
  EXPECT_EQ(out.find("Reasons: "), std::string::npos);

  // Rule 12 sets -sweep; rule 17 then finds it set and does nothing.
  prepare({{"-format", "f"}, {"-opt", "WEIGHTED"}});
  out = runRules();
  const std::string line = "Rule triggered: option -sweep overrided with 1\n";
  ASSERT_NE(out.find(line), std::string::npos);
  EXPECT_EQ(out.find(line, out.find(line) + 1), std::string::npos);

  prepare({{"-format", "f"}, {"-showReason", "1"}, {"-netWeightFile", "w"}});
  EXPECT_NE(runRules().find("Rule triggered: option -useNetWeight overrided with 1\n"
                            "Reasons: \"eq\", \"-netWeightFile\", \"\"\n"
                            "  \"nil\"\n"
                            "  \"set\", \"-useNetWeight\", \"1\"\n"
                            "Set option -useNetWeight 1\n"),
            std::string::npos);
}

TEST_F(OptionRulesTest, RejectedSetsAndSkippedBranches) {
  prepare({{"-format", "f"}});
  const char* const rejected[] = {"begin_rule", "set",   "-numMoves", "0",       "end_rule",
                                  "begin_rule", "print", "done",      "end_rule"};
  Printed p = capture([&] { OptionRules(rejected, 9).processRules(); });
  EXPECT_NE(p.err.find("option -numMoves is not set\n"), std::string::npos);
  EXPECT_EQ(p.out.substr(p.out.size() - 4), "done");  // the rules go on
  EXPECT_EQ(opt("-numMoves"), "10");

  // Skipped branches are consumed, not run.
  const char* const skipped[] = {"begin_rule", "eq",    "-k",       "",           "print", "A",
                                 "exit",       "never", "end_rule", "begin_rule", "eq",    "-k",
                                 "x",          "exit",  "never",    "eq",         "-j",    "",
                                 "print",      "B",     "nil",      "end_rule"};
  EXPECT_EQ(capture([&] { OptionRules(skipped, 22).processRules(); }).out, "AB");
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
  OptionRules rules(tokens, 13);
  capture([&] { rules.processRules(); });
  std::ostringstream out;
  rules.dumpCurrentParsedRule(out);
  EXPECT_EQ(out.str(),
            "\"eq\", \"-a\", \"\"\n  \"eq\", \"-b\", \"\"\n    \"set\", \"-c\", \"1\"\n"
            "    \"nil\"\n  \"nil\"\n");
  EXPECT_EQ(opt("-c"), "1");
}

}  // namespace
