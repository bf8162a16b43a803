#include "core/path.h"

#include "core/jstring.h"

namespace ixo {

std::string FolderOfPath(std::string_view path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c == '\\') end = i + 1;
    i += IsLeadByte(c) ? 2 : 1;
  }
  return std::string(path.substr(0, end));
}

}  // namespace ixo
