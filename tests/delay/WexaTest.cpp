// Free functions and tables of the WEXA interconnect model.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "delay/Wexa.h"

namespace {

constexpr int gen5 = 5;
constexpr double R = 221.0;  // driver of size 100 in generation 5
constexpr double C = 6.6;

class WexaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wexa_init();
    gen_count = gen_lower_bound;
  }
};

// Lambert W by Newton's method, to full precision (x >= 0).
double preciseW(double x) {
  double w = x < 1.0 ? x : std::log(x);
  for (int i = 0; i < 100; ++i) w -= (w * std::exp(w) - x) / (std::exp(w) * (1 + w));
  return w;
}

// The segment delay written out independently, with an exact Lambert W.
double referenceDelay(double l, double r, double c, double p1, double p2, double p3) {
  const double q = p1 * p2 / 4;
  const double w = preciseW(0.5 * l * std::sqrt(p1 * p2 / (r * c)));
  return 0.001 * l * (std::sqrt(r * p1 * p2 * p3 * l) + r * p3 + 2 * q * l / w + q * l / (w * w));
}

double gapOfOneBuffer(double R1, double C1, double R2, double C2, double t, int n, int g,
                      double L) {
  const double a = alpha(R1, C1, R2, C2, t, g, n, L);
  return segDelay(a * L, R1, C2, n, g) + t + Tows((1 - a) * L, R2, C1, n, g) -
         Tows(L, R1, C1, n, g);
}

TEST_F(WexaTest, LambertSolvesTheDefiningEquation) {
  EXPECT_EQ(Lambert(0.0), 0.0);
  EXPECT_EQ(Lambert(1e-5), 0.0);
  EXPECT_EQ(Lambert(-1e-5), 0.0);
  EXPECT_NEAR(Lambert(std::numbers::e), 1.0, 1e-5);
  for (double x : {2e-5, 0.01, 0.5, 2.0, 10.0, 1e3, 1e6}) {
    const double w = Lambert(x);
    EXPECT_LT(std::fabs(w * std::exp(w) - x), 1e-5) << x;
  }
  EXPECT_NEAR(Lambert(1.0), 0.567143, 1e-5);
}

TEST_F(WexaTest, LambertEndsOnPathologicalArguments) {
  // So large that the residual cannot reach the tolerance in double precision.
  const double w = Lambert(1e30);
  EXPECT_NEAR(w * std::exp(w) / 1e30, 1.0, 1e-12);
  EXPECT_TRUE(std::isinf(Lambert(std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(std::isnan(Lambert(std::numeric_limits<double>::quiet_NaN())));
  // Negative arguments: principal branch where it is real, NaN below -1/e.
  EXPECT_NEAR(Lambert(-0.2), -0.259171, 1e-3);
  EXPECT_NEAR(Lambert(-1.0 / std::numbers::e), -1.0, 1e-2);
  EXPECT_TRUE(std::isnan(Lambert(-1.0)));
}

TEST_F(WexaTest, TablesHoldTheBuiltInGenerations) {
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(gen5, 1, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(p1, 0.095);
  EXPECT_EQ(p2, 0.056);
  EXPECT_EQ(p3, 0.04);
  EXPECT_EQ(b2, 29.8);
  EXPECT_EQ(b3, 0.066);
  EXPECT_EQ(b4, 22.1);
  get_tech_params(1, 6, p1, p2, p3, b2, b3, b4);  // layers 5 and 6 share row 2
  EXPECT_EQ(p1, 0.013);
  EXPECT_EQ(p2, 0.0125);
  EXPECT_EQ(p3, 0.154);
  EXPECT_EQ(b2, 86.6);
  get_tech_params(3, 8, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(p3, 0.0782);
  EXPECT_EQ(basic_params[4][0], 0.10);
  for (int g = 1; g <= gen_upper_bound; ++g) EXPECT_EQ(gen_tag[g], g <= 5 ? 1 : 0) << g;
}

TEST_F(WexaTest, MissingTiersReadZero) {
  double p1, p2, p3, b2, b3, b4;
  for (int g : {1, 2}) {
    for (int n : {7, 8}) {
      get_tech_params(g, n, p1, p2, p3, b2, b3, b4);
      EXPECT_EQ(p1 + p2 + p3, 0.0) << g << " " << n;
      EXPECT_GT(b2, 0.0);
      // A tier without parameters leaves the bare driver into its load.
      EXPECT_DOUBLE_EQ(segDelay(10.0, R, C, n, g), 0.001 * R * C);
    }
  }
  for (int g : {0, 26, -1}) {
    get_tech_params(g, 1, p1, p2, p3, b2, b3, b4);
    EXPECT_EQ(p1 + p2 + p3 + b2 + b3 + b4, 0.0) << g;
  }
  get_tech_params(gen5, 9, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(p1 + p2 + p3, 0.0);
  EXPECT_EQ(b2, 29.8);
}

// Lambert stops at an absolute residual of 1e-5, so for arguments near that size
// (wires of a few length units) its result, and the delay, are coarse; the
// comparison uses lengths where it is accurate.
TEST_F(WexaTest, SegmentDelayFollowsTheClosedForm) {
  for (int n : {1, 3, 5, 7}) {
    double p1, p2, p3, b2, b3, b4;
    get_tech_params(gen5, n, p1, p2, p3, b2, b3, b4);
    for (double l : {100.0, 1000.0, 5000.0}) {
      const double expected = referenceDelay(l, R, C, p1, p2, p3);
      EXPECT_NEAR(segDelay(l, R, C, n, gen5), expected, 1e-3 * expected) << n << " " << l;
      EXPECT_EQ(Tows(l, R, C, n, gen5), segDelay(l, R, C, n, gen5));
    }
  }
  // Upper layers are wider and thicker: a long wire is faster there.
  EXPECT_LT(Tows(5000.0, R, C, 7, gen5), Tows(5000.0, R, C, 1, gen5));
}

TEST_F(WexaTest, SegmentDelayStaysFiniteForDegenerateWires) {
  // Zero length: the driver charging its load.
  EXPECT_DOUBLE_EQ(segDelay(0.0, R, C, 1, gen5), 0.001 * R * C);
  EXPECT_DOUBLE_EQ(segDelay(-3.0, R, C, 1, gen5), 0.001 * R * C);
  // Too short for Lambert: close to the zero-length value, not infinite.
  const double shortWire = segDelay(0.005, R, C, 1, gen5);
  EXPECT_TRUE(std::isfinite(shortWire));
  EXPECT_NEAR(shortWire, 0.001 * R * C, 1e-3);
  EXPECT_TRUE(std::isfinite(segDelay(10.0, R, 0.0, 1, gen5)));
  EXPECT_EQ(segDelay(10.0, 0.0, 0.0, 1, 0), 0.0);
}

TEST_F(WexaTest, TowsAllAddsTheIntrinsicDelay) {
  const double wire = Tows(50.0, R, C, 1, gen5);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 0.0, 1, gen5), wire + 29.8);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 1e-16, 1, gen5), wire + 29.8);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 5.0, 1, gen5), wire + 5.0);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 0.0, 1, 1), Tows(50.0, R, C, 1, 1) + 86.6);
}

