#include "pipeline/PipeParser.h"

#include <climits>
#include <cmath>
#include <iostream>
#include <sstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "flat/PipelineClock.h"
#include "pipeline/NetIPCWeighting.h"
#include "pipeline/PipeInput.h"
#include "support/Error.h"
#include "support/InputFile.h"
#include "support/Numbers.h"

using namespace CoarsePlacement;
using pipeline::PipeInput;

namespace {

// The usable cycle must hold at least one whole picosecond (the path latencies
// are taken modulo its integer part) and stay well inside the int range.
constexpr double kMinUsableCycle = 1.0;
constexpr double kMaxUsableCycle = 1e9;
// Times of a block (ps) must fit an int, as its latency does.
constexpr double kMaxBlockTime = 2147483647.0;

std::string inQuotes(const std::string& s) {
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

bool usableClock(double ghz) {
  if (!(ghz > 0)) return false;
  const double usable = usableCyclePs(ghz);
  return usable >= kMinUsableCycle && usable <= kMaxUsableCycle;
}

[[noreturn]] void clockError(const std::string& found) {
  throw osvo::Error(
      "Error: option -fix_freq must be a clock frequency in GHz from 0.000001 to 21.27 (the "
      "usable cycle 1000 / f - 46 ps must be at least 1 ps); " +
      found + "\n");
}

std::unique_ptr<std::istream> openFile(const std::string& name, const std::string& kind) {
  auto in = std::make_unique<std::ifstream>();
  const std::string problem = osvo::openInputFile(name, *in);
  if (!problem.empty())
    throw osvo::Error("Error: cannot read " + kind + " file " + inQuotes(name) + ": " + problem +
                      "\n");
  return in;
}

// Builds one design. The design under construction is owned here until it is
// handed to the caller; an error releases it on the way out.
class PipeBuilder {
 public:
  PipeBuilder(std::string descriptionFile, std::string cycleFile, const PipeOptions& options,
              const PipeFileOpener& open)
      : descFile_(std::move(descriptionFile)),
        cycleFile_(std::move(cycleFile)),
        options_(options),
        open_(open),
        design_(std::make_unique<FlatDesign>()) {}

  std::unique_ptr<FlatDesign> build();

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
  BlockRecord readBlockRecord(PipeInput& in, int i, int n);
  void addBlock(PipeInput& in, const BlockRecord& rec);
  void checkTotalSize(PipeInput& in) const;
  void readNets();
  void readPaths(PipeInput& in);
  // Warns about anything left in `in` after its last declared record.
  static void warnAboutTrailingText(PipeInput& in, const std::string& records);

  size_t lookupBlock(const std::string& name, const PipeInput& in) const;
  CktPin* makePin(size_t block, PortDir dir, bool driver);
  CktNet* makeNet(const std::string& name);
  static void connect(CktNet* net, CktPin* pin);
  int blockLatency(size_t block) const { return design_->masterList[block]->versions[0]->latency; }

  std::string descFile_;
  std::string cycleFile_;
  PipeOptions options_;
  const PipeFileOpener& open_;
  std::unique_ptr<FlatDesign> design_;
  // Block index and description line of every block name.
  std::unordered_map<std::string, std::pair<size_t, int>> blocks_;
};

std::unique_ptr<FlatDesign> PipeBuilder::build() {
  design_->mode = options_.pathVariant ? DesignMode::PipelineModel : DesignMode::WireLength;
  makeRoot();

  std::unique_ptr<std::istream> descStream = open_(descFile_, "description");
  PipeInput desc(*descStream, descFile_);
  std::cout << "Opened file " << descFile_ << std::endl;

  const int n = desc.readCount("the number of blocks (a non-negative integer)", 0);
  for (int i = 0; i < n; ++i) {
    BlockRecord rec = readBlockRecord(desc, i, n);
    addBlock(desc, rec);
    std::cout << rec.name << std::endl;
  }
  checkTotalSize(desc);

  if (options_.pathVariant) {
    readPaths(desc);
    warnAboutTrailingText(desc,
                          "the " + std::to_string(design_->pathList.size()) + " declared paths");
  } else {
    warnAboutTrailingText(desc, "the " + std::to_string(n) + " declared blocks");
    descStream.reset();
    readNets();
  }

  // Ports were added after the versions were made: give every version its pad
  // location per port again, as the flat model expects.
  for (CktMaster* m : design_->masterList)
    for (CktVersion* v : m->versions) v->generatePortLocations();
  return std::move(design_);
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

PipeBuilder::BlockRecord PipeBuilder::readBlockRecord(PipeInput& in, int i, int n) {
  BlockRecord rec;
  rec.name =
      in.readName([&] { return "the name of block " + ordinal(i) + " of " + std::to_string(n); });
  const int line = in.line();
  if (auto known = blocks_.find(rec.name); known != blocks_.end())
    in.fail("block " + inQuotes(rec.name) + " is named twice: on line " +
            std::to_string(known->second.second) + " and on line " + std::to_string(line));
  blocks_.emplace(rec.name, std::make_pair(design_->masterList.size(), line));

  // "the <field> of block "<name>"", made only for a message.
  auto field = [&rec](const char* name) {
    return [&rec, name] { return std::string("the ") + name + " of block " + inQuotes(rec.name); };
  };
  rec.area = in.readNumber(field("area"));
  rec.aspect = in.readNumber(field("aspect ratio"));
  if (!options_.pathVariant) {
    auto integer = field("integer field after the aspect ratio");
    in.readCount([&] { return integer() + " (an integer)"; }, INT_MIN);
  }
  rec.delay = in.readNumber(field("delay"));
  if (!options_.pathVariant) {
    rec.tco = in.readNumber(field("clock-to-output time"));
    rec.tsu = in.readNumber(field("set-up time"));
  }

  const std::string block = "block " + inQuotes(rec.name);

  if (rec.area <= 0)
    in.fail(block + " has a non-positive area (" + shortNumber(rec.area) +
            "); areas must be positive");
  if (rec.aspect <= 0)
    in.fail(block + " has a non-positive aspect ratio (" + shortNumber(rec.aspect) +
            "); aspect ratios must be positive");
  const std::pair<const char*, double> times[] = {
      {"delay", rec.delay}, {"clock-to-output time", rec.tco}, {"set-up time", rec.tsu}};
  for (const auto& [name, value] : times) {
    if (value < 0)
      in.fail(block + " has a negative " + name + " (" + shortNumber(value) +
              "); times cannot be negative");
    // The latency is the delay truncated to an int; the other times keep to
    // the same bound, so that sums of times along a path stay finite.
    if (value > kMaxBlockTime)
      in.fail(block + " has a " + name + " too large (at most 2147483647 ps)");
  }
  return rec;
}

void PipeBuilder::addBlock(PipeInput& in, const BlockRecord& rec) {
  // Net variant: mm^2 and ps in the file, um^2 and ns in the design.
  // Path variant: um^2 and ps, stored as read.
  const double area = options_.pathVariant ? rec.area : rec.area * 1000000;
  const double width = std::sqrt(area * rec.aspect);
  const double height = area / width;
  if (!std::isfinite(area)) in.fail("block " + inQuotes(rec.name) + " has an area too large");
  if (!(width > 0 && width < HUGE_VAL) || !(height > 0 && height < HUGE_VAL))
    in.fail("block " + inQuotes(rec.name) + " gets a width of " + shortNumber(width) +
            " and a height of " + shortNumber(height) + "; sizes must be positive and finite");

  auto* master = new CktMaster;
  master->name = rec.name;
  master->type = 1;
  master->index = static_cast<int>(design_->masterList.size());
  design_->masterList.push_back(master);

  auto* v = new CktVersion(master, -1, height, width, area);
  v->index = 0;
  v->type = 1;
  if (options_.pathVariant) {
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

void PipeBuilder::checkTotalSize(PipeInput& in) const {
  // Every packing fits in the blocks' widths side by side and heights stacked,
  // and the outline allows at most twice the block area: all of it must stay
  // finite for areas and wire lengths to be.
  double widths = 0;
  double heights = 0;
  for (const CktMaster* m : design_->masterList) {
    widths += m->versions[0]->width;
    heights += m->versions[0]->height;
  }
  if (!std::isfinite(4 * widths * heights))
    in.fail("the blocks are too large together: the sizes of their packings would not be finite");
}

void PipeBuilder::warnAboutTrailingText(PipeInput& in, const std::string& records) {
  if (in.atEnd()) return;
  std::cout.flush();
  std::cerr << "Warning: " << in.where() << ": text after the last of " << records
            << " is ignored\n";
}

size_t PipeBuilder::lookupBlock(const std::string& name, const PipeInput& in) const {
  auto found = blocks_.find(name);
  if (found == blocks_.end()) in.fail("unknown block " + inQuotes(name));
  return found->second.first;
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
  std::cout << "Opening " << cycleFile_ << std::endl;
  std::unique_ptr<std::istream> stream = open_(cycleFile_, "cycle");
  PipeInput cycle(*stream, cycleFile_);

  const int m = cycle.readCount("the number of nets (a non-negative integer)", 0);
  for (int i = 0; i < m; ++i) {
    const int p = cycle.readCount(
        [&] {
          return "the pin count of net " + ordinal(i) + " of " + std::to_string(m) +
                 " (at least 1)";
        },
        1);
    const std::string name = cycle.readName([&] { return "the name of net " + ordinal(i); });
    const std::string driverName =
        cycle.readName([&] { return "the driving block of net " + inQuotes(name); });
    const size_t driver = lookupBlock(driverName, cycle);

    CktPin* out = makePin(driver, OUT_PORT, true);
    CktNet* net = makeNet(name);
    connect(net, out);
    out->inDelay = 0;
    out->outDelay = design_->masterList[driver]->versions[0]->tco;

    for (int k = 1; k < p; ++k) {
      const std::string sinkName = cycle.readName(
          [&] { return "sink block " + std::to_string(k) + " of net " + inQuotes(name); });
      const size_t sink = lookupBlock(sinkName, cycle);
      CktPin* in = makePin(sink, IN_PORT, false);
      connect(net, in);
      in->inDelay = design_->masterList[sink]->versions[0]->tsu;
      in->outDelay = 0;
    }
  }
  warnAboutTrailingText(cycle, "the " + std::to_string(m) + " declared nets");
}

void PipeBuilder::readPaths(PipeInput& in) {
  FlatDesign* fd = design_.get();
  const int loops = in.readCount("the number of loops (a non-negative integer)", 0);
  long long paths = 0;
  for (int k = 0; k < loops; ++k) {
    paths += in.readCount(
        [&] { return "the number of paths of loop " + ordinal(k) + " (a positive integer)"; }, 1);
    if (paths > INT_MAX) in.fail("too many paths in the loops");
    fd->loopEnd.push_back(static_cast<int>(paths - 1));
  }

  if (!usableClock(options_.clockGHz)) clockError("found " + shortNumber(options_.clockGHz));
  const double usable = usableCyclePs(options_.clockGHz);
  const int whole = static_cast<int>(usable);

  for (long long s = 0; s < paths; ++s) {
    auto path = [&] { return "path " + ordinal(s) + " of " + std::to_string(paths); };
    const int blocks =
        in.readCount([&] { return "the block count of " + path() + " (at least 1)"; }, 1);
    size_t prev = lookupBlock(in.readName([&] { return "block 1 of " + path(); }), in);
    // The first block counts only with the part of its latency beyond whole
    // cycles; the last block does not count at all.
    long long delaySum = blockLatency(prev) % whole;
    std::vector<CktNet*> nets;
    for (int j = 1; j < blocks; ++j) {
      const size_t cur =
          lookupBlock(in.readName([&] { return "block " + ordinal(j) + " of " + path(); }), in);
      if (j != blocks - 1) delaySum += blockLatency(cur);

      CktPin* out = makePin(prev, BI_PORT, true);
      CktPin* sink = makePin(cur, BI_PORT, false);
      CktNet* net = makeNet(fd->masterList[prev]->name + "_" + fd->masterList[cur]->name);
      connect(net, out);
      connect(net, sink);
      nets.push_back(net);
      prev = cur;
    }
    const double prob = in.readNumber([&] { return "the probability of " + path(); });
    if (prob < 0 || prob > 1)
      in.fail(path() + " has the probability " + shortNumber(prob) +
              "; probabilities lie in [0, 1]");
    fd->pathList.push_back(std::move(nets));
    fd->pathProb.push_back(-prob);
    fd->pathBaseLatency.push_back(std::ceil(static_cast<double>(delaySum) / usable));
    fd->pathLatency.push_back(0);
  }

  netIPCWeighting(fd);
}

}  // namespace

std::unique_ptr<FlatDesign> pipeParser(const std::string& descriptionFile,
                                       const std::string& cycleFile, const PipeOptions& options) {
  return pipeParser(descriptionFile, cycleFile, options, openFile);
}

std::unique_ptr<FlatDesign> pipeParser(const std::string& descriptionFile,
                                       const std::string& cycleFile, const PipeOptions& options,
                                       const PipeFileOpener& open) {
  PipeBuilder builder(descriptionFile, cycleFile, options, open);
  return builder.build();
}

double pipelineClockOption(const std::string& text) {
  double ghz = 0;
  if (text.empty()) clockError("it is not set");
  if (!osvo::parseDecimalNumber(text, ghz) || !usableClock(ghz))
    clockError("found " + inQuotes(text));
  return ghz;
}
