#include <gtest/gtest.h>

#include <string>

#include "options/OptionRange.h"

namespace {

bool check(const std::string& type, const std::string& range, const std::string& value) {
  return OptionRange::rangeCheck(type, range, value);
}

TEST(OptionRangeTest, IntervalWithCommaSeparator) {
  EXPECT_TRUE(check("i", "[0, 100]", "0"));
  EXPECT_TRUE(check("i", "[0, 100]", "100"));
  EXPECT_FALSE(check("i", "[0, 100]", "-1"));
  EXPECT_FALSE(check("i", "[0, 100]", "101"));
  EXPECT_TRUE(check("f", "[0, 1]", "0.5"));
  EXPECT_FALSE(check("f", "[0, 1]", "1.0001"));
}

TEST(OptionRangeTest, IntervalWithBlankSeparator) {
  EXPECT_TRUE(check("i", "[0 100]", "100"));
  EXPECT_FALSE(check("i", "[0 100]", "101"));
  EXPECT_TRUE(check("i", "[0 100]", "0"));
  EXPECT_FALSE(check("i", "[0 100]", "-5"));
}

TEST(OptionRangeTest, OpenAndMissingBounds) {
  EXPECT_FALSE(check("f", "(0, )", "0"));
  EXPECT_TRUE(check("f", "(0, )", "1e-9"));
  EXPECT_TRUE(check("f", "(0, )", "1e300"));
  EXPECT_FALSE(check("f", "(0, )", "nan"));
  EXPECT_FALSE(check("i", "[1, )", "0"));
  EXPECT_TRUE(check("i", "[1, )", "1"));
  EXPECT_FALSE(check("f", "(0, 1)", "0"));
  EXPECT_FALSE(check("f", "(0, 1)", "1"));
  EXPECT_TRUE(check("f", "(0, 1)", "0.99"));
  // No lower bound text: only the upper bound is checked.
  EXPECT_TRUE(check("i", "(, 5]", "-100"));
  EXPECT_FALSE(check("i", "(, 5]", "6"));
}

TEST(OptionRangeTest, IntegersCompareByLeadingDigits) {
  EXPECT_TRUE(check("i", "[0, 10]", "5abc"));
  EXPECT_TRUE(check("i", "[1, )", "1.9"));
  EXPECT_FALSE(check("i", "[1, )", "0.9"));
}

TEST(OptionRangeTest, Enumerations) {
  const std::string formats = "v p s b i l f x";
  EXPECT_TRUE(check("s", formats, "x"));
  EXPECT_TRUE(check("s", formats, "v"));
  EXPECT_FALSE(check("s", formats, "q"));
  EXPECT_FALSE(check("s", formats, "v p"));
  EXPECT_TRUE(check("s", "WL WEIGHTED EPSILON", "WEIGHTED"));
  EXPECT_FALSE(check("s", "WL WEIGHTED EPSILON", "wl"));
  EXPECT_FALSE(check("s", "WL WEIGHTED EPSILON", "W"));
  EXPECT_FALSE(check("i", "0 1 2", "01"));
}

TEST(OptionRangeTest, EmptyValueOrRangeIsAdmitted) {
  EXPECT_TRUE(check("i", "[1, )", ""));
  EXPECT_TRUE(check("f", "(0, 1)", ""));
  EXPECT_TRUE(check("s", "v p s", ""));
  EXPECT_TRUE(check("f", "", "anything"));
}

TEST(OptionRangeTest, MalformedIntervalsAreReported) {
  testing::internal::CaptureStderr();
  EXPECT_TRUE(check("s", "[0, 1]", "7"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "interval range type check must have type interger(i), or floating point(f)\n"
            "skip range check for type = s range = [0, 1] val = 7\n");

  testing::internal::CaptureStderr();
  EXPECT_FALSE(check("i", "[0, 5", "3"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "] or ) expected in range [0, 5\n");
}

TEST(OptionRangeTest, Conversions) {
  EXPECT_EQ(OptionRange::getIntVal("", 7), 7);
  EXPECT_EQ(OptionRange::getIntVal("-12", 7), -12);
  EXPECT_EQ(OptionRange::getIntVal("99999999999999999999", 7), 2147483647);
  EXPECT_DOUBLE_EQ(OptionRange::getDoubleVal("", 0.5), 0.5);
  EXPECT_DOUBLE_EQ(OptionRange::getDoubleVal("2.25", 0.5), 2.25);
  EXPECT_EQ(OptionRange::getOnOff("", 5), 5);
  EXPECT_EQ(OptionRange::getOnOff("1", 5), 1);
  EXPECT_EQ(OptionRange::getOnOff("0", 5), 0);
  EXPECT_EQ(OptionRange::getOnOff("yes", 5), 5);
}

TEST(OptionRangeTest, RangedConversionsFallBackToDefault) {
  EXPECT_EQ(OptionRange::getRangeIntVal("4", 0, 10, 3), 4);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OptionRange::getRangeIntVal("11", 0, 10, 3), 3);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "val 11 out of range [0, 10], use default 3\n");

  EXPECT_DOUBLE_EQ(OptionRange::getRangeDoubleVal("0.25", 0, 1, 0.5), 0.25);
  testing::internal::CaptureStderr();
  EXPECT_DOUBLE_EQ(OptionRange::getRangeDoubleVal("-0.5", 0, 1, 0.5), 0.5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "val -0.5 out of range [0, 1], use default 0.5\n");
}

}  // namespace
