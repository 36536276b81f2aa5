#include "flat/Orientation.h"

#include <cstring>
#include <iostream>

namespace CP {

namespace {
const char* const kOrientNames[8] = {"B0", "B90", "B180", "B270", "F0", "F90", "F180", "F270"};
}

oritType toOrient(const char* text) {
  for (int i = 0; i < 8; ++i)
    if (text && std::strcmp(text, kOrientNames[i]) == 0) return static_cast<oritType>(i);
  std::cout << "ERROR: in converting char* to ORIENT" << std::endl;
  return B0;
}

const char* toChar(oritType o) {
  int v = static_cast<int>(o);
  if (v >= 0 && v < 8) return kOrientNames[v];
  std::cout << "ERROR: in converting ORIENT to char* " << std::endl;
  return kOrientNames[0];
}

}  // namespace CP
