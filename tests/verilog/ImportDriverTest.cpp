// The import driver on the small core of tests/data: the model it builds is
// gone when it returns; the design it returns is complete, every net driven,
// and carries the library's data.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Capture.h"
#include "RunBinary.h"
#include "flatten/VerifyCP.h"
#include "verilog/Verilog2CP.h"

using namespace CoarsePlacement;
using VERILOG4CPINTERFACE::VERILOG2CP_interface;

TEST(ImportDriver, ReleasesTheModelAndReturnsTheCompletedDesign) {
  auto model = std::make_unique<hdm::Model>();  // a stale model is replaced, then released
  std::unique_ptr<FlatDesign> design;
  const osvotest::Printed p = osvotest::capture([&] {
    design = VERILOG2CP_interface::processVerilog(model, osvotest::dataPath("verilog/small-core.v"),
                                                  "cpu",
                                                  osvotest::dataPath("verilog/small-core.lib"), "");
  });
  ASSERT_FALSE(p.error.has_value()) << p.error->what();
  EXPECT_EQ(model, nullptr);
  EXPECT_TRUE(osvotest::contains(
      p.err, "flatten an instance of frontend\nflatten an instance of backend\n"))
      << p.err;
  EXPECT_FALSE(osvotest::contains(p.err, "Warning")) << p.err;
  std::ostringstream report;
  EXPECT_EQ(VerifyCP(design.get(), report).verify(), 0) << report.str();

  std::vector<std::string> names;
  for (const CktInstance* inst : design->instList) names.push_back(instanceName(inst));
  EXPECT_EQ(names, (std::vector<std::string>{"fetch_0", "icache_0", "decode_0", "rename_0", "iq_0",
                                             "regfile_0", "alu_0", "lsu_0", "rob_0"}));
  const CktNet* clk = nullptr;
  for (const CktNet* n : design->netList) {
    ASSERT_NE(n->source, nullptr) << n->name;
    if (n->name == "clk") clk = n;
  }
  ASSERT_NE(clk, nullptr);  // driven by the chip's input port
  EXPECT_EQ(clk->source->inst, design->topInst);
  EXPECT_EQ(clk->pins.size(), 10u);
  // icache_0 has two versions in the library.
  EXPECT_EQ(design->instList[1]->master->versions.size(), 2u);
}
