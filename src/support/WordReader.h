#pragma once
// Reading an input text word by word with the line of every word, for the
// readers of white-space-separated files. Input of any length is safe: a word
// longer than kMaxWordLength is refused with an osvo::Error naming the file and
// line, so an endless input (a device, a file without blanks) cannot exhaust
// memory.
#include <istream>
#include <streambuf>
#include <string>
#include <utility>

#include "support/Error.h"

namespace osvo {

class WordReader {
 public:
  // Longest word a reader accepts; far beyond any name or number in practice.
  static constexpr std::size_t kMaxWordLength = 4096;

  // Reads from `in` (borrowed); `fileName` names the input in messages.
  WordReader(std::istream& in, std::string fileName)
      : buf_(in.rdbuf()), fileName_(std::move(fileName)) {}

  // The next word into `word`; false when only white space remains.
  bool next(std::string& word) {
    word.clear();
    int c = skipSpace();
    if (c == EOF) return false;
    wordLine_ = line_;
    while (c != EOF && !isSpace(c)) {
      if (word.size() == kMaxWordLength)
        fail("a word longer than " + std::to_string(kMaxWordLength) + " characters");
      word += static_cast<char>(c);
      buf_->sbumpc();
      c = buf_->sgetc();
    }
    return true;
  }

  // True when nothing but white space is left; the reader then stands at the
  // line of the next word, if any.
  bool atEnd() {
    const bool end = skipSpace() == EOF;
    if (!end) wordLine_ = line_;
    return end;
  }

  const std::string& fileName() const { return fileName_; }
  // Line of the last word read (from 1).
  int line() const { return wordLine_; }
  // "file:line", the prefix of messages about the last word read.
  std::string where() const { return fileName_ + ":" + std::to_string(wordLine_); }

  // Throws the error "Error: file:line: message".
  [[noreturn]] void fail(const std::string& message) const {
    throw Error("Error: " + where() + ": " + message + "\n");
  }

 private:
  static bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }

  // Skips white space, counting line ends; returns the next character or EOF.
  int skipSpace() {
    int c = buf_ ? buf_->sgetc() : EOF;
    while (c != EOF && isSpace(c)) {
      if (c == '\n') ++line_;
      buf_->sbumpc();
      c = buf_->sgetc();
    }
    return c;
  }

  std::streambuf* buf_;
  std::string fileName_;
  int line_ = 1;
  int wordLine_ = 1;
};

}  // namespace osvo
