#include "pipeline/PipeInput.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace pipeline {

void fatalInputError(const std::string& line, const std::function<void()>& cleanup) {
  if (cleanup) cleanup();
  std::cout.flush();
  std::cerr << line << std::endl;
  std::exit(1);
}

void PipeInput::open(const std::string& fileName, const std::string& kind) {
  fileName_ = fileName;
  in_.open(fileName);
  if (!in_.is_open())
    fatalInputError("Error: cannot open " + kind + " file \"" + fileName + "\"", cleanup_);
}

void PipeInput::fail(const std::string& message) const {
  fatalInputError("Error: " + fileName_ + ": " + message, cleanup_);
}

void PipeInput::expected(const std::string& what, const std::string* found) const {
  if (found)
    fail("expected " + what + ", found \"" + *found + "\"");
  else
    fail("expected " + what + ", found the end of the file");
}

std::string PipeInput::readName(const std::string& what) {
  std::string word;
  if (!(in_ >> word)) expected(what, nullptr);
  return word;
}

int PipeInput::readCount(const std::string& what, int minimum) {
  std::string word;
  if (!(in_ >> word)) expected(what, nullptr);
  int value = 0;
  if (!parseDecimalInt(word, value) || value < minimum) expected(what, &word);
  return value;
}

double PipeInput::readNumber(const std::string& what) {
  std::string word;
  if (!(in_ >> word)) expected(what, nullptr);
  double value = 0;
  if (!parseDecimalNumber(word, value)) expected(what, &word);
  return value;
}

namespace {
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

bool parseDecimalInt(const std::string& word, int& value) {
  size_t i = 0;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
  if (i == word.size()) return false;
  for (size_t k = i; k < word.size(); ++k)
    if (!isDigit(word[k])) return false;
  errno = 0;
  long long v = std::strtoll(word.c_str(), nullptr, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

bool parseDecimalNumber(const std::string& word, double& value) {
  // Ordinary decimal notation only: [sign] digits [. digits] [e [sign] digits],
  // with at least one digit in the mantissa. This rules out the hexadecimal,
  // "inf" and "nan" forms that strtod would also accept.
  size_t i = 0;
  const size_t n = word.size();
  if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && isDigit(word[i])) ++i, ++digits;
  if (i < n && word[i] == '.') {
    ++i;
    while (i < n && isDigit(word[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (word[i] == 'e' || word[i] == 'E')) {
    ++i;
    if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && isDigit(word[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  double v = std::strtod(word.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace pipeline
