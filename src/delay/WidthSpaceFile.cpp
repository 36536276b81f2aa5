#include "delay/WidthSpaceFile.h"

#include <iostream>

#include "support/Numbers.h"
#include "support/Text.h"
#include "support/WordReader.h"

namespace {

// The next value, `what` of layer `layer`, or false at the end of the file.
bool readValue(osvo::WordReader& words, const char* what, int layer, double& value) {
  std::string word;
  if (!words.next(word)) return false;
  const std::string subject = std::string("the ") + what + " of layer " + std::to_string(layer);
  if (!osvo::parseDecimalNumber(word, value))
    words.fail("expected " + subject + " (a number), found " + osvo::quoteForMessage(word));
  if (!(value > 0)) words.fail(subject + " is " + word + "; widths and spacings must be positive");
  return true;
}

}  // namespace

WidthSpace readWidthSpace(std::istream& in, const std::string& fileName, int layers) {
  osvo::WordReader words(in, fileName);
  WidthSpace table;
  for (int layer = 0; layer < layers; ++layer) {
    double width = 0;
    double spacing = 0;
    if (!readValue(words, "width", layer, width)) break;
    if (!readValue(words, "spacing", layer, spacing)) {
      std::cout.flush();
      std::cerr << "Warning: " << words.where() << ": the width of layer " << layer
                << " has no spacing after it; it is ignored\n";
      break;
    }
    table.width.push_back(width);
    table.spacing.push_back(spacing);
  }
  if (table.width.empty())
    throw osvo::Error("Error: width and spacing file " + fileName +
                      " holds no pair of a width and a spacing\n");
  if (static_cast<int>(table.width.size()) == layers && !words.atEnd()) {
    std::cout.flush();
    std::cerr << "Warning: " << words.where() << ": text after the pairs of the " << layers
              << " layers is ignored\n";
  }
  return table;
}
