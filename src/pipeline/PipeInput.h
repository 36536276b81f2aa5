#pragma once
// A checked token stream over one input file of the pipeline reader.
//
// Description and cycle files are white-space-separated words read in order.
// Every read names what it expects; a word that is missing or not of the
// expected kind throws an osvo::Error "Error: <file>:<line>: expected <what>,
// found ..." (status 1).
#include <istream>
#include <string>

#include "support/WordReader.h"

namespace pipeline {

class PipeInput {
 public:
  // Reads `in` (borrowed); `fileName` names it in messages.
  PipeInput(std::istream& in, const std::string& fileName) : words_(in, fileName) {}

  const std::string& fileName() const { return words_.fileName(); }
  // "file:line" of the last word read.
  std::string where() const { return words_.where(); }
  int line() const { return words_.line(); }

  // The next word, whatever it is. `what` describes it for the error message.
  std::string readName(const std::string& what);
  // The next word as an integer of at least `minimum`.
  int readCount(const std::string& what, int minimum);
  // The next word as a finite decimal number; `subject` ("the area of block
  // "alu"") names it in the error messages.
  double readNumber(const std::string& subject);
  // True when only white space is left; otherwise the next word's line is the
  // one where() then names.
  bool atEnd() { return words_.atEnd(); }

  // Throws "Error: <file>:<line>: <message>".
  [[noreturn]] void fail(const std::string& message) const { words_.fail(message); }

 private:
  // Reports a word that is missing (end of file) or not what was expected.
  [[noreturn]] void expected(const std::string& what, const std::string* found) const;

  osvo::WordReader words_;
};

}  // namespace pipeline
