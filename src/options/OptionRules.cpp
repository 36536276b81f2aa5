#include "options/OptionRules.h"

#include <iostream>
#include <sstream>

#include "options/ReadParam.h"
#include "support/Error.h"

std::string OptionRules::readToken(int& pos) {
  std::string token;
  if (pos >= 0 && pos < length_ && tokens_[pos] != nullptr) token = tokens_[pos];
  ++pos;
  return token;
}

std::string OptionRules::readArgument(int& pos) {
  std::string arg = readToken(pos);
  currentParsedRule_.back() += ", \"" + arg + "\"";
  return arg;
}

void OptionRules::processRules() {
  int pos = 0;
  while (pos < length_) {
    currentParsedRule_.clear();
    depth_ = 0;
    std::string token = readToken(pos);
    if (token != "begin_rule") {
      throw osvo::Error("begin_rule expected in rules\n" + token + " is read instead\n");
    }
    process_statement(pos, 1);
    token = readToken(pos);
    if (token != "end_rule") {
      throw osvo::Error("end_rule expected in rules\n" + token + " is read instead\n");
    }
  }
}

void OptionRules::process_statement(int& pos, int exec) {
  const std::string keyword = readToken(pos);
  currentParsedRule_.push_back(std::string(2 * static_cast<size_t>(depth_), ' ') + "\"" + keyword +
                               "\"");
  if (keyword == "eq") {
    process_eq(pos, exec);
  } else if (keyword == "set") {
    process_set(pos, exec);
  } else if (keyword == "exit") {
    process_exit(pos, exec);
  } else if (keyword == "print") {
    process_print(pos, exec);
  } else if (keyword == "nil") {
    process_nil(pos, exec);
  } else {
    std::ostringstream message;
    message << "Unrecognize key word is expected in rules\n"
            << "Dump current parsed rule:\n";
    dumpCurrentParsedRule(message);
    throw osvo::Error(message.str());
  }
}

void OptionRules::process_eq(int& pos, int exec) {
  const std::string key = readArgument(pos);
  const std::string value = readArgument(pos);
  // Both branches are always read so that the skipped one is consumed.
  const bool equal = exec != 0 && ReadParam::getOption(key) == value;
  ++depth_;
  process_statement(pos, exec != 0 && equal ? 1 : 0);
  process_statement(pos, exec != 0 && !equal ? 1 : 0);
  --depth_;
}

void OptionRules::process_set(int& pos, int exec) {
  const std::string key = readArgument(pos);
  const std::string value = readArgument(pos);
  if (exec == 0) return;
  std::cout << "Rule triggered: option " << key << " overrided with " << value << "\n";
  if (ReadParam::getOption("-showReason") == "1") {
    std::cout << "Reasons: ";
    dumpCurrentParsedRule(std::cout);
  }
  ReadParam::setOption(key, value);
}

void OptionRules::process_exit(int& pos, int exec) {
  const std::string message = readArgument(pos);
  if (exec == 0) return;
  throw osvo::Error(message + "\n");
}

void OptionRules::process_print(int& pos, int exec) {
  const std::string message = readArgument(pos);
  if (exec == 0) return;
  std::cout << message;
}

void OptionRules::process_nil(int& /*pos*/, int /*exec*/) {}

void OptionRules::dumpCurrentParsedRule(std::ostream& out) const {
  for (const auto& text : currentParsedRule_) out << text << "\n";
}
