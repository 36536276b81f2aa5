#pragma once
// Shared set-up of the option tests: the store is process-wide, so every test
// starts from an empty store with no option table loaded.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "options/ReadParam.h"

class OptionStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    ReadParam::clear();
    ReadParam::defaultOptionMap = nullptr;
  }
};

// A mutable argument vector built from texts, as main receives it.
class Argv {
 public:
  Argv(std::initializer_list<std::string> words) : words_(words) {
    for (auto& w : words_) ptrs_.push_back(w.data());
    ptrs_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return ptrs_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<char*> ptrs_;
};
