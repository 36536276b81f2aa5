#include "verilog/VerilogParser.h"

#include <cstdlib>
#include <iostream>
#include <string_view>
#include <utility>

#include "support/Error.h"

using Tok = LexerAid;
using arrayVar = VParserWrite::arrayVar;
using formalActualList = VParserWrite::formalActualList;

VerilogParser::VerilogParser(FlexLexer& scanner, VParserWrite& writer, std::string fileName,
                             int maxRangeWidth)
    : scanner_(scanner),
      writer_(writer),
      fileName_(std::move(fileName)),
      maxRangeWidth_(maxRangeWidth) {}

std::string VerilogParser::stopMessage() const {
  std::string where = fileName_.empty() ? "" : " in file " + fileName_;
  return "Parse stopped" + where + " at line " + std::to_string(stopLine_);
}

void VerilogParser::complain(const std::string& message) {
  std::cerr << message << "\n";
}

int VerilogParser::parse() {
  try {
    for (;;) {
      int result = parseModule();
      statement_.clear();
      if (result < 0) {
        stopLine_ = scanner_.lineno();
        std::cerr << "Parser complete\n";
        return 1;
      }
      if (result == 0) {
        stopLine_ = scanner_.lineno();
        complain(stopMessage());
        return 0;
      }
    }
  } catch (const osvo::Error& e) {
    statement_.clear();
    stopLine_ = scanner_.lineno();
    throw osvo::Error(e.what() + stopMessage() + "\n", e.status(), e.stream());
  }
}

int VerilogParser::readToken() {
  return scanner_.yylex();
}

bool VerilogParser::keepToken(int token) {
  std::string_view text(scanner_.YYText(), static_cast<size_t>(scanner_.YYLeng()));
  Token value = LexerAid::processToken(token, text);
  if (!value) return true;
  // A number beyond int is refused rather than wrapped.
  if (value->type == Tok::TOK_INTEGER && !static_cast<Tok::intToken&>(*value).inRange) {
    complain("integer " + std::string(text) + " does not fit in an int");
    return false;
  }
  if (value->type == Tok::TOK_BI_LITERAL && !static_cast<Tok::binToken&>(*value).inRange) {
    complain("size of binary literal " + std::string(text) + " does not fit in an int");
    return false;
  }
  statement_.push_back(std::move(value));
  return true;
}

VerilogParser::Collected VerilogParser::collectStatement() {
  for (;;) {
    int token = readToken();
    if (token == Tok::TOK_END) return Collected::EndOfInput;
    if (token == Tok::TOK_DELIM && scanner_.YYText()[0] == ';') return Collected::Statement;
    if (!keepToken(token)) return Collected::Error;
  }
}

int VerilogParser::parseModuleHead() {
  int token = readToken();
  if (token == Tok::TOK_END) return -1;
  if (token != Tok::TOK_MODULE) return 0;
  switch (collectStatement()) {
    case Collected::EndOfInput:
      complain("Module definition not ends with \";\"");
      return 0;
    case Collected::Error:
      return 0;
    case Collected::Statement:
      break;
  }
  if (statement_.size() < 3) {
    complain("Too few tokens in Module definitions");
    return 0;
  }
  std::string name;
  int nameType = statement_[0]->type;
  if (nameType == Tok::TOK_ID) {
    name = statement_[0]->getString();
  } else if (const char* gate = LexerAid::getLibModuleName(nameType)) {
    name = gate;
  } else {
    complain("Module name is expected");
    return 0;
  }
  if (!isDelim(1, '(')) {
    complain("( is expected");
    return 0;
  }
  std::vector<std::string> ports;
  for (size_t pos = 2; pos < statement_.size(); ++pos) {
    if (isDelim(pos, ')')) break;
    if (isDelim(pos, ',')) continue;
    if (!isName(pos)) {
      complain("parameter list is expected");
      return 0;
    }
    ports.push_back(textAt(pos));
  }
  writer_.writeModuleHead(name, ports);
  return 1;
}

int VerilogParser::parseModule() {
  int head = parseModuleHead();
  if (head <= 0) return head;
  std::cout << "parse\n";
  for (;;) {
    statement_.clear();
    int token = readToken();
    if (token == Tok::TOK_END) return 0;
    if (token == Tok::TOK_ENDMODULE) {
      writer_.endModule();
      return 1;
    }
    // A ";" where a statement begins is its first token, not its end.
    if (!keepToken(token)) return 0;
    switch (collectStatement()) {
      case Collected::EndOfInput:
        complain("; expected");
        return 0;
      case Collected::Error:
        return 0;
      case Collected::Statement:
        break;
    }
    if (statement_.empty()) continue;  // only reported tokens
    if (!dispatchStatement()) return 0;
  }
}

