#include "flat/FlatDesign.h"

#include <algorithm>

namespace CoarsePlacement {

FlatDesign::~FlatDesign() {
  for (CktNet* n : netList) delete n;
  for (CktInstance* i : instList) delete i;
  CktMaster* root = topInst ? topInst->master : nullptr;
  bool rootListed =
      root && std::find(masterList.begin(), masterList.end(), root) != masterList.end();
  for (CktMaster* m : masterList) delete m;
  delete topInst;
  if (root && !rootListed) delete root;
}

}  // namespace CoarsePlacement
