#pragma once
// Databases over small hand-built designs for the database and annealer tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Capture.h"
#include "DesignBuilder.h"
#include "RunBinary.h"
#include "floorplan/DB.h"

namespace fptest {

using namespace CoarsePlacement;
using osvotest::capture;
using osvotest::isError;
using osvotest::Printed;
using TestDesign = osvotest::DesignBuilder;

// A fresh scratch directory of the running test.
inline std::string testDir() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return osvotest::scratchDir(std::string(info->test_suite_name()) + "_" + info->name());
}

// Compares a location as EXPECT_DOUBLE_EQ does.
inline testing::AssertionResult at(TwoDLoc p, double x, double y) {
  auto r = testing::internal::CmpHelperFloatingPointEQ<double>("x", "actual x", x, p.x);
  return r ? testing::internal::CmpHelperFloatingPointEQ<double>("y", "actual y", y, p.y) : r;
}

// A database over the design, with what its construction prints swallowed.
inline std::unique_ptr<DB> quietDB(TestDesign& t, DatabaseParams params) {
  std::unique_ptr<DB> db;
  const Printed p = capture([&] { db = std::make_unique<DB>(t.get(), params); });
  if (p.error) throw *p.error;
  return db;
}
inline std::unique_ptr<DB> quietDB(TestDesign& t, int whitespace = 20, bool timing = false,
                                   double freq = 1.0) {
  return quietDB(t, DatabaseParams{whitespace, timing, 0, freq, 1.0, "", ""});
}

}  // namespace fptest
