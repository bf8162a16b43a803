// The folder history: the list of save folders, newest first, at most ten,
// one folder per line whatever its letter case.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/linelist.h"

namespace ixo {

constexpr size_t kHistoryMax = 10;

// Puts `item` at the top of the folder list `list` (one line each, CR LF),
// moving a line equal to it without regard to case, keeping at most ten.
// A blank item, or one holding a line break or a zero byte, changes nothing.
void AddHistory(std::string_view item, std::string& list);

// Index of the first line of `lines` equal to `s` without regard to letter
// case, by the platform's comparison in the user's default locale; -1 when
// none. Folders that differ only in letter case are one folder to the user,
// by the rules of the user's own locale.
int IndexOf(const LineList& lines, std::string_view s);

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
