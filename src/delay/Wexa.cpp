#include "delay/Wexa.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <numbers>
#include <vector>

#include "support/Error.h"

int gen_count = gen_lower_bound;
std::array<int, gen_upper_bound + 1> gen_tag{};
std::array<BasicRow, gen_upper_bound + 1> basic_params{};
std::array<TierRows, gen_upper_bound + 1> tier_related_params{};

// b0 feature size, b1 (kept, unused), b2 intrinsic delay, b3 unit driver
// capacitance, b4 unit driver resistance in thousands.
const std::array<double, basic_data_size> basic_params_data = {
    0.25, 0.34, 86.6, 0.282, 16.2,  // 0.25 um
    0.18, 0.24, 66.4, 0.234, 17.1,  // 0.18 um
    0.13, 0.17, 54.4, 0.135, 22.1,  // 0.13 um
    0.10, 0.14, 50.1, 0.072, 23.4,  // 0.10 um
    0.07, 0.10, 29.8, 0.066, 22.1,  // 0.07 um
};

// Four tier rows (p1, p2, p3) per generation; generations 1 and 2 have no fourth tier.
const std::array<double, tier_data_size> tier_related_params_data = {
    0.073, 0.059, 0.082, 0.016, 0.021,  0.206, 0.013,  0.0125, 0.154, 0,      0,      0,
    0.068, 0.06,  0.064, 0.011, 0.0176, 0.16,  0.0088, 0.0097, 0.119, 0,      0,      0,
    0.081, 0.046, 0.043, 0.018, 0.0128, 0.103, 0.011,  0.0067, 0.104, 0.0088, 0.0043, 0.0782,
    0.092, 0.053, 0.045, 0.022, 0.0136, 0.103, 0.011,  0.0074, 0.103, 0.0088, 0.0043, 0.0782,
    0.095, 0.056, 0.04,  0.03,  0.0163, 0.089, 0.012,  0.0077, 0.088, 0.0075, 0.0035, 0.0904,
};

namespace {

constexpr double lambertTolerance = 1e-5;
constexpr double slopeTolerance = 1e-6;
constexpr double slopeStep = 0.01;
constexpr double alphaLow = 0.02;
constexpr double alphaHigh = 0.98;
constexpr double critLow = 100.0;
constexpr double critHigh = 100000.0;
constexpr double gapTolerance = 0.01;

// A buffer position must be a fraction of the wire; anything else ends the run.
[[noreturn]] void bufferFractionError() {
  throw osvo::Error("a1 is error.\n", osvo::kExitBadInput, osvo::Stream::Out);
}

void checkFraction(double a) {
  if (!(a >= 0.0 && a <= 1.0)) bufferFractionError();
}

bool validGen(int g) {
  return g >= 0 && g <= gen_upper_bound;
}
bool validLayer(int n) {
  return n >= layer_lower_bound && n <= layer_upper_bound;
}
int tierRow(int n) {
  return (n - 1) / 2;
}

double intrinsicDelay(double t, int g) {
  if (t > tg_err) return t;
  return validGen(g) ? basic_params[g][2] : 0.0;
}

}  // namespace

void wexa_init() {
  for (int g = 1; g <= builtin_gen_count; ++g) {
    for (int i = 0; i < basic_param_count; ++i)
      basic_params[g][i] = basic_params_data[(g - 1) * basic_param_count + i];
    for (int r = 0; r < tier_row_count; ++r)
      for (int i = 0; i < tier_param_count; ++i)
        tier_related_params[g][r][i] =
            tier_related_params_data[((g - 1) * tier_row_count + r) * tier_param_count + i];
  }
  for (int g = 1; g <= gen_upper_bound; ++g) gen_tag[g] = g <= builtin_gen_count ? 1 : 0;
}

void get_tech_params(int g, int n, double& p1, double& p2, double& p3, double& b2, double& b3,
                     double& b4) {
  p1 = p2 = p3 = b2 = b3 = b4 = 0.0;
  if (!validGen(g)) return;
  b2 = basic_params[g][2];
  b3 = basic_params[g][3];
  b4 = basic_params[g][4];
  if (!validLayer(n)) return;
  const TierRow& row = tier_related_params[g][tierRow(n)];
  p1 = row[0];
  p2 = row[1];
  p3 = row[2];
}

