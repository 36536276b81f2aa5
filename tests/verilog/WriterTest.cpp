// The Verilog writer through the whole front-end (scanner, parser, writer):
// ports, nets, assignments, constants, buses and the refused constructs. Every
// model built here must pass verifyHDM without an error.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "HdmBuilder.h"
#include "RunBinary.h"
#include "hdm/Hdm.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace {

struct Built {
  std::unique_ptr<hdm::Model> model = std::make_unique<hdm::Model>();
  int result = -1;
  std::string out;
  std::string err;

  hdm::Master* master(const std::string& name) const { return model->masters().get(name); }
};

Built build(const std::string& text) {
  Built b;
  std::istringstream in(text);
  VerilogScanner scanner(&in);
  WriteVerilog2HDM writer(b.model.get());
  VerilogParser parser(scanner, writer, "w.v");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  b.result = parser.parse();
  b.err = ::testing::internal::GetCapturedStderr();
  b.out = ::testing::internal::GetCapturedStdout();
  std::string report;
  EXPECT_EQ(hdmtest::verifyErrors(*b.model, &report), 0) << report;
  return b;
}

// "name:dir" of every port.
std::string portsOf(const hdm::Master* m) {
  std::string s;
  for (const hdm::Port* p : m->ports())
    s += (s.empty() ? "" : " ") + p->name() + ":" + "iob"[p->dir()];
  return s;
}

// Every net of version 0: name, "#0"/"#1" for constants, "@bus" for bus
// members, "(ports)" it carries and "{inst.port ...}" of its pins.
std::string netsOf(const hdm::Master* m) {
  std::string s;
  for (const hdm::Net* n : m->version(0)->nets()) {
    if (!s.empty()) s += " ";
    s += n->name();
    if (n->type() == hdm::NET_CONST_ZERO) s += "#0";
    if (n->type() == hdm::NET_CONST_ONE) s += "#1";
    if (n->bus()) s += "@" + n->bus()->name();
    if (!n->ports().empty()) {
      s += "(";
      for (size_t i = 0; i < n->ports().size(); ++i) s += (i ? "," : "") + n->ports()[i]->name();
      s += ")";
    }
    s += "{";
    for (size_t i = 0; i < n->pins().size(); ++i)
      s += (i ? "," : "") + n->pins()[i]->inst()->name() + "." + n->pins()[i]->port()->name();
    s += "}";
  }
  return s;
}

std::string instancesOf(const hdm::Master* m) {
  std::string s;
  for (const hdm::Inst* i : m->version(0)->instances())
    s += (s.empty() ? "" : " ") + i->name() + ":" + i->master()->name();
  return s;
}

std::string busesOf(const hdm::Master* m) {
  std::string s;
  for (const hdm::Bus* b : m->version(0)->buses()) {
    s += (s.empty() ? "" : " ") + b->name() + ":";
    int k = 0;
    for (const hdm::Net* n : b->nets()) s += (k++ ? "," : "") + n->name();
  }
  return s;
}

using osvotest::contains;

const char* const kLeaf = "module leaf(A, Y); input A; output Y; endmodule\n";

TEST(Writer, PortsFromDeclarations) {
  Built b = build("module m(a, b, d, y); input a, b; input [3:0] d; output [0:1] y; endmodule\n");
  EXPECT_EQ(portsOf(b.master("m")), "a:i b:i d[3]:i d[2]:i d[1]:i d[0]:i y[0]:o y[1]:o");
  EXPECT_EQ(netsOf(b.master("m")),
            "a(a){} b(b){} d[3]@d(d[3]){} d[2]@d(d[2]){} d[1]@d(d[1]){} d[0]@d(d[0]){} "
            "y[0]@y(y[0]){} y[1]@y(y[1]){}");
}

TEST(Writer, RedeclarationsGenerateNothingTwice) {
  Built b = build(
      "module m(a, d); input a; input [3:0] d; input a; output [7:0] d; wire [3:0] d; wire a;\n"
      "  wire [7:0] d; endmodule\n");
  EXPECT_EQ(portsOf(b.master("m")), "a:i d[3]:i d[2]:i d[1]:i d[0]:i");
  EXPECT_EQ(b.master("m")->version(0)->nets().size(), 5);
  EXPECT_EQ(b.err,
            "Parse module m\nHDM warning! redefine port a\nHDM warning! redefine port d\n"
            "Warning!! redefine bus with a different size\nParser complete\n");
}

