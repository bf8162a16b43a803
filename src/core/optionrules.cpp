#include "core/optionrules.h"

#include <algorithm>

#include "core/autoexit.h"
#include "core/number.h"

namespace ixo {

std::string CRLFBreaks(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string TrimBlankBytes(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

int32_t ClampTime(int32_t seconds) { return std::clamp(seconds, kMinTime, kMaxTime); }

std::optional<int32_t> TimeFromText(std::string_view text) {
  // Read as the settings file's numbers are; what is no number counts as -1,
  // which lies outside the range like any other wrong value.
  const int32_t value = ReadNumber(text, -1);
  if (value < kMinTime || value > kMaxTime) return std::nullopt;
  return value;
}

int RadioOfAcType(uint8_t acType) {
  return acType <= kExitWhicheverLonger ? acType : kExitAfterInactive;
}

}  // namespace ixo
