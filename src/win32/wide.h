// The edge between the program's text, code page 932 bytes, and the
// system's, UTF-16. Every text the program gives Windows crosses it here, so
// that what the user sees never depends on the system's code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ixo {

// Code page 932 text as Windows reads code page 932.
std::wstring Wide(std::string_view cp932);
// Code page 932 bytes of what it can hold; any other character becomes '?'.
std::string Narrow(std::wstring_view text);

// `path` in code page 932, naming the same file or folder: itself where that
// code page holds it, else its short (8.3) name where the volume keeps one;
// nullopt when neither.
std::optional<std::string> Cp932PathOf(const std::wstring& path);

// The same UTF-16 in the core's type and in the system's.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}
inline std::u16string ToU16(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

}  // namespace ixo
