#pragma once
// The option table handler: loads the map of known options, fills unset options
// with their defaults, and reads the option file named by "-readOptionFile".
#include <ostream>

#include "options/ReadParam.h"

class OptionDefaults {
 public:
  // `table` holds `length` strings read as (key, type, default, range)
  // quadruples; `map` receives key -> (type, range). Both are borrowed.
  OptionDefaults(const char* const* table, int length, OptionTypeRangeMap* map)
      : table_(table), length_(length), map_(map) {}

  // Fills the map of known options and makes ReadParam range-check against it.
  // A table that is not made of quadruples throws an osvo::Error.
  void setDefaultOptionMap();
  // Gives every option that reads as empty its non-empty default.
  void setAllDefaultOption();
  // Echoes and reads the option file named by "-readOptionFile", if any. A
  // file that exists but is not a regular file of sensible size is refused
  // (osvo::Error) before it is echoed.
  void processOptionFile();
  // Prints the table, one block per option.
  void dumpDefaultOptions(std::ostream& out) const;

 private:
  // Refuses a table that is not made of quadruples.
  void checkQuadruples() const;

  const char* const* table_;
  int length_;
  OptionTypeRangeMap* map_;
};
