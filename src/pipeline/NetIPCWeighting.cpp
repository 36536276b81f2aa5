#include "pipeline/NetIPCWeighting.h"

#include <algorithm>

#include "support/Assert.h"

using CoarsePlacement::CktNet;

void netIPCWeighting(CoarsePlacement::FlatDesign* design) {
  OSVO_ASSERT(design != nullptr);
  OSVO_ASSERT(design->pathProb.size() >= design->pathList.size());

  for (CktNet* net : design->netList) net->ipcWeight = 0;
  for (size_t i = 0; i < design->pathList.size(); ++i)
    for (CktNet* net : design->pathList[i]) net->ipcWeight += design->pathProb[i];

  double m = 9999.0;
  for (const CktNet* net : design->netList) m = std::min(m, net->ipcWeight);

  if (m == 0.0) {
    // No path carries any weight (every probability is 0, say): the normalised
    // weights are undefined, so every net keeps weight 0.
    for (CktNet* net : design->netList) net->ipcWeight = 0;
    return;
  }
  const double scale = 1.0 / m;
  for (CktNet* net : design->netList) net->ipcWeight *= scale;
}
