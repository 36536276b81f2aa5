// The width and spacing file, for the eight layers of the 70 nm generation.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "delay/WidthSpaceFile.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    readWidthSpace(in, "fuzz.ws", 8);
  } catch (const osvo::Error&) {
  }
  return 0;
}
