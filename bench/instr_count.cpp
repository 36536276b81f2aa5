// Fixed amounts of the benchmarked work, for counting instructions under
// callgrind (bench/count-instructions.sh), where a timed benchmark's
// self-calibrating loop would make the count vary:
//
//   instr_count evaluate|slacks|afterswap|reference N REPS
//   instr_count delay-new-length|delay-first-call REPS
//
// The work is done inside measured(), the function callgrind collects.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "delay/DelayAid.h"
#include "seqpair/SPeval.h"
#include "seqpair_workload.h"

using namespace seqpairbench;

namespace {

volatile double sink;

template <class F>
[[gnu::noinline]] void measured(F&& work) {
  work();
}

std::unique_ptr<DelayAid> quietModel() {
  std::ostringstream out;
  std::streambuf* saved = std::cout.rdbuf(out.rdbuf());
  auto model = std::make_unique<DelayAid>(5, DelayAid::BISWS, 100.0, 100.0);
  std::cout.rdbuf(saved);
  return model;
}

int usage() {
  std::cerr << "usage: instr_count evaluate|slacks|afterswap|reference N REPS\n"
               "       instr_count delay-new-length|delay-first-call REPS\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string kind = argv[1];
  if (kind == "delay-new-length" || kind == "delay-first-call") {
    const int reps = std::atoi(argv[2]);
    if (kind == "delay-new-length") {
      auto model = quietModel();
      sink = model->findDelay(0, 1.5e6);
      measured([&] {
        for (int k = 0; k < reps; ++k) sink = model->findDelay(0, (k % 200 + 1) * 1e5);
      });
    } else {
      std::vector<std::unique_ptr<DelayAid>> models;
      for (int k = 0; k < reps; ++k) models.push_back(quietModel());
      measured([&] {
        for (auto& m : models) sink = m->findDelay(0, 2e6);
      });
    }
    return 0;
  }
  if (argc != 4) return usage();
  const unsigned n = static_cast<unsigned>(std::atoi(argv[2]));
  const int reps = std::atoi(argv[3]);
  if (n == 0 || reps <= 0) return usage();
  const Workload w = makeWorkload(n);
  SPeval ev(w.heights, w.widths);
  std::size_t k = 0;
  auto next = [&] { k = (k + 1) % w.xs.size(); };
  if (kind == "evaluate") {
    measured([&] {
      for (int r = 0; r < reps; ++r, next()) ev.evaluate(w.xs[k], w.ys[k]);
    });
  } else if (kind == "slacks") {
    measured([&] {
      for (int r = 0; r < reps; ++r, next()) ev.evalSlacks(w.xs[k], w.ys[k]);
    });
  } else if (kind == "afterswap") {
    std::vector<unsigned> x = w.xs[0], y = w.ys[0];
    const std::vector<Swap> swaps = makeSwaps(n);
    measured([&] {
      for (int r = 0; r < reps; ++r) {
        const Swap& s = swaps[static_cast<std::size_t>(r) % swaps.size()];
        std::swap((s.inX ? x : y)[s.a], (s.inX ? x : y)[s.b]);
        ev.evaluate(x, y);
      }
    });
  } else if (kind == "reference") {
    FenwickReference ref(n);
    measured([&] {
      for (int r = 0; r < reps; ++r, next()) ref.evaluate(w.xs[k], w.ys[k], w.widths, w.heights);
    });
  } else {
    return usage();
  }
  sink = ev.xSize + ev.ySize;
  return 0;
}
