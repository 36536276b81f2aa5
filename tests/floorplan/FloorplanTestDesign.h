#pragma once
// Small hand-built flat designs for the database and annealer tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RunBinary.h"
#include "flat/FlatDesign.h"
#include "floorplan/DB.h"
#include "options/ReadParam.h"

namespace fptest {

using namespace CoarsePlacement;

class TestDesign {
 public:
  explicit TestDesign(int mode = 0) : design(std::make_unique<FlatDesign>()) {
    design->mode = mode;
    design->topInst = instance("chip", 0, 0, 0, 0);
  }

  // A block: a master of its own (type 1) whose version 0 is w x h, one
  // instance at (x, y).
  CktInstance* block(const std::string& name, double w, double h, double x = 0, double y = 0) {
    CktInstance* inst = instance(name, w, h, x, y);
    inst->master->type = inst->master->versions[0]->type = 1;
    inst->master->index = static_cast<int>(design->masterList.size());
    inst->index = static_cast<int>(design->instList.size());
    design->masterList.push_back(inst->master);
    design->instList.push_back(inst);
    return inst;
  }

  // Appends a version of w x h to the instance's master.
  CktVersion* version(CktInstance* inst, double w, double h) {
    auto& versions = inst->master->versions;
    versions.push_back(
        new CktVersion(inst->master, static_cast<int>(versions.size()), h, w, w * h));
    return versions.back();
  }

  // A pin (at the block centre) of a new port of the given direction.
  CktPin* pin(CktInstance* inst, PortDir dir, const std::string& portName = "") {
    CktMaster* m = inst->master;
    auto& ports = dir == IN_PORT ? m->inPorts : dir == OUT_PORT ? m->outPorts : m->biPorts;
    auto* port = new CktPort();
    port->name = portName;
    port->dir = dir;
    port->index = static_cast<int>(ports.size());
    ports.push_back(port);
    auto* p = new CktPin(port, inst);
    p->initId();
    (dir == IN_PORT ? inst->inPins : dir == OUT_PORT ? inst->outPins : inst->biPins).push_back(p);
    return p;
  }

  // A net driven by `source` into `sinks`.
  CktNet* net(CktPin* source, const std::vector<CktPin*>& sinks, const std::string& name = "") {
    auto* n = new CktNet();
    n->index = static_cast<int>(design->netList.size());
    n->name = name;
    n->source = source;
    n->pins.push_back(source);
    n->pins.insert(n->pins.end(), sinks.begin(), sinks.end());
    for (CktPin* p : n->pins) p->net = n;
    n->pinDelay.assign(n->pins.size(), 0.0);
    design->netList.push_back(n);
    return n;
  }

  // A net from a new output pin of `from` to a new input pin of `to`.
  CktNet* connect(CktInstance* from, CktInstance* to, const std::string& name = "") {
    return net(pin(from, OUT_PORT), {pin(to, IN_PORT)}, name);
  }

  CktInstance* top() const { return design->topInst; }
  FlatDesign* get() const { return design.get(); }

  std::unique_ptr<FlatDesign> design;

 private:
  CktInstance* instance(const std::string& name, double w, double h, double x, double y) {
    auto* inst = new CktInstance();
    inst->master = new CktMaster();
    inst->master->name = name;
    inst->loc = TwoDLoc(x, y);
    inst->setExtData("name", new inst_name(name));
    version(inst, w, h);
    return inst;
  }
};

// Empties the option store; names the IPC file when one is given.
inline void resetOptions(const std::string& ipcFile = "") {
  ReadParam::clear();
  if (!ipcFile.empty()) ReadParam::cmdOption["-ipcFile"] = ipcFile;
}

// A fresh scratch directory of the running test.
inline std::string testDir() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return osvotest::scratchDir(std::string(info->test_suite_name()) + "_" + info->name());
}

// Compares a location as EXPECT_DOUBLE_EQ does.
inline testing::AssertionResult at(TwoDLoc p, double x, double y) {
  auto r = testing::internal::CmpHelperFloatingPointEQ<double>("x", "actual x", x, p.x);
  return r ? testing::internal::CmpHelperFloatingPointEQ<double>("y", "actual y", y, p.y) : r;
}

// A database over the design, with what its construction prints swallowed.
inline std::unique_ptr<DB> quietDB(TestDesign& t, int whitespace = 20, bool timing = false,
                                   int config = 0, double freq = 1.0) {
  testing::internal::CaptureStdout();
  auto db = std::make_unique<DB>(t.get(), whitespace, timing, config, freq, 1.0);
  testing::internal::GetCapturedStdout();
  return db;
}

}  // namespace fptest
