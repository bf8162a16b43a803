// Key names and texts numbered in decimal ("Dir0", "Dir1", ...), for tests
// that build settings files of many keys.
#pragma once

#include <string>
#include <string_view>

namespace ixo {

// `prefix` followed by `n` in decimal.
inline std::string Numbered(std::string_view prefix, long long n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

}  // namespace ixo
