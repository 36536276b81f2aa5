#include "options/OptionRange.h"

#include <climits>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "support/Numbers.h"

namespace {

// Both texts converted by the option type ("i": base-10 integer from the
// leading digits, "f": double) and compared: -1, 0 or 1, or 2 when unordered
// (a NaN), which fails every bound.
int compareByType(const std::string& type, const std::string& a, const std::string& b) {
  if (type == "i") {
    long x = std::strtol(a.c_str(), nullptr, 10);
    long y = std::strtol(b.c_str(), nullptr, 10);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  double x = std::strtod(a.c_str(), nullptr);
  double y = std::strtod(b.c_str(), nullptr);
  if (x < y) return -1;
  if (x > y) return 1;
  if (x == y) return 0;
  return 2;
}

}  // namespace

bool OptionRange::rangeCheck(const std::string& type, const std::string& range,
                             const std::string& value) {
  if (range.empty() || value.empty()) return true;
  if (range[0] == '[' || range[0] == '(') return intervalRangeCheck(type, range, value);
  return enumerateRangeCheck(type, range, value);
}

bool OptionRange::intervalRangeCheck(const std::string& type, const std::string& range,
                                     const std::string& value) {
  if (type != "i" && type != "f") {
    std::cerr << "interval range type check must have type interger"
              << "(i), or floating point(f)\n";
    std::cerr << "skip range check for type = " << type << " range = " << range
              << " val = " << value << "\n";
    return true;
  }
  // Bounds compare numbers: a value that is not wholly a number of the type
  // ("abc", "20abc", "0.5" for an integer) fails like one out of range.
  double number = 0;
  if (type == "i" ? !osvo::isDecimalInteger(value) : !osvo::parseDecimalNumber(value, number))
    return false;
  const bool lowerOpen = !range.empty() && range[0] == '(';

  // Lower bound: from the first character past the opening bracket and blanks
  // up to the first separator. Without a separator there is no bound at all.
  const size_t lowStart = range.find_first_not_of("[( \t\n");
  if (lowStart == std::string::npos) return true;
  const size_t lowEnd = range.find_first_of(", \t\n", lowStart);
  if (lowEnd == std::string::npos) return true;
  const std::string low = range.substr(lowStart, lowEnd - lowStart);
  if (!low.empty()) {
    const int c = compareByType(type, low, value);
    if (lowerOpen ? c != -1 : (c != -1 && c != 0)) return false;
  }

  // Upper bound: from the first character past the separators up to the first
  // closing bracket or blank; a missing upper bound admits everything above.
  const size_t upStart = range.find_first_not_of(", \t\n", lowEnd);
  if (upStart == std::string::npos) return true;
  const size_t upEnd = range.find_first_of("]) \t\n", upStart);
  const std::string up =
      range.substr(upStart, upEnd == std::string::npos ? std::string::npos : upEnd - upStart);
  if (up.empty()) return true;
  const size_t closePos =
      upEnd == std::string::npos ? std::string::npos : range.find_first_of("])", upEnd);
  if (closePos == std::string::npos) {
    std::cerr << "] or ) expected in range " << range << "\n";
    return false;
  }
  const int c = compareByType(type, value, up);
  if (range[closePos] == ')') return c == -1;
  return c == -1 || c == 0;
}

bool OptionRange::enumerateRangeCheck(const std::string& /*type*/, const std::string& range,
                                      const std::string& value) {
  std::istringstream words(range);
  std::string word;
  while (words >> word) {
    if (word == value) return true;
  }
  return false;
}

int OptionRange::getIntVal(const std::string& value, int def) {
  if (value.empty()) return def;
  long v = std::strtol(value.c_str(), nullptr, 10);
  // Texts beyond the int range saturate instead of wrapping around.
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

double OptionRange::getDoubleVal(const std::string& value, double def) {
  if (value.empty()) return def;
  return std::strtod(value.c_str(), nullptr);
}

int OptionRange::getRangeIntVal(const std::string& value, int low, int high, int def) {
  const int v = getIntVal(value, def);
  if (low <= v && v <= high) return v;
  std::cerr << "val " << value << " out of range [" << low << ", " << high << "], use default "
            << def << "\n";
  return def;
}

double OptionRange::getRangeDoubleVal(const std::string& value, double low, double high,
                                      double def) {
  const double v = getDoubleVal(value, def);
  if (low <= v && v <= high) return v;
  std::cerr << "val " << value << " out of range [" << low << ", " << high << "], use default "
            << def << "\n";
  return def;
}

int OptionRange::getOnOff(const std::string& value, int def) {
  if (value.empty()) return def;
  if (value == "1") return 1;
  if (value == "0") return 0;
  return def;
}
