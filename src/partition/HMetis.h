#pragma once
// Multilevel min-cut bisection of a weighted hypergraph with fixed vertices.
//
// nvtxs vertices with integer weights vwgts[0..nvtxs); nhedges hyperedges in
// compressed form: the vertices of hyperedge e are eind[eptr[e] .. eptr[e+1]),
// its weight hewgts[e]. nparts must be 2. ubfactor is the imbalance in percent:
// each part should weigh between (50 - ubfactor) % and (50 + ubfactor) % of the
// total vertex weight (when no bisection can, the least unbalanced one found).
//
// options (9 entries): [0] 0 = defaults for [1..8], 1 = use the values given;
// [1] number of runs (the best cut is kept); [2] coarsening scheme;
// [3] refinement scheme; [4] V-cycle refinement (0 none, 1 on the final
// bisection, 2 on each intermediate solution, 3 on the best of the runs);
// [5] reconstruction; [6] 1 when part[] holds pre-assignments on entry (-1 free,
// 0 or 1 fixed); [7] seed, -1 to draw one from the process's 48-bit generator
// (lrand48); [8] debug level, 0 for silence.
//
// On return part[v] is 0 or 1 for every vertex (fixed vertices keep their part)
// and *edgecut is the total weight of the hyperedges with vertices in both parts.
void HMETIS_PartRecursive(int nvtxs, int nhedges, const int* vwgts, const int* eptr,
                          const int* eind, const int* hewgts, int nparts, int ubfactor,
                          const int* options, int* part, int* edgecut);
