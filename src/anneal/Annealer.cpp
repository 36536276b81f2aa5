#include "anneal/Annealer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <utility>

#include "options/ReadParam.h"
#include "support/Assert.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktPin;
using CoarsePlacement::CktVersion;

long Annealer::lastSeed = -1;

namespace {

// Moves the element at position `from` to position `to`, shifting the ones in
// between by one; the same as removing it and inserting it before position
// `to` of the shortened sequence. No allocation.
void moveElement(std::vector<unsigned>& seq, std::size_t from, std::size_t to) {
  auto b = seq.begin();
  if (from < to) {
    std::rotate(b + from, b + from + 1, b + to + 1);
  } else if (from > to) {
    std::rotate(b + to, b + from, b + from + 1);
  }
}

std::size_t positionOf(const std::vector<unsigned>& seq, unsigned v) {
  return static_cast<std::size_t>(std::find(seq.begin(), seq.end(), v) - seq.begin());
}

// Takes block i out of the sequence and puts it just before (or after) block j.
void placeBeside(std::vector<unsigned>& seq, unsigned i, unsigned j, bool after) {
  const std::size_t pi = positionOf(seq, i);
  std::size_t pj = positionOf(seq, j);
  if (pi < pj) --pj;  // j's position once i is taken out
  moveElement(seq, pi, pj + (after ? 1 : 0));
}

// A draw of rand() reduced to 0..n-1.
unsigned draw(unsigned n) {
  return static_cast<unsigned>(std::rand()) % n;
}

bool parityDiffers(CP::oritType a, CP::oritType b) {
  return (static_cast<int>(a) % 2) != (static_cast<int>(b) % 2);
}

// The share of an outline side that a packing side keeps: 1 when it fits.
double fitRatio(double outline, double size) {
  return size <= outline ? 1.0 : outline / size;
}

}  // namespace

void Annealer::ConfigMove::clearMove() {
  newWidths.clear();
  newHeights.clear();
  newDelays.clear();
  newOris.clear();
  newTcis.clear();
  newTcos.clear();
  blocks.clear();
  versionIdx.clear();
  versions.clear();
  saved.clear();
  pinDelays.clear();
  netWeights.clear();
}

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
  const double whitespace = (chipArea - blocksArea) * 100 / chipArea;
  const double aspectRatio = spEval->xSize / spEval->ySize;
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
      if (params->minWL) {
        db->updatePlacement(spEval->xLoc, spEval->yLoc);
        if (code == kConfigMove) {
          figureAfter = timingFigure(x, y, configMove.chipSide, configMove.chipSide);
        }
        const double newWL = wireLength();
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
        curWL = wireLength();
        nodesArea = db->getNodesArea();
        setOutline();
      } else {
        if (code == kOrientMove) rejectOrientMove(orient);
        if (code == kConfigMove) rejectConfigMove(configMove);
        eval();
        curWL = wireLength();
      }

      if (curArea <= maxArea && curHeight <= H && curWidth <= W && params->reqdAR != -9999 &&
          T < 0.01) {
        return;
      }
      if (moveCount >= M) db->updateDelays(exponent);
    } while (moveCount < M);

    T *= coolingFactor(T);
    exponent = weightExponent(T);
    ++tempStep;
    if (progress) progress(tempStep, T);
  }
}

// ---------------------------------------------------------------------------
// Sequence moves

int Annealer::makeMove(std::vector<unsigned>& X, std::vector<unsigned>& Y) {
  const unsigned n = static_cast<unsigned>(X.size());
  const unsigned i = draw(n);
  const unsigned j = draw(n);
  const unsigned s = draw(600);

  if (s < 75) {
    std::swap(X[i], X[j]);
    return kSwapX;
  }
  if (s >= 76 && s < 150) {
    std::swap(Y[i], Y[j]);
    return kSwapY;
  }
  if (s >= 151 && s < 200) {
    std::swap(X[i], X[j]);
    const unsigned i2 = draw(n);
    const unsigned j2 = draw(n);
    std::swap(Y[i2], Y[j2]);
    return kSwapXY;
  }
  if (s >= 201 && s < 400) {
    const unsigned c = draw(100);
    moveElement(c <= 49 ? X : Y, i, j);
    return kShift;
  }
  if (s >= 401) {
    const unsigned d = draw((n + 3) / 4);
    const unsigned c = draw(100);
    unsigned k = 0;
    if (c > 49) {
      k = i + d > n - 1 ? i - d : i + d;
    } else {
      k = i < d ? i + d : i - d;
    }
    std::vector<unsigned>& seq = s <= 499 ? X : Y;
    std::swap(seq[i], seq[k]);
    return kNearSwap;
  }
  return kNoMove;  // s = 75, 150, 200 or 400
}

int Annealer::makeMoveOrient(int& node, CP::oritType& oldOrient, CP::oritType& newOrient) {
  node = static_cast<int>(draw(static_cast<unsigned>(nodes.size())));
  oldOrient = nodes[node]->orient;
  newOrient = static_cast<CP::oritType>(draw(8));
  return kOrientMove;
}

