// The whole import of a Verilog netlist, as the import driver does it: parse
// into the hierarchical model, flatten the top module "cpu", convert into the
// flat design, read the cell library, destroy the model. The netlists and
// libraries come from gen-verilog.py, read from
// $OSVO_VERILOG_BENCH_DIR/net<leaves>.v and .lib (see run-import.sh). Times are
// processor time of the process; peak_MiB is its resident high-water mark.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "flat/FlatDesign.h"
#include "flatten/HdmInterface.h"
#include "hdm/Hdm.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace {

std::string dataPath(int64_t leaves, const char* ext) {
  const char* dir = std::getenv("OSVO_VERILOG_BENCH_DIR");
  return std::string(dir ? dir : ".") + "/net" + std::to_string(leaves) + ext;
}

double cpuNow() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double peakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

void BM_WholeImport(benchmark::State& state) {
  std::string netlist = dataPath(state.range(0), ".v");
  std::string library = dataPath(state.range(0), ".lib");
  std::ofstream sink("/dev/null");
  double parse = 0, flatten = 0, convert = 0, import = 0, teardown = 0;
  for (auto _ : state) {
    std::ifstream in(netlist, std::ios::binary);
    if (!in) {
      state.SkipWithError(("cannot open " + netlist).c_str());
      return;
    }
    // The front-end reports on the standard streams; silence them here.
    std::streambuf* out = std::cout.rdbuf(sink.rdbuf());
    std::streambuf* err = std::cerr.rdbuf(sink.rdbuf());
    double t = cpuNow();
    auto model = std::make_unique<hdm::Model>();
    {
      VerilogScanner scanner(&in);
      WriteVerilog2HDM writer(model.get());
      VerilogParser parser(scanner, writer, netlist);
      parser.parse();
    }
    parse += cpuNow() - t;

    auto design = std::make_unique<CoarsePlacement::FlatDesign>();
    {
      HDM_interface hi(model.get(), sink, sink);
      hdm::Master* top = model->masters().get("cpu");
      model->topModule = {top, 0};
      t = cpuNow();
      hi.flattenAll(top);
      flatten += cpuNow() - t;
      t = cpuNow();
      hi.setFlatDesign(design.get());
      hi.HDM2CP();
      convert += cpuNow() - t;
      t = cpuNow();
      hi.importCellLib(library);
      import += cpuNow() - t;
    }
    t = cpuNow();
    model.reset();
    teardown += cpuNow() - t;
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
    benchmark::DoNotOptimize(design->instList.size());
  }
  double n = static_cast<double>(state.iterations());
  state.counters["parse_s"] = parse / n;
  state.counters["flatten_s"] = flatten / n;
  state.counters["convert_s"] = convert / n;
  state.counters["library_s"] = import / n;
  state.counters["teardown_s"] = teardown / n;
  state.counters["peak_MiB"] = peakMiB();
}

BENCHMARK(BM_WholeImport)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime();

}  // namespace
