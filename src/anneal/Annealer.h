#pragma once
// Simulated annealing over a sequence pair for one floorplanning run of a
// database: sequence, orientation, wire-length-driven and configuration moves.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "anneal/AnalSolve.h"
#include "anneal/CommandLine.h"
#include "flat/FlatDesign.h"
#include "floorplan/DB.h"
#include "seqpair/SPeval.h"
#include "seqpair/SeqPair.h"

struct AnnealerTestPeer;

class Annealer {
 public:
  // Move codes returned by the move functions.
  static constexpr int kNoMove = -1;
  static constexpr int kSwapX = 1;
  static constexpr int kSwapY = 2;
  static constexpr int kSwapXY = 3;
  static constexpr int kShift = 4;
  static constexpr int kNearSwap = 5;
  static constexpr int kOrientMove = 10;
  static constexpr int kHPWLMove = 12;
  static constexpr int kConfigMove = 555;

  // Seeds the generators (from the clock, or from the reproducible seed the
  // stage hands in when `fixedSeed` is not negative), prints the seed, and
  // builds a random sequence pair over the database's nodes. Both pointers are
  // borrowed.
  Annealer(Command_Line* params, DB* db, long fixedSeed = -1);
  ~Annealer();
  Annealer(const Annealer&) = delete;
  Annealer& operator=(const Annealer&) = delete;

  // One floorplanning of the database: anneal, write the best packing back,
  // hand the slacks over and print the final line.
  void go();
  // The annealing loop; leaves the last accepted pair in the sequence pair.
  void anneal();
  // Packs the current pair and writes the block locations into the database.
  void eval();
  double getXSize() const;
  double getYSize() const;
  // The seed this annealer used.
  long getSeed() const;
  // Called once after every temperature step with the step number (from 1)
  // and the temperature after cooling.
  void setProgressCallback(std::function<void(int tempStep, double temperature)> cb);

  // --- moves; each draws from rand() in a fixed order and returns its code ---
  // Swaps or shifts blocks of the working sequences (codes 1 to 5, or -1).
  int makeMove(std::vector<unsigned>& X, std::vector<unsigned>& Y);
  // Chooses a block, its present orientation and a new one (code 10); the
  // loop performs the turn.
  int makeMoveOrient(int& node, CP::oritType& oldOrient, CP::oritType& newOrient);
  // Places a random block beside a block near the block's optimal location
  // (code 12). With fewer than two blocks it is a sequence move instead.
  int makeHPWLMove(std::vector<unsigned>& X, std::vector<unsigned>& Y);
  // Switches the database to a random configuration and lists the new block
  // data, one entry per configuration entry (code 555). All six vectors must
  // be empty on entry.
  int makeConfigMove(int& oldCfg, int& newCfg, std::vector<double>& newWidths,
                     std::vector<double>& newHeights, std::vector<double>& newDelays,
                     std::vector<CP::oritType>& newOris, std::vector<double>& newTcis,
                     std::vector<double>& newTcos);

  // --- schedule and cost ---
  // Factor by which a temperature step cools temperature T.
  static double coolingFactor(double T);
  // Exponent of the timing net weights for temperature T (1 to 5).
  static int weightExponent(double T);
  // Area of an x by y packing that lies outside a W by H outline.
  static double outsideArea(double x, double y, double W, double H);
  // Number of moves per temperature for n blocks and "-numMoves" k.
  static int movesPerTemperature(unsigned n, int k);

 private:
  friend struct AnnealerTestPeer;

  // Data of one block saved before a configuration move changes it.
  struct SavedBlock {
    double evalWidth = 0;
    double evalHeight = 0;
    CP::oritType orient = CP::B0;
    double delay = 0;
    int masterType = 0;
  };

  // Everything a configuration move changes, and what undoes it. The vectors
  // are kept between moves so that their storage is reused.
  struct ConfigMove {
    int oldCfg = 0;
    int newCfg = 0;
    std::vector<double> newWidths;
    std::vector<double> newHeights;
    std::vector<double> newDelays;
    std::vector<CP::oritType> newOris;
    std::vector<double> newTcis;
    std::vector<double> newTcos;
    // Parallel to the vectors above: the block each entry names, its version
    // index in the new configuration and that version.
    std::vector<CoarsePlacement::CktInstance*> blocks;
    std::vector<int> versionIdx;
    std::vector<CoarsePlacement::CktVersion*> versions;
    // Saved state for the undo.
    std::vector<SavedBlock> saved;
    std::vector<double> pinDelays;  // inDelay, outDelay of every in and out pin, in order
    std::vector<double> netWeights;
    double chipArea = 0;
    double chipWidth = 0;
    double chipHeight = 0;
    double chipSide = 0;  // side of the recomputed outline
    void clearMove();
  };

  // A chosen orientation move.
  struct OrientMove {
    int node = 0;
    CP::oritType oldOrient = CP::B0;
    CP::oritType newOrient = CP::B0;
  };

  // Version `idx` of the instance's master, or null when there is none.
  static CoarsePlacement::CktVersion* versionOf(CoarsePlacement::CktInstance* inst, int idx);
  // The first instance of the design named `name`, or null.
  CoarsePlacement::CktInstance* findInstance(const std::string& name) const;

  void applyOrientMove(const OrientMove& m);
  void acceptOrientMove(const OrientMove& m);
  void rejectOrientMove(const OrientMove& m);
  // Puts the new configuration's block data into the evaluator and the design
  // (saving the old) and recomputes the chip outline.
  void applyConfigMove(ConfigMove& m);
  void acceptConfigMove(const ConfigMove& m);
  void rejectConfigMove(const ConfigMove& m);
  // The figure a configuration move must not worsen: the database's timing
  // result inflated by how far an x by y packing exceeds a wo by ho outline.
  double timingFigure(double x, double y, double wo, double ho);
  double wireLength();

  Command_Line* params;  // borrowed
  DB* db;                // borrowed
  std::unique_ptr<SeqPair> sp;
  std::unique_ptr<SPeval> spEval;
  std::unique_ptr<AnalSolve> analSolve;
  long seed = 0;
  std::function<void(int, double)> progress;

  // Blocks of the design in index order, and the first block of each name.
  std::vector<CoarsePlacement::CktInstance*> nodes;
  std::unordered_map<std::string, CoarsePlacement::CktInstance*> byName;

  // Working storage reused by every move.
  std::vector<unsigned> workX;
  std::vector<unsigned> workY;
  std::vector<unsigned> candidates;
  std::vector<char> marked;
  ConfigMove configMove;
  int exponent = 1;  // weighting exponent handed to the database

  // Seed of the most recent annealer of the process.
  static long lastSeed;
};
