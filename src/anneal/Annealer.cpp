#include "anneal/Annealer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <utility>

#include "options/ReadParam.h"

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
  analSolve = std::make_unique<AnalSolve>(params, db);

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

int Annealer::movesPerTemperature(unsigned n, int k) {
  return static_cast<int>(std::pow(static_cast<double>(n), 4.0 / 3.0) * k);
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
    std::cerr << "The fixed-outline floorplanner (Fenrik) is not available; annealing instead\n";
  }
  anneal();
  eval();

  const double blocksArea = db->getNodesArea();
  const double chipArea = spEval->xSize * spEval->ySize;
  // Blocks without extent pack to nothing: report 0 rather than 0/0.
  const double whitespace = chipArea > 0 ? (chipArea - blocksArea) * 100 / chipArea : 0.0;
  const double aspectRatio = spEval->ySize > 0 ? spEval->xSize / spEval->ySize : 0.0;
  double hpwl = 0;
  if (db->timingOn) {
    // The reported wire length is the plain one, without timing weights.
    db->timingOn = false;
    hpwl = wireLength();
    db->timingOn = true;
  } else {
    hpwl = wireLength();
  }

  spEval->evalSlacks(sp->getX(), sp->getY());
  db->updateSlacks(spEval->xSlacks, spEval->ySlacks);

  std::cout << "Final Area: " << chipArea << " WhiteSpace " << whitespace << "%"
            << " AR " << aspectRatio << " HPWL " << hpwl << "\n";
}

void Annealer::anneal() {
  const unsigned n = sp->getSize();
  if (n == 0) return;  // nothing to place

  double T = params->startTime;
  double curArea = 1e100;
  double curWidth = 0;
  double curHeight = 0;
  double curPenalty = 0;
  bool penaltyKnown = false;
  double curWL = 1e100;
  // True while the database, once the accepted placement is written back,
  // is exactly as it was when curWL was measured: static timing (pin offsets,
  // net weights) and configuration moves break that.
  bool curWLCurrent = false;
  double lastDeltaW = 0;

  double nodesArea = db->getNodesArea();
  double maxArea = 0;
  double W = 0;
  double H = 0;
  auto setOutline = [&]() {
    maxArea = (1 + params->maxWS / 100) * nodesArea;
    W = std::sqrt(maxArea * params->reqdAR);
    H = W / params->reqdAR;
  };
  setOutline();

  const int k =
      static_cast<int>(std::strtol(ReadParam::getOption("-numMoves").c_str(), nullptr, 10));
  const int M = movesPerTemperature(n, k);
  const double a = params->areaWeight / 100.0;
  const bool multiConfig = db->configs.size() > 1;
  // Before the first cooling the weights follow the starting temperature.
  exponent = weightExponent(T);
  int tempStep = 0;

  // A temperature that has cooled to 0 cannot cool further: stop there even
  // when the stop temperature is not positive.
  while (T > params->coolTime && T > 0) {
    int moveCount = 0;
    do {
      ++moveCount;
      workX = sp->getX();
      workY = sp->getY();

      int code = kNoMove;
      OrientMove orient;
      double figureBefore = 0;
      const int r = std::rand() % 1000;
      if (r < 300 && params->minWL) {
        code = makeHPWLMove(workX, workY);
      } else if (r < 500) {
        code = makeMoveOrient(orient.node, orient.oldOrient, orient.newOrient);
        applyOrientMove(orient);
      } else if (r < 510 && multiConfig) {
        configMove.clearMove();
        code = makeConfigMove(configMove.oldCfg, configMove.newCfg, configMove.newWidths,
                              configMove.newHeights, configMove.newDelays, configMove.newOris,
                              configMove.newTcis, configMove.newTcos);
        figureBefore = timingFigure(curWidth, curHeight, W, H);
        applyConfigMove(configMove);
      } else {
        code = makeMove(workX, workY);
      }

      spEval->evaluate(workX, workY);
      const double x = spEval->xSize;
      const double y = spEval->ySize;
      const double newArea = x * y;

      const double penalty = outsideArea(x, y, W, H);
      if (!penaltyKnown) {
        curPenalty = penalty;
        penaltyKnown = true;
      }
      const double f = T <= 30 ? 1.5 : 1.2;
      const double deltaA =
          nodesArea > 0 ? (penalty - curPenalty) * f * params->normTime / nodesArea : 0.0;

      double delta = deltaA;
      double figureAfter = 0;
      double newWL = 0;
      bool newWLKnown = false;
      if (params->minWL) {
        db->updatePlacement(spEval->xLoc, spEval->yLoc);
        if (code == kConfigMove) {
          figureAfter = timingFigure(x, y, configMove.chipSide, configMove.chipSide);
        }
        newWL = wireLength();
        newWLKnown = true;
        // The term is relative to the accepted wire length; when that is 0
        // (abutting pins, or nets weighted 0) there is no scale to measure a
        // change by, and the move is judged by its area term alone.
        const double deltaW = curWL > 0 ? (newWL - curWL) * f * params->normTime / curWL : 0.0;
        lastDeltaW = deltaW;
        delta = a * deltaA + (1 - a) * deltaW;
      } else if (code == kConfigMove) {
        figureAfter = timingFigure(x, y, configMove.chipSide, configMove.chipSide);
      }
      if (code == kConfigMove) delta = lastDeltaW;

      bool accept = false;
      if (code == kNoMove) {
        accept = true;
      } else if (delta < 0 && code != kConfigMove) {
        accept = true;
      } else {
        const double u = (std::rand() % 10000) / 9999.0;
        accept = std::exp(-delta / T) > u;
        if (code == kConfigMove) accept = accept && figureBefore >= figureAfter;
      }

      if (accept) {
        curArea = newArea;
        curWidth = x;
        curHeight = y;
        curPenalty = penalty;
        sp->putX(workX);
        sp->putY(workY);
        if (code == kOrientMove) acceptOrientMove(orient);
        if (code == kConfigMove) acceptConfigMove(configMove);
        // Sequence and wire-length-driven moves leave the database as it was
        // when the new wire length was measured, so that measure is the
        // accepted one; orientation and configuration moves change block sizes
        // on acceptance and are measured again.
        const bool unchanged = newWLKnown && code != kOrientMove && code != kConfigMove;
        curWL = unchanged ? newWL : wireLength();
        curWLCurrent = true;
        nodesArea = db->getNodesArea();
        setOutline();
      } else {
        if (code == kOrientMove) rejectOrientMove(orient);
        if (code == kConfigMove) rejectConfigMove(configMove);
        eval();
        // A rejected configuration move leaves the pin offsets of its timing
        // runs behind, so the accepted placement is measured again.
        if (!curWLCurrent || code == kConfigMove) curWL = wireLength();
        curWLCurrent = true;
      }

      if (curArea <= maxArea && curHeight <= H && curWidth <= W && params->reqdAR != -9999 &&
          T < 0.01) {
        return;
      }
      if (moveCount >= M) {
        db->updateDelays(exponent);
        curWLCurrent = false;
      }
    } while (moveCount < M);

    T *= coolingFactor(T);
    exponent = weightExponent(T);
    ++tempStep;
    if (progress) progress(tempStep, T);
  }
}
