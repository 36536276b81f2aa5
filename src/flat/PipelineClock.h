#pragma once
// The clock of the pipeline performance model. Of every cycle of a clock of f
// GHz, 1000 / f ps less a fixed margin (latch and skew overhead) is usable for
// block logic and wires; an optimally buffered wire covers one length unit in
// about 87 ps, so a usable cycle of U ps spans U / 87 length units.
namespace CoarsePlacement {

constexpr double kCycleMarginPs = 46.0;
constexpr double kWirePsPerUnit = 87.0;

// Usable part of a cycle, in ps, at a clock of `ghz` GHz.
inline double usableCyclePs(double ghz) {
  return 1000.0 / ghz - kCycleMarginPs;
}

// Wire length covered in a usable cycle of `usablePs`.
inline double wireUnitsPerCycle(double usablePs) {
  return usablePs / kWirePsPerUnit;
}

}  // namespace CoarsePlacement
