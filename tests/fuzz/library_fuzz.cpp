// Fuzz target of the cell library reader: any bytes either read or are refused
// with osvo::Error.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "flatten/ReadLibrary.h"
#include "support/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  ReadLibrary::Library lib;
  std::ostringstream out, err;
  ReadLibrary reader(lib, out, err);
  try {
    reader.read(in, "fuzz.lib");
    reader.dumpLibrary();
    for (const auto& [name, cell] : lib) {
      reader.getCellVerNum(name);
      reader.getCellArea(name, 0);
      reader.getCellType(name);
    }
  } catch (const osvo::Error&) {
  }
  return 0;
}
