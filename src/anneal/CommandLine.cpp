#include "anneal/CommandLine.h"

#include <iostream>

void Command_Line::printAnnealerParams() const {
  std::cout << "Annealer Params: \n";
  std::cout << "\tnormalizing Time  " << normTime << '\n';
  std::cout << "\tstart Time        " << startTime << '\n';
  std::cout << "\tcooling Time      " << coolTime << '\n';
  std::cout << "\treqd Aspect Ratio " << reqdAR << " (-9999 means no fixed shape)\n";
  std::cout << "\tminimize WL       " << (minWL ? 1 : 0) << '\n';
  std::cout << "\tmaximum WS        " << maxWS << "% (only for fixed-outline)\n\n";
}
