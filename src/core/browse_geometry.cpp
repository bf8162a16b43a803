#include "core/browse_geometry.h"

namespace ixo {

BrowsePoint CenterScreenPosition(int workWidth, int workHeight, int windowWidth, int windowHeight) {
  // Widen before subtracting: sizes near the int limits must not overflow.
  const long long spareX = static_cast<long long>(workWidth) - windowWidth;
  const long long spareY = static_cast<long long>(workHeight) - windowHeight;
  return {static_cast<int>(spareX / 2), static_cast<int>(spareY / 3)};
}

}  // namespace ixo
