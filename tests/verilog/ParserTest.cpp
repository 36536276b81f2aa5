// The parser against a writer that records its callbacks: accepted statements
// and every error message on one table, then inputs that must not break it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"

namespace {

using arrayVar = VParserWrite::arrayVar;

std::string showVar(const arrayVar& v) {
  if (v.constant) return "'" + v.name;
  return v.name + "[" + std::to_string(v.first) + ":" + std::to_string(v.second) + "]";
}

// Records every callback as one line of text.
class RecordingWriter : public VParserWrite {
 public:
  std::vector<std::string> calls;

  int writeModuleHead(const std::string& name, const std::vector<std::string>& ports) override {
    std::string s = "module " + name + "(";
    for (size_t i = 0; i < ports.size(); ++i) s += (i ? "," : "") + ports[i];
    calls.push_back(s + ")");
    return 0;
  }
  int writeInputPort(const std::string& n, int msb, int lsb) override {
    return decl("input", n, msb, lsb);
  }
  int writeOutputPort(const std::string& n, int msb, int lsb) override {
    return decl("output", n, msb, lsb);
  }
  int writeWire(const std::string& n, int msb, int lsb) override {
    return decl("wire", n, msb, lsb);
  }
  int writeAssignment(const std::string& l, const std::string& r, int lk, int rk, int c, int li,
                      int ri) override {
    calls.push_back("assign " + l + " " + r + " " + std::to_string(lk) + " " + std::to_string(rk) +
                    " " + std::to_string(c) + " " + std::to_string(li) + " " + std::to_string(ri));
    return 0;
  }
  int writeInstance(const std::string& master, const std::string& name,
                    std::vector<formalActualList> connections) override {
    std::string s = "inst " + master + " " + name + " (";
    for (size_t i = 0; i < connections.size(); ++i) {
      s.append(i ? " ." : ".").append(connections[i].formal).append("{");
      for (size_t k = 0; k < connections[i].actuals.size(); ++k)
        s.append(k ? " " : "").append(showVar(connections[i].actuals[k]));
      s += '}';
    }
    calls.push_back(s + ")");
    return 0;
  }
  int endModule() override {
    calls.push_back("endmodule");
    return 0;
  }

