#include "anneal/Annealer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <utility>

using CoarsePlacement::CktInstance;

long Annealer::lastSeed = -1;

namespace {

// The share of an outline side that a packing side keeps: 1 when it fits.
double fitRatio(double outline, double size) {
  return size <= outline ? 1.0 : outline / size;
}

}  // namespace

Annealer::Annealer(Command_Line* params, DB* db, long fixedSeed) : params(params), db(db) {
  if (fixedSeed >= 0) {
    seed = fixedSeed;
  } else {
    // The clock ticks in seconds; two annealers built within one second must
    // not repeat the same trial.
    seed = static_cast<long>(std::time(nullptr));
    if (lastSeed >= 0 && seed <= lastSeed) seed = lastSeed + 1;
  }
  lastSeed = seed;
  std::srand(static_cast<unsigned>(seed));
  srand48(seed);
  std::cout << "The random seed for this run is: " << seed << "\n";

  std::vector<double> heights = db->getNodeHeights();
  std::vector<double> widths = db->getNodeWidths();
  sp = std::make_unique<SeqPair>(static_cast<unsigned>(db->getNumNodes()));
  spEval = std::make_unique<SPeval>(std::move(heights), std::move(widths));
  analSolve = std::make_unique<AnalSolve>(db);

  nodes = db->getNodes();
  for (CktInstance* inst : nodes) byName.emplace(CoarsePlacement::instanceName(inst), inst);
  const std::size_t n = nodes.size();
  workX.reserve(n);
  workY.reserve(n);
  candidates.reserve(n);
  marked.assign(n, 0);
}

Annealer::~Annealer() = default;

double Annealer::getXSize() const {
  return spEval->xSize;
}

double Annealer::getYSize() const {
  return spEval->ySize;
}

long Annealer::getSeed() const {
  return seed;
}

void Annealer::setProgressCallback(std::function<void(int, double)> cb) {
  progress = std::move(cb);
}

// ---------------------------------------------------------------------------
// Schedule and cost

double Annealer::coolingFactor(double T) {
  if (T > 1000 && T < 2000) return 0.9;
  if (T > 500 && T < 1000) return 0.95;
  if (T > 200 && T < 500) return 0.96;
  if (T > 10 && T < 200) return 0.8;
  if (T > 0.1 && T <= 10) return 0.98;
  return 0.85;
}

int Annealer::weightExponent(double T) {
  if (T < 3) return 5;
  if (T < 30) return 4;
  if (T < 300) return 3;
  if (T < 3000) return 2;
  return 1;
}

double Annealer::outsideArea(double x, double y, double W, double H) {
  const double dx = std::max(0.0, x - W);
  const double dy = std::max(0.0, y - H);
  return y * dx + x * dy - dx * dy;
}

long long Annealer::movesPerTemperature(unsigned n, int k) {
  return static_cast<long long>(std::pow(static_cast<double>(n), 4.0 / 3.0) * k);
}

double Annealer::wireLength() {
  double scratch = 0;
  return db->evalHPWL(scratch);
}

double Annealer::timingFigure(double x, double y, double wo, double ho) {
  const double figure = db->updateDelays(exponent);
  return figure / (fitRatio(wo, x) * fitRatio(ho, y));
}

// ---------------------------------------------------------------------------
// Runs

void Annealer::eval() {
  spEval->evaluate(sp->getX(), sp->getY());
  db->updatePlacement(spEval->xLoc, spEval->yLoc);
}

void Annealer::go() {
  if (nodes.empty()) {
    std::cerr << "Annealer: the database has no blocks; nothing to floorplan\n";
    return;
  }
  if (params->fenrik) {
    // The fixed-outline floorplanner takes the whole run; the design then
    // holds its placement and nothing of the annealer is used.
    db->getFenrikSolution(static_cast<int>(params->maxWS), params->fenrikSoftBlocks);
    return;
  }
  anneal();
  finishRun();
}

void Annealer::finishRun() {
  eval();
  const double blocksArea = db->getNodesArea();
  const double chipArea = spEval->xSize * spEval->ySize;
  // Blocks without extent pack to nothing: report 0 rather than 0/0.
  const double whitespace = chipArea > 0 ? (chipArea - blocksArea) * 100 / chipArea : 0.0;
  const double aspectRatio = spEval->ySize > 0 ? spEval->xSize / spEval->ySize : 0.0;
  double hpwl = 0;
  {
    // The reported wire length is the plain one, without timing weights.
    const DB::TimingSuspension plain = db->suspendTiming();
    hpwl = wireLength();
  }

  spEval->evalSlacks(sp->getX(), sp->getY());
  db->updateSlacks(spEval->xSlacks, spEval->ySlacks);

  std::cout << "Final Area: " << chipArea << " WhiteSpace " << whitespace << "%"
            << " AR " << aspectRatio << " HPWL " << hpwl << "\n";
}

// ---------------------------------------------------------------------------
// The annealing loop

void Annealer::anneal() {
  if (sp->getSize() == 0) return;  // nothing to place
  Run run = startRun();
  tempStep = 0;
  // Before the first cooling the weights follow the starting temperature.
  exponent = weightExponent(run.T);
  // A temperature that has cooled to 0 cannot cool further: stop there even
  // when the stop temperature is not positive.
  while (run.T > params->coolTime && run.T > 0) {
    if (temperatureStep(run)) return;
    run.T *= coolingFactor(run.T);
    exponent = weightExponent(run.T);
    ++tempStep;
    if (progress) progress(tempStep, run.T);
  }
}