TEST(Writer, DuplicateModuleBodyIsSkipped) {
  Built b = build(std::string(kLeaf) +
                  "module m(a); input a; endmodule\n"
                  "module m(x, y); input x; output y; leaf u(.A(x), .Y(y)); assign y = x;\n"
                  "endmodule\n");
  EXPECT_EQ(b.result, 1);
  EXPECT_EQ(b.model->masters().size(), 2);
  EXPECT_EQ(portsOf(b.master("m")), "a:i");
  EXPECT_EQ(instancesOf(b.master("m")), "");
  EXPECT_TRUE(contains(b.err, "HDM warning! duplicate module definition m\n"));
  EXPECT_FALSE(contains(b.err, "not found in param list"));
}

TEST(Writer, InstancesAndTheirNames) {
  Built b =
      build(std::string(kLeaf) +
            "module m(i, o); input i; output o;\n"
            "  leaf u(.A(i), .Y(s)); leaf u(s, t); leaf u_1(.A(t), .Y(o)); leaf u(t);\n"
            "endmodule\n"
            "module n(i); input i; leaf u(i, x); m u(i, y); nosuch v(i); n w(i); endmodule\n");
  // Names are unique within the module that holds the instances.
  EXPECT_EQ(instancesOf(b.master("m")), "u:leaf u_1:leaf u_1_1:leaf u_2:leaf");
  EXPECT_EQ(instancesOf(b.master("n")), "u:leaf u_1:m");
  // An undeclared actual becomes a net of its own name.
  EXPECT_EQ(netsOf(b.master("m")), "i(i){u.A} o(o){u_1_1.Y} s{u.Y,u_1.A} t{u_1.Y,u_1_1.A,u_2.A}");
  EXPECT_TRUE(contains(
      b.err, "HDM warning! module nosuch not found\nHDM warning! Module nosuch not found\n"));
  EXPECT_TRUE(contains(b.err, "HDM warning! module n instantiates itself\n"));
}

TEST(Writer, RefusedConnections) {
  Built b = build(std::string(kLeaf) +
                  "module v(d); input [1:0] d; endmodule\n"
                  "module half(a, b); input a; endmodule\n"
                  "module m(i); input i; wire [2:0] w;\n"
                  "  leaf mixed(.A(i), x);\n"
                  "  leaf unknown(.B(i), .Y(y1));\n"
                  "  leaf many(i, y2, z);\n"
                  "  v narrow(.d(w));\n"
                  "  leaf twice(.A(i), .A(w[0]), .Y(y3));\n"
                  "  half portless(i);\n"
                  "endmodule\n");
  const std::string warnings[] = {
      "some formal parameter names are missing mixed",
      "can not find parameter B",
      "instance many has more connections than module leaf has ports",
      "size of formal param d does not match actual param",
      "port A of instance twice is connected twice",
      "module half has no ports: a port of its head is never declared",
  };
  for (const std::string& w : warnings)
    EXPECT_TRUE(contains(b.err, "HDM warning! " + w + "\n")) << w;
  EXPECT_EQ(netsOf(b.master("m")), "i(i){many.A,twice.A} y1{unknown.Y} y2{many.Y} y3{twice.Y}");
}

TEST(Writer, AssignmentsJoinSignals) {
  Built b = build(
      "module m(a, y, z); input a; output y, z; wire x, w; assign y = a; assign w = x;\n"
      "  assign z = q; endmodule\n" +
      std::string(kLeaf) +
      "module n(i, o); input i; output o; leaf u(.A(s), .Y(o)); assign s = i; endmodule\n");
  // Two port nets: the later port's net is merged into the earlier one.
  EXPECT_EQ(netsOf(b.master("m")), "a(a,y){} z(z){}");
  EXPECT_TRUE(contains(b.err, "HDM warning! Assign error! Can not find q\n"));
  // The surviving net is the one of the record declared first.
  EXPECT_EQ(netsOf(b.master("n")), "i(i){u.A} o(o){u.Y}");
}

