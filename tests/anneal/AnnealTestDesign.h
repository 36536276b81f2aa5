#pragma once
// The database test designs, the options the annealer reads, a fixture that
// builds an annealer over a test design, and access to its internals.
#include <map>
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
    m.clearMove();
    a.makeConfigMove(m.oldCfg, m.newCfg, m.newWidths, m.newHeights, m.newDelays, m.newOris,
                     m.newTcis, m.newTcos);
    a.applyConfigMove(m);
    return m;
  }
  static void acceptConfig(Annealer& a) { a.acceptConfigMove(a.configMove); }
  static void rejectConfig(Annealer& a) { a.rejectConfigMove(a.configMove); }
};

namespace fptest {

// Empties the option store and enters the given options, plus the table
// defaults of the options the annealer reads unless they are given.
inline void setOptions(const std::map<std::string, std::string>& given = {}) {
  ReadParam::clear();
  const std::map<std::string, std::string> defaults = {
      {"-areaWeight", "30"},  {"-coolTemp", "0.01"},   {"-flSuccess", "10"},
      {"-initTemp", "30000"}, {"-outPlotFile", "out"}, {"-timingOn", "1"},
      {"-ver_rate", "1.0"},   {"-whitespace", "20"},   {"-numMoves", "10"}};
  for (const auto& [key, value] : defaults) ReadParam::cmdOption[key] = value;
  for (const auto& [key, value] : given) ReadParam::cmdOption[key] = value;
}

// An annealer (or its parts) over the test design `d`.
class AnnealFixture : public testing::Test {
 protected:
  void SetUp() override { setOptions(); }

  // The database and parameters over the design as it is now, then the annealer.
  Annealer& build(long seed = 11, bool timingOn = false) {
    annealer.reset();  // it borrows the database
    testing::internal::CaptureStdout();
    db = std::make_unique<DB>(d.get(), 20, timingOn, 0, 0.0, 1.0);
    params = std::make_unique<Command_Line>();
    annealer = std::make_unique<Annealer>(params.get(), db.get(), seed);
    testing::internal::GetCapturedStdout();
    return *annealer;
  }

  TestDesign d;
  std::unique_ptr<DB> db;
  std::unique_ptr<Command_Line> params;
  std::unique_ptr<Annealer> annealer;
};

}  // namespace fptest
