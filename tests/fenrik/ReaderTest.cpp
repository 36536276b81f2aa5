// The benchmark-file readers and writers: the bridge's own files round-trip;
// malformed, truncated or endless input is refused naming file and line.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>

#include "Capture.h"
#include "RunBinary.h"
#include "fenrik/BenchmarkReader.h"
#include "fenrik/BenchmarkWriter.h"
#include "support/Error.h"

namespace {

const std::string kBlocks =
    "ZEPT blocks 1.0\n\n"
    "NumSoftRectangularBlocks : 1\nNumHardRectilinearBlocks : 1\nNumTerminals : 2\n\n"
    "sb0 softrectangular 400 0.1 10.0 \n"
    "sb1 hardrectilinear 4 (0, 0) (0, 30) (20, 30) (20, 0)\n"
    "p1 terminal\np2 terminal\n";
const std::string kNets =
    "ZEPT nets 1.0\n\nNumNets : 2\nNumPins : 5\n"
    "NetDegree : 3\nsb0 B\nsb1 B\np1 B\n"
    "NetDegree : 2\nsb1 B\np2 B\n";
const std::string kPl = "ZEPT pl 1.0\n\nsb0 0 0\nsb1 0 0\np1 0 5 : FS\np2 40 25 : FS\n";

BenchmarkDesign parse(const std::string& blocks, const std::string& nets, const std::string& pl) {
  BenchmarkDesign d;
  std::istringstream b(blocks), n(nets), p(pl);
  readBlockFile(b, "t.blocks", d);
  readNetsFile(n, "t.nets", d);
  readPlFile(p, "t.pl", d);
  return d;
}

std::string errorOf(const std::string& blocks, const std::string& nets, const std::string& pl) {
  try {
    parse(blocks, nets, pl);
  } catch (const osvo::Error& e) {
    EXPECT_EQ(e.status(), 1);
    return e.what();
  }
  return "";
}

TEST(BenchmarkReader, ReadsTheBridgeFilesAndWritesThemBack) {
  BenchmarkDesign d = parse(kBlocks, kNets, kPl);
  ASSERT_EQ(d.blocks.size(), 2u);
  ASSERT_EQ(d.terminals.size(), 2u);
  EXPECT_DOUBLE_EQ(d.blocks[0].width, 20.0);  // a square of the soft area
  EXPECT_EQ(d.blocks[1].height, 30.0);
  ASSERT_EQ(d.nets.size(), 2u);
  EXPECT_TRUE(d.nets[0].pins[2].onTerminal);
  // Net 1: sb1 centre (10, 15) and p2 (40, 25); net 0: (10, 10), (10, 15), (0, 5).
  EXPECT_DOUBLE_EQ(d.centreWirelength(), 20.0 + 40.0);

  std::ostringstream blocks, nets, pl;
  writeBlockFile(blocks, d);
  writeNetsFile(nets, d);
  writePlFile(pl, d);
  EXPECT_EQ(blocks.str(), kBlocks);
  EXPECT_EQ(nets.str(), kNets);
  EXPECT_EQ(pl.str(), kPl);
}

TEST(BenchmarkReader, AcceptsOtherToolsVariants) {
  BenchmarkDesign d = parse(
      "UCSC blocks 1.0\n# Created : today\n\nNumHardRectilinearBlocks : 1\n"
      "NumSoftRectangularBlocks : 1\nNumTerminals : 1  # one pad\n"
      "a softrectangular 16\nb hardrectilinear 4 (1,1) (1, 3) (5, 3) (5,1)\np terminal\n",
      "UCLA nets 1.0\nNumNets : 1\nNumPins : 3\nNetDegree : 3 n0\n"
      "a O : %-50.0 %25.0\nb I : 0.5 -0.25\np B\n",
      "UCSC blocks 1.0\n# b 1 1\na\t1\t2\tDIMS = (2, 8)\nb 3 4 : FN\n# p 0 0\np 9 9\n");
  EXPECT_EQ(d.blocks[0].width, 4.0);
  EXPECT_FALSE(d.blocks[0].hasAspectRange);
  EXPECT_EQ(d.blocks[1].width, 4.0);
  EXPECT_EQ(d.blocks[1].height, 2.0);
  EXPECT_EQ(d.nets[0].name, "n0");
  const DesignPin& a = d.nets[0].pins[0];
  EXPECT_TRUE(a.hasOffset && a.offsetInPercent);
  EXPECT_EQ(a.direction, 'O');
  EXPECT_EQ(a.xOffset, -50.0);
  EXPECT_FALSE(d.nets[0].pins[1].offsetInPercent);
  EXPECT_TRUE(d.blocks[0].placement.hasDims);
  EXPECT_EQ(d.blocks[0].placement.dimsHeight, 8.0);
  EXPECT_EQ(d.blocks[1].placement.orientation, "FN");
  EXPECT_EQ(d.terminals[0].placement.x, 9.0);
}

TEST(BenchmarkReader, RefusesMalformedInputNamingFileAndLine) {
  struct Case {
    const char* what;
    std::string blocks, nets, pl;
    const char* message;
  };
  const std::string B = kBlocks, N = kNets, P = kPl;
  auto replace = [](std::string s, const std::string& from, const std::string& to) {
    return s.replace(s.find(from), from.size(), to);
  };
  const Case cases[] = {
      {"count not a number", replace(B, "NumTerminals : 2", "NumTerminals : two"), N, P,
       "t.blocks:5: NumTerminals is not a count: \"two\"\n"},
      {"missing header", "NumTerminals : 0\n", N, P, "t.blocks:1: missing header"},
      {"empty file", "", N, P, "t.blocks:0: missing header"},
      {"corner cut short", replace(B, " (20, 0)\n", " (20,\n"), N, P,
       "t.blocks:8: line cut short: missing corner y\n"},
      {"area not a number", replace(B, "400", "4o0"), N, P, "t.blocks:7: soft block area"},
      {"aspect cut short", replace(B, "0.1 10.0", "0.1"), N, P, "t.blocks:7: line cut short"},
      {"name twice", replace(B, "p2 terminal", "sb0 terminal"), N, P,
       "t.blocks:10: name defined twice: \"sb0\"\n"},
      {"more blocks than counted", B + "p3 terminal\n", N, P,
       "t.blocks:11: more terminals than NumTerminals says\n"},
      {"blocks truncated", B.substr(0, B.find("p2")), N, P, "t.blocks:9: file ends after"},
      {"unknown block type", replace(B, "hardrectilinear", "hardrectangle"), N, P,
       "t.blocks:8: unknown block type"},
      {"pin names nothing", B, replace(N, "p2 B", "p9 B"), P,
       "t.nets:11: pin names nothing: \"p9\"\n"},
      {"degree cut short", B, replace(N, "NetDegree : 2", "NetDegree :"), P,
       "t.nets:9: expected \"NetDegree : degree\"\n"},
      {"pin direction missing", B, replace(N, "sb1 B\np1", "sb1\np1"), P,
       "t.nets:7: line cut short: missing the pin direction\n"},
      {"net short of its degree", B, replace(N, "sb1 B\np1 B\n", "sb1 B\n"), P,
       "t.nets:8: net 1 ends 1 pins short of its degree\n"},
      {"nets truncated", B, N.substr(0, N.size() - 5), P,
       "t.nets:10: file ends 1 pins short of the last net\n"},
      {"pin count wrong", B, replace(N, "NumPins : 5", "NumPins : 6"), P,
       "t.nets:11: file ends after 2 nets and 5 pins; the counts say 2 and 6\n"},
      {"placement cut short", B, N, replace(P, "sb1 0 0", "sb1 0"), "t.pl:4: line cut short"},
      {"unknown name", B, N, replace(P, "sb1 0 0", "sb7 0 0"), "t.pl:4: ERROR: unknown name"},
      {"placed twice", B, N, replace(P, "sb1 0 0", "sb0 1 1"), "t.pl:4: location given twice"},
      {"bad orientation", B, N, replace(P, ": FS\np2", ": UP\np2"), "t.pl:5: unknown orientation"},
      {"bad DIMS", B, N, replace(P, "sb1 0 0", "sb1 0 0 DIMS = (3 4)"),
       "t.pl:4: ERROR in parsing .pl file while reading in DIMS\n"},
      {"terminal without location", B, N, replace(P, "p2 40 25 : FS\n", ""),
       "t.pl:5: no location for terminal \"p2\"\n"},
      {"huge number", B, N, replace(P, "p2 40", "p2 4e300"), "t.pl:6: x coordinate"},
      {"NUL byte", replace(B, "p1 terminal", std::string("p1\0terminal", 11)), N, P,
       "t.blocks:9: unexpected NUL byte\n"},
  };
  for (const Case& c : cases) {
    std::string message = errorOf(c.blocks, c.nets, c.pl);
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.what << ": " << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << c.what << ": " << message;
  }
}

// An input that gives `head` and then repeats `pattern` for ever.
class EndlessBuffer : public std::streambuf {
 public:
  EndlessBuffer(std::string head, std::string pattern)
      : chunk_(std::move(head)), pattern_(std::move(pattern)) {
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
  }