TEST_F(WexaTest, WowsIsTheOptimalWidth) {
  // sqrt((2C + p3 l) p1 / (2 R p2)) on layer 1 of generation 5.
  EXPECT_DOUBLE_EQ(Wows(100.0, R, C, 1, gen5),
                   std::sqrt((2 * C + 0.04 * 100.0) * 0.095 / (2 * R * 0.056)));
  EXPECT_GT(Wows(1000.0, R, C, 1, gen5), Wows(100.0, R, C, 1, gen5));
  EXPECT_EQ(Wows(100.0, 0.0, 0.0, 1, 0), 0.0);
  EXPECT_EQ(Wows(100.0, R, C, 7, 1), 0.0);
}

TEST_F(WexaTest, OneBufferSplitsTheWire) {
  const double L = 3000.0, Rb = 221.0, Cb = 6.6;
  EXPECT_DOUBLE_EQ(T1buf(R, C, Rb, Cb, 29.8, gen5, 1, L, 0.3),
                   segDelay(0.3 * L, R, Cb, 1, gen5) + 29.8 + segDelay(0.7 * L, Rb, C, 1, gen5));
  // alpha minimises T1buf over the fraction (to the accuracy of its bisection).
  for (double drv : {22.1, 221.0, 2210.0}) {
    const double a = alpha(drv, C, Rb, Cb, 29.8, gen5, 1, L);
    ASSERT_GE(a, 0.02);
    ASSERT_LE(a, 0.98);
    const double best = T1buf(drv, C, Rb, Cb, 29.8, gen5, 1, L, a);
    for (double f = 0.02; f <= 0.98; f += 0.02)
      EXPECT_LE(best, T1buf(drv, C, Rb, Cb, 29.8, gen5, 1, L, f) * (1 + 1e-3)) << drv << " " << f;
  }
  // A weak driver hands the wire to the buffer early.
  EXPECT_LT(alpha(2210.0, C, Rb, Cb, 29.8, gen5, 1, L), alpha(22.1, C, Rb, Cb, 29.8, gen5, 1, L));
}

