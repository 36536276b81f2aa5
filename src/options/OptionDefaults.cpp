#include "options/OptionDefaults.h"

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>

#include "options/ShellQuote.h"
#include "support/Error.h"

namespace {
// The option file is echoed through the shell before it is read: only a
// regular file of at most this many bytes is shown.
constexpr std::uintmax_t kMaxOptionFileSize = 1 << 20;
}  // namespace

void OptionDefaults::checkQuadruples() const {
  if (length_ % 4 == 0) return;
  std::ostringstream message;
  message << "Error in the default option initialize array, "
          << "options does not appear in quadruple\n";
  dumpDefaultOptions(message);
  throw osvo::Error(message.str());
}

void OptionDefaults::setDefaultOptionMap() {
  checkQuadruples();
  ReadParam::defaultOptionMap = map_;
  for (int i = 0; i + 3 < length_; i += 4) {
    (*map_)[table_[i]] = std::make_pair(std::string(table_[i + 1]), std::string(table_[i + 3]));
  }
}

void OptionDefaults::setAllDefaultOption() {
  checkQuadruples();
  for (int i = 0; i + 3 < length_; i += 4) {
    const std::string key = table_[i];
    const std::string def = table_[i + 2];
    if (!def.empty() && ReadParam::getOption(key).empty()) ReadParam::setOption(key, def);
  }
}

void OptionDefaults::processOptionFile() {
  const std::string fileName = ReadParam::getOption("-readOptionFile");
  if (fileName.empty()) return;
  // A file that does not exist is reported by the echo and the reader; anything
  // else that is not a small regular file (a directory, a device, an endless
  // pipe) is refused before the shell would copy it out.
  std::error_code ec;
  const auto kind = std::filesystem::status(fileName, ec);
  if (!ec && std::filesystem::exists(kind)) {
    if (std::filesystem::is_directory(kind))
      throw osvo::Error("Error: option file " + fileName + " is a directory\n");
    if (!std::filesystem::is_regular_file(kind))
      throw osvo::Error("Error: option file " + fileName + " is not a regular file\n");
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (ec || size > kMaxOptionFileSize)
      throw osvo::Error("Error: option file " + fileName + " is larger than " +
                        std::to_string(kMaxOptionFileSize) + " bytes\n");
  }
  std::cout << "Read in Option file\n------" << std::endl;
  // The name comes from the user: it is quoted so that the shell sees it as one
  // plain word, and "--" keeps a name that begins with "-" from being an option.
  const std::string command = "cat -- " + osvo::shellQuote(fileName);
  std::cout.flush();
  // The echo is informative only: whatever cat reports, the file is read below.
  [[maybe_unused]] const int echoed = std::system(command.c_str());
  std::cout << "---------\n";
  ReadParam::readOptFile(fileName);
}

void OptionDefaults::dumpDefaultOptions(std::ostream& out) const {
  // A trailing partial row prints its missing fields as empty texts.
  auto field = [this](int j) { return j < length_ ? table_[j] : ""; };
  for (int i = 0; i < length_; i += 4) {
    out << "\n*************\n"
        << "key = " << field(i) << "\ntype = " << field(i + 1) << "\nval = " << field(i + 2)
        << "\nrange = " << field(i + 3);
  }
}
