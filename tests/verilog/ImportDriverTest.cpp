// The import driver on the small core of tests/data: the model it builds is
// gone when it returns, and the design it returns carries the library's data.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Capture.h"
#include "RunBinary.h"
#include "verilog/Verilog2CP.h"

using VERILOG4CPINTERFACE::VERILOG2CP_interface;

TEST(ImportDriver, ReleasesTheModelAndReturnsTheCompletedDesign) {
  auto model = std::make_unique<hdm::Model>();  // a stale model is replaced, then released
  std::unique_ptr<CoarsePlacement::FlatDesign> design;
  const osvotest::Printed p = osvotest::capture([&] {
    design = VERILOG2CP_interface::processVerilog(model, osvotest::dataPath("verilog/small-core.v"),
                                                  "cpu",
                                                  osvotest::dataPath("verilog/small-core.lib"), "");
  });
  ASSERT_FALSE(p.error.has_value()) << p.error->what();
  EXPECT_EQ(model, nullptr);
  ASSERT_EQ(design->instList.size(), 9u);
  // icache_0 has two versions in the library.
  EXPECT_EQ(design->instList[1]->master->versions.size(), 2u);
  EXPECT_EQ(p.err.find("Warning"), std::string::npos) << p.err;
}
