#include "options/ReadParam.h"

#include <fstream>
#include <iostream>

#include "options/OptionRange.h"
#include "support/WordReader.h"

std::vector<std::string> ReadParam::argument;
std::map<std::string, std::string> ReadParam::cmdOption;
const OptionTypeRangeMap* ReadParam::defaultOptionMap = nullptr;

namespace {

// A key whose value is missing because `source` ends right after it.
void reportIncompleteKey(const std::string& key, const std::string& source) {
  std::cerr << "Option " << key << " is not complete: " << source << " ends before its value\n";
}

}  // namespace

void ReadParam::read(int argc, char** argv) {
  int i = 0;
  while (i < argc) {
    const std::string word = argv[i] ? argv[i] : "";
    if (!word.empty() && word[0] == '-') {
      // A key always takes the next word as its value, even one that begins
      // with "-" (negative numbers).
      if (i + 1 >= argc) {
        reportIncompleteKey(word, "the command line");
        return;
      }
      setOption(word, argv[i + 1] ? argv[i + 1] : "");
      i += 2;
    } else {
      argument.push_back(word);
      ++i;
    }
  }
}

void ReadParam::readOptFile(const std::string& fileName) {
  std::ifstream in(fileName);
  if (!in) {
    std::cerr << "Can not open option file " << fileName << std::endl;
    return;
  }
  readOptStream(in, fileName);
}

void ReadParam::readOptStream(std::istream& in, const std::string& fileName) {
  osvo::WordReader words(in, fileName);
  std::string word;
  while (words.next(word)) {
    if (word.size() <= 1 || word[0] != '-') continue;
    std::string value;
    if (!words.next(value)) {
      reportIncompleteKey(word, "option file " + fileName);
      return;
    }
    // The command line and earlier lines of the file take precedence.
    if (cmdOption.find(word) != cmdOption.end()) continue;
    setOption(word, value);
  }
}

std::string ReadParam::getOption(const std::string& key) {
  auto it = cmdOption.find(key);
  return it == cmdOption.end() ? std::string() : it->second;
}

void ReadParam::setOption(const std::string& key, const std::string& value) {
  if (key.size() < 2 || key[0] != '-') {
    std::cerr << "Illegal option key, val is not set\n";
    return;
  }
  std::cout << "Set option " << key << " " << value << "\n";
  if (defaultOptionMap != nullptr) {
    auto it = defaultOptionMap->find(key);
    if (it != defaultOptionMap->end()) {
      const std::string& type = it->second.first;
      const std::string& range = it->second.second;
      if (!OptionRange::rangeCheck(type, range, value)) {
        std::cerr << "Range error for setting option " << key << " to " << value << "\n";
        std::cerr << "option type = " << type << " "
                  << "option range = " << range << "\n";
        std::cerr << "option " << key << " is not set\n";
        return;
      }
    }
  }
  cmdOption[key] = value;
}

bool ReadParam::isDefaultOption(const std::string& key) {
  if (defaultOptionMap == nullptr) return true;
  return defaultOptionMap->find(key) != defaultOptionMap->end();
}

std::string ReadParam::getArgument(int i) {
  if (i < 0 || static_cast<size_t>(i) >= argument.size()) {
    std::cerr << "argument out of range\n";
    return std::string();
  }
  return argument[static_cast<size_t>(i)];
}

void ReadParam::clear() {
  argument.clear();
  cmdOption.clear();
}

void ReadParam::dumpAllOptions(std::ostream& out) {
  out << "==Dump all Options==\n";
  for (const auto& [key, value] : cmdOption) {
    if (!isDefaultOption(key)) out << "*NON-DEFAULT-OPTION* ";
    out << key << " " << value << "\n";
  }
  out << "==Dump ends==\n";
}
