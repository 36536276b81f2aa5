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
  // What a move did; tells the loop how to evaluate, accept and undo it.
  enum class Move : int {
    None = -1,     // no change
    SwapX = 1,     // two positions of X swapped
    SwapY = 2,     // two positions of Y swapped
    SwapXY = 3,    // two positions of X and two others of Y swapped
    Shift = 4,     // one element of X or of Y moved to another position
    NearSwap = 5,  // two nearby positions of X or of Y swapped
    Orient = 10,   // one block turned
    HPWL = 12,     // a block placed beside a block near its optimal location
    Config = 555,  // the machine switched to another configuration
  };

  // A chosen orientation move.
  struct OrientMove {
    int node = 0;
    CP::oritType oldOrient = CP::B0;
    CP::oritType newOrient = CP::B0;
  };

  // Data of one block saved before a configuration move changes it.
  struct SavedBlock {
    double evalWidth = 0;
    double evalHeight = 0;
    CP::oritType orient = CP::B0;
    double delay = 0;
    int masterType = 0;
  };

  // A configuration move: the configurations, the new block data (one entry
  // per configuration entry that names a block) and what undoes it. The
  // vectors keep their storage between moves.
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
    // Empties every vector (a move must start from empty ones).
    void clear();
  };

  // Seeds the generators (from the clock, or from the reproducible seed the
  // stage hands in when `fixedSeed` is not negative), prints the seed, and
  // builds a random sequence pair over the database's nodes. Both pointers are
  // borrowed.
  Annealer(Command_Line* params, DB* db, long fixedSeed = -1);
  ~Annealer();
  Annealer(const Annealer&) = delete;
  Annealer& operator=(const Annealer&) = delete;

  // One floorplanning of the database: anneal, write the best packing back,
  // hand the slacks over and print the final line; or, with "-fenrik", hand
  // the whole run to the fixed-outline floorplanner.
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

  // --- moves; each draws from rand() in a fixed order ---
  // Swaps or shifts blocks of the working sequences (SwapX to NearSwap, or None).
  Move makeMove(std::vector<unsigned>& X, std::vector<unsigned>& Y);
  // Chooses a block, its present orientation and a new one; the loop performs
  // the turn.
  Move makeMoveOrient(OrientMove& move);
  // Places a random block beside a block near the block's optimal location.
  // With fewer than two blocks it is a sequence move instead.
  Move makeHPWLMove(std::vector<unsigned>& X, std::vector<unsigned>& Y);
  // Switches the database to a random configuration and lists the new block
  // data in `move`, whose vectors must be empty.
  Move makeConfigMove(ConfigMove& move);

  // --- schedule and cost ---
  // Factor by which a temperature step cools temperature T.
  static double coolingFactor(double T);
  // Exponent of the timing net weights for temperature T (1 to 5).
  static int weightExponent(double T);
  // Area of an x by y packing that lies outside a W by H outline.
  static double outsideArea(double x, double y, double W, double H);
  // Number of moves per temperature for n blocks and "-numMoves" k; counted
  // in 64 bits, so any k the option admits gives its full count.
  static long long movesPerTemperature(unsigned n, int k);

 private:
  friend struct AnnealerTestPeer;

  // The state of one annealing run: the temperature, the accepted packing and
  // wire length, and the outline.
  struct Run {
    double T = 0;
    double curArea = 1e100;
    double curWidth = 0;
    double curHeight = 0;
    double curPenalty = 0;
    bool penaltyKnown = false;
    double curWL = 1e100;
    // True while the database, once the accepted placement is written back, is
    // exactly as it was when curWL was measured: static timing (pin offsets,
    // net weights) and configuration moves break that.
    bool curWLCurrent = false;
    double lastDeltaW = 0;
    double nodesArea = 0;
    double maxArea = 0;
    double W = 0;
    double H = 0;
    long long movesPerTemp = 0;
    double areaWeight = 0;
    bool multiConfig = false;
  };

  // One move tried: what it did and what it would cost.
  struct Trial {
    Move code = Move::None;
    OrientMove orient;
    double figureBefore = 0;
    double figureAfter = 0;
    double x = 0;
    double y = 0;
    double penalty = 0;
    double newWL = 0;
    bool newWLKnown = false;
    double delta = 0;
  };

  // --- steps of anneal() ---
  Run startRun() const;
  void setOutline(Run& run) const;
  // One temperature step of the run's moves; true when the run ends early.
  bool temperatureStep(Run& run);
  // Draws a move kind, makes the move on the working pair and applies
  // orientation and configuration moves to the evaluator and the database.
  Trial proposeMove(const Run& run);
  // Packs the working pair and works out the cost change.
  void evaluateTrial(Run& run, Trial& trial);
  bool acceptTrial(const Run& run, const Trial& trial);
  void keepTrial(Run& run, const Trial& trial);
  void undoTrial(Run& run, const Trial& trial);
  // The accepted packing fits the outline at a temperature below 0.01.
  bool fitsAtLowTemperature(const Run& run) const;

  // Writes the final packing back, hands the slacks over, prints the final line.
  void finishRun();

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
  int tempStep = 0;

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
