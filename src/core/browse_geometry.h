// Where the folder browser stands when it is centred: the arithmetic alone,
// so that it is tested without a screen.
#pragma once

namespace ixo {

struct BrowsePoint {
  int x = 0;
  int y = 0;
  bool operator==(const BrowsePoint&) const = default;
};

// Top-left corner for a window of `windowWidth` x `windowHeight` in a work
// area of `workWidth` x `workHeight`: centred across, with one third of the
// spare height above it and two thirds below. Both divisions truncate toward
// zero, so a window larger than the work area moves up and left by a third
// and a half of the excess. The place is measured from the screen origin:
// the work area's own left and top are deliberately not added.
BrowsePoint CenterScreenPosition(int workWidth, int workHeight, int windowWidth, int windowHeight);

}  // namespace ixo
