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
#include "floorplan/PipelineModel.h"
#include "support/Point.h"
#include "timing/TimingDatabase.h"

// What a database is built from besides the design; the stage fills it from
// its options.
struct DatabaseParams {
  int whitespace = 20;         // permitted whitespace, percent of the block area ("-whitespace")
  bool timingOn = false;       // timing-driven mode ("-timingOn" not 0)
  int configIdx = 0;           // configuration in force while the outline is computed
  double fixFreq = 0;          // clock in GHz ("-fix_freq"): the pipeline model's clock
  double verRate = 1.0;        // "-ver_rate": stored
  std::string ipcFile;         // "-ipcFile": configurations and their IPC; "" gives one, IPC 1
  std::string widthSpaceFile;  // "-readWidthSpace": wire widths and spacings; "" keeps the model's
};

class DB : public TimingDatabase {
 public:
  // Reads the configurations, sets the chip outline and builds the delay model.
  // Bad input (an IPC or width and spacing file that cannot be used, a clock the
  // pipeline model cannot use) throws an osvo::Error.
  DB(CoarsePlacement::FlatDesign* design, const DatabaseParams& params);
  // The same without an IPC file or a width and spacing file.
  DB(CoarsePlacement::FlatDesign* design, int whitespace, bool timingOn, int configIdx,
     double fixFreq, double verRate);
  ~DB() override;
  DB(const DB&) = delete;
  DB& operator=(const DB&) = delete;

  // --- configurations ---
  int numConfigs() const { return static_cast<int>(configs_.size()); }
  const Config& config(int i) const;
  // The configuration in force and its IPC.
  int currentConfig() const { return currentConfig_; }
  double currentIpc() const { return config(currentConfig_).ipc; }
  // Puts configuration i in force: every block's version follows it.
  void selectConfig(int i);
  // Forgets the remembered version of every instance (selectConfig does so).
  void invalidateVersionCache();

  // --- settings ---
  bool timingOn() const { return timingOn_; }
  double fixFreq() const { return fixFreq_; }
  double verRate() const { return verRate_; }
  const DelayAid& delayAid() const { return *delayAid_; }

  // Timing-driven mode switched off for the lifetime of the object, then
  // restored: the plain wire length of a timing-driven database.
  class TimingSuspension {
   public:
    explicit TimingSuspension(DB& db) : db_(db), saved_(db.timingOn_) { db.timingOn_ = false; }
    ~TimingSuspension() { db_.timingOn_ = saved_; }
    TimingSuspension(const TimingSuspension&) = delete;
    TimingSuspension& operator=(const TimingSuspension&) = delete;

   private:
    DB& db_;
    bool saved_;
  };
  [[nodiscard]] TimingSuspension suspendTiming() { return TimingSuspension(*this); }

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
  CoarsePlacement::FlatDesign* getDesign() const override { return design_; }

  // --- evaluation ---
  // Places the pins and, with timing on, sets every pin's wire delay, runs
  // static timing and re-weights the nets; returns the cycle time (with
  // timing off, evalHPWL).
  double updateDelays(int exponent);
  // The cost of the placement by the design's mode: the wire length, or the
  // pipeline model's inverse IPC factor (then `out` receives the clock).
  double evalHPWL(double& out);
  // Half-perimeter wire length of the nets not on the chip (of every net for a
  // design judged by wire length alone), weighted by each net's timing weight
  // when timing is on.
  double wireLength();
  // The pipeline model: every path's latency in cycles from block latencies and
  // wire lengths, and 1 / the IPC factor that the loops' extra cycles leave.
  double inverseIpcFactor();
  double checkWexaDlyTable(double length, char tier);
  void ipcparser();
  // Absolute position of a pin on the chip (its block's loc plus the turned offset).
  CoarsePlacement::TwoDLoc pinPosition(CoarsePlacement::CktPin* pin);

  // --- pins ---
  void assignPins();
  void translate(Point p, CoarsePlacement::CktPin* pin);

  // --- the fixed-outline floorplanner ---
  // Floorplans the blocks with Fenrik through the exchange files osvo.blocks,
  // osvo.nets and osvo.pl in the working directory and writes the result into
  // the design; blocks are written soft (area only) or hard. With timing on, a
  // design of wire-length mode gets ten timing-driven rounds, keeping the best.
  // Throws osvo::Error when the files cannot be written or the blocks do not
  // fit the outline ("Infeasible at the top level").
  void getFenrikSolution(int whitespacePercent, bool softBlocks = false);

  // --- output ---
  // Writes the floorplan as a gnuplot script; a file that cannot be written
  // completely is reported on standard error.
  void plot(const char* fileName, double area, double whitespace, double aspectRatio, double cycle,
            bool drawCriticalNets, bool labels);

 private:
  // Version 0 of the chip instance's master, or null when the design has none.
  CoarsePlacement::CktVersion* chipVersion() const;
  // The version in force found through the configuration's name map (inserting
  // a missing name with version 0).
  CoarsePlacement::CktVersion* lookupVersion(CoarsePlacement::CktInstance* inst);
  // Position of a pin on the chip, without building a location record.
  void pinXY(const CoarsePlacement::CktPin* pin, double& x, double& y);
  // Stops the run when the pipeline model cannot use the clock frequency.
  static void checkPipelineClock(double freq);
  // Checks the configurations read against the design.
  void reconcileConfigs();

  CoarsePlacement::FlatDesign* design_;  // borrowed
  bool timingOn_ = false;
  std::map<double, std::map<char, double>> wireDelayCache_;
  std::unique_ptr<DelayAid> delayAid_;
  std::vector<std::unique_ptr<Config>> configs_;
  int currentConfig_ = 0;
  double fixFreq_ = 0;
  double verRate_ = 0;
  std::string ipcFile_;
  std::vector<double> xSlacks_;
  std::vector<double> ySlacks_;
  // The design's paths flattened for the pipeline model; built on first use and
  // again when the paths change.
  std::unique_ptr<PipelineModel> pipelineModel_;
  unsigned long pipelineVersionEpoch_ = 0;  // versionEpoch_ when its versions were looked up
  // Scratch of wireLength: each block's lower-left corner and size.
  struct BlockFrame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
  };
  std::vector<BlockFrame> blockFrames_;

  // Version in force per instance index, valid for configuration
  // `cachedConfig_` (object `cachedConfigPtr_`); null slots are not looked up yet.
  std::vector<CoarsePlacement::CktVersion*> versionCache_;
  int cachedConfig_ = -1;
  const Config* cachedConfigPtr_ = nullptr;
  // Counts the times the versions in force may have changed.
  unsigned long versionEpoch_ = 0;
};
