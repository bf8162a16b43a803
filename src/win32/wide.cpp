#include "win32/wide.h"

#include <windows.h>

#include "core/cp932.h"

namespace ixo {

std::wstring Wide(std::string_view cp932) { return ToWide(Cp932ToUtf16(cp932)); }

std::string Narrow(std::wstring_view text) { return Utf16ToCp932(ToU16(text)); }

namespace {

bool HeldWhole(std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (!IsCp932Char(c)) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> Cp932PathOf(const std::wstring& path) {
  if (HeldWhole(path)) return Narrow(path);
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortPath(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  if (n == 0 || n >= size) return std::nullopt;
  shortPath.resize(n);
  if (!HeldWhole(shortPath)) return std::nullopt;
  return Narrow(shortPath);
}

}  // namespace ixo
