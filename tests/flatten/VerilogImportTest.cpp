// The import after parsing, starting from Verilog text: the writer's model is
// flattened (verifyHDM after every step), converted (VerifyCP), and completed
// from a cell library.
#include <gtest/gtest.h>

#include <sstream>

#include "HdmBuilder.h"
#include "RunBinary.h"
#include "flatten/HdmInterface.h"
#include "flatten/VerifyCP.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

using namespace CoarsePlacement;

namespace {

struct Imported {
  hdm::Model model;
  FlatDesign flat;
  std::ostringstream out, err;
  int steps = 0;

  Imported(const std::string& text, const std::string& top, const std::string& special = "") {
    std::istringstream in(text);
    VerilogScanner scanner(&in);
    WriteVerilog2HDM writer(&model);
    VerilogParser parser(scanner, writer, "t.v");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    parser.parse();
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();

    HDM_interface hi(&model, out, err);
    if (!special.empty()) {
      std::string file = osvotest::scratchDir("special") + "/special.txt";
      osvotest::writeFile(file, special);
      hi.setSpecialMasters(file);
    }
    hi.setStepObserver([&] {
      ++steps;
      std::string report;
      EXPECT_EQ(hdmtest::verifyErrors(model, &report), 0) << report;
    });
    hdm::Master* topMaster = model.masters().get(top);
    model.topModule = {topMaster, 0};
    hi.flattenAll(topMaster);
    hi.setFlatDesign(&flat);
    hi.HDM2CP();
    std::ostringstream report;
    EXPECT_EQ(VerifyCP(&flat, report).verify(), 0) << report.str();

    std::string lib = std::to_string(flat.instList.size()) + "\n";
    std::string entries;
    for (CktInstance* inst : flat.instList) {
      lib += instanceName(inst) + " 2\n";
      for (int v = 1; v <= 2; ++v)
        entries += instanceName(inst) + " w 0 comb " + std::to_string(100 * v) + " 1 0.5 0 0\n";
    }
    std::string file = osvotest::scratchDir("library") + "/cells.lib";
    osvotest::writeFile(file, lib + entries);
    hi.importCellLib(file);
  }

  std::vector<std::string> instNames() const {
    std::vector<std::string> names;
    for (CktInstance* i : flat.instList) names.push_back(instanceName(i));
    return names;
  }
  const CktNet* net(const std::string& name) const {
    for (const CktNet* n : flat.netList)
      if (n->name == name) return n;
    return nullptr;
  }
};

}  // namespace

TEST(VerilogImport, ExampleCoreBecomesAFlatDesignWhoseNetsAllHaveDrivers) {
  Imported im(osvotest::readFile(osvotest::dataPath("verilog/small-core.v")), "cpu");
  EXPECT_EQ(im.steps, 2);
  EXPECT_EQ(im.instNames(),
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

TEST(VerilogImport, JoinedPortsConstantsAndBusesFromText) {
  const char* text = R"(
module blk(a, y, clock);
  input [3:0] a;
  output [3:0] y;
  input clock;
endmodule
module pass(i, o);
  input i;
  output o;
  assign o = i;
endmodule
module tie(t);
  output t;
  assign t = 1'b1;
endmodule
module pair(a, y, clock);
  input [3:0] a;
  output [3:0] y;
  input clock;
  wire [3:0] w;
  blk first(a, w, clock);
  blk second(w, y, clock);
endmodule
module top(d, q, clock, s);
  input [3:0] d;
  output [3:0] q;
  input clock;
  output s;
  wire m, k;
  pair p(d, q, clock);
  blk again(.a(q), .y({m, k, m, k}), .clock(clock));
  pass through(.i(m), .o(s));
  tie one(.t(k));
endmodule
)";
  Imported im(text, "top", "pass tie");
  EXPECT_EQ(im.steps, 3);
  EXPECT_EQ(im.instNames(), (std::vector<std::string>{"again", "blk_0", "blk_1"}));
  // The pair's inside bus w (position 0) is one flat net of width 4.
  const CktNet* w = im.net("w[3]_0");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->width, 4);
  EXPECT_EQ(w->source->inst, im.flat.instList[1]);
  // pass joined m with the chip's output port s; tie made k constant, so it
  // is not converted; the chip's input bus d drives blk_0.
  EXPECT_EQ(im.net("k"), nullptr);
  // (The merged net keeps the name of the older of m and s.)
  const CktNet* m = im.net("m") ? im.net("m") : im.net("s");
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->pins.size(), 3u);  // the chip's s and again's y[3], y[1]
  EXPECT_EQ(m->pins[0]->port->name, "s");
  EXPECT_EQ(m->source->inst, im.flat.instList[0]);
  const CktNet* d = im.net("d[3]");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->width, 4);
  EXPECT_EQ(d->source->inst, im.flat.topInst);
}
