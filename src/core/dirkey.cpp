#include "core/dirkey.h"

namespace ixo {

std::string DirKey(int64_t n) { return "Dir" + std::to_string(n); }

int64_t DirIndex(std::string_view name) {
  if (name.size() < 4 || name.size() > 13) return -1;
  for (size_t i = 0; i < 3; ++i) {
    if ((name[i] | 0x20) != "dir"[i]) return -1;
  }
  const std::string_view digits = name.substr(3);
  if (digits.size() > 1 && digits[0] == '0') return -1;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace ixo
