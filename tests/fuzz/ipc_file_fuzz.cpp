// The IPC file: configurations, their entries and IPC values.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "floorplan/IpcParser.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  osvofuzz::dropOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    readIpcConfigs(in, "fuzz.ipc");
  } catch (const osvo::Error&) {
  }
  return 0;
}
