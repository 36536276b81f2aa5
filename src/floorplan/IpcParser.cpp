#include "floorplan/IpcParser.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <iostream>
#include <unordered_set>

#include "floorplan/DB.h"
#include "support/Error.h"
#include "support/InputFile.h"
#include "support/Numbers.h"
#include "support/Text.h"
#include "support/WordReader.h"

using CoarsePlacement::CktInstance;

namespace {

// Characters of the IPC text with the line each one is on.
class IpcText {
 public:
  IpcText(std::istream& in, const std::string& fileName) : buf_(in.rdbuf()), file_(fileName) {}

  int peek() { return buf_ ? buf_->sgetc() : EOF; }
  int get() {
    const int c = buf_ ? buf_->sbumpc() : EOF;
    if (c == '\n') ++line_;
    return c;
  }
  static bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  // The next character that is not white space (EOF at the end), left unread.
  int skipSpace() {
    while (isSpace(peek())) get();
    return peek();
  }
  // "IPC file F, line L"
  std::string where() const { return "IPC file " + file_ + ", line " + std::to_string(line_); }
  void warn(const std::string& message) const {
    std::cout.flush();
    std::cerr << "Warning: " << where() << ": " << message << "\n";
  }
  [[noreturn]] void fail(const std::string& message) const {
    throw osvo::Error("Error: " + where() + ": " + message + "\n");
  }

 private:
  std::streambuf* buf_;
  std::string file_;
  int line_ = 1;
};

enum class Version { Read, Missing, OutOfRange };

// An integer version: blanks, an optional sign and digits, as a stream reads an int.
Version readVersion(IpcText& text, int& version) {
  text.skipSpace();
  std::string digits;
  if (text.peek() == '+' || text.peek() == '-') digits += static_cast<char>(text.get());
  while (osvo::isDigit(static_cast<char>(text.peek())) && digits.size() <= 20)
    digits += static_cast<char>(text.get());
  if (!osvo::isDecimalInteger(digits)) return Version::Missing;
  return osvo::parseDecimalInt(digits, version) ? Version::Read : Version::OutOfRange;
}

// The IPC value after a closing brace: the word up to white space, "{", "#" or
// the end of the file; an empty word is a missing value (0).
double readIpcValue(IpcText& text, std::size_t number) {
  text.skipSpace();
  std::string word;
  for (int c = text.peek(); c != EOF && !IpcText::isSpace(c) && c != '{' && c != '#';
       c = text.peek()) {
    if (word.size() == osvo::WordReader::kMaxWordLength)
      text.fail("configuration " + std::to_string(number) + ": the IPC value is too long");
    word += static_cast<char>(text.get());
  }
  if (word.empty()) return 0;
  double ipc = 0;
  if (!osvo::parseDecimalNumber(word, ipc) || ipc < 0)
    text.fail("configuration " + std::to_string(number) + ": the IPC value " +
              osvo::quoteForMessage(word) + " is not a finite, non-negative number");
  return ipc;
}

}  // namespace

