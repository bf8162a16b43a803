#include "core/error.h"

namespace ixo {

std::string FormatMessage1(std::string_view pattern, std::string_view arg) {
  std::string out(pattern);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

std::u16string FormatMessage1(std::u16string_view pattern, std::u16string_view arg) {
  std::u16string out(pattern);
  const size_t at = out.find(u"%s");
  if (at != std::u16string::npos) out.replace(at, 2, arg);
  return out;
}

}  // namespace ixo
