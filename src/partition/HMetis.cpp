#include "partition/HMetis.h"

#include <sys/resource.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "partition/Bisector.h"
#include "partition/Hypergraph.h"
#include "support/Assert.h"

namespace {

using partition::BisectParams;
using partition::Hypergraph;

BisectParams paramsFrom(const int* options, int ubfactor) {
  BisectParams p;
  p.imbalancePercent = ubfactor;
  if (options[0] == 0) return p;
  OSVO_ASSERT(options[1] >= 1);
  OSVO_ASSERT(options[2] >= 1 && options[2] <= 5);
  OSVO_ASSERT(options[3] >= 1 && options[3] <= 3);
  OSVO_ASSERT(options[4] >= 0 && options[4] <= 3);
  OSVO_ASSERT(options[5] == 0 || options[5] == 1);
  p.runs = options[1];
  p.coarsen.pairsOnly = options[2] >= 4;
  if (options[3] == 2) p.refine.maxPasses = 1;
  if (options[3] == 3) p.refine.stallLimit = 6;
  static constexpr partition::VCycles kVCycles[] = {
      partition::VCycles::kNone, partition::VCycles::kFinal, partition::VCycles::kEveryRun,
      partition::VCycles::kWhenAsGood};
  p.vcycles = kVCycles[options[4]];
  return p;
}

double cpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

}  // namespace

void HMETIS_PartRecursive(int nvtxs, int nhedges, const int* vwgts, const int* eptr,
                          const int* eind, const int* hewgts, int nparts, int ubfactor,
                          const int* options, int* part, int* edgecut) {
  OSVO_ASSERT(nvtxs >= 0 && nhedges >= 0);
  OSVO_ASSERT(nparts == 2);
  OSVO_ASSERT(ubfactor >= 0 && ubfactor < 50);
  OSVO_ASSERT(options != nullptr && (options[0] == 0 || options[0] == 1));
  OSVO_ASSERT(edgecut != nullptr && (nvtxs == 0 || part != nullptr));
  OSVO_ASSERT(nhedges == 0 || eptr != nullptr);
  OSVO_ASSERT(nhedges == 0 || eptr[nhedges] == 0 || eind != nullptr);
  const double startTime = cpuMilliseconds();
  const bool given = options[0] == 1;
  const bool preassigned = given && options[6] == 1;
  const int debug = given ? options[8] : 0;
  const int seedOption = given ? options[7] : -1;
  // One draw from the process's generator, so the program's own seeds fix the cuts.
  const std::uint64_t seed = seedOption == -1 ? static_cast<std::uint64_t>(lrand48())
                                              : static_cast<std::uint64_t>(seedOption);

  Hypergraph g;
  g.vertexWeight.resize(nvtxs);
  g.fixedPart.assign(nvtxs, -1);
  for (int v = 0; v < nvtxs; ++v) {
    g.vertexWeight[v] = vwgts ? vwgts[v] : 1;
    OSVO_ASSERT(g.vertexWeight[v] >= 0);
    if (preassigned) {
      OSVO_ASSERT(part[v] >= -1 && part[v] <= 1);
      g.fixedPart[v] = static_cast<std::int8_t>(part[v]);
    }
  }
  OSVO_ASSERT(nhedges == 0 || eptr[0] == 0);
  {
    partition::NetCollector nets(g, nhedges);
    for (int e = 0; e < nhedges; ++e) {
      OSVO_ASSERT(eptr[e] <= eptr[e + 1]);
      for (int i = eptr[e]; i < eptr[e + 1]; ++i) OSVO_ASSERT(eind[i] >= 0 && eind[i] < nvtxs);
      const int weight = hewgts ? hewgts[e] : 1;
      OSVO_ASSERT(weight >= 0);
      if (eptr[e] < eptr[e + 1])
        nets.add({eind + eptr[e], eind + eptr[e + 1]}, weight);
      else
        nets.add({}, weight);
    }
    nets.finish();
  }

  partition::Bisector bisector(g, paramsFrom(options, ubfactor), seed);
  const std::vector<std::int8_t> result = bisector.run();
  for (int v = 0; v < nvtxs; ++v) part[v] = result[v];

  // The cut of the hyperedges as given (repeated pins and nets included).
  std::int64_t cut = 0;
  for (int e = 0; e < nhedges; ++e) {
    bool in[2] = {false, false};
    for (int i = eptr[e]; i < eptr[e + 1]; ++i) in[part[eind[i]]] = true;
    if (in[0] && in[1]) cut += hewgts ? hewgts[e] : 1;
  }
  *edgecut = cut > INT_MAX ? INT_MAX : static_cast<int>(cut);

  if (debug > 0) {
    std::int64_t weight[2] = {0, 0};
    for (int v = 0; v < nvtxs; ++v) weight[part[v]] += g.vertexWeight[v];
    std::printf("Bisection of %d vertices, %d hyperedges: cut %lld, parts %lld %lld, %.3f ms\n",
                nvtxs, nhedges, static_cast<long long>(cut), static_cast<long long>(weight[0]),
                static_cast<long long>(weight[1]), cpuMilliseconds() - startTime);
  }
}
