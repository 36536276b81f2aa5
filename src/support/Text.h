#pragma once
// Small text helpers for messages about input.
#include <cstddef>
#include <string>
#include <string_view>

namespace osvo {

// `text` in double quotes, fit to show in a one-line message: bytes outside
// printable ASCII are written as \xNN and a long text is cut after `limit`
// characters with "..." appended.
inline std::string quoteForMessage(std::string_view text, std::size_t limit = 60) {
  static const char* const hex = "0123456789abcdef";
  std::string out = "\"";
  std::size_t shown = 0;
  for (char ch : text) {
    if (shown == limit) {
      out += "...";
      break;
    }
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += ch;
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    ++shown;
  }
  out += "\"";
  return out;
}

}  // namespace osvo
