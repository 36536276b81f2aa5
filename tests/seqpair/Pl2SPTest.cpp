// Placement to sequence pair: both conversions, their messages, and that a
// converted packing never moves a block right or up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "seqpair/Pl2SP.h"
#include "seqpair/SPeval.h"

namespace {

using Seq = std::vector<unsigned>;
using Vec = std::vector<double>;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

struct Placement {
  Vec x, y, w, h;
};

TEST(Pl2SP, RowsFromTheSmallestHeight) {
  struct Case {
    const char* what;
    Placement p;
    Seq x, y;
  };
  const Case cases[] = {
      {"two rows", {{0, 3, 1}, {0, 0, 2}, {3, 1, 2}, {2, 2, 2}}, {2, 0, 1}, {0, 1, 2}},
      {"snapped", {{0, 5, 9}, {0.6, 0.4, 0}, {1, 1, 1}, {1, 1, 1}}, {0, 1, 2}, {1, 2, 0}},
      {"equal x", {{4, 4, 0}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}}, {2, 0, 1}, {2, 0, 1}},
  };
  for (const Case& c : cases) {
    CaptureStdout();
    Pl2SP conv(c.p.x, c.p.y, c.p.w, c.p.h, NAIVE_ALGO);
    EXPECT_EQ(GetCapturedStdout(), "") << c.what;
    EXPECT_EQ(conv.getX(), c.x) << c.what;
    EXPECT_EQ(conv.getY(), c.y) << c.what;
  }
}

TEST(Pl2SP, MessagesAndUnusableInput) {
  const Vec one{1}, two{1, 2};
  CaptureStdout();
  Pl2SP uneven(two, two, one, two, TCG_ALGO);  // converts the one complete block
  Pl2SP_new unevenNew(two, one, two, two);
  Pl2SP other(two, two, two, two, static_cast<PL2SP_ALGO>(7));
  // A block 5 rows below the bottom one stands in no row.
  Pl2SP below({0, 1}, {0, -5}, {1, 1}, {1, 1}, NAIVE_ALGO);
  EXPECT_EQ(GetCapturedStdout(),
            "ERROR: in Pl2SP. Sizes do not match\n"
            "ERROR: in Pl2SP_new. Sizes do not match\n"
            "ERROR: generated sequence pair of not correct sizes 1 & 1 vs 2\n");
  EXPECT_EQ(uneven.getX(), Seq{0});  // the one complete block
  EXPECT_TRUE(other.getX().empty() && other.getY().empty());
  EXPECT_EQ(below.getY(), Seq{0});

  // No usable row grid: reported, and the conversion ends at once.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Placement unusable[] = {{{0, 1}, {0, 1}, {1, 1}, {0, 1}},
                                {{0, 1}, {0, 1}, {1, 1}, {nan, 1}},
                                {{0, 1}, {0, 1e6}, {1, 1}, {1e-12, 1}},
                                {{0, 1}, {0, 1e300}, {1, 1}, {1, 1}}};
  for (const Placement& p : unusable) {
    CaptureStdout();
    Pl2SP conv(p.x, p.y, p.w, p.h, NAIVE_ALGO);
    EXPECT_NE(GetCapturedStdout().find("not correct sizes"), std::string::npos);
  }
  Pl2SP none({}, {}, {}, {}, TCG_ALGO);
  EXPECT_TRUE(none.getX().empty());
}

// 0 below 1 below 2, shifted right: 0 is below 2 although their x intervals
// do not meet.
TEST(Pl2SP, ClosureFollowsChainsInIndexOrder) {
  CaptureStdout();
  Pl2SP conv({0, 2, 4}, {0, 1, 2}, {3, 3, 3}, {1, 1, 1}, TCG_ALGO);
  EXPECT_EQ(GetCapturedStdout(), "");
  EXPECT_EQ(conv.getX(), (Seq{2, 1, 0}));
  EXPECT_EQ(conv.getY(), (Seq{0, 1, 2}));
}

// Packs random pairs of whole-sized blocks, converts and packs again: every
// block ends at or left of and below its place, and no two overlap.
void checkRoundTrip(PL2SP_ALGO algo, bool equalHeights, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> size(1, 12);
  std::srand(seed);
  for (int round = 0; round < 300; ++round) {
    const unsigned n = 1 + rng() % 40;
    Seq x(n), y(n);
    std::iota(x.begin(), x.end(), 0u);
    y = x;
    std::shuffle(x.begin(), x.end(), rng);
    std::shuffle(y.begin(), y.end(), rng);
    Vec w(n), h(n);
    for (unsigned i = 0; i < n; ++i) w[i] = size(rng), h[i] = equalHeights ? 3 : size(rng);
    SPeval packed(h, w);
    packed.evaluate(x, y);
    CaptureStdout();
    Pl2SP conv(packed.xLoc, packed.yLoc, w, h, algo);
    ASSERT_EQ(GetCapturedStdout(), "") << round;
    SPeval again(h, w);
    again.evaluate(conv.getX(), conv.getY());
    for (unsigned a = 0; a < n; ++a) {
      ASSERT_LE(again.xLoc[a], packed.xLoc[a]) << "round " << round << " block " << a;
      ASSERT_LE(again.yLoc[a], packed.yLoc[a]) << "round " << round << " block " << a;
      for (unsigned b = 0; b < a; ++b) {
        const bool apart =
            again.xLoc[a] + w[a] <= again.xLoc[b] || again.xLoc[b] + w[b] <= again.xLoc[a] ||
            again.yLoc[a] + h[a] <= again.yLoc[b] || again.yLoc[b] + h[b] <= again.yLoc[a];
        ASSERT_TRUE(apart) << "round " << round << " blocks " << a << " " << b;
      }
    }
  }
}

TEST(Pl2SPProperty, ConvertedPackingsNeverMoveRightOrUp) {
  checkRoundTrip(TCG_ALGO, false, 11);
  checkRoundTrip(TCG_ALGO, true, 12);
  checkRoundTrip(NAIVE_ALGO, true, 13);  // equal heights: the packings stand in rows
}

}  // namespace
