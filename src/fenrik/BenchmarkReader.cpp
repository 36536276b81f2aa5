#include "fenrik/BenchmarkReader.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <string_view>
#include <vector>

#include "fenrik/TextLines.h"
#include "support/Error.h"

using fenrik_text::LineSource;
using fenrik_text::parseCount;
using fenrik_text::parseNumber;
using fenrik_text::quoted;
using Tokens = std::vector<std::string_view>;

namespace {

constexpr long long kMaxItems = 50'000'000;

// "... KIND VERSION": the header line, with any words before the kind.
bool isHeader(const Tokens& t, std::string_view kind) {
  double version;
  return t.size() >= 2 && t[t.size() - 2] == kind && parseNumber(t.back(), version);
}

void readHeader(LineSource& src, Tokens& t, std::string_view kind, std::string_view altKind = {}) {
  while (src.next(t)) {
    if (t.empty()) continue;
    if (isHeader(t, kind) || (!altKind.empty() && isHeader(t, altKind))) return;
    src.fail("missing header \"" + std::string(kind) + " 1.0\"");
  }
  src.fail("missing header \"" + std::string(kind) + " 1.0\"");
}

// "KEY : N"; returns false when the line is not about `key`.
bool readCountLine(LineSource& src, const Tokens& t, std::string_view key, long long& value,
                   bool& seen) {
  if (t.empty() || t[0] != key) return false;
  if (seen) src.fail(std::string(key) + " given twice");
  if (t.size() < 3 || t[1] != ":") src.fail("expected \"" + std::string(key) + " : count\"");
  if (!parseCount(t[2], kMaxItems, value))
    src.fail(std::string(key) + " is not a count: " + quoted(t[2]));
  if (t.size() > 3) src.fail("unexpected " + quoted(t[3]) + " after the count");
  seen = true;
  return true;
}

double numberAt(LineSource& src, const Tokens& t, size_t i, const char* what) {
  if (i >= t.size()) src.fail(std::string("line cut short: missing ") + what);
  double v;
  if (!parseNumber(t[i], v))
    src.fail(std::string(what) + " is not a number (of magnitude up to 1e18): " + quoted(t[i]));
  return v;
}

void expectToken(LineSource& src, const Tokens& t, size_t i, std::string_view want,
                 const char* context) {
  if (i >= t.size()) src.fail(std::string("line cut short in ") + context);
  if (t[i] != want)
    src.fail("expected \"" + std::string(want) + "\" in " + context + ", found " + quoted(t[i]));
}

void addName(LineSource& src, BenchmarkDesign& design, std::string_view name, bool terminal,
             int index) {
  auto [it, fresh] = design.names.try_emplace(std::string(name), BenchmarkDesign::NameRef{});
  if (!fresh) src.fail("name defined twice: " + quoted(name));
  it->second.terminal = terminal;
  it->second.index = index;
}

void readSoftBlock(LineSource& src, const Tokens& t, DesignBlock& block) {
  block.soft = true;
  block.area = numberAt(src, t, 2, "soft block area");
  if (block.area < 0) src.fail("negative block area");
  block.width = block.height = std::sqrt(block.area);
  if (t.size() == 3) return;
  block.minAspect = numberAt(src, t, 3, "minimum aspect ratio");
  block.maxAspect = numberAt(src, t, 4, "maximum aspect ratio");
  if (t.size() > 5) src.fail("unexpected " + quoted(t[5]) + " after the aspect ratios");
  if (!(block.minAspect > 0 && block.minAspect <= block.maxAspect))
    src.fail("aspect ratio range must satisfy 0 < minimum <= maximum");
  block.hasAspectRange = true;
}

// "NAME hardrectilinear N (x, y) ... (x, y)": the block is the bounding box of its corners.
void readHardBlock(LineSource& src, const Tokens& t, DesignBlock& block) {
  long long corners;
  if (t.size() < 3) src.fail("line cut short: missing the corner count");
  if (!parseCount(t[2], 1'000'000, corners) || corners < 4)
    src.fail("corner count is not a number of at least 4: " + quoted(t[2]));
  double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
  size_t i = 3;
  for (long long k = 0; k < corners; ++k) {
    expectToken(src, t, i, "(", "a corner");
    double x = numberAt(src, t, i + 1, "corner x");
    expectToken(src, t, i + 2, ",", "a corner");
    double y = numberAt(src, t, i + 3, "corner y");
    expectToken(src, t, i + 4, ")", "a corner");
    i += 5;
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  if (i < t.size()) src.fail("unexpected " + quoted(t[i]) + " after the corners");
  block.soft = false;
  block.width = maxX - minX;
  block.height = maxY - minY;
  block.area = block.width * block.height;
  if (!std::isfinite(block.area)) src.fail("block too large");
}

void readOffsets(LineSource& src, const Tokens& t, size_t i, DesignPin& pin) {
  expectToken(src, t, i, ":", "the pin offsets");
  double v[2];
  bool percent[2];
  for (int k = 0; k < 2; ++k) {
    if (i + 1 + k >= t.size()) src.fail("line cut short: missing a pin offset");
    std::string_view tok = t[i + 1 + k];
    percent[k] = !tok.empty() && tok[0] == '%';
    if (percent[k]) tok.remove_prefix(1);
    if (!parseNumber(tok, v[k])) src.fail("pin offset is not a number: " + quoted(t[i + 1 + k]));
  }
  if (percent[0] != percent[1]) src.fail("pin offsets mix percentages and plain numbers");
  if (i + 3 < t.size()) src.fail("unexpected " + quoted(t[i + 3]) + " after the pin offsets");
  pin.hasOffset = true;
  pin.offsetInPercent = percent[0];
  pin.xOffset = v[0];
  pin.yOffset = v[1];
}

bool isOrientation(std::string_view w) {
  static const char* const kWords[] = {"N", "S", "E", "W", "FN", "FS", "FE", "FW"};
  for (const char* k : kWords)
    if (w == k) return true;
  return false;
}

}  // namespace

void readBlockFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design) {
  LineSource src(in, fileName);
  Tokens t;
  readHeader(src, t, "blocks");
  long long numSoft = 0, numHard = 0, numTerminals = 0;
  bool seenSoft = false, seenHard = false, seenTerminals = false;
  long long soft = 0, hard = 0, terminals = 0;
  while (src.next(t)) {
    if (t.empty()) continue;
    if (readCountLine(src, t, "NumSoftRectangularBlocks", numSoft, seenSoft) ||
        readCountLine(src, t, "NumHardRectilinearBlocks", numHard, seenHard) ||
        readCountLine(src, t, "NumTerminals", numTerminals, seenTerminals))
      continue;
    if (!(seenSoft && seenHard && seenTerminals))
      src.fail(
          "expected the counts NumSoftRectangularBlocks, NumHardRectilinearBlocks and "
          "NumTerminals before the blocks");
    if (t.size() < 2) src.fail("line cut short: missing the block type of " + quoted(t[0]));
    if (t[1] == "terminal") {
      if (t.size() > 2) src.fail("unexpected " + quoted(t[2]) + " after terminal");
      if (++terminals > numTerminals) src.fail("more terminals than NumTerminals says");
      addName(src, design, t[0], true, static_cast<int>(design.terminals.size()));
      design.terminals.push_back({std::string(t[0]), {}});
      continue;
    }
    DesignBlock block;
    block.name = std::string(t[0]);
    if (t[1] == "softrectangular") {
      if (++soft > numSoft) src.fail("more soft blocks than NumSoftRectangularBlocks says");
      readSoftBlock(src, t, block);
    } else if (t[1] == "hardrectilinear") {
      if (++hard > numHard) src.fail("more hard blocks than NumHardRectilinearBlocks says");
      readHardBlock(src, t, block);
    } else {
      src.fail("unknown block type " + quoted(t[1]));
    }
    addName(src, design, t[0], false, static_cast<int>(design.blocks.size()));
    design.blocks.push_back(std::move(block));
  }
  if (!(seenSoft && seenHard && seenTerminals)) src.fail("file ends before the block counts");
  if (soft != numSoft || hard != numHard || terminals != numTerminals)
    src.fail("file ends after " + std::to_string(soft) + " soft blocks, " + std::to_string(hard) +
             " hard blocks and " + std::to_string(terminals) + " terminals; the counts say " +
             std::to_string(numSoft) + ", " + std::to_string(numHard) + " and " +
             std::to_string(numTerminals));
}

void readNetsFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design) {
  LineSource src(in, fileName);
  Tokens t;
  readHeader(src, t, "nets");
  long long numNets = 0, numPins = 0;
  bool seenNets = false, seenPins = false;
  long long pins = 0;
  long long open = 0;  // pins still expected by the current net
  size_t firstNet = design.nets.size();
  while (src.next(t)) {
    if (t.empty()) continue;
    if (open == 0 && (readCountLine(src, t, "NumNets", numNets, seenNets) ||
                      readCountLine(src, t, "NumPins", numPins, seenPins)))
      continue;
    if (t[0] == "NetDegree") {
      if (open > 0)
        src.fail("net " + std::to_string(design.nets.size() - firstNet) + " ends " +
                 std::to_string(open) + " pins short of its degree");
      if (!(seenNets && seenPins)) src.fail("expected NumNets and NumPins before the nets");
      if (static_cast<long long>(design.nets.size() - firstNet) >= numNets)
        src.fail("more nets than NumNets says");
      if (t.size() < 3 || t[1] != ":") src.fail("expected \"NetDegree : degree\"");
      if (!parseCount(t[2], kMaxItems, open))
        src.fail("net degree is not a count: " + quoted(t[2]));
      if (t.size() > 4) src.fail("unexpected " + quoted(t[4]) + " after the net name");
      DesignNet net;
      if (t.size() == 4) net.name = std::string(t[3]);
      design.nets.push_back(std::move(net));
      continue;
    }
    if (open == 0) src.fail("unexpected line starting with " + quoted(t[0]));
    auto ref = design.names.find(std::string(t[0]));
    if (ref == design.names.end()) src.fail("pin names nothing: " + quoted(t[0]));
    DesignPin pin;
    pin.onTerminal = ref->second.terminal;
    pin.index = ref->second.index;
    if (t.size() < 2) src.fail("line cut short: missing the pin direction");
    if (t[1] != "B" && t[1] != "I" && t[1] != "O")
      src.fail("pin direction is not B, I or O: " + quoted(t[1]));
    pin.direction = t[1][0];
    if (t.size() > 2) readOffsets(src, t, 2, pin);
    if (++pins > numPins) src.fail("more pins than NumPins says");
    design.nets.back().pins.push_back(pin);
    --open;
  }
  long long nets = static_cast<long long>(design.nets.size() - firstNet);
  if (!(seenNets && seenPins)) src.fail("file ends before NumNets and NumPins");
  if (open > 0) src.fail("file ends " + std::to_string(open) + " pins short of the last net");
  if (nets != numNets || pins != numPins)
    src.fail("file ends after " + std::to_string(nets) + " nets and " + std::to_string(pins) +
             " pins; the counts say " + std::to_string(numNets) + " and " +
             std::to_string(numPins));
  design.pinCount += static_cast<size_t>(pins);
}

void readPlFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design) {
  LineSource src(in, fileName);
  Tokens t;
  readHeader(src, t, "pl", "blocks");
  while (src.next(t)) {
    if (t.empty()) continue;
    auto ref = design.names.find(std::string(t[0]));
    if (ref == design.names.end()) src.fail("ERROR: unknown name " + quoted(t[0]));
    DesignPlacement& pl = ref->second.terminal ? design.terminals[ref->second.index].placement
                                               : design.blocks[ref->second.index].placement;
    if (pl.given) src.fail("location given twice for " + quoted(t[0]));
    DesignPlacement read;
    read.given = true;
    read.x = numberAt(src, t, 1, "x coordinate");
    read.y = numberAt(src, t, 2, "y coordinate");
    size_t i = 3;
    while (i < t.size()) {
      if (t[i] == ":" && read.orientation.empty()) {
        if (i + 1 >= t.size()) src.fail("line cut short: missing the orientation");
        if (!isOrientation(t[i + 1])) src.fail("unknown orientation " + quoted(t[i + 1]));
        read.orientation = std::string(t[i + 1]);
        i += 2;
      } else if (t[i] == "DIMS" && !read.hasDims) {
        const char* what = "ERROR in parsing .pl file while reading in DIMS";
        if (i + 6 >= t.size() || t[i + 1] != "=" || t[i + 2] != "(" || t[i + 4] != "," ||
            t[i + 6] != ")" || !parseNumber(t[i + 3], read.dimsWidth) ||
            !parseNumber(t[i + 5], read.dimsHeight) || read.dimsWidth < 0 || read.dimsHeight < 0)
          src.fail(what);
        read.hasDims = true;
        i += 7;
      } else {
        src.fail("unexpected " + quoted(t[i]) + " on a placement line");
      }
    }
    pl = std::move(read);
  }
  for (const DesignTerminal& term : design.terminals)
    if (!term.placement.given) src.fail("no location for terminal " + quoted(term.name));
}

BenchmarkDesign readBenchmark(const std::string& baseName) {
  return readBenchmarkFiles(baseName + ".blocks", baseName + ".nets", baseName + ".pl");
}

BenchmarkDesign readBenchmarkFiles(const std::string& blocks, const std::string& nets,
                                   const std::string& pl) {
  BenchmarkDesign design;
  std::ifstream blockIn(blocks);
  if (!blockIn)
    osvo::fail(blocks + ": Error opening file!\n", osvo::kExitBadInput, osvo::Stream::Out);
  readBlockFile(blockIn, blocks, design);
  std::ifstream netIn(nets);
  if (!netIn) osvo::fail(nets + ": ERROR: .nets file could not be opened successfully\n");
  readNetsFile(netIn, nets, design);
  std::ifstream plIn(pl);
  if (!plIn) osvo::fail(pl + ": ERROR: .pl file could not be opened successfully\n");
  readPlFile(plIn, pl, design);
  return design;
}
