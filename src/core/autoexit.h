// The kinds of automatic exit (the settings' AcType): when the idle seconds
// before the program closes itself are counted. The settings may hold any
// byte; the three below are the ones the options dialog offers.
#pragma once

#include <cstdint>

namespace ixo {

// Counted while the main window is inactive, from the moment it became so.
inline constexpr uint8_t kExitAfterInactive = 0;
// Counted from the last automatic save, whether the window is active or not.
inline constexpr uint8_t kExitAfterLastSave = 1;
// "Whichever is longer", as the dialog offers it; counted as
// kExitAfterInactive.
inline constexpr uint8_t kExitWhicheverLonger = 2;

// Whether the count runs only while the main window is inactive. Any other
// kind, which only a hand-edited settings file can hold, counts as
// kExitAfterLastSave.
constexpr bool CountsInactivity(uint8_t acType) {
  return acType == kExitAfterInactive || acType == kExitWhicheverLonger;
}

}  // namespace ixo
