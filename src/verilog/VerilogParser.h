#pragma once
// Parser of the structural Verilog subset: modules with a flat port list,
// input/output/wire declarations, one-bit continuous assignments and module
// instances with positional or named connections.
//
// The parser reads one statement (the tokens up to the next ";") at a time from
// the scanner and reports each construct to a VParserWrite. It stops at the first
// syntax error: the error's own line(s) on standard error, then one line naming
// the netlist file and the line where the parse stopped.
#ifndef yyFlexLexerOnce
#include <FlexLexer.h>
#endif

#include <memory>
#include <string>
#include <vector>

#include "verilog/LexerAid.h"
#include "verilog/VParserWrite.h"

class VerilogParser {
 public:
  // Widest range accepted in a declaration or a signal reference, in bits: the
  // smallest vector limit a Verilog implementation may impose.
  static constexpr int kMaxRangeWidth = 65536;

  // `fileName` names the netlist in the line written when the parse stops early.
  VerilogParser(FlexLexer& scanner, VParserWrite& writer, std::string fileName = "",
                int maxRangeWidth = kMaxRangeWidth);

  // Parses modules until the end of input. Returns 1 when the input ended where
  // a module could begin ("Parser complete" on standard error), 0 at the first
  // error (after stopMessage() on standard error). A fatal scanner error throws
  // osvo::Error with stopMessage() appended.
  int parse();

  // The scanner's line when the parse stopped (0 before parse()).
  int stopLine() const { return stopLine_; }
  // "Parse stopped in file NAME at line N" (without "in file NAME" when unnamed).
  std::string stopMessage() const;

 private:
  using Token = std::unique_ptr<LexerAid::tokenVal>;

  int parseModule();
  int parseModuleHead();

  // Reads one token number from the scanner; 0 at the end of input.
  int readToken();
  // Appends the value of the token just read to the statement; false (after a
  // message) when it is a number that does not fit in an int.
  bool keepToken(int token);
  enum class Collected { Statement, EndOfInput, Error };
  // Appends the tokens up to the next ";" (not included) to the statement.
  Collected collectStatement();

  bool dispatchStatement();
  bool parseDeclaration();
  bool parseDeclarationNames(int& msb, int& lsb, std::vector<std::string>& names);
  bool parseAssignment();
  bool parseInstance();
  bool parseConnections(size_t& pos, std::vector<VParserWrite::formalActualList>& list);
  bool parseConnection(size_t& pos, VParserWrite::formalActualList& connection);
  bool parseActual(size_t& pos, std::vector<VParserWrite::arrayVar>& actuals);
  bool parseSingleActual(size_t& pos, std::vector<VParserWrite::arrayVar>& actuals);
  // A name with an optional [k] or [a:b]; kind 0, 1 or 2.
  bool parseSignal(size_t& pos, VParserWrite::arrayVar& var, int& kind);
  bool rangeWithinLimit(long long first, long long second);

  bool isName(size_t pos) const;
  bool isDelim(size_t pos, char c) const;
  bool isInteger(size_t pos) const;
  int integerAt(size_t pos) const;
  std::string textAt(size_t pos) const;
  static void complain(const std::string& message);

  FlexLexer& scanner_;
  VParserWrite& writer_;
  std::string fileName_;
  int maxRangeWidth_;
  std::vector<Token> statement_;
  int stopLine_ = 0;
};
