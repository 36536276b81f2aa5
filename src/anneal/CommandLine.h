#pragma once
// Parameters of the floorplanning stage: the annealing schedule, the weights of
// the cost, the fixed-outline target and the plot switches. Built once per
// stage from the option store.
#include <string>

class Command_Line {
 public:
  Command_Line();
  void printAnnealerParams() const;

  bool reshapable = false;
  std::string outPlotFile = "out";  // at most 199 characters
  int areaWeight = 30;
  int flSuccess = 10;
  bool plot = true;
  bool plotHide1 = false;
  bool plotHide2 = false;
  bool plotHide3 = false;
  double normTime = 30000;
  double coolTime = 0.01;
  double startTime = 30000;
  double reqdAR = 1.0;
  double maxWS = 20;
  bool minWL = true;
  int timingOn = 1;
  double fixFreq = 0;
  double verRate = 1.0;
  bool fenrik = false;
};
