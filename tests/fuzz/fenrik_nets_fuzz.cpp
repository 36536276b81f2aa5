// The net-file reader on arbitrary bytes, after a fixed block file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FenrikFuzzDesign.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const BenchmarkDesign blocks = fenrikFuzzBlocks();
  BenchmarkDesign design = blocks;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    readNetsFile(in, "fuzz.nets", design);
  } catch (const osvo::Error&) {
  }
  return 0;
}
