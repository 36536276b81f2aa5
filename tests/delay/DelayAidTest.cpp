// The delay model object: technology set-up, delay queries, width overrides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Capture.h"
#include "RunBinary.h"
#include "delay/DelayAid.h"
#include "delay/Wexa.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

std::unique_ptr<DelayAid> quietModel(DelayAid::optTech style) {
  CaptureStdout();
  auto model = std::make_unique<DelayAid>(5, style, 100.0, 100.0);
  GetCapturedStdout();
  return model;
}

TEST(DelayAidTest, DelayGrowsAndBuffersOnlyHelp) {
  auto ows = quietModel(DelayAid::OWS);
  auto biws = quietModel(DelayAid::BIWS);
  auto bisws = quietModel(DelayAid::BISWS);
  const double expected[] = {31, 31, 32, 54};  // regression values on layer 0
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bisws->findDelay(0, std::pow(10.0, 3 + i)), expected[i]);
  EXPECT_EQ(quietModel(static_cast<DelayAid::optTech>(7))->findDelay(0, 1e6), 0.0);
  for (int layer : {0, 3, 7}) {
    double prev[3] = {0, 0, 0};
    for (double L = 0.0; L <= 3e7; L += 4.1e5) {
      const double d[3] = {ows->findDelay(layer, L), biws->findDelay(layer, L),
                           bisws->findDelay(layer, L)};
      for (int s = 0; s < 3; ++s) EXPECT_GE(d[s], prev[s]) << s << " " << layer << " " << L;
      if (L > biws->lcrit[layer]) {
        EXPECT_TRUE(d[1] <= d[0] && d[2] <= d[0]) << layer << " " << L;
      }
      EXPECT_LE(d[2], d[1] + 1) << layer << " " << L;  // the sizes include 100
      std::copy(d, d + 3, prev);
    }
  }
}

// The buffered styles keep critical lengths between calls; every answer must be
// the formulas' from scratch, also after the driver or buffers change.
TEST(DelayAidTest, KeptCriticalLengthsGiveTheFreshDelays) {
  auto fresh = [](const DelayAid& m, int layer, double length) {
    const double l = length / 1000.0;
    if (m.optStyle == DelayAid::BIWS)
      return std::floor(Tbiws(l, m.Rd, m.Cd, m.Rb, m.Cb, m.t0, layer + 1, m.techGen));
    return std::floor(Tbisws(l, m.Rd, m.Cd, m.bufR.data(), m.bufC.data(), m.bufT.data(), m.bufCount,
                             layer + 1, m.techGen));
  };
  // Long wires first, so that later lengths meet values kept for others.
  std::vector<double> lengths;
  for (double L = 3e7; L > 5e4; L /= 2.3) lengths.push_back(L);
  for (int gen = 1; gen <= 5; ++gen) {
    CaptureStdout();
    DelayAid biws(gen, DelayAid::BIWS, 100.0, 60.0);
    GetCapturedStdout();
    for (int layer = 0; layer <= biws.topLayer(); ++layer)
      for (double L : lengths)
        ASSERT_EQ(biws.findDelay(layer, L), fresh(biws, layer, L))
            << gen << " " << layer << " " << L;
  }
  auto bisws = quietModel(DelayAid::BISWS);
  for (int round = 0; round < 2; ++round) {
    for (int layer : {0, 5})
      for (double L : {2.5e7, 1e5, 3.3e6, 7.2e6})
        ASSERT_EQ(bisws->findDelay(layer, L), fresh(*bisws, layer, L)) << layer << " " << L;
    bisws->Rd *= 3;
    for (int i = 0; i < bisws->bufCount; ++i) bisws->bufR[i] *= 0.5;
  }
}

TEST(DelayAidTest, FindLengthAndLowestLayer) {
  auto model = quietModel(DelayAid::BIWS);
  for (double delay : {40.0, 900.0}) {
    const double L = model->findLength(1, delay, 0.0);
    EXPECT_GE(model->findDelay(1, L + 1), delay) << delay;
    EXPECT_LT(model->findDelay(1, L - 2), delay) << delay;
  }
  EXPECT_EQ(quietModel(DelayAid::OWS)->findLength(0, 1e300, 0.0), -1.0);  // unreachable

  const double L = 2e7, limit = model->findDelay(3, L) + 1;
  const int layer = model->findLowestLayer(L, limit);
  ASSERT_TRUE(layer >= 0 && layer <= 3);
  for (int i = 0; i <= layer; ++i) EXPECT_EQ(model->findDelay(i, L) < limit, i == layer) << i;
  EXPECT_EQ(model->findLowestLayer(L, 1.0), -1);
}

// The file's contents are WidthSpaceFile's, the printed override the database's.
TEST(DelayAidTest, OverrideWidthSpace) {
  auto model = quietModel(DelayAid::OWS);
  const std::string missing = osvotest::dataPath("delay/no-such-file.txt");
  EXPECT_TRUE(osvotest::throwsError(
      [&] { model->overrideWidthSpace(missing); },
      "^Error: cannot read width and spacing file " + missing + ": it does not exist\n$"));
  EXPECT_TRUE(osvotest::throwsError([&] { model->overrideWidthSpace(osvotest::dataPath("delay")); },
                                    ": it is a directory\n$"));
  std::vector<double> w{1, 2}, s;
  EXPECT_EQ(model->overrideWidthSpace(w, s), 0);  // uneven lists: nothing taken
}

TEST(DelayAidTest, FaultyArguments) {
  for (int gen : {0, 9}) {  // no generation: empty parameters, finite results
    CaptureStdout();
    DelayAid model(gen, DelayAid::BISWS, 100.0, 100.0);
    EXPECT_EQ(GetCapturedStdout(), "Set Width and Spacing: \nLayer 0 width = 0 spacing = 0\n");
    EXPECT_EQ(model.findDelay(0, 1e6), 0.0);
  }
  EXPECT_DEATH(DelayAid(5, DelayAid::OWS, 0.0, 100.0), "driverSize > 0");
  EXPECT_DEATH(DelayAid(5, DelayAid::OWS, 100.0, -1.0), "bufferSize > 0");
}

}  // namespace
