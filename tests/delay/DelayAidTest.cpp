// The delay model object: technology set-up, delay queries, width overrides.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "RunBinary.h"
#include "delay/DelayAid.h"
#include "delay/Wexa.h"

namespace {

// Builds a model and swallows the set-up report.
std::unique_ptr<DelayAid> makeModel(DelayAid::optTech style, int gen = 5, double driver = 100.0,
                                    double buffer = 100.0) {
  ::testing::internal::CaptureStdout();
  auto model = std::make_unique<DelayAid>(gen, style, driver, buffer);
  ::testing::internal::GetCapturedStdout();
  return model;
}

TEST(DelayAidTest, Generation5SetUp) {
  ::testing::internal::CaptureStdout();
  DelayAid model(5, DelayAid::BISWS, 100.0, 100.0);
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "Set Width and Spacing: \n"
            "Layer 0 width = 420 spacing = 420\n"
            "Layer 1 width = 420 spacing = 420\n"
            "Layer 2 width = 926 spacing = 926\n"
            "Layer 3 width = 926 spacing = 926\n"
            "Layer 4 width = 1146 spacing = 1146\n"
            "Layer 5 width = 1146 spacing = 1146\n"
            "Layer 6 width = 1695 spacing = 1695\n"
            "Layer 7 width = 1695 spacing = 1695\n");
  EXPECT_EQ(DelayAid::isWEXAInitialized, 1);
  EXPECT_DOUBLE_EQ(model.Rd, 221.0);
  EXPECT_DOUBLE_EQ(model.Rb, 221.0);
  EXPECT_DOUBLE_EQ(model.Cd, 6.6);
  EXPECT_DOUBLE_EQ(model.Cb, 6.6);
  EXPECT_DOUBLE_EQ(model.t0, 29.8);
  EXPECT_EQ(model.layers, (std::vector<int>{0, 5, 5, 7, 7, 7}));
  EXPECT_EQ(model.topLayer(), 7);
  ASSERT_EQ(model.lcrit.size(), 8u);
  EXPECT_EQ(model.width, model.spacing);
  // Layers that share a tier share their values; upper tiers reach further.
  EXPECT_EQ(model.lcrit[0], model.lcrit[1]);
  EXPECT_LT(model.lcrit[1], model.lcrit[2]);
  EXPECT_LT(model.lcrit[5], model.lcrit[6]);
  EXPECT_EQ(model.lcrit[0], 1000.0 * std::floor(Lcrit(221.0, 6.6, 221.0, 6.6, 29.8, 1, 5)));

  ASSERT_EQ(model.bufCount, 21);
  EXPECT_EQ(model.bufSizes.front(), 1.0);
  EXPECT_EQ(model.bufSizes[1], 20.0);
  EXPECT_EQ(model.bufSizes.back(), 400.0);
  EXPECT_DOUBLE_EQ(model.bufR[0], 22100.0);
  EXPECT_DOUBLE_EQ(model.bufC[20], 400 * 0.066);
  EXPECT_EQ(model.bufT[7], 29.8);
  // params[g] is the top tier of generation g.
  ASSERT_EQ(model.params.size(), 6u);
  EXPECT_EQ(model.params[0].b2, 0.0);
  EXPECT_EQ(model.params[1].p1, 0.013);
  EXPECT_EQ(model.params[5].p3, 0.0904);
}

TEST(DelayAidTest, Names) {
  const char* gens[] = {"unknown", "0.25", "0.18", "0.13", "0.10", "0.07", "unknown"};
  for (int g = 0; g <= 6; ++g) EXPECT_EQ(DelayAid::printTechGen(g), gens[g]);
  EXPECT_EQ(DelayAid::printTechGen(-1), "unknown");
  EXPECT_EQ(DelayAid::printOptTech(-3), "OWS");
  EXPECT_EQ(DelayAid::printOptTech(DelayAid::OWS), "OWS");
  EXPECT_EQ(DelayAid::printOptTech(DelayAid::BIWS), "BIWS");
  EXPECT_EQ(DelayAid::printOptTech(DelayAid::BISWS), "BISWS");
  EXPECT_EQ(DelayAid::printOptTech(3), "UNKNOWN");
}

TEST(DelayAidTest, FindDelayPerStyle) {
  auto model = makeModel(DelayAid::BISWS);
  // Regression values of the generation-5 model on layer 0.
  EXPECT_EQ(model->findDelay(0, 1000.0), 31.0);
  EXPECT_EQ(model->findDelay(0, 10000.0), 31.0);
  EXPECT_EQ(model->findDelay(0, 100000.0), 32.0);
  EXPECT_EQ(model->findDelay(0, 1000000.0), 54.0);

  auto ows = makeModel(DelayAid::OWS);
  EXPECT_EQ(ows->findDelay(2, 300000.0), std::floor(Tows_all(300.0, 221.0, 6.6, 29.8, 3, 5)));
  auto odd = makeModel(static_cast<DelayAid::optTech>(7));
  EXPECT_EQ(odd->findDelay(0, 1e6), 0.0);
}

