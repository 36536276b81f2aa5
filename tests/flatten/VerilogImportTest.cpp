// The import after parsing, starting from Verilog text: the writer's model is
// flattened (verifyHDM after every step), converted (VerifyCP), and completed
// from a cell library.
#include <gtest/gtest.h>

#include <sstream>

#include "Capture.h"
#include "Flattening.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

using namespace CoarsePlacement;

namespace {

// The model the writer builds from `text`, flattened and converted from `top`,
// each block given two versions by the library.
struct Imported : flattentest::Flattening {
  Imported(const std::string& text, const std::string& top) {
    std::istringstream in(text);
    VerilogScanner scanner(&in);
    WriteVerilog2HDM writer(&b.model());
    VerilogParser parser(scanner, writer, "t.v");
    osvotest::capture([&] { parser.parse(); });
    convert(b.model().masters().get(top));
    std::string lib = std::to_string(flat.instList.size()) + "\n", entries;
    for (CktInstance* inst : flat.instList) {
      lib += instanceName(inst) + " 2\n";
      for (int v = 1; v <= 2; ++v)
        entries += instanceName(inst) + " w 0 comb " + std::to_string(100 * v) + " 1 0.5 0 0\n";
    }
    importLibrary(lib + entries);
  }
};

}  // namespace

TEST(VerilogImport, ExampleCoreBecomesAFlatDesignWhoseNetsAllHaveDrivers) {
  Imported im(osvotest::readFile(osvotest::dataPath("verilog/small-core.v")), "cpu");
  EXPECT_EQ(im.steps, 2);
  EXPECT_EQ(im.flatInstNames(),
            (std::vector<std::string>{"fetch_0", "icache_0", "decode_0", "rename_0", "iq_0",
                                      "regfile_0", "alu_0", "lsu_0", "rob_0"}));
  EXPECT_EQ(im.err.str(), "flatten an instance of frontend\nflatten an instance of backend\n");
  for (const CktNet* n : im.flat.netList) {
    ASSERT_NE(n->source, nullptr) << n->name;
    EXPECT_NE(n->pins.size(), 0u);
  }
  // clk comes from the chip's input port.
  const CktNet* clk = im.net("clk");
  ASSERT_NE(clk, nullptr);
  EXPECT_EQ(clk->source->inst, im.flat.topInst);
  EXPECT_EQ(clk->pins.size(), 10u);
  // Every block owns its two versions of the master it shares with no other.
  for (CktInstance* inst : im.flat.instList) {
    EXPECT_EQ(inst->master->versions.size(), 2u);
    EXPECT_EQ(inst->versionOffset, 0);
    EXPECT_EQ(inst->master->versions[1]->area, 200);
  }
}
