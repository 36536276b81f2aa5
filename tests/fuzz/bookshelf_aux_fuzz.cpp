// The .aux list reader on arbitrary bytes: three file names or a refusal.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "bookshelf/BenchmarkFiles.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const BenchmarkFileNames names = readAuxFile(in, "fuzz.aux", "dir");
    if (names.blocks.empty() || names.nets.empty() || names.pl.empty()) __builtin_trap();
  } catch (const osvo::Error&) {
  }
  return 0;
}
