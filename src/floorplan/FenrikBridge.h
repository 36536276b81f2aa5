#pragma once
// Hands the floorplanning of a database to the fixed-outline floorplanner
// (Fenrik): writes the blocks and nets as the exchange files <base>.blocks,
// <base>.nets and <base>.pl, lets Fenrik read them back and place the blocks,
// and writes the placement into the design (locations, shapes, pin offsets).
// With timing on, a design of wire-length mode gets ten more constructions
// under timing-driven net weights; the best one by cycle time is kept.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "floorplan/DB.h"

class Block;
class Fenrik;
struct _Pin;

class FenrikBridge {
 public:
  // Everything a construction leaves in the design, as one flat list: the
  // offsets (x, y) of every pin of the chip instance, then per block its
  // lower-left x and y, width and height, followed by the offsets of its pins
  // (in, out, then bidirectional pins).
  using Solution = std::vector<double>;

  static constexpr int kTimingRounds = 10;
  static constexpr double kFirstGamma = 1e7;
  static constexpr double kRoundGamma = 1e6;

  // `db` is borrowed; the files are baseName + ".blocks", ".nets", ".pl".
  explicit FenrikBridge(DB& db, std::string baseName = "osvo");

  // The whole hand-over: files, construction, write-back and, with timing on
  // and a design of wire-length mode, the timing-driven rounds.
  void run(int whitespacePercent, bool softBlocks);

  // Ten timing-driven constructions after the first, whose result `saved`
  // is; `evaluate` gives the cycle time of the design as it is (static
  // timing). A round no better than the best so far is undone.
  void timingRounds(int whitespacePercent, Solution saved, const std::function<double()>& evaluate);

  // --- the steps ---
  // Writes the three files. Blocks are soft (area only) or hard (the version's
  // width and height). Throws osvo::Error naming a file that cannot be written
  // and a block whose size is not a finite, non-negative number.
  void writeExchangeFiles(bool softBlocks);
  // A floorplanner over the files, whitespace spreading on.
  std::unique_ptr<Fenrik> readExchangeFiles(int whitespacePercent, double gamma) const;
  // Weight 1 (wire-length mode) or the net's IPC weight; the pin pair is the
  // net's first two block pins.
  void initializeNetWeights(Fenrik& fenrik) const;
  // Weight round((iteration + 2) x IPC weight) + 10; the pin pair is the first
  // block pin and the later one with the smallest wire delay.
  void updateNetWeights(Fenrik& fenrik, int iteration) const;
  // The pin of `block` that stands for the design pin `pin`, or null.
  _Pin* find_pin(Fenrik& fenrik, const CoarsePlacement::CktPin* pin, const Block& block) const;
  // Writes the constructed floorplan into the design (orientation B0) and
  // returns it as a Solution. A connected pin without its block pin throws
  // osvo::Error "Not supposed to happen ".
  Solution writeBack(Fenrik& fenrik);
  // The design's present state in the layout of a Solution.
  Solution capture();
  // Puts a Solution back: chip pin offsets, then per block orientation B0,
  // location, size of the version in force and pin offsets.
  void restore(const Solution& solution);

 private:
  // Where a design pin went in the net file: its net and, for a block pin, its
  // position among the net's block pins (-1 for a pin of the chip).
  struct PinSlot {
    int net = 0;
    int blockPin = -1;
  };

  // Calls visit(double&) on every value of a Solution in the design, in order.
  template <class Visit>
  void forEachSolutionValue(Visit visit);

  DB& db_;
  CoarsePlacement::FlatDesign* design_;
  std::string baseName_;
  std::unordered_map<const CoarsePlacement::CktPin*, PinSlot> slots_;
  // Per net: the position in the design net's pins of each of its block pins.
  std::vector<std::vector<int>> blockPinIndex_;
};
