#pragma once
// Admissibility checks of option values against the range text of the option
// table, and conversions of value texts to numbers.
#include <string>

class OptionRange {
 public:
  OptionRange() = delete;

  // True when `value` is admissible for an option of `type` ("i", "f", "s")
  // with range text `range`: empty range or value, interval, or enumeration.
  static bool rangeCheck(const std::string& type, const std::string& range,
                         const std::string& value);
  // Only the interval branch of rangeCheck ("[lo, hi]", "(lo hi)", "(0, )"...).
  // The value must be wholly a decimal number of the type (for "f" a finite
  // one) to be admitted at all.
  static bool intervalRangeCheck(const std::string& type, const std::string& range,
                                 const std::string& value);
  // Only the enumeration branch of rangeCheck (blank-separated words).
  static bool enumerateRangeCheck(const std::string& type, const std::string& range,
                                  const std::string& value);

  // `def` for an empty text, else the text read as a base-10 integer.
  static int getIntVal(const std::string& value, int def);
  // `def` for an empty text, else the text read as a double.
  static double getDoubleVal(const std::string& value, double def);
  // The converted value when low <= value <= high, else `def` with a message.
  static int getRangeIntVal(const std::string& value, int low, int high, int def);
  static double getRangeDoubleVal(const std::string& value, double low, double high, double def);
  // `def` for an empty text, 1 for "1", 0 for "0", `def` for anything else.
  static int getOnOff(const std::string& value, int def);
};
