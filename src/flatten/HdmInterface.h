#pragma once
// Turns the hierarchical model of the top module into the flat design: the
// top module is flattened until only blocks remain, then every block becomes
// a flat instance, every distinct master a flat master, nets become flat nets
// with their pins, and a chip instance stands for the top module itself;
// finally the cell library completes masters, versions and pins.
//
// The import calls, in this order: setSpecialMasters, flattenAll, HDM2CP (after
// setFlatDesign) and importCellLib.
#include <functional>
#include <iostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "flat/FlatDesign.h"
#include "hdm/Hdm.h"

class HDM_interface {
 public:
  explicit HDM_interface(hdm::Model* model, std::ostream& out = std::cout,
                         std::ostream& err = std::cerr)
      : model_(model), out_(out), err_(err) {}

  // Reads whitespace-separated master names; those found become special (their
  // instances are dissolved rather than kept as blocks). An empty name does
  // nothing.
  void setSpecialMasters(const std::string& fileName);
  bool isSpecialMaster(const hdm::Master* master) const;

  // Flattens version 0 of `top` in place until only instances of leaf masters
  // that are not special remain. A hierarchy that contains itself, or a missing
  // top, throws osvo::Error.
  void flattenAll(hdm::Master* top);
  // Whether flattenAll empties the body of a master version once no instance
  // refers to it any more (on by default): the import needs only the top's
  // body afterwards, and the memory goes to the copies being made.
  void setReleaseFlattenedBodies(bool release) { releaseBodies_ = release; }
  // Called after every flattening step of flattenAll (for checks in tests).
  void setStepObserver(std::function<void()> observer) { stepObserver_ = std::move(observer); }

  void setFlatDesign(CoarsePlacement::FlatDesign* design) { design_ = design; }
  // Fills the flat design from the model's top module (which must be set).
  void HDM2CP();
  // Completes the flat design from the cell library.
  void importCellLib(const std::string& fileName);

  CoarsePlacement::CktInstance* getCktInst(const hdm::Inst* inst);
  CoarsePlacement::CktPort* getCktPort(CoarsePlacement::CktInstance* inst, const hdm::Port* port);
  // A new pin of `inst` for `port`, filed by the port's direction; none when
  // the port has no flat port.
  CoarsePlacement::CktPin* generateCktPin(CoarsePlacement::CktInstance* inst,
                                          const hdm::Port* port);

 private:
  // Throws when a master reachable from `top` contains itself.
  void checkHierarchy(hdm::Master* top);
  CoarsePlacement::CktInstance* convertInstance(const hdm::Inst* inst);
  CoarsePlacement::CktMaster* convertMaster(hdm::Master* master);
  void convertNet(const hdm::Net* net, int width);

  hdm::Model* model_;
  std::ostream& out_;
  std::ostream& err_;
  CoarsePlacement::FlatDesign* design_ = nullptr;
  std::unordered_map<std::string, CoarsePlacement::CktMaster*> masters_;
  std::unordered_map<const hdm::Inst*, CoarsePlacement::CktInstance*> insts_;
  // Per converted master, in the order of their indices: the HDM master and
  // the flat port made for each of its ports, by port position.
  struct PortMap {
    const hdm::Master* master;
    std::vector<CoarsePlacement::CktPort*> ports;
  };
  std::vector<PortMap> portMaps_;
  std::unordered_set<const hdm::Master*> special_;
  std::function<void()> stepObserver_;
  bool releaseBodies_ = true;
};
