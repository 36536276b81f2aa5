// The moves of the annealer: sequence, orientation, wire-length-driven and
// configuration moves, with what the loop does on their acceptance and undo.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "anneal/Annealer.h"
#include "support/Assert.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktPin;
using CoarsePlacement::CktVersion;

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

}  // namespace

void Annealer::ConfigMove::clear() {
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

// ---------------------------------------------------------------------------
// Sequence moves

Annealer::Move Annealer::makeMove(std::vector<unsigned>& X, std::vector<unsigned>& Y) {
  const unsigned n = static_cast<unsigned>(X.size());
  const unsigned i = draw(n);
  const unsigned j = draw(n);
  const unsigned s = draw(600);

  if (s < 75) {
    std::swap(X[i], X[j]);
    return Move::SwapX;
  }
  if (s >= 76 && s < 150) {
    std::swap(Y[i], Y[j]);
    return Move::SwapY;
  }
  if (s >= 151 && s < 200) {
    std::swap(X[i], X[j]);
    const unsigned i2 = draw(n);
    const unsigned j2 = draw(n);
    std::swap(Y[i2], Y[j2]);
    return Move::SwapXY;
  }
  if (s >= 201 && s < 400) {
    const unsigned c = draw(100);
    moveElement(c <= 49 ? X : Y, i, j);
    return Move::Shift;
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
    return Move::NearSwap;
  }
  return Move::None;  // s = 75, 150, 200 or 400
}

Annealer::Move Annealer::makeMoveOrient(OrientMove& move) {
  move.node = static_cast<int>(draw(static_cast<unsigned>(nodes.size())));
  move.oldOrient = nodes[move.node]->orient;
  move.newOrient = static_cast<CP::oritType>(draw(8));
  return Move::Orient;
}

Annealer::Move Annealer::makeHPWLMove(std::vector<unsigned>& X, std::vector<unsigned>& Y) {
  const unsigned n = static_cast<unsigned>(X.size());
  // With one block there is no second block to move beside.
  if (n < 2) return makeMove(X, Y);

  const unsigned i = draw(n);
  const unsigned windows = (n + 4) / 5;
  spEval->evaluate(X, Y);
  const double pitch = std::max(spEval->xSize, spEval->ySize) / std::sqrt(static_cast<double>(n));
  const CoarsePlacement::TwoDLoc opt = analSolve->getOptLoc(static_cast<int>(i));

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
  return Move::HPWL;
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

Annealer::Move Annealer::makeConfigMove(ConfigMove& m) {
  m.newCfg = static_cast<int>(draw(static_cast<unsigned>(db->numConfigs())));
  OSVO_ASSERT(m.newWidths.size() == 0);
  OSVO_ASSERT(m.newHeights.size() == 0);
  OSVO_ASSERT(m.newDelays.size() == 0);
  OSVO_ASSERT(m.newOris.size() == 0);
  OSVO_ASSERT(m.newTcis.size() == 0);
  OSVO_ASSERT(m.newTcos.size() == 0);
  const Config& cfg = db->config(m.newCfg);
  OSVO_ASSERT(cfg.versions.size());

  m.oldCfg = db->currentConfig();
  db->selectConfig(m.newCfg);

  m.blocks.clear();
  m.versionIdx.clear();
  m.versions.clear();
  for (const auto& [name, idx] : cfg.versions) {
    CktInstance* inst = findInstance(name);
    if (!inst) continue;  // names no block of this design
    CktVersion* ver = versionOf(inst, idx);
    OSVO_ASSERT(ver);
    m.newWidths.push_back(ver->width);
    m.newHeights.push_back(ver->height);
    m.newDelays.push_back(ver->delay);
    m.newTcis.push_back(ver->tsu);
    m.newTcos.push_back(ver->tco);
    m.newOris.push_back(inst->orient);
    m.blocks.push_back(inst);
    m.versionIdx.push_back(idx);
    m.versions.push_back(ver);
  }
  return Move::Config;
}

void Annealer::applyConfigMove(ConfigMove& m) {
  const CoarsePlacement::FlatDesign* design = db->getDesign();
  m.netWeights.clear();
  for (const CoarsePlacement::CktNet* net : design->netList) m.netWeights.push_back(net->weight);

  // The version each block had: the old configuration's choice for its name
  // (version 0 when the name is missing, as the database has it).
  const Config* old = &db->config(m.oldCfg);
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
  db->selectConfig(m.oldCfg);
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
