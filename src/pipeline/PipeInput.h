#pragma once
// A checked token stream over one input file of the pipeline reader.
//
// Description and cycle files are white-space-separated words read in order.
// Every read names what it expects; when the file cannot be opened, the next
// word is missing or it is not of the expected kind, the reader prints one line
// on standard error naming the file and what was expected, runs the clean-up
// hook (which frees the half-built design) and ends the process with status 1.
#include <fstream>
#include <functional>
#include <string>

namespace pipeline {

class PipeInput {
 public:
  // `cleanup` runs before the process ends on a fatal input error.
  explicit PipeInput(std::function<void()> cleanup) : cleanup_(std::move(cleanup)) {}

  // Opens `fileName`; `kind` ("description", "cycle") names the file in the
  // message printed when it cannot be opened.
  void open(const std::string& fileName, const std::string& kind);
  void close() { in_.close(); }
  const std::string& fileName() const { return fileName_; }

  // The next word, whatever it is. `what` describes it for the error message.
  std::string readName(const std::string& what);
  // The next word as an integer of at least `minimum` (decimal, optional sign).
  int readCount(const std::string& what, int minimum);
  // The next word as a finite decimal number (optional sign, fraction, exponent).
  double readNumber(const std::string& what);

  // Prints "Error: <file>: <message>" on standard error and ends the process.
  [[noreturn]] void fail(const std::string& message) const;

 private:
  // Reports a word that is missing (end of file) or not what was expected.
  [[noreturn]] void expected(const std::string& what, const std::string* found) const;

  std::function<void()> cleanup_;
  std::ifstream in_;
  std::string fileName_;
};

// Runs `cleanup` (if any), prints `line` on standard error and ends the process
// with status 1. Standard output is flushed first so that the order of the two
// streams stays readable.
[[noreturn]] void fatalInputError(const std::string& line, const std::function<void()>& cleanup);

// Whole-word conversions; false when the word is not entirely a number of the
// kind (or out of range for an int).
bool parseDecimalInt(const std::string& word, int& value);
bool parseDecimalNumber(const std::string& word, double& value);

}  // namespace pipeline
