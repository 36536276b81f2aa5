#pragma once
// Shared set-up of the pipeline reader tests: a clean option store per test and
// a parse that captures what the reader prints.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RunBinary.h"
#include "flat/FlatDesign.h"
#include "options/ReadParam.h"
#include "pipeline/PipeParser.h"

namespace pipetest {

class PipeTest : public ::testing::Test {
 protected:
  void SetUp() override { ReadParam::clear(); }
  void TearDown() override { ReadParam::clear(); }

  // Selects the path variant at the given clock frequency (GHz).
  static void usePathVariant(const std::string& freq) {
    ReadParam::setOption("-pipe", "1");
    ReadParam::setOption("-fix_freq", freq);
  }

  // Parses and keeps what the reader printed on standard output in `out`.
  static std::unique_ptr<CoarsePlacement::FlatDesign> parse(const std::string& desc,
                                                            const std::string& cycle,
                                                            std::string* out = nullptr) {
    ::testing::internal::CaptureStdout();
    std::unique_ptr<CoarsePlacement::FlatDesign> d(pipeParser(desc, cycle));
    std::string printed = ::testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    return d;
  }
};

}  // namespace pipetest
