#pragma once
// A fixture that builds an annealer over a test design, and access to the
// annealer's internals.
#include <memory>
#include <string>

#include "../floorplan/FloorplanTestDesign.h"
#include "anneal/Annealer.h"

struct AnnealerTestPeer {
  static SPeval& evaluator(Annealer& a) { return *a.spEval; }

  // Applies, accepts or rejects turning a block from one orientation to another.
  enum Step { kApply, kAccept, kReject };
  static void orient(Annealer& a, Step step, int node, CP::oritType from, CP::oritType to) {
    const Annealer::OrientMove m{node, from, to};
    if (step == kApply) a.applyOrientMove(m);
    if (step == kAccept) a.acceptOrientMove(m);
    if (step == kReject) a.rejectOrientMove(m);
  }

  // Chooses a configuration (one draw) and applies it, as the loop does.
  static Annealer::ConfigMove& makeAndApplyConfig(Annealer& a) {
    Annealer::ConfigMove& m = a.configMove;
    m.clear();
    a.makeConfigMove(m);
    a.applyConfigMove(m);
    return m;
  }
  static void acceptConfig(Annealer& a) { a.acceptConfigMove(a.configMove); }
  static void rejectConfig(Annealer& a) { a.rejectConfigMove(a.configMove); }
};

namespace fptest {

// An annealer (or its parts) over the test design `d` with the parameters
// `params` (the option table's defaults unless a test changes them).
class AnnealFixture : public testing::Test {
 protected:
  // The database over the design as it is now, then the annealer.
  Annealer& build(long seed = 11, bool timingOn = false, const std::string& ipcFile = "") {
    annealer.reset();  // it borrows the database
    db = quietDB(d, DatabaseParams{20, timingOn, 0, 0.0, 1.0, ipcFile, ""});
    capture([&] { annealer = std::make_unique<Annealer>(&params, db.get(), seed); });
    return *annealer;
  }

  TestDesign d;
  Command_Line params;
  std::unique_ptr<DB> db;
  std::unique_ptr<Annealer> annealer;
};

}  // namespace fptest
