// The block-file reader on arbitrary bytes: a design or osvo::Error, nothing else.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fenrik/BenchmarkReader.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  BenchmarkDesign design;
  try {
    readBlockFile(in, "fuzz.blocks", design);
  } catch (const osvo::Error&) {
  }
  return 0;
}
