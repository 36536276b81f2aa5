#pragma once
// The eight block orientations and the transform of a vector by one of them.

namespace CP {

enum oritType { B0 = 0, B90 = 1, B180 = 2, B270 = 3, F0 = 4, F90 = 5, F180 = 6, F270 = 7 };

// Turns the vector (x, y) by orientation o into (rx, ry). Flipped orientations
// negate y first. A negative o leaves rx and ry untouched.
inline void translate(int o, double x, double y, double& rx, double& ry) {
  if (o > 3) {
    y = -y;
    o -= 4;
  }
  switch (o) {
    case 0:
      rx = x;
      ry = y;
      break;
    case 1:
      rx = -y;
      ry = x;
      break;
    case 2:
      rx = -x;
      ry = -y;
      break;
    case 3:
      rx = y;
      ry = -x;
      break;
    default:
      break;
  }
}

// The vector that orientation o turns into (x, y): the inverse of translate. A
// flipped orientation is its own inverse; a rotation is undone by the opposite
// rotation. Codes outside 0 to 7 give (0, 0).
inline void inverseTranslate(int o, double x, double y, double& rx, double& ry) {
  rx = 0;
  ry = 0;
  if (o > 7 || o < 0) return;
  if (o > 3) {
    translate(o, x, y, rx, ry);
    return;
  }
  translate((4 - o) % 4, x, y, rx, ry);
}

// Text form to orientation; an unknown text prints an error line and gives B0.
oritType toOrient(const char* text);
// Orientation to text form; an unknown value prints an error line and gives "B0".
const char* toChar(oritType o);

}  // namespace CP
