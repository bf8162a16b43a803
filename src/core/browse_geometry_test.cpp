#include "core/browse_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace ixo {

// Failures show the point, not its bytes.
void PrintTo(const BrowsePoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

struct CenterCase {
  int workWidth, workHeight, windowWidth, windowHeight;
  BrowsePoint expected;
};

TEST(BrowseGeometryTest, CenterScreenPosition) {
  const CenterCase cases[] = {
      // The browser of the options dialog on a 1024 x 768 screen with a taskbar.
      {1024, 738, 320, 380, {352, 119}},
      // Odd spare pixels are dropped, not rounded: 101 / 2 = 50, 100 / 3 = 33.
      {421, 480, 320, 380, {50, 33}},
      {1024, 768, 1024, 768, {0, 0}},
      // A window larger than the work area: truncation toward zero, not
      // toward minus infinity (-5 / 2 = -2, -7 / 3 = -2).
      {100, 100, 105, 107, {-2, -2}},
      {0, 0, 320, 380, {-160, -126}},
      // Extreme sizes do not overflow.
      {INT_MAX,
       INT_MAX,
       INT_MIN + 1,
       INT_MIN + 1,
       {INT_MAX, static_cast<int>((2LL * INT_MAX) / 3)}},
  };
  for (const CenterCase& c : cases) {
    EXPECT_EQ(c.expected,
              CenterScreenPosition(c.workWidth, c.workHeight, c.windowWidth, c.windowHeight))
        << c.workWidth << "x" << c.workHeight << " / " << c.windowWidth << "x" << c.windowHeight;
  }
}

}  // namespace
}  // namespace ixo
