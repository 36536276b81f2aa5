#pragma once
// Token numbers of the Verilog scanner and the token values the parser keeps.
//
// The scanner (VerilogScanner) returns one token number per call and keeps the
// matched text; LexerAid turns the pair into a heap-allocated token value. Only
// identifiers, one-bit-and-wider binary literals, integers, strings, operators,
// delimiters and the reserved words the parser understands yield a value; the
// other literals and reserved words are reported on standard error.
#include <memory>
#include <string>
#include <string_view>

class LexerAid {
 public:
  // The number yylex() returns for each kind of token.
  enum Token {
    TOK_END = 0,
    TOK_ID = 1,
    TOK_BI_LITERAL = 2,
    TOK_OCT_LITERAL = 3,
    TOK_DEC_LITERAL = 4,
    TOK_HEX_LITERAL = 5,
    TOK_INTEGER = 6,
    TOK_FLOAT = 7,
    TOK_SCI_FLOAT = 8,
    TOK_STRING = 9,
    TOK_OPERATOR = 10,
    TOK_DELIM = 11,
    TOK_KEYWORD = 12,  // a reserved word outside the supported subset
    TOK_AND = 13,
    TOK_NAND = 14,
    TOK_NOR = 15,
    TOK_NOT = 16,
    TOK_OR = 17,
    TOK_ASSIGN = 18,
    TOK_ENDMODULE = 19,
    TOK_INPUT = 20,
    TOK_MODULE = 21,
    TOK_OUTPUT = 22,
    TOK_WIRE = 23,  // also `tri`
  };

  // Base of every token value; used as is for the reserved words 13 to 23.
  struct tokenVal {
    explicit tokenVal(int t) : type(t) {}
    virtual ~tokenVal() = default;
    // The token name; for a reserved word, the word itself.
    virtual std::string getString() const { return tokenName(type); }
    int type;
  };
  // Identifiers, strings (quotes kept) and operators.
  struct stringToken : tokenVal {
    stringToken(int t, std::string s) : tokenVal(t), text(std::move(s)) {}
    std::string getString() const override { return text; }
    std::string text;
  };
  // A decimal integer; `inRange` is false when it does not fit in an int
  // (value is then 0), so that the parser can refuse it instead of wrapping.
  struct intToken : tokenVal {
    intToken(int v, bool fits) : tokenVal(TOK_INTEGER), value(v), inRange(fits) {}
    int value;
    int width = 32;
    bool inRange;
  };
  // A binary literal: the digits after the base letter without underscores.
  // `inRange` is false when the size before the apostrophe does not fit in an int.
  struct binToken : tokenVal {
    binToken(std::string b, int w, bool fits)
        : tokenVal(TOK_BI_LITERAL), bits(std::move(b)), width(w), inRange(fits) {}
    std::string bits;
    int width;
    bool inRange;
  };
  // One of ( ) , . : ; [ ] { }.
  struct delimToken : tokenVal {
    explicit delimToken(char c) : tokenVal(TOK_DELIM), delim(c) {}
    char delim;
  };

  static const char* tokenName(int token);
  // "and", "nand", "nor", "not" or "or" for the gate words, nullptr otherwise.
  static const char* getLibModuleName(int token);
  // The value of a token, or nullptr for tokens that only get reported.
  static std::unique_ptr<tokenVal> processToken(int token, std::string_view text);

  static std::unique_ptr<tokenVal> getBiLiteral(std::string_view text);
  static std::unique_ptr<tokenVal> getInteger(std::string_view text);
  static std::string removeUnderscore(std::string_view text);

  // Base-10 value of a digit string; false when it exceeds INT_MAX.
  static bool decimalValue(std::string_view digits, int& value);
};