 protected:
  int_type underflow() override {
    chunk_.clear();
    while (chunk_.size() < 4096) chunk_ += pattern_;
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string chunk_, pattern_;
};

TEST(BenchmarkReader, EndlessInputEndsInAnError) {
  struct Case {
    std::string head, pattern, message;
  } cases[] = {
      {"", "a", "big.blocks:1: line too long"},
      {"X blocks 1.0\nNumSoftRectangularBlocks : 0\nNumHardRectilinearBlocks : 0\n"
       "NumTerminals : 3\n",
       "p terminal\n", "big.blocks:6: name defined twice"},
  };
  for (const Case& c : cases) {
    EndlessBuffer buffer(c.head, c.pattern);
    std::istream in(&buffer);
    BenchmarkDesign d;
    try {
      readBlockFile(in, "big.blocks", d);
      ADD_FAILURE() << "endless input accepted";
    } catch (const osvo::Error& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
  }
}

TEST(BenchmarkFiles, OpeningAndWritingFailuresNameTheFile) {
  std::string dir = osvotest::scratchDir("fenrik_files");
  osvotest::writeFile(dir + "/plain", "not a directory");
  BenchmarkDesign d = parse(kBlocks, kNets, kPl);
  EXPECT_TRUE(
      osvotest::throwsError([&] { writeBenchmark(dir + "/plain/osvo", d); },
                            "^ERROR: " + dir + "/plain/osvo.blocks could not be written\n$"));
  writeBenchmark(dir + "/osvo", d);
  EXPECT_EQ(readBenchmark(dir + "/osvo").centreWirelength(), d.centreWirelength());

  std::remove((dir + "/osvo.pl").c_str());
  EXPECT_TRUE(osvotest::throwsError([&] { readBenchmark(dir + "/osvo"); },
                                    "^" + dir + "/osvo.pl: ERROR: .pl file could not be opened"));
  EXPECT_TRUE(osvotest::throwsError([&] { readBenchmark(dir + "/none"); },
                                    "^" + dir + "/none.blocks: Error opening file!\n$",
                                    osvo::kExitBadInput, osvo::Stream::Out));
}

}  // namespace
