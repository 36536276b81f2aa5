#pragma once
// Quoting of user-supplied words for the shell that system() runs.
#include <string>

namespace osvo {

// `word` in single quotes, each embedded single quote written as '\'' , so that
// the shell passes it on as one literal word whatever characters it contains.
inline std::string shellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += "'";
  return quoted;
}

}  // namespace osvo