bool VerilogParser::dispatchStatement() {
  switch (statement_[0]->type) {
    case Tok::TOK_INPUT:
    case Tok::TOK_OUTPUT:
    case Tok::TOK_WIRE:
      return parseDeclaration();
    case Tok::TOK_ASSIGN:
      return parseAssignment();
    default:
      return parseInstance();
  }
}

// --- token tests -------------------------------------------------------------

bool VerilogParser::isName(size_t pos) const {
  if (pos >= statement_.size()) return false;
  int type = statement_[pos]->type;
  return type == Tok::TOK_ID || (type >= Tok::TOK_AND && type <= Tok::TOK_WIRE);
}

bool VerilogParser::isDelim(size_t pos, char c) const {
  if (pos >= statement_.size() || statement_[pos]->type != Tok::TOK_DELIM) return false;
  return static_cast<const Tok::delimToken&>(*statement_[pos]).delim == c;
}

bool VerilogParser::isInteger(size_t pos) const {
  return pos < statement_.size() && statement_[pos]->type == Tok::TOK_INTEGER;
}

int VerilogParser::integerAt(size_t pos) const {
  return static_cast<const Tok::intToken&>(*statement_[pos]).value;
}

std::string VerilogParser::textAt(size_t pos) const {
  return pos < statement_.size() ? statement_[pos]->getString() : std::string();
}

bool VerilogParser::rangeWithinLimit(long long first, long long second) {
  if (std::llabs(first - second) + 1 <= maxRangeWidth_) return true;
  complain("range [" + std::to_string(first) + ":" + std::to_string(second) + "] is wider than " +
           std::to_string(maxRangeWidth_) + " bits");
  return false;
}

// --- declarations --------------------------------------------------------------

bool VerilogParser::parseDeclaration() {
  int type = statement_[0]->type;
  const std::string word = LexerAid::tokenName(type);
  if (statement_.size() < 2) {
    complain("too few tokens in " + word + " statement");
    return false;
  }
  int msb = -1;
  int lsb = -1;
  std::vector<std::string> names;
  if (!parseDeclarationNames(msb, lsb, names)) {
    complain("Error in parse " + word + " statement");
    return false;
  }
  // Every name of the list gets the statement's range.
  for (const std::string& name : names) {
    if (type == Tok::TOK_INPUT) {
      writer_.writeInputPort(name, msb, lsb);
    } else if (type == Tok::TOK_OUTPUT) {
      writer_.writeOutputPort(name, msb, lsb);
    } else {
      writer_.writeWire(name, msb, lsb);
    }
  }
  return true;
}

bool VerilogParser::parseDeclarationNames(int& msb, int& lsb, std::vector<std::string>& names) {
  size_t pos = 1;
  if (isDelim(pos, '[')) {
    if (!isInteger(pos + 1) || !isDelim(pos + 2, ':') || !isInteger(pos + 3) ||
        !isDelim(pos + 4, ']')) {
      complain("array decl incomplete");
      return false;
    }
    msb = integerAt(pos + 1);
    lsb = integerAt(pos + 3);
    if (!rangeWithinLimit(msb, lsb)) return false;
    pos += 5;
  }
  for (;;) {
    if (!isName(pos)) {
      complain("array decl incomplete");
      return false;
    }
    names.push_back(textAt(pos++));
    if (pos >= statement_.size()) return true;
    if (!isDelim(pos, ',')) {
      complain("read " + textAt(pos) + " but , is expected");
      return false;
    }
    ++pos;
  }
}

// --- signals and assignments ---------------------------------------------------

bool VerilogParser::parseSignal(size_t& pos, arrayVar& var, int& kind) {
  if (!isName(pos)) {
    complain("read " + textAt(pos) + " but ID is expected in getVerilogVar");
    return false;
  }
  var = arrayVar{textAt(pos++), -1, -1, 0};
  kind = 0;
  if (!isDelim(pos, '[')) return true;
  ++pos;
  if (!isInteger(pos)) {
    complain("array index is expected");
    return false;
  }
  int first = integerAt(pos++);
  if (isDelim(pos, ']')) {
    ++pos;
    var.first = var.second = first;
    kind = 1;
    return true;
  }
  if (!isDelim(pos, ':')) {
    complain(": is expected");
    complain("array index is expected");
    return false;
  }
  ++pos;
  if (!isInteger(pos) || !isDelim(pos + 1, ']')) {
    complain("array index is expected");
    return false;
  }
  int second = integerAt(pos);
  pos += 2;
  if (!rangeWithinLimit(first, second)) return false;
  var.first = first;
  var.second = second;
  kind = 2;
  return true;
}

