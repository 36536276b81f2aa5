// Floorplanning benchmarks read through the "b" input path: the files (or an
// .aux list of them) become a flat design whose wire length is the
// benchmark's standard measure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "RunBinary.h"
#include "bookshelf/BenchmarkFiles.h"
#include "bookshelf/BenchmarkFlatDesign.h"
#include "bookshelf/BenchmarkRunReport.h"
#include "fenrik/BenchmarkReader.h"
#include "flat/AspectRange.h"
#include "floorplan/DB.h"
#include "stage/RunObserver.h"
#include "support/Error.h"

using namespace CoarsePlacement;

namespace {

size_t chipPins(const FlatDesign& d) {
  return d.topInst->inPins.size() + d.topInst->outPins.size() + d.topInst->biPins.size();
}

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const osvo::Error& e) {
    return e.what();
  }
  return "no error";
}

BenchmarkDesign benchmarkFromText(const std::string& blocks, const std::string& nets,
                                  const std::string& pl) {
  BenchmarkDesign d;
  std::istringstream b(blocks), n(nets), p(pl);
  readBlockFile(b, "t.blocks", d);
  readNetsFile(n, "t.nets", d);
  readPlFile(p, "t.pl", d);
  return d;
}

// Every GSRC benchmark: counts, shapes, soft ranges, terminals on the chip
// boundary, and the standard wire length of the shipped hard placements.
TEST(BenchmarkInput, EveryGsrcVariantBecomesAFlatDesignWithTheStandardWireLength) {
  const std::string dir = OSVO_GSRC_DIR;
  if (dir.empty()) GTEST_SKIP() << "GSRC benchmarks not found";
  struct Row {
    const char* name;
    size_t blocks, terminals, nets, pins;
    double wirelength;
  } rows[] = {
      {"n10", 10, 69, 118, 248, 64299},       {"n30", 30, 212, 349, 723, 179811},
      {"n50", 50, 209, 485, 1050, 234281.5},  {"n100", 100, 334, 885, 1873, 395719},
      {"n200", 200, 564, 1585, 3599, 738707}, {"n300", 300, 569, 1893, 4358, 937608.5},
  };
  for (const Row& r : rows) {
    for (const char* variant : {"HARD", "SOFT"}) {
      SCOPED_TRACE(std::string(variant) + "/" + r.name);
      const bool soft = variant[0] == 'S';
      const std::string name = dir + "/" + variant + "/" + r.name;
      const BenchmarkDesign bench = readBenchmark(name);
      std::unique_ptr<FlatDesign> d = buildBenchmarkDesign(name);
      ASSERT_TRUE(d->wireLengthOnly);
      EXPECT_EQ(d->instList.size(), r.blocks);
      EXPECT_EQ(d->netList.size(), r.nets);
      EXPECT_EQ(chipPins(*d), r.terminals);  // every GSRC terminal is on one net
      size_t pins = 0;
      for (const CktNet* n : d->netList) pins += n->pins.size();
      EXPECT_EQ(pins, r.pins);

      for (size_t i = 0; i < r.blocks; ++i) {
        const CktInstance* inst = d->instList[i];
        const DesignBlock& b = bench.blocks[i];
        const CktVersion* v = inst->master->versions[0];
        EXPECT_DOUBLE_EQ(v->width * v->height, b.area);
        if (!soft) {
          EXPECT_EQ(std::make_pair(v->width, v->height), std::make_pair(b.width, b.height));
        }
        auto* range = dynamic_cast<AspectRange*>(inst->getExtData(kAspectRangeKey));
        ASSERT_EQ(range != nullptr, soft);
        if (soft) {
          EXPECT_EQ(v->width, v->height);
          EXPECT_EQ(range->minAspect, 0.3);
          EXPECT_EQ(range->maxAspect, 3.0);
        }
      }
      for (const CktPin* p : d->topInst->biPins) {
        EXPECT_DOUBLE_EQ(std::max(std::fabs(p->offset.x), std::fabs(p->offset.y)), 0.5);
      }

      if (soft && r.blocks == 300) {  // its placement comments out a first DIMS of sb73
        const DesignPlacement& sb73 = bench.blocks[bench.names.at("sb73").index].placement;
        EXPECT_EQ(std::make_pair(sb73.dimsWidth, sb73.dimsHeight), std::make_pair(24.0, 23.0));
      }
      if (soft) continue;  // the shipped soft placements use other shapes
      for (size_t i = 0; i < r.blocks; ++i) {
        d->instList[i]->loc = TwoDLoc(bench.blocks[i].placement.x, bench.blocks[i].placement.y);
      }
      double lo = 1e300, hi = -1e300;
      for (const DesignTerminal& t : bench.terminals) {
        lo = std::min({lo, t.placement.x, t.placement.y});
        hi = std::max({hi, t.placement.x, t.placement.y});
      }
      ASSERT_EQ(lo, 0.0);
      DB db(d.get(), 15, false, 0, 0, 1.0);
      CktVersion* chip = d->topInst->master->versions[0];
      chip->width = chip->height = hi;
      EXPECT_NEAR(db.wireLength(), r.wirelength, 1e-6);
      auto* report = dynamic_cast<BenchmarkRunReport*>(d->getExtData(kRunObserverKey));
      report->update(db);
      EXPECT_NEAR(report->placed().centreWirelength(), r.wirelength, 1e-6);
    }
  }
}

