// Legality benchmark of the fixed-outline floorplanner on the GSRC benchmarks:
// for each benchmark and whitespace, the terminals move onto the boundary of
// the square outline of side sqrt((1 + whitespace) x total block area), the
// construction runs, and the floorplan is checked (inside the outline, no
// overlaps, shapes kept). One table row per run: top-level test, legality,
// half-perimeter wire length with pins at block centres and terminals
// included, and time (wall clock and processor).
//
// Usage: fenrik_gsrc GSRC_DIR [VARIANT/NAME ...] (default: HARD and SOFT, n10 to n300)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "fenrik/BenchmarkReader.h"
#include "fenrik/Fenrik.h"
#include "fenrik/Legality.h"
#include "support/Error.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s GSRC_DIR [VARIANT/NAME ...]\n", argv[0]);
    return 1;
  }
  const std::string dir = argv[1];
  std::vector<std::string> names;
  for (int i = 2; i < argc; ++i) names.push_back(argv[i]);
  if (names.empty())
    for (const char* variant : {"HARD", "SOFT"})
      for (const char* n : {"n10", "n30", "n50", "n100", "n200", "n300"})
        names.push_back(std::string(variant) + "/" + n);

  std::printf("%-10s %5s %9s %6s %12s %9s %9s %8s\n", "benchmark", "ws%", "top-level", "legal",
              "HPWL", "fallbacks", "time(s)", "cpu(s)");
  int failures = 0;
  for (const std::string& name : names) {
    BenchmarkDesign design;
    try {
      design = readBenchmark(dir + "/" + name);
    } catch (const osvo::Error& e) {
      std::fprintf(stderr, "%s", e.what());
      return 1;
    }
    for (double whitespace : {10.0, 15.0, 20.0}) {
      BenchmarkDesign d = design;
      const double side = d.squareOutlineSide(whitespace);
      d.scaleTerminals(0.0, 0.0, side, side);
      srand48(1);
      auto start = std::chrono::steady_clock::now();
      std::clock_t cpuStart = std::clock();
      Fenrik fenrik(d, whitespace, 1e7);
      fenrik.setWhitespaceSpreading(1);
      bool top = true;
      try {
        fenrik.constructFloorplan();
      } catch (const osvo::Error&) {
        top = false;
      }
      double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
      if (!top) {
        std::printf("%-10s %5.0f %9s %6s %12s %9s %9.3f %8.3f\n", name.c_str(), whitespace,
                    "failed", "-", "-", "-", seconds, cpu);
        continue;
      }
      LegalityReport legal = checkLegality(fenrik, Rect(0, 0, side, side), 1e-6 * side);
      if (!legal.legal) ++failures;
      std::printf("%-10s %5.0f %9s %6s %12.1f %9d %9.3f %8.3f%s%s\n", name.c_str(), whitespace,
                  "passed", legal.legal ? "yes" : "NO", fenrik.getCentreWirelength(),
                  fenrik.fallbackCuts(), seconds, cpu, legal.legal ? "" : "  ",
                  legal.problem.c_str());
    }
  }
  return failures == 0 ? 0 : 2;
}
