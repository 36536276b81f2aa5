#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Flattening.h"
#include "flatten/ExportInstLoc.h"
#include "hdm/HdmViews.h"

using namespace hdm;
using namespace CoarsePlacement;
using hdmtest::HdmBuilder;

namespace {

struct Import : flattentest::Flattening {
  // top(i): x(a=i, y=n), y(a=n) of master blk.
  Master* twoBlocks() {
    Master* blk = b.master("blk", {{"a", PORT_IN}, {"y", PORT_OUT}});
    Master* top = b.master("top", {{"i", PORT_IN}});
    Inst* x = b.inst(top, blk, "x");
    Inst* y = b.inst(top, blk, "y");
    b.connect(top, x, "a", "i");
    b.connect(top, y, "a", "n");
    b.connect(top, x, "y", "n");
    return top;
  }
};

}  // namespace

// A 32-bit bus through a level of hierarchy, a clock, an input port, a port
// unconnected inside and a net with a single pin.
TEST(Convert, BusesClockPortsAndSinglePinNets) {
  Import im;
  HdmBuilder& b = im.b;
  Master* src = b.master("S", {{"q", PORT_OUT, 32}});
  Master* wrap = b.master("wrap", {{"o", PORT_OUT, 32}});
  b.connectBus(wrap, b.inst(wrap, src, "s"), "q", "o", 32);
  Master* sink =
      b.master("R", {{"d", PORT_IN, 32}, {"clk", PORT_IN}, {"en", PORT_IN}, {"z", PORT_OUT}});
  Master* top = b.master("top", {{"clock", PORT_IN}, {"i", PORT_IN}, {"spare", PORT_IN}});
  Inst* u = b.inst(top, wrap, "u");
  Inst* r = b.inst(top, sink, "r");
  b.connectBus(top, u, "o", "w", 32);
  b.connectBus(top, r, "d", "w", 32);
  std::vector<std::string> bits;
  for (int k = 31; k >= 0; --k) bits.push_back(hdmtest::bit("w", k));
  b.bus(top, "w", bits);
  b.connect(top, r, "clk", "clock");
  b.connect(top, r, "en", "i");
  b.connect(top, r, "z", "zz");

  im.convert(top);
  ASSERT_EQ(im.flat.masterList.size(), 3u);
  EXPECT_EQ(im.flat.topInst->master, im.flat.masterList[0]);
  ASSERT_EQ(im.flat.instList.size(), 2u);
  EXPECT_EQ(instanceName(im.flat.instList[1]), "S_0");

  // The bus regrouped around the copy of s becomes one flat net of width 32.
  ASSERT_EQ(im.flat.netList.size(), 2u);
  CktNet* w = im.net("w[31]");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->width, 32);
  ASSERT_EQ(w->pins.size(), 2u);
  EXPECT_EQ(w->source->inst, im.inst("S_0"));
  EXPECT_EQ(w->source->port->name, "q[31]");

  // The chip's input port drives its net; clock is never converted; the
  // single-pin net zz is dropped; the spare port gets a chip pin without a net.
  CktNet* i = im.net("i");
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->source->inst, im.flat.topInst);
  EXPECT_EQ(im.net("clock"), nullptr);
  EXPECT_EQ(im.net("zz"), nullptr);
  CktInstance* rr = im.inst("r");
  EXPECT_EQ(rr->inPins.size(), 2u);  // d[31] and en
  EXPECT_TRUE(rr->outPins.empty());
  ASSERT_EQ(im.flat.topInst->inPins.size(), 2u);
  EXPECT_EQ(im.flat.topInst->inPins[1]->port->name, "spare");
  EXPECT_EQ(im.flat.topInst->inPins[1]->net, nullptr);
}

