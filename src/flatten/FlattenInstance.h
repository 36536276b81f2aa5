#pragma once
// Dissolves one instance of a hierarchical master into the version that
// contains it: its sub-instances are copied into the parent, its internal nets
// become parent nets, nets crossing its ports are joined with the parent nets
// on its pins, constants are carried outward, buses are regrouped, and the
// instance itself is removed.
//
// A step costs time in proportion to the flattened version and the nets it
// touches, not to the parent: pins leave nets in O(1), instances, nets and
// buses leave the parent's lists in O(log n).
#include <iostream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "hdm/Hdm.h"

class FlattenInstance {
 public:
  explicit FlattenInstance(hdm::Model* model, std::ostream& out = std::cout,
                           std::ostream& err = std::cerr)
      : model_(model), out_(out), err_(err) {}

  // Flattens the instance at `position` of the parent version's instance list;
  // returns 1, or 0 when nothing was flattened (with a warning).
  int flattenInstByIndex(const hdm::MasterVersionRef& parent, int position);
  hdm::Model* model() const { return model_; }

  // One crossing net of the flattened version, kept for bus regrouping.
  struct busInstNet {
    std::vector<hdm::hdm_id<hdm::Bus>> buses;   // parent buses touched, ascending
    std::vector<hdm::hdm_id<hdm::Inst>> insts;  // copies on the net, ascending
    std::vector<hdm::Net*> nets;                // parent nets reached, by ascending id
    hdm::Net* inside = nullptr;
    hdm::Net* outside = nullptr;
    int value = 2;  // 2 not constant, 0 constant zero, 1 constant one
    bool operator<(const busInstNet& other) const;
  };

 private:
  void copyInstances();
  void generateInstNet(hdm::Net* inside);
  void processInsideBus(hdm::Net* inside, hdm::Net* made);
  void processPortConnection(hdm::Net* inside);
  void propagateInsideConst(hdm::Net* inside);
  void setConstNet(busInstNet& rec, hdm::NetType type);
  void mergePortNets(busInstNet& rec);
  void mergeNet(hdm::Net* keep, hdm::Net* gone);
  void insertInstPins(const hdm::Net* inside, hdm::Net* target);
  void generateOutsideBuses();
  void createBus(const std::vector<hdm::Net*>& nets);
  void leaveBus(hdm::Net* net, hdm::NetType newType);
  void cleanUp();

  hdm::Net* resolve(hdm::Net* net);
  void markNet(hdm::Net* net);
  void markBus(hdm::Bus* bus);
  std::string uniqueNetName(const std::string& base);
  std::string uniqueBusName(const std::string& base);

  hdm::Model* model_;
  std::ostream& out_;
  std::ostream& err_;

  // The step in progress.
  hdm::Master* parentMaster_ = nullptr;
  hdm::MasterVersion* parent_ = nullptr;
  hdm::Inst* inst_ = nullptr;
  hdm::MasterVersion* body_ = nullptr;
  int position_ = 0;
  std::unordered_map<const hdm::Inst*, hdm::Inst*> copies_;
  std::unordered_map<const hdm::Bus*, hdm::Bus*> insideBuses_;
  std::unordered_map<hdm::Net*, hdm::Net*> mergedInto_;
  std::vector<busInstNet> kept_;
  std::vector<hdm::Net*> netsToDelete_;
  std::unordered_set<hdm::Net*> netMarks_;
  std::vector<hdm::Bus*> busesToDelete_;
  std::unordered_set<hdm::Bus*> busMarks_;
  std::vector<hdm::Bus*> busesMade_;
};