void set_tech_params(int& g, int& n, double p1, double p2, double p3, double b2, double b3,
                     double b4) {
  constexpr int userSlots = gen_upper_bound - gen_lower_bound + 1;
  if (g < gen_lower_bound || g > gen_upper_bound) {
    if (gen_count < gen_lower_bound || gen_count > gen_upper_bound) gen_count = gen_lower_bound;
    int slot = 0;
    for (int i = 0; i < userSlots && slot == 0; ++i) {
      int s = gen_count + i;
      if (s > gen_upper_bound) s -= userSlots;
      if (gen_tag[s] == 0) slot = s;
    }
    if (slot == 0) {
      std::cerr << "\nAll available gen_n has been used by you, I have to use gen_n from #"
                << gen_lower_bound << ". \nThat may erase some of your previous settings.\n";
      for (int s = gen_lower_bound; s <= gen_upper_bound; ++s) gen_tag[s] = 0;
      slot = gen_lower_bound;
    }
    g = slot;
    gen_count = slot < gen_upper_bound ? slot + 1 : gen_lower_bound;
  }
  gen_tag[g] = 1;
  if (!validLayer(n)) n = layer_count;
  basic_params[g][2] = b2;
  basic_params[g][3] = b3;
  basic_params[g][4] = b4;
  tier_related_params[g][tierRow(n)] = {p1, p2, p3};
}

