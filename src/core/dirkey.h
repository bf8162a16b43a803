// The keys of the folder list in "IXO.ini": folder n of the list is saved
// under "Dir" followed by n in decimal, in section "List".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ixo {

// The key of folder `n` (n >= 0).
std::string DirKey(int64_t n);

// The index n of a key spelled "Dir" followed by n in plain decimal (no sign,
// no leading zero, at most ten digits, which every count of the list fits),
// with "Dir" in any letter case as the platform matches key names; -1 for
// any other key.
int64_t DirIndex(std::string_view name);

}  // namespace ixo
