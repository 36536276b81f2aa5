// The option file read into the store, with the option table loaded so that
// every value meets its range check.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "options/CpOption.h"
#include "options/OptionDefaults.h"
#include "options/ReadParam.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  OptionDefaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                 &CP_OPTION::defaultOptionMap)
      .setDefaultOptionMap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadParam::clear();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    ReadParam::readOptStream(in, "fuzz.opt");
  } catch (const osvo::Error&) {
  }
  return 0;
}