double Lambert(double x) {
  if (std::isnan(x)) return x;
  if (std::fabs(x) <= lambertTolerance) return 0.0;
  if (std::isinf(x)) return x > 0 ? x : std::numeric_limits<double>::quiet_NaN();
  auto residual = [x](double w) { return w * std::exp(w) - x; };
  double lo = 0.0;
  double hi = x > std::numbers::e ? std::log(x) : 1.0;
  if (x < 0.0) {
    // The principal branch is real only from -1/e on, where it lies in [-1, 0).
    if (x < -1.0 / std::numbers::e) return std::numeric_limits<double>::quiet_NaN();
    lo = -1.0;
    hi = 0.0;
  }
  if (std::fabs(residual(hi)) < lambertTolerance) return hi;
  const double residualLow = residual(lo);
  if (std::fabs(residualLow) < lambertTolerance) return lo;  // only at the branch point -1/e
  const bool loNegative = residualLow < 0.0;
  for (;;) {
    const double mid = 0.5 * (lo + hi);
    const double rm = residual(mid);
    if (std::fabs(rm) < lambertTolerance) return mid;
    // For very large x the residual cannot get below the tolerance in double
    // precision; stop once the bracket cannot be split any further.
    if (mid <= lo || mid >= hi) return mid;
    if ((rm < 0.0) != loNegative) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
}

double segDelay(double l, double R, double C, int n, int g) {
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(g, n, p1, p2, p3, b2, b3, b4);
  if (l < 0.0) l = 0.0;
  const double q = p1 * p2 / 4;
  const double rc = R * C;
  if (rc > 0.0) {
    const double w = Lambert(0.5 * l * std::sqrt(p1 * p2 / (R * C)));
    if (w > 0.0)
      return mini_unit * l *
             (std::sqrt(R * p1 * p2 * p3 * l) + R * p3 + 2 * q * l / w + q * l / (w * w));
  }
  // The sizing terms 2ql/w + ql/w^2 divide by w. For an argument too small for
  // Lambert (short wire, or a tier without parameters) W(x) is x to first order,
  // which turns l times those terms into l sqrt(p1 p2 R C) + R C; without driver
  // resistance or load w grows without bound and they vanish.
  const double sizing = rc > 0.0 ? l * std::sqrt(p1 * p2 * rc) + rc : 0.0;
  return mini_unit * (l * (std::sqrt(R * p1 * p2 * p3 * l) + R * p3) + sizing);
}

double Tows(double l, double R, double C, int n, int g) {
  return segDelay(l, R, C, n, g);
}

double Tows_all(double l, double R, double C, double t, int n, int g) {
  return segDelay(l, R, C, n, g) + intrinsicDelay(t, g);
}

double Wows(double l, double R, double C, int n, int g) {
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(g, n, p1, p2, p3, b2, b3, b4);
  // Without driver resistance or area capacitance there is no finite optimum.
  if (!(2 * R * p2 > 0.0)) return 0.0;
  return std::sqrt((2 * C + p3 * l) * p1 / (2 * R * p2));
}

double T1buf(double R1, double C2, double R2, double C1, double t, int g, int n, double L,
             double a) {
  checkFraction(a);
  return segDelay(a * L, R1, C1, n, g) + t + segDelay((1 - a) * L, R2, C2, n, g);
}

double alpha(double R1, double C2, double R2, double C1, double t, int g, int n, double L) {
  auto cost = [&](double a) { return T1buf(R1, C2, R2, C1, t, g, n, L, a); };
  auto slope = [&](double a) { return (cost(a + slopeStep) - cost(a - slopeStep)) * 50; };
  double dlo = slope(alphaLow);
  double dhi = slope(alphaHigh);
  if (dlo * dhi > 0) return cost(alphaHigh) <= cost(alphaLow) ? alphaHigh : alphaLow;
  double lo = alphaLow;
  double hi = alphaHigh;
  // When the slope at the upper end is already flat, that end is a stationary
  // point; it is the answer rather than a fraction of 0 (buffer at the driver).
  double result = hi;
  while (std::fabs(dhi) > slopeTolerance && hi - lo > 0.01) {
    const double mid = (lo + hi) / 2;
    if (mid + slopeStep > 1) bufferFractionError();
    const double dm = slope(mid);
    if (dm * dhi > 0) {
      hi = mid;
      dhi = dm;
    } else {
      lo = mid;
    }
    result = mid;
    if (std::fabs(dm) <= slopeTolerance) break;
  }
  return result;
}

double Lcrit(double R1, double C1, double R2, double C2, double t, int n, int g) {
  // Time gained (negative) or lost (positive) by one buffer at its best position.
  auto gap = [&](double L) {
    const double a = alpha(R1, C1, R2, C2, t, g, n, L);
    checkFraction(a);
    return segDelay(a * L, R1, C2, n, g) + t + Tows((1 - a) * L, R2, C1, n, g) -
           Tows(L, R1, C1, n, g);
  };
  double lo = critLow;
  double hi = critHigh;
  double ref = gap(lo);
  const double gapHigh = gap(hi);
  // The upper end already is a crossing (this includes a gap that is flat zero).
  if (std::fabs(gapHigh) <= gapTolerance) return hi;
  double mid = lo;
  while (hi - lo > 0.5) {
    mid = (lo + hi) / 2;
    const double gm = gap(mid);
    if (gm * ref > 0) {
      lo = mid;
      ref = gm;
    } else {
      hi = mid;
    }
    if (std::fabs(gm) <= gapTolerance) break;
  }
  return mid;
}

namespace {

// One critical length of a record: computed on first use, then kept.
double critical(double& kept, double R1, double C1, double R2, double C2, double t, int n, int g) {
  if (std::isnan(kept)) kept = Lcrit(R1, C1, R2, C2, t, n, g);
  return kept;
}

}  // namespace

double Tbiws(double L, double R, double C, double Rb, double Cb, double tb, int n, int g,
             TbiwsCriticalLengths& crit) {
  tb = intrinsicDelay(tb, g);
  const double Lc = critical(crit.driverToLoad, R, C, Rb, Cb, tb, n, g);
  if (L <= Lc) return segDelay(L, R, C, n, g) + tb;
  const double Ls = critical(crit.driverToBuffer, R, Cb, Rb, Cb, tb, n, g);
  const double Le = critical(crit.bufferToLoad, Rb, C, Rb, Cb, tb, n, g);
  if (Lc + Le < L && Ls + Le < L) {
    const double Lb = critical(crit.bufferToBuffer, Rb, Cb, Rb, Cb, tb, n, g);
    // Kept as a double: the number of stages of a very long wire may exceed int.
    const double k = std::trunc((L - Ls - Le) / Lb);
    const double r = L - Ls - k * Lb;
    double last;
    if (std::fabs(r - Le) < 1e-6) {
      last = segDelay(r, Rb, C, n, g) + tb;
    } else {
      const double a = alpha(Rb, C, Rb, Cb, tb, g, n, r);
      checkFraction(a);
      last = segDelay(a * r, Rb, Cb, n, g) + tb + Tows((1 - a) * r, Rb, C, n, g) + tb;
    }
    return (segDelay(Ls, R, Cb, n, g) + tb) + k * (segDelay(Lb, Rb, Cb, n, g) + tb) + last;
  }
  const double a = alpha(R, C, Rb, Cb, tb, g, n, L);
  checkFraction(a);
  return segDelay(a * L, R, Cb, n, g) + tb + Tows((1 - a) * L, Rb, C, n, g) + tb;
}

double Tbiws(double L, double R, double C, double Rb, double Cb, double tb, int n, int g) {
  TbiwsCriticalLengths crit;
  return Tbiws(L, R, C, Rb, Cb, tb, n, g, crit);
}

double Tbisws(double L, double R, double C, const double Rb[], const double Cb[], const double tb[],
              int k, int n, int g, TbiwsCriticalLengths crit[]) {
  if (k <= 0) return 1e8;
  double best = Tbiws(L, R, C, Rb[0], Cb[0], tb[0], n, g, crit[0]);
  for (int i = 1; i < k; ++i)
    best = std::min(best, Tbiws(L, R, C, Rb[i], Cb[i], tb[i], n, g, crit[i]));
  return best;
}

double Tbisws(double L, double R, double C, const double Rb[], const double Cb[], const double tb[],
              int k, int n, int g) {
  if (k <= 0) return 1e8;
  std::vector<TbiwsCriticalLengths> crit(static_cast<std::size_t>(k));
  return Tbisws(L, R, C, Rb, Cb, tb, k, n, g, crit.data());
}
