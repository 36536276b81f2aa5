#pragma once
// The process-wide option store. Every run parameter is a named option: a key
// beginning with "-" and a value kept as text. Every other part of the program
// reads an option by key through ReadParam::getOption and converts the text
// itself; an option that was never set reads as the empty text.
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Known options: key -> (type, range). The default value is not kept here.
using OptionTypeRangeMap = std::map<std::string, std::pair<std::string, std::string>>;

class ReadParam {
 public:
  ReadParam() = delete;

  // Positional command-line words in their order; the program path comes first.
  static std::vector<std::string> argument;
  // The stored options, ordered by byte-wise key comparison.
  static std::map<std::string, std::string> cmdOption;
  // The map of known options, or null before the option table is loaded. While
  // null, no value is range-checked and every key counts as known. Borrowed.
  static const OptionTypeRangeMap* defaultOptionMap;

  // Scans the command line: "-key value" pairs are stored, other words become
  // positional words.
  static void read(int argc, char** argv);
  // Reads "-key value" pairs from a file; keys already stored keep their value.
  static void readOptFile(const std::string& fileName);
  // The same from a stream; `fileName` names it in messages. A word longer than
  // osvo::WordReader::kMaxWordLength throws an osvo::Error naming file and line.
  static void readOptStream(std::istream& in, const std::string& fileName);
  // The value of `key`, or the empty text when it is not stored.
  static std::string getOption(const std::string& key);
  // Validates and stores a value; rejected values leave the store unchanged.
  static void setOption(const std::string& key, const std::string& value);
  // True when `key` is in the map of known options (always true while unset).
  static bool isDefaultOption(const std::string& key);
  // Positional word i, or the empty text (with a message) when out of range.
  static std::string getArgument(int i);
  // Empties the positional words and the stored options.
  static void clear();
  // Prints every stored option in key order.
  static void dumpAllOptions(std::ostream& out);
};
