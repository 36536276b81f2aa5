#pragma once
// Optimal lower-left corner of one block for the pins its nets connect to,
// with every other block where the database has it: a weighted median of the
// corner positions that would put one of the block's pins exactly on a pin it
// connects to, taken separately in x and in y.
#include "flat/Locations.h"
#include "floorplan/DB.h"

class AnalSolve {
 public:
  // The database is borrowed.
  explicit AnalSolve(DB* db);

  // The best corner of node i; coordinates below 0 are raised to 0, and a
  // block with no pin connected to anything else gets (0, 0). The other
  // blocks' positions come from the database.
  CoarsePlacement::TwoDLoc getOptLoc(int i);

 private:
  DB* db;
};
