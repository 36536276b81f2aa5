#pragma once
// Simulated annealing over a sequence pair for one floorplanning run of a
// database: sequence, orientation, wire-length-driven and configuration moves.
#include <memory>

#include "anneal/AnalSolve.h"
#include "anneal/CommandLine.h"
#include "floorplan/DB.h"
#include "seqpair/SPeval.h"
#include "seqpair/SeqPair.h"

class Annealer {
 public:
  // Seeds the generators (from the clock, or from the reproducible seed the
  // stage hands in when `fixedSeed` is not negative), prints the seed, and
  // builds a random sequence pair over the database's nodes.
  Annealer(Command_Line* params, DB* db, long fixedSeed = -1);
  ~Annealer();

  void go();
  void anneal();
  void eval();
  double getXSize() const;
  double getYSize() const;
  // The seed this annealer used.
  long getSeed() const;

  // (moves, their undo, and the loop state are the implementer's)
};
