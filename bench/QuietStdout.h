#pragma once
// Silences standard output while it lives: the benchmarks build designs and
// models that print their progress.
#include <iostream>
#include <sstream>

class QuietStdout {
 public:
  QuietStdout() : saved_(std::cout.rdbuf(sink_.rdbuf())) {}
  ~QuietStdout() { std::cout.rdbuf(saved_); }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  std::ostringstream sink_;
  std::streambuf* saved_;
};
