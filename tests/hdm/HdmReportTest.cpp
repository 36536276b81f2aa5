#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "HdmBuilder.h"
#include "hdm/HdmPrint.h"
#include "hdm/HdmVerify.h"

using namespace hdm;
using hdmtest::HdmBuilder;

namespace {

// top(in a, out y): u1 AND(A=a, B=a, Y=w), bus of w and a.
void buildSmall(HdmBuilder& b) {
  Master* and2 = b.master("AND", {{"A", PORT_IN}, {"B", PORT_IN}, {"Y", PORT_OUT}});
  Master* top = b.master("top", {{"a", PORT_IN}, {"y", PORT_OUT}});
  Inst* u = b.inst(top, and2, "u1");
  b.connect(top, u, "A", "a");
  b.connect(top, u, "B", "w");
  b.connect(top, u, "Y", "y");
  b.bus(top, "v", {"a", "w"});
  b.model().setTech(std::make_unique<Tech>());
  b.model().tech()->lambda = 0.5;
  b.model().tech()->setLayerProperty(0, 2, 1.5);
}

}  // namespace

TEST(HdmPrint, SmallModelLineByLine) {
  HdmBuilder b;
  buildSmall(b);
  std::ostringstream out;
  printModel(&b.model(), out);
  std::string text = std::regex_replace(out.str(), std::regex("pin 0x[0-9a-f]+"), "pin @");
  // The tech header, then every master; the AND master prints as top does.
  EXPECT_TRUE(
      text.starts_with("Tech info:\n\tLambda = 0.5 number of layers = 1\n"
                       "\tLayer 0 0 0 1.5 0 0 direction 2\n******************\n"
                       "Master AND\n"));
  EXPECT_EQ(text.substr(text.find("Master top")),
            "Master top\n"
            "Number of ports: 2\n"
            "Port a PORT_IN\n"
            "Port y PORT_OUT\n"
            "------\n"
            "------version 0\n"
            "\tNumber of instances: 1\n"
            "\tNumber of nets: 3\n"
            "Inst u1 of AND version 0\n"
            "Number of pins: 3\n"
            "pin @ in instance  u1 port A in net a\n"
            "pin @ in instance  u1 port B in net w\n"
            "pin @ in instance  u1 port Y in net y\n"
            "\t------\n"
            "Net a is BUS v\n"
            "pin @ in instance  u1 port A in net a\n"
            "Port a PORT_IN\n"
            "Net y\n"
            "pin @ in instance  u1 port Y in net y\n"
            "Port y PORT_OUT\n"
            "Net w is BUS v\n"
            "pin @ in instance  u1 port B in net w\n"
            "\t------\n"
            "Bus v\n"
            "\t net a\n"
            "\t net w\n"
            "\t\t-----\n"
            "\t Inst u1\n");
  std::ostringstream none;
  printModel(nullptr, none);
  printNet(nullptr, none);
  EXPECT_EQ(none.str(), "Model 0\nnet 0\n");
}

TEST(HdmVerify, CleanModelPassesAndEachBrokenReferenceIsReported) {
  HdmBuilder b;
  buildSmall(b);
  std::ostringstream out;
  verifyHDM clean(out);
  clean.verifyModel(&b.model());
  EXPECT_EQ(clean.errorCount(), 0) << out.str();
  EXPECT_EQ(clean.noticeCount(), 3);  // the AND body's three port nets have no pins
  clean.reportNetStat();
  EXPECT_NE(out.str().find("Output net stats\n0-pin net count: 3\n1-pin net count: 3\n"),
            std::string::npos);

  Master* top = b.model().masters().get("top");
  MasterVersion* body = top->version(0);
  Net* w = body->nets().get("w");
  Net* y = body->nets().get("y");
  Port* a = top->ports().at(0);
  body->attachNet2Port(a, y);   // port a now claims net y, which does not carry it
  Bus* lone = new Bus("lone");  // a bus of one net
  body->buses().push_back(lone);
  lone->nets().push_back(w);  // listed, but w points to bus v

  std::ostringstream report;
  verifyHDM broken(report);
  broken.verifyMasterVersion(body);
  EXPECT_EQ(broken.errorCount(), 4) << report.str();
  for (const char* text :
       {"Inconsistant port-net pair: net a port a", "Inconsistant port-net pair: port a net y",
        "Bus lone has zero ot one net only", "In Bus lone Net w bus PTR does not match"})
    EXPECT_NE(report.str().find(text), std::string::npos) << text;
}
