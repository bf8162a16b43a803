#include "settings/history.h"

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "win32/wide.h"

namespace ixo {

int IndexOf(const LineList& lines, std::string_view s) {
  // Compared in Unicode, as the system compares: the same under any system
  // code page.
  const std::wstring wanted = Wide(s);
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::wstring line = Wide(lines[i]);
    // Lengths are passed explicitly, so zero bytes and texts past 2 GB can
    // neither end a comparison early nor overflow the count.
    if (line.size() > INT_MAX || wanted.size() > INT_MAX) continue;
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, line.data(),
                       static_cast<int>(line.size()), wanted.data(),
                       static_cast<int>(wanted.size())) == CSTR_EQUAL) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool IsHistoryItem(std::string_view item) {
  bool blank = true;
  for (char c : item) {
    if (c == '\r' || c == '\n' || c == '\0') return false;
    if (static_cast<unsigned char>(c) > 0x20) blank = false;
  }
  return !blank;
}

void AddHistoryLine(LineList& lines, std::string_view item) {
  // The line already stored keeps its own letter case: it is the folder as
  // the user first chose it.
  const int at = IndexOf(lines, item);
  if (at < 0) {
    lines.Insert(0, std::string(item));
  } else {
    lines.Move(static_cast<size_t>(at), 0);
  }
  while (lines.Count() > kHistoryMax) lines.Delete(lines.Count() - 1);
}

void AddHistory(std::string_view item, std::string& list) {
  if (!IsHistoryItem(item)) return;
  LineList lines(list);
  AddHistoryLine(lines, item);
  list = lines.Text();
}

namespace {

// One of the first ten distinct folders met from entry 0 upwards: the ones
// that end up in the list. Applied from the top down, a folder leaves the
// list once ten other distinct folders have come after it; the entry that
// comes back to it next is then added afresh with its own letter case,
// whatever was above. Once that has happened for every one of the ten, the
// entries not yet read cannot change the result.
struct Survivor {
  LineList others;  // distinct folders met since its latest entry, up to ten
  bool settled = false;
};

}  // namespace

std::string HistoryFromEntries(size_t count, const std::function<std::string(size_t)>& entry) {
  std::vector<std::string> read;
  LineList names;  // the survivors' folders, as first met
  std::vector<Survivor> survivors;
  size_t unsettled = 0;
  for (size_t i = 0; i < count; ++i) {
    read.push_back(entry(i));
    const std::string& item = read.back();
    if (!IsHistoryItem(item)) continue;
    int self = IndexOf(names, item);
    if (self < 0 && names.Count() < kHistoryMax) {
      names.Add(item);
      survivors.emplace_back();
      ++unsettled;
      self = static_cast<int>(names.Count() - 1);
    }
    for (size_t s = 0; s < survivors.size(); ++s) {
      Survivor& v = survivors[s];
      if (v.settled) continue;
      if (static_cast<int>(s) == self) {
        v.others.Clear();
      } else if (IndexOf(v.others, item) < 0) {
        v.others.Add(item);
        if (v.others.Count() >= kHistoryMax) {
          v.settled = true;
          --unsettled;
        }
      }
    }
    if (names.Count() == kHistoryMax && unsettled == 0) break;
  }
  LineList lines;
  for (auto it = read.rbegin(); it != read.rend(); ++it) {
    if (IsHistoryItem(*it)) AddHistoryLine(lines, *it);
  }
  return lines.Text();
}

}  // namespace ixo
