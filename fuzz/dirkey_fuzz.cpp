// The folder keys of "IXO.ini" on arbitrary key names, as a hand-edited file
// holds them: DirIndex against the rule read plainly ("Dir" in any letter
// case, then a decimal number of at most ten digits without a leading zero),
// and every key DirKey makes reads back as its own index.
//
// Input: the whole input is a key name (at most 64 bytes); its first eight
// bytes are also a number for DirKey.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/dirkey.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

int64_t Reference(std::string_view name) {
  if (name.size() < 4) return -1;
  const std::string_view dir = name.substr(0, 3);
  if (dir != "Dir" && dir != "dir" && dir != "DIR" && dir != "dIR" && dir != "DIr" &&
      dir != "DiR" && dir != "dIr" && dir != "diR") {
    return -1;
  }
  const std::string digits(name.substr(3));
  if (digits.size() > 10) return -1;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
  }
  if (digits != std::to_string(std::stoll(digits))) return -1;
  return std::stoll(digits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
  Check(ixo::DirIndex(name) == Reference(name), "differs from the plain reading");

  uint64_t bits = 0;
  std::memcpy(&bits, data, size < 8 ? size : 8);
  const int64_t n = static_cast<int64_t>(bits % 10000000000u);
  Check(ixo::DirIndex(ixo::DirKey(n)) == n, "a key does not read back as its index");
  return 0;
}