 private:
  int decl(const char* kind, const std::string& n, int msb, int lsb) {
    calls.push_back(std::string(kind) + " " + n + " " + std::to_string(msb) + " " +
                    std::to_string(lsb));
    return 0;
  }
};

struct Parsed {
  int result;
  std::string calls;  // recorded calls joined by " | "
  std::string err;
};

Parsed parseText(const std::string& text) {
  std::istringstream in(text);
  VerilogScanner scanner(&in);
  RecordingWriter writer;
  VerilogParser parser(scanner, writer, "t.v");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  Parsed p;
  p.result = parser.parse();
  p.err = ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  for (const std::string& c : writer.calls) p.calls += (p.calls.empty() ? "" : " | ") + c;
  return p;
}

// Wraps statements into one module on line 1.
std::string inModule(const std::string& body) {
  return "module m(a); " + body + " endmodule";
}

struct ParseCase {
  std::string input;
  int result;
  std::string calls;
  std::string err;  // without the final line naming where the parse stopped
};

const char* const kHead = "module m(a)";
const std::string kStop1 = "Parse stopped in file t.v at line 1\n";

TEST(Parser, StatementsAndErrors) {
  const std::string H = kHead;
  const ParseCase cases[] = {
      {"", 1, "", "Parser complete\n"},
      // Declarations: every name of the list, with the statement's range.
      {inModule("input a, b; output [7:0] c, and; tri w;"), 1,
       H + " | input a -1 -1 | input b -1 -1 | output c 7 0 | output and 7 0 | wire w -1 -1"
           " | endmodule",
       "Parser complete\n"},
      {inModule("wire [0:3] r;"), 1, H + " | wire r 0 3 | endmodule", "Parser complete\n"},
      {inModule("input [3] a;"), 0, H, "array decl incomplete\nError in parse input statement\n"},
      {inModule("wire [-1:0] a;"), 0, H, "array decl incomplete\nError in parse wire statement\n"},
      {inModule("wire a b;"), 0, H, "read b but , is expected\nError in parse wire statement\n"},
      {inModule("output a,;"), 0, H, "array decl incomplete\nError in parse output statement\n"},
      {inModule("input;"), 0, H, "too few tokens in input statement\n"},
      {inModule("wire [0:65535] a;"), 1, H + " | wire a 0 65535 | endmodule", "Parser complete\n"},
      {inModule("wire [999999:0] a;"), 0, H,
       "range [999999:0] is wider than 65536 bits\nError in parse wire statement\n"},
      {inModule("wire [4294967296:0] a;"), 0, H, "integer 4294967296 does not fit in an int\n"},
      // Assignments.
      {inModule("assign y = 1'b0; assign y[2] = a[3:0]; assign and = x;"), 1,
       H + " | assign y 0 0 0 1 -1 -1 | assign y a 1 2 0 2 3 | assign and x 0 0 0 -1 -1"
           " | endmodule",
       "Parser complete\n"},
      {inModule("assign y = 2'b01;"), 0, H, "multi-bit binary is not supported in assignment\n"},
      {inModule("assign y = 4294967297'b1;"), 0, H,
       "size of binary literal 4294967297'b1 does not fit in an int\n"},
      {inModule("assign y;"), 0, H, "Assign statement incomplete\n"},
      {inModule("assign y =;"), 0, H, "Assign statement incomplete\n"},
      {inModule("assign y x;"), 0, H, "= is expected in assignment statement\n"},
      {inModule("assign = x;"), 0, H, "read = but ID is expected in getVerilogVar\n"},
      {inModule("assign y = a b;"), 0, H, "assignment has too many arguments on the right\n"},
      {inModule("assign y = a[1;"), 0, H, ": is expected\narray index is expected\n"},
      {inModule("assign y = a[x];"), 0, H, "array index is expected\n"},
      // Instances.
      {inModule("nand g1 (y, a, b); foo u1 (); foo u2 (.A({a[1], 1'b1, b}), .B(c[0:2])) x;"), 1,
       H + " | inst nand g1 (.{y[-1:-1]} .{a[-1:-1]} .{b[-1:-1]}) | inst foo u1 ()"
           " | inst foo u2 (.A{a[1:1] '1 b[-1:-1]} .B{c[0:2]}) | endmodule",
       "Parser complete\n"},
      {inModule("foo u1 (.A());"), 0, H,
       "read TOK_DELIM but ID is expected in getVerilogVar\nerror in read actual parameter\n"
       "Actual parameter is expected\n"},
      {inModule("foo;"), 0, H, "instance statement incomplete\n"},
      {inModule("foo 5 (a);"), 0, H, "Instance name is expected\n"},
      {inModule("foo u;"), 0, H, "instance statement incomplete\n"},
      {inModule("foo u a;"), 0, H, "( is expected in instance statement\n"},
      {inModule("= u (a);"), 0, H, "Module name is expected\n"},
      {inModule("input a;; wire b;"), 0, H + " | input a -1 -1", "Module name is expected\n"},
      {inModule("foo u (a b);"), 0, H, "read b but , is expected\n"},
      {inModule("foo u (a,;"), 0, H, "incomplete parameter parsing\n"},
      {inModule("foo u (.A[1](a));"), 0, H, "formal parameter expected\n"},
      {inModule("foo u (.A a);"), 0, H, "expect ( in parse actual parameter\n"},
      {inModule("foo u (.A(a b));"), 0, H, "expect ) in parse actual parameter\n"},
      {inModule("foo u ({a b});"), 0, H,
       ", is expected in getActual\nActual parameter is expected\n"},
      {inModule("foo u (2'b11);"), 0, H,
       "multi-bit binary is not supported in assignment\nActual parameter is expected\n"},
      {inModule("foo u (.A(;"), 0, H,
       "incomplete actual parameter parsing\nActual parameter is expected\n"},
      {inModule("foo u (a[0:70000]);"), 0, H,
       "range [0:70000] is wider than 65536 bits\nerror in read actual parameter\n"
       "Actual parameter is expected\n"},
      // Module heads and the file around them.
      {"module m(a); endmodule module and(b, , c) x; endmodule", 1,
       "module m(a) | endmodule | module and(b,c) | endmodule", "Parser complete\n"},
      {"module m(a)", 0, "", "Module definition not ends with \";\"\n"},
      {"module m;", 0, "", "Too few tokens in Module definitions\n"},
      {"module assign(a);", 0, "", "Module name is expected\n"},
      {"module m a b;", 0, "", "( is expected\n"},
      {"module m(a, [);", 0, "", "parameter list is expected\n"},
      {"wire a;", 0, "", ""},
      {"module m(a); input a;", 0, H + " | input a -1 -1", ""},
      {"module m(a); input a", 0, H, "; expected\n"},
  };
  for (const ParseCase& c : cases) {
    Parsed p = parseText(c.input);
    EXPECT_EQ(p.result, c.result) << c.input;
    EXPECT_EQ(p.calls, c.calls) << c.input;
    EXPECT_EQ(p.err, c.err + (c.result ? "" : kStop1)) << c.input;
  }
}

TEST(Parser, StopLineIsWhereTheParseEnded) {
  Parsed p = parseText("module m(a);\n input a;\n\n  assign\n  y z;\n endmodule\n");
  EXPECT_EQ(p.err, "= is expected in assignment statement\nParse stopped in file t.v at line 5\n");
}

TEST(Parser, TracingWriterPrintsEveryCall) {
  std::istringstream in(
      "module m(a, y); input [1:0] a; output y; wire w; assign y = a[1]; "
      "and g (y, {a[0], 1'b1}); endmodule");
  VerilogScanner scanner(&in);
  VParserWrite tracer;
  VerilogParser parser(scanner, tracer);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(parser.parse(), 1);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Parse module m (a, y)\nparse\ninput a [1:0]\noutput y\nwire w\nassign y <-- a[1]\n"
            "parse instance statement\ninstance and g (y, {a[0], 1'b1})\nendmodule\n");
}

}  // namespace
