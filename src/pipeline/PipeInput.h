#pragma once
// A checked token stream over one input file of the pipeline reader.
//
// Description and cycle files are white-space-separated words read in order.
// Every read names what it expects; a word that is missing or not of the
// expected kind throws an osvo::Error "Error: <file>:<line>: expected <what>,
// found ..." (status 1).
#include <istream>
#include <string>
#include <type_traits>

#include "support/Numbers.h"
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

  // `what` describes the word for the error messages: a text, or a function
  // that makes the text, so that nothing is built while the input is fine.

  // The next word, whatever it is.
  template <class What>
  std::string readName(const What& what) {
    std::string word;
    if (!words_.next(word)) expected(describe(what), nullptr);
    return word;
  }
  // The next word as an integer of at least `minimum`.
  template <class What>
  int readCount(const What& what, int minimum) {
    std::string word;
    if (!words_.next(word)) expected(describe(what), nullptr);
    int value = 0;
    if (!osvo::parseDecimalInt(word, value) || value < minimum) expected(describe(what), &word);
    return value;
  }
  // The next word as a finite decimal number; `subject` ("the area of block
  // "alu"") names it in the error messages.
  template <class What>
  double readNumber(const What& subject) {
    std::string word;
    if (!words_.next(word)) expected(describe(subject) + " (a number)", nullptr);
    double value = 0;
    if (!osvo::parseDecimalNumber(word, value)) notANumber(describe(subject), word);
    return value;
  }
  // True when only white space is left; otherwise the next word's line is the
  // one where() then names.
  bool atEnd() { return words_.atEnd(); }

  // Throws "Error: <file>:<line>: <message>".
  [[noreturn]] void fail(const std::string& message) const { words_.fail(message); }

 private:
  template <class What>
  static std::string describe(const What& what) {
    if constexpr (std::is_invocable_v<const What&>)
      return what();
    else
      return std::string(what);
  }
  // Reports a word that is missing (end of file) or not what was expected.
  [[noreturn]] void expected(const std::string& what, const std::string* found) const;
  // Reports a word that is not a finite number.
  [[noreturn]] void notANumber(const std::string& subject, const std::string& word) const;

  osvo::WordReader words_;
};

}  // namespace pipeline
