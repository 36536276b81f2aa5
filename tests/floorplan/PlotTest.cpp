// The gnuplot script of a floorplan, line by line and through real gnuplot.
#include <gtest/gtest.h>

#include <filesystem>

#include "FloorplanTestDesign.h"

using namespace fptest;
using osvotest::splitLines;

namespace {

// A (4 x 2) and B (2 x 2) side by side; with whitespace 200 the chip is 6 x 6.
struct PlotFixture : testing::Test {
  TestDesign t;
  CktInstance* a = t.block("A", 4, 2, 0, 0);
  CktInstance* b = t.block("B", 2, 2, 4, 0);
  CktNet* ab = t.connect(a, b, "A_B");
  CktPin* clk = t.pin(t.top(), IN_PORT, "clk");
  CktNet* clkNet = t.net(clk, {t.pin(a, IN_PORT)}, "clk");
  std::unique_ptr<DB> db;
  std::string dir = testDir();

  void SetUp() override {
    resetOptions();
    db = quietDB(t, 200);
    ab->weight = 0.5;
    clkNet->weight = 0.5;
  }

  // Writes the plot and returns its lines; `printed` receives what was printed.
  std::vector<std::string> plot(const std::string& file, bool nets, bool labels,
                                std::string* printed = nullptr) {
    testing::internal::CaptureStdout();
    db->plot(file.c_str(), 36, 200.0 / 3, 1.5, 0.5, 123, true, nets, labels);
    std::string out = testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return splitLines(osvotest::readFile(file));
  }

  // The whole script: header, `labels`, the blocks and the chip, then `nets`.
  static std::vector<std::string> script(const std::string& file, const std::string& labels,
                                         const std::string& nets) {
    return splitLines("set nokey\nset title ' " + file +
                      " area= 36 WS= 66.6667% AR= 1.5 cycle= 2GHz'\n\n"
                      "# set terminal postscript eps color 10\n# set output \"out.eps\"\n\n\n"
                      "# set terminal postscript portrait color 8\n# set output \"out.ps\"\n\n\n" +
                      labels +
                      "plot '-' w l, '-' w l lt 3\n0 0\n4 0\n4 2\n0 2\n0 0\n\n"
                      "4 0\n6 0\n6 2\n4 2\n4 0\n\n0 6\n6 6\n0 6\n\n6 6\n6 0\n6 6\n\nEOF\n" +
                      nets + "EOF\n\npause -1 'Press any key' \n");
  }
};

TEST_F(PlotFixture, LinesWithAndWithoutLabelsAndCriticalNetsAndUnwritableFile) {
  std::string file = dir + "/out";
  std::string printed;
  EXPECT_EQ(plot(file, true, false, &printed), script(file, "", ""));
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\n");

  // Labels, and the star of a critical net from its source to each sink.
  ab->weight = 0.9;
  ab->pins[0]->offset = ThreeDLoc(0.5, 0, 0);  // A's right edge: (4, 1)
  ab->pins[1]->offset = ThreeDLoc(0, 0.5, 0);  // B's top: (5, 2)
  clk->offset = ThreeDLoc(-0.5, 0, 0);
  file = dir + "/crit.plt";
  EXPECT_EQ(plot(file, true, true, &printed),
            script(file,
                   "set label \"A\" at 1 , 0.5\nset label \"B\" at 4.5 , 0.5\n"
                   "set label \"clk\" at 0 , 3\nset label \"A_B\" at 4 , 1\n",
                   "4.5  1.5\n4  1\n4.5  1.5\n\n4.5  1.5\n5  2\n4.5  1.5\n\n"));
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\nNet Name: A_B Slack time: -1\n");
  // The critical-net switch off leaves the second data set empty.
  EXPECT_EQ(plot(file, false, false), script(file, "", ""));

  // A file that cannot be written is reported on standard error.
  file = dir + "/no/such/dir/out";
  testing::internal::CaptureStderr();
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

// Runs a script through gnuplot's text terminal, without the final pause.
osvotest::RunResult runGnuplot(const std::string& gnuplot, const std::string& dir,
                               const std::string& script) {
  std::string text = "set terminal dumb size 250,40;\n";
  for (const auto& line : splitLines(osvotest::readFile(script)))
    if (line.rfind("pause", 0) != 0) text += line + "\n";
  osvotest::writeFile(dir + "/wrapped.gp", text);
  return osvotest::runProgram(gnuplot, {dir + "/wrapped.gp"}, dir);
}

TEST_F(PlotFixture, GnuplotAcceptsTheScript) {
  std::string gnuplot;
  for (const char* p : {"/usr/bin/gnuplot", "/usr/local/bin/gnuplot"})
    if (gnuplot.empty() && std::filesystem::exists(p)) gnuplot = p;
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
  for (const auto& line : splitLines(r.err))
    EXPECT_TRUE(line.empty() ||
                line.find("warning: Skipping data file with no valid points") != std::string::npos)
        << line;
}

}  // namespace
