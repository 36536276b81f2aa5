#include "pipeline/PipeInput.h"

#include "support/Numbers.h"
#include "support/Text.h"

namespace pipeline {

void PipeInput::expected(const std::string& what, const std::string* found) const {
  if (found)
    fail("expected " + what + ", found " + osvo::quoteForMessage(*found));
  else
    fail("expected " + what + ", found the end of the file");
}

std::string PipeInput::readName(const std::string& what) {
  std::string word;
  if (!words_.next(word)) expected(what, nullptr);
  return word;
}

int PipeInput::readCount(const std::string& what, int minimum) {
  std::string word;
  if (!words_.next(word)) expected(what, nullptr);
  int value = 0;
  if (!osvo::parseDecimalInt(word, value) || value < minimum) expected(what, &word);
  return value;
}

double PipeInput::readNumber(const std::string& subject) {
  std::string word;
  if (!words_.next(word)) expected(subject + " (a number)", nullptr);
  double value = 0;
  if (osvo::parseDecimalNumber(word, value)) return value;
  if (osvo::isDecimalNumber(word)) fail(subject + " is too large: " + osvo::quoteForMessage(word));
  expected(subject + " (a number)", &word);
}

}  // namespace pipeline
