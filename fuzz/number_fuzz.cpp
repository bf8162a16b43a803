// The settings file's number rule against a plain second reading of it, on
// arbitrary bytes, and every 32-bit number written the ways the file can
// hold it reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/number.h"
#include "fuzz_check.h"

using ixo::Check;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The rule read once more, by the C library's conversions.
std::optional<int32_t> Reference(std::string s) {
  size_t i = s.find_first_not_of(" \t");
  if (i == std::string::npos) return std::nullopt;
  s.erase(0, i);
  std::string hex;
  bool is_hex = false;
  if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') {
    is_hex = true;
    hex = s.substr(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    is_hex = true;
    hex = s.substr(2);
  }
  if (is_hex) {
    if (hex.empty() || hex.size() > 8) return std::nullopt;
    for (char c : hex) {
      if (!IsHexDigit(c)) return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16)));
  }
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.erase(0, 1);
  }
  if (s.empty()) return std::nullopt;
  for (char c : s) {
    if (!IsDigit(c)) return std::nullopt;
  }
  s.erase(0, std::min(s.find_first_not_of('0'), s.size() - 1));
  if (s.size() > 10) return std::nullopt;
  const long long v = std::strtoll(s.c_str(), nullptr, 10) * (negative ? -1 : 1);
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::optional<int32_t> got = ixo::ParseNumber(in);
  Check(got == Reference(std::string(in)), "differs from the reference");

  if (size >= 4) {
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits = (bits << 8) | data[k];
    const int32_t v = static_cast<int32_t>(bits);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d", v);
    Check(ixo::ParseNumber(buf) == v, "decimal does not read back");
    std::snprintf(buf, sizeof buf, "$%X", bits);
    Check(ixo::ParseNumber(buf) == v, "$ hexadecimal does not read back");
    std::snprintf(buf, sizeof buf, " 0x%08x", bits);
    Check(ixo::ParseNumber(buf) == v, "0x hexadecimal does not read back");
    std::snprintf(buf, sizeof buf, "-$%X", bits);
    Check(!ixo::ParseNumber(buf), "signed hexadecimal was read");
  }
  return 0;
}
