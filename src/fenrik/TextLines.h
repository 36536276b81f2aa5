#pragma once
// Line-by-line reading of the benchmark text files with bounded memory: a line
// longer than kMaxLineBytes or a file longer than kMaxFileBytes is refused, so
// endless input ends in an error rather than a hang. Lines split into tokens
// at blanks; ':', '(', ')', ',' and '=' are tokens of their own and '#' starts
// a comment that runs to the end of the line.
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace fenrik_text {

constexpr size_t kMaxLineBytes = size_t{1} << 20;
constexpr size_t kMaxFileBytes = size_t{1} << 28;

class LineSource {
 public:
  LineSource(std::istream& in, std::string fileName) : in_(in), fileName_(std::move(fileName)) {}

  // The next line's tokens (possibly none); false at the end of the input.
  bool next(std::vector<std::string_view>& tokens);
  int lineNumber() const { return lineNumber_; }
  const std::string& fileName() const { return fileName_; }

  // Throws osvo::Error "FILE:LINE: message".
  [[noreturn]] void fail(const std::string& message) const;

 private:
  bool fill();

  std::istream& in_;
  std::string fileName_;
  std::string line_;
  std::vector<char> buffer_ = std::vector<char>(size_t{1} << 16);
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t totalBytes_ = 0;
  bool eof_ = false;
  int lineNumber_ = 0;
};

// Largest magnitude a number in the files may have, so that products of
// coordinates stay far from overflow.
constexpr double kMaxMagnitude = 1e18;

// Parsing of single tokens; false when the token is not entirely a number of
// magnitude at most kMaxMagnitude (or a count in 0..max).
bool parseNumber(std::string_view token, double& value);
bool parseCount(std::string_view token, long long max, long long& value);

// A printable, bounded copy of a token for messages.
std::string quoted(std::string_view token);

}  // namespace fenrik_text
