#include "win32/wide.h"

#include <windows.h>

namespace ixo {

std::wstring Wide(std::string_view cp932) {
  if (cp932.empty()) return {};
  const int size = static_cast<int>(cp932.size());
  const int n = MultiByteToWideChar(932, 0, cp932.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(932, 0, cp932.data(), size, out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n =
      WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, "?", nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), n, "?", nullptr);
  }
  return out;
}

}  // namespace ixo
