#include "core/devicename.h"

#include <array>

#include "core/jstring.h"

namespace ixo {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsUpper(std::string_view s, std::string_view upper) {
  if (s.size() != upper.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (Upper(s[i]) != upper[i]) return false;
  }
  return true;
}

}  // namespace

bool IsDeviceFileName(std::string_view file) {
  // The last component begins after the last separator that is a character
  // of its own; the 0x5C inside a character such as 0x95 0x5C is no separator.
  size_t start = 0;
  for (size_t i = 0; i < file.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(file[i]);
    if (IsLeadByte(b)) {
      ++i;
      continue;
    }
    if (b == '\\' || b == '/' || b == ':') start = i + 1;
  }
  std::string_view name = file.substr(start);
  // Windows looks only at the part before the first dot, and ignores the
  // dots and spaces that end it. A dot never is a trail byte, so a byte-wise
  // search is exact here.
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.remove_suffix(1);

  static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kPlain) {
    if (EqualsUpper(name, device)) return true;
  }
  if (name.size() == 4 && name[3] >= '1' && name[3] <= '9') {
    return EqualsUpper(name.substr(0, 3), "COM") || EqualsUpper(name.substr(0, 3), "LPT");
  }
  return false;
}

}  // namespace ixo
