// The pipeline description of the net variant (its blocks), with a cycle file
// that declares no net.
#include "PipelineFuzz.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  osvofuzz::readPipeline(osvofuzz::text(data, size), "0\n", false);
  return 0;
}
