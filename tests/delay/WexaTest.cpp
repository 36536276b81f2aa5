// Free functions and tables of the WEXA interconnect model.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "Capture.h"
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

TEST_F(WexaTest, LambertEndsOnEveryArgument) {
  EXPECT_EQ(Lambert(0.0), 0.0);
  EXPECT_EQ(Lambert(-1e-5), 0.0);
  EXPECT_NEAR(Lambert(std::numbers::e), 1.0, 1e-5);
  EXPECT_LT(std::fabs(Lambert(10.0) * std::exp(Lambert(10.0)) - 10.0), 1e-5);
  const double w = Lambert(1e30);
  EXPECT_NEAR(w * std::exp(w) / 1e30, 1.0, 1e-12);
  EXPECT_NEAR(Lambert(-0.2), -0.259171, 1e-3);
  EXPECT_TRUE(std::isnan(Lambert(-1.0)));
  EXPECT_TRUE(std::isnan(Lambert(std::numeric_limits<double>::quiet_NaN())));
}

TEST_F(WexaTest, TablesAndDegenerateWires) {
  // A tier without parameters leaves the bare driver charging its load.
  for (int g : {1, 2})
    for (int n : {7, 8}) EXPECT_DOUBLE_EQ(segDelay(10.0, R, C, n, g), 0.001 * R * C);
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(26, 1, p1, p2, p3, b2, b3, b4);  // outside the tables: empty
  EXPECT_EQ(p1 + b2 + b4, 0.0);

  // Degenerate wires stay finite.
  EXPECT_DOUBLE_EQ(segDelay(0.0, R, C, 1, G5), 0.001 * R * C);
  EXPECT_DOUBLE_EQ(segDelay(-3.0, R, C, 1, G5), 0.001 * R * C);
  EXPECT_NEAR(segDelay(0.005, R, C, 1, G5), 0.001 * R * C, 1e-3);
  EXPECT_TRUE(std::isfinite(segDelay(10.0, R, 0.0, 1, G5)));
  EXPECT_EQ(Wows(100.0, 0.0, 0.0, 1, 0), 0.0);
  EXPECT_DOUBLE_EQ(Tows_all(50.0, R, C, 0.0, 1, G5), Tows(50.0, R, C, 1, G5) + 29.8);
  EXPECT_LT(Tows(5000.0, R, C, 7, G5), Tows(5000.0, R, C, 1, G5));  // wide upper tiers
}

TEST_F(WexaTest, OneBufferAtTheBestPlace) {
  const double L = 3000.0;
  for (double drv : {22.1, 221.0, 2210.0}) {
    const double a = alpha(drv, C, R, C, T, G5, 1, L);
    ASSERT_TRUE(a >= 0.02 && a <= 0.98);
    for (double f = 0.02; f <= 0.98; f += 0.04)
      EXPECT_LE(T1buf(drv, C, R, C, T, G5, 1, L, a), T1buf(drv, C, R, C, T, G5, 1, L, f) * 1.001);
  }
  EXPECT_TRUE(osvotest::throwsError([&] { T1buf(R, C, R, C, T, G5, 1, L, 1.5); },
                                    "^a1 is error\\.\n$", osvo::kExitBadInput, osvo::Stream::Out));
}

TEST_F(WexaTest, CriticalLengthAndBufferedWire) {
  for (int n : {1, 5, 7}) {
    const double L = Lcrit(R, C, R, C, T, n, G5);
    ASSERT_TRUE(L > 100.0 && L < 100000.0);
    // The gap is within 0.01 or changes sign within half a unit.
    if (std::fabs(gapOfOneBuffer(n, L)) > 0.01) {
      EXPECT_GT(gapOfOneBuffer(n, L - 0.5), 0.0) << n;
      EXPECT_LT(gapOfOneBuffer(n, L + 0.5), 0.0) << n;
    }
    EXPECT_LT(gapOfOneBuffer(n, 2.0 * L), 0.0);
  }
  EXPECT_EQ(Lcrit(0.0, 0.0, 0.0, 0.0, 0.0, 1, 0), 100000.0);

  // Below the critical length the wire is unbuffered (an intrinsic delay of 0 means b2).
  const double Lc = Lcrit(R, C, R, C, T, 1, G5);
  EXPECT_DOUBLE_EQ(Tbiws(0.5 * Lc, R, C, R, C, 0.0, 1, G5), Tows_all(0.5 * Lc, R, C, T, 1, G5));
  const double Rb[] = {221.0}, Cb[] = {6.6}, tb[] = {T};
  EXPECT_EQ(Tbisws(2e4, R, C, Rb, Cb, tb, 0, 1, G5), 1e8);
}

TEST_F(WexaTest, UserGenerations) {
  int g = 0, n = 3;
  set_tech_params(g, n, 0.1, 0.2, 0.3, 40.0, 0.05, 20.0);
  EXPECT_EQ(g, 6);
  double p1, p2, p3, b2, b3, b4;
  get_tech_params(6, 4, p1, p2, p3, b2, b3, b4);
  EXPECT_EQ(std::vector<double>({p1, p3, b2, b4}), std::vector<double>({0.1, 0.3, 40.0, 20.0}));
  int badLayer = 12;
  set_tech_params(g = 99, badLayer, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(g, 7);  // the next free slot
  EXPECT_EQ(badLayer, layer_count);

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
