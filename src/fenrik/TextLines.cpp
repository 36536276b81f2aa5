#include "fenrik/TextLines.h"

#include <charconv>
#include <cmath>

#include "support/Error.h"

namespace fenrik_text {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool isPunctuation(char c) {
  return c == ':' || c == '(' || c == ')' || c == ',' || c == '=';
}

void tokenize(std::string_view line, std::vector<std::string_view>& tokens) {
  tokens.clear();
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == '#') break;
    if (isBlank(c)) {
      ++i;
    } else if (isPunctuation(c)) {
      tokens.push_back(line.substr(i, 1));
      ++i;
    } else {
      size_t start = i;
      while (i < line.size() && !isBlank(line[i]) && !isPunctuation(line[i]) && line[i] != '#') ++i;
      tokens.push_back(line.substr(start, i - start));
    }
  }
}

}  // namespace

bool LineSource::fill() {
  if (eof_) return false;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  std::streamsize got = in_.gcount();
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  begin_ = 0;
  end_ = static_cast<size_t>(got);
  totalBytes_ += end_;
  if (totalBytes_ > kMaxFileBytes) {
    ++lineNumber_;
    fail("file too large (more than " + std::to_string(kMaxFileBytes) + " bytes)");
  }
  return true;
}

bool LineSource::next(std::vector<std::string_view>& tokens) {
  line_.clear();
  bool any = false;
  for (;;) {
    if (begin_ == end_ && !fill()) break;
    any = true;
    const char* start = buffer_.data() + begin_;
    size_t avail = end_ - begin_;
    const void* nl = std::char_traits<char>::find(start, avail, '\n');
    size_t take = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) : avail;
    if (line_.size() + take > kMaxLineBytes) {
      ++lineNumber_;
      fail("line too long (more than " + std::to_string(kMaxLineBytes) + " bytes)");
    }
    line_.append(start, take);
    begin_ += take;
    if (nl) {
      ++begin_;
      break;
    }
  }
  if (!any) return false;
  ++lineNumber_;
  if (line_.find('\0') != std::string::npos) fail("unexpected NUL byte");
  tokenize(line_, tokens);
  return true;
}

void LineSource::fail(const std::string& message) const {
  osvo::fail(fileName_ + ":" + std::to_string(lineNumber_) + ": " + message + "\n");
}

bool parseNumber(std::string_view token, double& value) {
  if (token.empty()) return false;
  const char* first = token.data();
  const char* last = first + token.size();
  if (*first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last && std::abs(value) <= kMaxMagnitude;
}

bool parseCount(std::string_view token, long long max, long long& value) {
  const char* first = token.data();
  const char* last = first + token.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  return !token.empty() && ec == std::errc() && ptr == last && value >= 0 && value <= max;
}

std::string quoted(std::string_view token) {
  std::string out = "\"";
  size_t n = 0;
  for (char c : token) {
    if (++n > 40) {
      out += "...";
      break;
    }
    unsigned char u = static_cast<unsigned char>(c);
    out += (u >= 0x20 && u < 0x7f) ? c : '?';
  }
  return out + "\"";
}

}  // namespace fenrik_text
