#pragma once
// Runs the pipeline reader on in-memory files for the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "flat/CktRecords.h"
#include "pipeline/PipeParser.h"
#include "support/Error.h"

namespace osvofuzz {

// The process-wide pin pool keeps a null slot for every released pin; once the
// design of an input is released they are all null and the pool is emptied,
// so that it does not grow with every input.
inline void forgetReleasedPins() {
  for (const CoarsePlacement::CktPin* pin : CoarsePlacement::CktPin::pinPool)
    if (pin != nullptr) return;
  CoarsePlacement::CktPin::pinPool.clear();
}

// Reads description `desc` and cycle file `cycle` (net variant) or the path
// variant at 2 GHz; an osvo::Error is the reader's answer to bad input.
inline void readPipeline(const std::string& desc, const std::string& cycle, bool paths) {
  auto open = [&](const std::string& name, const std::string&) -> std::unique_ptr<std::istream> {
    return std::make_unique<std::istringstream>(name == "fuzz.desc" ? desc : cycle);
  };
  try {
    pipeParser("fuzz.desc", "fuzz.cycle", PipeOptions{paths, 2.0}, open);
  } catch (const osvo::Error&) {
  }
  forgetReleasedPins();
}

inline std::string text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace osvofuzz
