#pragma once
// Delay model object: binds the WEXA formulas to one technology generation, one
// optimisation style and one driver and buffer size, precomputes the driver,
// buffer and per-layer values, and answers wire delay questions.
//
// Lengths passed to findDelay are in thousandths of the WEXA length unit. Layer
// indices start at 0 (WEXA layer number index + 1); layers[techGen] is the
// highest layer index of the generation.
#include <string>
#include <vector>

#include "delay/Wexa.h"

class DelayAid {
 public:
  // Fixed underlying type: any int is a valid value, the unnamed ones mean "no style".
  enum optTech : int { OWS = 0, BIWS = 1, BISWS = 2 };

  struct wexa_parameters {
    double p1 = 0.0, p2 = 0.0, p3 = 0.0;  // tier row
    double b2 = 0.0, b3 = 0.0, b4 = 0.0;  // intrinsic delay, unit capacitance, unit resistance
  };

  // A generation outside 0..5 is taken as 0 (no generation: empty parameters).
  // Driver and buffer sizes must be positive.
  DelayAid(int techGen, optTech style, double driverSize, double bufferSize);

  // Delay of a wire of the given length on the given layer index, rounded down.
  double findDelay(int layer, double length) const;
  // Length (rounded to a whole number) at which findDelay on the layer reaches
  // the delay; a start of 0 or less means 2000000. -1 when no length reaches it.
  double findLength(int layer, double delay, double start) const;
  // Lowest layer index whose delay for the length is below the delay, else -1.
  int findLowestLayer(double length, double delay) const;

  static std::string printTechGen(int gen);
  static std::string printOptTech(int style);

  // Replace the width and spacing of layers 0, 1, ... from pairs in a file or
  // from two vectors; 1 when at least one pair was taken, else 0. A file that
  // cannot be read or gives no valid pair throws an osvo::Error.
  int overrideWidthSpace(const std::string& fileName);
  int overrideWidthSpace(std::vector<double>& newWidth, std::vector<double>& newSpacing);
  // Recomputes lcrit, width and spacing of every layer from the buffer values.
  void setLcrtWidthSpacing();

  void setParams();
  void initLayers();
  void initBufferSize();
  void setTech();

  // Highest layer index of the generation in force.
  int topLayer() const { return layers[techGen]; }

  // Record-like state, readable by the floorplan database.
  int techGen;
  optTech optStyle;
  double driverSize;
  double bufferSize;
  std::vector<wexa_parameters> params;  // index 0: no generation; 1..5: top tier of g
  std::vector<int> layers;              // highest layer index per generation 0..5
  std::vector<double> lcrit;            // critical length per layer index
  std::vector<double> width;
  std::vector<double> spacing;
  int bufCount = 21;
  std::vector<double> bufSizes;
  double Rd = 0.0, Cd = 0.0;             // driver
  double t0 = 0.0;                       // intrinsic delay
  double Rb = 0.0, Cb = 0.0;             // buffer of style BIWS
  std::vector<double> bufR, bufC, bufT;  // per buffer size, style BISWS

  // Set once the process-wide WEXA tables are filled.
  static int isWEXAInitialized;

 private:
  void printWidthSpacing() const;

  // The buffered styles spend nearly all their time on critical lengths, which
  // depend on the driver, the buffers, the layer and the technology tables but
  // not on the wire's length. They are kept per layer together with every input
  // they were computed from; when any input differs (a changed driver, buffer or
  // table), the layer's record starts afresh, so answers never change.
  struct LayerCriticalLengths {
    std::vector<double> inputs;
    std::vector<TbiwsCriticalLengths> lengths;  // one per buffer size (BIWS: one)
  };
  // The kept lengths of the layer for the current inputs, or null for a layer
  // outside the tables.
  TbiwsCriticalLengths* criticalLengths(int layer) const;
  // Calls f on every value the critical lengths of the layer depend on.
  template <class F>
  void forEachCriticalInput(int layer, F&& f) const;

  mutable std::vector<LayerCriticalLengths> criticalCache_;
};