TEST(DelayAidTest, DelayGrowsWithLengthAndBuffersOnlyHelp) {
  auto ows = makeModel(DelayAid::OWS);
  auto biws = makeModel(DelayAid::BIWS);
  auto bisws = makeModel(DelayAid::BISWS);
  for (int layer : {0, 3, 7}) {
    double prevOws = 0.0, prevBiws = 0.0, prevBisws = 0.0;
    for (double L = 0.0; L <= 3e7; L += 2.9e5) {
      const double o = ows->findDelay(layer, L);
      const double b = biws->findDelay(layer, L);
      const double s = bisws->findDelay(layer, L);
      EXPECT_GE(o, prevOws) << layer << " " << L;
      EXPECT_GE(b, prevBiws) << layer << " " << L;
      EXPECT_GE(s, prevBisws) << layer << " " << L;
      if (L > biws->lcrit[layer]) {
        EXPECT_LE(b, o) << layer << " " << L;
        EXPECT_LE(s, o) << layer << " " << L;
      }
      EXPECT_LE(s, b + 1) << layer << " " << L;  // the best size includes size 100
      prevOws = o;
      prevBiws = b;
      prevBisws = s;
    }
  }
  // Long wires are faster on the upper tiers.
  EXPECT_LT(bisws->findDelay(7, 2e7), bisws->findDelay(0, 2e7));
}

TEST(DelayAidTest, FindLengthInvertsFindDelay) {
  auto model = makeModel(DelayAid::BIWS);
  for (double delay : {40.0, 120.0, 900.0}) {
    const double L = model->findLength(1, delay, 0.0);
    ASSERT_GT(L, 2.0) << delay;
    EXPECT_EQ(L, std::round(L));
    EXPECT_GE(model->findDelay(1, L + 1), delay) << delay;
    EXPECT_LT(model->findDelay(1, L - 2), delay) << delay;
  }
  EXPECT_EQ(model->findLength(1, 120.0, 5e5), model->findLength(1, 120.0, -1.0));
  // A delay no wire reaches, or no delay at all, ends the search with -1.
  auto ows = makeModel(DelayAid::OWS);
  EXPECT_EQ(ows->findLength(0, 1e300, 0.0), -1.0);
  EXPECT_EQ(ows->findLength(0, std::nan(""), 0.0), -1.0);
}

TEST(DelayAidTest, FindLowestLayer) {
  auto model = makeModel(DelayAid::BIWS);
  const double L = 2e7;
  const double limit = model->findDelay(3, L) + 1;
  const int layer = model->findLowestLayer(L, limit);
  ASSERT_GE(layer, 0);
  ASSERT_LE(layer, 3);
  EXPECT_LT(model->findDelay(layer, L), limit);
  for (int i = 0; i < layer; ++i) EXPECT_GE(model->findDelay(i, L), limit) << i;
  EXPECT_EQ(model->findLowestLayer(L, 1.0), -1);
  EXPECT_EQ(model->findLowestLayer(L, 1e9), 0);
}

TEST(DelayAidTest, OverrideWidthSpaceFromFile) {
  auto model = makeModel(DelayAid::BISWS);
  const std::vector<double> computed = model->width;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(model->overrideWidthSpace(osvotest::dataPath("delay/widthspace.txt")), 1);
  const std::vector<std::string> lines =
      osvotest::splitLines(::testing::internal::GetCapturedStdout());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Override width and spacing");
  EXPECT_EQ(lines[1], "Layer 0 width = 100 spacing = 200");
  EXPECT_EQ(lines[2], "Layer 1 width = 300.5 spacing = 400");
  EXPECT_EQ(lines[3], "Layer 2 width = 926 spacing = 926");
  EXPECT_EQ(model->width[2], computed[2]);

  // A pair left incomplete is not taken.
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(model->overrideWidthSpace(osvotest::dataPath("delay/widthspace_odd.txt")), 1);
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(model->width[0], 7.0);
  EXPECT_EQ(model->spacing[0], 8.0);
  EXPECT_EQ(model->width[1], 300.5);

  ::testing::internal::CaptureStdout();
  model->setLcrtWidthSpacing();
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(model->width, computed);
}

TEST(DelayAidTest, OverrideWidthSpaceWithoutPairs) {
  auto model = makeModel(DelayAid::OWS);
  const std::string missing = osvotest::dataPath("delay/no-such-file.txt");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(model->overrideWidthSpace(missing), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Warning!! Can not open " + missing + " for overriding width and spacing\n");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

  const std::string empty = osvotest::scratchDir("delay-empty") + "/empty.txt";
  osvotest::writeFile(empty, "  \n");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(model->overrideWidthSpace(empty), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST(DelayAidTest, OverrideWidthSpaceFromVectors) {
  auto model = makeModel(DelayAid::OWS);
  std::vector<double> w{1, 2, 3}, s{4, 5};
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(model->overrideWidthSpace(w, s), 1);
  EXPECT_EQ(osvotest::splitLines(::testing::internal::GetCapturedStdout()).size(), 9u);
  EXPECT_EQ(model->width[1], 2.0);
  EXPECT_EQ(model->spacing[1], 5.0);
  EXPECT_EQ(model->width[2], model->spacing[2]);  // no spacing given for layer 2
  std::vector<double> none;
  EXPECT_EQ(model->overrideWidthSpace(none, s), 0);
}

TEST(DelayAidTest, UnknownGenerationHasEmptyParameters) {
  for (int gen : {0, 9, -2}) {
    ::testing::internal::CaptureStdout();
    DelayAid model(gen, DelayAid::BISWS, 100.0, 100.0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Set Width and Spacing: \nLayer 0 width = 0 spacing = 0\n");
    EXPECT_EQ(model.techGen, 0);
    EXPECT_EQ(model.Rd, 0.0);
    EXPECT_EQ(model.findDelay(0, 1e6), 0.0);
  }
}

TEST(DelayAidTest, DriverAndBufferMustHaveASize) {
  EXPECT_DEATH(DelayAid(5, DelayAid::OWS, 0.0, 100.0), "driverSize > 0");
  EXPECT_DEATH(DelayAid(5, DelayAid::OWS, 100.0, -1.0), "bufferSize > 0");
}

}  // namespace
