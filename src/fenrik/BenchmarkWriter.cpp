#include "fenrik/BenchmarkWriter.h"

#include <fstream>
#include <sstream>

#include "support/Error.h"

namespace {

// Default formatting, with ".0" added to whole numbers.
std::string withPoint(double value) {
  std::ostringstream s;
  s << value;
  std::string text = s.str();
  if (text.find_first_of(".eEni") == std::string::npos) text += ".0";
  return text;
}

const std::string& pinName(const BenchmarkDesign& design, const DesignPin& pin) {
  return pin.onTerminal ? design.terminals[pin.index].name : design.blocks[pin.index].name;
}

template <typename WriteFn>
void writeFile(const std::string& path, const BenchmarkDesign& design, WriteFn write) {
  std::ofstream out(path);
  if (out) {
    write(out, design);
    out.close();
  }
  if (!out) osvo::fail("ERROR: " + path + " could not be written\n");
}

}  // namespace

void writeBlockFile(std::ostream& out, const BenchmarkDesign& design) {
  size_t soft = 0;
  for (const DesignBlock& b : design.blocks) soft += b.soft ? 1 : 0;
  out << "ZEPT blocks 1.0\n\n";
  out << "NumSoftRectangularBlocks : " << soft << "\n";
  out << "NumHardRectilinearBlocks : " << design.blocks.size() - soft << "\n";
  out << "NumTerminals : " << design.terminals.size() << "\n\n";
  for (const DesignBlock& b : design.blocks) {
    if (b.soft) {
      out << b.name << " softrectangular " << b.area;
      if (b.hasAspectRange) out << " " << withPoint(b.minAspect) << " " << withPoint(b.maxAspect);
      out << " \n";
    } else {
      out << b.name << " hardrectilinear 4 (0, 0) (0, " << b.height << ") (" << b.width << ", "
          << b.height << ") (" << b.width << ", 0)\n";
    }
  }
  for (const DesignTerminal& t : design.terminals) out << t.name << " terminal\n";
}

void writeNetsFile(std::ostream& out, const BenchmarkDesign& design) {
  size_t pins = 0;
  for (const DesignNet& n : design.nets) pins += n.pins.size();
  out << "ZEPT nets 1.0\n\n";
  out << "NumNets : " << design.nets.size() << "\n";
  out << "NumPins : " << pins << "\n";
  for (const DesignNet& n : design.nets) {
    out << "NetDegree : " << n.pins.size();
    if (!n.name.empty()) out << " " << n.name;
    out << "\n";
    for (const DesignPin& p : n.pins) {
      out << pinName(design, p) << " " << p.direction;
      if (p.hasOffset) {
        const char* pct = p.offsetInPercent ? "%" : "";
        out << " : " << pct << p.xOffset << " " << pct << p.yOffset;
      }
      out << "\n";
    }
  }
}

void writePlFile(std::ostream& out, const BenchmarkDesign& design, const std::string& header) {
  auto line = [&out](const std::string& name, const DesignPlacement& p) {
    if (!p.given) return;
    out << name << " " << p.x << " " << p.y;
    if (!p.orientation.empty()) out << " : " << p.orientation;
    if (p.hasDims) out << " DIMS = (" << p.dimsWidth << ", " << p.dimsHeight << ")";
    out << "\n";
  };
  out << header << "\n\n";
  for (const DesignBlock& b : design.blocks) line(b.name, b.placement);
  for (const DesignTerminal& t : design.terminals) line(t.name, t.placement);
}

void writeBenchmark(const std::string& baseName, const BenchmarkDesign& design) {
  writeFile(baseName + ".blocks", design, writeBlockFile);
  writeFile(baseName + ".nets", design, writeNetsFile);
  writeFile(baseName + ".pl", design,
            [](std::ostream& out, const BenchmarkDesign& d) { writePlFile(out, d); });
}
