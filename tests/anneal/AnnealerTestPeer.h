#pragma once
// Access to the annealer's evaluator, pair and move helpers for the tests.
#include "anneal/Annealer.h"

struct AnnealerTestPeer {
  static SPeval& evaluator(Annealer& a) { return *a.spEval; }
  static SeqPair& pair(Annealer& a) { return *a.sp; }

  static void applyOrient(Annealer& a, int node, CP::oritType from, CP::oritType to) {
    a.applyOrientMove({node, from, to});
  }
  static void acceptOrient(Annealer& a, int node, CP::oritType from, CP::oritType to) {
    a.acceptOrientMove({node, from, to});
  }
  static void rejectOrient(Annealer& a, int node, CP::oritType from, CP::oritType to) {
    a.rejectOrientMove({node, from, to});
  }

  // Chooses a configuration (one draw) and applies it, as the loop does.
  static void makeAndApplyConfig(Annealer& a) {
    Annealer::ConfigMove& m = a.configMove;
    m.clearMove();
    a.makeConfigMove(m.oldCfg, m.newCfg, m.newWidths, m.newHeights, m.newDelays, m.newOris,
                     m.newTcis, m.newTcos);
    a.applyConfigMove(m);
  }
  static int oldConfig(Annealer& a) { return a.configMove.oldCfg; }
  static int newConfig(Annealer& a) { return a.configMove.newCfg; }
  static double chipSide(Annealer& a) { return a.configMove.chipSide; }
  static void acceptConfig(Annealer& a) { a.acceptConfigMove(a.configMove); }
  static void rejectConfig(Annealer& a) { a.rejectConfigMove(a.configMove); }
};
