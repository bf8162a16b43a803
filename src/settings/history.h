// The folder history: the list of save folders, newest first, at most ten,
// one folder per line whatever its letter case (AddHistory in options.h).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/linelist.h"

namespace ixo {

constexpr size_t kHistoryMax = 10;

// True when AddHistory takes `item`: it is not blank (bytes 0x00-0x20 only)
// and it is one line (no CR, LF or zero byte, which would split it or cut
// off the rest of the list).
bool IsHistoryItem(std::string_view item);

// AddHistory on a list already split into lines; `item` must pass
// IsHistoryItem.
void AddHistoryLine(LineList& lines, std::string_view item);

// The list that AddHistory builds from an empty list when it is applied to
// entries count-1 down to 0, as the settings file's folders are read.
// `entry(i)` is asked for entries from 0 upwards and only for as many as can
// still change the result: past the point where the ten folders that stay
// are known and each of them has an entry that every higher entry leaves as
// it is, the rest are never read.
std::string HistoryFromEntries(size_t count, const std::function<std::string(size_t)>& entry);

}  // namespace ixo
