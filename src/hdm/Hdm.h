#pragma once
// The hierarchical design model: a library of masters (module definitions),
// each with versions that contain instances of other masters, nets joining the
// instances' pins, and buses grouping nets.
//
// Ownership: a Model owns its masters and technology; a Master its ports and
// versions; a MasterVersion its instances, nets, buses and version ports; an
// Inst its pins. Nets and buses only borrow pins and nets.
//
// Cross references are kept consistent by the operations below: a pin is on a
// net exactly when the net lists it (Net::addPin / Net::removePin), a bus
// member net points to the bus that lists it (Bus::addNet / Bus::removeNet).
// Destroying a pin takes it off its net; destroying a net takes its pins off
// it and leaves its bus; destroying a bus sends its nets back to NET_NORMAL.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hdm/Arena.h"
#include "hdm/HdmCommon.h"
#include "hdm/HdmId.h"
#include "hdm/NameSet.h"
#include "hdm/PtrList.h"

namespace hdm {

class Model;
class Master;
class MasterVersion;
class Inst;
class Net;
class Bus;
class Tech;

// One bit of a master's interface.
class Port : public idGen<Port>, public HdmKernelViews {
 public:
  Port(std::string name, PortDir dir) : name_(std::move(name)), dir_(dir) {}

  const std::string& name() const { return name_; }
  PortDir dir() const { return dir_; }
  void setDir(PortDir dir) { dir_ = dir; }
  // Position in the master's port list, -1 while the port is not listed.
  int position() const { return position_; }

 private:
  friend struct PortSlot;
  std::string name_;
  PortDir dir_;
  int position_ = -1;
};

// A reference to one version of a master.
struct MasterVersionRef {
  Master* master = nullptr;
  int version = 0;

  // The version referred to, or none when the master or the index is absent.
  MasterVersion* get() const;
};

// One pin of an instance: the instance's copy of a master port.
class Pin : public idGen<Pin>, public HdmKernelViews, public ArenaAllocated {
 public:
  Pin() = default;
  ~Pin();

  Net* net() const { return net_; }
  // The master port this pin stands for (the port at the pin's position).
  Port* port() const;
  Inst* inst() const { return inst_; }
  // Position of the pin in its instance, that of its port in the master.
  int index() const { return index_; }

 private:
  friend class Net;
  friend class Inst;
  friend class MasterVersion;
  Net* net_ = nullptr;
  Inst* inst_ = nullptr;
  int index_ = -1;
  int netPos_ = -1;  // position in the net's pin list
};

// An instance of a master inside a version.
class Inst : public idGen<Inst>, public HdmKernelViews, public ArenaAllocated {
 public:
  // An instance of version `ref` named `name`, without pins (generatePins).
  Inst(MasterVersionRef ref, std::string name);
  ~Inst();

  const std::string& name() const { return name_; }
  // Renames the instance; only while it is in no name-indexed set.
  void setName(std::string name) { name_ = std::move(name); }
  const MasterVersionRef& masterRef() const { return ref_; }
  Master* master() const { return ref_.master; }
  MasterVersion* masterVersion() const { return ref_.get(); }

  int pinCount() const { return pinCount_; }
  Pin* pin(int i) const { return &pins_[static_cast<size_t>(i)]; }
  std::span<Pin> pins() const { return {pins_.get(), static_cast<size_t>(pinCount_)}; }

  // Creates one pin per port of the master, in port order, each without a net
  // (replacing any pins the instance had).
  void generatePins();
  // Names an unnamed instance "hdmInst_<high>_<low>" after its id.
  void defaultName();
  // The pin for the master port named `portName`, or none. A port position
  // beyond the pin list throws osvo::Error.
  Pin* findPin(std::string_view portName) const;
  // The pin standing for `port` (by its position), or none.
  Pin* pinFor(const Port* port) const;
  // Rebinds the instance to `master`, which must have as many ports as the
  // instance has pins; pin i then stands for the new master's port i.
  void mutate2newMaster(Master* master);