TEST(Writer, Constants) {
  Built b = build(std::string(kLeaf) +
                  "module m(y, z, c, e); output y, z, c, e; wire x;\n"
                  "  leaf u1(.A(1'b1), .Y(y)); leaf u2(1'b1, z); leaf u3(1'b0, x); leaf u4(1'bx);\n"
                  "  assign c = 1'b0; assign c = 1'b1; assign z = c;\n"
                  "  assign y = 1'b0; assign e = 1'b1; assign y = e;\n"
                  "endmodule\n");
  // Shared constant nets; an x constant gets a net apart from the signal x.
  EXPECT_EQ(netsOf(b.master("m")),
            "y#0(y,e){u1.Y} z#1(z,c){u2.Y} 1#1{u1.A,u2.A} 0#0{u3.A} x{u3.Y} x_1{u4.A}");
  EXPECT_TRUE(contains(b.err, "HDM warning! merge two different consatnt nets\n"));
  EXPECT_TRUE(contains(b.err, "Unknown binary constant x found\n"));
}

TEST(Writer, VectorsBecomeBuses) {
  Built b = build(
      "module two(d, q); input [3:0] d; output [3:0] q; endmodule\n"
      "module one(a); input a; endmodule\n"
      "module pair(a); input [1:0] a; endmodule\n"
      "module m(i, o); input [3:0] i; output [3:0] o; wire [3:0] w, v; wire [2:0] s;\n"
      "  two t1(.d(i), .q(w)); two t2({w[3:2], w[1], w[0]}, o);\n"
      "  two t3(.d(w), .q(v)); one t4(w[0]); two t5(v); pair t6(v[1:0]);\n"
      "  one t7(s[0]); one t8(s[1]);\n"
      "endmodule\n");
  const hdm::Master* m = b.master("m");
  // Bits joining the same instances group into one bus; a bit that also reaches
  // another instance stays out; a second group of one vector gets a suffix.
  const std::string buses = busesOf(m);
  const std::string common = "i:i[3],i[2],i[1],i[0] o:o[3],o[2],o[1],o[0] w:w[3],w[2],w[1] ";
  EXPECT_TRUE(buses == common + "v:v[3],v[2] v_1:v[1],v[0]" ||
              buses == common + "v:v[1],v[0] v_1:v[3],v[2]")
      << buses;
  EXPECT_EQ(m->version(0)->nets().get("w[0]")->type(), hdm::NET_NORMAL);
  // Connection bits follow the formal's order.
  EXPECT_EQ(m->version(0)->nets().get("w[1]")->pins()[1]->port()->name(), "d[1]");
}

TEST(Writer, DeclarationAfterUseKeepsOneNet) {
  Built b = build(std::string(kLeaf) +
                  "module m(a, y); leaf u(.A(a), .Y(y[1])); input a; output [1:0] y; endmodule\n");
  EXPECT_EQ(netsOf(b.master("m")), "a(a){u.A} y[1](y[1]){u.Y} y[0](y[0]){}");
  EXPECT_FALSE(contains(b.err, "Duplicate name"));
}

TEST(Writer, LargeAndHostileNetlists) {
  // 10,000 modules, each holding an instance of the one before.
  std::string chain = "module m0(a, y); input a; output y; endmodule\n";
  for (int i = 1; i < 10000; ++i)
    chain += "module m" + std::to_string(i) + "(a, y); input a; output y; m" +
             std::to_string(i - 1) + " u(a, y); endmodule\n";
  Built c = build(chain);
  EXPECT_EQ(c.result, 1);
  EXPECT_EQ(c.model->masters().size(), 10000);

  const std::string longName(1 << 20, 'n');
  Built named = build("module " + longName +
                      "(a); input a; endmodule\n"
                      "module m(a); input a; " +
                      longName + " " + longName + "(a); endmodule\n");
  EXPECT_EQ(named.master("m")->version(0)->instances().size(), 1);

  for (const std::string& text :
       {std::string("module m(a); input a; \0 wire \0 b; \"open\n", 40),
        std::string("module m(a); input [4294967296:0] a; endmodule"),
        std::string("module m(a); input a; /* open"), std::string(100000, '{'),
        std::string("module m(a); input a; leaf u(") + std::string(100000, '{')})
    EXPECT_EQ(build(text).result, 0);
}

TEST(Writer, ExampleCoreVerifiesClean) {
  const Built b =
      build(osvotest::readFile(std::string(OSVO_SOURCE_DIR) + "/examples/verilog/cpu.v"));
  EXPECT_EQ(b.result, 1) << b.err;
  ASSERT_NE(b.master("cpu"), nullptr);
  EXPECT_FALSE(contains(b.err, "HDM warning!"));
}

}  // namespace
