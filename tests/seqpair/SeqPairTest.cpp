#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "seqpair/SeqPair.h"

namespace {

using Seq = std::vector<unsigned>;

bool isPermutation(Seq s) {
  std::sort(s.begin(), s.end());
  for (unsigned i = 0; i < s.size(); ++i)
    if (s[i] != i) return false;
  return true;
}

TEST(SeqPair, ShuffleFollowsTheLrand48Sequence) {
  // Seed 1 draws 89400484, 976015093, 1792756325, 721524505 for X and
  // 1214379247, 3794415, 402845420, 2126940991 for Y; reduced modulo i+1 they
  // pick positions 0,1,1,0 and 1,0,0,1.
  srand48(1);
  SeqPair sp(5);
  EXPECT_EQ(sp.getX(), (Seq{4, 3, 0, 2, 1}));
  EXPECT_EQ(sp.getY(), (Seq{3, 4, 0, 2, 1}));
  EXPECT_EQ(sp.getSize(), 5u);
}

TEST(SeqPair, SameSeedSamePermutations) {
  srand48(12345);
  SeqPair a(5);
  srand48(12345);
  SeqPair b(5);
  EXPECT_EQ(a.getX(), b.getX());
  EXPECT_EQ(a.getY(), b.getY());

  srand48(777);
  for (unsigned n : {0u, 1u, 2u, 17u, 100u}) {
    SeqPair sp(n);
    EXPECT_EQ(sp.getSize(), n);
    EXPECT_TRUE(isPermutation(sp.getX()));
    EXPECT_TRUE(isPermutation(sp.getY()));
  }
}

TEST(SeqPair, SizeMismatchIsReportedAndKept) {
  testing::internal::CaptureStdout();
  SeqPair sp(Seq{0, 1, 2}, Seq{1, 0});
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Input Sequence Pairs of different sizes\n");
  EXPECT_EQ(sp.getX().size(), 3u);
  EXPECT_EQ(sp.getY().size(), 2u);

  testing::internal::CaptureStdout();
  SeqPair ok(Seq{0, 1}, Seq{1, 0});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(SeqPair, PrintsEachIndexFollowedByABlank) {
  SeqPair sp(Seq{2, 0, 1}, Seq{1, 2, 0});
  testing::internal::CaptureStdout();
  sp.printX();
  sp.printY();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "X Seq Pair\n2 0 1 \nY Seq Pair\n1 2 0 \n");
}

}  // namespace
