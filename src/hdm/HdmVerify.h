#pragma once
// Checks the cross references of a model and reports every inconsistency on
// the given stream (standard output by default). Problems are counted as
// errors; unusual but consistent constructs (a net without pins, an instance
// whose outputs drive nothing) are reported and counted as notices.
#include <iostream>
#include <map>

#include "hdm/Hdm.h"

namespace hdm {

class verifyHDM {
 public:
  explicit verifyHDM(std::ostream& out = std::cout) : out_(out) {}

  void verifyModel(const Model* model);
  void verifyMaster(const Master* master);
  void verifyPort(const Port* port);
  void verifyMasterVersion(MasterVersion* version);
  void verifyInst(const Inst* inst, MasterVersion* version);
  void verifyPin(const Pin* pin, const char* where);
  void verifyNet(const Net* net, MasterVersion* version);
  void verifyBus(const Bus* bus, MasterVersion* version);

  // "Output net stats" and, per pin count in ascending order from the
  // threshold on, the number of nets with that many pins.
  void reportNetStat();
  void clearNetStat() { netStat_.clear(); }
  void setReportThreshold(int n) { threshold_ = n; }

  int errorCount() const { return errors_; }
  int noticeCount() const { return notices_; }

 private:
  std::ostream& error();
  std::ostream& notice();

  std::ostream& out_;
  std::map<size_t, int> netStat_;
  int threshold_ = 0;
  int errors_ = 0;
  int notices_ = 0;
};

}  // namespace hdm
