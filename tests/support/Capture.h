#pragma once
// What a step prints and the osvo::Error it throws.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>

#include "support/Error.h"

namespace osvotest {

// What a step printed on standard output and standard error, and the
// osvo::Error it threw, if any.
struct Printed {
  std::string out;
  std::string err;
  std::optional<osvo::Error> error;
};

template <class Step>
Printed capture(Step step) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Printed p;
  try {
    step();
  } catch (const osvo::Error& e) {
    p.error = e;
  }
  p.err = testing::internal::GetCapturedStderr();
  p.out = testing::internal::GetCapturedStdout();
  return p;
}

// Succeeds when `error` holds an osvo::Error whose message matches the regular
// expression `pattern` (searched) and whose status and stream are the given ones.
inline testing::AssertionResult isError(const std::optional<osvo::Error>& error,
                                        const std::string& pattern,
                                        int status = osvo::kExitBadInput,
                                        osvo::Stream stream = osvo::Stream::Err) {
  if (!error) return testing::AssertionFailure() << "no osvo::Error thrown";
  if (!std::regex_search(std::string(error->what()), std::regex(pattern)))
    return testing::AssertionFailure()
           << "message \"" << error->what() << "\" does not match \"" << pattern << "\"";
  if (error->status() != status)
    return testing::AssertionFailure() << "status " << error->status() << ", not " << status;
  if (error->stream() != stream) return testing::AssertionFailure() << "on the other stream";
  return testing::AssertionSuccess();
}

// The same for the error that `step` throws; what it prints is swallowed.
template <class Step>
testing::AssertionResult throwsError(Step step, const std::string& pattern,
                                     int status = osvo::kExitBadInput,
                                     osvo::Stream stream = osvo::Stream::Err) {
  return isError(capture(step).error, pattern, status, stream);
}

}  // namespace osvotest
