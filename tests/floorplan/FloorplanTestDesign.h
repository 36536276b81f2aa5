#pragma once
// Databases over small hand-built designs for the database and annealer tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

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

// Every block (upright unless `turns`) inside the square outline of the
// whitespace, no two overlapping.
inline testing::AssertionResult legal(DB& db, int whitespace, bool turns = false) {
  const double side = std::sqrt(db.getNodesArea() * (1 + whitespace / 100.0));
  const double tol = 1e-9 * (side + 1);
  struct Box {
    double x0, y0, x1, y1;
  };
  std::vector<Box> boxes;
  for (CktInstance* inst : db.getNodes()) {
    Box b{inst->loc.x, inst->loc.y, inst->loc.x + db.getNodeWidth(inst),
          inst->loc.y + db.getNodeHeight(inst)};
    if (!turns && inst->orient != CP::B0)
      return testing::AssertionFailure() << db.getName(inst) << " turned";
    if (b.x0 < -tol || b.y0 < -tol || b.x1 > side + tol || b.y1 > side + tol)
      return testing::AssertionFailure() << db.getName(inst) << " outside the outline " << side;
    for (const Box& o : boxes)
      if (std::min(b.x1, o.x1) - std::max(b.x0, o.x0) > tol &&
          std::min(b.y1, o.y1) - std::max(b.y0, o.y0) > tol)
        return testing::AssertionFailure() << db.getName(inst) << " overlaps another block";
    boxes.push_back(b);
  }
  return testing::AssertionSuccess();
}

}  // namespace fptest
