#include <gtest/gtest.h>

#include <sstream>

#include "RunBinary.h"
#include "flatten/ReadLibrary.h"
#include "support/Error.h"

namespace {

ReadLibrary::Library readText(const std::string& text) {
  ReadLibrary::Library lib;
  std::istringstream in(text);
  std::ostringstream out;
  ReadLibrary(lib, out).read(in, "lib.txt");
  return lib;
}

}  // namespace

TEST(CellLibrary, ReadsHeadersThenEntriesInAnyInterleaving) {
  ReadLibrary::Library lib = readText(
      "3\n alu 2\n rf 1\n empty 0\n"
      "alu x 7 comb 4.0 1 0.30000001 0.1 0.2\n"
      "rf  x 7 seq  9   2 1.5 0.3 0.4\n"
      "alu x 7 seq  +6  3 -2 0.5 0.6\n"
      "trailing words are ignored");
  ASSERT_EQ(lib.size(), 3u);
  const auto& alu = lib.at("alu")->versions;
  ASSERT_EQ(alu.size(), 2u);
  EXPECT_EQ(alu[0].area, 4.0);
  EXPECT_EQ(alu[0].type, ReadLibrary::GATE);
  EXPECT_EQ(alu[0].delay, 0.3f);  // kept in single precision
  EXPECT_EQ(alu[1].area, 6.0);
  EXPECT_EQ(alu[1].latency, 3);
  EXPECT_EQ(alu[1].type, ReadLibrary::FF);
  EXPECT_EQ(alu[1].outTime, 0.6);
  EXPECT_EQ(lib.at("rf")->versions.at(0).inTime, 0.3);
  EXPECT_TRUE(lib.at("empty")->versions.empty());

  EXPECT_TRUE(readText("0 anything at all").empty());
  // A later header replaces the cell; the total still counts both headers.
  ReadLibrary::Library again = readText("2 a 1 a 1  a w 0 k 1 1 1 1 1  a w 0 k 2 2 2 2 2");
  EXPECT_EQ(again.at("a")->versions.size(), 2u);
}

TEST(CellLibrary, MalformedFilesAreRefusedWithTheFileAndTheEntry) {
  const std::string head = "Error: cell library lib.txt: ";
  const std::string entry = "1 alu 1 alu w 0 seq ";
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"", head + "the file is empty; it must begin with the number of cells\n"},
      {"two", head + "the number of cells \"two\" is not a whole number of 0 or more\n"},
      {"-1", head + "the number of cells \"-1\" is not a whole number of 0 or more\n"},
      {"2 alu 1", head + "cell header 2 of 2 is missing\n"},
      {"1 alu", head + "cell header 1 of 1 (alu) is cut short: its version count is missing\n"},
      {"1 alu 1.5",
       head + "cell header 1 of 1 (alu): the version count \"1.5\" is not a whole number of 0 or "
              "more\n"},
      {"1 alu 1", head + "version entry 1 of 1 is cut short: its cell name is missing\n"},
      {entry + "4 1 2",
       head + "version entry 1 of 1 (cell alu) is cut short: its input pin time is missing\n"},
      {"1 alu 1 alu w x seq 4 1 2 3 4",
       head + "version entry 1 of 1 (cell alu): the third item \"x\" is not a whole number\n"},
      {entry + "nan 1 2 3 4",
       head + "version entry 1 of 1 (cell alu): the area \"nan\" is not a finite number\n"},
      {entry + "4 1.0 2 3 4",
       head + "version entry 1 of 1 (cell alu): the latency \"1.0\" is not a whole number\n"},
      {entry + "4 99999999999 2 3 4",
       head + "version entry 1 of 1 (cell alu): the latency \"99999999999\" is not a whole "
              "number\n"},
      {entry + "4 1 1e300 3 4",
       head + "version entry 1 of 1 (cell alu): the delay \"1e300\" is beyond single precision\n"},
      {entry + "4 1 2 3 4x",
       head + "version entry 1 of 1 (cell alu): the output pin time \"4x\" is not a finite "
              "number\n"},
      {"1 alu 1 rf w 0 seq 4 1 2 3 4", "rfModule does not exist\n"},
      {"1 " + std::string(ReadLibrary::kMaxItemLength + 1, 'a'),
       head + "an item is longer than 65536 characters\n"},
  };
  for (const Case& c : cases) {
    try {
      readText(c.text);
      ADD_FAILURE() << "accepted: " << c.text.substr(0, 60);
    } catch (const osvo::Error& e) {
      EXPECT_EQ(e.what(), c.message) << c.text.substr(0, 60);
      EXPECT_EQ(e.status(), 1);
    }
  }
}

// Queries of a cell or version the library lacks answer -1.
TEST(CellLibrary, QueriesOfMissingCellsAndVersions) {
  std::string dir = osvotest::scratchDir("library");
  osvotest::writeFile(dir + "/cells.lib", "1 alu 1 alu w 0 c 2 1 0.75 0 0\n");
  ReadLibrary::Library lib;
  std::ostringstream out, err;
  ReadLibrary reader(lib, out, err);
  EXPECT_EQ(reader.readinCellLIB(nullptr, dir + "/missing.lib"), 0);
  ASSERT_EQ(reader.readinCellLIB(nullptr, dir + "/cells.lib"), 1);
  EXPECT_EQ(reader.getCellArea("alu", 0), 2.0);
  EXPECT_EQ(reader.getCellArea("alu", 1), -1.0);
  EXPECT_EQ(reader.getCellDelay("alu", -1), -1.0);
  EXPECT_EQ(reader.getCellVerNum("nothing"), -1);
}
