#pragma once
// A point of the plane; the floorplan database and the fixed-outline
// floorplanner share it.

struct Point {
  double x = 0.0;
  double y = 0.0;
};
