// The gnuplot script of a floorplan, line by line and through real gnuplot.
#include <gtest/gtest.h>

#include <filesystem>

#include "FloorplanTestDesign.h"
#include "RunBinary.h"
#include "floorplan/DB.h"

using namespace fptest;

namespace {

// A (4 x 2) and B (2 x 2) side by side; with whitespace 200 the chip is 6 x 6.
struct PlotFixture : testing::Test {
  TestDesign t;
  CktInstance* a = t.block("A", 4, 2, 0, 0);
  CktInstance* b = t.block("B", 2, 2, 4, 0);
  CktNet* ab = t.connect("A_B", a, b);
  CktPin* clk = t.pin(t.top(), IN_PORT, "clk");
  CktNet* clkNet = t.net("clk", clk, {t.pin(a, IN_PORT)});
  std::unique_ptr<DB> db;
  std::string dir;

  void SetUp() override {
    resetOptions();
    db = std::make_unique<DB>(t.get(), 200, false, 0, 1.0, 1.0);
    dir = osvotest::scratchDir(testing::UnitTest::GetInstance()->current_test_info()->name());
    ab->weight = 0.5;
    clkNet->weight = 0.5;
  }

  // Writes the plot and returns its lines and what was printed.
  std::vector<std::string> plot(const std::string& file, bool nets, bool labels,
                                std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    db->plot(file.c_str(), 36, 200.0 / 3, 1.5, 0.5, 123, true, nets, labels);
    std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return osvotest::splitLines(osvotest::readFile(file));
  }
};

std::vector<std::string> header(const std::string& file) {
  return {"set nokey",
          "set title ' " + file + " area= 36 WS= 66.6667% AR= 1.5 cycle= 2GHz'",
          "",
          "# set terminal postscript eps color 10",
          "# set output \"out.eps\"",
          "",
          "",
          "# set terminal postscript portrait color 8",
          "# set output \"out.ps\"",
          "",
          ""};
}

const std::vector<std::string> kBlocksAndChip = {"plot '-' w l, '-' w l lt 3",
                                                 "0 0",
                                                 "4 0",
                                                 "4 2",
                                                 "0 2",
                                                 "0 0",
                                                 "",
                                                 "4 0",
                                                 "6 0",
                                                 "6 2",
                                                 "4 2",
                                                 "4 0",
                                                 "",
                                                 "0 6",
                                                 "6 6",
                                                 "0 6",
                                                 "",
                                                 "6 6",
                                                 "6 0",
                                                 "6 6",
                                                 "",
                                                 "EOF"};

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(PlotFixture, WithoutLabelsOrCriticalNets) {
  std::string file = dir + "/out";
  std::string printed;
  auto lines = plot(file, true, false, &printed);
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\n");
  EXPECT_EQ(lines,
            concat({header(file), kBlocksAndChip, {"EOF", "", "pause -1 'Press any key' "}}));
}

TEST_F(PlotFixture, LabelsAndTheStarOfACriticalNet) {
  a->master->versions[0]->width = 4;
  ab->weight = 0.9;
  ab->pins[0]->offset = ThreeDLoc(0.5, 0, 0);  // A's right edge: (4, 1)
  ab->pins[1]->offset = ThreeDLoc(0, 0.5, 0);  // B's top: (5, 2)
  clk->offset = ThreeDLoc(-0.5, 0, 0);
  std::string file = dir + "/crit.plt";
  std::string printed;
  auto lines = plot(file, true, true, &printed);
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\nNet Name: A_B Slack time: -1\n");
  EXPECT_EQ(lines, concat({header(file),
                           {"set label \"A\" at 1 , 0.5", "set label \"B\" at 4.5 , 0.5",
                            "set label \"clk\" at 0 , 3", "set label \"A_B\" at 4 , 1"},
                           kBlocksAndChip,
                           {"4.5  1.5", "4  1", "4.5  1.5", "", "4.5  1.5", "5  2", "4.5  1.5", "",
                            "EOF", "", "pause -1 'Press any key' "}}));

  // The critical-net switch off leaves the second data set empty.
  lines = plot(file, false, false);
  EXPECT_EQ(lines,
            concat({header(file), kBlocksAndChip, {"EOF", "", "pause -1 'Press any key' "}}));
}

TEST_F(PlotFixture, UnwritableFileIsReportedOnStandardError) {
  std::string file = dir + "/no/such/dir/out";
  testing::internal::CaptureStderr();
  std::string printed;
  plot(file, true, false, &printed);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\n");
  EXPECT_NE(err.find(file), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PlotFixture, PinOnABlockOutsideTheListStops) {
  b->index = 0;  // claims the position of A
  ab->weight = 1.0;
  std::string file = dir + "/out";
  EXPECT_DEATH(db->plot(file.c_str(), 1, 1, 1, 1, 1, true, true, false), "node == netPin->instPtr");
}

std::string findGnuplot() {
  for (const char* p : {"/usr/bin/gnuplot", "/usr/local/bin/gnuplot"})
    if (std::filesystem::exists(p)) return p;
  return "";
}

// Runs a script through gnuplot's text terminal, without the final pause.
osvotest::RunResult runGnuplot(const std::string& gnuplot, const std::string& dir,
                               const std::string& script) {
  std::string text = "set terminal dumb size 250,40;\n";
  for (const auto& line : osvotest::splitLines(osvotest::readFile(script)))
    if (line.rfind("pause", 0) != 0) text += line + "\n";
  osvotest::writeFile(dir + "/wrapped.gp", text);
  return osvotest::runProgram(gnuplot, {dir + "/wrapped.gp"}, dir);
}

TEST_F(PlotFixture, GnuplotAcceptsTheScript) {
  std::string gnuplot = findGnuplot();
  if (gnuplot.empty()) GTEST_SKIP() << "gnuplot is not installed";
  ab->weight = 1.0;
  ab->pins[0]->offset = ThreeDLoc(0.5, 0, 0);
  std::string file = dir + "/best";
  plot(file, true, true);
  osvotest::RunResult r = runGnuplot(gnuplot, dir, file);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("area= 36 WS= 66.6667% AR= 1.5 cycle= 2GHz"), std::string::npos);

  // Without critical nets the second data set is empty: gnuplot may warn about
  // it, but nothing is an error.
  plot(file, false, false);
  r = runGnuplot(gnuplot, dir, file);
  EXPECT_EQ(r.status, 0) << r.err;
  for (const auto& line : osvotest::splitLines(r.err))
    EXPECT_TRUE(line.empty() ||
                line.find("warning: Skipping data file with no valid points") != std::string::npos)
        << line;
}

}  // namespace
