#pragma once
// Static timing over the placed blocks: arrival times from the start points,
// the cycle time, required times from the end points, slacks on every pin and
// a timing weight on every net.
#include <cstddef>
#include <unordered_set>
#include <vector>

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

 private:
  // One pin whose time is being computed by the depth-first walks. `next` is
  // the walk's position among the pins the time depends on.
  struct Frame {
    CoarsePlacement::CktPin* pin;
    int kind;
    std::size_t next;
  };

  // Enters a pin on the walk: a pin already on it closes a loop.
  void push(CoarsePlacement::CktPin* pin, int kind);
  // Takes the top pin off the walk.
  void pop();
  bool onPath(const CoarsePlacement::CktPin* pin) const;
  void setOnPath(const CoarsePlacement::CktPin* pin, bool on);

  // The walk of the current find_pin_*_time call; kept to reuse its storage.
  std::vector<Frame> stack_;
  // Pins on the walk, by pin id; pins without an id are kept in the set.
  std::vector<unsigned char> onPathById_;
  std::unordered_set<const CoarsePlacement::CktPin*> onPathNoId_;
};
