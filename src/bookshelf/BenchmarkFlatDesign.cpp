#include "bookshelf/BenchmarkFlatDesign.h"

#include "bookshelf/BenchmarkFiles.h"
#include "bookshelf/BenchmarkRunReport.h"
#include "flat/AspectRange.h"
#include "stage/RunObserver.h"

using namespace CoarsePlacement;

namespace {

PortDir portDirection(char direction) {
  switch (direction) {
    case 'I':
      return IN_PORT;
    case 'O':
      return OUT_PORT;
    default:
      return BI_PORT;
  }
}

template <typename T>
std::vector<T*>& byDirection(PortDir dir, std::vector<T*>& in, std::vector<T*>& out,
                             std::vector<T*>& bi) {
  return dir == IN_PORT ? in : (dir == OUT_PORT ? out : bi);
}

CktMaster* newMaster(const std::string& name, int index, double width, double height) {
  auto* master = new CktMaster;
  master->name = name;
  master->index = index;
  auto* version = new CktVersion(master, -1, height, width, width * height);
  version->index = 0;
  master->versions.push_back(version);
  return master;
}

CktInstance* newInstance(const std::string& name, int index, CktMaster* master) {
  auto* inst = new CktInstance;
  inst->index = index;
  inst->master = master;
  inst->setExtData("name", new inst_name(name));
  return inst;
}

// A pin of `inst` on `net`, with a port of its own named `portName`.
CktPin* connect(CktNet* net, CktInstance* inst, const std::string& portName, PortDir dir) {
  CktMaster* master = inst->master;
  auto* port = new CktPort;
  port->name = portName;
  port->dir = dir;
  std::vector<CktPort*>& ports =
      byDirection(dir, master->inPorts, master->outPorts, master->biPorts);
  port->index = static_cast<int>(ports.size());
  ports.push_back(port);

  auto* pin = new CktPin(port, inst);
  pin->initId();
  byDirection(dir, inst->inPins, inst->outPins, inst->biPins).push_back(pin);
  if (net->pins.empty()) net->source = pin;
  net->pins.push_back(pin);
  net->pinDelay.push_back(0);
  pin->net = net;
  return pin;
}

}  // namespace

std::unique_ptr<FlatDesign> benchmarkFlatDesign(const BenchmarkDesign& bench,
                                                const std::string& name) {
  auto design = std::make_unique<FlatDesign>();
  design->mode = DesignMode::WireLength;
  design->wireLengthOnly = true;

  // The chip: a root master outside masterList whose version 0 receives the
  // outline when a database is built.
  CktMaster* root = newMaster(name, -1, 0, 0);
  design->topInst = newInstance(name, -1, root);

  for (size_t i = 0; i < bench.blocks.size(); ++i) {
    const DesignBlock& block = bench.blocks[i];
    const int index = static_cast<int>(i);
    design->masterList.push_back(newMaster(block.name, index, block.width, block.height));
    design->instList.push_back(newInstance(block.name, index, design->masterList.back()));
    if (block.soft && block.hasAspectRange)
      design->instList.back()->setExtData(kAspectRangeKey,
                                          new AspectRange(block.minAspect, block.maxAspect));
  }

  // Terminal places as offsets from the chip's centre, in chip widths and heights.
  BenchmarkDesign outline;
  outline.terminals = bench.terminals;
  outline.scaleTerminals(-0.5, -0.5, 0.5, 0.5);

  for (size_t k = 0; k < bench.nets.size(); ++k) {
    const DesignNet& benchNet = bench.nets[k];
    auto* net = new CktNet;
    net->name = benchNet.name.empty() ? "net" + std::to_string(k) : benchNet.name;
    net->index = static_cast<int>(k);
    design->netList.push_back(net);
    for (const DesignPin& p : benchNet.pins) {
      const PortDir dir = portDirection(p.direction);
      if (!p.onTerminal) {
        const std::string& blockName = bench.blocks[p.index].name;
        connect(net, design->instList[p.index], blockName, dir);
        continue;
      }
      const DesignTerminal& terminal = outline.terminals[p.index];
      CktPin* pin = connect(net, design->topInst, terminal.name, dir);
      pin->offset.x = terminal.placement.x;
      pin->offset.y = terminal.placement.y;
    }
  }

  // One pad location per port, now that the ports exist.
  root->versions[0]->generatePortLocations();
  for (CktMaster* m : design->masterList) m->versions[0]->generatePortLocations();
  return design;
}

std::unique_ptr<FlatDesign> buildBenchmarkDesign(const std::string& name) {
  BenchmarkDesign bench = readBenchmarkDesign(name);
  std::unique_ptr<FlatDesign> design = benchmarkFlatDesign(bench, name);
  design->setExtData(kRunObserverKey, new BenchmarkRunReport(std::move(bench), *design));
  return design;
}
