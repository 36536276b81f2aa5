#pragma once
// Parameters of the floorplanning stage: the annealing schedule, the weights of
// the cost, the fixed-outline target and the plot switches. The stage fills one
// record from its options and hands it to every annealer; the values here are
// those of the option table's defaults.
#include <string>

class Command_Line {
 public:
  void printAnnealerParams() const;

  bool reshapable = false;          // "-reshapable" not 0: soft blocks for Fenrik
  std::string outPlotFile = "out";  // "-outPlotFile", at most 199 characters
  int areaWeight = 30;              // "-areaWeight": weight of the area term, percent
  int flSuccess = 10;               // "-flSuccess": fitting runs required
  int numMoves = 10;                // "-numMoves": moves per temperature are N^(4/3) times this
  bool plot = true;
  bool plotHide2 = false;    // hides the critical nets of the plot
  bool plotHide3 = false;    // hides the labels of the plot
  double normTime = 30000;   // "-initTemp" as an integer: scale of every cost change
  double coolTime = 0.01;    // "-coolTemp": the annealing stops at this temperature
  double startTime = 30000;  // "-initTemp" as an integer: the starting temperature
  double reqdAR = 1.0;       // required aspect ratio of the outline; -9999: no fixed shape
  double maxWS = 20;         // "-whitespace": permitted whitespace, percent
  bool minWL = true;         // the cost includes wire length
  int timingOn = 1;          // "-timingOn"
  double fixFreq = 0;        // "-fix_freq": clock in GHz
  double verRate = 1.0;      // "-ver_rate"
  bool fenrik = false;       // "-fenrik" not 0: the fixed-outline floorplanner

  // "-reshapable" exactly "1": the fixed-outline floorplanner's blocks are soft
  // (their area is kept, their shape is free).
  bool fenrikSoftBlocks = false;
};
