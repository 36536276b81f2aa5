#pragma once
// Shared set-up of the option tests: the store is process-wide, so every test
// starts from an empty store with no option table loaded.
#include <gtest/gtest.h>

#include <string>

#include "options/CpOption.h"
#include "options/OptionDefaults.h"
#include "options/ReadParam.h"

class OptionStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    ReadParam::clear();
    ReadParam::defaultOptionMap = nullptr;
  }
  static OptionDefaults table() {
    return OptionDefaults(CP_OPTION::defaultOptions, CP_OPTION::getDefaultOptionSize(),
                          &CP_OPTION::defaultOptionMap);
  }
  static std::string opt(const std::string& key) { return ReadParam::getOption(key); }
};

// What a step printed on standard output and standard error.
struct Printed {
  std::string out, err;
};

template <class Step>
Printed capture(Step step) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  step();
  Printed p;
  p.err = testing::internal::GetCapturedStderr();
  p.out = testing::internal::GetCapturedStdout();
  return p;
}
