// The stage's guards against an undefined BIPS and an unusable "-annealSeed".
#include <gtest/gtest.h>

#include <cmath>

#include "stage/StageReport.h"

TEST(StageReport, BIPSIsUndefinedWithoutAPositiveCycleOrAFiniteIPCFactor) {
  double bips = -1;
  ASSERT_TRUE(computeBIPS(1.5, 2.0, 0.5, bips));  // the pipeline model's factor of 2
  EXPECT_DOUBLE_EQ(bips, 1.5);
  bips = -1;
  for (double cycle : {0.0, -2.0}) EXPECT_FALSE(computeBIPS(1.5, cycle, 1.0, bips));
  for (double inverse : {0.0, double(INFINITY), double(NAN)})
    EXPECT_FALSE(computeBIPS(1.5, 2.0, inverse, bips));
  EXPECT_FALSE(computeBIPS(1.5, 1e-300, 1e-300, bips));  // the quotient itself overflows
  EXPECT_EQ(bips, -1);
}

TEST(StageReport, AnnealSeedAcceptsOnlyPlainNonNegativeIntegersWithinTheBound) {
  long seed = -5;
  EXPECT_TRUE(parseAnnealSeed("100", 100, seed));
  EXPECT_EQ(seed, 100);
  for (const char* bad : {"", "-1", "101", "12abc", " 7", "1.5", "99999999999999999999999"}) {
    seed = 42;
    EXPECT_FALSE(parseAnnealSeed(bad, 100, seed)) << bad;
    EXPECT_EQ(seed, 42) << bad;
  }
}
