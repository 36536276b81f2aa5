#pragma once
// Flattening and conversion of a model built in a test, with verifyHDM after
// every flattening step and VerifyCP after the conversion as oracles.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "HdmBuilder.h"
#include "RunBinary.h"
#include "flatten/HdmInterface.h"
#include "flatten/VerifyCP.h"

namespace flattentest {

using namespace CoarsePlacement;

struct Flattening {
  hdmtest::HdmBuilder b;
  FlatDesign flat;
  std::ostringstream out, err;
  std::unique_ptr<HDM_interface> hi;
  int steps = 0;

  // Flattens `top`; `special` is the text of a special-masters file.
  void flatten(hdm::Master* top, const std::string& special = "") {
    hi = std::make_unique<HDM_interface>(&b.model(), out, err);
    if (!special.empty()) hi->setSpecialMasters(file("special", "special.txt", special));
    hi->setStepObserver([&] {
      ++steps;
      std::string report;
      EXPECT_EQ(hdmtest::verifyErrors(b.model(), &report), 0) << "after step " << steps << "\n"
                                                              << report;
    });
    hi->flattenAll(top);
  }
  void convert(hdm::Master* top) {
    flatten(top);
    b.setTop(top);
    hi->setFlatDesign(&flat);
    hi->HDM2CP();
    std::ostringstream report;
    EXPECT_EQ(VerifyCP(&flat, report).verify(), 0) << report.str();
  }
  // The library is written to scratchDir("library") + "/cells.lib".
  void importLibrary(const std::string& text) {
    hi->importCellLib(file("library", "cells.lib", text));
  }

  static std::string file(const std::string& dir, const std::string& name,
                          const std::string& text) {
    const std::string path = osvotest::scratchDir(dir) + "/" + name;
    osvotest::writeFile(path, text);
    return path;
  }
  static std::vector<std::string> instNames(hdm::Master* m) {
    std::vector<std::string> names;
    for (const hdm::Inst* i : m->version(0)->instances()) names.push_back(i->name());
    return names;
  }
  CktNet* net(const std::string& name) const {
    for (CktNet* n : flat.netList)
      if (n->name == name) return n;
    return nullptr;
  }
  CktInstance* inst(const std::string& name) const {
    for (CktInstance* i : flat.instList)
      if (instanceName(i) == name) return i;
    return nullptr;
  }
};

}  // namespace flattentest
