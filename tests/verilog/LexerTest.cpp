// The scanner and the token values: token numbers, values, reports and line
// counting on one table; the scanner generator's fatal errors as exceptions.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "Capture.h"
#include "verilog/LexerAid.h"
#include "verilog/VerilogScanner.h"

namespace {

using Tok = LexerAid;

// "N=value" for one token: the token number and what processToken made of it.
std::string describe(int token, const std::string& text) {
  std::unique_ptr<Tok::tokenVal> v = LexerAid::processToken(token, text);
  std::string d = std::to_string(token) + "=";
  if (!v) return d + "-";
  if (auto* s = dynamic_cast<Tok::stringToken*>(v.get()))
    return d + "s" + std::to_string(s->type) + ":" + s->text;
  if (auto* i = dynamic_cast<Tok::intToken*>(v.get()))
    return d + (i->inRange ? "int:" + std::to_string(i->value) : "int:overflow");
  if (auto* b = dynamic_cast<Tok::binToken*>(v.get()))
    return d + "bin:" + std::to_string(b->width) + ":" + b->bits;
  if (auto* c = dynamic_cast<Tok::delimToken*>(v.get())) return d + "delim:" + c->delim;
  return d + "kw:" + v->getString();
}

struct Scanned {
  std::string tokens;  // descriptions joined by " | "
  std::string err;     // standard error of scanning and of processToken
  int line = 0;        // the scanner's line after the last token
};

Scanned scanAll(const std::string& text) {
  std::istringstream in(text);
  VerilogScanner scanner(&in);
  Scanned s;
  ::testing::internal::CaptureStderr();
  for (int token; (token = scanner.yylex()) != 0;) {
    if (!s.tokens.empty()) s.tokens += " | ";
    s.tokens += describe(token, std::string(scanner.YYText(), scanner.YYLeng()));
    s.line = scanner.lineno();
  }
  s.err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(scanner.yylex(), 0) << "end of input repeats";
  return s;
}

struct LexCase {
  const char* name;
  std::string input;
  std::string tokens;
  std::string err;
};

TEST(Lexer, TokensValuesAndReports) {
  const std::string nul("a\0b", 3);
  const LexCase cases[] = {
      {"reserved words vs names", "modules wire1 module wire tri and or",
       "1=s1:modules | 1=s1:wire1 | 21=kw:module | 23=kw:wire | 23=kw:wire | 13=kw:and | 17=kw:or",
       ""},
      {"other reserved word becomes a name", "reg xor", "12=s1:reg | 1=s1:xor",
       "keyword reg not supported yet!\n"},
      {"binary literals", "4'b1x_0 'b1 2'b_z", "2=bin:4:1x0 | 2=bin:1:1 | 2=bin:2:z", ""},
      {"capital base letter is no literal", "4'B10", "6=int:4 | 1=s1:B10",
       "Unrecognized char: ' is not handled\n"},
      {"other literals are reported only", "8'hFF 3'o7 'd9 1.5 2.e-3",
       "5=- | 3=- | 4=- | 7=- | 8=-",
       "Hex literal found\nOCT literal found\nDec literal found\nfloat literal found\n"
       "Sci float literal found\n"},
      {"exponent with plus sign", "1.5e+3", "7=- | 1=s1:e | 10=s10:+ | 6=int:3",
       "float literal found\n"},
      {"integers", "1_000 2147483647 2147483648", "6=int:1000 | 6=int:2147483647 | 6=int:overflow",
       ""},
      {"escaped identifier", "\\bus[3] x", "1=s1:\\bus[3] | 1=s1:x", ""},
      {"operators and delimiters", "a==b(),.:;[]{}",
       "1=s1:a | 10=s10:= | 10=s10:= | 1=s1:b | 11=delim:( | 11=delim:) | 11=delim:, | "
       "11=delim:. | 11=delim:: | 11=delim:; | 11=delim:[ | 11=delim:] | 11=delim:{ | 11=delim:}",
       ""},
      {"strings keep quotes and escaped quotes", "\"a \\\" b\"", "9=s9:\"a \\\" b\"", ""},
      {"unterminated string", "\"ab\nc", "1=s1:ab | 1=s1:c",
       "Unrecognized char: \" is not handled\n"},
      {"comments", "/* a ** b ***/ c // d\n e", "1=s1:c | 1=s1:e", ""},
      {"unterminated block comment", "x /* never closed", "1=s1:x", "EOF in comment\n"},
      {"line comment without newline at the end", "x //y // z",
       "1=s1:x | 10=s10:/ | 10=s10:/ | 1=s1:y | 10=s10:/ | 10=s10:/ | 1=s1:z", ""},
      {"directive, system task", "`define W 8 $display", "1=s1:W | 6=int:8",
       "Warnning!! Compiler directives `define is not handled\n"
       "Warnning!! System task $display is not handled\n"},
      {"odd characters", "#\r@$1\x80", "6=int:1",
       "Unrecognized char: # is not handled\nUnrecognized char: \r is not handled\n"
       "Unrecognized char: @ is not handled\nUnrecognized char: $ is not handled\n"
       "Unrecognized char: \x80 is not handled\n"},
      {"NUL byte", nul, "1=s1:a | 1=s1:b",
       std::string("Unrecognized char: \0 is not handled\n", 36)},
  };
  for (const LexCase& c : cases) {
    Scanned s = scanAll(c.input);
    EXPECT_EQ(s.tokens, c.tokens) << c.name;
    EXPECT_EQ(s.err, c.err) << c.name;
  }
}

TEST(Lexer, CountsLinesThroughCommentsAndSpace) {
  EXPECT_EQ(scanAll("a\n/*\n\n*/ b").line, 4);
  EXPECT_EQ(scanAll("a\n// c\n\n\"s\" c").line, 4);
}

// A stream whose reads fail: the scanner's own fatal error becomes an exception.
struct FailingBuffer : std::streambuf {
  int_type underflow() override { throw std::runtime_error("disk gone"); }
};

TEST(Lexer, ReadFailureThrows) {
  FailingBuffer buffer;
  std::istream in(&buffer);
  VerilogScanner scanner(&in);
  EXPECT_TRUE(osvotest::throwsError([&] { scanner.yylex(); }, "^input in flex scanner failed\n$"));
}

}  // namespace
