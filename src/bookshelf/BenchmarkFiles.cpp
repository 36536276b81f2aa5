#include "bookshelf/BenchmarkFiles.h"

#include <filesystem>
#include <fstream>

#include "fenrik/BenchmarkReader.h"
#include "fenrik/TextLines.h"
#include "support/Error.h"

namespace {

bool endsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string directoryOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

BenchmarkFileNames readAuxFileNamed(const std::string& auxName) {
  std::ifstream in(auxName);
  if (!in) osvo::fail(auxName + ": ERROR: .aux file could not be opened successfully\n");
  return readAuxFile(in, auxName, directoryOf(auxName));
}

}  // namespace

BenchmarkFileNames readAuxFile(std::istream& in, const std::string& fileName,
                               const std::string& directory) {
  fenrik_text::LineSource src(in, fileName);
  BenchmarkFileNames names;
  std::vector<std::string_view> t;
  struct Slot {
    const char* extension;
    std::string* name;
  } slots[] = {{".blocks", &names.blocks}, {".nets", &names.nets}, {".pl", &names.pl}};
  while (src.next(t)) {
    if (t.empty()) continue;
    if (t.size() < 2 || t[1] != ":") src.fail("expected \"KEY : FILE ...\"");
    for (size_t i = 2; i < t.size(); ++i) {
      const std::string file(t[i]);
      for (Slot& slot : slots) {
        if (!endsWith(file, slot.extension)) continue;
        if (!slot.name->empty())
          src.fail(std::string("more than one ") + slot.extension +
                   " file: " + fenrik_text::quoted(t[i]));
        const std::filesystem::path path(file);
        *slot.name = path.is_absolute() || directory.empty()
                         ? file
                         : (std::filesystem::path(directory) / path).string();
      }
    }
  }
  for (const Slot& slot : slots)
    if (slot.name->empty()) src.fail(std::string("names no ") + slot.extension + " file");
  return names;
}

BenchmarkFileNames benchmarkFileNames(const std::string& name) {
  if (endsWith(name, ".aux")) return readAuxFileNamed(name);
  std::error_code ec;
  if (!std::filesystem::exists(name + ".blocks", ec) && std::filesystem::exists(name + ".aux", ec))
    return readAuxFileNamed(name + ".aux");
  return {name + ".blocks", name + ".nets", name + ".pl"};
}

BenchmarkDesign readBenchmarkDesign(const std::string& name) {
  const BenchmarkFileNames files = benchmarkFileNames(name);
  return readBenchmarkFiles(files.blocks, files.nets, files.pl);
}
