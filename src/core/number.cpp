// Numbers as the settings file holds them. A value a person typed by hand or
// a damaged file left behind must never be taken for a number it is not: a
// decimal number that does not fit 32 bits, or a hexadecimal one of more than
// eight digits, is no number at all rather than a wrapped or clamped one.
#include "core/number.h"

namespace ixo {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to eight hexadecimal digits and nothing else, as the 32-bit pattern.
std::optional<int32_t> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t v = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  return static_cast<int32_t>(v);
}

// Decimal digits and nothing else, within the 32-bit signed range.
std::optional<int32_t> ParseDecimal(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  // The magnitude of INT32_MIN; anything past it cannot fit either sign.
  constexpr uint64_t kLimit = 2147483648u;
  uint64_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > kLimit) return std::nullopt;
  }
  if (negative) return static_cast<int32_t>(-static_cast<int64_t>(v));
  if (v == kLimit) return std::nullopt;
  return static_cast<int32_t>(v);
}

}  // namespace

std::optional<int32_t> ParseNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  s.remove_prefix(i);
  if (s.empty()) return std::nullopt;

  // Hexadecimal takes no sign.
  if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') return ParseHex(s.substr(1));
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return ParseHex(s.substr(2));

  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  return ParseDecimal(s, negative);
}

}  // namespace ixo