 private:
  friend struct InstSlot;
  std::unique_ptr<Pin[]> pins_;
  int pinCount_ = 0;
  int slot_ = -1;
  MasterVersionRef ref_;
  std::string name_;
};

// A net inside a version.
class Net : public idGen<Net>, public HdmKernelViews, public ArenaAllocated {
 public:
  explicit Net(std::string name, NetType type = NET_NORMAL) : name_(std::move(name)), type_(type) {}
  ~Net();

  const std::string& name() const { return name_; }
  // Renames the net; only while it is in no name-indexed set.
  void setName(std::string name) { name_ = std::move(name); }
  NetType type() const { return type_; }
  void setType(NetType type) { type_ = type; }
  Bus* bus() const { return bus_; }

  std::span<Pin* const> pins() const { return pins_.view(); }
  // Appends `pin`, taking it off the net it was on.
  void addPin(Pin* pin);
  // Takes `pin` off this net; the last pin takes its place.
  void removePin(Pin* pin);
  // Moves every pin of `other` to the end of this net, in order.
  void takePinsFrom(Net* other);
  void reservePins(size_t n) { pins_.reserve(n); }

  // Master ports that this net carries out of its version.
  std::span<Port* const> ports() const { return ports_.view(); }
  void addPort(Port* port) { ports_.push_back(port); }
  void clearPorts() { ports_.clear(); }

 private:
  friend class Bus;
  friend class MasterVersion;
  friend struct NetSlot;
  PtrList<Pin, 2> pins_;
  PtrList<Port, 1> ports_;
  std::string name_;
  Bus* bus_ = nullptr;
  int slot_ = -1;
  NetType type_;
};

// A named group of nets of one version.
class Bus : public idGen<Bus>, public HdmKernelViews, public ArenaAllocated {
 public:
  explicit Bus(std::string name) : name_(std::move(name)) {}
  ~Bus();

  const std::string& name() const { return name_; }
  hdmNameSet<Net>& nets() { return nets_; }
  const hdmNameSet<Net>& nets() const { return nets_; }

  // Makes `net` a member: type NET_BUS, pointing to this bus, appended.
  void addNet(Net* net);
  // Takes `net` out of the bus with type `newType`; a single net left behind
  // leaves the bus too (NET_NORMAL). Returns the number of nets left.
  int removeNet(Net* net, NetType newType);
  // The instances the bus connects: those of its first net's pins, in pin order.
  std::vector<Inst*> instances() const;

 private:
  friend class Net;
  friend struct BusSlot;
  // Erases `net` from the member list, touching nothing else.
  void unlist(Net* net);

  hdmNameSet<Net> nets_;
  std::string name_;
  int slot_ = -1;
};

// Binds a master port inside one version to the internal net carrying it.
class MVPort : public idGen<MVPort>, public HdmKernelViews {
 public:
  explicit MVPort(Port* port) : port_(port) {}
  Port* port() const { return port_; }
  Net* net() const { return net_; }
  void setNet(Net* net) { net_ = net; }

 private:
  Port* port_;
  Net* net_ = nullptr;
};

// Slot policies: where the owning sets record their objects' slots.
struct PortSlot {
  static void set(Port* p, int slot) { p->position_ = slot; }
  static int get(const Port* p) { return p->position_; }
};
struct InstSlot {
  static void set(Inst* i, int slot) { i->slot_ = slot; }
  static int get(const Inst* i) { return i->slot_; }
};
struct NetSlot {
  static void set(Net* n, int slot) { n->slot_ = slot; }
  static int get(const Net* n) { return n->slot_; }
};
struct BusSlot {
  static void set(Bus* b, int slot) { b->slot_ = slot; }
  static int get(const Bus* b) { return b->slot_; }
};

using PortSet = hdmNameSetNoErase<Port, PortSlot>;
using InstSet = hdmNameSet<Inst, InstSlot>;
using NetSet = hdmNameSet<Net, NetSlot>;
using BusSet = hdmNameSet<Bus, BusSlot>;

// One implementation of a master.
class MasterVersion : public idGen<MasterVersion>, public HdmKernelViews {
 public:
  // A version with one version port per current port of `master`.
  explicit MasterVersion(Master* master);
  virtual ~MasterVersion();