TEST_F(WexaTest, BufferFractionOutsideTheWireIsFatal) {
  EXPECT_EXIT(T1buf(R, C, R, C, 29.8, gen5, 1, 100.0, 1.5), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(T1buf(R, C, R, C, 29.8, gen5, 1, 100.0, -0.1), ::testing::ExitedWithCode(255), "");
}

TEST_F(WexaTest, CriticalLengthIsWhereOneBufferStartsToPay) {
  for (int n : {1, 3, 5, 7}) {
    const double L = Lcrit(R, C, R, C, 29.8, n, gen5);
    ASSERT_GT(L, 100.0);
    ASSERT_LT(L, 100000.0);
    const double gap = gapOfOneBuffer(R, C, R, C, 29.8, n, gen5, L);
    if (std::fabs(gap) > 0.01) {
      // Otherwise the bisection ended on a bracket narrower than 0.5.
      EXPECT_GT(gapOfOneBuffer(R, C, R, C, 29.8, n, gen5, L - 0.5), 0.0) << n;
      EXPECT_LT(gapOfOneBuffer(R, C, R, C, 29.8, n, gen5, L + 0.5), 0.0) << n;
    }
    EXPECT_GT(gapOfOneBuffer(R, C, R, C, 29.8, n, gen5, 0.5 * L), 0.0);
    EXPECT_LT(gapOfOneBuffer(R, C, R, C, 29.8, n, gen5, 2.0 * L), 0.0);
  }
}

TEST_F(WexaTest, CriticalLengthAtTheEndsOfItsRange) {
  // A size-1 buffer in front of a large load never pays: the range's upper end.
  EXPECT_GT(Lcrit(R, C, 22100.0, 0.066, 29.8, 3, gen5), 99999.0);
  // Without parameters the gap is zero everywhere, so the upper end already is a
  // crossing before any bisection step.
  EXPECT_EQ(Lcrit(0.0, 0.0, 0.0, 0.0, 0.0, 1, 0), 100000.0);
}

TEST_F(WexaTest, BufferedWireNeverLosesToTheUnbufferedOne) {
  const double Lc = Lcrit(R, C, R, C, 29.8, 1, gen5);
  EXPECT_DOUBLE_EQ(Tbiws(0.5 * Lc, R, C, R, C, 29.8, 1, gen5),
                   Tows_all(0.5 * Lc, R, C, 29.8, 1, gen5));
  EXPECT_DOUBLE_EQ(Tbiws(100.0, R, C, R, C, 0.0, 1, gen5), Tbiws(100.0, R, C, R, C, 29.8, 1, gen5));
  double previous = 0.0;
  for (double f : {1.01, 1.5, 2.0, 3.0, 5.0, 10.0, 40.0}) {
    const double L = f * Lc;
    const double buffered = Tbiws(L, R, C, R, C, 29.8, 1, gen5);
    EXPECT_LE(buffered, Tows_all(L, R, C, 29.8, 1, gen5)) << f;
    EXPECT_GE(buffered, previous) << f;
    previous = buffered;
  }
  // A long buffered wire grows about linearly; the unbuffered one much faster.
  const double t10 = Tbiws(10 * Lc, R, C, R, C, 29.8, 1, gen5);
  const double t40 = Tbiws(40 * Lc, R, C, R, C, 29.8, 1, gen5);
  EXPECT_NEAR(t40 / t10, 4.0, 0.5);
}

TEST_F(WexaTest, BestBufferSizeIsTheMinimum) {
  const double Rb[] = {22100.0, 221.0, 55.25};
  const double Cb[] = {0.066, 6.6, 26.4};
  const double tb[] = {29.8, 29.8, 29.8};
  const double L = 20000.0;
  const double best = Tbisws(L, R, C, Rb, Cb, tb, 3, 1, gen5);
  double expected = Tbiws(L, R, C, Rb[0], Cb[0], tb[0], 1, gen5);
  for (int i = 1; i < 3; ++i)
    expected = std::min(expected, Tbiws(L, R, C, Rb[i], Cb[i], tb[i], 1, gen5));
  EXPECT_EQ(best, expected);
  EXPECT_EQ(Tbisws(L, R, C, Rb, Cb, tb, 0, 1, gen5), 1e8);
}

TEST_F(WexaTest, UserGenerationsTakeFreeSlots) {
  int g = 0, n = 3;
  set_tech_params(g, n, 0.1, 0.2, 0.3, 40.0, 0.05, 20.0);
  EXPECT_EQ(g, 6);
  EXPECT_EQ(n, 3);
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(6, 4, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(p1, 0.1);
  EXPECT_EQ(p3, 0.3);
  EXPECT_EQ(b2, 40.0);
  EXPECT_EQ(b4, 20.0);
  EXPECT_EQ(gen_tag[6], 1);

  int explicitGen = 8, badLayer = 12;
  set_tech_params(explicitGen, badLayer, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(explicitGen, 8);
  EXPECT_EQ(badLayer, layer_count);
  int next = 99, layer = 1;
  set_tech_params(next, layer, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(next, 7);
  next = -1;
  set_tech_params(next, layer, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(next, 9);  // 8 is taken
}

TEST_F(WexaTest, ExhaustedUserSlotsStartAgain) {
  for (int s = gen_lower_bound; s <= gen_upper_bound; ++s) gen_tag[s] = 1;
  int g = 3, n = 1;
  ::testing::internal::CaptureStderr();
  set_tech_params(g, n, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "\nAll available gen_n has been used by you, I have to use gen_n from #6. \n"
            "That may erase some of your previous settings.\n");
  EXPECT_EQ(g, 6);
  for (int s = 7; s <= gen_upper_bound; ++s) EXPECT_EQ(gen_tag[s], 0) << s;
  // The built-in generations are never overwritten.
  EXPECT_EQ(basic_params[3][2], 54.4);
}

}  // namespace
