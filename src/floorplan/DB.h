#pragma once
// The floorplanner's view of one flat design: the version in force of every
// block (through the configurations), node sizes, the chip outline, wire delays
// from the interconnect model, and the evaluations used by the annealer, the
// stage driver and static timing.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "delay/DelayAid.h"
#include "flat/FlatDesign.h"
#include "floorplan/BBox.h"
#include "floorplan/Config.h"
#include "timing/TimingDatabase.h"

struct Point {
  double x = 0;
  double y = 0;
};

class DB : public TimingDatabase {
 public:
  DB(CoarsePlacement::FlatDesign* design, int whitespace, bool timingOn, int configIdx,
     double fixFreq, double verRate);
  ~DB() override;
  DB(const DB&) = delete;
  DB& operator=(const DB&) = delete;

  // --- version in force and node accessors ---
  CoarsePlacement::CktVersion* getVersion(CoarsePlacement::CktInstance* inst);
  double getNodeWidth(CoarsePlacement::CktInstance* inst);
  double getNodeWidth(int i);
  double getNodeHeight(CoarsePlacement::CktInstance* inst);
  double getNodeHeight(int i);
  void putNodeWidth(CoarsePlacement::CktInstance* inst, double w);
  void putNodeWidth(int i, double w);
  void putNodeHeight(CoarsePlacement::CktInstance* inst, double h);
  void putNodeHeight(int i, double h);
  double getArea(CoarsePlacement::CktInstance* inst);
  void setArea(CoarsePlacement::CktInstance* inst, double a);
  double getBlockDelay(CoarsePlacement::CktInstance* inst) override;
  void setBlockDelay(CoarsePlacement::CktInstance* inst, double d);
  int getBlockLatency(CoarsePlacement::CktInstance* inst);
  void setBlockLatency(CoarsePlacement::CktInstance* inst, int l);
  std::string getName(CoarsePlacement::CktInstance* inst) const;
  std::vector<CoarsePlacement::CktInstance*> getNodes() const;
  std::vector<CoarsePlacement::CktNet*> getNets() const;
  int getNumNodes() const;
  std::vector<double> getNodeWidths();
  std::vector<double> getNodeHeights();
  std::vector<double> getXLocs() const;
  std::vector<double> getYLocs() const;
  double getNodesArea();
  double getAvgHeight();
  void updatePlacement(const std::vector<double>& x, const std::vector<double>& y);
  void updateSlacks(const std::vector<double>& x, const std::vector<double>& y);
  double getXSize();
  double getYSize();
  double evalArea();
  CoarsePlacement::FlatDesign* getDesign() const override { return design; }

  // --- evaluation ---
  double updateDelays(int exponent);
  double evalHPWL(double& out);
  double checkWexaDlyTable(double length, char tier);
  void ipcparser();
  // Absolute position of a pin on the chip (its block's loc plus the turned offset).
  CoarsePlacement::TwoDLoc pinPosition(CoarsePlacement::CktPin* pin);

  // --- pins ---
  void assignPins();
  void translate(Point p, CoarsePlacement::CktPin* pin);

  // --- output ---
  void plot(const char* fileName, double area, double whitespace, double aspectRatio, double cycle,
            double wireLength, bool unused, bool drawCriticalNets, bool labels);

  // State, in declaration order.
  double nodesArea = 0;
  bool nodesAreaValid = false;
  bool timingOn = false;
  CoarsePlacement::FlatDesign* design = nullptr;  // borrowed
  std::map<double, std::map<char, double>> wireDelayCache;
  std::unique_ptr<DelayAid> delayAid;
  std::vector<std::unique_ptr<Config>> configs;
  int currentConfig = 0;
  double fixFreq = 0;
  double verRate = 0;
  std::vector<double> xSlacks;
  std::vector<double> ySlacks;

  // Forgets the remembered version of every instance. The cache notices a change
  // of `currentConfig` (or of the configuration object it names) by itself; call
  // this after editing the `versions` map of a configuration in place.
  void invalidateVersionCache();

 private:
  // Version 0 of the chip instance's master, or null when the design has none.
  CoarsePlacement::CktVersion* chipVersion() const;
  // The version in force found through the configuration's name map (inserting
  // a missing name with version 0).
  CoarsePlacement::CktVersion* lookupVersion(CoarsePlacement::CktInstance* inst);
  // Position of a pin on the chip, without building a location record.
  void pinXY(const CoarsePlacement::CktPin* pin, double& x, double& y);
  // Pipeline model of evalHPWL (design mode 1).
  double evalPipeline(double& out);
  // Stops the run when the pipeline model cannot use the clock frequency.
  void checkPipelineClock(double freq) const;
  // Reading the IPC file and checking its entries against the design.
  void readIpcFile(const std::string& fileName);
  void reconcileConfigs(const std::string& fileName, size_t first);

  // Version in force per instance index, valid for configuration
  // `cachedConfig_` (object `cachedConfigPtr_`); null slots are not looked up yet.
  std::vector<CoarsePlacement::CktVersion*> versionCache_;
  int cachedConfig_ = -1;
  const Config* cachedConfigPtr_ = nullptr;
};