bool VerilogParser::parseAssignment() {
  const size_t n = statement_.size();
  if (n < 2) {
    complain("Assign statement incomplete");
    return false;
  }
  size_t pos = 1;
  arrayVar left;
  int leftKind = 0;
  if (!parseSignal(pos, left, leftKind)) return false;
  if (pos >= n) {
    complain("Assign statement incomplete");
    return false;
  }
  if (statement_[pos]->type != Tok::TOK_OPERATOR || textAt(pos) != "=") {
    complain("= is expected in assignment statement");
    return false;
  }
  if (++pos >= n) {
    complain("Assign statement incomplete");
    return false;
  }
  arrayVar right;
  int rightKind = 0;
  if (statement_[pos]->type == Tok::TOK_BI_LITERAL) {
    const auto& literal = static_cast<const Tok::binToken&>(*statement_[pos]);
    if (literal.width != 1) {
      complain("multi-bit binary is not supported in assignment");
      return false;
    }
    right = arrayVar{literal.bits, -1, -1, 1};
    ++pos;
  } else if (!parseSignal(pos, right, rightKind)) {
    return false;
  }
  if (pos < n) {
    complain("assignment has too many arguments on the right");
    return false;
  }
  writer_.writeAssignment(left.name, right.name, leftKind, rightKind, right.constant, left.first,
                          right.first);
  return true;
}

// --- instances -----------------------------------------------------------------

bool VerilogParser::parseInstance() {
  std::cout << "parse instance statement\n";
  const size_t n = statement_.size();
  if (!isName(0)) {
    complain("Module name is expected");
    return false;
  }
  if (n < 2) {
    complain("instance statement incomplete");
    return false;
  }
  if (!isName(1)) {
    complain("Instance name is expected");
    return false;
  }
  if (n < 3) {
    complain("instance statement incomplete");
    return false;
  }
  if (!isDelim(2, '(')) {
    complain("( is expected in instance statement");
    return false;
  }
  size_t pos = 3;
  std::vector<formalActualList> connections;
  if (!parseConnections(pos, connections)) return false;
  // Tokens after the closing ")" are ignored.
  writer_.writeInstance(textAt(0), textAt(1), std::move(connections));
  return true;
}

bool VerilogParser::parseConnections(size_t& pos, std::vector<formalActualList>& list) {
  if (isDelim(pos, ')')) return true;
  for (;;) {
    if (pos >= statement_.size()) {
      complain("incomplete parameter parsing");
      return false;
    }
    list.emplace_back();
    if (!parseConnection(pos, list.back())) return false;
    if (pos >= statement_.size()) {
      complain("incomplete parameter parsing");
      return false;
    }
    if (isDelim(pos, ')')) return true;
    if (!isDelim(pos, ',')) {
      complain("read " + textAt(pos) + " but , is expected");
      return false;
    }
    ++pos;
  }
}

bool VerilogParser::parseConnection(size_t& pos, formalActualList& connection) {
  const size_t n = statement_.size();
  if (!isDelim(pos, '.')) {
    if (parseActual(pos, connection.actuals)) return true;
    complain("Actual parameter is expected");
    return false;
  }
  if (++pos >= n) {
    complain("incomplete parameter parsing");
    return false;
  }
  if (!isName(pos) || isDelim(pos + 1, '[')) {
    complain("formal parameter expected");
    return false;
  }
  connection.formal = textAt(pos);
  if (++pos >= n) {
    complain("incomplete parameter parsing");
    return false;
  }
  if (!isDelim(pos, '(')) {
    complain("expect ( in parse actual parameter");
    return false;
  }
  ++pos;
  if (!parseActual(pos, connection.actuals)) {
    complain("Actual parameter is expected");
    return false;
  }
  if (pos >= n) {
    complain("incomplete parameter parsing");
    return false;
  }
  if (!isDelim(pos, ')')) {
    complain("expect ) in parse actual parameter");
    return false;
  }
  ++pos;
  return true;
}

bool VerilogParser::parseActual(size_t& pos, std::vector<arrayVar>& actuals) {
  if (!isDelim(pos, '{')) return parseSingleActual(pos, actuals);
  ++pos;
  for (;;) {
    if (!parseSingleActual(pos, actuals)) return false;
    if (pos >= statement_.size()) {
      complain("incomplete actual parameter parsing");
      return false;
    }
    if (isDelim(pos, '}')) {
      ++pos;
      return true;
    }
    if (!isDelim(pos, ',')) {
      complain(", is expected in getActual");
      return false;
    }
    ++pos;
  }
}

bool VerilogParser::parseSingleActual(size_t& pos, std::vector<arrayVar>& actuals) {
  if (pos >= statement_.size()) {
    complain("incomplete actual parameter parsing");
    return false;
  }
  if (statement_[pos]->type == Tok::TOK_BI_LITERAL) {
    const auto& literal = static_cast<const Tok::binToken&>(*statement_[pos]);
    if (literal.width != 1) {
      complain("multi-bit binary is not supported in assignment");
      return false;
    }
    actuals.push_back(arrayVar{literal.bits, -1, -1, 1});
    ++pos;
    return true;
  }
  arrayVar var;
  int kind = 0;
  if (!parseSignal(pos, var, kind)) {
    complain("error in read actual parameter");
    return false;
  }
  actuals.push_back(std::move(var));
  return true;
}
