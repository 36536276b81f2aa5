#pragma once
// Whole-word conversions of decimal numbers, shared by every reader and the
// option checks. Only ordinary decimal notation counts: an optional sign and
// digits for an integer; an optional sign, digits with an optional fraction
// and an optional exponent for a real number. Hexadecimal forms, "inf" and
// "nan", blanks and trailing characters are not numbers.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace osvo {

inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// True when `word` is written as a decimal integer.
inline bool isDecimalInteger(std::string_view word) {
  std::size_t i = 0;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
  if (i == word.size()) return false;
  for (; i < word.size(); ++i)
    if (!isDigit(word[i])) return false;
  return true;
}

// True when `word` is written as a decimal real number.
inline bool isDecimalNumber(std::string_view word) {
  std::size_t i = 0;
  const std::size_t n = word.size();
  if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
  std::size_t digits = 0;
  for (; i < n && isDigit(word[i]); ++i) ++digits;
  if (i < n && word[i] == '.') {
    for (++i; i < n && isDigit(word[i]); ++i) ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (word[i] == 'e' || word[i] == 'E')) {
    ++i;
    if (i < n && (word[i] == '+' || word[i] == '-')) ++i;
    std::size_t expDigits = 0;
    for (; i < n && isDigit(word[i]); ++i) ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == n;
}

// A decimal integer that fits an int; false (value untouched) otherwise.
inline bool parseDecimalInt(const std::string& word, int& value) {
  if (!isDecimalInteger(word)) return false;
  errno = 0;
  const long long v = std::strtoll(word.c_str(), nullptr, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

// A decimal real number whose value is finite; false (value untouched) otherwise.
inline bool parseDecimalNumber(const std::string& word, double& value) {
  if (!isDecimalNumber(word)) return false;
  const double v = std::strtod(word.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace osvo