Annealer::Run Annealer::startRun() const {
  Run run;
  run.T = params->startTime;
  run.nodesArea = db->getNodesArea();
  setOutline(run);
  run.movesPerTemp = movesPerTemperature(sp->getSize(), params->numMoves);
  run.areaWeight = params->areaWeight / 100.0;
  run.multiConfig = db->numConfigs() > 1;
  return run;
}

void Annealer::setOutline(Run& run) const {
  run.maxArea = (1 + params->maxWS / 100) * run.nodesArea;
  run.W = std::sqrt(run.maxArea * params->reqdAR);
  run.H = run.W / params->reqdAR;
}

bool Annealer::temperatureStep(Run& run) {
  long long moveCount = 0;
  do {
    ++moveCount;
    Trial trial = proposeMove(run);
    evaluateTrial(run, trial);
    if (acceptTrial(run, trial)) {
      keepTrial(run, trial);
    } else {
      undoTrial(run, trial);
    }
    if (fitsAtLowTemperature(run)) return true;
    if (moveCount >= run.movesPerTemp) {
      // Re-weight the nets by timing criticality for the next temperature.
      db->updateDelays(exponent);
      run.curWLCurrent = false;
    }
  } while (moveCount < run.movesPerTemp);
  return false;
}

Annealer::Trial Annealer::proposeMove(const Run& run) {
  workX = sp->getX();
  workY = sp->getY();
  Trial trial;
  const int r = std::rand() % 1000;
  if (r < 300 && params->minWL) {
    trial.code = makeHPWLMove(workX, workY);
  } else if (r < 500) {
    trial.code = makeMoveOrient(trial.orient);
    applyOrientMove(trial.orient);
  } else if (r < 510 && run.multiConfig) {
    configMove.clear();
    trial.code = makeConfigMove(configMove);
    trial.figureBefore = timingFigure(run.curWidth, run.curHeight, run.W, run.H);
    applyConfigMove(configMove);
  } else {
    trial.code = makeMove(workX, workY);
  }
  return trial;
}

void Annealer::evaluateTrial(Run& run, Trial& trial) {
  spEval->evaluate(workX, workY);
  trial.x = spEval->xSize;
  trial.y = spEval->ySize;

  trial.penalty = outsideArea(trial.x, trial.y, run.W, run.H);
  if (!run.penaltyKnown) {
    run.curPenalty = trial.penalty;
    run.penaltyKnown = true;
  }
  const double f = run.T <= 30 ? 1.5 : 1.2;
  const double deltaA =
      run.nodesArea > 0 ? (trial.penalty - run.curPenalty) * f * params->normTime / run.nodesArea
                        : 0.0;
  const bool configuration = trial.code == Move::Config;

  trial.delta = deltaA;
  if (params->minWL) {
    db->updatePlacement(spEval->xLoc, spEval->yLoc);
    if (configuration)
      trial.figureAfter = timingFigure(trial.x, trial.y, configMove.chipSide, configMove.chipSide);
    trial.newWL = wireLength();
    trial.newWLKnown = true;
    // The term is relative to the accepted wire length; when that is 0
    // (abutting pins, or nets weighted 0) there is no scale to measure a
    // change by, and the move is judged by its area term alone.
    const double deltaW =
        run.curWL > 0 ? (trial.newWL - run.curWL) * f * params->normTime / run.curWL : 0.0;
    run.lastDeltaW = deltaW;
    trial.delta = run.areaWeight * deltaA + (1 - run.areaWeight) * deltaW;
  } else if (configuration) {
    trial.figureAfter = timingFigure(trial.x, trial.y, configMove.chipSide, configMove.chipSide);
  }
  if (configuration) trial.delta = run.lastDeltaW;
}

bool Annealer::acceptTrial(const Run& run, const Trial& trial) {
  if (trial.code == Move::None) return true;
  const bool configuration = trial.code == Move::Config;
  if (trial.delta < 0 && !configuration) return true;
  const double u = (std::rand() % 10000) / 9999.0;
  const bool accept = std::exp(-trial.delta / run.T) > u;
  return configuration ? accept && trial.figureBefore >= trial.figureAfter : accept;
}

void Annealer::keepTrial(Run& run, const Trial& trial) {
  run.curArea = trial.x * trial.y;
  run.curWidth = trial.x;
  run.curHeight = trial.y;
  run.curPenalty = trial.penalty;
  sp->putX(workX);
  sp->putY(workY);
  if (trial.code == Move::Orient) acceptOrientMove(trial.orient);
  if (trial.code == Move::Config) acceptConfigMove(configMove);
  // Sequence and wire-length-driven moves leave the database as it was when
  // the new wire length was measured, so that measure is the accepted one;
  // orientation and configuration moves change block sizes on acceptance and
  // are measured again.
  const bool unchanged =
      trial.newWLKnown && trial.code != Move::Orient && trial.code != Move::Config;
  run.curWL = unchanged ? trial.newWL : wireLength();
  run.curWLCurrent = true;
  run.nodesArea = db->getNodesArea();
  setOutline(run);
}

void Annealer::undoTrial(Run& run, const Trial& trial) {
  if (trial.code == Move::Orient) rejectOrientMove(trial.orient);
  if (trial.code == Move::Config) rejectConfigMove(configMove);
  eval();
  // A rejected configuration move leaves the pin offsets of its timing runs
  // behind, so the accepted placement is measured again.
  if (!run.curWLCurrent || trial.code == Move::Config) run.curWL = wireLength();
  run.curWLCurrent = true;
}

bool Annealer::fitsAtLowTemperature(const Run& run) const {
  return run.curArea <= run.maxArea && run.curHeight <= run.H && run.curWidth <= run.W &&
         params->reqdAR != -9999 && run.T < 0.01;
}