int Annealer::makeHPWLMove(std::vector<unsigned>& X, std::vector<unsigned>& Y) {
  const unsigned n = static_cast<unsigned>(X.size());
  // With one block there is no second block to move beside.
  if (n < 2) return makeMove(X, Y);

  const unsigned i = draw(n);
  const unsigned windows = (n + 4) / 5;
  spEval->evaluate(X, Y);
  const double pitch = std::max(spEval->xSize, spEval->ySize) / std::sqrt(static_cast<double>(n));
  const CoarsePlacement::TwoDLoc opt =
      analSolve->getOptLoc(static_cast<int>(i), spEval->xLoc, spEval->yLoc);

  candidates.clear();
  std::fill(marked.begin(), marked.end(), 0);
  for (unsigned ring = 1; ring <= windows && candidates.size() < windows; ++ring) {
    const double radius = ring * pitch;
    for (unsigned j = 0; j < n && candidates.size() < windows; ++j) {
      if (j == i || marked[j]) continue;
      const double dx = spEval->xLoc[j] - opt.x;
      const double dy = spEval->yLoc[j] - opt.y;
      if (std::sqrt(dx * dx + dy * dy) < radius) {
        marked[j] = 1;
        candidates.push_back(j);
      }
    }
  }

  unsigned j = 0;
  if (candidates.empty()) {
    do {
      j = draw(n);
    } while (j == i);
  } else {
    j = candidates[draw(static_cast<unsigned>(candidates.size()))];
  }

  const unsigned q = draw(4);
  placeBeside(X, i, j, q >= 2);
  placeBeside(Y, i, j, q == 1 || q == 3);
  return kHPWLMove;
}

// ---------------------------------------------------------------------------
// Orientation move

void Annealer::applyOrientMove(const OrientMove& m) {
  if (parityDiffers(m.oldOrient, m.newOrient)) spEval->changeOrient(m.node);
  if (params->minWL) nodes[m.node]->orient = m.newOrient;
}

void Annealer::acceptOrientMove(const OrientMove& m) {
  if (parityDiffers(m.oldOrient, m.newOrient)) {
    const double w = db->getNodeWidth(m.node);
    const double h = db->getNodeHeight(m.node);
    db->putNodeWidth(m.node, h);
    db->putNodeHeight(m.node, w);
  }
  nodes[m.node]->orient = m.newOrient;
}

void Annealer::rejectOrientMove(const OrientMove& m) {
  if (parityDiffers(m.oldOrient, m.newOrient)) spEval->changeOrient(m.node);
  if (params->minWL) nodes[m.node]->orient = m.oldOrient;
}

// ---------------------------------------------------------------------------
// Configuration move

CktVersion* Annealer::versionOf(CktInstance* inst, int idx) {
  const std::vector<CktVersion*>& versions = inst->master->versions;
  if (idx < 0 || static_cast<std::size_t>(idx) >= versions.size()) return nullptr;
  return versions[idx];
}

