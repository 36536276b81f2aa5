#pragma once
// One block as the feasibility packers see it.

struct PackItem {
  bool soft = false;
  double width = 0.0;  // hard: the outline (either orientation may be used)
  double height = 0.0;
  double area = 0.0;       // soft: the area to keep
  double minAspect = 0.0;  // soft: bounds of height / width
  double maxAspect = 0.0;
};
