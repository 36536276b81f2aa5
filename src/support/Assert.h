#pragma once
// Internal invariants: always checked, whatever the build type. A failure prints
// the condition, the source file and line on standard error and aborts.
#include <cstdio>
#include <cstdlib>

namespace osvo {
[[noreturn]] inline void assertFailed(const char* expr, const char* file, int line,
                                      const char* func) {
  std::fflush(stdout);
  std::fprintf(stderr, "osvo: %s:%d: %s: Assertion `%s' failed.\n", file, line, func, expr);
  std::abort();
}
}  // namespace osvo

#define OSVO_ASSERT(expr) \
  ((expr) ? static_cast<void>(0) : ::osvo::assertFailed(#expr, __FILE__, __LINE__, __func__))
