#pragma once
// Interpreter of the option rules: a small prefix language, stored as a flat
// array of tokens, that checks options needed together, stops the run when a
// required input name is missing, and fills in values that depend on others.
//
//   rule      := "begin_rule" statement "end_rule"
//   statement := "eq" KEY VALUE statement statement   (first when KEY == VALUE)
//              | "set" KEY VALUE | "exit" MESSAGE | "print" MESSAGE | "nil"
#include <ostream>
#include <string>
#include <vector>

class OptionRules {
 public:
  // `tokens` holds `length` strings; borrowed for the lifetime of the object.
  OptionRules(const char* const* tokens, int length) : tokens_(tokens), length_(length) {}

  // Runs every rule once, in order. A rule's "exit" and malformed rules throw an
  // osvo::Error (status 1) carrying their message.
  void processRules();
  // Reads one statement starting at token `pos`, advancing `pos` past it, and
  // carries it out only when `exec` is not 0.
  void process_statement(int& pos, int exec);
  // One keyword each, called after the keyword has been read.
  void process_eq(int& pos, int exec);
  void process_set(int& pos, int exec);
  void process_exit(int& pos, int exec);
  void process_print(int& pos, int exec);
  void process_nil(int& pos, int exec);
  // Prints each recorded text of the current rule followed by a line end.
  void dumpCurrentParsedRule(std::ostream& out) const;

 private:
  // The token at `pos` (the empty text past the end, so that a truncated rule
  // is reported as malformed instead of being read out of bounds); advances.
  std::string readToken(int& pos);
  // Reads one argument and appends it to the recorded text of the statement.
  std::string readArgument(int& pos);

  const char* const* tokens_;
  int length_;
  int depth_ = 0;
  std::vector<std::string> currentParsedRule_;
};
