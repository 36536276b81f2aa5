#pragma once
// Multilevel min-cut bisection of a weighted hypergraph with fixed vertices.
//
// nvtxs vertices with integer weights vwgts[0..nvtxs); nhedges hyperedges in
// compressed form: the vertices of hyperedge e are eind[eptr[e] .. eptr[e+1]),
// its weight hewgts[e]. A null vwgts or hewgts means unit weights; weights must
// not be negative. Repeated pins count once; hyperedges of one vertex, or of
// weight 0, can never be cut. nparts must be 2. ubfactor (0..49) is the
// imbalance in percent: each part should weigh between (50 - ubfactor) % and
// (50 + ubfactor) % of the total vertex weight; when no bisection can, the
// least unbalanced one found, and among those the one of least cut.
//
// options (9 entries): [0] 0 = defaults for [1..8] (10 runs, first-choice
// coarsening, FM refinement, V-cycles on the final bisection, no fixed
// vertices, seed -1), 1 = use the values given;
// [1] number of runs (the best cut is kept);
// [2] coarsening scheme: 1..3 first-choice clustering, 4..5 heavy-edge matching;
// [3] refinement: 1 FM passes until one finds no gain, 2 a single FM pass per
// level, 3 FM passes that give up sooner when no move pays;
// [4] V-cycle refinement: 0 none, 1 on the final bisection, 2 on every run's
// bisection, 3 on each run's bisection that is at least as good as the best
// before it;
// [5] reconstruction (0 or 1): no effect on a bisection;
// [6] 1 when part[] holds pre-assignments on entry (-1 free, 0 or 1 fixed);
// [7] seed, -1 to draw one from the process's 48-bit generator (one lrand48()
// call, so the process's seed fixes the cuts);
// [8] debug level: above 0, one summary line on standard output.
//
// On return part[v] is 0 or 1 for every vertex (fixed vertices keep their part)
// and *edgecut is the total weight of the hyperedges with vertices in both
// parts (INT_MAX when larger). Bad arguments stop the program (OSVO_ASSERT).
void HMETIS_PartRecursive(int nvtxs, int nhedges, const int* vwgts, const int* eptr,
                          const int* eind, const int* hewgts, int nparts, int ubfactor,
                          const int* options, int* part, int* edgecut);
