#include "pipeline/PipeParser.h"

#include <climits>
#include <cmath>
#include <iostream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "options/ReadParam.h"
#include "pipeline/NetIPCWeighting.h"
#include "pipeline/PipeInput.h"
#include "support/Assert.h"

using namespace CoarsePlacement;
using pipeline::fatalInputError;
using pipeline::parseDecimalNumber;
using pipeline::PipeInput;

namespace {

// Usable part of a clock cycle is 1000 / f - 46 ps; it must hold at least one
// whole picosecond (the path latencies are taken modulo its integer part) and
// stay well inside the int range.
constexpr double kMinUsableCycle = 1.0;
constexpr double kMaxUsableCycle = 1e9;

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}
std::string ordinal(long long i) {
  return std::to_string(i + 1);
}
std::string shortNumber(double v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

// Builds one design. The design under construction is owned here until it is
// handed to the caller, so a fatal input error can release it before the
// process ends.
class PipeBuilder {
 public:
  PipeBuilder(std::string descriptionFile, std::string cycleFile)
      : descFile_(std::move(descriptionFile)),
        cycleFile_(std::move(cycleFile)),
        design_(std::make_unique<FlatDesign>()),
        desc_([this] { design_.reset(); }) {}

  FlatDesign* build();

 private:
  struct BlockRecord {
    std::string name;
    double area = 0;
    double aspect = 0;
    double delay = 0;
    double tco = 0;
    double tsu = 0;
  };

  void makeRoot();
  BlockRecord readBlockRecord(int i, int n);
  void addBlock(const BlockRecord& rec);
  void readNets();
  void readPaths();
  void readUsableCycle(double& usable, int& whole);

  size_t lookupBlock(const std::string& name, const PipeInput& in);
  CktPin* makePin(size_t block, PortDir dir, bool driver);
  CktNet* makeNet(const std::string& name);
  static void connect(CktNet* net, CktPin* pin);
  int blockLatency(size_t block) const { return design_->masterList[block]->versions[0]->latency; }

  std::string descFile_;
  std::string cycleFile_;
  std::unique_ptr<FlatDesign> design_;
  PipeInput desc_;
  bool pathVariant_ = false;
};

FlatDesign* PipeBuilder::build() {
  pathVariant_ = ReadParam::getOption("-pipe") == "1";
  design_->mode = pathVariant_ ? 1 : 0;
  makeRoot();

  desc_.open(descFile_, "description");
  std::cout << "Opened file " << descFile_ << std::endl;

  const int n = desc_.readCount("the number of blocks (a non-negative integer)", 0);
  for (int i = 0; i < n; ++i) {
    BlockRecord rec = readBlockRecord(i, n);
    addBlock(rec);
    std::cout << rec.name << std::endl;
  }

  if (pathVariant_)
    readPaths();
  else
    readNets();

  // Ports were added after the versions were made: give every version its pad
  // location per port again, as the flat model expects.
  for (CktMaster* m : design_->masterList)
    for (CktVersion* v : m->versions) v->generatePortLocations();
  return design_.release();
}

void PipeBuilder::makeRoot() {
  auto* root = new CktMaster;
  root->name = descFile_;
  root->type = 0;
  root->index = -1;
  auto* chip = new CktVersion(root, -1, 0, 0, 0);
  chip->index = 0;
  root->versions.push_back(chip);

  auto* top = new CktInstance;
  top->index = -1;
  top->master = root;
  top->versionIdx = 0;
  top->setExtData("name", new inst_name(descFile_));
  design_->topInst = top;  // the design now owns both the top instance and the root
}

PipeBuilder::BlockRecord PipeBuilder::readBlockRecord(int i, int n) {
  BlockRecord rec;
  rec.name = desc_.readName("the name of block " + ordinal(i) + " of " + std::to_string(n));
  const std::string of = " of block " + quoted(rec.name) + " (a number)";
  rec.area = desc_.readNumber("the area" + of);
  rec.aspect = desc_.readNumber("the aspect ratio" + of);
  if (!pathVariant_)
    desc_.readCount(
        "the integer field after the aspect ratio of block " + quoted(rec.name) + " (an integer)",
        INT_MIN);
  rec.delay = desc_.readNumber("the delay" + of);
  if (!pathVariant_) {
    rec.tco = desc_.readNumber("the clock-to-output time" + of);
    rec.tsu = desc_.readNumber("the set-up time" + of);
  }

  const std::string block = "block " + quoted(rec.name);
  if (rec.area <= 0)
    desc_.fail(block + " has a non-positive area (" + shortNumber(rec.area) +
               "); areas must be positive");
  if (rec.aspect <= 0)
    desc_.fail(block + " has a non-positive aspect ratio (" + shortNumber(rec.aspect) +
               "); aspect ratios must be positive");
  // The latency is the delay truncated to an int.
  if (!(std::fabs(rec.delay) < 2147483648.0))
    desc_.fail(block + " has a delay too large to count as a latency");
  return rec;
}

void PipeBuilder::addBlock(const BlockRecord& rec) {
  // Net variant: mm^2 and ps in the file, um^2 and ns in the design.
  // Path variant: um^2 and ps, stored as read.
  const double area = pathVariant_ ? rec.area : rec.area * 1000000;
  if (!std::isfinite(area * rec.aspect)) desc_.fail("block " + quoted(rec.name) + " is too large");
  const double width = std::sqrt(area * rec.aspect);
  const double height = area / width;

  auto* master = new CktMaster;
  master->name = rec.name;
  master->type = 1;
  master->index = static_cast<int>(design_->masterList.size());
  design_->masterList.push_back(master);

  auto* v = new CktVersion(master, -1, height, width, area);
  v->index = 0;
  v->type = 1;
  if (pathVariant_) {
    v->delay = rec.delay;
    v->latency = static_cast<int>(rec.delay);
  } else {
    v->delay = rec.delay / 1000.0;
    v->latency = static_cast<int>(static_cast<int>(rec.delay) / 1000.0);
    v->tsu = rec.tsu / 1000.0;
    v->tco = rec.tco / 1000.0;
  }
  master->versions.push_back(v);

  auto* inst = new CktInstance;
  inst->index = static_cast<int>(design_->instList.size());
  inst->master = master;
  inst->versionIdx = 0;
  inst->versionOffset = 0;
  inst->setExtData("name", new inst_name(rec.name));
  design_->instList.push_back(inst);
}

size_t PipeBuilder::lookupBlock(const std::string& name, const PipeInput& in) {
  FlatDesign* fd = design_.get();
  size_t f = 0;
  while (f < fd->masterList.size() && fd->masterList[f]->name != name) ++f;
  if (f >= fd->masterList.size()) {
    std::cout.flush();
    std::cerr << "Error: " << in.fileName() << ": unknown block " << quoted(name) << std::endl;
  }
  OSVO_ASSERT(f < fd->masterList.size());
  return f;
}

CktPin* PipeBuilder::makePin(size_t block, PortDir dir, bool driver) {
  CktMaster* master = design_->masterList[block];
  CktInstance* inst = design_->instList[block];
  auto* port = new CktPort;
  port->dir = dir;
  port->index = -1;
  (driver ? master->outPorts : master->inPorts).push_back(port);

  auto* pin = new CktPin(port, inst);
  pin->initId();
  (driver ? inst->outPins : inst->inPins).push_back(pin);
  return pin;
}

CktNet* PipeBuilder::makeNet(const std::string& name) {
  auto* net = new CktNet;
  net->name = name;
  net->width = 1;
  net->index = static_cast<int>(design_->netList.size());
  net->weight = 1.0;
  net->ipcWeight = 0;
  design_->netList.push_back(net);
  return net;
}

void PipeBuilder::connect(CktNet* net, CktPin* pin) {
  if (net->pins.empty()) net->source = pin;
  net->pins.push_back(pin);
  net->pinDelay.push_back(0);
  pin->net = net;
}

void PipeBuilder::readNets() {
  desc_.close();
  std::cout << "Opening " << cycleFile_ << std::endl;
  PipeInput cycle([this] { design_.reset(); });
  cycle.open(cycleFile_, "cycle");

  const int m = cycle.readCount("the number of nets (a non-negative integer)", 0);
  for (int i = 0; i < m; ++i) {
    const int p = cycle.readCount(
        "the pin count of net " + ordinal(i) + " of " + std::to_string(m) + " (at least 1)", 1);
    const std::string name = cycle.readName("the name of net " + ordinal(i));
    const std::string driverName = cycle.readName("the driving block of net " + quoted(name));
    const size_t driver = lookupBlock(driverName, cycle);

    CktPin* out = makePin(driver, OUT_PORT, true);
    CktNet* net = makeNet(name);
    connect(net, out);
    out->inDelay = 0;
    out->outDelay = design_->masterList[driver]->versions[0]->tco;

    for (int k = 1; k < p; ++k) {
      const std::string sinkName =
          cycle.readName("sink block " + std::to_string(k) + " of net " + quoted(name));
      const size_t sink = lookupBlock(sinkName, cycle);
      CktPin* in = makePin(sink, IN_PORT, false);
      connect(net, in);
      in->inDelay = design_->masterList[sink]->versions[0]->tsu;
      in->outDelay = 0;
    }
  }
  cycle.close();
}

void PipeBuilder::readUsableCycle(double& usable, int& whole) {
  const std::string text = ReadParam::getOption("-fix_freq");
  double f = 0;
  bool ok = parseDecimalNumber(text, f) && f > 0;
  if (ok) {
    usable = 1000.0 / f - 46.0;
    ok = usable >= kMinUsableCycle && usable <= kMaxUsableCycle;
  }
  if (!ok) {
    const std::string found = text.empty() ? "it is not set" : "found " + quoted(text);
    fatalInputError(
        "Error: option -fix_freq must be a clock frequency in GHz from 0.000001 to 21.27 "
        "(the usable cycle 1000 / f - 46 ps must be at least 1 ps); " +
            found,
        [this] { design_.reset(); });
  }
  whole = static_cast<int>(usable);
}

void PipeBuilder::readPaths() {
  FlatDesign* fd = design_.get();
  const int loops = desc_.readCount("the number of loops (a non-negative integer)", 0);
  long long paths = 0;
  for (int k = 0; k < loops; ++k) {
    paths +=
        desc_.readCount("the number of paths of loop " + ordinal(k) + " (a positive integer)", 1);
    if (paths > INT_MAX) desc_.fail("too many paths in the loops");
    fd->loopEnd.push_back(static_cast<int>(paths - 1));
  }

  double usable = 0;
  int whole = 0;
  readUsableCycle(usable, whole);

  for (long long s = 0; s < paths; ++s) {
    const std::string path = "path " + ordinal(s) + " of " + std::to_string(paths);
    const int blocks = desc_.readCount("the block count of " + path + " (at least 1)", 1);
    size_t prev = lookupBlock(desc_.readName("block 1 of " + path), desc_);
    // The first block counts only with the part of its latency beyond whole
    // cycles; the last block does not count at all.
    long long delaySum = blockLatency(prev) % whole;
    std::vector<CktNet*> nets;
    for (int j = 1; j < blocks; ++j) {
      const size_t cur = lookupBlock(desc_.readName("block " + ordinal(j) + " of " + path), desc_);
      if (j != blocks - 1) delaySum += blockLatency(cur);

      CktPin* out = makePin(prev, BI_PORT, true);
      CktPin* in = makePin(cur, BI_PORT, false);
      CktNet* net = makeNet(fd->masterList[prev]->name + "_" + fd->masterList[cur]->name);
      connect(net, out);
      connect(net, in);
      nets.push_back(net);
      prev = cur;
    }
    const double prob = desc_.readNumber("the probability of " + path + " (a number)");
    fd->pathList.push_back(std::move(nets));
    fd->pathProb.push_back(-prob);
    fd->pathBaseLatency.push_back(std::ceil(static_cast<double>(delaySum) / usable));
    fd->pathLatency.push_back(0);
  }

  netIPCWeighting(fd);
  desc_.close();
}

}  // namespace

FlatDesign* pipeParser(std::string descriptionFile, std::string cycleFile) {
  PipeBuilder builder(std::move(descriptionFile), std::move(cycleFile));
  return builder.build();
}
