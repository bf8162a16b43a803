// Numbers in the settings file: decimal with an optional sign, or up to eight
// hexadecimal digits after "$", "x", "X", "0x" or "0X" read as a 32-bit
// pattern; leading blanks are skipped. Anything else is not a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ixo {

std::optional<int32_t> ParseNumber(std::string_view s);

inline int32_t ReadNumber(std::string_view s, int32_t def) { return ParseNumber(s).value_or(def); }

}  // namespace ixo
