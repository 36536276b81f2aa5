#pragma once
// Opening a file that the user names as input.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace osvo {

// Why `path` cannot be read as an input file ("it is a directory", "it does
// not exist", "it cannot be opened"), or "" when `in` has opened it.
inline std::string openInputFile(const std::string& path, std::ifstream& in) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!ec && std::filesystem::is_directory(status)) return "it is a directory";
  in.open(path, std::ios::binary);
  if (in.is_open()) return "";
  if (ec || !std::filesystem::exists(status)) return "it does not exist";
  return "it cannot be opened";
}

}  // namespace osvo
