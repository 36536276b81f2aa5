// The width and spacing file: pairs are read or the file is refused.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "Capture.h"
#include "delay/WidthSpaceFile.h"

namespace {

using osvotest::capture;
using osvotest::isError;
using osvotest::Printed;

Printed read(const std::string& text, WidthSpace& table) {
  std::istringstream in(text);
  return capture([&] { table = readWidthSpace(in, "ws", 3); });
}

TEST(WidthSpaceFile, NoUsablePairIsRefusedNamingTheFile) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "^Error: width and spacing file ws holds no pair of a width and a spacing\n$"},
      {"\n\n  \t", "holds no pair"},
      {"nan 1", "^Error: ws:1: expected the width of layer 0 \\(a number\\), found \"nan\"\n$"},
      {"1 2\nwidth 3",
       "^Error: ws:2: expected the width of layer 1 \\(a number\\), found \"width\""},
      {std::string("\x7f\x45LF\x01\0", 6), "found \"\\\\x7fELF\\\\x01\\\\x00\""},
      {"0 420", "^Error: ws:1: the width of layer 0 is 0; widths and spacings must be positive\n$"},
      {"420 -1", "the spacing of layer 0 is -1; widths and spacings must be positive"},
      {"1e999 5", "expected the width of layer 0 \\(a number\\), found \"1e999\""},
  };
  for (const auto& [text, message] : cases) {
    WidthSpace table;
    EXPECT_TRUE(isError(read(text, table).error, message)) << text;
  }
}

TEST(WidthSpaceFile, PairsInLayerOrderAndWhatIsLeftOver) {
  WidthSpace table;
  Printed p = read("100 200\n300.5 400\n", table);
  EXPECT_FALSE(p.error);
  EXPECT_EQ(table.width, (std::vector<double>{100, 300.5}));
  EXPECT_EQ(table.spacing, (std::vector<double>{200, 400}));
  EXPECT_EQ(p.err, "");
  p = read("1 2 3 4 5 6\n7 8\n", table);
  EXPECT_EQ(table.width.size(), 3u);
  EXPECT_EQ(p.err, "Warning: ws:2: text after the pairs of the 3 layers is ignored\n");
  p = read("1 2\n3", table);
  EXPECT_EQ(table.width.size(), 1u);
  EXPECT_EQ(p.err, "Warning: ws:2: the width of layer 1 has no spacing after it; it is ignored\n");
}

}  // namespace
