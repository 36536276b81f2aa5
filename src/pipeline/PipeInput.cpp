#include "pipeline/PipeInput.h"

#include "support/Text.h"

namespace pipeline {

void PipeInput::expected(const std::string& what, const std::string* found) const {
  if (found)
    fail("expected " + what + ", found " + osvo::quoteForMessage(*found));
  else
    fail("expected " + what + ", found the end of the file");
}

void PipeInput::notANumber(const std::string& subject, const std::string& word) const {
  if (osvo::isDecimalNumber(word)) fail(subject + " is too large: " + osvo::quoteForMessage(word));
  expected(subject + " (a number)", &word);
}

}  // namespace pipeline
