// Finds the first "http://" address in clipboard text (or, with the https
// switch on, the first "http://" or "https://" one) and chooses a title for
// its shortcut from the lines around it, cleaned so that it can serve as a
// file name.
#pragma once

#include <string>
#include <string_view>

#include "core/linelist.h"

namespace ixo {

struct TURLRecord {
  std::string Title;  // empty: nothing was found
  std::string URL;
  bool operator==(const TURLRecord&) const = default;
};

// Bytes that may appear in an address besides the extra ones of the user.
inline constexpr std::string_view BaseURLChars =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ/:~.";

// The eleven characters a file name cannot hold, each followed by CR LF, so
// that they read back as the first lines of the title-delete list.
inline constexpr std::string_view FileNameBadChars =
    "\\\r\n/\r\n:\r\n;\r\n,\r\n*\r\n?\r\n\"\r\n<\r\n>\r\n|\r\n";

// `https` on: in each line the first "http://" or the first "https://",
// whichever starts earlier, is the address; off: "http://" only. With
// `fromAddress`, it tells whether the title was made from the address line
// itself, no other line having given one.
TURLRecord ExtractURL(std::string_view extra, const LineList& delList, const LineList& lines,
                      bool https = false, bool* fromAddress = nullptr);

// Internal to ExtractURL; exposed for its tests. `urlLine` is 0-based, `urlPos`
// the 1-based byte position of the address, `urlLength` its length.
std::string ExtractTitle(const LineList& lines, const LineList& delList, int urlLine, int urlPos,
                         int urlLength, bool* fromAddress = nullptr);

// `title` cleaned as a line of the clipboard becomes a title: the characters
// a file name cannot hold and the strings of `delList` removed, the spaces
// at both ends trimmed.
std::string CleanTitle(std::string_view title, const LineList& delList);

// `s` without the bytes that already occurred earlier in it.
std::string UniqueChars(std::string_view s);

// True when the one-character text `c` is in the address set of the last
// extraction (BaseURLChars followed by its extra characters).
bool IsURLChar(std::string_view c);

}  // namespace ixo
