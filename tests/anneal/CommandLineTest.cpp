#include <gtest/gtest.h>

#include <string>

#include "AnnealTestDesign.h"
#include "anneal/CommandLine.h"

using annealtest::setOptions;

TEST(CommandLine, TakesTheTableDefaults) {
  setOptions();
  Command_Line p;
  EXPECT_EQ(p.outPlotFile, "out");
  EXPECT_EQ(p.areaWeight, 30);
  EXPECT_EQ(p.flSuccess, 10);
  EXPECT_DOUBLE_EQ(p.normTime, 30000);
  EXPECT_DOUBLE_EQ(p.startTime, 30000);
  EXPECT_DOUBLE_EQ(p.coolTime, 0.01);
  EXPECT_DOUBLE_EQ(p.maxWS, 20);
  EXPECT_DOUBLE_EQ(p.reqdAR, 1.0);
  EXPECT_DOUBLE_EQ(p.verRate, 1.0);
  EXPECT_DOUBLE_EQ(p.fixFreq, 0);
  EXPECT_EQ(p.timingOn, 1);
  EXPECT_TRUE(p.minWL);
  EXPECT_TRUE(p.plot);
  EXPECT_FALSE(p.plotHide1 || p.plotHide2 || p.plotHide3);
  // Neither is in the option table: not given means off.
  EXPECT_FALSE(p.fenrik);
  EXPECT_FALSE(p.reshapable);
}

TEST(CommandLine, ConvertsOptionTextsLikeTheCLibrary) {
  setOptions({{"-initTemp", "2.5e4"},
              {"-outPlotFile", ""},
              {"-coolTemp", "2.5e-3"},
              {"-whitespace", "15.9"},
              {"-fenrik", "1"},
              {"-reshapable", "0"},
              {"-areaWeight", "abc"}});
  Command_Line p;
  EXPECT_DOUBLE_EQ(p.normTime, 2);  // integer conversion stops at the point
  EXPECT_DOUBLE_EQ(p.startTime, 2);
  EXPECT_EQ(p.outPlotFile, "out");
  EXPECT_DOUBLE_EQ(p.coolTime, 0.0025);
  EXPECT_DOUBLE_EQ(p.maxWS, 15);
  EXPECT_TRUE(p.fenrik);
  EXPECT_FALSE(p.reshapable);
  EXPECT_EQ(p.areaWeight, 0);  // no number at all
}

TEST(CommandLine, AnEmptyStoreReadsZeroes) {
  ReadParam::clear();
  Command_Line p;
  EXPECT_EQ(p.areaWeight, 0);
  EXPECT_DOUBLE_EQ(p.startTime, 0);
  EXPECT_DOUBLE_EQ(p.verRate, 0);
  EXPECT_EQ(p.outPlotFile, "out");
}

TEST(CommandLine, LongPlotFileNamesAreCutTo199Characters) {
  setOptions({{"-outPlotFile", std::string(300, 'p')}, {"-initTemp", "99999999999999"}});
  Command_Line p;
  EXPECT_EQ(p.outPlotFile, std::string(199, 'p'));
  EXPECT_GT(p.startTime, 0);  // saturates instead of overflowing
}

TEST(CommandLine, PrintsTheParametersExactly) {
  setOptions();
  Command_Line p;
  testing::internal::CaptureStdout();
  p.printAnnealerParams();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Annealer Params: \n"
            "\tnormalizing Time  30000\n"
            "\tstart Time        30000\n"
            "\tcooling Time      0.01\n"
            "\treqd Aspect Ratio 1 (-9999 means no fixed shape)\n"
            "\tminimize WL       1\n"
            "\tmaximum WS        20% (only for fixed-outline)\n"
            "\n");
}
