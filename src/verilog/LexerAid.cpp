#include "verilog/LexerAid.h"

#include <climits>
#include <iostream>

namespace {
const char* const kTokenNames[] = {"TOK_END",
                                   "TOK_ID",
                                   "TOK_BI_LITERAL",
                                   "TOK_OCT_LITERAL",
                                   "TOK_DEC_LITERAL",
                                   "TOK_HEX_LITERAL",
                                   "TOK_INTEGER",
                                   "TOK_FLOAT",
                                   "TOK_SCI_FLOAT",
                                   "TOK_STRING",
                                   "TOK_OPERATOR",
                                   "TOK_DELIM",
                                   "TOK_KEYWORD",
                                   "and",
                                   "nand",
                                   "nor",
                                   "not",
                                   "or",
                                   "assign",
                                   "endmodule",
                                   "input",
                                   "module",
                                   "output",
                                   "wire"};
}  // namespace

const char* LexerAid::tokenName(int token) {
  if (token < TOK_END || token > TOK_WIRE) return "UNKNOWN_TOKEN";
  return kTokenNames[token];
}

const char* LexerAid::getLibModuleName(int token) {
  if (token < TOK_AND || token > TOK_OR) return nullptr;
  return kTokenNames[token];
}

std::string LexerAid::removeUnderscore(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '_') out.push_back(c);
  return out;
}

bool LexerAid::decimalValue(std::string_view digits, int& value) {
  long long v = 0;
  for (char c : digits) {
    v = v * 10 + (c - '0');
    if (v > INT_MAX) {
      value = 0;
      return false;
    }
  }
  value = static_cast<int>(v);
  return true;
}

std::unique_ptr<LexerAid::tokenVal> LexerAid::getInteger(std::string_view text) {
  int value = 0;
  bool fits = decimalValue(removeUnderscore(text), value);
  return std::make_unique<intToken>(value, fits);
}

std::unique_ptr<LexerAid::tokenVal> LexerAid::getBiLiteral(std::string_view text) {
  std::string plain = removeUnderscore(text);
  size_t quote = plain.find('\'');
  if (quote == std::string::npos) {
    std::cerr << "Error in getBiLiteral\n";
    return nullptr;
  }
  int width = 1;
  bool fits = true;
  if (quote > 0) fits = decimalValue(std::string_view(plain).substr(0, quote), width);
  // The bits follow the apostrophe and the base letter.
  std::string bits = quote + 2 <= plain.size() ? plain.substr(quote + 2) : std::string();
  return std::make_unique<binToken>(std::move(bits), width, fits);
}

std::unique_ptr<LexerAid::tokenVal> LexerAid::processToken(int token, std::string_view text) {
  switch (token) {
    case TOK_ID:
    case TOK_STRING:
    case TOK_OPERATOR:
      return std::make_unique<stringToken>(token, std::string(text));
    case TOK_BI_LITERAL:
      return getBiLiteral(text);
    case TOK_OCT_LITERAL:
      std::cerr << "OCT literal found\n";
      return nullptr;
    case TOK_DEC_LITERAL:
      std::cerr << "Dec literal found\n";
      return nullptr;
    case TOK_HEX_LITERAL:
      std::cerr << "Hex literal found\n";
      return nullptr;
    case TOK_INTEGER:
      return getInteger(text);
    case TOK_FLOAT:
      std::cerr << "float literal found\n";
      return nullptr;
    case TOK_SCI_FLOAT:
      std::cerr << "Sci float literal found\n";
      return nullptr;
    case TOK_DELIM:
      return std::make_unique<delimToken>(text.empty() ? '\0' : text[0]);
    case TOK_KEYWORD:
      // From here on the word is an ordinary name.
      std::cerr << "keyword " << text << " not supported yet!\n";
      return std::make_unique<stringToken>(TOK_ID, std::string(text));
    default:
      if (token >= TOK_AND && token <= TOK_WIRE) return std::make_unique<tokenVal>(token);
      return nullptr;
  }
}
