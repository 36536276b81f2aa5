// The cycle file of the net variant over a fixed description of three blocks.
#include "PipelineFuzz.h"

namespace {
const char* const kBlocks =
    "3\n"
    "alu 2.0 2.0 0 1500.7 120 80\n"
    "regfile 0.5 1.0 7 999 50 40\n"
    "lsq 1.0 0.5 0 2000 100 60\n";
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  osvofuzz::readPipeline(kBlocks, osvofuzz::text(data, size), false);
  return 0;
}
