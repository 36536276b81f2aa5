// Free functions and tables of the WEXA interconnect model.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "delay/Wexa.h"

namespace {

constexpr int G5 = 5;
constexpr double R = 221.0, C = 6.6, T = 29.8;  // size-100 driver of generation 5

class WexaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wexa_init();
    gen_count = gen_lower_bound;
  }
};

double gapOfOneBuffer(int n, double L) {
  const double a = alpha(R, C, R, C, T, G5, n, L);
  return segDelay(a * L, R, C, n, G5) + T + Tows((1 - a) * L, R, C, n, G5) - Tows(L, R, C, n, G5);
}

TEST_F(WexaTest, Lambert) {
  EXPECT_EQ(Lambert(0.0), 0.0);
  EXPECT_EQ(Lambert(-1e-5), 0.0);
  EXPECT_NEAR(Lambert(std::numbers::e), 1.0, 1e-5);
  for (double x : {2e-5, 0.5, 10.0, 1e6}) {
    const double w = Lambert(x);
    EXPECT_LT(std::fabs(w * std::exp(w) - x), 1e-5) << x;
  }
  // Pathological arguments end: too large for the absolute tolerance, negative, NaN.
  const double w = Lambert(1e30);
  EXPECT_NEAR(w * std::exp(w) / 1e30, 1.0, 1e-12);
  EXPECT_NEAR(Lambert(-0.2), -0.259171, 1e-3);
  EXPECT_TRUE(std::isnan(Lambert(-1.0)));
  EXPECT_TRUE(std::isnan(Lambert(std::numeric_limits<double>::quiet_NaN())));
}

TEST_F(WexaTest, Tables) {
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(G5, 2, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(std::vector<double>({p1, p2, p3, b2, b3, b4}),
            std::vector<double>({0.095, 0.056, 0.04, 29.8, 0.066, 22.1}));
  get_tech_params(1, 5, p1, p2, p3, b2, b3, b4);  // layers 5 and 6 share row 2
  EXPECT_EQ(std::vector<double>({p1, p2, p3, b2}),
            std::vector<double>({0.013, 0.0125, 0.154, 86.6}));
  for (int g : {1, 2}) {
    for (int n : {7, 8}) {
      get_tech_params(g, n, p1, p2, p3, b2, b3, b4);
      EXPECT_EQ(p1 + p2 + p3, 0.0) << g << n;
      // A tier without parameters leaves the bare driver charging its load.
      EXPECT_DOUBLE_EQ(segDelay(10.0, R, C, n, g), 0.001 * R * C);
    }
  }
  get_tech_params(26, 1, p1, p2, p3, b2, b3, b4);  // outside the tables: empty
  EXPECT_EQ(p1 + b2 + b4, 0.0);
  for (int g = 1; g <= gen_upper_bound; ++g) EXPECT_EQ(gen_tag[g], g <= 5 ? 1 : 0) << g;
}

TEST_F(WexaTest, SegmentDelay) {
  // The closed form with an exact Lambert W (by Newton). Lambert's absolute
  // tolerance makes very short wires coarse, so the lengths are long ones.
  for (int n : {1, 7}) {
    double p1, p2, p3, b2, b3, b4;
    get_tech_params(G5, n, p1, p2, p3, b2, b3, b4);
    for (double l : {100.0, 5000.0}) {
      const double x = 0.5 * l * std::sqrt(p1 * p2 / (R * C));
      double w = x < 1 ? x : std::log(x);
      for (int i = 0; i < 60; ++i) w -= (w * std::exp(w) - x) / (std::exp(w) * (1 + w));
      const double q = p1 * p2 / 4;
      const double d =
          0.001 * l * (std::sqrt(R * p1 * p2 * p3 * l) + R * p3 + 2 * q * l / w + q * l / (w * w));
      EXPECT_NEAR(segDelay(l, R, C, n, G5), d, 1e-3 * d) << n << " " << l;
    }
  }
  EXPECT_LT(Tows(5000.0, R, C, 7, G5), Tows(5000.0, R, C, 1, G5));  // wide upper tiers
  // Degenerate wires stay finite: zero or negative length, too short for Lambert, no load.
  EXPECT_DOUBLE_EQ(segDelay(0.0, R, C, 1, G5), 0.001 * R * C);
  EXPECT_DOUBLE_EQ(segDelay(-3.0, R, C, 1, G5), 0.001 * R * C);
  EXPECT_NEAR(segDelay(0.005, R, C, 1, G5), 0.001 * R * C, 1e-3);
  EXPECT_TRUE(std::isfinite(segDelay(10.0, R, 0.0, 1, G5)));

  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 0.0, 1, G5), Tows(50.0, R, C, 1, G5) + 29.8);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 5.0, 1, G5), Tows(50.0, R, C, 1, G5) + 5.0);
  EXPECT_DOUBLE_EQ(Wows(100.0, R, C, 1, G5), std::sqrt((2 * C + 4.0) * 0.095 / (2 * R * 0.056)));
  EXPECT_EQ(Wows(100.0, 0.0, 0.0, 1, 0), 0.0);
}

