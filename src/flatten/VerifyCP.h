#pragma once
// Checks the internal consistency of a flat design and reports every problem
// on the given stream (standard error by default).
#include <iostream>

#include "flat/FlatDesign.h"

class VerifyCP {
 public:
  explicit VerifyCP(CoarsePlacement::FlatDesign* design, std::ostream& err = std::cerr)
      : design_(design), err_(err) {}

  // Checks masters, instances and nets, then prints the net statistics;
  // returns the number of problems found.
  int verify();

 private:
  void verifyMasters();
  void verifyInstances();
  void verifyNets();
  std::ostream& problem();

  CoarsePlacement::FlatDesign* design_;
  std::ostream& err_;
  int problems_ = 0;
};
