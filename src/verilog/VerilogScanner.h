#pragma once
// The flex scanner of structural Verilog (rules in VerilogScanner.l).
//
// yylex() returns one LexerAid::Token number per call, 0 at the end of input
// and on every call after it; YYText()/YYLeng() hold the matched text until the
// next call and lineno() the line of the last token. Lexical problems are
// reported on standard error and never stop the scan. The scanner generator's
// own fatal errors (an unreadable stream, an internal failure) throw osvo::Error.
// The generated scanner has included FlexLexer.h already; a second inclusion there
// would define yyFlexLexer twice.
#ifndef yyFlexLexerOnce
#include <FlexLexer.h>
#endif

#include <istream>
#include <ostream>

class VerilogScanner : public yyFlexLexer {
 public:
  explicit VerilogScanner(std::istream* in, std::ostream* out = nullptr) : yyFlexLexer(in, out) {}
  int yylex() override;

 protected:
  void LexerError(const char* msg) override;

 private:
  int commentOuterState_ = 0;  // the start condition a block comment returns to
};
