// Flattening, conversion and cell library import on generated hierarchical
// designs of 1,000, 10,000 and 100,000 leaf instances: three levels (clusters
// of units of leaf blocks), 32-bit vector ports chained from block to block and
// grouped into buses, a clock, and an enable tied to a constant. The model is
// built as the Verilog writer builds it; the timed part is what the import does
// after parsing. Peak memory is the resident high-water mark of the model and
// the flat design together.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "flat/FlatDesign.h"
#include "flatten/HdmInterface.h"
#include "hdm/Hdm.h"

using namespace hdm;

namespace {

constexpr int kWidth = 32;

std::string bitName(const std::string& base, int b) {
  std::string s = base;
  s += '[';
  s += std::to_string(b);
  s += ']';
  return s;
}

std::string numbered(const std::string& base, int k) {
  std::string s = base;
  s += '_';
  s += std::to_string(k);
  return s;
}

class Generator {
 public:
  explicit Generator(Model& model) : model_(model) {}

  // A master with vector ports a (in) and y (out), clk and en, each bit with
  // its own port net, and the vectors grouped into buses.
  Master* master(const std::string& name, const std::string& in, const std::string& out,
                 bool withEnable) {
    Master* m = model_.addMaster(name);
    for (int b = kWidth - 1; b >= 0; --b) m->addPort(bitName(in, b), PORT_IN);
    for (int b = kWidth - 1; b >= 0; --b) m->addPort(bitName(out, b), PORT_OUT);
    m->addPort("clk", PORT_IN);
    if (withEnable) m->addPort("en", PORT_IN);
    MasterVersion* v = m->addVersion();
    for (Port* p : m->ports()) {
      auto* n = new Net(p->name());
      n->addPort(p);
      v->attachNet2Port(p, n);
      v->nets().push_back(n);
    }
    return m;
  }

  // `count` instances of `child` chained inside `parent`: the first takes the
  // parent's input vector, each the previous one's output, the last drives the
  // parent's output; clk goes to all, en (when the child has it) to constant 1.
  void chain(Master* parent, Master* child, int count, const std::string& in,
             const std::string& out) {
    MasterVersion* v = parent->version(0);
    Net* one = nullptr;
    if (child->portCount() > 2 * kWidth + 1) {
      one = new Net("1", NET_CONST_ONE);
      v->nets().push_back(one);
    }
    Net* clk = v->nets().get("clk");
    std::string prev = in;
    for (int k = 0; k < count; ++k) {
      auto* inst = new Inst({child, 0}, numbered("u", k));
      inst->generatePins();
      v->instances().push_back(inst);
      std::string next = k + 1 == count ? out : numbered("c", k);
      for (int b = 0; b < kWidth; ++b) {
        net(v, bitName(prev, kWidth - 1 - b))->addPin(inst->pin(b));
        net(v, bitName(next, kWidth - 1 - b))->addPin(inst->pin(kWidth + b));
      }
      clk->addPin(inst->pin(2 * kWidth));
      if (one) one->addPin(inst->pin(2 * kWidth + 1));
      if (k + 1 < count) bus(v, next);
      prev = next;
    }
    bus(v, in);
    bus(v, out);
  }

 private:
  static Net* net(MasterVersion* v, const std::string& name) {
    if (Net* n = v->nets().get(name)) return n;
    auto* n = new Net(name);
    v->nets().push_back(n);
    return n;
  }
  static void bus(MasterVersion* v, const std::string& base) {
    auto* b = new Bus(base);
    for (int bit = kWidth - 1; bit >= 0; --bit) b->addNet(v->nets().get(bitName(base, bit)));
    v->buses().push_back(b);
  }

  Model& model_;
};

// cpu -> 10 clusters -> 10 units each -> leaves / 100 blocks each.
Master* buildDesign(Model& model, int leaves) {
  Generator g(model);
  Master* blk = g.master("blk", "a", "y", true);
  Master* unit = g.master("unit", "i", "o", false);
  Master* cluster = g.master("cluster", "i", "o", false);
  Master* cpu = g.master("cpu", "in", "out", false);
  g.chain(unit, blk, leaves / 100, "i", "o");
  g.chain(cluster, unit, 10, "i", "o");
  g.chain(cpu, cluster, 10, "in", "out");
  model.topModule = {cpu, 0};
  return cpu;
}

// One cell per flat block ("blk_k"), with one to three versions.
std::string writeLibrary(int leaves) {
  std::string file = (std::filesystem::temp_directory_path() /
                      ("osvo_flatten_bench_" + std::to_string(leaves) + ".lib"))
                         .string();
  std::ofstream out(file);
  out << leaves << "\n";
  long total = 0;
  for (int k = 0; k < leaves; ++k) {
    out << "blk_" << k << " " << k % 3 + 1 << "\n";
    total += k % 3 + 1;
  }
  for (int k = 0; k < leaves; ++k)
    for (int v = 0; v <= k % 3; ++v)
      out << "blk_" << k << " w 0 " << (k % 7 == 0 ? "seq" : "comb") << " " << 100 + 50 * v << " "
          << v + 1 << " " << 0.5 + 0.1 * v << " 0.1 0.2\n";
  return file;
}

void resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

double peakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// Processor time (user and system) of the process: the machine may be shared,
// and the wall clock then measures the neighbours too.
double cpuNow() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}
double seconds(double from) {
  return cpuNow() - from;
}

void BM_FlattenConvertImport(benchmark::State& state) {
  const int leaves = static_cast<int>(state.range(0));
  std::string library = writeLibrary(leaves);
  std::ofstream sink("/dev/null");
  double build = 0, flatten = 0, convert = 0, import = 0, teardown = 0, peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    resetPeak();
    auto t = cpuNow();
    auto model = std::make_unique<Model>();
    Master* top = buildDesign(*model, leaves);
    build += seconds(t);
    state.ResumeTiming();

    auto design = std::make_unique<CoarsePlacement::FlatDesign>();
    {
      HDM_interface hi(model.get(), sink, sink);
      t = cpuNow();
      hi.flattenAll(top);
      flatten += seconds(t);
      t = cpuNow();
      hi.setFlatDesign(design.get());
      hi.HDM2CP();
      convert += seconds(t);
      t = cpuNow();
      hi.importCellLib(library);
      import += seconds(t);
    }
    t = cpuNow();
    model.reset();
    teardown += seconds(t);
    benchmark::DoNotOptimize(design->netList.size());

    state.PauseTiming();
    peak = std::max(peak, peakMiB());
    design.reset();
    state.ResumeTiming();
  }
  double n = static_cast<double>(state.iterations());
  state.counters["build_s"] = build / n;
  state.counters["flatten_s"] = flatten / n;
  state.counters["convert_s"] = convert / n;
  state.counters["library_s"] = import / n;
  state.counters["teardown_s"] = teardown / n;
  state.counters["peak_MiB"] = peak;
  std::remove(library.c_str());
}

BENCHMARK(BM_FlattenConvertImport)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime();

}  // namespace
