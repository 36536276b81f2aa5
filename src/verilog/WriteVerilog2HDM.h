#pragma once
// Builds the hierarchical design model from the parser's callbacks: one Master
// with one MasterVersion per module, one Port and one internal Net per bit of
// each port, instances with their pins, nets joined by assignments, constant
// nets, and buses for vectors whose bits connect alike.
//
// The writer works at bit level: a vector v[a:b] is the bits "v[a]" ... "v[b]".
// Within a module, signals are records of a union-find forest; an assignment
// joins two records, and the root of each tree owns the tree's HDM net. At
// endmodule the constant values are applied to the nets and the vectors become
// buses; the per-module tables are then dropped.
//
// Problems are warnings ("HDM warning! ..." on standard error); the construct
// concerned is skipped and the file goes on.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "hdm/Hdm.h"
#include "verilog/VParserWrite.h"

// The formal ports of every module read so far, in the order of its head.
struct vMLookup {
  struct param {
    std::string name;
    int position = 0;
    int direction = -1;  // 0 input, 1 output
    int firstPort = -1;  // index of its first Port in the master, once generated
    bool declared = false;
    bool hasRange = false;
    int msb = -1;
    int lsb = -1;
    int width() const { return hasRange ? (msb > lsb ? msb - lsb : lsb - msb) + 1 : 1; }
  };
  struct moduleParam {
    std::vector<param> params;
    std::unordered_map<std::string, int> position;  // port name -> index in params
    int declaredCount = 0;
    bool portsGenerated = false;
  };
};

class WriteVerilog2HDM : public VParserWrite {
 public:
  // Builds into `model`, which must outlive the writer.
  explicit WriteVerilog2HDM(hdm::Model* model);

  int writeModuleHead(const std::string& name, const std::vector<std::string>& ports) override;
  int writeInputPort(const std::string& name, int msb, int lsb) override;
  int writeOutputPort(const std::string& name, int msb, int lsb) override;
  int writeWire(const std::string& name, int msb, int lsb) override;
  int writeAssignment(const std::string& left, const std::string& right, int leftKind,
                      int rightKind, int rightIsConstant, int leftIndex, int rightIndex) override;
  int writeInstance(const std::string& master, const std::string& name,
                    std::vector<formalActualList> connections) override;
  int endModule() override;

 private:
  static constexpr int kNotConstant = 2;

  // One signal bit of the current module.
  struct vNet {
    std::string name;  // empty for a bit created by its vector (see recordName)
    int parent;        // union-find parent; a root is its own parent
    hdm::Net* net = nullptr;
    int value = kNotConstant;  // 0 or 1 for a bit tied to a constant
    int vector = -1;           // the vector that created this bit, if any
    int bit = 0;               // its index in that vector
  };
  // A vector of the current module: bits msb ... lsb.
  struct vBus {
    std::string name;
    int msb;
    int lsb;
    std::vector<int> bits;  // signal record of each bit, msb first
    // Record of bit k, or -1 when k is outside the range.
    int recordOf(int k) const;
  };
  // A candidate bus member.
  struct busSig {
    hdm::Net* net;
    int portCount;
    std::vector<hdm::hdm_id<hdm::Inst>> insts;  // sorted, without repeats
  };
  // One actual bit of a connection: a known record, or the signal to create
  // (`name`, or bit `index` of `name`, or the constant whose bits are `name`).
  struct actualBit {
    int record = -1;
    std::string name;
    int index = -1;
    bool constant = false;
  };

  bool inModule() const { return version_ != nullptr && !skipping_; }
  int declarePort(const std::string& name, int direction, int msb, int lsb);
  void generatePorts(vMLookup::moduleParam& module);
  // Port and net of bit `k` of `name` (k < 0: the scalar `name`); a bit of a
  // vector being created is appended to vectors_[freshVector].
  void generatePortBit(const std::string& name, int k, hdm::PortDir dir, int freshVector);

  // Signal records.
  int addRecord(std::string name, hdm::Net* net);
  std::string recordName(int record) const;
  // The record of a whole name (index < 0) or of bit `index` of `name`, or -1.
  int findBit(const std::string& name, int index) const;
  int findRoot(int record);
  void join(int a, int b);
  void assignEqvId(int child, int root);
  void mergeNet(hdm::Net* from, hdm::Net* into);
  int vectorIndex(const std::string& name) const;

  // Instances and their connections.
  void expandActuals(const std::vector<arrayVar>& actuals, std::vector<actualBit>& bits) const;
  void connectBit(const actualBit& bit, hdm::Pin* pin);
  std::string uniqueInstanceName(const std::string& name);
  hdm::Net* createNet(const std::string& name, hdm::NetType type);

  void applyConstants();
  void generateBuses(const vBus& vector);
  void clearModule();

  hdm::Model* model_;
  std::unordered_map<std::string, vMLookup::moduleParam> moduleLookup_;

  // The module being read.
  hdm::Master* master_ = nullptr;
  hdm::MasterVersion* version_ = nullptr;
  vMLookup::moduleParam* params_ = nullptr;
  bool skipping_ = false;  // inside the body of a duplicate module definition
  std::vector<vNet> signals_;
  std::unordered_map<std::string, int> signalIndex_;  // scalars, constants, loose bits
  std::unordered_set<std::string> looseBitNames_;     // names with a loose "name[k]" record
  std::vector<vBus> vectors_;
  std::unordered_map<std::string, int> vectorIndex_;
  std::unordered_map<std::string, int> instanceSuffix_;  // next "_k" to try per name
  std::unordered_map<std::string, int> netSuffix_;
  std::unordered_set<std::string> netNames_;  // every net name the version has had
  std::vector<actualBit> actualBits_;         // scratch of writeInstance, kept for its capacity
};
