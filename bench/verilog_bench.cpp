// Reading a hierarchical Verilog netlist: scanning alone, scanning and parsing
// (callbacks that do nothing), and scanning, parsing and writing the
// hierarchical design model. The netlists come from gen-verilog.py and are read
// from $OSVO_VERILOG_BENCH_DIR/net<leaves>.v (see run-verilog.sh, which runs
// every benchmark in a process of its own so that peak_rss_mb is its own).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "hdm/Hdm.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace {

std::string netlistPath(int64_t leaves) {
  const char* dir = std::getenv("OSVO_VERILOG_BENCH_DIR");
  return std::string(dir ? dir : ".") + "/net" + std::to_string(leaves) + ".v";
}

// Standard output and error are silenced while the netlists are read.
class Quiet {
 public:
  Quiet() : out_(std::cout.rdbuf(&sink_)), err_(std::cerr.rdbuf(&sink_)) {}
  ~Quiet() {
    std::cout.rdbuf(out_);
    std::cerr.rdbuf(err_);
  }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  struct Sink : std::streambuf {
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  } sink_;
  std::streambuf* out_;
  std::streambuf* err_;
};

void reportPeak(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::ifstream openNetlist(benchmark::State& state) {
  std::ifstream in(netlistPath(state.range(0)), std::ios::binary);
  if (!in) state.SkipWithError(("cannot open " + netlistPath(state.range(0))).c_str());
  return in;
}

void BM_Scan(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in = openNetlist(state);
    if (!in) return;
    VerilogScanner scanner(&in);
    int64_t tokens = 0;
    while (scanner.yylex() != 0) ++tokens;
    benchmark::DoNotOptimize(tokens);
  }
  reportPeak(state);
}

// Callbacks that do nothing: the cost of the parser alone.
class NullWriter : public VParserWrite {
 public:
  int writeModuleHead(const std::string&, const std::vector<std::string>&) override { return 0; }
  int writeInputPort(const std::string&, int, int) override { return 0; }
  int writeOutputPort(const std::string&, int, int) override { return 0; }
  int writeWire(const std::string&, int, int) override { return 0; }
  int writeAssignment(const std::string&, const std::string&, int, int, int, int, int) override {
    return 0;
  }
  int writeInstance(const std::string&, const std::string&,
                    std::vector<formalActualList>) override {
    return 0;
  }
  int endModule() override { return 0; }
};

void BM_Parse(benchmark::State& state) {
  Quiet quiet;
  for (auto _ : state) {
    std::ifstream in = openNetlist(state);
    if (!in) return;
    VerilogScanner scanner(&in);
    NullWriter writer;
    VerilogParser parser(scanner, writer, netlistPath(state.range(0)));
    if (parser.parse() != 1) state.SkipWithError("parse failed");
  }
  reportPeak(state);
}

void BM_Write(benchmark::State& state) {
  Quiet quiet;
  for (auto _ : state) {
    std::ifstream in = openNetlist(state);
    if (!in) return;
    VerilogScanner scanner(&in);
    hdm::Model model;
    WriteVerilog2HDM writer(&model);
    VerilogParser parser(scanner, writer, netlistPath(state.range(0)));
    if (parser.parse() != 1) state.SkipWithError("parse failed");
  }
  reportPeak(state);
}

// The same after one untimed read whose memory the allocator keeps: the cost
// without the first touch of fresh pages, which dominates on machines where a
// page fault is expensive (virtual machines).
void BM_WriteWarm(benchmark::State& state) {
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  mallopt(M_MMAP_MAX, 0);
  Quiet quiet;
  auto readOnce = [&] {
    std::ifstream in = openNetlist(state);
    if (!in) return false;
    VerilogScanner scanner(&in);
    hdm::Model model;
    WriteVerilog2HDM writer(&model);
    VerilogParser parser(scanner, writer, netlistPath(state.range(0)));
    return parser.parse() == 1;
  };
  if (!readOnce()) {
    state.SkipWithError("parse failed");
    return;
  }
  for (auto _ : state)
    if (!readOnce()) state.SkipWithError("parse failed");
  reportPeak(state);
}

// The machine's own cost of a model's worth of memory: range(0) MiB of fresh
// 128-byte blocks, each written once, as a baseline for BM_Write.
void BM_FirstTouch(benchmark::State& state) {
  const size_t blocks = static_cast<size_t>(state.range(0)) << 13;
  for (auto _ : state) {
    std::vector<char*> held(blocks);
    for (char*& p : held) {
      p = static_cast<char*>(std::malloc(128));
      std::memset(p, 1, 128);
    }
    for (char* p : held) std::free(p);
  }
  reportPeak(state);
}

}  // namespace

BENCHMARK(BM_FirstTouch)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWarm)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