  Master* master() const { return master_; }
  // Position of this version in its master's version list.
  int index() const;

  InstSet& instances() { return instances_; }
  const InstSet& instances() const { return instances_; }
  NetSet& nets() { return nets_; }
  const NetSet& nets() const { return nets_; }
  BusSet& buses() { return buses_; }
  const BusSet& buses() const { return buses_; }

  // Version ports, one per master port, extended first when the master has
  // gained ports since.
  const std::vector<std::unique_ptr<MVPort>>& mvPorts();
  // The version port of `port`, or none (with a warning) when the port is not
  // one of the master's.
  MVPort* mvPort(const Port* port);
  // Appends version ports for master ports from position `from` on.
  void buildPortList(int from);
  // The net carrying `port` inside this version, or none.
  Net* whichNet(const Port* port);
  // Sets the net of the port's version port.
  void attachNet2Port(Port* port, Net* net);

  // Removes `inst` from the instances and destroys it.
  void destroyInstance(Inst* inst);
  // Removes `net` from the nets and its bus, clears the version ports that
  // refer to it, and destroys it (its pins are left without a net).
  void destroyNet(Net* net);
  // Removes `bus` from the buses and destroys it.
  void destroyBus(Bus* bus);
  // Destroys every instance, net and bus of the version; its version ports
  // lose their nets.
  void clearBody();

 private:
  InstSet instances_;
  NetSet nets_;
  BusSet buses_;
  std::vector<std::unique_ptr<MVPort>> mvPorts_;
  Master* master_;
};

// A module definition.
class Master : public idGen<Master>, public HdmKernelViews {
 public:
  explicit Master(std::string name) : name_(std::move(name)) {}
  ~Master();

  const std::string& name() const { return name_; }

  PortSet& ports() { return ports_; }
  const PortSet& ports() const { return ports_; }
  int portCount() const { return ports_.size(); }
  // Appends a new port.
  Port* addPort(std::string name, PortDir dir);
  // Position of `port` in the port list, or -1 when it is not one of ours.
  int getPortIndex(const Port* port) const;

  int versionCount() const { return static_cast<int>(versions_.size()); }
  // Version `i`, or none.
  MasterVersion* version(int i) const;
  // Appends a new version (with a version port per current port).
  MasterVersion* addVersion();
  int versionIndex(const MasterVersion* v) const;

  // Counts the ports by direction; a master without ports throws osvo::Error.
  void computePortStats();
  int inputCount() const { return inputs_; }
  int outputCount() const { return outputs_; }
  int biCount() const { return bis_; }

 private:
  PortSet ports_;
  std::vector<std::unique_ptr<MasterVersion>> versions_;
  std::string name_;
  int inputs_ = 0;
  int outputs_ = 0;
  int bis_ = 0;
};

// The top container.
class Model : public idGen<Model>, public HdmKernelViews {
 public:
  Model();
  ~Model();

  hdmNameSetNoErase<Master>& masters() { return masters_; }
  const hdmNameSetNoErase<Master>& masters() const { return masters_; }
  // Appends a new master with no ports and no versions.
  Master* addMaster(std::string name);

  MasterVersionRef topModule;

  Tech* tech() const { return tech_.get(); }
  void setTech(std::unique_ptr<Tech> tech);

 private:
  hdmNameSetNoErase<Master> masters_;
  std::unique_ptr<Tech> tech_;
};

inline Port* Pin::port() const {
  return inst_ && inst_->master() ? inst_->master()->ports().peek(index_) : nullptr;
}

}  // namespace hdm
