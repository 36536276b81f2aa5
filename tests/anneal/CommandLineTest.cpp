// The annealer parameters: conversion of the option texts and their report.
#include <gtest/gtest.h>

#include <string>

#include "AnnealTestDesign.h"
#include "anneal/CommandLine.h"

using fptest::setOptions;

TEST(CommandLine, ConvertsOptionTextsLikeTheCLibrary) {
  setOptions({{"-initTemp", "2.5e4"},
              {"-outPlotFile", ""},
              {"-coolTemp", "2.5e-3"},
              {"-whitespace", "15.9"},
              {"-fenrik", "1"},
              {"-areaWeight", "abc"},
              {"-ver_rate", "0.5"}});
  Command_Line p;
  EXPECT_DOUBLE_EQ(p.normTime, 2);  // integer conversion stops at the point
  EXPECT_DOUBLE_EQ(p.startTime, 2);
  EXPECT_EQ(p.outPlotFile, "out");
  EXPECT_DOUBLE_EQ(p.coolTime, 0.0025);
  EXPECT_DOUBLE_EQ(p.maxWS, 15);
  EXPECT_DOUBLE_EQ(p.verRate, 0.5);
  EXPECT_EQ(p.areaWeight, 0);  // no number at all
  EXPECT_EQ(p.flSuccess, 10);
  EXPECT_EQ(p.timingOn, 1);
  EXPECT_TRUE(p.fenrik);
  // Not in the option table: not given means off.
  EXPECT_FALSE(p.reshapable);

  // Long plot file names are cut to 199 characters; large numbers saturate.
  setOptions({{"-outPlotFile", std::string(300, 'p')}, {"-initTemp", "99999999999999"}});
  Command_Line large;
  EXPECT_EQ(large.outPlotFile, std::string(199, 'p'));
  EXPECT_GT(large.startTime, 0);
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