TEST(Convert, LibraryVersionsOffsetsTypesAndFallback) {
  Import im;
  HdmBuilder& b = im.b;
  Master* blk = b.master("blk", {{"a", PORT_IN}, {"y", PORT_OUT}});
  Master* reg = b.master("reg", {{"a", PORT_IN}, {"y", PORT_OUT}});
  Master* top = b.master("top", {{"i", PORT_IN}});
  for (const char* name : {"b0", "b1", "b2"}) b.connect(top, b.inst(top, blk, name), "a", "i");
  Inst* q = b.inst(top, reg, "q");
  b.connect(top, q, "a", "i");
  for (int k = 0; k < 200; ++k)
    b.connect(top, b.inst(top, reg, hdmtest::numbered("r", k)), "a", "i");
  im.convert(top);

  std::string lib = "203  b0 3  b1 3  q 1\n";
  std::string entries;
  for (int k = 0; k < 200; ++k) {
    std::string name = hdmtest::numbered("r", k);
    lib += name + " 1\n";
    entries += name + " w 0 c 1 1 1 0 0\n";
  }
  lib += "b0 w 0 c 16 1 2.5 0.1 0.2  b0 w 0 c 9 1 2 0.1 0.2  b0 w 0 c 0 2 1.5 0.1 0.2\n";
  lib += "b1 w 0 c 25 1 3 0.3 0.4  b1 w 0 c 4 2 2 0.3 0.4  b1 w 0 c 1 3 1 0.3 0.4\n";
  lib += "q w 0 seq 36 1 1 0.5 0.6\n" + entries;
  im.err.str("");
  im.importLibrary(lib);

  CktMaster* m = im.inst("b0")->master;
  // b0, b1 and the fallback b2 (given b0's three versions) each own three.
  ASSERT_EQ(m->versions.size(), 9u);
  EXPECT_EQ(im.inst("b0")->versionOffset, 0);
  EXPECT_EQ(im.inst("b1")->versionOffset, 3);
  EXPECT_EQ(im.inst("b2")->versionOffset, 6);
  for (size_t k = 0; k < m->versions.size(); ++k) EXPECT_EQ(m->versions[k]->index, int(k));
  EXPECT_EQ(m->versions[3]->width, 5);  // b1's first version
  EXPECT_EQ(m->versions[2]->width, 0);  // area 0 leaves the size alone
  EXPECT_EQ(m->versions[6]->area, 16);  // b2 got b0's data
  EXPECT_EQ(m->type, 0);

  CktMaster* rm = im.inst("q")->master;
  EXPECT_EQ(rm->type, 1);  // seq
  // Many instances of one master: offsets well beyond a byte.
  EXPECT_EQ(im.inst("r199")->versionOffset, 200);
  EXPECT_EQ(rm->versions.size(), 201u);

  EXPECT_EQ(im.err.str(), "Warning: instance b2 is not a cell of the library " +
                              osvotest::scratchDir("library") +
                              "/cells.lib; it receives the data of cell b0\n");
  im.err.str("");
  im.hi->importCellLib("/nonexistent/cells.lib");
  EXPECT_EQ(im.err.str(),
            "can not open file /nonexistent/cells.lib\nError in read in library "
            "/nonexistent/cells.lib\n");
}

TEST(Convert, VerifyCPReportsBrokenDesigns) {
  Import im;
  im.convert(im.twoBlocks());

  CktNet* n = im.net("n");
  ASSERT_NE(n, nullptr);
  n->index = 7;
  n->source = im.net("i")->pins[0];
  std::ostringstream report;
  EXPECT_EQ(VerifyCP(&im.flat, report).verify(), 4) << report.str();
  EXPECT_NE(report.str().find("net with mismatch index n id 7 index = 1"), std::string::npos);
  EXPECT_NE(report.str().find("invalid net id for pin"), std::string::npos);
  EXPECT_NE(report.str().find("2-pin net count: 2\n"), std::string::npos);
}

TEST(Convert, SpecialMasterFileAndLocationExport) {
  Import im;
  Master* top = im.twoBlocks();
  HdmBuilder& b = im.b;
  InstSet& insts = top->version(0)->instances();

  std::string file = osvotest::scratchDir("special") + "/special.txt";
  osvotest::writeFile(file, "nothing\n");
  HDM_interface hi(&b.model(), im.out, im.err);
  hi.setSpecialMasters(file);
  hi.setSpecialMasters(file + ".missing");
  EXPECT_EQ(im.err.str(), "Master nothing can not be found\nCan not open special master file " +
                              file + ".missing\n");

  im.convert(top);
  im.flat.instList[1]->loc = TwoDLoc(40, 50);
  im.flat.instList[1]->orient = CP::F90;
  exportInstLoc().writeInstLoc(&b.model(), &im.flat);
  PhyV4Inst* view = getPhyV4Inst(insts.get("y"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->x, 40);
  EXPECT_EQ(view->y, 50);
  EXPECT_EQ(view->orient, 7);
  EXPECT_EQ(getPhyV4Inst(insts.get("x"))->orient, 0);
}
