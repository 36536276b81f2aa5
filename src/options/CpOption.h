#pragma once
// Static data of the option subsystem: the option table, the option rules, the
// map of known options, and the start-up sequence that fills the option store.
#include "options/ReadParam.h"

class CP_OPTION {
 public:
  CP_OPTION() = delete;

  // 109 (key, type, default, range) quadruples; "" means no default / no range.
  static const char* const defaultOptions[436];
  // Token stream of the option rules.
  static const char* const rules[291];
  // Known options, filled from defaultOptions at start-up.
  static OptionTypeRangeMap defaultOptionMap;

  static int getDefaultOptionSize();  // 436 strings
  static int getRuleSize();           // 291 strings

  // Loads the table, then reads the command line, the option file, fills the
  // defaults and runs the rules, in this order.
  static void process_cp_option(int argc, char** argv);
};
