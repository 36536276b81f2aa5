#pragma once
// Static timing over the placed blocks: arrival times from the start points,
// the cycle time, required times from the end points, slacks on every pin and
// a timing weight on every net.
#include "flat/FlatDesign.h"
#include "timing/TimingDatabase.h"

class FPTiming {
 public:
  // Runs the whole analysis; a target of exactly 0.0 derives the cycle time
  // from the design. Returns the cycle time (0 for an empty circuit).
  double perform_sta(TimingDatabase* db, double target);

  void initialize_sta(TimingDatabase* db);
  void compute_arr_time(TimingDatabase* db);
  void compute_req_time(TimingDatabase* db);
  void compute_slacks(TimingDatabase* db);
  void find_pin_arr_time(TimingDatabase* db, CoarsePlacement::CktPin* pin);
  void find_pin_req_time(TimingDatabase* db, CoarsePlacement::CktPin* pin);
  void netWeighting(TimingDatabase* db, double cycle);
  // Self-test entry: zero wire delays, then a full analysis.
  void test_sta(TimingDatabase* db);

  CoarsePlacement::CktInstance* root = nullptr;
  double targetCycle = 0;
};