CktInstance* Annealer::findInstance(const std::string& name) const {
  const auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

int Annealer::makeConfigMove(int& oldCfg, int& newCfg, std::vector<double>& newWidths,
                             std::vector<double>& newHeights, std::vector<double>& newDelays,
                             std::vector<CP::oritType>& newOris, std::vector<double>& newTcis,
                             std::vector<double>& newTcos) {
  newCfg = static_cast<int>(draw(static_cast<unsigned>(db->configs.size())));
  OSVO_ASSERT(newWidths.size() == 0);
  OSVO_ASSERT(newHeights.size() == 0);
  OSVO_ASSERT(newDelays.size() == 0);
  OSVO_ASSERT(newOris.size() == 0);
  OSVO_ASSERT(newTcis.size() == 0);
  OSVO_ASSERT(newTcos.size() == 0);
  const Config* cfg = db->configs[newCfg].get();
  OSVO_ASSERT(cfg);
  OSVO_ASSERT(cfg->versions.size());

  oldCfg = db->currentConfig;
  db->currentConfig = newCfg;

  configMove.blocks.clear();
  configMove.versionIdx.clear();
  configMove.versions.clear();
  for (const auto& [name, idx] : cfg->versions) {
    CktInstance* inst = findInstance(name);
    if (!inst) continue;  // names no block of this design
    CktVersion* ver = versionOf(inst, idx);
    OSVO_ASSERT(ver);
    newWidths.push_back(ver->width);
    newHeights.push_back(ver->height);
    newDelays.push_back(ver->delay);
    newTcis.push_back(ver->tsu);
    newTcos.push_back(ver->tco);
    newOris.push_back(inst->orient);
    configMove.blocks.push_back(inst);
    configMove.versionIdx.push_back(idx);
    configMove.versions.push_back(ver);
  }
  return kConfigMove;
}

void Annealer::applyConfigMove(ConfigMove& m) {
  const CoarsePlacement::FlatDesign* design = db->getDesign();
  m.netWeights.clear();
  for (const CoarsePlacement::CktNet* net : design->netList) m.netWeights.push_back(net->weight);

  // The version each block had: the old configuration's choice for its name
  // (version 0 when the name is missing, as the database has it).
  const Config* old = db->configs[m.oldCfg].get();
  double areaChange = 0;
  m.saved.clear();
  m.pinDelays.clear();
  for (std::size_t j = 0; j < m.blocks.size(); ++j) {
    CktInstance* inst = m.blocks[j];
    const unsigned idx = static_cast<unsigned>(inst->index);
    const auto it = old->versions.find(CoarsePlacement::instanceName(inst));
    CktVersion* oldVer = versionOf(inst, it == old->versions.end() ? 0 : it->second);
    OSVO_ASSERT(oldVer);

    SavedBlock s;
    s.evalWidth = spEval->widths[idx];
    s.evalHeight = spEval->heights[idx];
    s.orient = inst->orient;
    s.delay = oldVer->delay;
    s.masterType = inst->master->type;
    m.saved.push_back(s);
    for (const CktPin* p : inst->inPins) {
      m.pinDelays.push_back(p->inDelay);
      m.pinDelays.push_back(p->outDelay);
    }
    for (const CktPin* p : inst->outPins) {
      m.pinDelays.push_back(p->inDelay);
      m.pinDelays.push_back(p->outDelay);
    }

    spEval->changeNodeWidth(idx, m.newWidths[j]);
    spEval->changeNodeHeight(idx, m.newHeights[j]);
    if (parityDiffers(inst->orient, m.newOris[j])) spEval->changeOrient(idx);
    inst->orient = m.newOris[j];
    db->setBlockDelay(inst, m.newDelays[j]);
    // The block kind follows the version put in force.
    inst->master->type = m.versions[j]->type;
    for (CktPin* p : inst->inPins) {
      p->inDelay = m.newTcis[j];
      p->outDelay = 0;
    }
    for (CktPin* p : inst->outPins) {
      p->inDelay = 0;
      p->outDelay = m.newTcos[j];
    }
    areaChange += m.newWidths[j] * m.newHeights[j] - oldVer->width * oldVer->height;
  }

  CktInstance* chip = design->topInst;
  m.chipArea = db->getArea(chip);
  m.chipWidth = db->getNodeWidth(chip);
  m.chipHeight = db->getNodeHeight(chip);
  const double s = params->maxWS / 100;
  const double area = (m.chipArea / (1 + s) + areaChange) * (1 + s);
  m.chipSide = std::sqrt(area);
  db->setArea(chip, area);
  db->putNodeWidth(chip, m.chipSide);
  db->putNodeHeight(chip, m.chipSide);
}

void Annealer::acceptConfigMove(const ConfigMove& m) {
  std::cout << "Accepted move from config " << m.oldCfg << "to " << m.newCfg << "\n";
  for (std::size_t j = 0; j < m.blocks.size(); ++j) {
    CktInstance* inst = m.blocks[j];
    db->putNodeWidth(inst, m.newWidths[j]);
    db->putNodeHeight(inst, m.newHeights[j]);
    inst->orient = m.newOris[j];
    inst->versionIdx = m.versionIdx[j];
  }
}

void Annealer::rejectConfigMove(const ConfigMove& m) {
  db->currentConfig = m.oldCfg;
  std::cout << "Rejected move from config " << m.oldCfg << "to " << m.newCfg << "\n";
  std::cout << "Area stays  " << m.chipArea << "\n";

  // Backwards, so that a master shared by several blocks gets its first saved
  // kind back.
  std::size_t pin = m.pinDelays.size();
  for (std::size_t j = m.blocks.size(); j-- > 0;) {
    CktInstance* inst = m.blocks[j];
    const SavedBlock& s = m.saved[j];
    const unsigned idx = static_cast<unsigned>(inst->index);
    spEval->changeNodeWidth(idx, s.evalWidth);
    spEval->changeNodeHeight(idx, s.evalHeight);
    inst->orient = s.orient;
    db->setBlockDelay(inst, s.delay);
    inst->master->type = s.masterType;
    for (auto p = inst->outPins.rbegin(); p != inst->outPins.rend(); ++p) {
      (*p)->outDelay = m.pinDelays[--pin];
      (*p)->inDelay = m.pinDelays[--pin];
    }
    for (auto p = inst->inPins.rbegin(); p != inst->inPins.rend(); ++p) {
      (*p)->outDelay = m.pinDelays[--pin];
      (*p)->inDelay = m.pinDelays[--pin];
    }
  }

  const CoarsePlacement::FlatDesign* design = db->getDesign();
  for (std::size_t i = 0; i < design->netList.size(); ++i) {
    design->netList[i]->weight = m.netWeights[i];
  }
  CktInstance* chip = design->topInst;
  db->setArea(chip, m.chipArea);
  db->putNodeWidth(chip, m.chipWidth);
  db->putNodeHeight(chip, m.chipHeight);
}
