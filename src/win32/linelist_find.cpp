// The one part of the line list that asks the platform: folders that differ
// only in letter case are the same folder to the user, by the rules of the
// user's own locale.
#include <windows.h>

#include "core/linelist.h"

namespace ixo {

int LineList::IndexOf(std::string_view s) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    // Lengths are passed explicitly, so zero bytes and texts past 2 GB can
    // neither end a comparison early nor overflow the count.
    if (line.size() > INT_MAX || s.size() > INT_MAX) continue;
    if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, line.data(),
                       static_cast<int>(line.size()), s.data(),
                       static_cast<int>(s.size())) == CSTR_EQUAL) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace ixo
