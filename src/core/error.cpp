#include "core/error.h"

namespace ixo {

std::string FormatMessage1(std::string_view pattern, std::string_view arg) {
  std::string out(pattern);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

}  // namespace ixo
