// The floorplan as a gnuplot script: block rectangles, the chip's upper and
// right boundary, timing-critical nets drawn as stars from their centre, and
// optional labels.
#include <fstream>
#include <iostream>

#include "floorplan/DB.h"
#include "support/Assert.h"

using CoarsePlacement::CktInstance;
using CoarsePlacement::CktNet;
using CoarsePlacement::CktPin;

namespace {
// Nets at least this heavily weighted by timing count as critical.
constexpr double kCriticalWeight = 0.9;

// A pin of a net with the block it claims to sit on.
struct NetPinRef {
  CktPin* pin;
  CktInstance* instPtr;
};

// A net's pin must sit on the block that the design lists at the block's index.
void checkNetPin(const std::vector<CktInstance*>& nodes, const NetPinRef* netPin) {
  int idx = netPin->instPtr->index;
  CktInstance* node =
      idx >= 0 && idx < static_cast<int>(nodes.size()) ? nodes[static_cast<size_t>(idx)] : nullptr;
  OSVO_ASSERT(node == netPin->instPtr);
}
}  // namespace

void DB::plot(const char* fileName, double area, double whitespace, double aspectRatio,
              double cycle, bool drawCriticalNets, bool labels) {
  std::cout << "OutPut Plot file is " << fileName << "\n";
  std::ofstream out(fileName, std::ios::trunc);
  if (!out) {
    std::cout.flush();
    std::cerr << "Warning: cannot open plot file " << fileName << "; no plot is written\n";
    return;
  }
  CktInstance* top = design_->topInst;
  const auto& nodes = design_->instList;
  double chipW = top ? getNodeWidth(top) : 0.0;
  double chipH = top ? getNodeHeight(top) : 0.0;

  out << "set nokey\n";
  out << "set title ' " << fileName << " area= " << area << " WS= " << whitespace << "%"
      << " AR= " << aspectRatio << " cycle= " << 1 / cycle << "GHz"
      << "'\n\n";
  out << "# set terminal postscript eps color 10\n";
  out << "# set output \"out.eps\"\n\n\n";
  out << "# set terminal postscript portrait color 8\n";
  out << "# set output \"out.ps\"\n\n\n";

  if (labels) {
    for (CktInstance* inst : nodes) {
      out << "set label \"" << getName(inst) << "\" at " << inst->loc.x + getNodeWidth(inst) / 4
          << " , " << inst->loc.y + getNodeHeight(inst) / 4 << "\n";
    }
    if (top) {
      for (const auto* pins : {&top->inPins, &top->outPins, &top->biPins}) {
        for (CktPin* pin : *pins) {
          out << "set label \"" << (pin->port ? pin->port->name : std::string()) << "\" at "
              << (0.5 + pin->offset.x) * chipW << " , " << (0.5 + pin->offset.y) * chipH << "\n";
        }
      }
    }
    // A critical net is labelled at its source pin (its first pin without one).
    for (CktNet* net : design_->netList) {
      if (net->weight < kCriticalWeight || net->pins.empty()) continue;
      CktPin* pin = net->source ? net->source : net->pins[0];
      if (pin->inst != top) {
        NetPinRef ref{pin, pin->inst};
        checkNetPin(nodes, &ref);
      }
      CoarsePlacement::TwoDLoc at = pinPosition(pin);
      out << "set label \"" << net->name << "\" at " << at.x << " , " << at.y << "\n";
      std::cout << "Net Name: " << net->name << " Slack time: " << pin->slack << "\n";
    }
  }

  // The second data set (the critical nets) is drawn in line type 3. Gnuplot
  // no longer takes a bare number after "w l" for it, so the type is named.
  out << "plot '-' w l, '-' w l lt 3\n";
  for (CktInstance* inst : nodes) {
    double x = inst->loc.x;
    double y = inst->loc.y;
    double w = getNodeWidth(inst);
    double h = getNodeHeight(inst);
    out << x << " " << y << "\n"
        << x + w << " " << y << "\n"
        << x + w << " " << y + h << "\n"
        << x << " " << y + h << "\n"
        << x << " " << y << "\n\n";
  }
  out << 0 << " " << chipH << "\n" << chipW << " " << chipH << "\n" << 0 << " " << chipH << "\n\n";
  out << chipW << " " << chipH << "\n"
      << chipW << " " << 0 << "\n"
      << chipW << " " << chipH << "\n\n";
  out << "EOF\n";

  if (drawCriticalNets) {
    for (CktNet* net : design_->netList) {
      if (net->weight < kCriticalWeight) continue;
      // The centre of the star is the mean position of the net's block pins;
      // pins on the chip boundary are drawn as rays from it too.
      double ax = 0;
      double ay = 0;
      int count = 0;
      for (CktPin* pin : net->pins) {
        if (pin->inst == top) continue;
        NetPinRef ref{pin, pin->inst};
        checkNetPin(nodes, &ref);
        CoarsePlacement::TwoDLoc p = pinPosition(pin);
        ax += p.x;
        ay += p.y;
        ++count;
      }
      if (count == 0) continue;  // a net among chip pins only has no centre
      ax /= count;
      ay /= count;
      for (CktPin* pin : net->pins) {
        CoarsePlacement::TwoDLoc p = pinPosition(pin);
        if (p.x == 0 && p.y == 0) continue;
        out << ax << "  " << ay << "\n" << p.x << "  " << p.y << "\n" << ax << "  " << ay << "\n\n";
      }
    }
  }
  out << "EOF\n\npause -1 'Press any key' \n";
  // A full disk or a device that refuses the text loses the script: say so.
  out.close();
  if (!out) {
    std::cout.flush();
    std::cerr << "Warning: the plot file " << fileName << " could not be written completely\n";
  }
}