std::vector<std::unique_ptr<Config>> readIpcConfigs(std::istream& in, const std::string& fileName) {
  IpcText text(in, fileName);
  std::vector<std::unique_ptr<Config>> configs;
  auto cfg = std::make_unique<Config>();
  bool pending = false;  // the configuration being read has (part of) an entry
  for (;;) {
    const int c = text.skipSpace();
    if (c == EOF) break;
    if (c == '#') {
      // The whole line is skipped.
      std::size_t length = 0;
      while (text.peek() != EOF && text.peek() != '\n') {
        if (++length > kMaxIpcCommentLength)
          text.fail("a comment line longer than " + std::to_string(kMaxIpcCommentLength) +
                    " characters");
        text.get();
      }
      continue;
    }
    if (c == '{') text.get();
    pending = true;
    std::string name;
    while (text.peek() != EOF && text.peek() != ':') {
      if (name.size() == kMaxIpcNameLength)
        text.fail("configuration " + std::to_string(configs.size()) +
                  ": an instance name longer than " + std::to_string(kMaxIpcNameLength) +
                  " characters (no \":\" after it)");
      name += static_cast<char>(text.get());
    }
    if (text.get() == EOF) break;  // no ":" before the end of the file
    int version = 0;
    const Version read = readVersion(text, version);
    if (read != Version::Read) {
      text.warn("entry " + osvo::quoteForMessage(name) +
                (read == Version::Missing ? " has no version number"
                                          : " has a version number out of range") +
                "; the rest of the file is ignored");
      pending = false;
      break;
    }
    if (text.skipSpace() == EOF) break;  // the file ends inside the configuration
    const int sep = text.get();
    cfg->versions[name] = version;  // a repeated name takes the later version
    if (sep == '}') {
      cfg->ipc = readIpcValue(text, configs.size());
      configs.push_back(std::move(cfg));
      cfg = std::make_unique<Config>();
      pending = false;
    }
  }
  if (pending)
    text.warn("configuration " + std::to_string(configs.size()) +
              " is not closed by \"}\" before the end of the file; it is dropped");
  return configs;
}

void DB::ipcparser() {
  if (ipcFile_.empty()) {
    // Without an IPC file the machine has one configuration of IPC 1 in which
    // every block takes its own version 0: the first of the versions its
    // instance owns in the shared master (its versionOffset).
    auto cfg = std::make_unique<Config>();
    cfg->ipc = 1.0;
    configs_.push_back(std::move(cfg));
    reconcileConfigs();
    invalidateVersionCache();
    return;
  }
  std::ifstream in;
  const std::string problem = osvo::openInputFile(ipcFile_, in);
  if (!problem.empty())
    throw osvo::Error("Error: cannot read IPC file " + ipcFile_ + ": " + problem + "\n");
  configs_ = readIpcConfigs(in, ipcFile_);
  if (configs_.empty())
    throw osvo::Error("Error: IPC file " + ipcFile_ + " holds no complete configuration\n");
  reconcileConfigs();
  invalidateVersionCache();
}

void DB::reconcileConfigs() {
  std::unordered_set<std::string> names;
  for (CktInstance* inst : design_->instList) names.insert(CoarsePlacement::instanceName(inst));

  for (std::size_t c = 0; c < configs_.size(); ++c) {
    auto& versions = configs_[c]->versions;
    // Entries that name no block of the design cannot select anything.
    for (auto it = versions.begin(); it != versions.end();) {
      if (names.count(it->first)) {
        ++it;
        continue;
      }
      std::cout.flush();
      std::cerr << "Warning: IPC file " << ipcFile_ << ", configuration " << c << ": entry "
                << osvo::quoteForMessage(it->first)
                << " names no instance of the design; the entry is dropped\n";
      it = versions.erase(it);
    }
    // Version numbers count from the instance's own first version.
    for (CktInstance* inst : design_->instList) {
      const std::string& name = CoarsePlacement::instanceName(inst);
      auto it = versions.find(name);
      if (it == versions.end()) {
        versions[name] = inst->versionOffset;
      } else {
        // Kept inside the int range; a sum beyond it names no version and is
        // refused below.
        const long long v = static_cast<long long>(it->second) + inst->versionOffset;
        it->second = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
      }
    }
    for (CktInstance* inst : design_->instList) {
      const std::string& name = CoarsePlacement::instanceName(inst);
      const int v = versions[name];
      const int count = static_cast<int>(inst->master->versions.size());
      if (v >= 0 && v < count) continue;
      const std::string where =
          ipcFile_.empty() ? "the default configuration (no -ipcFile)"
                           : "IPC file " + ipcFile_ + ", configuration " + std::to_string(c);
      throw osvo::Error("Error: " + where + ": instance \"" + name + "\" has no version " +
                        std::to_string(v) + " (its master " + inst->master->name + " has " +
                        std::to_string(count) + ")\n");
    }
  }
}
