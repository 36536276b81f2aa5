#pragma once
// Shared by the fuzz targets: what the readers print is dropped; it would only
// slow the fuzzer down.
#include <iostream>

namespace osvofuzz {

inline void dropOutput() {
  std::cout.setstate(std::ios::badbit);
  std::cerr.setstate(std::ios::badbit);
}

}  // namespace osvofuzz
