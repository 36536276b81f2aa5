#include "delay/DelayAid.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>

#include "delay/Wexa.h"
#include "delay/WidthSpaceFile.h"
#include "support/Assert.h"
#include "support/Error.h"
#include "support/InputFile.h"

int DelayAid::isWEXAInitialized = 0;

namespace {

constexpr int knownGenerations = 5;
// findLength gives up when doubling the start this often does not reach the delay.
constexpr int maxDoublings = 48;

}  // namespace

DelayAid::DelayAid(int techGen, optTech style, double driverSize, double bufferSize)
    : techGen(techGen >= 0 && techGen <= knownGenerations ? techGen : 0),
      optStyle(style),
      driverSize(driverSize),
      bufferSize(bufferSize) {
  // Driver and buffer resistances are the unit resistance divided by the size.
  OSVO_ASSERT(driverSize > 0.0);
  OSVO_ASSERT(bufferSize > 0.0);
  initLayers();
  if (isWEXAInitialized == 0) {
    wexa_init();
    isWEXAInitialized = 1;
  }
  setParams();
  initBufferSize();
  setTech();
}

void DelayAid::initLayers() {
  layers = {0, 5, 5, 7, 7, 7};
}

void DelayAid::setParams() {
  params.clear();
  params.push_back(wexa_parameters{});
  for (int g = 1; g <= knownGenerations; ++g) {
    wexa_parameters p;
    get_tech_params(g, layers[g] + 1, p.p1, p.p2, p.p3, p.b2, p.b3, p.b4);
    params.push_back(p);
  }
}

void DelayAid::initBufferSize() {
  bufSizes.assign(bufCount, 0.0);
  bufSizes[0] = 1.0;
  for (int i = 1; i < bufCount; ++i) bufSizes[i] = 20.0 * i;
  bufR.assign(bufCount, 0.0);
  bufC.assign(bufCount, 0.0);
  bufT.assign(bufCount, 0.0);
}

void DelayAid::setTech() {
  const wexa_parameters& p = params[techGen];
  Rd = p.b4 * kilo_unit / driverSize;
  Cd = driverSize * p.b3;
  t0 = p.b2;
  Rb = p.b4 * kilo_unit / bufferSize;
  Cb = bufferSize * p.b3;
  for (int i = 0; i < bufCount; ++i) {
    bufR[i] = p.b4 * kilo_unit / bufSizes[i];
    bufC[i] = bufSizes[i] * p.b3;
    bufT[i] = p.b2;
  }
  setLcrtWidthSpacing();
}

void DelayAid::setLcrtWidthSpacing() {
  lcrit.clear();
  width.clear();
  spacing.clear();
  std::cout << "Set Width and Spacing: \n";
  for (int i = 0; i <= layers[techGen]; ++i) {
    const double Lc = std::floor(Lcrit(Rb, Cb, Rb, Cb, t0, i + 1, techGen));
    lcrit.push_back(Lc * kilo_unit);
    const double w = std::floor(Wows(Lc, Rb, Cb, i + 1, techGen) * kilo_unit * 0.5);
    width.push_back(w);
    spacing.push_back(w);
    std::cout << "Layer " << i << " width = " << w << " spacing = " << w << "\n";
  }
}

template <class F>
void DelayAid::forEachCriticalInput(int layer, F&& f) const {
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(techGen, layer + 1, p1, p2, p3, b2, b3, b4);
  for (double v :
       {static_cast<double>(optStyle), static_cast<double>(techGen), p1, p2, p3, b2, Rd, Cd, t0})
    f(v);
  if (optStyle == BIWS) {
    f(Rb);
    f(Cb);
    return;
  }
  f(static_cast<double>(bufCount));
  for (int i = 0; i < bufCount; ++i) {
    f(bufR[i]);
    f(bufC[i]);
    f(bufT[i]);
  }
}