TEST_F(WexaTest, OneBuffer) {
  const double L = 3000.0;
  EXPECT_DOUBLE_EQ(T1buf(R, C, 55.0, 26.4, T, G5, 1, L, 0.3),
                   segDelay(0.3 * L, R, 26.4, 1, G5) + T + segDelay(0.7 * L, 55.0, C, 1, G5));
  for (double drv : {22.1, 221.0, 2210.0}) {
    const double a = alpha(drv, C, R, C, T, G5, 1, L);
    ASSERT_TRUE(a >= 0.02 && a <= 0.98);
    for (double f = 0.02; f <= 0.98; f += 0.04)
      EXPECT_LE(T1buf(drv, C, R, C, T, G5, 1, L, a), T1buf(drv, C, R, C, T, G5, 1, L, f) * 1.001);
  }
  EXPECT_EXIT(T1buf(R, C, R, C, T, G5, 1, L, 1.5), ::testing::ExitedWithCode(255), "");
}

TEST_F(WexaTest, CriticalLength) {
  for (int n : {1, 5, 7}) {
    const double L = Lcrit(R, C, R, C, T, n, G5);
    ASSERT_TRUE(L > 100.0 && L < 100000.0);
    // The gap is within 0.01 or changes sign inside the final half-unit bracket.
    if (std::fabs(gapOfOneBuffer(n, L)) > 0.01) {
      EXPECT_GT(gapOfOneBuffer(n, L - 0.5), 0.0) << n;
      EXPECT_LT(gapOfOneBuffer(n, L + 0.5), 0.0) << n;
    }
    EXPECT_LT(gapOfOneBuffer(n, 2.0 * L), 0.0);
  }
  // A size-1 buffer in front of a large load never pays off.
  EXPECT_GT(Lcrit(R, C, 22100.0, 0.066, T, 3, G5), 99999.0);
  // Flat zero gap: the upper end is a crossing before any bisection step.
  EXPECT_EQ(Lcrit(0.0, 0.0, 0.0, 0.0, 0.0, 1, 0), 100000.0);
}

TEST_F(WexaTest, BufferedWire) {
  const double Lc = Lcrit(R, C, R, C, T, 1, G5);
  EXPECT_DOUBLE_EQ(Tbiws(0.5 * Lc, R, C, R, C, 0.0, 1, G5), Tows_all(0.5 * Lc, R, C, T, 1, G5));
  double previous = 0.0;
  for (double f : {1.01, 1.5, 2.0, 3.0, 5.0, 10.0, 40.0}) {
    const double buffered = Tbiws(f * Lc, R, C, R, C, T, 1, G5);
    EXPECT_LE(buffered, Tows_all(f * Lc, R, C, T, 1, G5)) << f;
    EXPECT_GE(buffered, previous) << f;
    previous = buffered;
  }
  // Optimally buffered wires grow linearly.
  EXPECT_NEAR(Tbiws(40 * Lc, R, C, R, C, T, 1, G5) / Tbiws(10 * Lc, R, C, R, C, T, 1, G5), 4.0,
              0.5);

  const double Rb[] = {22100.0, 221.0, 55.25}, Cb[] = {0.066, 6.6, 26.4}, tb[] = {T, T, T};
  double best = 1e300;
  for (int i = 0; i < 3; ++i) best = std::min(best, Tbiws(2e4, R, C, Rb[i], Cb[i], tb[i], 1, G5));
  EXPECT_EQ(Tbisws(2e4, R, C, Rb, Cb, tb, 3, 1, G5), best);
  EXPECT_EQ(Tbisws(2e4, R, C, Rb, Cb, tb, 0, 1, G5), 1e8);
}

TEST_F(WexaTest, UserGenerations) {
  int g = 0, n = 3;
  set_tech_params(g, n, 0.1, 0.2, 0.3, 40.0, 0.05, 20.0);
  EXPECT_EQ(g, 6);
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(6, 4, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(std::vector<double>({p1, p3, b2, b4}), std::vector<double>({0.1, 0.3, 40.0, 20.0}));
  int explicitGen = 7, badLayer = 12;
  set_tech_params(explicitGen, badLayer, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(explicitGen, 7);
  EXPECT_EQ(badLayer, layer_count);
  g = 99;
  set_tech_params(g, n, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(g, 8);  // 7 is taken

  for (int s = gen_lower_bound; s <= gen_upper_bound; ++s) gen_tag[s] = 1;
  ::testing::internal::CaptureStderr();
  set_tech_params(g = 3, n, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "\nAll available gen_n has been used by you, I have to use gen_n from #6. \n"
            "That may erase some of your previous settings.\n");
  EXPECT_EQ(g, 6);
  EXPECT_EQ(gen_tag[7], 0);
  EXPECT_EQ(basic_params[3][2], 54.4);  // built-in generations are never overwritten
}

}  // namespace
