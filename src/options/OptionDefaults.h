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
  // Ends the process with status 1 when the table is not made of quadruples.
  void setDefaultOptionMap();
  // Gives every option that reads as empty its non-empty default.
  void setAllDefaultOption();
  // Echoes and reads the option file named by "-readOptionFile", if any.
  void processOptionFile();
  // Prints the table, one block per option.
  void dumpDefaultOptions(std::ostream& out) const;

 private:
  // Reports a table that is not made of quadruples and ends the process.
  void checkQuadruples() const;

  const char* const* table_;
  int length_;
  OptionTypeRangeMap* map_;
};
