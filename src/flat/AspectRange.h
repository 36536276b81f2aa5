#pragma once
// The shapes a soft block may take: its height over width between a least and
// a greatest ratio. Attached to an instance under kAspectRangeKey by input
// paths that know it; a block without one keeps the shape of its version.
#include "flat/ExtendibleData.h"

namespace CoarsePlacement {

inline constexpr const char* kAspectRangeKey = "aspectRange";

class AspectRange : public ExtendibleData::ext_base {
 public:
  AspectRange(double least, double greatest) : minAspect(least), maxAspect(greatest) {}
  double minAspect;
  double maxAspect;
};

}  // namespace CoarsePlacement