TbiwsCriticalLengths* DelayAid::criticalLengths(int layer) const {
  if (layer < 0 || layer >= layer_upper_bound) return nullptr;
  if (criticalCache_.empty()) criticalCache_.resize(layer_upper_bound);
  LayerCriticalLengths& kept = criticalCache_[layer];
  std::size_t i = 0;
  bool same = true;
  forEachCriticalInput(layer, [&](double v) {
    same = same && i < kept.inputs.size() && kept.inputs[i] == v;
    ++i;
  });
  if (!same || i != kept.inputs.size()) {
    kept.inputs.clear();
    forEachCriticalInput(layer, [&](double v) { kept.inputs.push_back(v); });
    kept.lengths.assign(optStyle == BIWS ? 1 : std::max(bufCount, 0), TbiwsCriticalLengths{});
  }
  return kept.lengths.data();
}

double DelayAid::findDelay(int layer, double length) const {
  const double l = length / kilo_unit;
  const int n = layer + 1;
  double d = 0.0;
  switch (optStyle) {
    case OWS:
      d = Tows_all(l, Rd, Cd, t0, n, techGen);
      break;
    case BIWS:
      if (TbiwsCriticalLengths* crit = criticalLengths(layer))
        d = Tbiws(l, Rd, Cd, Rb, Cb, t0, n, techGen, *crit);
      else
        d = Tbiws(l, Rd, Cd, Rb, Cb, t0, n, techGen);
      break;
    case BISWS:
      if (TbiwsCriticalLengths* crit = criticalLengths(layer))
        d = Tbisws(l, Rd, Cd, bufR.data(), bufC.data(), bufT.data(), bufCount, n, techGen, crit);
      else
        d = Tbisws(l, Rd, Cd, bufR.data(), bufC.data(), bufT.data(), bufCount, n, techGen);
      break;
    default:
      d = 0.0;
      break;
  }
  return std::floor(d);
}

double DelayAid::findLength(int layer, double delay, double start) const {
  if (std::isnan(delay)) return -1.0;
  if (!(start > 0.0) || std::isinf(start)) start = 2000000.0;
  // Bracket [lo, hi] with the delay not reached at lo and reached at hi.
  double lo = 0.0;
  double hi = start;
  for (int doublings = 0; findDelay(layer, hi) < delay; ++doublings) {
    if (doublings == maxDoublings) return -1.0;
    lo = hi;
    hi *= 2.0;
  }
  while (hi - lo > 1.0) {
    const double mid = (lo + hi) / 2.0;
    if (findDelay(layer, mid) < delay) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return std::round(hi);
}

int DelayAid::findLowestLayer(double length, double delay) const {
  for (int i = 0; i <= layers[techGen]; ++i)
    if (findDelay(i, length) < delay) return i;
  return -1;
}

std::string DelayAid::printTechGen(int gen) {
  switch (gen) {
    case 1:
      return "0.25";
    case 2:
      return "0.18";
    case 3:
      return "0.13";
    case 4:
      return "0.10";
    case 5:
      return "0.07";
    default:
      return "unknown";
  }
}

std::string DelayAid::printOptTech(int style) {
  if (style <= OWS) return "OWS";
  if (style == BIWS) return "BIWS";
  if (style == BISWS) return "BISWS";
  return "UNKNOWN";
}

int DelayAid::overrideWidthSpace(const std::string& fileName) {
  // A file the user names is read or refused: it must give at least one pair.
  std::ifstream in;
  const std::string problem = osvo::openInputFile(fileName, in);
  if (!problem.empty())
    throw osvo::Error("Error: cannot read width and spacing file " + fileName + ": " + problem +
                      "\n");
  WidthSpace table = readWidthSpace(in, fileName, layers[techGen] + 1);
  return overrideWidthSpace(table.width, table.spacing);
}

int DelayAid::overrideWidthSpace(std::vector<double>& newWidth, std::vector<double>& newSpacing) {
  int pairs = 0;
  for (int i = 0; i <= layers[techGen]; ++i) {
    if (static_cast<size_t>(i) >= newWidth.size() || static_cast<size_t>(i) >= newSpacing.size())
      break;
    width[i] = newWidth[i];
    spacing[i] = newSpacing[i];
    ++pairs;
  }
  if (pairs == 0) return 0;
  printWidthSpacing();
  return 1;
}

void DelayAid::printWidthSpacing() const {
  std::cout << "Override width and spacing\n";
  for (size_t i = 0; i < width.size(); ++i)
    std::cout << "Layer " << i << " width = " << width[i] << " spacing = " << spacing[i] << "\n";
}
