// The pipeline description of the path variant: blocks, loops and paths.
#include "PipelineFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  osvofuzz::readPipeline(osvofuzz::text(data, size), "", true);
  return 0;
}