TEST(BenchmarkInput, PinDirectionsNetNamesAndDegenerateTerminalBoxes) {
  const BenchmarkDesign bench = benchmarkFromText(
      "UCSC blocks 1.0\nNumSoftRectangularBlocks : 1\nNumHardRectilinearBlocks : 1\n"
      "NumTerminals : 1\na softrectangular 16\nb hardrectilinear 4 (0, 0) (0, 3) (2, 3) (2, 0)\n"
      "t terminal\n",
      "UCLA nets 1.0\nNumNets : 2\nNumPins : 5\nNetDegree : 3 clk\nb I\nt O\na B\n"
      "NetDegree : 2\na O\nb B\n",
      "UCLA pl 1.0\nt 7 9\n");
  std::unique_ptr<FlatDesign> d = benchmarkFlatDesign(bench, "tiny");
  ASSERT_EQ(d->netList.size(), 2u);
  EXPECT_EQ(d->netList[1]->name, "net1");
  CktInstance* a = d->instList[0];
  CktInstance* b = d->instList[1];
  EXPECT_EQ(a->master->versions[0]->width, 4.0);  // the square of a soft block without range
  EXPECT_EQ(b->inPins.size() + b->biPins.size() + a->outPins.size() + a->biPins.size(), 4u);
  ASSERT_EQ(d->topInst->outPins.size(), 1u);
  const CktPin* t = d->topInst->outPins[0];
  // A single terminal spans no box: it goes to the chip's centre.
  EXPECT_EQ(std::make_pair(t->offset.x, t->offset.y), std::make_pair(0.0, 0.0));
}

TEST(BenchmarkInput, AuxFilesListTheThreeFiles) {
  const std::string dir = osvotest::scratchDir("aux");
  std::istringstream aux(
      "# a comment\nRowBasedPlacement : x.nodes d.nets d.wts /abs/d.pl d.blocks\n");
  const BenchmarkFileNames names = readAuxFile(aux, "d.aux", dir);
  EXPECT_EQ(names.blocks, dir + "/d.blocks");
  EXPECT_EQ(names.nets, dir + "/d.nets");
  EXPECT_EQ(names.pl, "/abs/d.pl");

  std::istringstream twice("A : d.blocks d.nets\n\nB : e.nets d.pl\n");
  EXPECT_EQ(errorOf([&] { readAuxFile(twice, "d.aux", ""); }),
            "d.aux:3: more than one .nets file: \"e.nets\"\n");

  // "-d NAME" takes NAME.aux when there is no NAME.blocks, and "-d NAME.aux".
  osvotest::writeFile(dir + "/d.aux", "BlockPlacement : e.blocks e.nets e.pl\n");
  EXPECT_EQ(benchmarkFileNames(dir + "/d").blocks, dir + "/e.blocks");
  EXPECT_EQ(benchmarkFileNames(dir + "/d.aux").pl, dir + "/e.pl");
  osvotest::writeFile(dir + "/d.blocks", "");
  EXPECT_EQ(benchmarkFileNames(dir + "/d").blocks, dir + "/d.blocks");
}

// The orientation words follow the turns the flat design applies.
TEST(BenchmarkInput, OrientationWordsMatchTheTurns) {
  struct Turn {
    const char* word;
    double x, y;  // where (1, 2) goes
  } turns[] = {{"N", 1, 2},   {"W", -2, 1},   {"S", -1, -2}, {"E", 2, -1},
               {"FN", -1, 2}, {"FW", -2, -1}, {"FS", 1, -2}, {"FE", 2, 1}};
  for (int o = 0; o < 8; ++o) {
    const auto orient = static_cast<CP::oritType>(o);
    double x = 0, y = 0;
    CP::translate(orient, 1, 2, x, y);
    const std::string word = benchmarkOrientation(orient);
    const auto* t = std::find_if(std::begin(turns), std::end(turns),
                                 [&](const Turn& t) { return word == t.word; });
    ASSERT_NE(t, std::end(turns)) << word;
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(t->x, t->y)) << word;
  }
}

}  // namespace
