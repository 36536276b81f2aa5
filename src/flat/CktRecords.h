#pragma once
// Records of the flat netlist: masters and their versions, ports, instances,
// pins and nets. Masters own their versions and ports, instances own their pins;
// the design owns masters, instances and nets.
#include <cstdint>
#include <string>
#include <vector>

#include "flat/ExtendibleData.h"
#include "flat/Locations.h"
#include "flat/Orientation.h"
#include "flat/PadLocations.h"

namespace CoarsePlacement {

class CktMaster;
class CktInstance;
class CktNet;

class CktPort : public ExtendibleData {
 public:
  std::string name;
  PortDir dir = BI_PORT;
  int index = -1;
};

// One implementation of a master.
class CktVersion {
 public:
  CktVersion(CktMaster* master, int index, double height, double width, double area);
  // Rebuilds padLocations: one entry per port of the master, all at the origin.
  void generatePortLocations();

  CktMaster* master;
  int index;
  double height;
  double width;
  double area;
  double tsu = 0;
  double tco = 0;
  double delay = 0;
  int latency = 0;
  PadLocations padLocations;
  int type = 0;
};

// A block type.
class CktMaster {
 public:
  CktMaster() = default;
  CktMaster(const CktMaster&) = delete;
  CktMaster& operator=(const CktMaster&) = delete;
  ~CktMaster();

  std::string name;
  int type = 0;
  int index = -1;
  std::vector<CktPort*> inPorts;
  std::vector<CktPort*> outPorts;
  std::vector<CktPort*> biPorts;
  std::vector<CktVersion*> versions;
};

// An instance's connection point: its copy of a master port.
class CktPin : public ExtendibleData {
 public:
  CktPin() = default;
  CktPin(CktPort* p, CktInstance* i) : port(p), inst(i) {}
  ~CktPin() override;

  // Gives this pin the next process-wide id and enters it in pinPool.
  void initId();

  CktPort* port = nullptr;
  CktInstance* inst = nullptr;
  CktNet* net = nullptr;
  double tsu = 0;
  double tco = 0;
  double latency = 0;
  double inDelay = 0;
  double outDelay = 0;
  double reqTime = 0;
  double arrTime = 0;
  double slack = -1.0;
  bool reqDone = false;
  bool arrDone = false;
  ThreeDLoc offset;
  int id = -1;

  // Every pin of the process by id; a released pin leaves a null slot, so ids
  // are never handed out twice.
  static std::vector<CktPin*> pinPool;
};

// A placed block.
class CktInstance : public ExtendibleData {
 public:
  CktInstance() = default;
  ~CktInstance() override;

  int index = -1;
  CktMaster* master = nullptr;
  std::vector<CktPin*> inPins;
  std::vector<CktPin*> outPins;
  std::vector<CktPin*> biPins;
  int versionIdx = 0;
  TwoDLoc loc;
  CP::oritType orient = CP::B0;
  // Position in the master's versions where this instance's own versions
  // begin; configurations count the instance's versions from here. A full int:
  // the many instances of one master each append their own versions.
  int versionOffset = 0;
};

class CktNet : public ExtendibleData {
 public:
  std::string name;
  int width = 1;
  int index = -1;
  std::vector<CktPin*> pins;
  std::vector<double> pinDelay;
  double ipcWeight = 0;
  double weight = 1.0;
  CktPin* source = nullptr;
};

// The "name" attachment of an instance, or "" when it has none.
const std::string& instanceName(const CktInstance* inst);

}  // namespace CoarsePlacement
