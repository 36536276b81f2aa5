// The gnuplot script of a floorplan, line by line and through real gnuplot.
#include <gtest/gtest.h>

#include <filesystem>

#include "FloorplanTestDesign.h"

using namespace fptest;
using osvotest::splitLines;

namespace {

// The whole script: header, `labels`, the blocks A and B and the 6 x 6 chip, then `nets`.
std::vector<std::string> script(const std::string& file, const std::string& labels,
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

TEST(PlotTest, LinesThroughGnuplotAndUnwritableFile) {
  // A (4 x 2) and B (2 x 2) side by side; with whitespace 200 the chip is 6 x 6.
  TestDesign t;
  CktInstance* a = t.block("A", 4, 2, 0, 0);
  CktInstance* b = t.block("B", 2, 2, 4, 0);
  CktNet* ab = t.connect(a, b, "A_B");
  CktPin* clk = t.pin(t.top(), IN_PORT, "clk");
  t.net(clk, {t.pin(a, IN_PORT)}, "clk")->weight = 0.5;
  ab->weight = 0.5;
  auto db = quietDB(t, 200);
  const std::string dir = testDir();
  // Writes the plot and returns its lines; `printed` receives what was printed.
  std::string printed;
  auto plot = [&](const std::string& file, bool labels) {
    testing::internal::CaptureStdout();
    db->plot(file.c_str(), 36, 200.0 / 3, 1.5, 0.5, true, labels);
    printed = testing::internal::GetCapturedStdout();
    return splitLines(osvotest::readFile(file));
  };

  std::string file = dir + "/out";
  EXPECT_EQ(plot(file, false), script(file, "", ""));
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\n");

  // Labels, and the star of a critical net from its source to each sink.
  ab->weight = 0.9;
  ab->pins[0]->offset = ThreeDLoc(0.5, 0, 0);  // A's right edge: (4, 1)
  ab->pins[1]->offset = ThreeDLoc(0, 0.5, 0);  // B's top: (5, 2)
  clk->offset = ThreeDLoc(-0.5, 0, 0);
  const std::string crit = dir + "/crit.plt";
  EXPECT_EQ(plot(crit, true), script(crit,
                                     "set label \"A\" at 1 , 0.5\nset label \"B\" at 4.5 , 0.5\n"
                                     "set label \"clk\" at 0 , 3\nset label \"A_B\" at 4 , 1\n",
                                     "4.5  1.5\n4  1\n4.5  1.5\n\n4.5  1.5\n5  2\n4.5  1.5\n\n"));
  EXPECT_EQ(printed, "OutPut Plot file is " + crit + "\nNet Name: A_B Slack time: -1\n");

  // A file that cannot be written is reported on standard error.
  file = dir + "/no/such/dir/out";
  testing::internal::CaptureStderr();
  plot(file, false);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed, "OutPut Plot file is " + file + "\n");
  EXPECT_NE(err.find(file), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(file));
  // A device that takes no text: the script is lost, and that is said.
  const Printed full = capture([&] { db->plot("/dev/full", 36, 20, 1.5, 0.5, true, false); });
  EXPECT_EQ(full.err, "Warning: the plot file /dev/full could not be written completely\n");

  // Real gnuplot, with its text terminal and without the final pause, accepts
  // the script with labels and critical nets.
  std::string gnuplot;
  for (const char* p : {"/usr/bin/gnuplot", "/usr/local/bin/gnuplot"})
    if (gnuplot.empty() && std::filesystem::exists(p)) gnuplot = p;
  if (gnuplot.empty()) GTEST_SKIP() << "gnuplot is not installed";
  std::string text = "set terminal dumb size 250,40;\n";
  for (const auto& line : splitLines(osvotest::readFile(crit)))
    if (!line.starts_with("pause")) text += line + "\n";
  osvotest::writeFile(dir + "/wrapped.gp", text);
  osvotest::RunResult r = osvotest::runProgram(gnuplot, {dir + "/wrapped.gp"}, dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("area= 36 WS= 66.6667% AR= 1.5 cycle= 2GHz"), std::string::npos);
}

}  // namespace
